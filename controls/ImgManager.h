// One shared set of the five button pictures, so that many buttons can take theirs from one place.
#pragma once

#include "Picture.h"

#include <QObject>

class TImgManager : public QObject
{
    Q_OBJECT
public:
    explicit TImgManager(QObject *parent = nullptr)
        : QObject(parent)
    {
    }

    // Buttons copy these at their next paint; the manager tells them nothing.
    TPicture &ImgNormal() { return m_normal; }
    TPicture &ImgEnter() { return m_enter; }
    TPicture &ImgDown() { return m_down; }
    TPicture &ImgDisable() { return m_disable; }
    TPicture &ImgCheck() { return m_check; }

    void setImgNormal(const TPicture &p) { m_normal.assign(p); }
    void setImgEnter(const TPicture &p) { m_enter.assign(p); }
    void setImgDown(const TPicture &p) { m_down.assign(p); }
    void setImgDisable(const TPicture &p) { m_disable.assign(p); }
    void setImgCheck(const TPicture &p) { m_check.assign(p); }

private:
    TPicture m_normal, m_enter, m_down, m_disable, m_check;
};
