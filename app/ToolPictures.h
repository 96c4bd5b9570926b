#pragma once

#include <QIcon>

// Pictures of the toolbar and menus by their index in the picture list: 0 new, 1 open, 2 save,
// 3 print, 4 cut, 5 copy, 6 paste, 7 undo, 8 the vendor's web site. The desktop's icon theme is asked first;
// drawn pictures stand in where it has none. Disabled buttons get Qt's greyed rendering.
QIcon ToolPicture(int index);
// The desktop icon theme's picture of that name, else the fallback (also where no theme is named).
QIcon ThemePicture(const char *name, const QIcon &fallback = QIcon());
