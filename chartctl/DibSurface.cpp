#include "DibSurface.h"
#include <algorithm>
#include <cstring>

namespace {
HBITMAP CreateTopDownDib(int width, int height, DWORD*& pixels)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = bitmap ? static_cast<DWORD*>(bits) : nullptr;
    return bitmap;
}
}  // namespace

CDibSurface::CDibSurface(int width, int height)
    : m_width(width), m_height(height), m_bitmap(CreateTopDownDib(width, height, m_pixels))
{
}

bool CDibSurface::SameIn(const CDibSurface& other, RECT area) const
{
    ::GdiFlush();
    const LONG left = std::max(area.left, 0L), right = std::min(area.right, static_cast<LONG>(m_width));
    const LONG top = std::max(area.top, 0L), bottom = std::min(area.bottom, static_cast<LONG>(m_height));
    for (LONG y = top; y < bottom && left < right; ++y) {
        const size_t offset = static_cast<size_t>(y) * m_width + left;
        if (std::memcmp(m_pixels + offset, other.m_pixels + offset, (right - left) * sizeof(DWORD)) != 0)
            return false;
    }
    return true;
}

void CDibSurface::CopyFrom(const CDibSurface& other)
{
    ::GdiFlush();
    std::memcpy(m_pixels, other.m_pixels, static_cast<size_t>(m_width) * m_height * sizeof(DWORD));
}

void CDibSurface::Clear()
{
    ::GdiFlush();
    std::memset(m_pixels, 0, static_cast<size_t>(m_width) * m_height * sizeof(DWORD));
}
