// The setup program through its whole life, in a Wine prefix of its own (run-setup-tests.sh makes
// it and names the setup in ORVEX_SETUP): a silent install, an upgrade over it, a silent
// uninstall, and what each leaves on the machine. The suites run in the order of this file.
// The same run goes through a 32-bit setup on 64-bit Windows (WOW64): ORVEX_SETUP_WOW64=1.
#include "ComPtr.h"
#include "DialogProbe.h"
#include "Handle.h"
#include "RegKey.h"
#include "ScratchDir.h"
#include "TestSupport.h"
#include "TextConv.h"
#include "WindowProbe.h"
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
const wchar_t kMainCaption[] = L"Переносной измерительный комплекс «МИРЕЛ»";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\orvex";
const wchar_t kChartServerKey[] = L"Software\\Classes\\CLSID\\{7C1E5A30-2B9D-4E61-A8F3-5D20C4B7E911}\\InprocServer32";
const wchar_t* const kPrograms[] = {L"orvex.exe", L"norvctrl.dll", L"busterm.exe", L"radterm.exe", L"devsim.exe"};
const wchar_t* const kShortcuts[] = {L"МИРЕЛ", L"Терминал RS485 (busterm)", L"Терминал радиомодема (radterm)",
                                     L"Папка данных", L"Руководство оператора", L"Удалить МИРЕЛ"};
// The maker's name and copyright, as the build gives them to every program and to the setup.
const std::wstring kCompany = AnsiToWide(std::string(ORVEX_COMPANY), CP_UTF8);
const std::wstring kCopyright = AnsiToWide(std::string(ORVEX_COPYRIGHT), CP_UTF8);
const char kRecording[] = "\"\xC2\xF0\xE5\xEC\xFF\";\"U1 (x)\"\r\n\"12.05.2026 10:00:00\";0,75\r\n";

std::wstring KnownFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}
std::wstring Environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    ::GetEnvironmentVariableW(name, value, MAX_PATH);
    return value;
}
// Program Files as this program sees it: on 64-bit Windows a 32-bit one sees Program Files (x86).
std::wstring InstallFolder() { return KnownFolder(CSIDL_PROGRAM_FILES) + L"\\orvex"; }
std::wstring DataFolder() { return KnownFolder(CSIDL_COMMON_DOCUMENTS) + L"\\orvex"; }
std::wstring MenuFolder() { return KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\МИРЕЛ"; }

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool SamePath(const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) == 0; }

std::wstring UninstallValue(const wchar_t* name)
{
    wchar_t text[1024] = {};
    DWORD size = sizeof text;
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}
bool UninstallEntryExists()
{
    CRegKey key;
    return key.Open(HKEY_LOCAL_MACHINE, kUninstallKey) == ERROR_SUCCESS;
}
bool KeyInView(const wchar_t* path, REGSAM view)
{
    CRegKey key;
    return key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ | view) == ERROR_SUCCESS;
}

bool Wow64()
{
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}
const bool k64BitProgram = sizeof(void*) == 8;

// A file's version resource; its strings are read in the language its translation table names first.
struct CVersionInfo {
    explicit CVersionInfo(const std::wstring& path)
    {
        DWORD handle = 0;
        block.resize(::GetFileVersionInfoSizeW(path.c_str(), &handle));
        if (block.empty() || !::GetFileVersionInfoW(path.c_str(), 0, DWORD(block.size()), block.data()))
            return;
        WORD* translation = nullptr;
        UINT length = 0;
        if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length))
            language = translation[0], codePage = translation[1];
    }
    std::wstring String(const wchar_t* name) const
    {
        wchar_t path[96];
        ::_snwprintf(path, 96, L"\\StringFileInfo\\%04x%04x\\%ls", language, codePage, name);
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!::VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &length))
            return L"";
        return value;
    }
    std::vector<BYTE> block;
    WORD language = 0, codePage = 0;
};

