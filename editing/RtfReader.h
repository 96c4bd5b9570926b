#pragma once

#include <QByteArray>

class QTextDocument;

// True when the bytes start like an RTF file ("{\rtf", leading white space allowed).
bool LooksLikeRtf(const QByteArray &data);

// Replaces the content of doc with the RTF in data. The reader is lenient, as the rich-edit
// controls are: malformed input gives whatever text could be recovered, never an error.
// Memory and time stay proportional to the input, whatever its nesting and numbers.
void ReadRtf(const QByteArray &data, QTextDocument *doc);
