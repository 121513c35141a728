#include "ModuleConfig.h"
#include "ScanReport.h"
#include <gtest/gtest.h>

TEST(ScanReport, ConfigurationRepliesInWords)
{
    const struct {
        const wchar_t* reply;
        const wchar_t* words;
    } cases[] = {
        {L"!11080600", L"type 08 +/-10V, speed 06 9600 baud, format 00 checksum off, engineering units"},
        {L"!110F0A41", L"type 0F thermocouple K, speed 0A 115200 baud, format 41 checksum on, % of full scale"},
        {L"!11400340", L"type 40 digital I/O, speed 03 1200 baud, format 40 checksum on"},
        {L"!115F0200", L"type 5F unknown, speed 02 unknown, format 00 checksum off, engineering units"},
    };
    for (const auto& c : cases) {
        ModuleConfig config;
        ASSERT_TRUE(ParseModuleConfig(c.reply, L"11", config)) << c.reply;
        EXPECT_EQ(DescribeModuleConfig(config), c.words);
    }
    ModuleConfig config;
    for (const wchar_t* bad : {L"!12080600", L"?11", L"!1108060", L"!110806000", L"!11080G00"})
        EXPECT_FALSE(ParseModuleConfig(bad, L"11", config)) << bad;
}

// Whatever a module calls itself, the lines stay well-formed: markup is escaped, and a kind
// orvex does not know becomes a comment with no "--" inside.
TEST(ScanReport, ControllerLinesOfOddModules)
{
    std::vector<FoundModule> modules = {
        {L"01", L"7041", L"9600,n,8,1", false, L""},
        {L"02", L"7\"<&>", L"9600,n,8,1", false, L""},
        {L"03", L"70--60", L"9600,n,8,1", false, L""},
    };
    EXPECT_EQ(ControllerXmlLines(modules, L"\\\\.\\COM12", 60),
              (std::vector<std::wstring>{
                  L"<port name=\"seg1\" id=\"COM12\" dcb=\"9600,n,8,1\" protocol=\"DCON\" delay=\"60\" crc=\"off\" "
                  L"lrc=\"off\"/>",
                  L"<device name=\"ICP7041D\" transport=\"seg1\" addres=\"01\" description=\"ICP CON 7041\"/>",
                  L"<!-- 02 7&quot;&lt;&amp;&gt;: orvex has no device of this kind -->",
                  L"<!-- 03 70-&#45;60: orvex has no device of this kind -->",
              }));
    EXPECT_EQ(ModuleLine(modules[0]), L"01 7041     9600 CRC OFF  no configuration");
}
