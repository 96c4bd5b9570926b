#include "PlainTextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

QString normalizeLineEnds(const QString &s)
{
    QString out;
    out.reserve(s.size());
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s.at(i);
        if (c == u'\r') {
            out += u'\n';
            if (i + 1 < n && s.at(i + 1) == u'\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

QString decodeWith(QStringConverter::Encoding enc, QByteArrayView bytes)
{
    // The byte-order mark is already cut off: a second one is text (U+FEFF) and must stay.
    QStringDecoder decoder(
        enc, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decoder(bytes);
}

QByteArray withCrLf(const QByteArray &lf, int unit, bool bigEndian)
{
    // Works on encoded units so that UTF-16 gets its two-byte CR.
    QByteArray out;
    out.reserve(lf.size() + lf.size() / 16);
    if (unit == 1) {
        for (char c : lf) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        return out;
    }
    for (qsizetype i = 0; i + 1 < lf.size(); i += 2) {
        const bool isLf = bigEndian ? (lf[i] == 0 && lf[i + 1] == '\n') : (lf[i] == '\n' && lf[i + 1] == 0);
        if (isLf)
            out += bigEndian ? QByteArray("\0\r", 2) : QByteArray("\r\0", 2);
        out += lf[i];
        out += lf[i + 1];
    }
    return out;
}

} // namespace

bool IsValidUtf8(const QByteArray &bytes, bool *hasNonAscii)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    bool nonAscii = false;
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        nonAscii = true;
        int len;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (int k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)))
            || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        i += len;
    }
    if (hasNonAscii)
        *hasNonAscii = nonAscii;
    return true;
}

TPlainText DecodePlainText(const QByteArray &bytes)
{
    TPlainText result;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        result.encoding = TTextEncoding::teUtf8Bom;
        result.text = decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    } else if (bytes.startsWith("\xFF\xFE")) {
        result.encoding = TTextEncoding::teUtf16LE;
        result.text = decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith("\xFE\xFF")) {
        result.encoding = TTextEncoding::teUtf16BE;
        result.text = decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    } else {
        bool nonAscii = false;
        if (IsValidUtf8(bytes, &nonAscii) && nonAscii) {
            result.encoding = TTextEncoding::teUtf8;
            result.text = decodeWith(QStringConverter::Utf8, bytes);
        } else {
            result.encoding = TTextEncoding::teGB18030;
            QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
            result.text = decoder(bytes);
        }
    }
    result.text = normalizeLineEnds(result.text);
    return result;
}

QByteArray EncodePlainText(const QString &text, TTextEncoding encoding, bool *ok)
{
    if (ok)
        *ok = true;
    const QString lf = normalizeLineEnds(text);
    switch (encoding) {
    case TTextEncoding::teGB18030: {
        QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
        const QByteArray bytes = withCrLf(encoder(lf), 1, false);
        if (encoder.hasError() && ok)
            *ok = false;
        bool nonAscii = false;
        if (IsValidUtf8(bytes, &nonAscii) && nonAscii)
            return EncodePlainText(lf, TTextEncoding::teUtf8Bom);
        return bytes;
    }
    case TTextEncoding::teUtf8:
        return withCrLf(lf.toUtf8(), 1, false);
    case TTextEncoding::teUtf8Bom:
        return "\xEF\xBB\xBF" + withCrLf(lf.toUtf8(), 1, false);
    case TTextEncoding::teUtf16LE: {
        QStringEncoder encoder(QStringConverter::Utf16LE);
        return "\xFF\xFE" + withCrLf(encoder(lf), 2, false);
    }
    case TTextEncoding::teUtf16BE: {
        QStringEncoder encoder(QStringConverter::Utf16BE);
        return "\xFE\xFF" + withCrLf(encoder(lf), 2, true);
    }
    }
    return {};
}
