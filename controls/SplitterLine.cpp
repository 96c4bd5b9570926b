#include "SplitterLine.h"

#include <QPainter>

TSplitterLine::TSplitterLine(QWidget *parent, bool halfTone)
    : QWidget(parent)
    , m_halfTone(halfTone)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void TSplitterLine::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // XOR against what the parent painted below: white inverts, the checkerboard gives a
    // half-tone that stays visible on any background.
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    if (m_halfTone)
        p.fillRect(rect(), QBrush(Qt::white, Qt::Dense4Pattern));
    else
        p.fillRect(rect(), Qt::white);
}
