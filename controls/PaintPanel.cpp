#include "PaintPanel.h"

#include <QPainter>

TPaintPanel::TPaintPanel(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(false);
    m_picture.OnChange = [this] { pictureChanged(); };
}

void TPaintPanel::pictureChanged()
{
    if (m_picture.isEmpty())
        return;
    if (m_autoWidth)
        resize(m_picture.width(), height());
    if (m_autoHeight)
        resize(width(), m_picture.height());
}

void TPaintPanel::setPicture(const TPicture &picture)
{
    m_picture.assign(picture);
    update();
}

void TPaintPanel::setAutoWidth(bool value)
{
    if (value == m_autoWidth || m_picture.isEmpty())
        return;
    m_autoWidth = value;
    if (value)
        resize(m_picture.width(), height());
}

void TPaintPanel::setAutoHeight(bool value)
{
    if (value == m_autoHeight || m_picture.isEmpty())
        return;
    m_autoHeight = value;
    if (value)
        resize(width(), m_picture.height());
}

#define PAINTPANEL_SETTER(name, field, type)                                                                 \
    void TPaintPanel::name(type value)                                                                       \
    {                                                                                                        \
        if (value == field)                                                                                  \
            return;                                                                                          \
        field = value;                                                                                       \
        update();                                                                                            \
    }

PAINTPANEL_SETTER(setPicHorzStretch, m_horz, THorzStretchType)
PAINTPANEL_SETTER(setPicVertStretch, m_vert, TVertStretchType)
PAINTPANEL_SETTER(setBevelColor, m_bevelColor, TColor)
PAINTPANEL_SETTER(setBevelStyle, m_bevelStyle, TBorderStyle)
PAINTPANEL_SETTER(setBevelWidth, m_bevelWidth, int)
PAINTPANEL_SETTER(setCaption, m_caption, const QString &)
PAINTPANEL_SETTER(setAlignment, m_alignment, Qt::Alignment)
PAINTPANEL_SETTER(setColor, m_color, TColor)
PAINTPANEL_SETTER(setParentBackground, m_parentBackground, bool)
#undef PAINTPANEL_SETTER

void TPaintPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QRect r = rect();
    if (!m_picture.isEmpty())
        DrawStretchBitmap(m_picture.toImage(), p, size(), m_horz, m_vert);
    else if (!m_parentBackground)
        p.fillRect(r, ColorToQColor(m_color));

    p.setBrush(Qt::NoBrush);
    if (!m_caption.isEmpty()) {
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        // Qt mirrors AlignLeft/AlignRight itself under a right-to-left layout direction.
        p.drawText(r, int(m_alignment) | Qt::TextSingleLine | Qt::TextExpandTabs, m_caption);
    }
    if (m_bevelStyle != bsNone) {
        if (m_bevelWidth % 2 == 0)
            r.setTopLeft(r.topLeft() + QPoint(1, 1));
        QPen pen(ColorToQColor(m_bevelColor));
        pen.setWidth(m_bevelWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        // A pen of width w centred on the edge pixels, as the platform's outline draws it.
        const qreal half = m_bevelWidth / 2.0;
        p.drawRect(QRectF(r).adjusted(half, half, -half, -half));
    }
    emit painted(&p);
}
