// A set of gradient colours that tells its owner after each change, so the owner can repaint.
#pragma once

#include "PubFunc.h"

class IColorsOwner
{
public:
    virtual ~IColorsOwner() = default;
    virtual void ColorsChanged() = 0;
};

class TColors
{
public:
    explicit TColors(IColorsOwner *owner)
        : m_owner(owner)
    {
    }
    virtual ~TColors() = default;
    TColors(const TColors &) = delete;
    TColors &operator=(const TColors &) = delete;

    TColor Color() const { return m_color; }
    TColor ColorTo() const { return m_colorTo; }
    TColor ColorHot() const { return m_colorHot; }
    TColor ColorHotTo() const { return m_colorHotTo; }
    void setColor(TColor value) { set(m_color, value); }
    void setColorTo(TColor value) { set(m_colorTo, value); }
    void setColorHot(TColor value) { set(m_colorHot, value); }
    void setColorHotTo(TColor value) { set(m_colorHotTo, value); }

    // Copies the colours only; the receiver keeps its own owner and tells it once.
    virtual void assign(const TColors &source);

protected:
    void set(TColor &field, TColor value);
    void Changed();
    virtual void copyInto(TColors &dest) const;

private:
    IColorsOwner *m_owner;
    TColor m_color = clBtnFace;
    TColor m_colorTo = clBtnFace;
    TColor m_colorHot = clBtnFace;
    TColor m_colorHotTo = clBtnFace;
};
