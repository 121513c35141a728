#pragma once
#include "GdiObjects.h"
#include <windows.h>

// A 32-bit top-down DIB section: GDI and GDI+ draw into it through a memory DC that selects it,
// and its pixels are compared and copied directly (after GdiFlush).
class CDibSurface {
public:
    CDibSurface(int width, int height);
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;

    bool IsValid() const { return m_pixels != nullptr; }
    HBITMAP Bitmap() const { return m_bitmap; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Row after row from the top, one 0x00RRGGBB value a pixel.
    const DWORD* Pixels() const { return m_pixels; }
    DWORD* Pixels() { return m_pixels; }

    // Both surfaces must have the same size. The area is clipped to the surface.
    bool SameIn(const CDibSurface& other, RECT area) const;
    void CopyFrom(const CDibSurface& other);
    void Clear();

private:
    int m_width, m_height;
    DWORD* m_pixels = nullptr;
    CGdiObject<HBITMAP> m_bitmap;
};
