// RTF reader for the letter editor.
//
// What the reader relies on (RTF 1.9.1):
//   group        '{' ... '}'; character and paragraph properties are saved on '{' and restored on '}'
//   control word '\' letters [ '-' ] digits* [ ' ' ]   the space delimiter belongs to the word
//   control sym  '\' one non-letter: \' hex hex (one byte in the current code page), \\ \{ \},
//                \~ (no-break space), \_ (non-breaking hyphen), \- (optional hyphen), \* (ignorable
//                destination follows), '\' CR or LF (= \par, as macOS TextEdit writes it)
//   \binN        N raw bytes follow the delimiter; they are skipped, bounded by the end of the data
//   \uN          one UTF-16 unit (N signed 16 bit); the next \ucN "characters" (a literal byte, a
//                \'xx, a control word) are the ANSI fallback and are skipped; a brace ends the skip
//   bytes        decoded by the code page of the current font (\fcharset, \cpg in the font table),
//                else by \ansicpg; CR and LF in the data are not text
// Unknown destinations marked with \*, pictures, objects, headers, footers, footnotes, the style
// sheet and the information group are skipped. Groups nested deeper than kMaxDepth are skipped
// as a whole, so the state stack stays bounded; numbers are clamped to 32 bits.

#include "RtfReader.h"

#include "RtfTokenReader.h"
#include "TextUnits.h"
#include "UndoPause.h"

#include <QHash>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

constexpr int kMaxDepth = 512;

enum class Dest {
    Normal,
    Skip,
    FontTable,
    ColorTable,
    Upr, // {\upr{ansi text}{\*\ud{unicode text}}}: only the \ud part is read
};

struct CharProps
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int font = -1;
    int halfPoints = 0; // 0: not given, the editor's own size applies
    int fg = 0; // colour table index; 0 is "auto"
    int bg = 0;
    int vAlign = 0; // 1 superscript, -1 subscript

    bool operator==(const CharProps &) const = default;
};

struct ParaProps
{
    Qt::Alignment align = Qt::AlignLeft;
    int sl = 0;
    bool slmult = false;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
};

struct State
{
    Dest dest = Dest::Normal;
    CharProps chr;
    ParaProps para;
    int uc = 1;
};

struct FontEntry
{
    QString name;
    int codePage = 0; // 0: the document's \ansicpg
};

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 1:
        return 0;
    case 2:
        return -2; // symbol fonts
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

bool isKnownDestinationToSkip(QByteArrayView word)
{
    static const char *const skipped[] = {
        "stylesheet",
        "info",
        "pict",
        "object",
        "header",
        "headerl",
        "headerr",
        "headerf",
        "footer",
        "footerl",
        "footerr",
        "footerf",
        "footnote",
        "annotation",
        "xe",
        "tc",
        "txe",
        "rxe",
        "fldinst",
        "pn",
        "nonshppict",
        "shpinst",
        "shp",
        "ftnsep",
        "ftnsepc",
        "ftncn",
        "aftnsep",
        "aftnsepc",
        "aftncn",
        "listtable",
        "listoverridetable",
        "revtbl",
        "rsidtbl",
        "generator",
        "themedata",
        "colorschememapping",
        "latentstyles",
        "datastore",
        "xmlnstbl",
        "filetbl",
        "pgdsctbl",
        "template",
        "atnid",
        "atnauthor",
        "atrfstart",
        "atrfend",
        "bkmkstart",
        "bkmkend",
        "fchars",
        "lchars",
        "userprops",
        "objdata",
        "datafield",
        "fldtype",
        "picprop",
        "blipuid",
        "mmathPr",
        "docvar",
        "nonesttables",
    };
    for (const char *s : skipped)
        if (word == QByteArrayView(s))
            return true;
    return false;
}

std::string_view asStringView(QByteArrayView word)
{
    return std::string_view(word.data(), size_t(word.size()));
}

// Control words that stand for one character of the text.
const std::unordered_map<std::string_view, char16_t> &characterWords()
{
    static const std::unordered_map<std::string_view, char16_t> words {
        { "line", QChar::LineSeparator },
        { "tab", u'\t' },
        { "emdash", 0x2014 },
        { "endash", 0x2013 },
        { "bullet", 0x2022 },
        { "lquote", 0x2018 },
        { "rquote", 0x2019 },
        { "ldblquote", 0x201C },
        { "rdblquote", 0x201D },
        { "emspace", 0x2003 },
        { "enspace", 0x2002 },
        { "qmspace", 0x2005 },
        { "zwj", 0x200D },
        { "zwnj", 0x200C },
    };
    return words;
}

