#include "FatalError.h"
#include "WindowProbe.h"
#include <gtest/gtest.h>

namespace {
// Starts the probe, finds its box, reads the text, presses OK and returns the exit code.
int RunProbe(const std::wstring& arguments, std::wstring& boxText)
{
    CStartedProcess probe;
    EXPECT_TRUE(probe.Start(L"\"" + ProgramFolder() + L"\\fatalprobe.exe\" " + arguments));
    HWND box = WaitForWindow(probe.info.dwProcessId, L"#32770", L"КВАРТ-2", 20000);
    EXPECT_NE(box, nullptr);
    if (!box)
        return -1;
    boxText = MessageBoxText(box);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    return probe.Wait(20000);
}

std::wstring SystemText(int code)
{
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, DWORD(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = text ? text : L"";
    if (text)
        ::LocalFree(text);
    return result;
}
}  // namespace

TEST(FatalError, MissingFileCodeShowsTheSystemTextAndExitsWithTheCode)
{
    std::wstring text;
    int code = RunProbe(L"2 \"Ошибка обработки конфигурационного файла controller.xml\"", text);
    EXPECT_EQ(code, 2);
    std::wstring expected = L"Ошибка обработки конфигурационного файла controller.xml\nКод ошибки 2: " + SystemText(2);
    ASSERT_FALSE(SystemText(2).empty());
    // The message box may show the system text's line breaks as they are.
    EXPECT_EQ(text.substr(0, 80), expected.substr(0, 80));
}

TEST(FatalError, CodeZeroShowsOnlyTheTextAndStillFails)
{
    std::wstring text;
    EXPECT_EQ(RunProbe(L"0 \"Только текст\"", text), kFatalExitWithoutCode);
    EXPECT_EQ(text, L"Только текст");
}

TEST(FatalError, LongTextIsCutAt511Characters)
{
    std::wstring text;
    EXPECT_EQ(RunProbe(L"5 @long", text), 5);
    EXPECT_EQ(text.size(), 511u);
    EXPECT_EQ(text, std::wstring(511, L'Ж'));
}

TEST(FatalError, CodeWithoutSystemTextEndsAfterTheColon)
{
    std::wstring text;
    EXPECT_EQ(RunProbe(L"65000 \"Нет такого кода\"", text), 65000);
    EXPECT_EQ(text, L"Нет такого кода\nКод ошибки 65000: ");
}
