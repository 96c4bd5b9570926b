// The resize line that a splitter drag shows over its parent: inverted or half-tone.
#pragma once

#include <QWidget>

class TSplitterLine : public QWidget
{
    Q_OBJECT
public:
    TSplitterLine(QWidget *parent, bool halfTone);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_halfTone;
};
