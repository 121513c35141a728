#include "ConfigFile.h"
#include "SaveAttributes.h"
#include <gtest/gtest.h>

namespace {
const char kFile[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                     "<configuration period=\"1000\">\n"
                     "  <port name=\"seg1\" id=\"COM3\" dcb=\"9600,n,8,1\" protocol=\"DCON\" delay=\"60\" crc=\"off\" lrc=\"off\"/>\n"
                     "  <port name=\"seg2\" id=\"COM4\" dcb=\"9600,n,8,1\" protocol=\"MODBUS\" delay=\"60\" crc=\"on\" lrc=\"off\"/>\n"
                     "  <device name=\"ICP7017\" transport=\"seg1\" addres=\"11\" description=\"Модуль\"/>\n"
                     "</configuration>\n";
}  // namespace

TEST(SavePortIds, RewritesOnlyThePortIds)
{
    CComApartment apartment;
    CConfigFile file(kFile);
    std::wstring error;
    int code = -1;
    ASSERT_TRUE(SavePortIds(file.Path(), {{L"seg1", L"COM7"}, {L"seg2", L"COM12"}}, error, code)) << error.c_str();

    CController c;
    ASSERT_EQ(LoadConfig(file.Read(), c), S_OK);
    EXPECT_EQ(c.Transports()[0]->GetPortId(), L"COM7");
    EXPECT_EQ(c.Transports()[1]->GetPortId(), L"COM12");
    EXPECT_EQ(c.Devices()[0]->description, L"Модуль");
    std::string text = file.Read();
    EXPECT_NE(text.find("dcb=\"9600,n,8,1\""), std::string::npos);
    EXPECT_NE(text.find("\xD0\x9C\xD0\xBE\xD0\xB4\xD1\x83\xD0\xBB\xD1\x8C"), std::string::npos);  // "Модуль" stays UTF-8
}

TEST(SavePortIds, APortMissingFromTheMapKeepsItsId)
{
    CComApartment apartment;
    CConfigFile file(kFile);
    std::wstring error;
    int code = -1;
    ASSERT_TRUE(SavePortIds(file.Path(), {{L"seg2", L"COM5"}, {L"\\\\.\\pipe\\x", L"COM6"}}, error, code));
    std::string text = file.Read();
    EXPECT_NE(text.find("id=\"COM3\""), std::string::npos);
    EXPECT_NE(text.find("id=\"COM5\""), std::string::npos);
    EXPECT_EQ(text.find("COM6"), std::string::npos);
}

TEST(SavePortIds, AFileThatCannotBeLoadedNamesTheFile)
{
    CComApartment apartment;
    std::wstring error;
    int code = -1;
    EXPECT_FALSE(SavePortIds(L"C:\\no\\such\\controller.xml", {}, error, code));
    EXPECT_EQ(error, L"Невозможно загрузить файл C:\\no\\such\\controller.xml конфигурации");
    EXPECT_EQ(code, 0);
}
