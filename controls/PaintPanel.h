// Panel whose background is a small picture fitted by band stretching, with an optional outline.
#pragma once

#include "Picture.h"
#include "PubFunc.h"

#include <QPainter>
#include <QWidget>

class TPaintPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TPaintPanel(QWidget *parent = nullptr);

    TPicture &Picture() { return m_picture; }
    void setPicture(const TPicture &picture);
    bool autoWidth() const { return m_autoWidth; }
    void setAutoWidth(bool value);
    bool autoHeight() const { return m_autoHeight; }
    void setAutoHeight(bool value);
    THorzStretchType picHorzStretch() const { return m_horz; }
    void setPicHorzStretch(THorzStretchType value);
    TVertStretchType picVertStretch() const { return m_vert; }
    void setPicVertStretch(TVertStretchType value);
    TColor bevelColor() const { return m_bevelColor; }
    void setBevelColor(TColor value);
    TBorderStyle bevelStyle() const { return m_bevelStyle; }
    void setBevelStyle(TBorderStyle value);
    int bevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int value);

    QString caption() const { return m_caption; }
    void setCaption(const QString &text);
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment value); // horizontal and vertical parts
    TColor color() const { return m_color; }
    void setColor(TColor value);
    bool parentBackground() const { return m_parentBackground; }
    void setParentBackground(bool value);

signals:
    void painted(QPainter *canvas); // OnPaint: after the panel's own painting, before the children

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void pictureChanged();

    TPicture m_picture;
    bool m_autoWidth = false;
    bool m_autoHeight = false;
    THorzStretchType m_horz = hstNone;
    TVertStretchType m_vert = vstNone;
    TColor m_bevelColor = 0;
    TBorderStyle m_bevelStyle = bsNone;
    int m_bevelWidth = 1;
    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    TColor m_color = clBtnFace;
    bool m_parentBackground = true;
};
