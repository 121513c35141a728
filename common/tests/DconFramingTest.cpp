#include "DconFraming.h"
#include <windows.h>
#include <gtest/gtest.h>

TEST(DconFraming, FramesWithAndWithoutChecksum)
{
    std::wstring plain = L"$11M";
    DconFrame(plain, false);
    EXPECT_EQ(plain, L"$11M\r");

    std::wstring summed = L"$11M";
    DconFrame(summed, true);
    EXPECT_EQ(summed, L"$11MD3\r");
    EXPECT_EQ(DconChecksum(L"$11M"), 0xD3u);
}

TEST(DconFraming, GoodChecksumIsCutFromTheReply)
{
    std::wstring body = L">+05.123+00.000";
    std::wstring reply = body;
    DconFrame(reply, true);
    ASSERT_TRUE(DconCheckReply(reply, true));
    EXPECT_EQ(reply, body);
}

TEST(DconFraming, BadRepliesFailAndStayWhole)
{
    std::wstring good = L"!11";
    DconFrame(good, true);  // "!11" + two digits + CR

    std::wstring lineFeed = good;
    lineFeed.back() = L'\n';
    EXPECT_FALSE(DconCheckReply(lineFeed, true));

    std::wstring wrong = L"!11FF\r";
    EXPECT_FALSE(DconCheckReply(wrong, true));
    EXPECT_EQ(wrong, L"!11FF\r");

    std::wstring empty, two = L"!\r";
    EXPECT_FALSE(DconCheckReply(empty, true));
    EXPECT_FALSE(DconCheckReply(two, true));
}

TEST(DconFraming, LowerCaseChecksumDigitsFail)
{
    std::wstring reply = L"$11Md3\r";
    EXPECT_FALSE(DconCheckReply(reply, true));
}

TEST(DconFraming, ChecksumOffLeavesReplyAsReceived)
{
    std::wstring reply = L"!11\r";
    EXPECT_TRUE(DconCheckReply(reply, false));
    EXPECT_EQ(reply, L"!11\r");
}

// Silence is no answer, a line cut off before its carriage return is no whole reply, and a second
// line is a reply of another module that came late.
TEST(DconFraming, EmptyCutAndTwoLineRepliesFailWithAndWithoutChecksum)
{
    for (bool checksum : {false, true}) {
        std::wstring empty, first = L">+01.250", second = L">+02.500";
        DconFrame(first, checksum);
        DconFrame(second, checksum);
        std::wstring both = first + second, cut = first.substr(0, first.size() - 1);
        EXPECT_FALSE(DconCheckReply(empty, checksum));
        EXPECT_FALSE(DconCheckReply(cut, checksum));
        EXPECT_FALSE(DconCheckReply(both, checksum));
        EXPECT_EQ(both, first + second);
    }
}

// Under code page 1251, as the installation runs: the sum of the bytes that go over the line.
TEST(DconFraming, ChecksumIsTheSumOfTheAnsiBytes)
{
    ASSERT_EQ(::GetACP(), 1251u);
    EXPECT_EQ(DconChecksum(L"$01Ж"), (0x24u + 0x30 + 0x31 + 0xC6) % 256);
    EXPECT_EQ(DconChecksum(std::string("$01\xC6")), DconChecksum(L"$01Ж"));
}

// The terminal takes the last character for the terminator without examining it.
TEST(DconFraming, TerminalReplyCheckIgnoresTheTerminator)
{
    std::wstring lineFeed = L"!0182\n";
    EXPECT_TRUE(DconCheckReply(lineFeed, true, DconReplyEnd::Any));
    EXPECT_EQ(lineFeed, L"!01");
    std::wstring bare = L"00\r";  // an empty body sums to 00
    EXPECT_TRUE(DconCheckReply(bare, true, DconReplyEnd::Any));
    EXPECT_EQ(bare, L"");

    // Wrong sum, no terminator (the digits are then read one place early), lower-case digits,
    // and replies too short to hold a checksum stay whole.
    const wchar_t* cases[] = {L"!0183\r", L"!0182", L"!0182\r\r", L"$01Md2\r", L"!0", L""};
    for (const wchar_t* text : cases) {
        std::wstring reply = text;
        EXPECT_FALSE(DconCheckReply(reply, true, DconReplyEnd::Any)) << reply.size();
        EXPECT_EQ(reply, text);
    }
}
