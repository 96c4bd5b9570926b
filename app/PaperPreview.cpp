#include "PaperPreview.h"

#include "LetterPaper.h"

#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int Gap = 12;

} // namespace

TPaperPreview::TPaperPreview(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

void TPaperPreview::SetPaper(std::shared_ptr<const Paper::LetterPaper> paper)
{
    m_paper = std::move(paper);
    m_pages.clear();
    updateScrollBar();
    viewport()->update();
}

QSize TPaperPreview::pageSize() const
{
    if (!m_paper)
        return QSize();
    const QSize room = viewport()->size() - QSize(2 * Gap, 2 * Gap);
    return m_paper->pageSizeMm().scaled(QSizeF(room.expandedTo(QSize(1, 1))), Qt::KeepAspectRatio).toSize();
}

QRect TPaperPreview::PageRect(int page) const
{
    const QSize size = pageSize();
    const int left = (viewport()->width() - size.width()) / 2;
    return QRect(QPoint(left, Gap + page * (size.height() + Gap) - verticalScrollBar()->value()), size);
}

void TPaperPreview::updateScrollBar()
{
    const int pages = m_paper ? m_paper->pageCount() : 0;
    const int step = pageSize().height() + Gap;
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, qMax(0, Gap + pages * step - viewport()->height()));
    bar->setPageStep(step);
    bar->setSingleStep(qMax(1, step / 10));
}

void TPaperPreview::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_pages.clear();
    updateScrollBar();
}

void TPaperPreview::paintEvent(QPaintEvent *)
{
    if (!m_paper)
        return;
    QPainter painter(viewport());
    const qreal ratio = devicePixelRatioF();
    if (m_pages.size() != m_paper->pageCount())
        m_pages = QList<QImage>(m_paper->pageCount());
    for (int i = 0; i < m_paper->pageCount(); ++i) {
        const QRect rect = PageRect(i);
        if (!rect.intersects(viewport()->rect()))
            continue;
        QImage &image = m_pages[i];
        if (image.isNull()) {
            image = QImage(rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            QPainter page(&image);
            page.setRenderHint(QPainter::Antialiasing);
            page.setRenderHint(QPainter::TextAntialiasing);
            m_paper->paintPage(page, i, QRectF(QPointF(), rect.size()));
        }
        painter.drawImage(rect.topLeft(), image);
    }
}
