// orvex: the operator program of the gas-measuring installation.
#include "AppModule.h"
#include "ComPtr.h"
#include "Controller.h"
#include "FatalError.h"
#include "GdiplusSession.h"
#include "MainDlg.h"
#include "SAXConfig.h"
#include "resource.h"
#include <windows.h>
#include <commctrl.h>
#include <clocale>
#include <memory>
#include <string>

namespace {
// Loads controller.xml into the engine; a file that cannot be loaded ends the process.
void LoadConfiguration(CController& engine)
{
    auto loader = std::make_unique<CSAXConfig>();
    HRESULT result = loader->Parse(L"controller.xml");
    if (result != S_OK) {
        std::wstring text = L"Ошибка обработки конфигурационного файла controller.xml";
        if (!loader->ErrorText().empty())
            text += L"\n" + loader->ErrorText();
        ShowFatalError(text.c_str(), int(result & 0xFFFF));
    }
    loader->Build(engine);
}

int RunMainDialog(CController& engine, CMessageLoop& loop, int showCommand)
{
    CMainDlg dialog(engine);
    if (!dialog.Create(nullptr, IDD_MAINDLG))
        return 0;
    ::ShowWindow(dialog.m_hWnd, showCommand);
    return loop.Run();
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    _wsetlocale(LC_ALL, L".1251");
    setlocale(LC_ALL, ".1251");
    CGdiplusSession gdiplus;
    CComApartment apartment;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    g_module.Init(instance);

    CMessageLoop loop;
    g_module.AddMessageLoop(&loop);

    // The engine outlives the dialog and is torn down after it, at the end of the process.
    CController engine;
    LoadConfiguration(engine);
    int result = RunMainDialog(engine, loop, showCommand);
    g_module.RemoveMessageLoop();
    g_module.Term();
    return result;
}
