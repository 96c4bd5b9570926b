#include "ToolBar1.h"

#include <QPainter>
#include <QToolButton>

TToolBar1::TToolBar1(QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(BarHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("工具栏"));
}

QToolButton *TToolBar1::place(QToolButton *button)
{
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setIconSize(QSize(16, 16));
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(m_next, (BarHeight - ButtonHeight) / 2, ButtonWidth, ButtonHeight);
    m_next += ButtonWidth;
    return button;
}

QToolButton *TToolBar1::AddAction(QAction *action)
{
    auto *button = new QToolButton(this);
    button->setDefaultAction(action);
    return place(button);
}

QToolButton *TToolBar1::AddButton()
{
    return place(new QToolButton(this));
}

void TToolBar1::AddSeparator()
{
    m_next += SeparatorWidth;
}

void TToolBar1::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    bool defaultDraw = true;
    if (OnCustomDraw)
        OnCustomDraw(painter, rect(), defaultDraw);
    else
        painter.fillRect(rect(), palette().window());
    // The buttons are child widgets: they always draw over this background afterwards.
}
