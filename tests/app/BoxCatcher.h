#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

struct SeenBox
{
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
};

// Watches for the next modal message box, records it and presses `answer` (or its only button).
class BoxCatcher : public QObject
{
public:
    explicit BoxCatcher(QMessageBox::StandardButton answer = QMessageBox::NoButton)
        : m_answer(answer)
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxCatcher::poll);
        m_timer.start(10);
    }
    SeenBox seen;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton *b : box->buttons())
            seen.buttons << box->standardButton(b);
        QAbstractButton *press
            = m_answer != QMessageBox::NoButton ? box->button(m_answer) : box->buttons().value(0);
        if (press)
            press->click();
        else
            box->reject();
    }
    QTimer m_timer;
    QMessageBox::StandardButton m_answer;
};
