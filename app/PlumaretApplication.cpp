#include "PlumaretApplication.h"

#include <QFont>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

#include <memory>

#include "MsgBox.h"
#include "PlumaretError.h"

QString ErrorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

static void ShowErrorBox(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(ProductTitle), ErrorBoxText(message),
        QMessageBox::Ok, MsgBoxOwner());
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void ShowException(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const EAbort &) {
        // The user cancelled: nothing to say.
    } catch (const EPlumaretError &e) {
        ShowErrorBox(e.message());
    } catch (const std::exception &e) {
        ShowErrorBox(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowErrorBox(QStringLiteral("未知错误"));
    }
}

TPlumaretApplication::TPlumaretApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The menu bar belongs to the window's layout; a desktop-wide menu would take it out of the window.
    setAttribute(Qt::AA_DontUseNativeMenuBar);
    // No display name: Qt would append it to every box's caption.
    setDesktopFileName(QStringLiteral("plumaret"));
    InstallFontSubstitutes();
    InstallQtChinese();
}

bool TPlumaretApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
        return false;
    }
}

bool InstallQtChinese()
{
    auto translator = std::make_unique<QTranslator>(qApp);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(translator.release());
}

void InstallFontSubstitutes()
{
    const QString song = QStringLiteral("宋体");
    if (QFont::substitutes(song).isEmpty()) {
        QFont::insertSubstitutions(song,
            { QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
                QStringLiteral("Noto Sans CJK SC") });
    }
}

QFont WindowFont()
{
    InstallFontSubstitutes();
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    return font;
}
