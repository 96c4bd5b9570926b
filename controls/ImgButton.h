// Picture button of the mode bar that behaves like a radio button within its check group.
#pragma once

#include "ImgControl.h"

class TImgCheckButton : public TImgControl
{
    Q_OBJECT
public:
    explicit TImgCheckButton(QWidget *parent = nullptr)
        : TImgControl(parent)
    {
    }

    int checkGroup() const { return m_checkGroup; }
    void setCheckGroup(int value) { m_checkGroup = value; }
    bool isChecked() const { return m_checked; }
    // Unchecks every other checked button of the same group on the same parent.
    void setChecked(bool value);

protected:
    // OnClick runs first, while the button still has its old check mark.
    void Click() override;

private:
    int m_checkGroup = 0;
    bool m_checked = false;
};
