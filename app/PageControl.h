#pragma once

#include <QTabBar>
#include <QTabWidget>

// A page control whose tabs have a fixed height whatever the style or style sheet says.
class TPageControl : public QTabWidget
{
    Q_OBJECT

public:
    explicit TPageControl(int tabHeight, QWidget *parent = nullptr)
        : QTabWidget(parent)
    {
        setTabBar(new TabBar(tabHeight, this));
    }

private:
    class TabBar : public QTabBar
    {
    public:
        TabBar(int height, QWidget *parent)
            : QTabBar(parent)
            , m_height(height)
        {
        }

    protected:
        QSize tabSizeHint(int index) const override
        {
            return { QTabBar::tabSizeHint(index).width(), m_height };
        }
        QSize minimumTabSizeHint(int index) const override
        {
            return { QTabBar::minimumTabSizeHint(index).width(), m_height };
        }

    private:
        int m_height;
    };
};
