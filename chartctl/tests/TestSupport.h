#pragma once
#include "DibSurface.h"
#include <windows.h>
#include <string>
#include <vector>

// Runs a command line, waits for it and returns its exit code (-1 when it could not start or
// did not end in time); its standard output, when asked for, is collected.
int RunProgram(const std::wstring& commandLine, DWORD timeoutMs, std::string* output = nullptr);

// regsvr32 /s on the built library (in the test's working folder); returns regsvr32's exit code.
int RunRegsvr32(bool unregister);

// Serves this thread's messages for the given time (calls from the chart's workers, paints).
void PumpMessages(DWORD milliseconds);

// A 32-bit top-down bitmap with a memory DC, for drawing the chart and reading its pixels.
class CPixelCanvas {
public:
    CPixelCanvas(int width, int height);
    CPixelCanvas(const CPixelCanvas&) = delete;
    CPixelCanvas& operator=(const CPixelCanvas&) = delete;

    HDC DC() const { return m_dc; }
    RECTL Bounds() const { return RECTL{0, 0, m_surface.Width(), m_surface.Height()}; }
    COLORREF Pixel(int x, int y) const;
    // Whether some pixel of the box satisfies the test.
    template <class Test>
    bool AnyIn(int x, int y, int width, int height, Test test) const
    {
        for (int j = y; j < y + height; ++j)
            for (int i = x; i < x + width; ++i)
                if (test(Pixel(i, j)))
                    return true;
        return false;
    }
    // Whether every pixel equals the other canvas's (of the same size).
    bool SameAs(const CPixelCanvas& other) const;
    bool SavePng(const std::wstring& path) const;

private:
    CDibSurface m_surface;
    CMemoryDC m_dc;
    CSelectObject m_selected;
};

inline bool IsBlue(COLORREF c) { return GetBValue(c) > 150 && GetRValue(c) < 120 && GetGValue(c) < 120; }
inline bool IsRed(COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 120 && GetBValue(c) < 120; }
inline bool IsLineGreen(COLORREF c) { return GetGValue(c) > 200 && GetRValue(c) < 100 && GetBValue(c) < 100; }
