#include "SplitterBar.h"

#include "SplitterLine.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TSplitterBar::TSplitterBar(QWidget *parent)
    : QWidget(parent)
{
    resize(3, 100);
    setCursor(Qt::SplitHCursor);
    setMouseTracking(true); // the button's hot look follows the pointer without a press
}

TSplitterBar::~TSplitterBar()
{
    if (m_resizing)
        qApp->removeEventFilter(this);
}

void TSplitterBar::setControl(QWidget *control)
{
    m_control = control;
}

void TSplitterBar::setAlign(TAlign value)
{
    m_align = value;
    const Qt::CursorShape shape = cursor().shape();
    if (shape == Qt::SplitHCursor || shape == Qt::SplitVCursor)
        setCursor(value == alTop || value == alBottom ? Qt::SplitVCursor : Qt::SplitHCursor);
    update();
}

void TSplitterBar::setBorderStyle(TBorderStyle value)
{
    if (value == m_borderStyle)
        return;
    m_borderStyle = value;
    update();
}

void TSplitterBar::setMaxButton(const TPicture &p)
{
    m_maxButton.assign(p);
    if (collapsed())
        update();
}

void TSplitterBar::setMinButton(const TPicture &p)
{
    m_minButton.assign(p);
    if (!collapsed())
        update();
}

QRect TSplitterBar::lineRect() const
{
    return geometry().translated(horizontalAxis() ? QPoint(m_splitOffset, 0) : QPoint(0, m_splitOffset));
}

bool TSplitterBar::foldsControl() const
{
    return m_control && m_align != alNone && m_align != alClient;
}

bool TSplitterBar::collapsed() const
{
    return foldsControl() && controlExtent() == 0;
}

// The restore picture while collapsed, else the collapse picture; each a strip of three frames
// (normal, hot, down).
const TPicture &TSplitterBar::buttonPicture() const
{
    return collapsed() ? m_maxButton : m_minButton;
}

QRect TSplitterBar::buttonRect() const
{
    // A pane that cannot fold gets no button; a bar without a pane shows one that does nothing.
    if (m_control && !foldsControl())
        return {};
    const TPicture &picture = buttonPicture();
    const int fw = picture.width() / 3;
    const int fh = picture.height();
    if (picture.isEmpty() || fw <= 0 || fh <= 0)
        return {};
    return QRect((width() - fw) / 2, (height() - fh) / 2, fw, fh);
}

// The frame of the button's picture for its state, with the transparent colour cleared if asked.
QImage TSplitterBar::buttonFrame() const
{
    const QImage strip = buttonPicture().toImage();
    if (strip.isNull())
        return {};
    const QRect button = buttonRect();
    const qreal dpr = strip.devicePixelRatio();
    QImage frame = strip.copy(QRect(
        int(m_buttonState * button.width() * dpr), 0, int(button.width() * dpr), int(button.height() * dpr)));
    if (m_buttonTrans) {
        // The strip's top-left pixel names the transparent colour.
        const QRgb key = strip.pixel(0, 0);
        for (int y = 0; y < frame.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(frame.scanLine(y));
            for (int x = 0; x < frame.width(); ++x)
                if (line[x] == key)
                    line[x] = 0;
        }
    }
    frame.setDevicePixelRatio(dpr);
    return frame;
}

int TSplitterBar::controlExtent() const
{
    if (!m_control)
        return 0;
    return horizontalAxis() ? m_control->width() : m_control->height();
}

void TSplitterBar::setControlExtent(int extent)
{
    if (!m_control)
        return;
    // Fixed, so that a layout around the pane keeps the size instead of sharing space anew.
    if (horizontalAxis())
        m_control->setFixedWidth(extent);
    else if (m_align == alTop || m_align == alBottom)
        m_control->setFixedHeight(extent);
}

bool TSplitterBar::QueryResize(int &newSize)
{
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, newSize, accept);
    return accept;
}

bool TSplitterBar::CheckResize(int &newSize)
{
    if (!m_enabledResize)
        return false;
    const bool result = QueryResize(newSize);
    if (result && newSize <= m_minSize && m_autoSnap)
        newSize = 0;
    return result;
}

void TSplitterBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const TColor from = m_hot ? m_colors.ColorHot() : m_colors.Color();
    const TColor to = m_hot ? m_colors.ColorHotTo() : m_colors.ColorTo();
    const TColor border = m_hot ? m_colors.BorderColorHot() : m_colors.BorderColor();
    GradientFillRect(p, rect(), from, to, !horizontalAxis());
    if (m_borderStyle == bsSingle) {
        p.setBrush(Qt::NoBrush);
        p.setPen(ColorToQColor(border));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    const QRect button = buttonRect();
    if (!button.isEmpty()) {
        const QImage frame = buttonFrame();
        if (!frame.isNull())
            p.drawImage(button, frame);
    }
    emit painted(&p);
}

void TSplitterBar::hitTest(const QPoint &pos)
{
    if (buttonRect().contains(pos)) {
        if (m_buttonState != sbsNormal)
            return;
        m_buttonState = sbsHot;
        if (!m_savedCursor)
            m_savedCursor = cursor();
        setCursor(m_cursorInButton);
        update();
    } else if (m_buttonState != sbsNormal) {
        m_buttonState = sbsNormal;
        if (m_savedCursor)
            setCursor(*m_savedCursor);
        update();
    }
}

void TSplitterBar::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    m_hot = true;
    update();
    hitTest(event->position().toPoint());
}

