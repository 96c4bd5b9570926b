// Find and replace, font, word count and simplified ↔ traditional on the editor in front.
#include "uFrmMain.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>
#include <QTextEdit>

#include "ChineseConvert.h"
#include "FindReplaceDialog.h"
#include "FontDialog.h"
#include "PlumaretApplication.h"
#include "TextCounts.h"
#include "WordCountDialog.h"

namespace {

// The selection, or the whole text when nothing is selected.
QTextCursor selectionOrAll(QTextEdit *memo)
{
    QTextCursor c = memo->textCursor();
    if (!c.hasSelection())
        c.select(QTextCursor::Document);
    return c;
}

} // namespace

void TfrmMain::setupToolCommands()
{
    FontChooser = &TFontDialog::Choose;
    FindDialog = new TFindReplaceDialog([this] { return CommandMemo(); }, this);
    // F3, Ctrl+F and Ctrl+H also work while the find window has the focus.
    FindDialog->addActions({ EditFind, EditReplace, EditFindNext, EditFindPrevious });

    connect(EditFind, &QAction::triggered, this, Guarded([this] { EditFindExecute(); }));
    connect(EditReplace, &QAction::triggered, this, Guarded([this] { EditReplaceExecute(); }));
    connect(EditFindNext, &QAction::triggered, this, Guarded([this] { EditFindNextExecute(false); }));
    connect(EditFindPrevious, &QAction::triggered, this, Guarded([this] { EditFindNextExecute(true); }));
    connect(ToolFont, &QAction::triggered, this, Guarded([this] { ToolFontExecute(); }));
    connect(ToolWordCount, &QAction::triggered, this, Guarded([this] { ToolWordCountExecute(); }));
    connect(ToolToTraditional, &QAction::triggered, this, Guarded([this] { ToolConvertExecute(true); }));
    connect(ToolToSimplified, &QAction::triggered, this, Guarded([this] { ToolConvertExecute(false); }));
    connect(pgEdit, &QTabWidget::currentChanged, this, [this] { UpdateToolActions(); });
    UpdateToolActions();
}

QTextEdit *TfrmMain::CommandMemo() const
{
    if (QTextEdit *focused = ActiveMemo())
        return focused;
    return FrontMemo();
}

void TfrmMain::UpdateToolActions()
{
    const bool writable = !CommandMemo()->isReadOnly();
    for (QAction *a : { EditReplace, ToolFont, ToolToTraditional, ToolToSimplified })
        a->setEnabled(writable);
    // A hidden panel is brought up to date by ShowFind when it opens.
    if (FindDialog && FindDialog->isVisible())
        FindDialog->UpdateButtons();
}

void TfrmMain::EditFindExecute()
{
    FindDialog->ShowFind(false);
}

void TfrmMain::EditReplaceExecute()
{
    if (CommandMemo()->isReadOnly())
        return;
    FindDialog->ShowFind(true);
}

void TfrmMain::EditFindNextExecute(bool backward)
{
    if (FindDialog->FindWhat().isEmpty())
        FindDialog->ShowFind(false);
    else
        FindDialog->FindNext(backward);
}

void TfrmMain::ToolFontExecute()
{
    QTextEdit *memo = CommandMemo();
    if (memo->isReadOnly())
        return;
    QTextCursor c = selectionOrAll(memo);
    // The format the selection starts with, not the one before it.
    QTextCursor first(c.document());
    first.setPosition(std::min(c.selectionStart() + 1, c.document()->characterCount() - 1));
    const QTextCharFormat current = c.hasSelection() ? first.charFormat() : memo->currentCharFormat();
    const QFont font = current.font().resolve(memo->font());
    const QColor color = current.hasProperty(QTextFormat::ForegroundBrush) ? current.foreground().color()
                                                                           : memo->palette().text().color();
    const std::optional<QTextCharFormat> chosen = FontChooser(this, font, color);
    if (!chosen)
        return;
    if (c.hasSelection())
        c.mergeCharFormat(*chosen);
    // What is typed next takes the font too, also in an empty editor.
    if (!memo->textCursor().hasSelection())
        memo->mergeCurrentCharFormat(*chosen);
}

void TfrmMain::ToolWordCountExecute()
{
    QTextEdit *memo = CommandMemo();
    const QTextCursor c = memo->textCursor();
    const TTextCounts counts = CountText(c.hasSelection() ? c.selectedText() : memo->document()->toRawText());
    if (WordCountDialog)
        WordCountDialog->close();
    WordCountDialog = new TWordCountDialog(counts, c.hasSelection(), this);
    WordCountDialog->setAttribute(Qt::WA_DeleteOnClose);
    WordCountDialog->open();
}

void TfrmMain::ToolConvertExecute(bool toTraditional)
{
    QTextEdit *memo = CommandMemo();
    if (memo->isReadOnly())
        return;
    const int anchor = memo->textCursor().anchor();
    const int position = memo->textCursor().position();
    const int length = memo->document()->characterCount();
    if (!ConvertChineseInDocument(memo->textCursor(),
            toTraditional ? TChineseDirection::cdToTraditional : TChineseDirection::cdToSimplified))
        return;
    // The same stretch stays selected where the text kept its length (nearly always).
    if (memo->document()->characterCount() == length) {
        QTextCursor after(memo->document());
        after.setPosition(anchor);
        after.setPosition(position, QTextCursor::KeepAnchor);
        memo->setTextCursor(after);
    }
}
