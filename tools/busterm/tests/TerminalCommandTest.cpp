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

TEST(TerminalCommand, ScanTakesAllAndAnAddressRange)
{
    const struct {
        const wchar_t* line;
        bool valid, allSpeeds;
        unsigned first, last;
    } cases[] = {
        {L"scan", true, false, 0x00, 0xFF},        {L"SCAN ALL", true, true, 0x00, 0xFF},
        {L"scan 10 1f", true, false, 0x10, 0x1F},  {L"SCAN ALL 7 7", true, true, 0x07, 0x07},
        {L"SCAN 1F 10", false, false, 0x00, 0xFF}, {L"SCAN 10", false, false, 0x00, 0xFF},
        {L"SCAN 100 1FF", false, false, 0x00, 0xFF}, {L"SCAN 1G 20", false, false, 0x00, 0xFF},
        {L"SCAN ALL ALL", false, true, 0x00, 0xFF},
    };
    for (const auto& c : cases) {
        TerminalCommand command = Parse(c.line);
        ASSERT_EQ(command.kind, CommandKind::Scan) << c.line;
        EXPECT_EQ(command.scan.valid, c.valid) << c.line;
        if (c.valid) {
            EXPECT_EQ(command.scan.allSpeeds, c.allSpeeds) << c.line;
            EXPECT_EQ(command.scan.first, c.first) << c.line;
            EXPECT_EQ(command.scan.last, c.last) << c.line;
        }
    }
    EXPECT_EQ(Parse(L"SCANNER").kind, CommandKind::Raw);
}
