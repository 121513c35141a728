#include "RegKey.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <string>

namespace {
const wchar_t kClsidKey[] = L"CLSID\\{7C1E5A30-2B9D-4E61-A8F3-5D20C4B7E911}";
const wchar_t kAppIdKey[] = L"AppID\\{D2A94C17-5E83-4B6F-A021-9C7E3F58B0D4}";
const wchar_t kAppId[] = L"{D2A94C17-5E83-4B6F-A021-9C7E3F58B0D4}";
const wchar_t kInterfaceKey[] = L"Interface\\{5E3B91C4-0A7D-4C28-B6E1-83F92D4A07C5}";
const wchar_t kProxyKey[] = L"CLSID\\{5E3B91C4-0A7D-4C28-B6E1-83F92D4A07C5}";
const wchar_t kTypeLibKey[] = L"TypeLib\\{4B6D2E90-71C3-4F0A-9E25-B3A8D1C60F47}";

bool KeyExists(const std::wstring& path)
{
    CRegKey key;
    return key.Open(HKEY_CLASSES_ROOT, path.c_str()) == ERROR_SUCCESS;
}

// The value as text, or "<none>" when the key or value is missing.
std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr)
{
    CRegKey key;
    if (key.Open(HKEY_CLASSES_ROOT, path.c_str()) != ERROR_SUCCESS)
        return L"<none>";
    wchar_t data[1024] = {};
    DWORD size = sizeof(data) - sizeof(wchar_t), type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return L"<none>";
    return data;
}

std::wstring ModulePath()
{
    wchar_t folder[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    return std::wstring(folder) + L"\\norvctrl.dll";
}

std::wstring Sub(const wchar_t* parent, const wchar_t* child)
{
    return std::wstring(parent) + L"\\" + child;
}
}  // namespace

TEST(Registration, Regsvr32WritesTheClassProgIdsAppIdTypeLibraryAndProxy)
{
    ASSERT_EQ(RunRegsvr32(false), 0);
    EXPECT_EQ(Value(kAppIdKey), L"norvctrl2");
    EXPECT_EQ(Value(L"AppID\\norvctrl.DLL", L"AppID"), kAppId);
    EXPECT_EQ(Value(L"norvctrl2.ChartView.1"), L"ChartView Class");
    EXPECT_EQ(Value(L"norvctrl2.ChartView.1\\CLSID"), L"{7C1E5A30-2B9D-4E61-A8F3-5D20C4B7E911}");
    EXPECT_TRUE(KeyExists(L"norvctrl2.ChartView.1\\Insertable"));
    EXPECT_EQ(Value(L"norvctrl2.ChartView"), L"ChartView Class");
    EXPECT_EQ(Value(L"norvctrl2.ChartView\\CLSID"), L"{7C1E5A30-2B9D-4E61-A8F3-5D20C4B7E911}");
    EXPECT_EQ(Value(L"norvctrl2.ChartView\\CurVer"), L"norvctrl2.ChartView.1");

    EXPECT_EQ(Value(kClsidKey), L"ChartView Class");
    EXPECT_EQ(Value(kClsidKey, L"AppID"), kAppId);
    EXPECT_EQ(Value(Sub(kClsidKey, L"ProgID")), L"norvctrl2.ChartView.1");
    EXPECT_EQ(Value(Sub(kClsidKey, L"VersionIndependentProgID")), L"norvctrl2.ChartView");
    for (const wchar_t* empty : {L"Programmable", L"Control", L"Insertable"})
        EXPECT_TRUE(KeyExists(Sub(kClsidKey, empty))) << empty;
    EXPECT_EQ(_wcsicmp(Value(Sub(kClsidKey, L"InprocServer32")).c_str(), ModulePath().c_str()), 0)
        << Value(Sub(kClsidKey, L"InprocServer32"));
    EXPECT_EQ(Value(Sub(kClsidKey, L"InprocServer32"), L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Value(Sub(kClsidKey, L"ToolboxBitmap32")), Value(Sub(kClsidKey, L"InprocServer32")) + L", 102");
    EXPECT_EQ(Value(Sub(kClsidKey, L"MiscStatus")), L"0");
    EXPECT_EQ(Value(Sub(kClsidKey, L"MiscStatus\\1")), L"131473");
    EXPECT_EQ(Value(Sub(kClsidKey, L"TypeLib")), L"{4B6D2E90-71C3-4F0A-9E25-B3A8D1C60F47}");
    EXPECT_EQ(Value(Sub(kClsidKey, L"Version")), L"1.0");

    EXPECT_EQ(Value(Sub(kTypeLibKey, L"1.0")), L"norvctrl2 1.0 Type Library");
    // The proxy/stub registered last owns the interface's marshalling.
    EXPECT_EQ(Value(Sub(kInterfaceKey, L"ProxyStubClsid32")), L"{5E3B91C4-0A7D-4C28-B6E1-83F92D4A07C5}");
    EXPECT_TRUE(KeyExists(kProxyKey));
}

TEST(Registration, ForcedKeysLoseForeignContentsOnRegistration)
{
    ASSERT_EQ(RunRegsvr32(false), 0);
    CRegKey stray;
    ASSERT_EQ(stray.Create(HKEY_CLASSES_ROOT, Sub(kClsidKey, L"Stray").c_str()), ERROR_SUCCESS);
    stray.Close();
    ASSERT_EQ(RunRegsvr32(false), 0);
    EXPECT_FALSE(KeyExists(Sub(kClsidKey, L"Stray")));
}

TEST(Registration, UnregistrationRemovesEveryKeyButTheParents)
{
    ASSERT_EQ(RunRegsvr32(false), 0);
    ASSERT_EQ(RunRegsvr32(true), 0);
    for (const std::wstring& key : {std::wstring(kClsidKey), std::wstring(kAppIdKey), std::wstring(L"AppID\\norvctrl.DLL"),
                                    std::wstring(L"norvctrl2.ChartView.1"), std::wstring(L"norvctrl2.ChartView"),
                                    std::wstring(kInterfaceKey), std::wstring(kProxyKey), std::wstring(kTypeLibKey)})
        EXPECT_FALSE(KeyExists(key)) << std::string(key.begin(), key.end());
    EXPECT_TRUE(KeyExists(L"CLSID"));
    EXPECT_TRUE(KeyExists(L"AppID"));
    // Other programs' tests use the control: leave it registered.
    EXPECT_EQ(RunRegsvr32(false), 0);
}

TEST(Registration, TheLibraryCarriesItsResources)
{
    HMODULE library = ::LoadLibraryExW(L"norvctrl.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(library, nullptr);
    wchar_t name[32] = {};
    EXPECT_GT(::LoadStringW(library, 100, name, 32), 0);
    EXPECT_STREQ(name, L"norvctrl");
    EXPECT_NE(::FindResourceW(library, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
    EXPECT_NE(::FindResourceW(library, MAKEINTRESOURCEW(102), MAKEINTRESOURCEW(2) /* RT_BITMAP */), nullptr);
    EXPECT_NE(::FindResourceW(library, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24) /* RT_MANIFEST */), nullptr);
    ::FreeLibrary(library);
}
