#include "TextFind.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {

bool isWordChar(QChar c)
{
    return c.isDigit() || (c.isLetter() && c.script() == QChar::Script_Latin);
}

Qt::CaseSensitivity sensitivity(TFindOptions options)
{
    return options.CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

bool wholeWordAt(QStringView text, qsizetype at, qsizetype length)
{
    const qsizetype end = at + length;
    if (at > 0 && isWordChar(text[at]) && isWordChar(text[at - 1]))
        return false;
    if (end < text.size() && isWordChar(text[end - 1]) && isWordChar(text[end]))
        return false;
    return true;
}

// First match in text starting at or after from, or -1.
qsizetype nextIn(QStringView text, const QString &what, qsizetype from, TFindOptions options)
{
    for (qsizetype at = text.indexOf(what, from, sensitivity(options)); at >= 0;
         at = text.indexOf(what, at + 1, sensitivity(options))) {
        if (!options.WholeWords || wholeWordAt(text, at, what.size()))
            return at;
    }
    return -1;
}

// Last match in text ending at or before end, or -1.
qsizetype previousIn(QStringView text, const QString &what, qsizetype end, TFindOptions options)
{
    for (qsizetype at = end - what.size(); at >= 0; --at) {
        at = text.lastIndexOf(what, at, sensitivity(options));
        if (at < 0)
            return -1;
        if (!options.WholeWords || wholeWordAt(text, at, what.size()))
            return at;
    }
    return -1;
}

QTextCursor select(const QTextDocument *doc, int position, qsizetype length)
{
    QTextCursor c(const_cast<QTextDocument *>(doc));
    c.setPosition(position);
    c.setPosition(position + int(length), QTextCursor::KeepAnchor);
    return c;
}

// Document positions of every match, in order; each block's text is read once.
QList<int> allMatches(const QTextDocument *doc, const QString &what, TFindOptions options)
{
    QList<int> positions;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        for (qsizetype at = nextIn(text, what, 0, options); at >= 0;
             at = nextIn(text, what, at + what.size(), options))
            positions.append(b.position() + int(at));
    }
    return positions;
}

} // namespace

TFindResult FindText(const QTextDocument *doc, const QString &what, const QTextCursor &from,
    TFindOptions options, bool backward)
{
    if (what.isEmpty())
        return {};
    const int start = from.isNull() ? 0 : backward ? from.selectionStart() : from.selectionEnd();
    const QTextBlock first = doc->findBlock(start);
    if (!backward) {
        // The first block twice: after the start, then (wrapped) before it.
        QTextBlock b = first;
        for (bool wrapped = false;;) {
            const QString text = b.text();
            const qsizetype offset = b == first && !wrapped ? start - b.position() : 0;
            const qsizetype at = nextIn(text, what, offset, options);
            if (at >= 0)
                return { select(doc, b.position() + int(at), what.size()), wrapped };
            if (wrapped && b == first)
                return {};
            b = b.next();
            if (!b.isValid()) {
                b = doc->begin();
                wrapped = true;
            }
        }
    }
    QTextBlock b = first;
    for (bool wrapped = false;;) {
        const QString text = b.text();
        const qsizetype end = b == first && !wrapped ? start - b.position() : text.size();
        const qsizetype at = previousIn(text, what, end, options);
        if (at >= 0)
            return { select(doc, b.position() + int(at), what.size()), wrapped };
        if (wrapped && b == first)
            return {};
        b = b.previous();
        if (!b.isValid()) {
            b = doc->lastBlock();
            wrapped = true;
        }
    }
}

bool IsMatch(const QTextCursor &selection, const QString &what, TFindOptions options)
{
    if (!selection.hasSelection() || what.isEmpty())
        return false;
    const QTextBlock b = selection.block();
    const int at = selection.selectionStart() - b.position();
    if (selection.selectionEnd() - selection.selectionStart() != what.size() || at < 0
        || at + what.size() > b.length() - 1)
        return false;
    const QString text = b.text();
    return QStringView(text).mid(at, what.size()).compare(what, sensitivity(options)) == 0
        && (!options.WholeWords || wholeWordAt(text, at, what.size()));
}

int CountMatches(const QTextDocument *doc, const QString &what, TFindOptions options)
{
    return what.isEmpty() ? 0 : int(allMatches(doc, what, options).size());
}

int ReplaceAll(QTextDocument *doc, const QString &what, const QString &with, TFindOptions options)
{
    if (what.isEmpty())
        return 0;
    // All matches are found before the first change, so a replacement is never searched again.
    const QList<int> positions = allMatches(doc, what, options);
    if (positions.isEmpty())
        return 0;
    QTextCursor edit(doc);
    edit.beginEditBlock();
    // From the last match, so the earlier positions stay where they were.
    for (auto at = positions.crbegin(); at != positions.crend(); ++at) {
        edit.setPosition(*at);
        edit.setPosition(*at + int(what.size()), QTextCursor::KeepAnchor);
        edit.insertText(with, edit.charFormat());
    }
    edit.endEditBlock();
    return int(positions.size());
}
