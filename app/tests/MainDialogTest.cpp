#include "DialogProbe.h"
#include "FatalError.h"
#include "FileBytes.h"
#include "OrvexSession.h"
#include "OrvexTestConfigs.h"
#include "TextConv.h"
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <regex>

namespace {
const int kSetupControls[] = {5, 6, 7, 8, 9, 10, 3, 1002, 1011, 11, 12, 13, 14, 15, 16};
const int kAlwaysEnabled[] = {1, 2, 4, 1005, 1007, 1009, 1012, 1013, 1018, 1019, 1000};

int CountLines(HANDLE file)
{
    int lines = 0;
    char text[4096];
    for (DWORD got = 0; ::ReadFile(file, text, sizeof text, &got, nullptr) && got > 0;)
        for (DWORD i = 0; i < got; ++i)
            lines += text[i] == '\n';
    return lines;
}

class MainDialog : public ::testing::Test {
protected:
    void Open(const std::string& configuration)
    {
        orvex = std::make_unique<COrvexSession>(configuration);
        ASSERT_TRUE(orvex->Start()) << ::GetLastError();
        dialog = orvex->MainWindow();
        ASSERT_NE(dialog, nullptr);
        list = ::GetDlgItem(dialog, 1000);
    }
    void TearDown() override
    {
        if (dialog && ::IsWindow(dialog)) {
            PressKey(dialog, VK_F10);
            EXPECT_EQ(orvex->Wait(20000), 2);
        }
    }
    bool WaitForText(int id, const std::wstring& text, DWORD milliseconds = 30000)
    {
        return WaitUntil([&] { return ItemText(dialog, id) == text; }, milliseconds);
    }
    bool Enabled(int id) const { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
    void ExpectSetupControlsEnabled(bool enabled)
    {
        for (int id : kSetupControls)
            EXPECT_EQ(Enabled(id), enabled) << "control " << id;
        for (int id : kAlwaysEnabled)
            EXPECT_TRUE(Enabled(id)) << "control " << id;
    }
    // Reads the link report box, closes it and returns its text.
    std::wstring TakeLinkReport() { return orvex->TakeMessageBox(kLinkReportCaption); }
    // The recording file in orvex's folder ("" while there is none), and its lines.
    std::wstring CsvName()
    {
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((orvex->Folder() + L"\\*.csv").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return L"";
        ::FindClose(search);
        return found.cFileName;
    }
    int CsvLines(const std::wstring& name)
    {
        HANDLE file = ::CreateFileW((orvex->Folder() + L"\\" + name).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 0;
        int lines = CountLines(file);
        ::CloseHandle(file);
        return lines;
    }
    // Opens the recording file without sharing, as a spreadsheet does, once orvex lets go of it.
    HANDLE LockCsv(const std::wstring& name)
    {
        HANDLE lock = INVALID_HANDLE_VALUE;
        WaitUntil([&] {
            lock = ::CreateFileW((orvex->Folder() + L"\\" + name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
            return lock != INVALID_HANDLE_VALUE;
        }, 10000);
        return lock;
    }
    // The number of lines the file name's note says are held ("… строк в очереди: N)"), 0 without it.
    int HeldLines()
    {
        std::wstring status = ItemText(dialog, 1010);
        size_t at = status.find(L"строк в очереди: ");
        return at == std::wstring::npos ? 0 : _wtoi(status.c_str() + at + 17);
    }
    // Records with acquisition running, locks the file as a spreadsheet does once it has lines,
    // and stops while lines are held: the file, the lines it has and the lines held then.
    void StopWithHeldLines()
    {
        Open(FreeVariablesConfiguration());
        ClickButton(dialog, 1009);
        ClickButton(dialog, 1);
        ASSERT_TRUE(WaitUntil([&] { return CsvLines(csv = CsvName()) >= 2; }, 30000));
        lock = LockCsv(csv);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
        before = CountLines(lock);
        ASSERT_TRUE(WaitUntil([&] { return HeldLines() >= 2; }, 30000)) << ItemText(dialog, 1010);
        ClickButton(dialog, 1);
        ASSERT_TRUE(WaitForText(1, L"Старт"));
        // The refresh of a pass that ended during the stop may still add a line: wait for quiet.
        ASSERT_TRUE(WaitUntil([&] { int now = held; held = HeldLines(); ::Sleep(1000); return held == now; }, 30000));
    }
    // Reads the box about held lines and returns the count it names for the file (-1 without it).
    int HeldLinesInBox(HWND box, const std::wstring& csv)
    {
        std::wstring text = MessageBoxText(box);
        std::wstring head = L"Нет доступа к файлу записи " + csv + L", строк в очереди: ";
        EXPECT_EQ(text.substr(0, head.size()), head);
        return text.compare(0, head.size(), head) == 0 ? _wtoi(text.c_str() + head.size()) : -1;
    }

    std::unique_ptr<COrvexSession> orvex;
    HWND dialog = nullptr;
    HWND list = nullptr;
    std::wstring csv;  // the recording file
    HANDLE lock = INVALID_HANDLE_VALUE;
    int before = 0;
    int held = 0;
};
}  // namespace

TEST_F(MainDialog, StartRefreshesValuesAndTimesStopRestoresTheControls)
{
    Open(FreeVariablesConfiguration());
    PressKey(dialog, VK_F5);
    ASSERT_TRUE(WaitForText(1, L"Стоп"));
    ExpectSetupControlsEnabled(false);
    ASSERT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 2) == L"2.5"; }, 30000));
    ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, 1008) >= L"00:00:02"; }, 30000)) << ItemText(dialog, 1008);
    EXPECT_TRUE(std::regex_match(ItemText(dialog, 1008), std::wregex(L"\\d\\d:\\d\\d:\\d\\d")));
    EXPECT_TRUE(std::regex_match(ItemText(dialog, 1006), std::wregex(L"\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d")))
        << ItemText(dialog, 1006);

    // The link check and the port dialog keys do nothing while acquisition runs.
    PressKey(dialog, VK_F2);
    PressKey(dialog, VK_F12);
    ClickButton(dialog, 1);
    ASSERT_TRUE(WaitForText(1, L"Старт"));
    EXPECT_EQ(orvex->WaitForDialog(kLinkReportCaption, 0), nullptr);
    EXPECT_EQ(orvex->WaitForDialog(L"Связь", 0), nullptr);
    ExpectSetupControlsEnabled(true);
    std::wstring duration = ItemText(dialog, 1008);
    ::Sleep(1500);
    EXPECT_EQ(ItemText(dialog, 1008), duration);  // no refresh while stopped
}

