// The IVA-8 and the RRG-12 over a real (pty) serial line against devsim.
#include "Crc16.h"
#include "Devsim.h"
#include "ModbusDevices.h"
#include "ModbusExchange.h"
#include "Serial.h"
#include "Stopwatch.h"
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace {
std::string Config(int port)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"1000\">\n"
           "<port name=\"rtu\" id=\"COM" + std::to_string(port) +
           "\" dcb=\"9600,n,8,1\" protocol=\"RTU\" delay=\"100\" crc=\"on\" lrc=\"off\"/>\n"
           "<device name=\"IVA8\" transport=\"rtu\" addres=\"1\"/>\n"
           "<device name=\"RRG12\" transport=\"rtu\" addres=\"7\"/>\n"
           "</configuration>\n";
}

// A frame as devsim logs it, with its CRC.
std::string Logged(std::vector<uint8_t> bytes)
{
    uint16_t crc = CRC16(bytes.data(), uint16_t(bytes.size()));
    bytes.push_back(uint8_t(crc & 0xFF));
    bytes.push_back(uint8_t(crc >> 8));
    std::string text;
    char hex[8];
    for (uint8_t b : bytes) {
        _snprintf(hex, sizeof hex, text.empty() ? "%02X" : " %02X", b);
        text += hex;
    }
    return text;
}

class ModbusLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto pairs = RigPairs();
        ASSERT_FALSE(pairs.empty()) << "the rig made no pty pair";
        simEnd = pairs[0].first;
        serial = std::make_unique<CSerial>(ComName(pairs[0].second), L"9600,n,8,1", L"RTU", 100);
        iva.address = L"1";
        rrg.address = L"7";
        iva.transport = rrg.transport = serial.get();
    }
    int simEnd = 0;
    std::unique_ptr<CSerial> serial;
    CDeviceIVA8 iva;
    CDeviceRRG12 rrg;
};
}  // namespace

TEST_F(ModbusLine, ReadingsAreDecodedFromTheInstrumentsReplies)
{
    CDevsim sim(Config(simEnd), L"rtu", ComName(simEnd), L"--set 1=0x012C --set 7=10:1");
    ASSERT_TRUE(sim.Ready());
    ASSERT_TRUE(serial->Open());
    EXPECT_TRUE(iva.TestLink());
    EXPECT_TRUE(iva.ReadInputs());
    EXPECT_EQ(iva.inputs[0].tag, TagFloat);
    EXPECT_FLOAT_EQ(iva.inputs[0].payload.f, 166.84f);
    EXPECT_TRUE(rrg.ReadInputs());
    EXPECT_FLOAT_EQ(rrg.inputs[0].payload.f, 10.0f);
    EXPECT_FLOAT_EQ(rrg.inputs[1].payload.f, 1.0f);

    // The link test: the broadcast, then the instrument's own read.
    ASSERT_TRUE(sim.WaitForRequests(4));
    EXPECT_EQ(sim.Requests(), (std::vector<std::string>{"00 08 00 20 00 01 21 D0", "01 19 02 00 D1 7F", "01 19 02 00 D1 7F",
                                                        Logged({0x07, 0x03, 0x00, 0x04, 0x00, 0x02})}));
    EXPECT_EQ(sim.Replies()[3], Logged({0x07, 0x03, 0x04, 0x03, 0xE8, 0x00, 0x64}));
}

TEST_F(ModbusLine, NegativeHygrometerReading)
{
    CDevsim sim(Config(simEnd), L"rtu", ComName(simEnd), L"--set 1=0xC000");
    ASSERT_TRUE(sim.Ready());
    ASSERT_TRUE(serial->Open());
    EXPECT_TRUE(iva.ReadInputs());
    EXPECT_FLOAT_EQ(iva.inputs[0].payload.f, -163.84f);
}

