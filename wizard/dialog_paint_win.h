// The wizard dialog's own drawing: the white band behind the heading, the heading's bold
// font, and the progress bar (an owner-drawn static, so that no common-controls library
// is needed).
#pragma once

#include <windows.h>

#include "wizard/handles_win.h"

namespace wiz {

// The band behind the heading, in the dialog's client pixels.
RECT HeaderBand(HWND dialog);

// Paints the band; for WM_PAINT.
void PaintHeaderBand(HWND dialog, const RECT& band);

// The brush for a static on the band (the heading lines), or null for any other; for
// WM_CTLCOLORSTATIC.
HBRUSH HeaderBrush(HWND control, HDC dc);

// Gives the heading a bold version of the dialog's font; `font` keeps it alive.
void SetHeadingFont(HWND dialog, GdiObject& font);

// Draws the progress bar `percent` full; for WM_DRAWITEM.
void DrawProgressBar(const DRAWITEMSTRUCT& item, int percent);

}  // namespace wiz
