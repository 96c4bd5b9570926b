// The advertisement panel as a plugin: the window loads it only once the page has answered, so
// starting the program never waits for the web engine's libraries.
#include "WebBrowseEx.h"

#include <QPointer>

// The panel stays hidden until its page has loaded; then it takes the placeholder's place.
extern "C" __attribute__((visibility("default"))) QWidget *CreateAdvertisementPanel(
    QWidget *parent, const char *url, QWidget *placeholder)
{
    auto *panel = new TWebBrowseEx(parent);
    panel->hide();
    panel->setUserInterfaceOptions({ DontUse3DBorders, DontUseScrollBars, EnableThemes });
    panel->DisableCtrlShortcuts = "N";
    QObject::connect(panel, &QWebEngineView::loadFinished, panel,
        [panel, placeholder = QPointer<QWidget>(placeholder)](bool ok) {
            if (!ok || panel->isVisible())
                return;
            if (placeholder)
                placeholder->hide();
            panel->show();
        });
    panel->load(QUrl(QString::fromUtf8(url)));
    return panel;
}
