#pragma once

#include "DocHostUI.h"

#include <QString>
#include <QUrl>
#include <QWebEngineView>
#include <functional>

class QWebEngineProfile;
class HostPage;
class HostUrlInterceptor;

// The advertisement panel's browser: answers the engine's host questions with fixed defaults that
// an owner may change through events, and swallows chosen Ctrl+letter keys before the page sees them.
class TWebBrowseEx : public QWebEngineView
{
    Q_OBJECT
public:
    using TShowMessageEvent = std::function<HRESULT_(
        TWebBrowseEx *, const QString &text, const QString &caption, quint32 type, qint32 &result)>;
    using TShowContextMenuEvent
        = std::function<void(TWebBrowseEx *, quint32 menuKind, QPoint point, HRESULT_ &result)>;
    using TGetHostInfoEvent = std::function<HRESULT_(TWebBrowseEx *, TDOCHOSTUIINFO &info)>;
    using TOnActivateEvent = std::function<void(TWebBrowseEx *, bool activate)>;
    using TTranslateAcceleratorEvent
        = std::function<void(TWebBrowseEx *, const TKeyMessage &message, bool &done)>;
    using TTranslateUrlEvent = std::function<void(TWebBrowseEx *, const QString &urlIn, QString &urlOut)>;
    using TMaskedCtrlCharEvent = std::function<void(TWebBrowseEx *, char maskedChar)>;

    explicit TWebBrowseEx(QWidget *parent = nullptr);
    ~TWebBrowseEx() override;

    TShowMessageEvent OnShowMessage;
    TShowContextMenuEvent OnShowContextMenu;
    TGetHostInfoEvent OnGetHostInfo;
    TOnActivateEvent OnOnDocWindowActivate;
    TTranslateAcceleratorEvent OnTranslateAccelerator;
    TTranslateUrlEvent OnTranslateUrl;
    TEnterMode EnterModeOnEdit = emFlagDiv;
    QByteArray DisableCtrlShortcuts = "N";
    TMaskedCtrlCharEvent OnMaskedCtrlChar;

    TUserInterfaceOptions UserInterfaceOptions() const { return m_options; }
    void setUserInterfaceOptions(TUserInterfaceOptions options);
    quint32 HostFlags() const { return m_hostFlags; }

    // The host's answers; the engine's hooks below ask them.
    HRESULT_ ShowContextMenu(quint32 menuKind, QPoint point);
    HRESULT_ GetHostInfo(TDOCHOSTUIINFO &info);
    HRESULT_ TranslateAccelerator(const TKeyMessage &message);
    HRESULT_ TranslateUrl(const QString &urlIn, QString &urlOut);
    HRESULT_ ShowMessage(const QString &text, const QString &caption, quint32 type, qint32 &result);

    // True: the key is swallowed and reaches neither the page nor the window.
    bool FilterCtrlKey(const TKeyMessage &message);
    virtual void LoadFromString(const QString &html);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType type) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyHostInfo();
    bool isMaskedCtrlKey(const TKeyMessage &message) const;
    TKeyMessage keyMessageOf(const QKeyEvent *event) const;

    TUserInterfaceOptions m_options;
    quint32 m_hostFlags = 0;
    QWebEngineProfile *m_profile = nullptr;
    HostPage *m_page = nullptr;
    HostUrlInterceptor *m_interceptor = nullptr;
    // Which side's modifier keys are down, by X11 key code; Qt's modifier mask cannot tell.
    bool m_rightControlDown = false;
    bool m_rightAltDown = false;
    const QKeyEvent *m_lastJudged = nullptr;
    quint64 m_lastJudgedTime = 0;
};
