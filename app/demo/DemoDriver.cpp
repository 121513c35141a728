// Runs orvex on the demo installation (examples/controller.xml) against devsim.
//   demo_driver <examples folder> <work folder> <seconds>
// seconds = 0: the operator works the window; the devices stop when orvex ends.
// seconds > 0: shows the port dialog, checks the links, sets the alarm band, starts acquisition
// with recording on, sets the RRG-12's set point on the tab "Задание параметров газовой смеси"
// halfway, waits and ends orvex, leaving screenshots (the operator's guide shows them):
// port-dialog.png, link-report.png, mixture-tab.png and main-dialog.png.
// devsim's inputs swing slowly with a little noise and its digital inputs flip now and then, so
// the chart shows a trend; the chart's variable U1 leaves the alarm band once.
#include "FileBytes.h"
#include "TextConv.h"
#include "DialogProbe.h"
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {
const wchar_t kMainCaption[] = L"Переносной измерительный комплекс «МИРЕЛ»";
const wchar_t kReportCaption[] = L"МИРЕЛ. Проверка связи с модулями сбора данных";
const wchar_t kPortCaption[] = L"Связь";
enum { IdStart = 1, IdExit = 2, IdPort = 3, IdLink = 1002, IdMinLevel = 1005, IdMaxLevel = 1007, IdRecord = 1009,
       IdAlarmEnabled = 1012, IdTab = 1019, IdMixturePage = 1020, IdMixtureRows = 1022, IdFirstEdit = 2000 };

// The example's parameters on the gas-mixture tab: PUMP, SET, KGAS. The RRG-12 reads its set
// point back as its flow, so FLOW follows the new one.
const int kSetPointRow = 1;
const wchar_t kNewSetPoint[] = L"15";

// The chart's variable U1 is input 0 of module 11: it swings by kSwing around kLevel, once per
// demo run (a minute when the operator works the window).
const double kLevel = 0.75, kSwing = 0.5;

double SwingPeriod(int seconds) { return seconds > 0 ? seconds : 60; }

// devsim's options for the example's two segments (their devices answer on COM4 and COM6).
struct DemoSegment {
    const wchar_t* name;
    const wchar_t* port;
    std::wstring options;
};

std::vector<DemoSegment> DemoSegments(int seconds)
{
    wchar_t u1[64];
    _snwprintf(u1, 64, L"--wave 11.0=sine:%g:%g:0.01", SwingPeriod(seconds), kSwing);
    u1[63] = 0;
    return {
        {L"seg1", L"COM4", L"--set 11=0.75:1.6 " + std::wstring(u1) + L" --wave 11.1=triangle:37:0.15:0.005"
                           L" --set 02=FFFD --wave 02.0=square:16 --wave 02.1=square:26"},
        {L"Iva", L"COM6", L"--set 1=-12.5 --wave 1=sine:45:0.8:0.03 --set 3=12.5:10 --wave 3.0=sine:17:0.4:0.05"},
    };
}

// The alarm band: U1 stays inside it but for one stretch of about a third of the run.
struct AlarmBand {
    double min, max;
};

// The band for a run starting at that point of U1's swing (seconds of devsim's clock): one
// bound lies halfway out to the peak or trough that falls in the middle half of the run, so U1
// crosses it going out and coming back; the other bound is never reached.
AlarmBand ChooseBand(double start, int seconds)
{
    double period = SwingPeriod(seconds);
    double toPeak = std::fmod(period / 4 - std::fmod(start, period) + 2 * period, period);
    bool peak = toPeak >= period / 4 && toPeak <= 3 * period / 4;
    return peak ? AlarmBand{kLevel - 2 * kSwing, kLevel + kSwing / 2} : AlarmBand{kLevel - kSwing / 2, kLevel + 2 * kSwing};
}

// Seconds on devsim's clock: its log starts with the tick count of its time zero.
double DevsimSeconds(const std::wstring& log)
{
    std::string text = ReadFileBytes(log);
    const std::string mark = "# clock ";
    if (text.compare(0, mark.size(), mark) != 0)
        return 0;
    DWORD zero = DWORD(std::strtoul(text.c_str() + mark.size(), nullptr, 10));
    return (::GetTickCount() - zero) / 1000.0;
}

// The dialog reads numbers with the decimal comma of the Russian settings.
std::wstring DialogNumber(double value)
{
    wchar_t text[32];
    _snwprintf(text, 32, L"%.3f", value);
    text[31] = 0;
    std::wstring number = text;
    number[number.find(L'.')] = L',';
    return number;
}

// Typed into the band's edits, with "Включено" checked so the upper bound counts too; "Старт"
// reads them.
void SetBand(HWND dialog, const AlarmBand& band)
{
    ::SendMessageW(::GetDlgItem(dialog, IdMinLevel), WM_SETTEXT, 0, LPARAM(DialogNumber(band.min).c_str()));
    ::SendMessageW(::GetDlgItem(dialog, IdMaxLevel), WM_SETTEXT, 0, LPARAM(DialogNumber(band.max).c_str()));
    ::SendMessageW(::GetDlgItem(dialog, IdAlarmEnabled), BM_SETCHECK, BST_CHECKED, 0);
}

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

// Types the new set point into its edit on the second tab and presses Enter ("Задать").
void SetSetPoint(HWND dialog)
{
    ClickTab(::GetDlgItem(dialog, IdTab), 1);
    HWND rows = ::GetDlgItem(::GetDlgItem(dialog, IdMixturePage), IdMixtureRows);
    HWND edit = ::GetDlgItem(rows, IdFirstEdit + 2 * kSetPointRow);
    ::Sleep(500);
    ::SendMessageW(edit, WM_SETTEXT, 0, LPARAM(kNewSetPoint));
    PressKey(edit, VK_RETURN);
    ::Sleep(500);
    std::printf("set point: %s\n", WideToAnsi(ItemText(rows, IdFirstEdit + 2 * kSetPointRow + 1), CP_UTF8).c_str());
}

bool SaveShot(HWND window, const std::wstring& work, const wchar_t* name)
{
    ::Sleep(500);  // lets the window paint
    std::wstring shot = work + L"\\" + name;
    bool saved = window && SavePng(window, shot);
    std::printf(saved ? "screenshot: %s\n" : "demo: no screenshot at %s\n", WideToAnsi(shot, CP_UTF8).c_str());
    return saved;
}

// Opens the port dialog, checks the links, sets the alarm band, starts acquisition with
// recording, waits, ends orvex; takes a screenshot of each of the three windows on the way.
bool Drive(CStartedProcess& orvex, const std::wstring& work, int seconds, AlarmBand& band)
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
    band = ChooseBand(DevsimSeconds(work + L"\\devsim-seg1.log"), seconds);
    SetBand(dialog, band);
    Press(dialog, IdStart);
    ::Sleep(DWORD(seconds) * 500);
    SetSetPoint(dialog);
    saved = SaveShot(dialog, work, L"mixture-tab.png") && saved;
    ClickTab(::GetDlgItem(dialog, IdTab), 0);
    ::Sleep(DWORD(seconds) * 500);
    saved = SaveShot(dialog, work, L"main-dialog.png") && saved;
    Press(dialog, IdStart);
    ::Sleep(500);
    Press(dialog, IdExit);
    return orvex.Wait(30000) == 2 && saved;
}