// A silent, garbled or refusing instrument does not fail the read, and nothing of its reply is
// decoded: its readings keep their values. The link test asks the instrument's own address.
TEST_F(ModbusLine, FaultsKeepTheReadingsAndFailOnlyTheChecks)
{
    CDevsim sim(Config(simEnd), L"rtu", ComName(simEnd),
                L"--set 1=0x012C --set 7=10:1 --fault 1=badcrc*3 --fault 7=exception*2");
    ASSERT_TRUE(sim.Ready());
    ASSERT_TRUE(serial->Open());
    EXPECT_TRUE(iva.ReadInputs());  // 12 bytes with a bad CRC, twice
    EXPECT_EQ(iva.inputs[0].tag, TagBoolean);
    EXPECT_TRUE(iva.TestLink()) << "a garbled echo of the broadcast, then a good read";
    EXPECT_TRUE(iva.ReadInputs());
    EXPECT_FLOAT_EQ(iva.inputs[0].payload.f, 166.84f);

    EXPECT_TRUE(rrg.ReadInputs());
    EXPECT_EQ(rrg.inputs[0].tag, TagBoolean);
    CFrameRecord request, reply;
    CModBusRtu::BuildReadHolding(request, 7, 4, 2);
    EXPECT_TRUE(TransactBinary(*serial, request, reply));
    EXPECT_EQ(reply.count, 9);
}

// A read ends at its whole frame, also one in two parts; the broadcast, to which anyone or no
// one may answer, waits its whole delay.
TEST_F(ModbusLine, AFrameInTwoPartsEndsTheReadAndTheBroadcastWaitsItsDelay)
{
    CDevsim sim(Config(simEnd), L"rtu", ComName(simEnd), L"--set 1=0x012C --set 7=10:1 --fault 1=split:5*1");
    ASSERT_TRUE(sim.Ready());
    CSerial slow(serial->GetPortId(), L"9600,n,8,1", L"RTU", 1000);
    ASSERT_TRUE(slow.Open());
    iva.transport = rrg.transport = &slow;
    CStopwatch clock;
    EXPECT_TRUE(iva.ReadInputs());
    EXPECT_TRUE(rrg.ReadInputs());
    EXPECT_LT(clock.Milliseconds(), 1000.0) << "two exchanges of a 1000 ms delay";
    EXPECT_FLOAT_EQ(iva.inputs[0].payload.f, 166.84f);
    EXPECT_FLOAT_EQ(rrg.inputs[1].payload.f, 1.0f);
    EXPECT_EQ(iva.Repeats() + rrg.Repeats(), 0);

    clock.Restart();
    CFrameRecord request, reply;
    CModBusRtu::BuildLinkTest(request);
    TransactBinary(slow, request, reply);
    EXPECT_GE(clock.Milliseconds(), 990.0);
}

TEST_F(ModbusLine, BadCrcAndExceptionRepliesFailTheExchange)
{
    // The broadcast, the read and its repeat.
    CDevsim sim(Config(simEnd), L"rtu", ComName(simEnd), L"--fault 1=badcrc*3");
    ASSERT_TRUE(sim.Ready());
    ASSERT_TRUE(serial->Open());
    EXPECT_FALSE(iva.TestLink());
    EXPECT_TRUE(iva.TestLink());
    CFrameRecord request, reply;
    request.data[0] = 7;
    request.data[1] = 0x10;  // a function the RRG-12 refuses
    request.count = 2;
    EXPECT_FALSE(TransactBinary(*serial, request, reply));
    EXPECT_EQ(reply.data[1], 0x90);
}

TEST_F(ModbusLine, SetPointGoesOutAtMostOncePerFiveSeconds)
{
    CDevsim sim(Config(simEnd), L"rtu", ComName(simEnd));
    ASSERT_TRUE(sim.Ready());
    ASSERT_TRUE(serial->Open());
    CDeviceRRG12 rrg;  // its set-point timer starts now
    rrg.address = L"7";
    rrg.transport = serial.get();
    rrg.outputs[0].SetFloat(12.345f);
    EXPECT_TRUE(rrg.WriteOutputs());  // within 5 s of the device's creation: nothing sent
    ::Sleep(5300);
    rrg.outputs[0].SetFloat(std::nanf(""));
    EXPECT_TRUE(rrg.WriteOutputs()) << "not a number: nothing is sent, and the pass goes on";
    rrg.outputs[0].SetFloat(12.345f);
    EXPECT_TRUE(rrg.WriteOutputs());
    ::Sleep(1000);
    rrg.outputs[0].SetFloat(3.0f);
    EXPECT_TRUE(rrg.WriteOutputs());
    ::Sleep(200);
    EXPECT_EQ(sim.Requests(), (std::vector<std::string>{Logged({0x07, 0x06, 0x00, 0x04, 0x04, 0xD2})}));
    EXPECT_TRUE(rrg.ReadInputs());
    EXPECT_FLOAT_EQ(rrg.inputs[0].payload.f, 12.34f);
}