class Parser
{
public:
    Parser(const QByteArray &data, QTextDocument *doc)
        : m_data(data)
        , m_doc(doc)
        , m_cursor(doc)
    {
    }

    void run();

private:
    // What a control word does in the document's text, given its parameter.
    struct WordParam
    {
        bool on; // no parameter, or one other than 0
        bool hasParam;
        int param;
    };
    using WordEffect = void (*)(Parser &, const WordParam &);
    static const std::unordered_map<std::string_view, WordEffect> &textWords();

    const QByteArray &m_data;

    // output
    QTextDocument *m_doc;
    QTextCursor m_cursor;
    QString m_text; // decoded text not yet inserted
    CharProps m_textProps; // the properties of m_text
    QByteArray m_bytes; // code-page bytes not yet decoded
    int m_bytesCodePage = 0;
    bool m_blockHasContent = false;
    bool m_endedWithPar = false;

    // document tables
    int m_ansiCodePage = 1252;
    int m_defaultFont = -1;
    QHash<int, FontEntry> m_fonts;
    std::vector<QColor> m_colors; // index 0 is "auto"
    bool m_colorTouched = false;
    int m_red = 0, m_green = 0, m_blue = 0;
    int m_fontBeingDefined = -1;
    QByteArray m_fontName;
    int m_footnoteCount = 0;

    std::vector<State> m_stack;
    State m_state;
    int m_overflowDepth = 0;
    int m_skipFallback = 0; // \uc fallback characters still to drop
    std::map<int, std::unique_ptr<QStringDecoder>> m_decoders;

    QStringDecoder *decoder(int codePage);
    int currentCodePage() const;
    void appendByte(char byte);
    void appendText(const QString &text);
    void flushBytes();
    void flushText();
    void endParagraph();
    void finishFontName();
    void finishColor();
    QTextCharFormat charFormat(const CharProps &p) const;
    QTextBlockFormat blockFormat(const ParaProps &p) const;

    void pushGroup();
    void popGroup();
    void word(const RtfToken &t, bool starred);
    void controlWord(QByteArrayView word, bool hasParam, int param);
    void controlSymbol(char c);
    bool destination(QByteArrayView word, bool starred);
    bool consumeFallback();
};

QStringDecoder *Parser::decoder(int codePage)
{
    auto it = m_decoders.find(codePage);
    if (it != m_decoders.end())
        return it->second.get();
    QByteArray name;
    if (codePage == 10000)
        name = "macintosh";
    else if (codePage == 437 || codePage == 850)
        name = "IBM" + QByteArray::number(codePage);
    else
        name = "windows-" + QByteArray::number(codePage);
    auto d = std::make_unique<QStringDecoder>(name.constData(), QStringConverter::Flag::Stateless);
    if (!d->isValid())
        d = std::make_unique<QStringDecoder>("windows-1252", QStringConverter::Flag::Stateless);
    if (!d->isValid())
        d = std::make_unique<QStringDecoder>(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
    return m_decoders.emplace(codePage, std::move(d)).first->second.get();
}

int Parser::currentCodePage() const
{
    const auto it = m_fonts.constFind(m_state.chr.font);
    if (it != m_fonts.constEnd() && it->codePage != 0)
        return it->codePage;
    return m_ansiCodePage;
}

void Parser::appendByte(char byte)
{
    if (m_state.dest == Dest::FontTable) {
        if (byte == ';')
            finishFontName();
        else
            m_fontName += byte;
        return;
    }
    if (m_state.dest == Dest::ColorTable) {
        if (byte == ';')
            finishColor();
        return;
    }
    if (m_state.dest != Dest::Normal || m_state.chr.hidden)
        return;
    const int cp = currentCodePage();
    if (!m_bytes.isEmpty() && cp != m_bytesCodePage)
        flushBytes();
    m_bytesCodePage = cp;
    m_bytes += byte;
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty())
        return;
    QString s;
    if (m_bytesCodePage == -2) {
        // Symbol fonts: keep the bullets that list labels use, the rest as Latin-1.
        s = QString::fromLatin1(m_bytes);
        s.replace(QChar(0xB7), QChar(0x2022));
    } else {
        s = (*decoder(m_bytesCodePage))(m_bytes);
    }
    m_bytes.clear();
    appendText(s);
}

