#pragma once

#include <QString>
#include <QTextCursor>

class QTextDocument;

struct TFindOptions
{
    bool CaseSensitive = false;
    // A match may not continue a Latin word or number on either side; Chinese matches anywhere.
    bool WholeWords = false;
};

struct TFindResult
{
    QTextCursor Match; // null when the text is not in the document
    bool Wrapped = false; // found only after going round the end (or the start, backwards)
};

// The next match after the cursor's selection (before it, backwards), going round the document's
// end once. Matches never span paragraphs.
TFindResult FindText(const QTextDocument *doc, const QString &what, const QTextCursor &from,
    TFindOptions options, bool backward = false);

// True when the cursor's selection is exactly one match of what.
bool IsMatch(const QTextCursor &selection, const QString &what, TFindOptions options);

// Number of matches in the document.
int CountMatches(const QTextDocument *doc, const QString &what, TFindOptions options);

// Replaces every match as one undo step; each replacement takes the format of the text it
// replaces. Returns the number replaced.
int ReplaceAll(QTextDocument *doc, const QString &what, const QString &with, TFindOptions options);
