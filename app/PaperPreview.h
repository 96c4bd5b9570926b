#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QList>

#include <memory>

namespace Paper {
class LetterPaper;
}

// The letter's pages one below the other, each scaled to fit the view whole; scrolled by wheel,
// scroll bar or the arrow and page keys.
class TPaperPreview : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TPaperPreview(QWidget *parent = nullptr);

    void SetPaper(std::shared_ptr<const Paper::LetterPaper> paper);
    // The rectangle of page `page` in viewport coordinates.
    QRect PageRect(int page) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QSize pageSize() const;
    void updateScrollBar();

    std::shared_ptr<const Paper::LetterPaper> m_paper;
    QList<QImage> m_pages; // drawn when first shown at the current size
};
