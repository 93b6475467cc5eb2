#pragma once
// Keeps GDI+ started while anyone needs it: the first holder starts it, the last one to go
// shuts it down.
#include <cstdint>

class GdiplusLifetime {
public:
    GdiplusLifetime();
    ~GdiplusLifetime();
    GdiplusLifetime(const GdiplusLifetime&) = delete;
    GdiplusLifetime& operator=(const GdiplusLifetime&) = delete;

    // The number of holders alive in the process.
    static uint32_t References();
};