void TSplitterBar::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    m_hot = false;
    if (m_buttonState != sbsNormal && m_savedCursor)
        setCursor(*m_savedCursor);
    m_buttonState = sbsNormal;
    update();
}

int TSplitterBar::computeSizeLimit() const
{
    QWidget *owner = parentWidget();
    if (!owner || !m_control)
        return 0;
    const bool across = horizontalAxis();
    const QRect client = owner->contentsRect();
    int limit = (across ? client.width() : client.height()) - m_minSize + controlExtent();
    // The panes beside the bar on its line: fixed ones take their size off the limit; the
    // stretching ones (the client area) can give up only what lies above their minimum size.
    int give = 0;
    bool hasClient = false;
    for (QObject *child : owner->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (!w || w->isWindow() || !w->isVisibleTo(owner) || qobject_cast<TSplitterLine *>(w))
            continue;
        const bool sameLine = across ? (w->y() < y() + height() && y() < w->y() + w->height())
                                     : (w->x() < x() + width() && x() < w->x() + w->width());
        if (!sameLine)
            continue;
        const bool fixed
            = across ? w->minimumWidth() == w->maximumWidth() : w->minimumHeight() == w->maximumHeight();
        const int extent = across ? w->width() : w->height();
        if (w == this || w == m_control || fixed) {
            limit -= extent;
        } else {
            hasClient = true;
            give += extent - std::max(m_minSize, across ? w->minimumWidth() : w->minimumHeight());
        }
    }
    if (hasClient)
        limit = std::min(limit, controlExtent() + std::max(0, give));
    return limit;
}

void TSplitterBar::computeSplit(const QPoint &pos, int &newSize, int &offset) const
{
    offset = horizontalAxis() ? pos.x() - m_pressPoint.x() : pos.y() - m_pressPoint.y();
    int s = 0;
    if (m_control) {
        switch (m_align) {
        case alLeft:
            s = m_control->width() + offset;
            break;
        case alRight:
            s = m_control->width() - offset;
            break;
        case alTop:
            s = m_control->height() + offset;
            break;
        case alBottom:
            s = m_control->height() - offset;
            break;
        default:
            break;
        }
    }
    newSize = s;
    if (s < m_minSize)
        newSize = m_minSize;
    else if (s > m_sizeLimit)
        newSize = m_sizeLimit;
    if (newSize != s) {
        if (m_align == alRight || m_align == alBottom)
            offset += s - newSize;
        else
            offset += newSize - s;
    }
}

void TSplitterBar::startDrag(const QPoint &pos)
{
    m_pressPoint = pos;
    m_sizeLimit = computeSizeLimit();
    computeSplit(pos, m_pendingSize, m_splitOffset);
    // A size given by the button in between must not look like the one this drag would apply.
    m_appliedSize = -1;
    if (m_resizeStyle == rsLine || m_resizeStyle == rsPattern) {
        m_line = new TSplitterLine(parentWidget(), m_resizeStyle == rsPattern);
        m_line->hide();
    }
    qApp->installEventFilter(this); // Esc cancels wherever the focus is
    m_resizing = true;
    showResizeLine();
}

// The line shows where the drag would put the bar; it moves with the pointer until the drag ends.
void TSplitterBar::showResizeLine()
{
    if (!m_line)
        return;
    m_lineShown = true;
    m_line->setGeometry(lineRect());
    m_line->raise();
    m_line->show();
}

void TSplitterBar::hideResizeLine()
{
    if (!m_line || !m_lineShown)
        return;
    m_lineShown = false;
    m_line->hide();
}

void TSplitterBar::applyPendingSize()
{
    if (m_pendingSize == m_appliedSize)
        return;
    setControlExtent(m_pendingSize);
    repaint();
    emit moved();
    m_appliedSize = m_pendingSize;
}

void TSplitterBar::endDrag()
{
    hideResizeLine();
    delete m_line;
    m_line = nullptr;
    qApp->removeEventFilter(this);
    m_resizing = false;
    emit moved();
}

void TSplitterBar::toggle()
{
    if (!m_control)
        return;
    if (collapsed())
        setControlExtent(horizontalAxis() ? m_savedWidth : m_savedHeight);
    else
        setControlExtent(0);
    if (m_savedCursor)
        setCursor(*m_savedCursor);
    update();
}

void TSplitterBar::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (buttonRect().contains(pos)) {
        if (!collapsed() && m_control) {
            m_savedWidth = m_control->width();
            m_savedHeight = m_control->height();
        }
        m_buttonState = sbsDown;
        update();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (!m_enabledResize)
        return;
    if (!m_control) {
        m_pressPoint = pos;
        return;
    }
    startDrag(pos);
}

void TSplitterBar::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (event->buttons() == Qt::NoButton) {
        hitTest(pos);
        return;
    }
    if (!m_resizing || !(event->buttons() & Qt::LeftButton))
        return;
    int newSize = 0, offset = 0;
    computeSplit(pos, newSize, offset);
    if (!CheckResize(newSize))
        return;
    hideResizeLine();
    m_pendingSize = newSize;
    m_splitOffset = offset;
    if (m_resizeStyle == rsUpdate)
        applyPendingSize();
    showResizeLine();
}

void TSplitterBar::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (buttonRect().contains(pos) && m_buttonState == sbsDown) {
        toggle();
        return;
    }
    if (m_resizing && event->button() == Qt::LeftButton) {
        hideResizeLine();
        applyPendingSize();
        endDrag();
    }
}

bool TSplitterBar::eventFilter(QObject *watched, QEvent *event)
{
    if (m_resizing && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        endDrag();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
