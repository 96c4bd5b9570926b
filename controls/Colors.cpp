#include "Colors.h"

void TColors::set(TColor &field, TColor value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}

void TColors::Changed()
{
    if (m_owner)
        m_owner->ColorsChanged();
}

void TColors::copyInto(TColors &dest) const
{
    dest.m_color = m_color;
    dest.m_colorTo = m_colorTo;
    dest.m_colorHot = m_colorHot;
    dest.m_colorHotTo = m_colorHotTo;
}

void TColors::assign(const TColors &source)
{
    if (&source == this)
        return;
    source.copyInto(*this);
    Changed();
}
