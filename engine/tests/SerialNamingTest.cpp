// COM1..COM9 open by their names, COM10 and up only as \\.\COMn: a line between COM9 and COM10
// works in both directions.
#include "Devsim.h"
#include "IcpModules.h"
#include "Serial.h"
#include <gtest/gtest.h>

namespace {
std::string Config(int port)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"1000\">\n"
           "<port name=\"seg\" id=\"COM" + std::to_string(port) +
           "\" dcb=\"19200,n,8,1\" protocol=\"DCON\" delay=\"30\" crc=\"off\" lrc=\"on\"/>\n"
           "<device name=\"ICP7017\" transport=\"seg\" addres=\"01\"/>\n"
           "</configuration>\n";
}

void ExpectLink(int simEnd, int hostEnd)
{
    CDevsim sim(Config(simEnd), L"seg", ComName(simEnd));
    ASSERT_TRUE(sim.Ready()) << "devsim on COM" << simEnd;
    CSerial serial(ComName(hostEnd), L"19200,n,8,1", L"DCON", 30);
    serial.SetDconChecksum(true);
    ASSERT_TRUE(serial.Open()) << "COM" << hostEnd;
    CIcpModule module(*FindIcpModule(L"ICP7017"));
    module.address = L"01";
    module.transport = &serial;
    EXPECT_TRUE(module.TestLink());
    EXPECT_TRUE(module.ReadInputs());
}
}  // namespace

TEST(SerialNaming, Com9AndCom10BothOpen)
{
    auto pairs = RigPairs();
    ASSERT_EQ(pairs.size(), 1u);
    ASSERT_EQ(pairs[0], std::make_pair(9, 10)) << "the rig was asked for COM9:COM10";
    ExpectLink(9, 10);
    ExpectLink(10, 9);
}