void Parser::appendText(const QString &text)
{
    if (m_state.dest != Dest::Normal || m_state.chr.hidden || text.isEmpty())
        return;
    if (!m_text.isEmpty() && !(m_textProps == m_state.chr))
        flushText();
    if (m_text.isEmpty())
        m_textProps = m_state.chr;
    m_text += text;
    m_blockHasContent = true;
    m_endedWithPar = false;
}

void Parser::flushText()
{
    if (m_text.isEmpty())
        return;
    // \uN may give half a surrogate pair; such a letter could never be saved as text again.
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        if (m_text.at(i).isHighSurrogate() && i + 1 < m_text.size() && m_text.at(i + 1).isLowSurrogate())
            ++i;
        else if (m_text.at(i).isSurrogate())
            m_text[i] = QChar::ReplacementCharacter;
    }
    m_cursor.insertText(m_text, charFormat(m_textProps));
    m_text.clear();
}

QTextCharFormat Parser::charFormat(const CharProps &p) const
{
    QTextCharFormat f;
    if (p.bold)
        f.setFontWeight(QFont::Bold);
    if (p.italic)
        f.setFontItalic(true);
    if (p.underline)
        f.setFontUnderline(true);
    if (p.strike)
        f.setFontStrikeOut(true);
    const auto font = m_fonts.constFind(p.font);
    if (font != m_fonts.constEnd() && !font->name.isEmpty())
        f.setFontFamilies(QStringList { font->name });
    if (p.halfPoints > 0)
        f.setFontPointSize(p.halfPoints / 2.0);
    if (p.fg > 0 && size_t(p.fg) < m_colors.size() && m_colors[p.fg].isValid())
        f.setForeground(m_colors[p.fg]);
    if (p.bg > 0 && size_t(p.bg) < m_colors.size() && m_colors[p.bg].isValid())
        f.setBackground(m_colors[p.bg]);
    if (p.vAlign > 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (p.vAlign < 0)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

QTextBlockFormat Parser::blockFormat(const ParaProps &p) const
{
    QTextBlockFormat f;
    f.setAlignment(p.align);
    if (p.sl != 0) {
        if (p.slmult && p.sl > 0)
            f.setLineHeight(p.sl * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (p.sl > 0)
            f.setLineHeight(double(p.sl) / TwipsPerPixel, QTextBlockFormat::MinimumHeight);
        else
            f.setLineHeight(double(-qint64(p.sl)) / TwipsPerPixel, QTextBlockFormat::FixedHeight);
    }
    if (p.li)
        f.setLeftMargin(double(p.li) / TwipsPerPixel);
    if (p.ri)
        f.setRightMargin(double(p.ri) / TwipsPerPixel);
    if (p.fi)
        f.setTextIndent(double(p.fi) / TwipsPerPixel);
    if (p.sb)
        f.setTopMargin(double(p.sb) / TwipsPerPixel);
    if (p.sa)
        f.setBottomMargin(double(p.sa) / TwipsPerPixel);
    return f;
}

void Parser::endParagraph()
{
    if (m_state.dest != Dest::Normal)
        return;
    flushBytes();
    flushText();
    m_cursor.setBlockFormat(blockFormat(m_state.para));
    m_cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    m_blockHasContent = false;
    m_endedWithPar = true;
}

void Parser::finishFontName()
{
    if (m_fontBeingDefined < 0)
        return;
    FontEntry &font = m_fonts[m_fontBeingDefined];
    const int cp = font.codePage > 0 ? font.codePage : m_ansiCodePage;
    font.name = (cp > 0 ? (*decoder(cp))(m_fontName) : QString::fromLatin1(m_fontName)).trimmed();
    m_fontName.clear();
    m_fontBeingDefined = -1;
}

void Parser::finishColor()
{
    m_colors.push_back(m_colorTouched ? QColor(m_red, m_green, m_blue) : QColor());
    m_colorTouched = false;
    m_red = m_green = m_blue = 0;
}

void Parser::pushGroup()
{
    flushBytes();
    if (m_overflowDepth > 0 || m_stack.size() >= size_t(kMaxDepth)) {
        ++m_overflowDepth;
        return;
    }
    m_stack.push_back(m_state);
    // A font entry is its own group inside the table; its sub-groups (\*\panose, \*\falt) are not.
    if (m_state.dest == Dest::FontTable && m_fontBeingDefined >= 0)
        m_state.dest = Dest::Skip;
    if (m_state.dest == Dest::Upr)
        m_state.dest = Dest::Skip;
}

void Parser::popGroup()
{
    flushBytes();
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.empty())
        return;
    const Dest leaving = m_state.dest;
    const Dest parent = m_stack.back().dest;
    if (leaving == Dest::FontTable && parent != Dest::FontTable)
        finishFontName();
    if (leaving == Dest::FontTable && parent == Dest::FontTable && m_fontBeingDefined >= 0)
        finishFontName(); // an entry without its ';'
    m_state = m_stack.back();
    m_stack.pop_back();
}

bool Parser::consumeFallback()
{
    if (m_skipFallback > 0) {
        --m_skipFallback;
        return true;
    }
    return false;
}

bool Parser::destination(QByteArrayView word, bool starred)
{
    if (word == "fonttbl") {
        m_state.dest = Dest::FontTable;
        return true;
    }
    if (word == "colortbl") {
        m_state.dest = Dest::ColorTable;
        m_colors.clear();
        return true;
    }
    if (word == "upr") {
        m_state.dest = Dest::Upr;
        return true;
    }
    if (word == "ud") {
        if (!m_stack.empty() && m_stack.back().dest == Dest::Upr) {
            // The \ud group's parent was made Skip by pushGroup; read it as the document.
            m_state.dest = m_stack.size() >= 2 ? m_stack[m_stack.size() - 2].dest : Dest::Normal;
        }
        return true;
    }
    if (word == "fldrslt" || word == "field" || word == "listtext" || word == "pntext" || word == "result")
        return true;
    if (isKnownDestinationToSkip(word) || starred) {
        m_state.dest = Dest::Skip;
        return true;
    }
    return false;
}

void Parser::controlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (!consumeFallback())
            appendByte(c);
        break;
    case '~':
        flushBytes();
        if (!consumeFallback())
            appendText(QString(QChar(0x00A0)));
        break;
    case '_':
        flushBytes();
        if (!consumeFallback())
            appendText(QString(QChar(0x2011)));
        break;
    case '\r':
    case '\n':
        flushBytes();
        if (!consumeFallback())
            endParagraph();
        break;
    default: // \- optional hyphen, \: index entry, \| formula: nothing to show
        flushBytes();
        consumeFallback();
        break;
    }
}

