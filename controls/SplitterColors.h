// The splitter bar's colours: the gradient pair plus the outline, each normal and under the mouse.
#pragma once

#include "Colors.h"

class TSplitterColors : public TColors
{
public:
    using TColors::TColors;

    TColor BorderColor() const { return m_border; }
    TColor BorderColorHot() const { return m_borderHot; }
    void setBorderColor(TColor value) { set(m_border, value); }
    void setBorderColorHot(TColor value) { set(m_borderHot, value); }

protected:
    void copyInto(TColors &dest) const override;

private:
    TColor m_border = clBtnFace;
    TColor m_borderHot = clBtnFace;
};
