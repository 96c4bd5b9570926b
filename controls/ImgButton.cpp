#include "ImgButton.h"

void TImgCheckButton::setChecked(bool value)
{
    if (value == m_checked)
        return;
    if (QWidget *owner = parentWidget()) {
        for (QObject *child : owner->children()) {
            auto *other = qobject_cast<TImgCheckButton *>(child);
            if (!other || other == this || other->m_checkGroup != m_checkGroup || !other->m_checked)
                continue;
            other->m_checked = false;
            other->setStateAndRepaintParent(istNormal, false);
        }
    }
    m_checked = value;
    setStateAndRepaintParent(value ? istCheck : istNormal, false);
}

void TImgCheckButton::Click()
{
    emit clicked();
    if (!m_checked)
        setChecked(true);
    m_pressed = false;
}