struct CShortcut {
    std::wstring target, directory;
};
CShortcut ReadShortcut(const std::wstring& path)
{
    CComApartment apartment;
    CComPtr<IShellLinkW> link;
    CComPtr<IPersistFile> file;
    CShortcut shortcut;
    wchar_t text[MAX_PATH] = {};
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))) ||
        FAILED(link.QueryInterface(IID_IPersistFile, &file)) || FAILED(file->Load(path.c_str(), STGM_READ)))
        return shortcut;
    link->GetPath(text, MAX_PATH, nullptr, 0);
    shortcut.target = text;
    link->GetWorkingDirectory(text, MAX_PATH);
    shortcut.directory = text;
    return shortcut;
}

int RunSetup() { return RunProgram(L"\"" + Environment(L"ORVEX_SETUP") + L"\" /S", 180000); }

// orvex as its shortcut starts it, with its main window up.
HWND StartOrvex(CStartedProcess& orvex, const std::wstring& folder)
{
    if (!orvex.Start(L"\"" + InstallFolder() + L"\\orvex.exe\"", folder))
        return nullptr;
    HWND dialog = WaitForWindow(orvex.info.dwProcessId, L"#32770", kMainCaption, 60000);
    return dialog && WaitUntil([&] { return ::IsWindowVisible(dialog) != FALSE; }, 30000) ? dialog : nullptr;
}
void CloseOrvex(HWND dialog) { ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }  // "Выход"

std::string g_configuration;  // controller.xml as the operator changed it

int Install() { return RunSetup(); }

// What a setup and an uninstall did while orvex was running from the install folder.
struct CWhileRunning {
    int setup = 0, uninstall = 0, orvexExit = -1;
    std::string busterm;
    bool entry = false, chart = false;
} g_whileRunning;
int g_lockedFileSetup = 0;  // a setup while a file it replaces is held open

void UpgradeWhileOrvexRuns()
{
    CStartedProcess orvex;
    HWND dialog = StartOrvex(orvex, DataFolder());
    if (!dialog)
        return;
    g_whileRunning.setup = RunSetup();
    g_whileRunning.busterm = ReadFileBytes(InstallFolder() + L"\\busterm.exe");
    // In place (_?=), so that the code is the uninstaller's own and not that of its launcher.
    g_whileRunning.uninstall =
        RunProgram(L"\"" + InstallFolder() + L"\\uninstall.exe\" /S _?=" + InstallFolder(), 60000);
    g_whileRunning.entry = UninstallEntryExists();
    CComApartment apartment;
    CLSID chart;
    g_whileRunning.chart = SUCCEEDED(::CLSIDFromProgID(L"norvctrl2.ChartView.1", &chart));
    CloseOrvex(dialog);
    g_whileRunning.orvexExit = orvex.Wait(30000);
}

// The operator has changed the configuration and recorded; an older busterm.exe is installed.
// A setup over a running orvex, or over a file held open, fails; then the upgrade goes through.
int Upgrade()
{
    g_configuration = ReadFileBytes(DataFolder() + L"\\controller.xml") + "<!-- ports set by the operator -->\r\n";
    WriteFileBytes(DataFolder() + L"\\controller.xml", g_configuration);
    WriteFileBytes(DataFolder() + L"\\2026.05.12.csv", kRecording);
    WriteFileBytes(InstallFolder() + L"\\busterm.exe", "an older busterm");
    UpgradeWhileOrvexRuns();
    {
        CHandle guide(::CreateFileW((InstallFolder() + L"\\doc\\guide.html").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        g_lockedFileSetup = RunSetup();
    }
    return RunSetup();
}

// The way deployment tools remove it: the entry's quiet uninstall command. The uninstaller goes on
// from a copy of itself, so its end shows as its folder and entry vanishing.
int Uninstall()
{
    int result = RunProgram(UninstallValue(L"QuietUninstallString"), 60000);
    for (int i = 0; i < 600 && (UninstallEntryExists() || Exists(InstallFolder())); ++i)
        ::Sleep(200);
    return result;
}

// Each suite runs one step of the setup's life once, before its tests.
template <int (*Step)()>
class CAfterStep : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_result = Step(); }
    void SetUp() override { ASSERT_EQ(s_result, 0) << "the step itself failed"; }
    static inline int s_result = -1;
};
using Installed = CAfterStep<Install>;
using Upgraded = CAfterStep<Upgrade>;
using Removed = CAfterStep<Uninstall>;
}  // namespace

