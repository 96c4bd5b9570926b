#pragma once

class QWidget;

// The window's one pale-blue theme, matching the toolbar gradient (F1F9FF to E3F4FF, edge A4D5F0).
void ApplyLook(QWidget *window);
