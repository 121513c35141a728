#include "ErrorLog.h"
#include "ReplyText.h"
#include <gtest/gtest.h>

TEST(TerminalReply, GoodChecksumIsCutWithItsTerminator)
{
    std::wstring reply = L"!0182\r";
    EXPECT_TRUE(CheckTerminalReply(reply, true));
    EXPECT_EQ(reply, L"!01");

    // The terminator itself is not examined.
    std::wstring lineFeed = L"!0182\n";
    EXPECT_TRUE(CheckTerminalReply(lineFeed, true));
    EXPECT_EQ(lineFeed, L"!01");

    std::wstring bare = L"00\r";  // an empty body sums to 00
    EXPECT_TRUE(CheckTerminalReply(bare, true));
    EXPECT_EQ(bare, L"");
}

TEST(TerminalReply, BadOrShortRepliesStayWhole)
{
    // Wrong sum, no terminator (the digits are then read one place early), lower-case digits,
    // and replies too short to hold a checksum.
    const wchar_t* cases[] = {L"!0183\r", L"!0182", L"!0182\r\r", L"$01Md2\r", L"!0", L"!", L""};
    for (const wchar_t* text : cases) {
        std::wstring reply = text;
        EXPECT_FALSE(CheckTerminalReply(reply, true)) << reply.size();
        EXPECT_EQ(reply, text);
    }
}

TEST(TerminalReply, ChecksumOffKeepsEverything)
{
    std::wstring reply = L"!01\r\n";
    EXPECT_TRUE(CheckTerminalReply(reply, false));
    EXPECT_EQ(reply, L"!01\r\n");
    std::wstring empty;
    EXPECT_TRUE(CheckTerminalReply(empty, false));
}

TEST(TerminalReply, RepeatModeMasksCharactersAboveCode1000)
{
    EXPECT_EQ(MaskWideCharacters(L"!01\x0410\x0411\x03E8\x03E9\r"), L"!01..\x03E8.\r");
}

TEST(ErrorLog, WriteReplacesReadAppendsAndOverflowEmpties)
{
    std::wstring log;
    LogReadError(log, 0);
    LogReadError(log, 5);
    EXPECT_EQ(log, L"READ ERROR CODE: 0READ ERROR CODE: 5");
    LogWriteError(log, 31);
    EXPECT_EQ(log, L"WRITE ERROR CODE: 31");

    // 18 characters an entry: 56 fit, the 57th takes the log past 1024 and it starts again.
    log.clear();
    for (int i = 0; i < 56; ++i)
        LogReadError(log, 1);
    EXPECT_EQ(log.size(), 56u * 18);
    LogReadError(log, 1);
    EXPECT_EQ(log, L"");
}
