#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the program: carries the text the error box shows.
class EPlumaretError : public std::runtime_error
{
public:
    explicit EPlumaretError(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }

    QString message() const { return m_message; }

private:
    QString m_message;
};

// A user's cancel inside a command: unwinds the command; the error box ignores it.
class EAbort : public EPlumaretError
{
public:
    EAbort()
        : EPlumaretError(QString())
    {
    }
};
