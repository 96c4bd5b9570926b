#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Places a child at its design geometry and lets it grow with `reference` (the panel or page control
// whose size the layout was drawn for, at designSize) in the directions of `stretch`: a child that
// stretches in width keeps its distance to the right edge. The reference may be the child's parent
// or a widget its parent follows (a page of a page control follows the control).
void Anchor(QWidget *child, const QRect &geometry, QWidget *reference, const QSize &designSize,
    Qt::Orientations stretch = {});
