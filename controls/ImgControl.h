// A picture-drawn button face with hover and press states, drawn over its parent's background.
#pragma once

#include "ImgManager.h"
#include "Picture.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>

enum TImgControlLayout : std::uint8_t { iclImgLeft, iclImgRight, iclImgTop, iclImgBottom, iclImgCenter };
enum TImgState : std::uint8_t { istNormal, istEnter, istDown, istCheck };

struct TImgPlacement
{
    QPoint image;
    QPoint caption;
};

class TImgControl : public QWidget
{
    Q_OBJECT
    // The window's mode handler reads the sender's tag by this name.
    Q_PROPERTY(int Tag READ tag WRITE setTag)
public:
    explicit TImgControl(QWidget *parent = nullptr);

    // Where picture and caption go; every halving truncates toward zero.
    static TImgPlacement placement(QSize control, QSize image, QSize caption, bool hasCaption, int spacing,
        TImgControlLayout layout, TImgState state, int enterOffset, int downOffset);

    TPicture &ImgNormal() { return m_normal; }
    TPicture &ImgEnter() { return m_enter; }
    TPicture &ImgDown() { return m_down; }
    TPicture &ImgDisable() { return m_disable; }
    TPicture &ImgCheck() { return m_check; }
    void setImgNormal(const TPicture &p);
    void setImgEnter(const TPicture &p);
    void setImgDown(const TPicture &p);
    void setImgDisable(const TPicture &p);
    void setImgCheck(const TPicture &p);

    TImgManager *imgManager() const { return m_manager; }
    void setImgManager(TImgManager *manager);

    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool value);
    TImgControlLayout imgButtonLayout() const { return m_layout; }
    void setImgButtonLayout(TImgControlLayout value);
    bool autoRepaintParent() const { return m_autoRepaintParent; }
    void setAutoRepaintParent(bool value) { m_autoRepaintParent = value; }
    int spacing() const { return m_spacing; }
    void setSpacing(int value);
    int onEnterOffset() const { return m_enterOffset; }
    void setOnEnterOffset(int value) { m_enterOffset = value; }
    int onDownOffset() const { return m_downOffset; }
    void setOnDownOffset(int value) { m_downOffset = value; }

    QString caption() const { return m_caption; }
    void setCaption(const QString &text);
    QString hint() const { return toolTip(); }
    void setHint(const QString &text) { setToolTip(text); }
    int tag() const { return m_tag; }
    void setTag(int value) { m_tag = value; }

    TImgState state() const { return m_state; }
    bool pressed() const { return m_pressed; }

signals:
    void clicked(); // OnClick
    void doubleClicked(); // OnDblClick

protected:
    virtual void Click();
    void setStateAndRepaintParent(TImgState state, bool repaintNow);
    void repaintParent(bool now);

    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

    TImgState m_state = istNormal;
    bool m_pressed = false;

private:
    bool interactive() const;
    void applyAutoSize();
    void handlePress(QMouseEvent *event);

    TPicture m_normal, m_enter, m_down, m_disable, m_check;
    QPointer<TImgManager> m_manager; // not owned; a destroyed manager clears itself
    bool m_autoSize = false;
    TImgControlLayout m_layout = iclImgTop;
    bool m_autoRepaintParent = false;
    int m_spacing = 2;
    int m_enterOffset = 1;
    int m_downOffset = 1;
    QString m_caption;
    int m_tag = 0;
    bool m_leftDown = false; // the left button went down here: its release over us is a click
};
