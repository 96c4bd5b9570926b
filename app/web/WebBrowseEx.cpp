#include "WebBrowseEx.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace {

// X11 key codes of the right-hand modifier keys (evdev layout).
constexpr quint32 RightControlScanCode = 105;
constexpr quint32 RightAltScanCode = 108;
constexpr quint32 ContextMenuDefault = 0;
constexpr int LoadFromStringWaitMs = 5000;
const char NoTextSelectScript[] = "plumaret-no-text-select";

bool isLocalScheme(const QUrl &url)
{
    return url.isLocalFile() || url.scheme() == QLatin1String("qrc");
}

quint16 virtualKeyOf(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return quint16(key);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    default:
        if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
            return quint16(0x70 + (key - Qt::Key_F1));
        return 0;
    }
}

} // namespace

// Navigations the page asks for go through the host first: local files never load.
class HostUrlInterceptor : public QWebEngineUrlRequestInterceptor
{
public:
    explicit HostUrlInterceptor(TWebBrowseEx *view)
        : QWebEngineUrlRequestInterceptor(view)
        , m_view(view)
    {
    }

    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (isLocalScheme(info.requestUrl())) {
            info.block(true);
            return;
        }
        const auto type = info.resourceType();
        if (type != QWebEngineUrlRequestInfo::ResourceTypeMainFrame
            && type != QWebEngineUrlRequestInfo::ResourceTypeSubFrame)
            return;
        QString translated;
        if (m_view->TranslateUrl(info.requestUrl().toString(), translated) == S_OK_)
            info.redirect(QUrl(translated));
    }

private:
    TWebBrowseEx *m_view;
};

// The page's message boxes are offered to the host before the engine shows its own.
class HostPage : public QWebEnginePage
{
public:
    HostPage(QWebEngineProfile *profile, TWebBrowseEx *view)
        : QWebEnginePage(profile, view)
        , m_view(view)
    {
    }

protected:
    void javaScriptAlert(const QUrl &origin, const QString &message) override
    {
        qint32 result = 0;
        if (m_view->ShowMessage(message, title(), 0 /* MB_OK */, result) != S_OK_)
            QWebEnginePage::javaScriptAlert(origin, message);
    }

    bool javaScriptConfirm(const QUrl &origin, const QString &message) override
    {
        qint32 result = 0;
        if (m_view->ShowMessage(message, title(), 1 /* MB_OKCANCEL */, result) == S_OK_)
            return result == 1 /* IDOK */;
        return QWebEnginePage::javaScriptConfirm(origin, message);
    }

    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        if (isLocalScheme(url))
            return false;
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

private:
    TWebBrowseEx *m_view;
};

TWebBrowseEx::TWebBrowseEx(QWidget *parent)
    : QWebEngineView(parent)
{
    // Off the record: the panel keeps no cookies or cache on disk.
    m_profile = new QWebEngineProfile(this);
    m_interceptor = new HostUrlInterceptor(this);
    m_profile->setUrlRequestInterceptor(m_interceptor);
    connect(m_profile, &QWebEngineProfile::downloadRequested, this,
        [](QWebEngineDownloadRequest *download) { download->cancel(); });

    m_page = new HostPage(m_profile, this);
    QWebEngineSettings *settings = m_page->settings();
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    m_page->setBackgroundColor(Qt::white);
    setPage(m_page);

    qApp->installEventFilter(this);
    applyHostInfo();
}

TWebBrowseEx::~TWebBrowseEx()
{
    qApp->removeEventFilter(this);
    // The page must go before the profile it was made with.
    delete m_page;
    m_page = nullptr;
}

void TWebBrowseEx::setUserInterfaceOptions(TUserInterfaceOptions options)
{
    m_options = options;
    m_hostFlags = HostFlagsOf(options);
    applyHostInfo();
}

HRESULT_ TWebBrowseEx::ShowContextMenu(quint32 menuKind, QPoint point)
{
    HRESULT_ result = E_NOTIMPL_;
    if (OnShowContextMenu)
        OnShowContextMenu(this, menuKind, point, result);
    return result;
}

HRESULT_ TWebBrowseEx::GetHostInfo(TDOCHOSTUIINFO &info)
{
    info.cbSize = DocHostUIInfoSize;
    info.dwFlags = m_hostFlags | (EnterModeOnEdit == emFlagDiv ? DivBlockDefaultFlag : 0);
    info.dwDoubleClick = 0;
    info.pchHostCss = nullptr;
    info.pchHostNS = nullptr;
    if (OnGetHostInfo)
        OnGetHostInfo(this, info);
    return S_OK_;
}

HRESULT_ TWebBrowseEx::TranslateAccelerator(const TKeyMessage &message)
{
    bool done = false;
    if (OnTranslateAccelerator)
        OnTranslateAccelerator(this, message, done);
    return done ? S_OK_ : S_FALSE_;
}