TEST_F(MainDialog, CheckedSourceReachesY0FromTheSecondRefreshOn)
{
    Open(FreeVariablesConfiguration());
    PressKey(dialog, VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return ListViewText(list, 1, 2) == L"0"; }, 30000)) << ListViewText(list, 1, 2);
    ClickButton(dialog, 1016);  // "Шкала 4"
    EXPECT_TRUE(WaitUntil([&] { return ListViewText(list, 1, 2) == L"3"; }, 30000)) << ListViewText(list, 1, 2);
    PressKey(dialog, VK_F5);
    ASSERT_TRUE(WaitForText(1, L"Старт"));
    EXPECT_EQ(::SendMessageW(::GetDlgItem(dialog, 1016), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(MainDialog, UnreadableMinimumBeepsKeepsTheBoundsAndStopsTheExchange)
{
    Open(FreeVariablesConfiguration());
    std::wstring point = DecimalSeparator();
    std::wstring minimum = L"-2" + point + L"5e+008", maximum = L"2" + point + L"5e+008";
    for (const wchar_t* bad : {L"abc", L"   ", L"-0", L"1x", point == L"," ? L"1.5" : L"1,5", L"1e39"}) {
        SetItemText(dialog, 1005, bad);
        SetItemText(dialog, 1007, L"5");
        ClickButton(dialog, 4);
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(dialog) == ::GetDlgItem(dialog, 1005); }, 10000)) << bad;
        // Start reads all controls, stops at the minimum; Stop shows the members again.
        PressKey(dialog, VK_F5);
        ASSERT_TRUE(WaitForText(1, L"Стоп"));
        PressKey(dialog, VK_F5);
        ASSERT_TRUE(WaitForText(1, L"Старт"));
        EXPECT_EQ(ItemText(dialog, 1005), minimum) << bad;
        EXPECT_EQ(ItemText(dialog, 1007), maximum) << bad;
    }
}

TEST_F(MainDialog, ApplyReadsBothBoundsWithTheUsersSeparator)
{
    Open(FreeVariablesConfiguration());
    std::wstring point = DecimalSeparator();
    SetItemText(dialog, 1005, L" \t0" + point + L"25 ");
    SetItemText(dialog, 1007, L"1" + point + L"5e3");
    ClickButton(dialog, 4);
    PressKey(dialog, VK_F5);
    ASSERT_TRUE(WaitForText(1, L"Стоп"));
    PressKey(dialog, VK_F5);
    ASSERT_TRUE(WaitForText(1, L"Старт"));
    EXPECT_EQ(ItemText(dialog, 1005), L"0" + point + L"25");
    EXPECT_EQ(ItemText(dialog, 1007), L"1500");
}

