#pragma once

// RTF measures in twips, the document in pixels: 1440 twips per inch at 96 pixels per inch.
inline constexpr int TwipsPerPixel = 15;
