#pragma once

#include <QStringView>

// The figures of the word-count dialog, counted the way Chinese word processors count.
struct TTextCounts
{
    // Each Chinese character, full-width mark, emoji or other wide symbol counts one; each run of
    // Latin letters or digits counts one word.
    int Words = 0;
    int CharactersNoSpaces = 0;
    int CharactersWithSpaces = 0;
    int Chinese = 0;
    int Punctuation = 0;
    // Paragraphs holding more than blanks.
    int Paragraphs = 0;

    friend bool operator==(const TTextCounts &, const TTextCounts &) = default;
};

// Counts user-perceived characters (an emoji with its modifiers and joiners is one). Line breaks
// (LF, CR, U+2028, U+2029, as QTextCursor::selectedText gives them) end paragraphs and are not
// characters; embedded objects (U+FFFC) are skipped.
TTextCounts CountText(QStringView text);
