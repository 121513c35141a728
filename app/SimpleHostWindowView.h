#pragma once
#include "ComPtr.h"
#include "Library.h"
#include <windows.h>

// The child window that hosts the chart control: the platform's ActiveX host window
// ("AtlAxWin" of atl.dll, loaded at run time). It paints nothing itself; the control paints
// the whole area.
class CSimpleHostWindowView {
public:
    CSimpleHostWindowView() = default;
    ~CSimpleHostWindowView();
    CSimpleHostWindowView(const CSimpleHostWindowView&) = delete;
    CSimpleHostWindowView& operator=(const CSimpleHostWindowView&) = delete;

    // A visible child of `parent` in the rectangle (client coordinates); false when the host
    // window class is not available.
    bool Create(HWND parent, const RECT& rect);
    // Places the control in the window; it stays there for the window's life.
    HRESULT AttachControl(IUnknown* control);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);

    CLibrary m_atl{L"atl.dll"};
    CComPtr<IUnknown> m_container;  // released after the window is gone
};
