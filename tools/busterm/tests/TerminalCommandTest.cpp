#include "TerminalCommand.h"
#include <gtest/gtest.h>

namespace {
TerminalCommand Parse(const wchar_t* typed)
{
    return ParseCommand(UpperCaseLine(typed));
}
}  // namespace

TEST(TerminalCommand, KeywordsMatchInAnyCaseAndOnlyWhole)
{
    EXPECT_EQ(Parse(L"crc on").kind, CommandKind::CrcOn);
    EXPECT_EQ(Parse(L"Crc Off").kind, CommandKind::CrcOff);
    EXPECT_EQ(Parse(L"exit").kind, CommandKind::Exit);
    EXPECT_EQ(Parse(L"errors").kind, CommandKind::Errors);
    EXPECT_EQ(Parse(L"EXIT ").kind, CommandKind::Raw);
    EXPECT_EQ(Parse(L"PURGE2").kind, CommandKind::Raw);
    EXPECT_EQ(Parse(L"").kind, CommandKind::Raw);
    EXPECT_EQ(UpperCaseLine(L"$01m"), L"$01M");
}

TEST(TerminalCommand, LineCommandsCarryTheirEscapeCodes)
{
    const struct {
        const wchar_t* line;
        DWORD code;
    } cases[] = {{L"setdtr", 5}, {L"clrdtr", 6}, {L"setrts", 3}, {L"clrrts", 4},
                 {L"resetdev", 7}, {L"setbreak", 8}, {L"clrbreak", 9}};
    for (const auto& c : cases) {
        TerminalCommand command = Parse(c.line);
        EXPECT_EQ(command.kind, CommandKind::Escape) << c.line;
        EXPECT_EQ(command.escape, c.code) << c.line;
    }
}

TEST(TerminalCommand, TableOrderDecidesOverlaps)
{
    // REPEAT anywhere wins over prefixes and keywords; CRC ON is tested before the C prefixes.
    EXPECT_EQ(Parse(L"CS REPEAT").kind, CommandKind::Repeat);
    EXPECT_EQ(Parse(L"$01M repeat 3").kind, CommandKind::Repeat);
    EXPECT_EQ(Parse(L"crc on").kind, CommandKind::CrcOn);
    EXPECT_EQ(Parse(L"CRC").kind, CommandKind::Raw);
    EXPECT_EQ(Parse(L"EXIT").kind, CommandKind::Exit);
}

TEST(TerminalCommand, DelayIsTakenAfterTheSixthCharacter)
{
    EXPECT_EQ(Parse(L"DELAY 5").delay, 5);
    EXPECT_EQ(Parse(L"delay 250").delay, 250);
    EXPECT_EQ(Parse(L"DELAY5").delay, 0);
    EXPECT_EQ(Parse(L"DELA").kind, CommandKind::Delay);
    EXPECT_EQ(Parse(L"DELA").delay, 0);
    EXPECT_EQ(Parse(L"DELAXX17").delay, 17);
    EXPECT_EQ(Parse(L"DELAY -40").delay, -40);
}

TEST(TerminalCommand, SpeedAndPortBuildTheirSettings)
{
    TerminalCommand speed = Parse(L"cs19200");
    EXPECT_EQ(speed.kind, CommandKind::Speed);
    EXPECT_EQ(speed.setting, L"19200,n,8,1");
    EXPECT_EQ(Parse(L"CS").setting, L",n,8,1");

    TerminalCommand port = Parse(L"cp10");
    EXPECT_EQ(port.kind, CommandKind::Port);
    EXPECT_EQ(port.setting, L"\\\\.\\COM10");
    EXPECT_EQ(Parse(L"CP").setting, L"\\\\.\\COM");
}
