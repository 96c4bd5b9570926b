#include "LetterFormat.h"

#include "UndoPause.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace Letters {

namespace {

void applySpacing(QTextDocument &document)
{
    QTextCursor all(&document);
    all.select(QTextCursor::Document);

    QTextBlockFormat block;
    block.setLineHeight(LetterLineHeightPercent, QTextBlockFormat::ProportionalHeight);
    all.mergeBlockFormat(block);

    QTextCharFormat chars;
    chars.setProperty(CharacterSpacingProperty, LetterCharacterSpacingTwips);
    all.mergeCharFormat(chars);
    // An empty paragraph has no characters to carry the format; its block char format does.
    all.mergeBlockCharFormat(chars);
}

} // namespace

void ReplaceWithFramedLetter(QTextDocument &document, const QString &letter)
{
    // One edit block: a single undo brings back the whole document as it was, formats included,
    // and never takes the letter's own formatting apart step by step.
    QTextCursor all(&document);
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    // The letter starts plain, whatever paragraph and character formats the old text had.
    all.setBlockFormat(QTextBlockFormat());
    all.setBlockCharFormat(QTextCharFormat());
    all.insertText(letter, QTextCharFormat());

    QTextBlock signature = document.lastBlock();
    if (signature.previous().isValid())
        signature = signature.previous();
    QTextCursor tail(signature);
    tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    tail.mergeBlockFormat(right);

    applySpacing(document);
    all.endEditBlock();
}

void ApplyPreviewFormat(QTextDocument &document)
{
    const UndoPause pause(document);
    applySpacing(document);
}

} // namespace Letters
