// One phrase written the Chinese way: columns from top to bottom, the first column on the right.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

// The phrase's characters (grapheme clusters), column by column from the right. Each clause starts a
// column of its own when byClause is set; a column holds at most cells characters, except that
// closing punctuation is never put at the head of a column but hung below the one before.
QList<QStringList> VerticalColumns(const QString &phrase, int cells, bool byClause);

// The vertical presentation form of a punctuation mark; any other character is drawn as it is.
QString VerticalForm(const QString &character);

class TVerticalPhrase : public QWidget
{
    Q_OBJECT
public:
    // The phrase is drawn at the largest pixel size from the widget's font size up to this.
    static constexpr int MaxPixelSize = 20;
    static constexpr int Margin = 8;

    explicit TVerticalPhrase(QWidget *parent = nullptr);

    QString phrase() const { return m_phrase; }
    void setPhrase(const QString &phrase);

    // The layout as painted: the pixel size and the cell of each character, column by column from
    // the right. A phrase too long for the widget ends with a vertical ellipsis.
    int pixelSize() const { return m_pixelSize; }
    const QList<QStringList> &columns() const { return m_columns; }
    QRect cellRect(int column, int row) const;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void relayout();
    int columnGap() const { return m_pixelSize / 2; }
    int cellHeight() const { return m_pixelSize + m_pixelSize / 8; }

    QString m_phrase;
    int m_pixelSize = 0;
    QList<QStringList> m_columns;
    QRect m_block;
};
