#include "DconFraming.h"
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
    std::wstring empty;
    EXPECT_TRUE(DconCheckReply(empty, false));
}
