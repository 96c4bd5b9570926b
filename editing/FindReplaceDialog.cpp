#include "FindReplaceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QString notFound(const QString &what)
{
    return QStringLiteral("找不到“%1”").arg(what);
}

} // namespace

TFindReplaceDialog::TFindReplaceDialog(std::function<QTextEdit *()> target, QWidget *parent)
    : QDialog(parent)
    , m_target(std::move(target))
{
    setObjectName(QStringLiteral("dlgFindReplace"));
    setWindowTitle(QStringLiteral("查找和替换"));
    setModal(false);

    edtFind = new QLineEdit(this);
    edtFind->setObjectName(QStringLiteral("edtFind"));
    edtFind->setAccessibleName(QStringLiteral("查找内容"));
    edtReplace = new QLineEdit(this);
    edtReplace->setObjectName(QStringLiteral("edtReplace"));
    edtReplace->setAccessibleName(QStringLiteral("替换为"));
    auto *findLabel = new QLabel(QStringLiteral("查找内容(&N)："), this);
    findLabel->setBuddy(edtFind);
    m_replaceLabel = new QLabel(QStringLiteral("替换为(&P)："), this);
    m_replaceLabel->setBuddy(edtReplace);
    chkCase = new QCheckBox(QStringLiteral("区分大小写(&C)"), this);
    chkCase->setObjectName(QStringLiteral("chkCase"));
    chkWholeWord = new QCheckBox(QStringLiteral("全字匹配(&W)"), this);
    chkWholeWord->setObjectName(QStringLiteral("chkWholeWord"));
    chkWholeWord->setToolTip(QStringLiteral("英文单词和数字只在整个词相同时算找到"));
    lblNotice = new QLabel(this);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setAccessibleName(QStringLiteral("查找结果"));
    lblNotice->setMinimumWidth(
        lblNotice->fontMetrics().horizontalAdvance(QStringLiteral("已到文末，从开头继续查找")));

    btnFindNext = new QPushButton(QStringLiteral("查找下一个(&F)"), this);
    btnFindNext->setObjectName(QStringLiteral("btnFindNext"));
    btnFindNext->setDefault(true);
    btnFindPrevious = new QPushButton(QStringLiteral("查找上一个(&V)"), this);
    btnFindPrevious->setObjectName(QStringLiteral("btnFindPrevious"));
    btnReplace = new QPushButton(QStringLiteral("替换(&R)"), this);
    btnReplace->setObjectName(QStringLiteral("btnReplace"));
    btnReplaceAll = new QPushButton(QStringLiteral("全部替换(&A)"), this);
    btnReplaceAll->setObjectName(QStringLiteral("btnReplaceAll"));
    auto *close = new QPushButton(QStringLiteral("关闭"), this);

    auto *fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(edtFind, 0, 1);
    fields->addWidget(m_replaceLabel, 1, 0);
    fields->addWidget(edtReplace, 1, 1);
    fields->addWidget(chkCase, 2, 1);
    fields->addWidget(chkWholeWord, 3, 1);
    fields->addWidget(lblNotice, 4, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : { btnFindNext, btnFindPrevious, btnReplace, btnReplaceAll, close })
        buttons->addWidget(b);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);

    connect(btnFindNext, &QPushButton::clicked, this, [this] { FindNext(false); });
    connect(btnFindPrevious, &QPushButton::clicked, this, [this] { FindNext(true); });
    connect(btnReplace, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceOne);
    connect(btnReplaceAll, &QPushButton::clicked, this, &TFindReplaceDialog::ReplaceAll);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(edtFind, &QLineEdit::textChanged, this, [this] {
        setNotice(QString());
        UpdateButtons();
    });
}

void TFindReplaceDialog::ShowFind(bool withReplace)
{
    m_replaceLabel->setVisible(withReplace);
    edtReplace->setVisible(withReplace);
    btnReplace->setVisible(withReplace);
    btnReplaceAll->setVisible(withReplace);
    setWindowTitle(withReplace ? QStringLiteral("替换") : QStringLiteral("查找"));
    // A short selection in the editor is what one usually wants to look for.
    if (QTextEdit *editor = m_target()) {
        const QString selected = editor->textCursor().selectedText();
        if (!selected.isEmpty() && selected.size() <= 64 && !selected.contains(QChar::ParagraphSeparator))
            edtFind->setText(selected);
    }
    setNotice(QString());
    UpdateButtons();
    adjustSize();
    show();
    raise();
    activateWindow();
    edtFind->setFocus();
    edtFind->selectAll();
}

QString TFindReplaceDialog::FindWhat() const
{
    return edtFind->text();
}

TFindOptions TFindReplaceDialog::Options() const
{
    return { chkCase->isChecked(), chkWholeWord->isChecked() };
}

QString TFindReplaceDialog::Notice() const
{
    return lblNotice->text();
}

void TFindReplaceDialog::setNotice(const QString &text)
{
    lblNotice->setText(text);
}

bool TFindReplaceDialog::targetWritable() const
{
    QTextEdit *editor = m_target();
    return editor && !editor->isReadOnly();
}

void TFindReplaceDialog::UpdateButtons()
{
    const bool hasText = !edtFind->text().isEmpty();
    const bool writable = targetWritable();
    btnFindNext->setEnabled(hasText);
    btnFindPrevious->setEnabled(hasText);
    btnReplace->setEnabled(hasText && writable);
    btnReplaceAll->setEnabled(hasText && writable);
    edtReplace->setEnabled(writable);
}

bool TFindReplaceDialog::FindNext(bool backward)
{
    QTextEdit *editor = m_target();
    const QString what = FindWhat();
    if (!editor || what.isEmpty())
        return false;
    const TFindResult found = FindText(editor->document(), what, editor->textCursor(), Options(), backward);
    if (found.Match.isNull()) {
        setNotice(notFound(what));
        return false;
    }
    editor->setTextCursor(found.Match);
    editor->ensureCursorVisible();
    setNotice(!found.Wrapped ? QString()
            : backward       ? QStringLiteral("已到文首，从末尾继续查找")
                             : QStringLiteral("已到文末，从开头继续查找"));
    return true;
}

void TFindReplaceDialog::ReplaceOne()
{
    QTextEdit *editor = m_target();
    if (!editor || editor->isReadOnly() || FindWhat().isEmpty())
        return;
    QTextCursor c = editor->textCursor();
    if (IsMatch(c, FindWhat(), Options())) {
        c.insertText(edtReplace->text(), c.charFormat());
        editor->setTextCursor(c);
    }
    FindNext(false);
}

void TFindReplaceDialog::ReplaceAll()
{
    QTextEdit *editor = m_target();
    if (!editor || editor->isReadOnly() || FindWhat().isEmpty())
        return;
    const int count = ::ReplaceAll(editor->document(), FindWhat(), edtReplace->text(), Options());
    setNotice(count == 0 ? notFound(FindWhat()) : QStringLiteral("已全部替换，共 %1 处").arg(count));
}
