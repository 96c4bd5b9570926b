#include "LineBreaking.h"

#include <QTextBoundaryFinder>

namespace Paper {

namespace {

const QString noStartMarks = QStringLiteral("，。、；：？！）》」』”’】〕〉｝〗〙〛％·・．,.;:?!)]}%‰℃");
const QString noEndMarks = QStringLiteral("（《「『“‘【〔〈｛〖〘〚([{");
const QString ellipsis = QStringLiteral("……");
const QString dashes = QStringLiteral("——");
const QString barDashes = QStringLiteral("――");
constexpr char16_t twoEmDash = 0x2E3A;

bool isSingleChar(const QString &piece, const QString &set)
{
    return piece.size() == 1 && set.contains(piece.at(0));
}

bool isWordChar(const QString &piece)
{
    return IsHalfWidth(piece) && !piece.at(0).isSpace() && piece.at(0).isLetterOrNumber();
}

} // namespace

QStringList LetterPieces(const QString &text)
{
    QStringList pieces;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        QString piece = text.mid(start, end - start);
        start = end;
        if (!pieces.isEmpty() && piece.size() == 1 && pieces.last().size() == 1) {
            const QString pair = pieces.last() + piece;
            if (pair == ellipsis || pair == dashes || pair == barDashes) {
                pieces.last() = pair;
                continue;
            }
        }
        pieces.append(piece);
    }
    return pieces;
}

bool IsHalfWidth(const QString &piece)
{
    if (piece.isEmpty())
        return false;
    const char32_t c = piece.at(0).isHighSurrogate() && piece.size() > 1
        ? QChar::surrogateToUcs4(piece.at(0), piece.at(1))
        : piece.at(0).unicode();
    // General punctuation (“ ” … —) is full width in Chinese text; halfwidth katakana is narrow.
    return c < 0x2000 || (c >= 0xFF61 && c <= 0xFFDC);
}

bool IsDoubleWidthMark(const QString &piece)
{
    return piece == ellipsis || piece == dashes || piece == barDashes
        || (piece.size() == 1 && piece.at(0) == QChar(twoEmDash));
}

bool IsNoStart(const QString &piece)
{
    return isSingleChar(piece, noStartMarks);
}

bool IsNoEnd(const QString &piece)
{
    return isSingleChar(piece, noEndMarks);
}

bool BreakAllowed(const QString &before, const QString &after)
{
    if (IsNoStart(after) || IsNoEnd(before))
        return false;
    return !(isWordChar(before) && isWordChar(after));
}

} // namespace Paper
