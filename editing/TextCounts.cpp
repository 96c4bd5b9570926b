#include "TextCounts.h"

#include <QTextBoundaryFinder>

namespace {

bool isBreak(char32_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029;
}

// Letters and digits of alphabetic scripts; East Asian scripts count character by character.
bool isWordChar(char32_t c)
{
    if (!QChar::isLetterOrNumber(c))
        return false;
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
    case QChar::Script_Yi:
        return false;
    default:
        return true;
    }
}

// Characters that join a Latin word when letters stand on both sides: don't, e-mail, 3.14.
bool isWordJoiner(char32_t c)
{
    return c == u'\'' || c == 0x2019 || c == u'-' || c == u'.';
}

bool isPunctuation(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Punctuation_Connector:
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
    case QChar::Punctuation_InitialQuote:
    case QChar::Punctuation_FinalQuote:
    case QChar::Punctuation_Other:
        return true;
    default:
        return false;
    }
}

bool isChinese(char32_t c)
{
    return QChar::script(c) == QChar::Script_Han && QChar::isLetter(c);
}

// Narrow punctuation and symbols (ASCII and Latin-1) belong to the Latin text around them.
bool isNarrow(char32_t c)
{
    return c < 0x0250;
}

} // namespace

TTextCounts CountText(QStringView text)
{
    TTextCounts counts;
    bool paragraphHasText = false;
    bool inWord = false;
    // Grapheme clusters: a cluster is counted by its first code point.
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text.data(), int(text.size()));
    qsizetype start = 0;
    for (qsizetype end = graphemes.toNextBoundary(); end > 0; start = end, end = graphemes.toNextBoundary()) {
        char32_t c = text.at(start).unicode();
        if (QChar::isHighSurrogate(c) && start + 1 < end)
            c = QChar::surrogateToUcs4(text.at(start).unicode(), text.at(start + 1).unicode());
        if (isBreak(c)) {
            counts.Paragraphs += paragraphHasText ? 1 : 0;
            paragraphHasText = false;
            inWord = false;
            continue;
        }
        if (c == 0xFFFC)
            continue;
        ++counts.CharactersWithSpaces;
        if (QChar::isSpace(c)) {
            inWord = false;
            continue;
        }
        ++counts.CharactersNoSpaces;
        paragraphHasText = true;
        if (isPunctuation(c))
            ++counts.Punctuation;
        if (isWordChar(c)) {
            if (!inWord)
                ++counts.Words;
            inWord = true;
            continue;
        }
        if (inWord && isWordJoiner(c) && end < text.size() && isWordChar(text.at(end).unicode()))
            continue;
        inWord = false;
        if (isChinese(c)) {
            ++counts.Chinese;
            ++counts.Words;
        } else if (!isNarrow(c)) {
            ++counts.Words;
        }
    }
    counts.Paragraphs += paragraphHasText ? 1 : 0;
    return counts;
}
