// The advertisement panel: the browser is made and sent to the page only once the window has been
// painted, so the engine's start never holds up the first look at the window.
#include "uFrmMain.h"

#include "VendorSite.h"

#include <QEvent>
#include <QFrame>
#include <QLayout>
#include <QUrl>

#ifdef PLUMARET_HAVE_WEBPANEL
#include "WebBrowseEx.h"
#include <unistd.h>

namespace {

// Calls back once, after the watched widget's first paint has been handled.
class FirstPaintHook : public QObject
{
public:
    FirstPaintHook(QWidget *watched, std::function<void()> callback)
        : QObject(watched), m_callback(std::move(callback))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(this, [this] {
                m_callback();
                deleteLater();
            }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> m_callback;
};

} // namespace

void TfrmMain::NavigateAdvertisement()
{
    auto *hook = new FirstPaintHook(pnlAD, [this] {
        // The engine's sandbox cannot run as root; the panel still shows its page.
        if (geteuid() == 0) {
            if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
                qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
            if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
                qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
        }
        wbAD = new TWebBrowseEx(pnlAD);
        wbAD->setObjectName(QStringLiteral("wbAD"));
        wbAD->setAccessibleName(QStringLiteral("广告"));
        wbAD->setUserInterfaceOptions({DontUse3DBorders, DontUseScrollBars, EnableThemes});
        wbAD->DisableCtrlShortcuts = "N";
        pnlAD->layout()->addWidget(wbAD);
        wbAD->load(QUrl(VendorUrl(AdvertisementPath)));
    });
    // The start-up benchmark removes it to measure the window without the panel.
    hook->setObjectName(QStringLiteral("advertisementHook"));
}
#else
void TfrmMain::NavigateAdvertisement() {}
#endif
