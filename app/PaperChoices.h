#pragma once

#include "PaperSettings.h"

// 字号 the dialog offers, in points.
inline constexpr int MinPointSize = 9;
inline constexpr int MaxPointSize = 36;

// The letter-paper dialog's choices, kept in the user's settings between runs; the only settings the
// program keeps.
Paper::PaperSettings LoadPaperChoices();
void SavePaperChoices(const Paper::PaperSettings &settings);
