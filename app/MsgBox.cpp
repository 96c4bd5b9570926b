#include "MsgBox.h"

#include <QApplication>
#include <QWidget>

#include "uFrmMain.h"

QString MsgBoxCaption(int kind)
{
    switch (kind) {
    case mbkQuestion:
        return QStringLiteral("询问");
    case mbkWarning:
        return QStringLiteral("警告");
    case mbkError:
        return QStringLiteral("错误");
    default:
        return QStringLiteral("提示");
    }
}

QWidget *MsgBoxOwner()
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows) {
        // A hidden owner would hide the box with it on some window managers.
        if (qobject_cast<TfrmMain *>(w) && w->isVisible())
            return w;
    }
    return nullptr;
}

QMessageBox::StandardButton MsgBox(const QString &text, const QString &caption, int kind, QWidget *owner)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (kind) {
    case mbkQuestion:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case mbkWarning:
        icon = QMessageBox::Warning;
        break;
    case mbkError:
        icon = QMessageBox::Critical;
        break;
    default:
        kind = mbkInformation;
        break;
    }
    QMessageBox box(icon, caption.isEmpty() ? MsgBoxCaption(kind) : caption, text, buttons,
        owner ? owner : MsgBoxOwner());
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setWindowModality(Qt::ApplicationModal);
    const int result = box.exec();
    return static_cast<QMessageBox::StandardButton>(result);
}
