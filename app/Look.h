#pragma once

#include <initializer_list>

class QWidget;

// The window's one pale-blue theme, matching the toolbar gradient (F1F9FF to E3F4FF, edge A4D5F0):
// the palette for the whole window, the style rules for the given panes only, so that message
// boxes and dialogs keep the platform's look.
void ApplyLook(QWidget *window, std::initializer_list<QWidget *> panes);
