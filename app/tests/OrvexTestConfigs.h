#pragma once
#include <clocale>
#include <string>

// controller.xml texts shared by the orvex tests.
inline std::string Configuration(const std::string& body, int period = 300)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"" + std::to_string(period) + "\">\n" +
           body + "\n</configuration>\n";
}

// A module on a port that nobody answers, and two free variables; Y0 follows the "Исток" choice.
inline std::string SilentModuleConfiguration()
{
    return Configuration(R"(
  <port name="seg1" id="COM40" dcb="9600,n,8,1" protocol="DCON" delay="10" crc="off" lrc="off"/>
  <device name="ICP7017" transport="seg1" addres="11" description="Аналоговый модуль">
    <item id="U1" idx="0" reg="0" direction="IN" type="A" description="Напряжение" percision="4"/>
    <item id="U2" idx="1" reg="0" direction="IN" type="A" description="Ток" percision="2"/>
  </device>
  <variable name="P" type="A" description="Давление" percision="3">P = 2,5</variable>
  <variable name="Y0" type="A" description="Шкала" percision="0">Y0 = Y0</variable>)");
}

// Free variables only: every pass succeeds without a device.
inline std::string FreeVariablesConfiguration()
{
    return Configuration(R"(
  <variable name="P" type="A" description="Давление" percision="3">P = 2,5</variable>
  <variable name="Y0" type="A" description="Шкала" percision="0">Y0 = Y0</variable>)");
}

// The decimal separator of the user's regional settings, as orvex's C runtime locale has it.
inline std::wstring DecimalSeparator()
{
    std::setlocale(LC_ALL, ".1251");
    return std::wstring(1, wchar_t(static_cast<unsigned char>(std::localeconv()->decimal_point[0])));
}
