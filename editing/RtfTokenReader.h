#pragma once

#include <QByteArrayView>

// One piece of RTF source with its syntax taken off: what the RTF reader acts on.
struct RtfToken
{
    enum Kind { End, GroupStart, GroupEnd, Text, HexByte, Symbol, Word, Binary };
    RtfToken(Kind kind = End, char byte = 0)
        : kind(kind)
        , byte(byte)
    {
    }

    Kind kind;
    char byte; // Text: the byte; HexByte: its value; Symbol: the character after the backslash
    QByteArrayView word; // Word: its letters
    bool hasParam = false; // Word
    int param = 0; // Word: clamped to 32 bits
};

// Splits RTF source into tokens. CR and LF in the source are not text; the bytes that \binN
// announces are skipped whole, so they are never read as RTF.
class RtfTokenReader
{
public:
    explicit RtfTokenReader(QByteArrayView data)
        : m_data(data)
    {
    }

    // The next token; End once the data is used up.
    RtfToken next();

private:
    RtfToken control();
    RtfToken hexByte();
    RtfToken word();

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};
