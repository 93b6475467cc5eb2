#pragma once
// What a window shows, read back from its client area, and a window worth reading: every
// 4 x 4 block has its own colour, so a pixel put back in the wrong place is seen.
#include <windows.h>

#include <cstdint>

#include "screen_pattern.h"
#include "support/probe_window.h"

// The client area as 0x00RRGGBB, read even while the window is locked against drawing.
Pixels ReadWindowPixels(HWND window);

// Paints the block pattern over the whole client area of a window (from its WM_PAINT).
void PaintBlocks(HDC dc, const RECT& client);

// channel × 64/255 of the highlight colour over the background's, per channel.
uint32_t HighlightOver(uint32_t background);

// Every channel within one of the expected value.
bool NearColor(uint32_t actual, uint32_t expected);

// A shown window painted with the block pattern.
class CPaintedWindow : public CProbeWindow {
public:
    explicit CPaintedWindow(const RECT& place);
};