TEST_F(Installed, ProgramsCarryARussianVersionResource)
{
    for (const wchar_t* program : kPrograms) {
        SCOPED_TRACE(WideToAnsi(program, CP_UTF8));
        CVersionInfo info(InstallFolder() + L"\\" + program);
        EXPECT_EQ(info.language, 0x0419);
        EXPECT_EQ(info.String(L"FileVersion"), AnsiToWide(ORVEX_VERSION));
        EXPECT_EQ(info.String(L"ProductVersion"), AnsiToWide(ORVEX_VERSION));
        EXPECT_EQ(info.String(L"ProductName"), kMainCaption);
        EXPECT_EQ(info.String(L"CompanyName"), kCompany);
        EXPECT_EQ(info.String(L"LegalCopyright"), kCopyright);
        EXPECT_NE(info.String(L"FileDescription"), L"");
        EXPECT_EQ(info.String(L"OriginalFilename"), program);
        if (std::wstring(program).find(L".exe") != std::wstring::npos) {  // no rights beyond the user's
            std::string image = ReadFileBytes(InstallFolder() + L"\\" + program);
            EXPECT_NE(image.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
        }
    }
    CVersionInfo setup(Environment(L"ORVEX_SETUP"));
    EXPECT_EQ(setup.String(L"CompanyName"), kCompany);
    EXPECT_EQ(setup.String(L"LegalCopyright"), kCopyright);
}

// On 64-bit Windows a 32-bit setup (under WOW64) belongs in Program Files (x86) and the registry's
// 32-bit view, a 64-bit one in the native places; the other bitness's places stay empty.
TEST_F(Installed, ItLandsInTheFolderAndRegistryViewOfItsBitness)
{
    if (Environment(L"ORVEX_SETUP_WOW64") == L"1") {
        ASSERT_TRUE(Wow64()) << "not a 32-bit program on 64-bit Windows";
    }
    if (!k64BitProgram && !Wow64())
        return;  // 32-bit Windows has one folder and one view
    const REGSAM own = k64BitProgram ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const REGSAM other = k64BitProgram ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    std::wstring ownFolder = KnownFolder(k64BitProgram ? CSIDL_PROGRAM_FILES : CSIDL_PROGRAM_FILESX86);
    std::wstring otherFolder = k64BitProgram ? KnownFolder(CSIDL_PROGRAM_FILESX86) : Environment(L"ProgramW6432");
    EXPECT_TRUE(SamePath(InstallFolder(), ownFolder + L"\\orvex")) << WideToAnsi(InstallFolder(), CP_UTF8);
    ASSERT_FALSE(otherFolder.empty());
    EXPECT_FALSE(SamePath(otherFolder, KnownFolder(CSIDL_PROGRAM_FILES)));
    EXPECT_FALSE(Exists(otherFolder + L"\\orvex"));
    EXPECT_TRUE(KeyInView(kUninstallKey, own));
    EXPECT_FALSE(KeyInView(kUninstallKey, other));
    EXPECT_TRUE(KeyInView(kChartServerKey, own));
    EXPECT_FALSE(KeyInView(kChartServerKey, other));
}

TEST_F(Installed, TheChartControlIsRegisteredWhereItWasInstalled)
{
    std::wstring script = KnownFolder(CSIDL_COMMON_DOCUMENTS) + L"\\chart-client.js";
    WriteFileBytes(script, "var chart = new ActiveXObject(\"norvctrl2.ChartView.1\");\n"
                       "chart.Title = \"installed\";\nWScript.Echo(chart.Title);\n");
    std::string output;
    EXPECT_EQ(RunProgram(L"cscript.exe //nologo \"" + script + L"\"", 120000, &output), 0) << output;
    EXPECT_EQ(output, "installed\r\n");
    ::DeleteFileW(script.c_str());

    wchar_t server[MAX_PATH] = {};
    DWORD size = sizeof server;
    ::RegGetValueW(HKEY_CLASSES_ROOT, L"CLSID\\{7C1E5A30-2B9D-4E61-A8F3-5D20C4B7E911}\\InprocServer32", nullptr,
                   RRF_RT_REG_SZ, nullptr, server, &size);
    EXPECT_TRUE(SamePath(server, InstallFolder() + L"\\norvctrl.dll")) << WideToAnsi(server, CP_UTF8);
}

TEST_F(Installed, OrvexStartsFromItsShortcutOnTheExampleInTheDataFolder)
{
    CShortcut shortcut = ReadShortcut(MenuFolder() + L"\\МИРЕЛ.lnk");
    EXPECT_TRUE(SamePath(shortcut.target, InstallFolder() + L"\\orvex.exe"));
    ASSERT_TRUE(SamePath(shortcut.directory, DataFolder()));
    std::string example = ReadFileBytes(InstallFolder() + L"\\examples\\controller.xml");
    EXPECT_NE(example, "");
    EXPECT_EQ(ReadFileBytes(DataFolder() + L"\\controller.xml"), example);

    CStartedProcess orvex;
    HWND dialog = StartOrvex(orvex, shortcut.directory);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Exists(DataFolder() + L"\\cartoon.mp3"));  // the data folder is writable
    CloseOrvex(dialog);
    EXPECT_EQ(orvex.Wait(30000), 2);
}

