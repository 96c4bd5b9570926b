#include "ToolPictures.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>

namespace {

const QColor Ink(60, 80, 110);

void drawPage(QPainter &p, const QRectF &r)
{
    QPainterPath page;
    page.moveTo(r.left(), r.top());
    page.lineTo(r.right() - 3, r.top());
    page.lineTo(r.right(), r.top() + 3);
    page.lineTo(r.right(), r.bottom());
    page.lineTo(r.left(), r.bottom());
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawLine(QPointF(r.right() - 3, r.top()), QPointF(r.right() - 3, r.top() + 3));
    p.drawLine(QPointF(r.right() - 3, r.top() + 3), QPointF(r.right(), r.top() + 3));
}

// Drawn in a 16 × 16 grid, scaled for larger sizes.
void drawPicture(QPainter &p, int index)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Ink, 1.0));
    switch (index) {
    case 0: // new
        drawPage(p, QRectF(3.5, 1.5, 9, 13));
        p.setPen(QPen(QColor(230, 170, 20), 1.5));
        p.drawLine(QPointF(11, 9), QPointF(11, 15));
        p.drawLine(QPointF(8, 12), QPointF(14, 12));
        break;
    case 1: // open
        p.setBrush(QColor(250, 205, 90));
        p.drawRect(QRectF(1.5, 4.5, 12, 9));
        p.setBrush(QColor(255, 225, 130));
        p.drawPolygon(
            QPolygonF({ QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5) }));
        p.drawLine(QPointF(1.5, 4.5), QPointF(3, 2.5));
        p.drawLine(QPointF(3, 2.5), QPointF(6.5, 2.5));
        p.drawLine(QPointF(6.5, 2.5), QPointF(7.5, 4.5));
        break;
    case 2: // save
        p.setBrush(QColor(70, 120, 200));
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 210, 225));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
        break;
    case 3: // print
        drawPage(p, QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 210, 225));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        p.setPen(QPen(QColor(40, 160, 60), 1.2));
        p.drawPoint(QPointF(12.5, 8.5));
        break;
    case 4: // cut
        p.setPen(QPen(Ink, 1.2));
        p.drawLine(QPointF(5, 1.5), QPointF(10.5, 10));
        p.drawLine(QPointF(11, 1.5), QPointF(5.5, 10));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(200, 40, 40), 1.4));
        p.drawEllipse(QPointF(4.5, 12), 2.5, 2.5);
        p.drawEllipse(QPointF(11.5, 12), 2.5, 2.5);
        break;
    case 5: // copy
        drawPage(p, QRectF(1.5, 1.5, 8, 10));
        drawPage(p, QRectF(6.5, 4.5, 8, 10));
        break;
    case 6: // paste
        p.setBrush(QColor(190, 140, 80));
        p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
        p.setBrush(QColor(220, 220, 220));
        p.drawRect(QRectF(4.5, 1.5, 4, 2.5));
        drawPage(p, QRectF(7.5, 6.5, 7, 8));
        break;
    case 7: { // undo
        QPainterPath arc;
        arc.moveTo(4, 7);
        arc.cubicTo(7, 3, 14, 4, 13, 10);
        arc.cubicTo(12.5, 13, 10, 14, 8, 14);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(40, 110, 60), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(arc);
        p.setBrush(QColor(40, 110, 60));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({ QPointF(1.5, 4), QPointF(7, 5), QPointF(3, 10) }));
        break;
    }
    case 8: // the web site
        p.setBrush(QColor(120, 180, 240));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(5, 1.5, 6, 13));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
        p.drawLine(QPointF(8, 1.5), QPointF(8, 14.5));
        break;
    default:
        break;
    }
}

QPixmap picture(int index, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(size / 16.0, size / 16.0);
    drawPicture(p, index);
    return pixmap;
}

// Draws a picture at the size and in the mode asked for, when first asked: a menu never opened
// costs nothing at start.
class TDrawnPictureEngine : public QIconEngine
{
public:
    explicit TDrawnPictureEngine(int index)
        : m_index(index)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const QString key = QStringLiteral("plumaret-picture-%1-%2-%3")
                                .arg(m_index)
                                .arg(qMin(size.width(), size.height()))
                                .arg(int(mode));
        QPixmap result;
        if (QPixmapCache::find(key, &result))
            return result;
        result = picture(m_index, qMin(size.width(), size.height()));
        if (mode != QIcon::Normal) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            result = QApplication::style()->generatedIconPixmap(mode, result, &option);
        }
        QPixmapCache::insert(key, result);
        return result;
    }

    QIconEngine *clone() const override { return new TDrawnPictureEngine(m_index); }

private:
    int m_index;
};

const char *themeName(int index)
{
    switch (index) {
    case 0:
        return "document-new";
    case 1:
        return "document-open";
    case 2:
        return "document-save";
    case 3:
        return "document-print";
    case 4:
        return "edit-cut";
    case 5:
        return "edit-copy";
    case 6:
        return "edit-paste";
    case 7:
        return "edit-undo";
    case 8:
        return "applications-internet";
    default:
        return nullptr;
    }
}

} // namespace

QIcon ToolPicture(int index)
{
    const char *name = themeName(index);
    if (!name)
        return QIcon();
    return ThemePicture(name, QIcon(new TDrawnPictureEngine(index)));
}

QIcon ThemePicture(const char *name, const QIcon &fallback)
{
    // hicolor, Qt's choice where the desktop names no theme, holds application icons only; looking
    // through it for these costs milliseconds at every start and hardly ever finds them.
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QLatin1String("hicolor"))
        return fallback;
    return QIcon::fromTheme(QLatin1String(name), fallback);
}
