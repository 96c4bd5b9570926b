// The advertisement panel as a plugin: the window loads it only after its first paint, so starting
// the program never waits for the web engine's libraries.
#include "WebBrowseEx.h"

extern "C" __attribute__((visibility("default"))) QWidget *CreateAdvertisementPanel(
    QWidget *parent, const char *url)
{
    auto *panel = new TWebBrowseEx(parent);
    panel->setUserInterfaceOptions({ DontUse3DBorders, DontUseScrollBars, EnableThemes });
    panel->DisableCtrlShortcuts = "N";
    panel->load(QUrl(QString::fromUtf8(url)));
    return panel;
}
