#include "ImgControl.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

TImgControl::TImgControl(QWidget *parent)
    : QWidget(parent)
{
    // Windowless in spirit: no background of our own, the parent shows through the alpha.
    setAttribute(Qt::WA_NoSystemBackground, false);
    setAutoFillBackground(false);
}

TImgPlacement TImgControl::placement(QSize control, QSize image, QSize caption, bool hasCaption, int spacing,
    TImgControlLayout layout, TImgState state, int enterOffset, int downOffset)
{
    const int W = control.width(), H = control.height();
    const int iw = image.width(), ih = image.height();
    const int tw = hasCaption ? caption.width() : 0;
    const int th = hasCaption ? caption.height() : 0;
    // Only the low 16 bits count, read unsigned.
    const int gap = int(std::uint16_t(spacing));
    int hs = 0, vs = 0;
    if (hasCaption) {
        if (layout == iclImgLeft || layout == iclImgRight)
            hs = gap;
        else if (layout == iclImgTop || layout == iclImgBottom)
            vs = gap;
    }
    int tx = (W - tw - hs) / 2, ty = (H - th - vs) / 2;
    int ix = (W - iw - hs) / 2, iy = (H - ih - vs) / 2;
    switch (layout) {
    case iclImgLeft:
        ix = (W - iw - tw - hs) / 2;
        tx = ix + iw + hs;
        break;
    case iclImgRight:
        tx = (W - iw - tw - hs) / 2;
        ix = tx + tw + hs;
        break;
    case iclImgTop:
        iy = (H - ih - th - vs) / 2;
        ty = iy + ih + vs;
        break;
    case iclImgBottom:
        ty = (H - ih - th - vs) / 2;
        iy = ty + th + vs;
        break;
    case iclImgCenter:
        break;
    }
    int shift = 0;
    if (state == istEnter)
        shift = -enterOffset;
    else if (state == istDown)
        shift = downOffset;
    return { QPoint(ix + shift, iy + shift), QPoint(tx + shift, ty + shift) };
}

void TImgControl::setImgNormal(const TPicture &p)
{
    m_normal.assign(p);
    applyAutoSize();
    update();
}

void TImgControl::setImgEnter(const TPicture &p)
{
    m_enter.assign(p);
    update();
}

void TImgControl::setImgDown(const TPicture &p)
{
    m_down.assign(p);
    update();
}

void TImgControl::setImgDisable(const TPicture &p)
{
    m_disable.assign(p);
    update();
}

void TImgControl::setImgCheck(const TPicture &p)
{
    m_check.assign(p);
}

void TImgControl::setImgManager(TImgManager *manager)
{
    m_manager = manager;
    update();
    repaintParent(false);
}

void TImgControl::setAutoSize(bool value)
{
    if (value == m_autoSize)
        return;
    m_autoSize = value;
    applyAutoSize();
}

void TImgControl::applyAutoSize()
{
    if (m_autoSize && !m_normal.isEmpty())
        resize(m_normal.width(), m_normal.height());
}

void TImgControl::setImgButtonLayout(TImgControlLayout value)
{
    if (value == m_layout)
        return;
    m_layout = value;
    update();
}

void TImgControl::setSpacing(int value)
{
    if (value == m_spacing)
        return;
    m_spacing = value;
    update();
}

void TImgControl::setCaption(const QString &text)
{
    if (text == m_caption)
        return;
    m_caption = text;
    repaint();
}

void TImgControl::Click()
{
    emit clicked();
}

bool TImgControl::interactive() const
{
    return isEnabled() && m_state != istCheck;
}

void TImgControl::repaintParent(bool now)
{
    if (!m_autoRepaintParent || !parentWidget())
        return;
    if (now)
        parentWidget()->repaint();
    else
        parentWidget()->update();
}

void TImgControl::setStateAndRepaintParent(TImgState state, bool repaintNow)
{
    m_state = state;
    if (repaintNow)
        repaint();
    else
        update();
    repaintParent(repaintNow);
}

void TImgControl::paintEvent(QPaintEvent *)
{
    if (m_manager) {
        TPicture *const own[] = { &m_normal, &m_enter, &m_down, &m_disable, &m_check };
        TPicture *const shared[] = { &m_manager->ImgNormal(), &m_manager->ImgEnter(), &m_manager->ImgDown(),
            &m_manager->ImgDisable(), &m_manager->ImgCheck() };
        for (int i = 0; i < 5; ++i) {
            if (!shared[i]->isEmpty())
                own[i]->assign(*shared[i]);
        }
    }
    // The fallback copies stay: a later ImgNormal does not reach them.
    for (TPicture *p : { &m_enter, &m_down, &m_disable }) {
        if (p->isEmpty() && !m_normal.isEmpty())
            p->assign(m_normal);
    }

    const TPicture *picture = nullptr;
    if (!isEnabled()) {
        picture = &m_disable;
    } else {
        switch (m_state) {
        case istNormal:
            picture = &m_normal;
            break;
        case istEnter:
            picture = &m_enter;
            break;
        case istDown:
            picture = &m_down;
            break;
        case istCheck:
            picture = &m_check;
            break;
        }
    }
    if (!picture || picture->isEmpty())
        return;

    const QFontMetrics metrics(font());
    const bool hasCaption = !m_caption.isEmpty();
    const QSize captionSize = hasCaption ? metrics.size(Qt::TextSingleLine, m_caption) : QSize();
    const TImgPlacement at = placement(size(), QSize(picture->width(), picture->height()), captionSize,
        hasCaption, m_spacing, m_layout, m_state, m_enterOffset, m_downOffset);

    QPainter p(this);
    p.setFont(font());
    picture->draw(p, QRect(at.image, QSize(picture->width(), picture->height())));
    if (hasCaption) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(
            QRect(at.caption, captionSize), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, m_caption);
    }
}

void TImgControl::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (interactive() && !m_pressed)
        setStateAndRepaintParent(istEnter, true);
}

void TImgControl::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (interactive() && !m_pressed)
        setStateAndRepaintParent(istNormal, true);
}

void TImgControl::handlePress(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_leftDown = true;
    if (interactive()) {
        m_pressed = true;
        setStateAndRepaintParent(istDown, true);
    }
}

void TImgControl::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    handlePress(event);
}

void TImgControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click is a press as well, so its release is a click.
    handlePress(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

void TImgControl::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (m_leftDown && rect().contains(pos)) {
        m_leftDown = false;
        Click();
    }
    m_leftDown = false;
    if (!interactive())
        return;
    // Disabled siblings count too: childAt does not skip them.
    const QWidget *under = parentWidget() ? parentWidget()->childAt(mapToParent(pos))
                                          : (rect().contains(pos) ? this : nullptr);
    m_pressed = false;
    setStateAndRepaintParent(under == this ? istEnter : istNormal, true);
}

void TImgControl::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        m_state = istNormal;
        m_pressed = false;
        m_leftDown = false;
        repaint();
        break;
    case QEvent::FontChange:
        repaint();
        break;
    default:
        break;
    }
}
