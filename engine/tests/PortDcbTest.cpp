#include "PortDcb.h"
#include <gtest/gtest.h>

TEST(PortDcb, SettingsTextWithTheLinesOnAndNoFlowControl)
{
    DCB dcb;
    ASSERT_TRUE(BuildPortDcb(L"9600,n,8,1", dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
    EXPECT_TRUE(dcb.fBinary);
    EXPECT_EQ(dcb.fRtsControl, unsigned(RTS_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fDtrControl, unsigned(DTR_CONTROL_ENABLE));

    // Flow control asked for by the text ("p": hardware, "x": XON/XOFF) is switched off.
    ASSERT_TRUE(BuildPortDcb(L"19200,e,7,2,p", dcb));
    EXPECT_EQ(dcb.BaudRate, 19200u);
    EXPECT_EQ(dcb.Parity, EVENPARITY);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_EQ(dcb.fRtsControl, unsigned(RTS_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fDtrControl, unsigned(DTR_CONTROL_ENABLE));
    ASSERT_TRUE(BuildPortDcb(L"9600,n,8,1,x", dcb));
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);

    EXPECT_FALSE(BuildPortDcb(L"fast please", dcb));
}
