#include "WordCountDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

TWordCountDialog::TWordCountDialog(const TTextCounts &counts, bool ofSelection, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgWordCount"));
    setWindowTitle(QStringLiteral("字数统计"));
    auto *layout = new QVBoxLayout(this);
    auto *scope = new QLabel(
        ofSelection ? QStringLiteral("统计范围：所选内容") : QStringLiteral("统计范围：全文"), this);
    scope->setObjectName(QStringLiteral("lblScope"));
    layout->addWidget(scope);
    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    const QLocale locale(QLocale::Chinese, QLocale::China);
    const std::pair<const char *, int> lines[] = {
        { "字数", counts.Words },
        { "字符数（不计空格）", counts.CharactersNoSpaces },
        { "字符数（计空格）", counts.CharactersWithSpaces },
        { "中文字符", counts.Chinese },
        { "标点符号", counts.Punctuation },
        { "段落数", counts.Paragraphs },
    };
    for (const auto &[caption, figure] : lines) {
        auto *value = new QLabel(locale.toString(figure), this);
        value->setObjectName(QString::fromUtf8(caption));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setAccessibleName(QString::fromUtf8(caption));
        form->addRow(QString::fromUtf8(caption) + u'：', value);
    }
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString TWordCountDialog::Figure(const QString &caption) const
{
    const auto *value = findChild<QLabel *>(caption);
    return value ? value->text() : QString();
}
