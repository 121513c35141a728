#pragma once
#include <windows.h>
#include <utility>

// Owns a GDI object (bitmap, brush, pen, font, region).
template <class T>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(T object) : m_object(object) {}
    ~CGdiObject() { if (m_object) ::DeleteObject(m_object); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    operator T() const { return m_object; }

private:
    T m_object = nullptr;
};

// Owns a memory device context made by CreateCompatibleDC.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {}
    ~CMemoryDC() { if (m_dc) ::DeleteDC(m_dc); }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
};

// Selects an object into a device context for the life of a scope, then restores the previous one.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~CSelectObject() { if (m_previous) ::SelectObject(m_dc, m_previous); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
