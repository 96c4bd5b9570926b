#include "UpdateNoticeWindow.h"

#include "UpdateNotice.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

UpdateNoticeWindow::UpdateNoticeWindow(const UpdateNotice &notice, const QUrl &link, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("UpdateNoticeWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("墨韵笺语工坊"));

    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("发现新版本 %1").arg(notice.version.toString()), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto *message = new QLabel(notice.message, this);
    message->setObjectName(QStringLiteral("message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(message);

    auto *linkLabel = new QLabel(this);
    linkLabel->setObjectName(QStringLiteral("link"));
    linkLabel->setTextFormat(Qt::RichText);
    linkLabel->setText(
        QStringLiteral("<a href=\"%1\">%2</a>")
            .arg(QString::fromUtf8(link.toEncoded()).toHtmlEscaped(), QStringLiteral("前往官网下载新版本")));
    linkLabel->setOpenExternalLinks(true);
    layout->addWidget(linkLabel);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);

    setMinimumWidth(320);
}
