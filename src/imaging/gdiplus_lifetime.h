#pragma once
// Keeps GDI+ started while anyone needs it: the first holder starts it, the last one to go
// shuts it down.
class GdiplusLifetime {
public:
    GdiplusLifetime();
    ~GdiplusLifetime();
    GdiplusLifetime(const GdiplusLifetime&) = delete;
    GdiplusLifetime& operator=(const GdiplusLifetime&) = delete;
};
