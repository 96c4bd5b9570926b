#pragma once

#include <QApplication>
#include <QFont>
#include <QString>

#include <exception>
#include <type_traits>
#include <utility>

#include "FontconfigStart.h"

inline constexpr char ProductTitle[] = "墨韵笺语工坊";

// The text of the default error box: a full stop is appended when the message's last character
// sorts after "." (so every Chinese message gets one, "…!" or "….": none).
QString ErrorBoxText(const QString &message);

// Shows the default error box for an exception caught at an event boundary; the silent abort shows
// nothing.
void ShowException(std::exception_ptr error);

// Runs a handler and reports what escapes it, so an exception never unwinds through Qt's own frames.
template <typename F> auto Guarded(F handler)
{
    return [handler = std::move(handler)](auto &&...args) {
        try {
            // Signal arguments a handler does not take are dropped, as Qt's connect does.
            if constexpr (std::is_invocable_v<const F &, decltype(args)...>)
                handler(std::forward<decltype(args)>(args)...);
            else
                handler();
        } catch (...) {
            ShowException(std::current_exception());
        }
    };
}

// The program's application object: an exception escaping any event handler is shown in the default
// error box and the event loop goes on. No Q_OBJECT: it has no signals, and moc would want
// QApplication as the first base.
class TPlumaretApplication : private TFontconfigStart, public QApplication
{
public:
    TPlumaretApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// Qt's own texts (standard buttons, file dialogs) in Chinese, whatever the user's locale, since every
// text of the program is Chinese. False when Debian's translations are not installed.
bool InstallQtChinese();

// Renders "宋体" with the CJK fonts Debian ships; fontconfig has no family of that name.
void InstallFontSubstitutes();

// The font of the main window and its controls: "宋体" at 12 pixels.
QFont WindowFont();