TEST_F(Installed, EveryShortcutLeadsSomewhere)
{
    for (const wchar_t* name : kShortcuts) {
        SCOPED_TRACE(WideToAnsi(name, CP_UTF8));
        std::wstring target = ReadShortcut(MenuFolder() + L"\\" + name + L".lnk").target;
        EXPECT_TRUE(!target.empty() && Exists(target));
    }
}

TEST_F(Installed, TheGuideShowsItsScreenshots)
{
    std::wstring doc = InstallFolder() + L"\\doc\\";
    std::string page = ReadFileBytes(doc + L"guide.html");
    int images = 0;
    for (size_t at = page.find("<img src=\""); at != std::string::npos; at = page.find("<img src=\"", at + 1)) {
        size_t begin = at + 10, end = page.find('"', begin);
        std::string image = page.substr(begin, end - begin);
        SCOPED_TRACE(image);
        EXPECT_EQ(ReadFileBytes(doc + AnsiToWide(image)).substr(0, 4), "\x89PNG");
        ++images;
    }
    EXPECT_EQ(images, 4);
}

TEST_F(Installed, ProgramsAndFeaturesShowTheVersionAndSize)
{
    EXPECT_EQ(UninstallValue(L"DisplayName"), kMainCaption);
    EXPECT_EQ(UninstallValue(L"DisplayVersion"), AnsiToWide(ORVEX_VERSION));
    DWORD kilobytes = 0, size = sizeof kilobytes;
    ::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &kilobytes, &size);
    EXPECT_GT(kilobytes, 1000u);
    EXPECT_EQ(UninstallValue(L"Publisher"), kCompany);
    EXPECT_TRUE(SamePath(UninstallValue(L"InstallLocation"), InstallFolder()));
    EXPECT_TRUE(SamePath(UninstallValue(L"DisplayIcon"), InstallFolder() + L"\\orvex.exe"));
    EXPECT_EQ(UninstallValue(L"UninstallString"), L"\"" + InstallFolder() + L"\\uninstall.exe\"");
    EXPECT_EQ(UninstallValue(L"QuietUninstallString"), L"\"" + InstallFolder() + L"\\uninstall.exe\" /S");
}

