// Thin bar beside a pane that resizes it by dragging and collapses or restores it with its button.
#pragma once

#include "Picture.h"
#include "PubFunc.h"
#include "SplitterColors.h"

#include <QCursor>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class TSplitterLine;

enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TResizeStyle : std::uint8_t { rsNone, rsLine, rsUpdate, rsPattern };
enum TSplitterButtonState : std::uint8_t { sbsNormal, sbsHot, sbsDown };

class TSplitterBar : public QWidget, public IColorsOwner
{
    Q_OBJECT
public:
    explicit TSplitterBar(QWidget *parent = nullptr);
    ~TSplitterBar() override;

    QWidget *control() const { return m_control; }
    void setControl(QWidget *control); // not owned; cleared when it is destroyed
    TSplitterColors &Colors() { return m_colors; }
    void setColors(const TColors &colors) { m_colors.assign(colors); }
    TAlign align() const { return m_align; }
    void setAlign(TAlign value);
    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle value);
    TPicture &MaxButton() { return m_maxButton; }
    TPicture &MinButton() { return m_minButton; }
    void setMaxButton(const TPicture &p);
    void setMinButton(const TPicture &p);
    bool buttonTrans() const { return m_buttonTrans; }
    void setButtonTrans(bool value) { m_buttonTrans = value; }
    Qt::CursorShape cursorInButton() const { return m_cursorInButton; }
    void setCursorInButton(Qt::CursorShape value) { m_cursorInButton = value; }
    bool enabledResize() const { return m_enabledResize; }
    void setEnabledResize(bool value) { m_enabledResize = value; }
    bool autoSnap() const { return m_autoSnap; }
    void setAutoSnap(bool value) { m_autoSnap = value; }
    int minSize() const { return m_minSize; }
    void setMinSize(int value) { m_minSize = std::max(0, value); }
    TResizeStyle resizeStyle() const { return m_resizeStyle; }
    void setResizeStyle(TResizeStyle value) { m_resizeStyle = value; }

    bool hot() const { return m_hot; }
    // Whether the pane is folded away, from its size; a bar without a pane or with one that it
    // cannot fold is never collapsed.
    bool collapsed() const;
    TSplitterButtonState buttonState() const { return m_buttonState; }
    // Where the button is drawn and hit, centred on the bar; empty when the bar shows none.
    QRect buttonRect() const;
    bool resizing() const { return m_resizing; }
    int pendingSize() const { return m_pendingSize; }
    bool lineShown() const { return m_lineShown; }
    QRect lineRect() const; // in the parent's coordinates
    int savedWidth() const { return m_savedWidth; }

    // OnCanResize: may change the proposed size or refuse it.
    std::function<void(TSplitterBar *sender, int &newSize, bool &accept)> OnCanResize;

    void ColorsChanged() override { update(); }

signals:
    void moved(); // OnMoved
    void painted(QPainter *canvas); // OnPaint

protected:
    virtual bool QueryResize(int &newSize);
    virtual bool CheckResize(int &newSize);

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool horizontalAxis() const { return m_align == alLeft || m_align == alRight; }
    bool foldsControl() const;
    int controlExtent() const;
    void setControlExtent(int extent);
    const TPicture &buttonPicture() const;
    QImage buttonFrame() const;
    void hitTest(const QPoint &p);
    void computeSplit(const QPoint &p, int &newSize, int &offset) const;
    int computeSizeLimit() const;
    void startDrag(const QPoint &p);
    void showResizeLine();
    void hideResizeLine();
    void applyPendingSize();
    void endDrag();
    void toggle();

    QPointer<QWidget> m_control;
    TSplitterColors m_colors { this };
    TAlign m_align = alLeft;
    bool m_enabledResize = true;
    bool m_hot = false;
    TBorderStyle m_borderStyle = bsSingle;
    TSplitterButtonState m_buttonState = sbsNormal;
    TPicture m_maxButton, m_minButton;
    bool m_buttonTrans = false;
    int m_savedWidth = 0, m_savedHeight = 0;
    std::optional<QCursor> m_savedCursor;
    Qt::CursorShape m_cursorInButton = Qt::ArrowCursor;
    bool m_autoSnap = true;
    QPoint m_pressPoint;
    TSplitterLine *m_line = nullptr;
    bool m_lineShown = false;
    int m_minSize = 30;
    int m_sizeLimit = 0;
    int m_pendingSize = 0;
    int m_appliedSize = -1;
    TResizeStyle m_resizeStyle = rsPattern;
    int m_splitOffset = 0;
    bool m_resizing = false;
};
