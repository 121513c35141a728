#include "DconReplies.h"
#include <clocale>
#include <cwchar>
#include <gtest/gtest.h>

TEST(DconReplies, DigitalStatusIsTheHexAfterTheLeadCharacter)
{
    uint32_t status = 0;
    ASSERT_TRUE(ParseDigitalStatus(L">FFFE", status));
    EXPECT_EQ(status, 0xFFFEu);
    ASSERT_TRUE(ParseDigitalStatus(L">00A5\r", status));  // checksum off: the carriage return stays
    EXPECT_EQ(status, 0xA5u);
    ASSERT_TRUE(ParseDigitalStatus(L"!0f0a", status));
    EXPECT_EQ(status, 0x0F0Au);
}

// Four digits a module sends: one lost or one too many on the line would shift every bit.
TEST(DconReplies, UnusableDigitalStatusIsRefused)
{
    uint32_t status = 7;
    for (const wchar_t* reply : {L">FF", L">FFE\r", L">FFFE0\r", L"?41\r", L">xyz\r", L">12G4\r", L">FF\rFE"})
        EXPECT_FALSE(ParseDigitalStatus(reply, status)) << reply;
    EXPECT_EQ(status, 7u);
}

TEST(DconReplies, CounterIsTheDecimalAfterTheAddress)
{
    int value = -1;
    ASSERT_TRUE(ParseCounter(L"!1100123", value));
    EXPECT_EQ(value, 123);
    ASSERT_TRUE(ParseCounter(L"!1100000042\r", value));
    EXPECT_EQ(value, 42);
    value = -1;
    for (const wchar_t* reply : {L"!11", L"?11\r", L"!1101#3\r", L"!119999999999\r"})
        EXPECT_FALSE(ParseCounter(reply, value)) << reply;
    EXPECT_EQ(value, -1);
}

TEST(DconReplies, AnalogFieldsFollowTheLeadCharacter)
{
    std::vector<float> values;
    ASSERT_TRUE(ParseAnalog(L">+01.250-00.500+00.000+00.000+00.000+00.000+00.000+00.000", 8, values));
    ASSERT_EQ(values.size(), 8u);
    EXPECT_FLOAT_EQ(values[0], 1.25f);
    EXPECT_FLOAT_EQ(values[1], -0.5f);
    EXPECT_FLOAT_EQ(values[7], 0.0f);
    ASSERT_TRUE(ParseAnalog(L">+05.123-02.500+25,000\r", 3, values));
    EXPECT_FLOAT_EQ(values[2], 25.0f);

    // A field missing, cut or garbled: nothing is read.
    for (const wchar_t* reply : {L">+05.123-02.500\r", L">+05.123-02.500+25.\r", L">+05.123-02.5X0+25.000\r",
                                 L">+05.123-02.500+25.0001\r", L">+05.123-02.500 25.000\r", L">+0", L"?17\r"})
        EXPECT_FALSE(ParseAnalog(reply, 3, values)) << reply;
    EXPECT_FLOAT_EQ(values[0], 5.123f);
}

// The fields read the same whatever decimal separator the process locale has.
TEST(DconReplies, AnalogFieldsDoNotDependOnTheLocale)
{
    const char* before = setlocale(LC_NUMERIC, nullptr);
    std::string saved = before ? before : "C";
    for (const char* locale : {"C", "Russian"}) {
        setlocale(LC_NUMERIC, locale);
        EXPECT_FLOAT_EQ(ParseAnalogField(L"+05.123"), 5.123f) << locale;
        EXPECT_FLOAT_EQ(ParseAnalogField(L"-00,500"), -0.5f) << locale;
    }
    setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_FLOAT_EQ(ParseAnalogField(L""), 0.0f);
    EXPECT_FLOAT_EQ(ParseAnalogField(L"+12.5\r"), 12.5f);
}

TEST(DconReplies, DigitalOutputDataSetsOneBitPerOutput)
{
    std::vector<bool> thirteen(13, false);
    thirteen[0] = thirteen[12] = true;
    EXPECT_EQ(DigitalOutputData(thirteen, 4), L"1001");
    std::vector<bool> eight(8, false);
    eight[3] = true;
    EXPECT_EQ(DigitalOutputData(eight, 2), L"08");
    EXPECT_EQ(DigitalOutputData(std::vector<bool>(16, true), 4), L"FFFF");
}

TEST(InputRanges, OnlyTheAddressedModulesRepliesCount)
{
    std::wstring codes = L"kept";
    EXPECT_TRUE(ParseConfiguration(L"!11080600", L"11", codes));
    EXPECT_EQ(codes, L"0600");
    EXPECT_TRUE(ParseConfiguration(L"!110D0A40\r", L"11", codes));
    EXPECT_EQ(codes, L"0A40");
    codes = L"kept";
    for (const wchar_t* bad : {L"", L"\r", L"?11\r", L"!12080600", L">11080600", L"!1108060", L"!11080600X",
                               L"!1108\x0406" L"000", L"!11080600\r\n", L"\x7F\x13!11080600"})
        EXPECT_FALSE(ParseConfiguration(bad, L"11", codes)) << bad;
    EXPECT_EQ(codes, L"kept");
    EXPECT_TRUE(IsAcknowledged(L"!11", L"11"));
    EXPECT_TRUE(IsAcknowledged(L"!11\r", L"11"));
    for (const wchar_t* bad : {L"", L"?11\r", L"!12\r", L"!110", L">11"})
        EXPECT_FALSE(IsAcknowledged(bad, L"11")) << bad;
}