TEST_F(MainDialog, TabOneHidesTheListAndTabZeroShowsIt)
{
    Open(FreeVariablesConfiguration());
    HWND tab = ::GetDlgItem(dialog, 1019);
    ClickTab(tab, 1);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(list); }, 10000));
    EXPECT_EQ(::SendMessageW(tab, TCM_GETCURSEL, 0, 0), 1);
    ClickTab(tab, 0);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(list) != FALSE; }, 10000));
}

TEST_F(MainDialog, LinkCheckWithoutDevicesReportsNothingAndKeepsStartEnabled)
{
    Open(FreeVariablesConfiguration());
    // A failure message that comes while stopped (one queued behind the first) is ignored: it
    // starts nothing, so the link check after it still runs and shows the only report.
    ::PostMessageW(dialog, WM_USER + 200, 0, 0);
    PressKey(dialog, VK_F2);
    EXPECT_EQ(TakeLinkReport(), L"");
    EXPECT_EQ(ItemText(dialog, 1), L"Старт");
    EXPECT_TRUE(Enabled(1));
}

TEST_F(MainDialog, FailedPassStopsTheCycleAndTheReportDisablesStart)
{
    // The module's port is closed until a link check opens it, so the first pass fails.
    Open(SilentModuleConfiguration());
    ClickButton(dialog, 1);
    std::wstring report = TakeLinkReport();
    EXPECT_EQ(report, L"Связь c ICP7017:11 (Аналоговый модуль) по COM40 НЕТ\n");
    EXPECT_EQ(ItemText(dialog, 1), L"Старт");
    EXPECT_FALSE(Enabled(1));
    for (int id : {5, 3, 1002, 1011, 16})
        EXPECT_TRUE(Enabled(id)) << id;
    // F5 does nothing while "Старт" is disabled; F2 checks again.
    PressKey(dialog, VK_F5);
    PressKey(dialog, VK_F2);
    EXPECT_EQ(TakeLinkReport(), report);
    EXPECT_EQ(ItemText(dialog, 1), L"Старт");
}

TEST_F(MainDialog, ExitWhileAcquisitionRunsEndsWithCodeTwo)
{
    Open(FreeVariablesConfiguration());
    PressKey(dialog, VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return ListViewText(list, 0, 2) == L"2.5"; }, 30000));
    ClickButton(dialog, 2);
    EXPECT_EQ(orvex->Wait(20000), 2);
    dialog = nullptr;
}

TEST_F(MainDialog, ScaleButtonsReportAFailedSetting)
{
    // No module "11" answers: its port is closed, so the configuration read gets nothing.
    Open(SilentModuleConfiguration());
    ClickButton(dialog, 12);
    EXPECT_EQ(orvex->TakeMessageBox(L"МИРЕЛ"), L"Ошибка при установке масштаба");
}

TEST_F(MainDialog, RecordingAppendsARowPerRefreshAndTheClipIsExtracted)
{
    Open(FreeVariablesConfiguration());
    EXPECT_NE(::GetFileAttributesW((orvex->Folder() + L"\\cartoon.mp3").c_str()), INVALID_FILE_ATTRIBUTES);
    ClickButton(dialog, 1009);
    ClickButton(dialog, 1);
    EXPECT_TRUE(WaitUntil([&] { return CsvLines(csv = CsvName()) >= 3; }, 30000));
    ClickButton(dialog, 1);
    EXPECT_TRUE(std::regex_match(csv, std::wregex(L"\\d{4}\\.\\d\\d\\.\\d\\d\\.csv"))) << csv.c_str();
    EXPECT_TRUE(WaitForText(1010, csv));
}

