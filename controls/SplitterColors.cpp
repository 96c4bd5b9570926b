#include "SplitterColors.h"

void TSplitterColors::copyInto(TColors &dest) const
{
    TColors::copyInto(dest);
    if (auto *other = dynamic_cast<TSplitterColors *>(&dest)) {
        other->m_border = m_border;
        other->m_borderHot = m_borderHot;
    }
}
