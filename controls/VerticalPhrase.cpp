#include "VerticalPhrase.h"

#include <QEvent>
#include <QFontInfo>
#include <QPainter>
#include <QTextBoundaryFinder>

namespace {

// Marks that close a clause or a bracket: never at the head of a column.
const QString Closing = QStringLiteral("，。、；：！？）》」』”’〉】…,.;:!?)");
// Marks after which a new clause begins.
const QString ClauseEnd = QStringLiteral("，。、；：！？,.;:!?");
const QString Ellipsis = QStringLiteral("…");

QStringList graphemes(const QString &text)
{
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype from = 0;
    for (qsizetype next = finder.toNextBoundary(); next != -1; next = finder.toNextBoundary()) {
        result << text.mid(from, next - from);
        from = next;
    }
    return result;
}

bool isOneOf(const QString &character, const QString &set)
{
    return character.size() == 1 && set.contains(character.at(0));
}

} // namespace

QList<QStringList> VerticalColumns(const QString &phrase, int cells, bool byClause)
{
    cells = qMax(1, cells);
    QList<QStringList> columns;
    QStringList current;
    const auto flush = [&] {
        if (!current.isEmpty())
            columns << current;
        current.clear();
    };
    bool clauseEnded = false;
    for (const QString &g : graphemes(phrase)) {
        if (g.trimmed().isEmpty()) {
            // A blank separates clauses; in running text it keeps its cell, but never heads a column.
            if (byClause)
                clauseEnded = true;
            else if (!current.isEmpty() && current.size() < cells)
                current << QStringLiteral(" ");
            continue;
        }
        const bool closing = isOneOf(g, Closing);
        if (byClause && clauseEnded && !closing)
            flush();
        if (current.size() >= cells && !closing)
            flush();
        if (!closing)
            clauseEnded = false;
        current << g;
        if (isOneOf(g, ClauseEnd))
            clauseEnded = true;
    }
    flush();
    // Blanks at the foot of a column take no room.
    for (QStringList &column : columns)
        while (!column.isEmpty() && column.last() == QLatin1String(" "))
            column.removeLast();
    return columns;
}

QString VerticalForm(const QString &character)
{
    static const struct
    {
        char16_t horizontal;
        char16_t vertical;
    } forms[] = {
        { u'，', u'︐' },
        { u'、', u'︑' },
        { u'。', u'︒' },
        { u'：', u'︓' },
        { u'；', u'︔' },
        { u'！', u'︕' },
        { u'？', u'︖' },
        { u'…', u'︙' },
        { u'—', u'︱' },
        { u'（', u'︵' },
        { u'）', u'︶' },
        { u'《', u'︽' },
        { u'》', u'︾' },
        { u'〈', u'︿' },
        { u'〉', u'﹀' },
        { u'「', u'﹁' },
        { u'」', u'﹂' },
        { u'『', u'﹃' },
        { u'』', u'﹄' },
        { u'“', u'﹁' },
        { u'”', u'﹂' },
        { u'‘', u'﹃' },
        { u'’', u'﹄' },
        { u'【', u'︻' },
        { u'】', u'︼' },
    };
    if (character.size() == 1) {
        for (const auto &form : forms)
            if (character.at(0) == QChar(form.horizontal))
                return QString(QChar(form.vertical));
    }
    return character;
}

TVerticalPhrase::TVerticalPhrase(QWidget *parent)
    : QWidget(parent)
{
}

void TVerticalPhrase::setPhrase(const QString &phrase)
{
    if (phrase == m_phrase)
        return;
    m_phrase = phrase;
    relayout();
}

QRect TVerticalPhrase::cellRect(int column, int row) const
{
    const int x = m_block.left() + m_block.width() - (column + 1) * m_pixelSize - column * columnGap();
    return QRect(x, m_block.top() + row * cellHeight(), m_pixelSize, cellHeight());
}

void TVerticalPhrase::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        relayout();
    QWidget::changeEvent(event);
}

void TVerticalPhrase::resizeEvent(QResizeEvent *event)
{
    relayout();
    QWidget::resizeEvent(event);
}

void TVerticalPhrase::paintEvent(QPaintEvent *)
{
    if (m_columns.isEmpty())
        return;
    QPainter painter(this);
    QFont font = this->font();
    font.setPixelSize(m_pixelSize);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    for (int c = 0; c < m_columns.size(); ++c) {
        const QStringList &column = m_columns.at(c);
        for (int r = 0; r < column.size(); ++r)
            painter.drawText(cellRect(c, r), Qt::AlignCenter, VerticalForm(column.at(r)));
    }
}

void TVerticalPhrase::relayout()
{
    m_columns.clear();
    m_block = QRect();
    update();
    const QString text = m_phrase.trimmed();
    const QRect area = rect().adjusted(Margin, Margin, -Margin, -Margin);
    if (text.isEmpty() || area.isEmpty())
        return;

    const int smallest = qMax(1, QFontInfo(font()).pixelSize());
    const auto place = [&](int pixelSize, const QList<QStringList> &columns) {
        m_pixelSize = pixelSize;
        m_columns = columns;
        qsizetype longest = 0;
        for (const QStringList &column : columns)
            longest = qMax(longest, column.size());
        const int n = int(columns.size());
        QRect block(0, 0, n * pixelSize + (n - 1) * columnGap(), int(longest) * cellHeight());
        block.moveCenter(rect().center());
        m_block = block;
        return m_block.width() <= area.width() && m_block.height() <= area.height();
    };
    // Clause by clause if it fits, else in running text; in each the largest size that fits.
    for (bool byClause : { true, false }) {
        for (int size = qMax(MaxPixelSize, smallest); size >= smallest; --size) {
            m_pixelSize = size;
            const int cells = area.height() / cellHeight();
            if (cells > 0 && place(size, VerticalColumns(text, cells, byClause)))
                return;
        }
    }

    // Too long even so: as many full columns as there is room for, the last ending in an ellipsis.
    m_pixelSize = smallest;
    const int cells = qMax(1, area.height() / cellHeight());
    const int room = qMax(1, (area.width() + columnGap()) / (smallest + columnGap()));
    QList<QStringList> columns = VerticalColumns(text, cells, false);
    bool cut = columns.size() > room;
    columns.resize(qMin<qsizetype>(columns.size(), room));
    for (QStringList &column : columns) {
        if (column.size() > cells) {
            column.resize(cells);
            cut = true;
        }
    }
    if (cut)
        columns.last().last() = Ellipsis;
    place(smallest, columns);
}