// A formula over an unknown name shows its error in the value column and leaves its field of the
// recording empty; the next link report names it.
TEST_F(MainDialog, AFailingFormulaShowsItsErrorRecordsNoValueAndIsNamedInTheReport)
{
    Open(Configuration(R"(
  <variable name="P" type="A" description="Давление" percision="3">P = 2,5</variable>
  <variable name="X" type="A" description="Ошибка" percision="3">X = Temp * 2</variable>)"));
    ClickButton(dialog, 1009);
    ClickButton(dialog, 1);
    std::wstring csv;
    ASSERT_TRUE(WaitUntil([&] { return CsvLines(csv = CsvName()) >= 2; }, 30000));
    ClickButton(dialog, 1);
    ASSERT_TRUE(WaitForText(1, L"Старт"));
    EXPECT_EQ(ListViewText(list, 0, 2), L"2.5");
    EXPECT_EQ(ListViewText(list, 1, 2), L"ошибка: Unknown variable");
    std::string text = ReadFileBytes(orvex->Folder() + L"\\" + csv);
    size_t second = text.find('\n') + 1;
    std::wstring line = AnsiToWide(text.substr(second, text.find('\n', second) - second));
    EXPECT_TRUE(std::regex_match(line, std::wregex(L"\"[^\"]+\";2" + DecimalSeparator() + L"5;\r"))) << line;
    PressKey(dialog, VK_F2);
    EXPECT_NE(TakeLinkReport().find(L"Формула X не вычисляется: Unknown variable"), std::wstring::npos);
}

TEST_F(MainDialog, LinesHeldForALockedFileAreWrittenOnceWhileStoppedAndAtExit)
{
    ASSERT_NO_FATAL_FAILURE(StopWithHeldLines());
    ::CloseHandle(lock);
    EXPECT_TRUE(WaitForText(1010, csv)) << ItemText(dialog, 1010);  // no refresh: the retry wrote them
    EXPECT_EQ(CsvLines(csv), before + held);

    // At the end orvex names what it still holds and writes it when told to try again.
    ClickButton(dialog, 1);
    ASSERT_TRUE(WaitUntil([&] { return CsvLines(csv) >= before + held + 2; }, 30000));
    lock = LockCsv(csv);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    before = CountLines(lock);
    ASSERT_TRUE(WaitUntil([&] { return HeldLines() >= 1; }, 30000));
    PressKey(dialog, VK_F10);
    HWND box = orvex->WaitForDialog(L"МИРЕЛ");
    ASSERT_NE(box, nullptr);
    held = HeldLinesInBox(box, csv);
    ::CloseHandle(lock);
    ::PostMessageW(box, WM_COMMAND, IDRETRY, 0);
    EXPECT_EQ(orvex->Wait(20000), 2);
    dialog = nullptr;
    EXPECT_GE(CsvLines(csv), before + held);
}

// The fatal box of a port save that fails ends orvex, but only after the box about held lines.
TEST_F(MainDialog, AFailedPortSaveOffersTheHeldLinesBeforeTheFatalBox)
{
    ASSERT_NO_FATAL_FAILURE(StopWithHeldLines());
    PressKey(dialog, VK_F12);
    HWND ports = orvex->WaitForDialog(L"Связь");
    ASSERT_NE(ports, nullptr);
    ASSERT_TRUE(::DeleteFileW((orvex->Folder() + L"\\controller.xml").c_str()));
    ClickButton(ports, IDOK);
    HWND box = orvex->WaitForDialog(L"МИРЕЛ");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), ports);
    EXPECT_EQ(HeldLinesInBox(box, csv), held);
    ::CloseHandle(lock);
    ::PostMessageW(box, WM_COMMAND, IDRETRY, 0);
    EXPECT_EQ(orvex->TakeMessageBox(L"КВАРТ-2"), L"Невозможно загрузить файл controller.xml конфигурации");
    EXPECT_EQ(orvex->Wait(20000), kFatalExitWithoutCode);
    dialog = nullptr;
    EXPECT_EQ(CsvLines(csv), before + held);
}

TEST_F(MainDialog, AlarmWatchesTheClickedRowAndWritesTheMissingClipBeforePlayingIt)
{
    Open(FreeVariablesConfiguration());  // P = 2.5 and Y0 = 0: both below a minimum of 10
    std::wstring clip = orvex->Folder() + L"\\cartoon.mp3";
    ASSERT_TRUE(::DeleteFileW(clip.c_str()));
    SetItemText(dialog, 1005, L"10");
    ClickListView(list, -1);  // beside the rows: no variable is watched
    PressKey(dialog, VK_F5);
    ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, 1008) >= L"00:00:02"; }, 30000));
    EXPECT_EQ(::GetFileAttributesW(clip.c_str()), INVALID_FILE_ATTRIBUTES);
    ClickListView(list, 0);
    // The clip is written again, and the player keeps it open while it plays.
    EXPECT_TRUE(WaitUntil([&] { return !::DeleteFileW(clip.c_str()) && ::GetLastError() == ERROR_SHARING_VIOLATION; },
                          30000));
}
