// The advertisement panel: the browser plugin is loaded, made and sent to the page only once the
// window has been painted, so the web engine's start never holds up the first look at the window.
#include "uFrmMain.h"

#include "VendorSite.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QLayout>
#include <QLibrary>
#include <functional>
#include <unistd.h>

namespace {

using CreatePanelFn = QWidget *(*)(QWidget *parent, const char *url);

// Calls back once, after the watched widget's first paint has been handled.
class FirstPaintHook : public QObject
{
public:
    FirstPaintHook(QWidget *watched, std::function<void()> callback)
        : QObject(watched)
        , m_callback(std::move(callback))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_callback();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> m_callback;
};

CreatePanelFn resolvePanelFactory()
{
    // Beside the program in the build folder, then where `cmake --install` puts it. Never unloaded.
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString &candidate : { appDir + QStringLiteral("/AdPanel"),
             appDir + QStringLiteral("/" PLUMARET_UPDATE_REL_DIR "/AdPanel") }) {
        QLibrary library(candidate);
        if (auto create = reinterpret_cast<CreatePanelFn>(library.resolve("CreateAdvertisementPanel")))
            return create;
    }
    return nullptr;
}

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
        // Without the plugin the panel simply stays white.
        CreatePanelFn create = resolvePanelFactory();
        if (!create)
            return;
        wbAD = create(pnlAD, VendorUrl(AdvertisementPath).toUtf8().constData());
        wbAD->setObjectName(QStringLiteral("wbAD"));
        wbAD->setAccessibleName(QStringLiteral("广告"));
        pnlAD->layout()->addWidget(wbAD);
    });
    // The start-up benchmark removes it to measure the window without the panel.
    hook->setObjectName(QStringLiteral("advertisementHook"));
}
