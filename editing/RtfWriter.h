#pragma once

#include <QByteArray>

class QTextDocument;

// The document as RTF that WordPad, Word and LibreOffice read back with the same text and paragraph
// formats: every non-ASCII character as \uN with a "?" fallback, one \pard group per paragraph.
QByteArray WriteRtf(const QTextDocument *doc);
