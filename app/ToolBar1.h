#pragma once

#include <QWidget>
#include <functional>

class QAction;
class QToolButton;

// The window's toolbar: buttons at fixed places (31 × 25 from 6 pixels in, 8-pixel separators) on a
// background the window paints itself, as OnCustomDraw.
class TToolBar1 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int BarHeight = 27;
    static constexpr int ButtonWidth = 31;
    static constexpr int ButtonHeight = 25;
    static constexpr int Indent = 6;
    static constexpr int SeparatorWidth = 8;

    explicit TToolBar1(QWidget *parent = nullptr);

    QToolButton *AddAction(QAction *action);
    QToolButton *AddButton();
    void AddSeparator();

    // Asked for the background before the buttons draw over it.
    std::function<void(QPainter &, const QRect &, bool &)> OnCustomDraw;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QToolButton *place(QToolButton *button);
    int m_next = Indent;
};
