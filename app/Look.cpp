#include "Look.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>
#include <QTabWidget>
#include <QWidget>

namespace {

const char PaneProperty[] = "plumaretPane";

const QColor ButtonEdge(0x8C, 0xC6, 0xEA);
const QColor HotEdge(0x5A, 0xAF, 0xE0);
const QColor DisabledEdge(0xC9, 0xDD, 0xEB);
const QColor FieldEdge(0xA4, 0xD5, 0xF0);
const QColor TipEdge(0x96, 0xD1, 0xF3);

bool inPane(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (widget->property(PaneProperty).toBool())
            return true;
        if (widget->isWindow())
            return false;
    }
    return false;
}

// A field's frame shows the focus; scroll areas do not repaint their frame on focus by themselves.
class TFocusFrameRepaint : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            static_cast<QWidget *>(watched)->update();
        return false;
    }
};

class TPaneStyle : public QProxyStyle
{
public:
    void polish(QWidget *widget) override
    {
        QProxyStyle::polish(widget);
        if (qobject_cast<QPushButton *>(widget))
            widget->setAttribute(Qt::WA_Hover);
        if (qobject_cast<QAbstractScrollArea *>(widget))
            widget->installEventFilter(&m_focusRepaint);
    }

    void unpolish(QWidget *widget) override
    {
        widget->removeEventFilter(&m_focusRepaint);
        QProxyStyle::unpolish(widget);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget) const override
    {
        if (element == PE_PanelTipLabel) {
            painter->fillRect(option->rect, option->palette.toolTipBase());
            drawEdge(painter, option->rect, TipEdge, 0);
            return;
        }
        if (!inPane(widget))
            return QProxyStyle::drawPrimitive(element, option, painter, widget);
        switch (element) {
        case PE_PanelButtonCommand:
            drawButton(option, painter);
            return;
        case PE_FrameLineEdit:
        case PE_Frame:
            if (qobject_cast<const QLineEdit *>(widget)
                || qobject_cast<const QAbstractScrollArea *>(widget)) {
                const bool focused = (option->state & State_HasFocus) || (widget && widget->hasFocus());
                drawEdge(painter, option->rect, focused ? HotEdge : FieldEdge, 0);
                return;
            }
            break;
        case PE_PanelLineEdit:
            if (qobject_cast<const QLineEdit *>(widget)) {
                painter->fillRect(option->rect, Qt::white);
                if (const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
                    frame && frame->lineWidth > 0)
                    drawPrimitive(PE_FrameLineEdit, option, painter, widget);
                return;
            }
            break;
        case PE_FrameTabWidget:
            painter->fillRect(option->rect, Qt::white);
            drawEdge(painter, option->rect, FieldEdge, 0);
            return;
        default:
            break;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
        const QWidget *widget) const override
    {
        // Three pixels above and below the caption and ten beside it, inside a one-pixel edge.
        if (type == CT_PushButton && inPane(widget))
            return QSize(size.width() + 22, size.height() + 8);
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_DefaultFrameWidth && inPane(widget))
            return 1;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    static void drawEdge(QPainter *painter, const QRect &rect, const QColor &color, qreal radius)
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, radius > 0);
        painter->setPen(color);
        painter->setBrush(Qt::NoBrush);
        const QRectF edge = QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5);
        if (radius > 0)
            painter->drawRoundedRect(edge, radius, radius);
        else
            painter->drawRect(edge);
        painter->restore();
    }

    static void drawButton(const QStyleOption *option, QPainter *painter)
    {
        const bool enabled = option->state & State_Enabled;
        const bool pressed = option->state & (State_Sunken | State_On);
        const bool hot = enabled && (option->state & State_MouseOver);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
        if (pressed && enabled) {
            painter->setBrush(QColor(0xBF, 0xE0, 0xF7));
        } else {
            QLinearGradient fill(r.topLeft(), r.bottomLeft());
            fill.setColorAt(0, Qt::white);
            fill.setColorAt(1, hot ? QColor(0xC9, 0xE7, 0xFB) : QColor(0xDC, 0xEF, 0xFC));
            painter->setBrush(fill);
        }
        painter->setPen(!enabled ? DisabledEdge : hot ? HotEdge : ButtonEdge);
        painter->drawRoundedRect(r, 3, 3);
        painter->restore();
    }

    TFocusFrameRepaint m_focusRepaint;
};

} // namespace

void ApplyPalette(QWidget *window)
{
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, QColor(0xF1, 0xF9, 0xFF));
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::AlternateBase, QColor(0xF4, 0xFA, 0xFF));
    pal.setColor(QPalette::Button, QColor(0xE3, 0xF4, 0xFF));
    pal.setColor(QPalette::Light, Qt::white);
    pal.setColor(QPalette::Midlight, QColor(0xD6, 0xEC, 0xFB));
    pal.setColor(QPalette::Mid, QColor(0xA4, 0xD5, 0xF0));
    pal.setColor(QPalette::Dark, QColor(0x6F, 0xB3, 0xDF));
    pal.setColor(QPalette::Highlight, QColor(0x3D, 0x8F, 0xD1));
    pal.setColor(QPalette::HighlightedText, Qt::white);
    pal.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xF4));
    pal.setColor(QPalette::ToolTipText, QColor(0x1F, 0x3F, 0x5F));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x8F, 0xA9, 0xBD));
    window->setPalette(pal);
}

void InstallLook()
{
    if (!dynamic_cast<TPaneStyle *>(QApplication::style()))
        QApplication::setStyle(new TPaneStyle);
}

void ApplyPaneLook(QWidget *pane)
{
    pane->setProperty(PaneProperty, true);
}
