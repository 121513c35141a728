#include "TestSupport.h"
#include <gtest/gtest.h>
#include <string>

namespace {
std::string Lines(std::string text)
{
    std::string out;
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}
}  // namespace

TEST(ScriptClient, JScriptDrivesTheControlByName)
{
    ASSERT_EQ(RunRegsvr32(false), 0);
    std::string output;
    ASSERT_EQ(RunProgram(L"cscript.exe //nologo chart_client.js", 120000, &output), 0) << output;
    EXPECT_EQ(Lines(output), "title ok Pressure, kPa\n"
                             "span ok 100\n"
                             "precision ok\n"
                             "precision-text ok\n"
                             "precision-word error 80020005\n"
                             "add ok\n"
                             "setspan ok 70\n"
                             "gradient ok\n"
                             "timer ok\n"
                             "draw ok\n");
}
