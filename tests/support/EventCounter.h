#pragma once

#include <QEvent>
#include <QObject>

#include <functional>

// Counts the events of one type that reach an object (those that pass `which`, when given), before
// the object itself sees them.
class EventCounter : public QObject
{
public:
    EventCounter(QObject *target, QEvent::Type type, std::function<bool(const QEvent &)> which = {})
        : m_type(type)
        , m_which(std::move(which))
    {
        target->installEventFilter(this);
    }

    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type && (!m_which || m_which(*event)))
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<bool(const QEvent &)> m_which;
};
