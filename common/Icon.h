#pragma once
#include <windows.h>

// An icon loaded from a resource at a given size, destroyed with the owner.
class CIcon {
public:
    CIcon() = default;
    CIcon(HINSTANCE instance, int id, int cx, int cy)
        : m_icon(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, 0))) {}
    ~CIcon() { if (m_icon) ::DestroyIcon(m_icon); }
    CIcon(const CIcon&) = delete;
    CIcon& operator=(const CIcon&) = delete;
    CIcon(CIcon&& o) noexcept : m_icon(o.m_icon) { o.m_icon = nullptr; }
    CIcon& operator=(CIcon&& o) noexcept
    {
        if (this != &o) {
            if (m_icon) ::DestroyIcon(m_icon);
            m_icon = o.m_icon;
            o.m_icon = nullptr;
        }
        return *this;
    }

    operator HICON() const { return m_icon; }

private:
    HICON m_icon = nullptr;
};
