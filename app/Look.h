#pragma once

class QWidget;

// The window's one pale-blue theme, matching the toolbar gradient (F1F9FF to E3F4FF, edge A4D5F0):
// the palette for the whole window,
void ApplyPalette(QWidget *window);
// and the style rules for the panes only, so that message boxes and dialogs keep the platform's
// look. Best given to a pane before its children exist: a sheet set later polishes them all again.
void ApplyPaneLook(QWidget *pane);
