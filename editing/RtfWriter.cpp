#include "RtfWriter.h"

#include "TextUnits.h"

#include <QColor>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <cmath>

namespace {

void appendEscaped(QByteArray &out, QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator || u == '\n' || u == '\r') {
            out += "\\line ";
        } else if (u == 0x00A0) {
            out += "\\~";
        } else if (u == QChar::ObjectReplacementCharacter || u < 0x20) {
            // pictures and control characters have no place in the letter's RTF
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
}

QByteArray fontName(const QString &name)
{
    // Word writes a Chinese font name as GBK bytes under \fcharset134; do the same when we can.
    QByteArray out;
    QStringEncoder gbk("GB18030", QStringConverter::Flag::Stateless);
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            if (u == '\\' || u == '{' || u == '}' || u == ';')
                continue;
            out += char(u);
            continue;
        }
        const QByteArray bytes = gbk(QStringView(&c, 1));
        if (bytes.size() == 2) {
            for (char b : bytes)
                out += "\\'" + QByteArray::number(uchar(b), 16).rightJustified(2, '0');
        } else {
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
    return out;
}

bool isAscii(const QString &s)
{
    for (const QChar c : s)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

QString familyOf(const QTextCharFormat &f, const QString &fallback)
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return fallback;
}

int twips(double pixels)
{
    return int(std::lround(pixels * TwipsPerPixel));
}

} // namespace

QByteArray WriteRtf(const QTextDocument *doc)
{
    const QFont defaultFont = doc->defaultFont();
    const QString defaultFamily = defaultFont.family();
    const double defaultSize = defaultFont.pointSizeF() > 0 ? defaultFont.pointSizeF() : 12.0;

    // First pass: the font and colour tables.
    QStringList fonts { defaultFamily };
    QList<QRgb> colors;
    auto colorIndex = [&colors](const QColor &c) {
        const QRgb rgb = c.rgb() | 0xFF000000u;
        qsizetype i = colors.indexOf(rgb);
        if (i < 0) {
            colors.append(rgb);
            i = colors.size() - 1;
        }
        return int(i) + 1;
    };
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QString family = familyOf(f, defaultFamily);
            if (!fonts.contains(family))
                fonts.append(family);
            if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
                colorIndex(f.foreground().color());
            if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
                colorIndex(f.background().color());
        }
    }

    QByteArray out;
    out.reserve(doc->characterCount() * 3 + 512);
    out += "{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1\\deflang1033\\deflangfe2052{\\fonttbl";
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + (isAscii(fonts[i]) ? "0 " : "134 ");
        out += fontName(fonts[i]) + ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const QRgb c : colors)
        out += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue"
            + QByteArray::number(qBlue(c)) + ';';
    out += "}\r\n\\viewkind4\r\n";

    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        out += "{\\pard";
        const Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (align & Qt::AlignHCenter)
            out += "\\qc";
        else if (align & Qt::AlignJustify)
            out += "\\qj";
        else if (align & (Qt::AlignRight))
            out += "\\qr";
        else
            out += "\\ql";
        if (bf.hasProperty(QTextFormat::LineHeightType)) {
            const double h = bf.lineHeight();
            switch (bf.lineHeightType()) {
            case QTextBlockFormat::ProportionalHeight:
                if (h > 0 && std::lround(h) != 100)
                    out += "\\sl" + QByteArray::number(std::lround(h * 240 / 100)) + "\\slmult1";
                break;
            case QTextBlockFormat::FixedHeight:
                out += "\\sl-" + QByteArray::number(twips(h)) + "\\slmult0";
                break;
            case QTextBlockFormat::MinimumHeight:
                out += "\\sl" + QByteArray::number(twips(h)) + "\\slmult0";
                break;
            default:
                break;
            }
        }
        if (bf.leftMargin() != 0)
            out += "\\li" + QByteArray::number(twips(bf.leftMargin()));
        if (bf.rightMargin() != 0)
            out += "\\ri" + QByteArray::number(twips(bf.rightMargin()));
        if (bf.textIndent() != 0)
            out += "\\fi" + QByteArray::number(twips(bf.textIndent()));
        if (bf.topMargin() != 0)
            out += "\\sb" + QByteArray::number(twips(bf.topMargin()));
        if (bf.bottomMargin() != 0)
            out += "\\sa" + QByteArray::number(twips(bf.bottomMargin()));

        // An empty paragraph still gives its height through the block's character format.
        bool wroteRun = false;
        auto writeRun = [&](const QTextCharFormat &f, QStringView text) {
            // \f alone names the font of Latin text only: LibreOffice and Word take the font of
            // Chinese characters from \dbch\af, and would otherwise show them in their default.
            const QByteArray font = QByteArray::number(fonts.indexOf(familyOf(f, defaultFamily)));
            out += "{\\hich\\af" + font + "\\dbch\\af" + font + "\\loch\\f" + font;
            const double size = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : defaultSize;
            out += "\\fs" + QByteArray::number(std::lround(size * 2));
            if (f.fontWeight() >= QFont::DemiBold)
                out += "\\b";
            if (f.fontItalic())
                out += "\\i";
            if (f.fontUnderline())
                out += "\\ul";
            if (f.fontStrikeOut())
                out += "\\strike";
            if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
                out += "\\super";
            else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
                out += "\\sub";
            if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
                out += "\\cf" + QByteArray::number(colorIndex(f.foreground().color()));
            if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
                out += "\\highlight" + QByteArray::number(colorIndex(f.background().color()));
            out += ' ';
            appendEscaped(out, text);
            out += '}';
            wroteRun = true;
        };
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            writeRun(fragment.charFormat(), fragment.text());
        }
        if (!wroteRun)
            writeRun(b.charFormat(), QStringView());
        out += "\\par}\r\n";
    }
    out += "}\r\n";
    return out;
}