void Parser::controlWord(QByteArrayView word, bool hasParam, int param)
{
    flushBytes();
    if (consumeFallback())
        return;
    CharProps &chr = m_state.chr;
    const bool on = !hasParam || param != 0;

    if (m_state.dest == Dest::FontTable) {
        if (word == "f") {
            finishFontName();
            m_fontName.clear();
            m_fontBeingDefined = param;
            m_fonts[param] = FontEntry {};
        } else if (word == "fcharset" && m_fontBeingDefined >= 0) {
            m_fonts[m_fontBeingDefined].codePage = codePageOfCharset(param);
        } else if (word == "cpg" && m_fontBeingDefined >= 0 && param > 0) {
            m_fonts[m_fontBeingDefined].codePage = param;
        } else if (word == "u" && m_fontBeingDefined >= 0) {
            // A Unicode font name: keep it as UTF-8 bytes and decode the whole name below.
            m_fontName += QString(QChar(char16_t(param))).toUtf8();
        }
        return;
    }
    if (m_state.dest == Dest::ColorTable) {
        const int v = std::clamp(param, 0, 255);
        if (word == "red") {
            m_red = v;
            m_colorTouched = true;
        } else if (word == "green") {
            m_green = v;
            m_colorTouched = true;
        } else if (word == "blue") {
            m_blue = v;
            m_colorTouched = true;
        }
        return;
    }

    // Document-wide settings may come from anywhere in the header.
    if (word == "ansicpg") {
        if (param > 0)
            m_ansiCodePage = param;
        return;
    }
    if (word == "deff") {
        m_defaultFont = param;
        chr.font = param;
        for (State &s : m_stack)
            if (s.chr.font < 0)
                s.chr.font = param;
        return;
    }
    if (word == "uc") {
        m_state.uc = std::clamp(param, 0, 16);
        return;
    }
    if (m_state.dest != Dest::Normal)
        return;

    if (const auto special = characterWords().find(asStringView(word)); special != characterWords().end()) {
        appendText(QString(QChar(special->second)));
        return;
    }
    if (const auto effect = textWords().find(asStringView(word)); effect != textWords().end()) {
        effect->second(*this, WordParam { on, hasParam, param });
        return;
    }
    if (word.startsWith("ul") && word != "ulc")
        chr.underline = on; // \ul and its kinds: \uld, \ulw, \ulwave, ...
}

