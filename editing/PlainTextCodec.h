#pragma once

#include <QByteArray>
#include <QString>

// How a plain-text letter file is stored on disk. A file keeps the encoding it was read in.
enum class TTextEncoding {
    teGB18030, // GBK byte for byte for every GBK character, and able to hold every other one
    teUtf8,
    teUtf8Bom,
    teUtf16LE, // with byte-order mark
    teUtf16BE, // with byte-order mark
};

struct TPlainText
{
    QString text; // lines separated by '\n'
    TTextEncoding encoding = TTextEncoding::teGB18030;
};

// Reads the bytes of a text file: a UTF-8 or UTF-16 byte-order mark decides, then valid UTF-8 that
// holds non-ASCII text, else GB18030. CR LF, a lone CR and a lone LF each end one line.
TPlainText DecodePlainText(const QByteArray &bytes);

// Writes lines with CR LF. GB18030 output that would be taken for UTF-8 on reading (short texts
// such as "一丌" can be) is written as UTF-8 with a byte-order mark instead, so nothing is misread.
// ok turns false when a character cannot be encoded at all (an unpaired surrogate).
QByteArray EncodePlainText(const QString &text, TTextEncoding encoding, bool *ok = nullptr);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(const QByteArray &bytes, bool *hasNonAscii = nullptr);
