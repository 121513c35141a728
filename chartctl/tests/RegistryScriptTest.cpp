#include "RegistryScript.h"
#include <gtest/gtest.h>

TEST(RegistryScript, ParsesKeysValuesAndRemovalFlagsParentsFirst)
{
    CRegistryScript script(L"HKCR\n{\n"
                           L"    NoRemove CLSID\n    {\n"
                           L"        ForceRemove {7C1E5A30-2B9D-4E61-A8F3-5D20C4B7E911} = s 'ChartView Class'\n        {\n"
                           L"            InprocServer32 = s '%MODULE%'\n            {\n"
                           L"                val ThreadingModel = s 'Apartment'\n            }\n"
                           L"            val AppID = s '%APPID%'\n"
                           L"            'MiscStatus' = s '0'\n            {\n                '1' = s '131473'\n            }\n"
                           L"        }\n    }\n    'Plain'\n}\n",
                           {});
    ASSERT_TRUE(script.IsValid());
    const auto& keys = script.Keys();
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[0].path, L"CLSID");
    EXPECT_TRUE(keys[0].noRemove);
    EXPECT_FALSE(keys[0].hasDefault);
    const std::wstring clsid = L"CLSID\\{7C1E5A30-2B9D-4E61-A8F3-5D20C4B7E911}";
    EXPECT_EQ(keys[1].path, clsid);
    EXPECT_TRUE(keys[1].force);
    EXPECT_EQ(keys[1].defaultValue, L"ChartView Class");
    ASSERT_EQ(keys[1].values.size(), 1u);
    EXPECT_EQ(keys[1].values[0].first, L"AppID");
    EXPECT_EQ(keys[2].path, clsid + L"\\InprocServer32");
    ASSERT_EQ(keys[2].values.size(), 1u);
    EXPECT_EQ(keys[2].values[0].second, L"Apartment");
    EXPECT_EQ(keys[3].path, clsid + L"\\MiscStatus");
    EXPECT_EQ(keys[4].path, clsid + L"\\MiscStatus\\1");
    EXPECT_EQ(keys[4].defaultValue, L"131473");
    EXPECT_EQ(keys[5].path, L"Plain");
}

TEST(RegistryScript, RejectsBrokenScripts)
{
    EXPECT_FALSE(CRegistryScript(L"HKLM { Key }", {}).IsValid());
    EXPECT_FALSE(CRegistryScript(L"HKCR { Key = s 'open }", {}).IsValid());
    EXPECT_FALSE(CRegistryScript(L"HKCR { Key { val X = s 'y' }", {}).IsValid());
    EXPECT_FALSE(CRegistryScript(L"HKCR { val X = s 'y' }", {}).IsValid());
    EXPECT_EQ(CRegistryScript(L"HKCR { Key = s 'y'", {}).Register(), E_UNEXPECTED);
    EXPECT_EQ(CRegistryScript(L"HKCR { Key", {}).Unregister(), E_UNEXPECTED);
}