const std::unordered_map<std::string_view, Parser::WordEffect> &Parser::textWords()
{
    static const std::unordered_map<std::string_view, WordEffect> words {
        { "par", [](Parser &p, const WordParam &) { p.endParagraph(); } },
        { "cell", [](Parser &p, const WordParam &) { p.endParagraph(); } },
        { "nestcell", [](Parser &p, const WordParam &) { p.endParagraph(); } },
        // A section break ends a paragraph that has text; after a \par it adds no empty one.
        { "sect",
            [](Parser &p, const WordParam &) {
                if (p.m_blockHasContent)
                    p.endParagraph();
            } },
        { "u",
            [](Parser &p, const WordParam &w) {
                int unit = w.param;
                if (unit < 0)
                    unit += 65536;
                if (unit >= 0 && unit <= 0xFFFF)
                    p.appendText(QString(QChar(char16_t(unit))));
                p.m_skipFallback = p.m_state.uc;
            } },
        { "chftn", [](Parser &p, const WordParam &) { p.appendText(QString::number(++p.m_footnoteCount)); } },
        { "plain",
            [](Parser &p, const WordParam &) {
                p.m_state.chr = CharProps {};
                p.m_state.chr.font = p.m_defaultFont;
            } },
        { "b", [](Parser &p, const WordParam &w) { p.m_state.chr.bold = w.on; } },
        { "i", [](Parser &p, const WordParam &w) { p.m_state.chr.italic = w.on; } },
        { "ulnone", [](Parser &p, const WordParam &) { p.m_state.chr.underline = false; } },
        { "strike", [](Parser &p, const WordParam &w) { p.m_state.chr.strike = w.on; } },
        { "striked", [](Parser &p, const WordParam &w) { p.m_state.chr.strike = w.on; } },
        { "v", [](Parser &p, const WordParam &w) { p.m_state.chr.hidden = w.on; } },
        { "f", [](Parser &p, const WordParam &w) { p.m_state.chr.font = w.param; } },
        { "fs",
            [](Parser &p, const WordParam &w) {
                p.m_state.chr.halfPoints = w.hasParam ? std::clamp(w.param, 0, 3276) : 24;
            } },
        { "cf", [](Parser &p, const WordParam &w) { p.m_state.chr.fg = std::max(w.param, 0); } },
        { "cb", [](Parser &p, const WordParam &w) { p.m_state.chr.bg = std::max(w.param, 0); } },
        { "highlight", [](Parser &p, const WordParam &w) { p.m_state.chr.bg = std::max(w.param, 0); } },
        { "chcbpat", [](Parser &p, const WordParam &w) { p.m_state.chr.bg = std::max(w.param, 0); } },
        { "super", [](Parser &p, const WordParam &) { p.m_state.chr.vAlign = 1; } },
        { "sub", [](Parser &p, const WordParam &) { p.m_state.chr.vAlign = -1; } },
        { "nosupersub", [](Parser &p, const WordParam &) { p.m_state.chr.vAlign = 0; } },
        { "pard", [](Parser &p, const WordParam &) { p.m_state.para = ParaProps {}; } },
        { "ql", [](Parser &p, const WordParam &) { p.m_state.para.align = Qt::AlignLeft; } },
        { "qr", [](Parser &p, const WordParam &) { p.m_state.para.align = Qt::AlignRight; } },
        { "qc", [](Parser &p, const WordParam &) { p.m_state.para.align = Qt::AlignHCenter; } },
        { "qj", [](Parser &p, const WordParam &) { p.m_state.para.align = Qt::AlignJustify; } },
        { "qd", [](Parser &p, const WordParam &) { p.m_state.para.align = Qt::AlignJustify; } },
        { "sl",
            [](Parser &p, const WordParam &w) { p.m_state.para.sl = std::clamp(w.param, -31680, 31680); } },
        { "slmult", [](Parser &p, const WordParam &w) { p.m_state.para.slmult = w.on; } },
        { "li",
            [](Parser &p, const WordParam &w) { p.m_state.para.li = std::clamp(w.param, -31680, 31680); } },
        { "lin",
            [](Parser &p, const WordParam &w) { p.m_state.para.li = std::clamp(w.param, -31680, 31680); } },
        { "ri",
            [](Parser &p, const WordParam &w) { p.m_state.para.ri = std::clamp(w.param, -31680, 31680); } },
        { "rin",
            [](Parser &p, const WordParam &w) { p.m_state.para.ri = std::clamp(w.param, -31680, 31680); } },
        { "fi",
            [](Parser &p, const WordParam &w) { p.m_state.para.fi = std::clamp(w.param, -31680, 31680); } },
        { "sb", [](Parser &p, const WordParam &w) { p.m_state.para.sb = std::clamp(w.param, 0, 31680); } },
        { "sa", [](Parser &p, const WordParam &w) { p.m_state.para.sa = std::clamp(w.param, 0, 31680); } },
    };
    return words;
}

