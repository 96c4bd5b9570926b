#pragma once

#include "PlainTextCodec.h"

#include <QString>

class QTextDocument;

// The extension of a file name as the letter files use it: the last path component from its last
// dot on ("." for a name ending in a dot), empty when that component has no dot.
QString FileExtension(const QString &fileName);
// "*.txt" in any letter case is plain text; every other name is rich text.
bool IsPlainTextName(const QString &fileName);

// Loads a letter file into doc, the format chosen by the name (other names than *.txt are read as
// RTF when the content is RTF, else as text). doc is untouched when the file cannot be read.
// Returns the encoding a plain-text file was read in. Throws EPlumaretError.
TTextEncoding LoadDocumentFile(const QString &fileName, QTextDocument *doc);
// Saves doc beside the old file and renames it into place, so a failed save leaves the old file; a
// writable file in a folder that takes no new files is written in place. Throws EPlumaretError.
void SaveDocumentFile(const QString &fileName, const QTextDocument *doc, TTextEncoding encoding);
// The document's text with '\n' between lines, as a plain-text file holds it.
QString DocumentPlainText(const QTextDocument *doc);
