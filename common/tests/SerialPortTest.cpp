#include "SerialPort.h"
#include <gtest/gtest.h>

TEST(SerialPort, Com10AndUpOpenThroughTheDeviceNamespace)
{
    EXPECT_EQ(CSerialPort::DevicePath(L"COM1"), L"COM1");
    EXPECT_EQ(CSerialPort::DevicePath(L"COM9"), L"COM9");
    EXPECT_EQ(CSerialPort::DevicePath(L"COM10"), L"\\\\.\\COM10");
    EXPECT_EQ(CSerialPort::DevicePath(L"COM39"), L"\\\\.\\COM39");
    // A name typed with its prefix (busterm's CP, radterm's prompt) is not prefixed again.
    EXPECT_EQ(CSerialPort::DevicePath(L"\\\\.\\COM10"), L"\\\\.\\COM10");
    EXPECT_EQ(CSerialPort::DevicePath(L"\\\\.\\COM2"), L"\\\\.\\COM2");
}

TEST(SerialPort, SettingsTextWithTheLinesOnAndNoFlowControl)
{
    DCB dcb;
    ASSERT_TRUE(CSerialPort::BuildDcb({L"9600,n,8,1"}, dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_TRUE(dcb.fBinary);
    EXPECT_EQ(dcb.fRtsControl, unsigned(RTS_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fDtrControl, unsigned(DTR_CONTROL_ENABLE));

    // Flow control asked for by the text ("p": hardware, "x": XON/XOFF) is switched off.
    ASSERT_TRUE(CSerialPort::BuildDcb({L"19200,e,7,2,p"}, dcb));
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_EQ(dcb.fRtsControl, unsigned(RTS_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fDtrControl, unsigned(DTR_CONTROL_ENABLE));
    ASSERT_TRUE(CSerialPort::BuildDcb({L"9600,n,8,1,x"}, dcb));
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);
    // The radio modem's port keeps the flow control its text asks for.
    ASSERT_TRUE(CSerialPort::BuildDcb({L"9600,n,8,1,x", true}, dcb));
    EXPECT_TRUE(dcb.fOutX);
    EXPECT_TRUE(dcb.fInX);

    EXPECT_FALSE(CSerialPort::BuildDcb({L"fast please"}, dcb));
}