// How often U1 (the first column after the time) left the band in a recording, from when to when.
void PrintBandCrossings(const std::string& csv, const AlarmBand& band)
{
    int readings = 0, outside = 0, stretches = 0;
    bool wasOutside = false;
    std::string from, to;
    size_t start = 0;
    for (size_t end; (end = csv.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = csv.substr(start, end - start);
        size_t first = line.find(';'), second = line.find(';', first + 1);
        if (first == std::string::npos || line.compare(0, 1, "\"") != 0)
            continue;
        std::string value = line.substr(first + 1, second - first - 1);
        for (char& c : value)
            c = c == ',' ? '.' : c;
        char* parsed = nullptr;
        double u1 = std::strtod(value.c_str(), &parsed);
        if (parsed == value.c_str())
            continue;  // the header
        ++readings;
        bool out = u1 < band.min || u1 > band.max;
        std::string time = line.substr(1, line.find('"', 1) - 1);
        if (out) {
            ++outside;
            stretches += wasOutside ? 0 : 1;
            from = wasOutside ? from : time;
            to = time;
        }
        wasOutside = out;
    }
    std::printf("alarm band %.3f .. %.3f: U1 outside it in %d of %d readings, %d time(s), last from %s to %s\n",
                band.min, band.max, outside, readings, stretches, from.c_str(), to.c_str());
}

void PrintRecordings(const std::wstring& work, const AlarmBand* band)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((work + L"\\*.csv").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::printf("recording: %s\\%s\n", WideToAnsi(work, CP_UTF8).c_str(), WideToAnsi(found.cFileName, CP_UTF8).c_str());
        if (band)
            PrintBandCrossings(ReadFileBytes(work + L"\\" + found.cFileName), *band);
    } while (::FindNextFileW(search, &found));
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

    std::vector<std::unique_ptr<CStartedProcess>> devices;
    for (const DemoSegment& segment : DemoSegments(seconds)) {
        devices.push_back(std::make_unique<CStartedProcess>());
        std::wstring line = Quote(bin + L"\\devsim.exe") + L" " + Quote(config) + L" " + segment.name + L" " +
                            segment.port + L" " + segment.options + L" --log " +
                            Quote(work + L"\\devsim-" + segment.name + L".log");
        if (!devices.back()->Start(line))
            std::printf("demo: devsim did not start\n");
    }
    ::Sleep(1000);

    CStartedProcess orvex;
    AlarmBand band{};
    bool ok = orvex.Start(Quote(bin + L"\\orvex.exe"), work);
    if (ok)
        ok = seconds > 0 ? Drive(orvex, work, seconds, band) : orvex.Wait(INFINITE) >= 0;
    PrintRecordings(work, seconds > 0 ? &band : nullptr);
    Gdiplus::GdiplusShutdown(gdiplus);
    return ok ? 0 : 1;
}
