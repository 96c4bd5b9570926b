// The window's picture controls: mode-bar buttons, the two paint panels and the splitter bar.
#include "uFrmMain.h"

#include "ImgButton.h"
#include "Look.h"
#include "PaintPanel.h"
#include "PlumaretError.h"
#include "SplitterBar.h"

#include <QGuiApplication>
#include <QIcon>

namespace {

// A picture that cannot be loaded (no PNG support) stays empty: the button is then invisible,
// which is all a missing codec costs.
TPicture picture(const QString &name)
{
    TPicture p;
    try {
        p.loadFromFile(QStringLiteral(":/controls/pictures/%1.png").arg(name), qApp->devicePixelRatio());
    } catch (const EPlumaretError &) {
        p.clear();
    }
    return p;
}

void dressModeButton(TImgCheckButton *button, const QString &name)
{
    const TPicture normal = picture(name + QStringLiteral("_normal"));
    const TPicture hover = picture(name + QStringLiteral("_hover"));
    button->setImgNormal(normal);
    button->setImgDisable(normal);
    button->setImgEnter(hover);
    button->setImgDown(hover);
    button->setImgCheck(picture(name + QStringLiteral("_checked")));
    button->setOnEnterOffset(0);
    button->setOnDownOffset(0);
    button->setCheckGroup(0);
}

} // namespace

void TfrmMain::setupWindowIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/controls/pictures/icon32.png"));
    icon.addFile(QStringLiteral(":/controls/pictures/icon128.png"));
    setWindowIcon(icon);
}

void TfrmMain::setupControls()
{
    dressModeButton(btnAuto, QStringLiteral("btnAuto"));
    dressModeButton(btnTemplate, QStringLiteral("btnTemplate"));
    dressModeButton(btnGroup, QStringLiteral("btnGroup"));

    pnlNames->setPicture(picture(QStringLiteral("pnlNames")));
    pnlNames->setPicHorzStretch(hstRight);
    pnlNames->setPicVertStretch(vstNone);
    pnlLLeft->setPicture(picture(QStringLiteral("pnlLLeft")));
    pnlLLeft->setPicHorzStretch(hstNone);
    pnlLLeft->setPicVertStretch(vstBottom);

    SplitterBar->setAlign(alLeft);
    SplitterBar->setControl(pnlLeft);
    SplitterBar->setMinSize(80);
    TSplitterColors &colors = SplitterBar->Colors();
    colors.setColor(0x00F6E3BE);
    colors.setColorTo(0x00F6E3BE);
    colors.setColorHot(0x00F2D6A2);
    colors.setColorHotTo(0x00F2D6A2);
    colors.setBorderColor(0x00F3D196);
    colors.setBorderColorHot(0x00F3D196);
    SplitterBar->setMinButton(picture(QStringLiteral("SplitterMin")));
    SplitterBar->setMaxButton(picture(QStringLiteral("SplitterMax")));
}
