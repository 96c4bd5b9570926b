#include "StartCompletion.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include "FirstPaintHook.h"

namespace {

// A window that is not painted (started minimised) is completed after this long all the same.
constexpr int CompleteLatestMs = 1000;

// What acts on the window. The pointer entering or hovering does not: it arrives when the window
// appears under it, often before the first paint, and would put the rest in front of that paint.
bool isInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::Drop:
        return true;
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave:
        return false;
    default:
        return event->isInputEvent();
    }
}

} // namespace

TStartCompletion::TStartCompletion(QWidget *window, std::function<void()> complete)
    : QObject(window)
    , m_complete(std::move(complete))
{
    qApp->installEventFilter(this);
    QPointer<TStartCompletion> self(this);
    new TFirstPaintHook(
        window,
        [self] {
            if (self)
                self->complete();
        },
        CompleteLatestMs);
}

bool TStartCompletion::eventFilter(QObject *, QEvent *event)
{
    if (isInput(event))
        complete(); // the event then goes on to a complete window
    return false;
}

void TStartCompletion::complete()
{
    if (!m_complete)
        return;
    qApp->removeEventFilter(this);
    // Cleared first: what it runs may show a box whose events come through here.
    const std::function<void()> run = std::move(m_complete);
    m_complete = nullptr;
    deleteLater();
    run();
}