// Control words after the destination checks: those of the font and colour tables, the
// document-wide settings, then the text's own.
void Parser::word(const RtfToken &t, bool starred)
{
    if (m_state.dest == Dest::Skip) {
        if (t.word == "ud" && !m_stack.empty() && m_stack.back().dest == Dest::Upr)
            destination(t.word, starred);
        return;
    }
    // A destination word only counts at the start of its group.
    if (!m_stack.empty() && (starred || t.word.size() > 1)) {
        const Dest before = m_state.dest;
        if (before == Dest::Normal || before == Dest::Upr) {
            flushBytes();
            if (destination(t.word, starred))
                return;
        } else if ((before == Dest::FontTable && starred) || before == Dest::ColorTable) {
            if (starred) {
                m_state.dest = Dest::Skip;
                return;
            }
        }
    }
    controlWord(t.word, t.hasParam, t.param);
}

void Parser::run()
{
    RtfTokenReader reader(m_data);
    bool starNext = false; // \* came: the next word names a destination to skip if unknown
    bool sawRoot = false;

    m_cursor.beginEditBlock();
    for (RtfToken t = reader.next(); t.kind != RtfToken::End; t = reader.next()) {
        if (t.kind == RtfToken::GroupStart) {
            m_skipFallback = 0;
            pushGroup();
            sawRoot = true;
        } else if (t.kind == RtfToken::GroupEnd) {
            m_skipFallback = 0;
            if (m_stack.empty() && m_overflowDepth == 0)
                break; // the root group is closed: the document ends here
            popGroup();
            if (m_stack.empty() && m_overflowDepth == 0)
                break;
        } else if (t.kind == RtfToken::Binary) {
            starNext = false;
        } else if (m_overflowDepth > 0) {
            continue; // inside a group too deep to read
        } else if (t.kind == RtfToken::Text) {
            if (sawRoot && !consumeFallback())
                appendByte(t.byte);
        } else if (t.kind == RtfToken::HexByte) {
            starNext = false;
            if (!consumeFallback())
                appendByte(t.byte);
        } else if (t.kind == RtfToken::Symbol && t.byte == '*') {
            starNext = true;
        } else if (t.kind == RtfToken::Symbol) {
            starNext = false;
            controlSymbol(t.byte);
        } else {
            word(t, std::exchange(starNext, false));
        }
    }

    flushBytes();
    flushText();
    if (m_endedWithPar && !m_blockHasContent && m_doc->blockCount() > 1) {
        // The last \par closes the last paragraph; it does not open an empty one.
        m_cursor.deletePreviousChar();
    } else {
        m_cursor.setBlockFormat(blockFormat(m_state.para));
    }
    m_cursor.endEditBlock();
}

} // namespace

bool LooksLikeRtf(const QByteArray &data)
{
    qsizetype i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return QByteArrayView(data).sliced(i).startsWith("{\\rtf");
}

void ReadRtf(const QByteArray &data, QTextDocument *doc)
{
    const UndoPause pause(*doc);
    doc->clear();
    Parser parser(data, doc);
    parser.run();
}
