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

// Formatting is part of the replacement, so it must not become an undo step of its own.
void ApplyFramedLetterFormat(QTextDocument &document)
{
    const UndoPause pause(document);
    QTextBlock signature = document.lastBlock();
    if (signature.previous().isValid())
        signature = signature.previous();
    QTextCursor tail(signature);
    tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    tail.mergeBlockFormat(right);

    applySpacing(document);
}

void ApplyPreviewFormat(QTextDocument &document)
{
    const UndoPause pause(document);
    applySpacing(document);
}

} // namespace Letters
