#pragma once
#include <windows.h>
#include <gdiplus.h>

// GDI+ started for the life of a scope (default start-up input, version 1).
class CGdiplusSession {
public:
    CGdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_status = Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
    }
    ~CGdiplusSession() { if (m_status == Gdiplus::Ok) Gdiplus::GdiplusShutdown(m_token); }
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;

private:
    ULONG_PTR m_token = 0;
    Gdiplus::Status m_status;
};
