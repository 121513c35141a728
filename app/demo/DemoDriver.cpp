// Runs orvex on the demo installation (examples/controller.xml) against devsim.
//   demo_driver <examples folder> <work folder> <seconds>
// seconds = 0: the operator works the window; the devices stop when orvex ends.
// seconds > 0: shows the port dialog, checks the links, starts acquisition with recording on,
// waits and ends orvex, leaving screenshots of the three windows (the operator's guide shows
// them): port-dialog.png, link-report.png and main-dialog.png.
#include "TextConv.h"
#include "WindowProbe.h"
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {
const wchar_t kMainCaption[] = L"Переносной измерительный комплекс «МИРЕЛ»";
const wchar_t kReportCaption[] = L"МИРЕЛ. Проверка связи с модулями сбора данных";
const wchar_t kPortCaption[] = L"Связь";
enum { IdStart = 1, IdExit = 2, IdPort = 3, IdLink = 1002, IdRecord = 1009 };

std::wstring Quote(const std::wstring& text) { return L"\"" + text + L"\""; }

void Press(HWND dialog, int id)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(::GetDlgItem(dialog, id)));
}

bool SavePng(HWND window, const std::wstring& path)
{
    RECT r;
    ::GetWindowRect(window, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    HDC source = ::GetWindowDC(window);
    HDC memory = ::CreateCompatibleDC(source);
    HBITMAP bitmap = ::CreateCompatibleBitmap(source, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::ReleaseDC(window, source);

    const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    bool saved;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        saved = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    ::DeleteObject(bitmap);
    return saved;
}

bool SaveShot(HWND window, const std::wstring& work, const wchar_t* name)
{
    ::Sleep(500);  // lets the window paint
    std::wstring shot = work + L"\\" + name;
    bool saved = window && SavePng(window, shot);
    std::printf(saved ? "screenshot: %s\n" : "demo: no screenshot at %s\n", WideToAnsi(shot, CP_UTF8).c_str());
    return saved;
}

// Opens the port dialog, checks the links, starts acquisition with recording, waits, ends orvex;
// takes a screenshot of each of the three windows on the way.
bool Drive(CStartedProcess& orvex, const std::wstring& work, int seconds)
{
    DWORD process = orvex.info.dwProcessId;
    HWND dialog = WaitForWindow(process, L"#32770", kMainCaption, 60000);
    if (!dialog) {
        std::printf("demo: the orvex window did not appear\n");
        return false;
    }
    Press(dialog, IdPort);
    HWND ports = WaitForWindow(process, L"#32770", kPortCaption, 30000);
    bool saved = SaveShot(ports, work, L"port-dialog.png");
    ::PostMessageW(ports, WM_COMMAND, IDCANCEL, 0);
    ::Sleep(500);
    Press(dialog, IdLink);
    HWND report = WaitForWindow(process, L"#32770", kReportCaption, 30000);
    if (report)
        std::printf("%s\n", WideToAnsi(MessageBoxText(report), CP_UTF8).c_str());  // the terminal reads UTF-8
    saved = SaveShot(report, work, L"link-report.png") && saved;
    ::PostMessageW(report, WM_COMMAND, IDOK, 0);
    ::Sleep(500);
    ::SendMessageW(::GetDlgItem(dialog, IdRecord), BM_SETCHECK, BST_CHECKED, 0);
    Press(dialog, IdStart);
    ::Sleep(DWORD(seconds) * 1000);
    saved = SaveShot(dialog, work, L"main-dialog.png") && saved;
    Press(dialog, IdStart);
    ::Sleep(500);
    Press(dialog, IdExit);
    return orvex.Wait(30000) == 2 && saved;
}

void PrintRecordings(const std::wstring& work)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((work + L"\\*.csv").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do
        std::printf("recording: %s\\%s\n", WideToAnsi(work, CP_UTF8).c_str(), WideToAnsi(found.cFileName, CP_UTF8).c_str());
    while (::FindNextFileW(search, &found));
    ::FindClose(search);
}
}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc != 4) {
        std::printf("usage: demo_driver <examples folder> <work folder> <seconds>\n");
        return 2;
    }
    std::wstring examples = argv[1], work = argv[2], bin = ProgramFolder();
    int seconds = _wtoi(argv[3]);
    ::CreateDirectoryW(work.c_str(), nullptr);
    std::wstring config = work + L"\\controller.xml";
    ::CopyFileW((examples + L"\\controller.xml").c_str(), config.c_str(), FALSE);

    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);

    CStartedProcess registration;
    if (registration.Start(L"regsvr32.exe /s " + Quote(bin + L"\\norvctrl.dll")))
        registration.Wait(60000);

    // The example's segments are on COM3 and COM5; their devices answer on COM4 and COM6.
    const wchar_t* segments[][3] = {
        {L"seg1", L"COM4", L"--set 11=0.75:1.6 --set 02=FFFD"},
        {L"Iva", L"COM6", L"--set 1=-12.5 --set 3=12.5:10"},
    };
    std::vector<std::unique_ptr<CStartedProcess>> devices;
    for (auto& segment : segments) {
        devices.push_back(std::make_unique<CStartedProcess>());
        std::wstring line = Quote(bin + L"\\devsim.exe") + L" " + Quote(config) + L" " + segment[0] + L" " +
                            segment[1] + L" " + segment[2] + L" --log " + Quote(work + L"\\devsim-" + segment[0] + L".log");
        if (!devices.back()->Start(line))
            std::printf("demo: devsim did not start\n");
    }
    ::Sleep(1000);

    CStartedProcess orvex;
    bool ok = orvex.Start(Quote(bin + L"\\orvex.exe"), work);
    if (ok)
        ok = seconds > 0 ? Drive(orvex, work, seconds) : orvex.Wait(INFINITE) >= 0;
    PrintRecordings(work);
    Gdiplus::GdiplusShutdown(gdiplus);
    return ok ? 0 : 1;
}