HRESULT_ TWebBrowseEx::TranslateUrl(const QString &urlIn, QString &urlOut)
{
    QString translated;
    if (OnTranslateUrl)
        OnTranslateUrl(this, urlIn, translated);
    if (translated.isEmpty())
        return S_FALSE_;
    urlOut = translated;
    return S_OK_;
}

HRESULT_ TWebBrowseEx::ShowMessage(const QString &text, const QString &caption, quint32 type, qint32 &result)
{
    if (!OnShowMessage)
        return S_FALSE_;
    return OnShowMessage(this, text, caption, type, result);
}

bool TWebBrowseEx::isMaskedCtrlKey(const TKeyMessage &message) const
{
    if (DisableCtrlShortcuts.isEmpty() || !message.keyDown)
        return false;
    const bool anyAlt = message.leftAlt || message.rightAlt;
    const bool ctrl = (message.leftControl && !anyAlt) || (message.rightControl && !message.leftAlt);
    return ctrl && DisableCtrlShortcuts.contains(char(message.virtualKey & 0xFF));
}

bool TWebBrowseEx::FilterCtrlKey(const TKeyMessage &message)
{
    if (!isMaskedCtrlKey(message))
        return false;
    if (OnMaskedCtrlChar)
        OnMaskedCtrlChar(this, char(message.virtualKey & 0xFF));
    return true;
}

void TWebBrowseEx::LoadFromString(const QString &html)
{
    QEventLoop loop;
    connect(this, &QWebEngineView::loadFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(LoadFromStringWaitMs, &loop, &QEventLoop::quit);
    setHtml(html, QUrl(QStringLiteral("about:blank")));
    loop.exec();
}

void TWebBrowseEx::contextMenuEvent(QContextMenuEvent *event)
{
    if (ShowContextMenu(ContextMenuDefault, event->globalPos()) == S_OK_) {
        event->accept();
        return;
    }
    QWebEngineView::contextMenuEvent(event);
}

QWebEngineView *TWebBrowseEx::createWindow(QWebEnginePage::WebWindowType)
{
    // Opening in place is the only kind of new window the host allows.
    return (m_hostFlags & HostFlagOf(ForceSameWindowNavigation)) ? this : nullptr;
}

bool TWebBrowseEx::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget)))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const bool down = type != QEvent::KeyRelease;
    if (key->nativeScanCode() == RightControlScanCode)
        m_rightControlDown = down;
    if (key->nativeScanCode() == RightAltScanCode || key->key() == Qt::Key_AltGr)
        m_rightAltDown = down;
    // A key event climbs to the parents through this filter again; judge each key once.
    if (type == QEvent::KeyRelease || (key == m_lastJudged && key->timestamp() == m_lastJudgedTime))
        return false;
    m_lastJudged = key;
    m_lastJudgedTime = key->timestamp();

    const TKeyMessage message = keyMessageOf(key);
    if (type == QEvent::ShortcutOverride) {
        // Keep the window's shortcuts (Ctrl+N is "new letter") away from a key the panel swallows:
        // an accepted override lets the key press come here, where it is dropped.
        if (!isMaskedCtrlKey(message))
            return false;
        event->accept();
        return true;
    }
    if (TranslateAccelerator(message) == S_OK_)
        return true;
    return FilterCtrlKey(message);
}

TKeyMessage TWebBrowseEx::keyMessageOf(const QKeyEvent *event) const
{
    TKeyMessage message;
    message.keyDown = event->type() != QEvent::KeyRelease;
    message.virtualKey = virtualKeyOf(event->key());
    const Qt::KeyboardModifiers mods = event->modifiers();
    message.rightControl = (mods & Qt::ControlModifier) && m_rightControlDown;
    message.leftControl = (mods & Qt::ControlModifier) && !m_rightControlDown;
    message.rightAlt = m_rightAltDown || (mods & Qt::GroupSwitchModifier);
    message.leftAlt = (mods & Qt::AltModifier) && !message.rightAlt;
    return message;
}

void TWebBrowseEx::applyHostInfo()
{
    TDOCHOSTUIINFO info;
    GetHostInfo(info);
    QWebEngineSettings *settings = m_page->settings();
    settings->setAttribute(
        QWebEngineSettings::ShowScrollBars, !(info.dwFlags & HostFlagOf(DontUseScrollBars)));

    QWebEngineScriptCollection &scripts = m_page->scripts();
    for (const QWebEngineScript &script : scripts.find(QLatin1String(NoTextSelectScript)))
        scripts.remove(script);
    if (info.dwFlags & HostFlagOf(DisableTextSelect)) {
        QWebEngineScript script;
        script.setName(QLatin1String(NoTextSelectScript));
        script.setInjectionPoint(QWebEngineScript::DocumentReady);
        script.setWorldId(QWebEngineScript::ApplicationWorld);
        script.setSourceCode(QStringLiteral("document.documentElement.style.userSelect='none';"));
        scripts.insert(script);
    }
}