TEST_F(Installed, TheNoticesOfTheBuiltInLibrariesLieBesideProgramsAndGuide)
{
    std::string notices = ReadFileBytes(InstallFolder() + L"\\notices.txt");
    EXPECT_NE(notices.find("mingw-w64-crt"), std::string::npos);
    EXPECT_NE(notices.find("GCC RUNTIME LIBRARY EXCEPTION"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(InstallFolder() + L"\\doc\\notices.txt"), notices);
    EXPECT_NE(ReadFileBytes(InstallFolder() + L"\\doc\\guide.html").find("href=\"notices.txt\""), std::string::npos);
}

// The installed orvex creates the chart by its ProgID, as registered by the setup, and plots:
// free variables only, so that every pass succeeds without devices.
TEST_F(Installed, OrvexCreatesTheChartAndPlots)
{
    CScratchDir folder;
    WriteFileBytes(folder.Path() + L"\\controller.xml",
                   "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"200\">\n"
                   "  <variable name=\"P\" type=\"A\" description=\"P\" percision=\"1\">P = P + 1</variable>\n"
                   "</configuration>\n");
    CStartedProcess orvex;
    HWND dialog = StartOrvex(orvex, folder.Path());
    ASSERT_NE(dialog, nullptr);
    HWND host = ::FindWindowExW(dialog, nullptr, L"AtlAxWin", nullptr);
    HWND chart = host ? ::GetWindow(host, GW_CHILD) : nullptr;
    ASSERT_NE(chart, nullptr) << "no chart control in orvex's window";
    // Another process's window is read through its top-level window (Wine draws the child's
    // pixels there, not into a DC of the child).
    RECT chartRect, dialogRect;
    ::GetWindowRect(chart, &chartRect);
    ::GetWindowRect(dialog, &dialogRect);
    const int width = chartRect.right - chartRect.left, height = chartRect.bottom - chartRect.top;
    auto traceShown = [&] {
        CPixelCanvas shown(width, height);
        HDC windowDC = ::GetWindowDC(dialog);
        ::BitBlt(shown.DC(), 0, 0, width, height, windowDC, chartRect.left - dialogRect.left,
                 chartRect.top - dialogRect.top, SRCCOPY);
        ::ReleaseDC(dialog, windowDC);
        return shown.AnyIn(0, 0, width, height, IsLineGreen);
    };
    EXPECT_FALSE(traceShown());
    PressKey(dialog, VK_F5);  // "Старт"
    EXPECT_TRUE(WaitUntil(traceShown, 30000));
    CloseOrvex(dialog);
    EXPECT_EQ(orvex.Wait(30000), 2);
}

TEST_F(Upgraded, WhileOrvexRunsSetupAndUninstallFailAndChangeNothing)
{
    EXPECT_EQ(g_whileRunning.setup, 2);
    EXPECT_EQ(g_whileRunning.busterm, "an older busterm");
    EXPECT_EQ(g_whileRunning.uninstall, 2);
    EXPECT_TRUE(g_whileRunning.entry);
    EXPECT_TRUE(g_whileRunning.chart);
    EXPECT_EQ(g_whileRunning.orvexExit, 2);
}

TEST_F(Upgraded, AFileThatCannotBeReplacedFailsTheSetup) { EXPECT_EQ(g_lockedFileSetup, 2); }

TEST_F(Upgraded, TheProgramsAreReplacedAndTheOperatorsFilesKept)
{
    EXPECT_EQ(CVersionInfo(InstallFolder() + L"\\busterm.exe").String(L"ProductVersion"), AnsiToWide(ORVEX_VERSION));
    EXPECT_EQ(ReadFileBytes(DataFolder() + L"\\controller.xml"), g_configuration);
    EXPECT_EQ(ReadFileBytes(DataFolder() + L"\\2026.05.12.csv"), kRecording);
}

TEST_F(Removed, ProgramsRegistrationShortcutsAndEntryAreGone)
{
    EXPECT_FALSE(Exists(InstallFolder()));
    EXPECT_FALSE(Exists(MenuFolder()));
    EXPECT_FALSE(UninstallEntryExists());
    CComApartment apartment;
    CLSID chart;
    EXPECT_TRUE(FAILED(::CLSIDFromProgID(L"norvctrl2.ChartView.1", &chart)));
}

TEST_F(Removed, TheDataFolderKeepsConfigurationAndRecordings)
{
    EXPECT_EQ(ReadFileBytes(DataFolder() + L"\\controller.xml"), g_configuration);
    EXPECT_EQ(ReadFileBytes(DataFolder() + L"\\2026.05.12.csv"), kRecording);
    EXPECT_TRUE(Exists(DataFolder() + L"\\cartoon.mp3"));
}
