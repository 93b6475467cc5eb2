#pragma once
// A test pattern on the real screen: every pixel's colour names its screen position, so a copy
// shifted by one pixel cannot pass for the original.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "support/probe_window.h"
#include "win/rect.h"

// The pattern's pixels in the screen rectangle as 0x00RRGGBB, top-down, row after row.
std::vector<uint32_t> ExpectedPattern(const RECT& screenRect);

// A shown popup in the foreground, painted with the pattern.
class CPatternWindow : public CProbeWindow {
public:
    explicit CPatternWindow(const RECT& place);
    // Over the whole virtual screen.
    CPatternWindow();
};

// The client area, read even while the window is locked against drawing.
std::vector<uint32_t> ReadWindowPixels(HWND window);
// What the screen shows in the rectangle, whichever process drew it.
std::vector<uint32_t> ReadScreenPixels(const RECT& screenRect);

// The pixels of a window showing the shapes over what it showed before that are wrong: off the
// shapes they must be as before, inside their outlines the highlight colour at 64/255 over them
// (each channel within one) when translucent, else as before.
int CountWrongPixels(const std::vector<uint32_t>& now, const std::vector<uint32_t>& before,
                     int width, std::vector<Rect> shapes, bool translucent = true);
