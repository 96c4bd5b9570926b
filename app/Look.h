#pragma once

class QWidget;

// The window's one pale-blue theme, matching the toolbar gradient (F1F9FF to E3F4FF, edge A4D5F0):
// the palette for the whole window,
void ApplyPalette(QWidget *window);
// and the panes' look of buttons, fields, lists and tab pages, so that message boxes and dialogs keep
// the platform's. Drawn by a proxy of the application's style, installed once before the window's
// controls exist: style sheets would cost milliseconds at every start for the same pictures.
void InstallLook();
void ApplyPaneLook(QWidget *pane);
