// The advertisement panel: it shows a phrase of the phrase book until the advertisement page has
// answered a plain request; only then is the browser plugin loaded, made and sent to the page. An
// unreachable vendor host thus never starts the web engine, and its start never holds up the window.
#include "uFrmMain.h"

#include "AdvertisementProbe.h"
#include "FirstPaintHook.h"
#include "LetterComposer.h"
#include "VendorSite.h"
#include "VerticalPhrase.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLibrary>
#include <QVBoxLayout>
#include <unistd.h>

namespace {

using CreatePanelFn = QWidget *(*)(QWidget *parent, const char *url, QWidget *placeholder);

CreatePanelFn resolvePanelFactory(const QStringList &candidates)
{
    // Never unloaded: the panel lives as long as the window.
    for (const QString &candidate : candidates) {
        QLibrary library(candidate);
        if (auto create = reinterpret_cast<CreatePanelFn>(library.resolve("CreateAdvertisementPanel")))
            return create;
    }
    return nullptr;
}

} // namespace

void TfrmMain::setupAdvertisement()
{
    auto *layout = new QVBoxLayout(pnlAD);
    layout->setContentsMargins(0, 0, 0, 0);
    pnlPhrase = new TVerticalPhrase(pnlAD);
    pnlPhrase->setObjectName(QStringLiteral("pnlPhrase"));
    layout->addWidget(pnlPhrase);

    AdvertisementUrl = QUrl(VendorUrl(AdvertisementPath));
    // Beside the program in the build folder, then where `cmake --install` puts it.
    const QString appDir = QCoreApplication::applicationDirPath();
    AdPanelCandidates = { appDir + QStringLiteral("/AdPanel"),
        appDir + QStringLiteral("/" PLUMARET_UPDATE_REL_DIR "/AdPanel") };
}

void TfrmMain::NavigateAdvertisement()
{
    auto *hook = new TFirstPaintHook(pnlAD, [this] {
        // Chosen once, from the classes automatic writing uses; the query waits for the first paint.
        pnlPhrase->setPhrase(Letters::TLetterComposer(*PhraseStore).AutoWritingPhrase().value_or(QString()));
        auto *probe = new TAdvertisementProbe(AdvertisementUrl, this);
        connect(probe, &TAdvertisementProbe::finished, this, [this, probe](bool answered) {
            probe->deleteLater();
            if (answered)
                ShowAdvertisementPage();
        });
        probe->start();
    });
    // bench_webpanel removes it to measure the window without the panel.
    hook->setObjectName(QStringLiteral("advertisementHook"));
}

void TfrmMain::ShowAdvertisementPage()
{
    // The engine's sandbox cannot run as root; the panel still shows its page.
    if (geteuid() == 0) {
        if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    }
    // Without the plugin the panel keeps its phrase.
    CreatePanelFn create = resolvePanelFactory(AdPanelCandidates);
    if (!create)
        return;
    wbAD = create(pnlAD, AdvertisementUrl.toString().toUtf8().constData(), pnlPhrase);
    wbAD->setObjectName(QStringLiteral("wbAD"));
    wbAD->setAccessibleName(QStringLiteral("广告"));
    pnlAD->layout()->addWidget(wbAD);
}
