#include "Anchors.h"

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace {

class TAnchor : public QObject
{
public:
    TAnchor(QWidget *child, const QRect &geometry, QWidget *reference, const QSize &designSize,
        Qt::Orientations stretch)
        : QObject(child)
        , m_child(child)
        , m_reference(reference)
        , m_geometry(geometry)
        , m_design(designSize)
        , m_stretch(stretch)
    {
        child->setGeometry(geometry);
        if (stretch)
            reference->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && watched == m_reference)
            apply();
        return QObject::eventFilter(watched, event);
    }

private:
    void apply()
    {
        const QSize now = m_reference->size();
        QRect r = m_geometry;
        if (m_stretch & Qt::Horizontal)
            r.setWidth(qMax(0, m_geometry.width() + now.width() - m_design.width()));
        if (m_stretch & Qt::Vertical)
            r.setHeight(qMax(0, m_geometry.height() + now.height() - m_design.height()));
        m_child->setGeometry(r);
    }

    QWidget *m_child;
    QPointer<QWidget> m_reference;
    QRect m_geometry;
    QSize m_design;
    Qt::Orientations m_stretch;
};

} // namespace

void Anchor(QWidget *child, const QRect &geometry, QWidget *reference, const QSize &designSize,
    Qt::Orientations stretch)
{
    new TAnchor(child, geometry, reference, designSize, stretch);
}
