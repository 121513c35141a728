// SCAN against devsim: three modules hang on one line, one with the checksum on, one with it off
// (both at 9600 baud) and one at 19200 baud. The rig's cable gives devsim's end the speed
// busterm sets, so a module hears only the requests sent at its own speed.
#include "BustermProcess.h"
#include "ConfigFile.h"
#include "Devsim.h"
#include "Serial.h"
#include "TextConv.h"
#include <gtest/gtest.h>
#include <cstdio>

namespace {
const int kStartUpLines = 22;  // banner, help, port line

std::string LineConfig(int simCom)
{
    std::string port = "id=\"COM" + std::to_string(simCom) + "\" protocol=\"DCON\" delay=\"20\" crc=\"off\"";
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"1000\">\n"
           "<port name=\"sum\" dcb=\"9600,n,8,1\" lrc=\"on\" " + port + "/>\n"
           "<port name=\"plain\" dcb=\"9600,n,8,1\" lrc=\"off\" " + port + "/>\n"
           "<port name=\"fast\" dcb=\"19200,n,8,1\" lrc=\"off\" " + port + "/>\n"
           "<device name=\"ICP7017\" transport=\"sum\" addres=\"01\" description=\"a\"/>\n"
           "<device name=\"ICP7041D\" transport=\"plain\" addres=\"02\" description=\"b\"/>\n"
           "<device name=\"ICP7033\" transport=\"fast\" addres=\"05\" description=\"c\"/>\n"
           "</configuration>\n";
}

// The lines as the console shows them: the progress line, ended by carriage returns, is
// written over.
std::vector<std::string> ShownLines(const std::string& output)
{
    std::vector<std::string> lines;
    for (const std::string& line : Split(output, '\n'))
        lines.push_back(line.substr(line.find_last_of('\r') + 1));
    return lines;
}
}  // namespace

TEST(BustermScan, FindsEveryModuleAtItsSpeedAndChecksumAndWritesControllerLines)
{
    std::vector<std::pair<int, int>> pairs = RigPairs();
    ASSERT_EQ(pairs.size(), 1u) << "needs one cable from the rig";
    int terminalCom = pairs[0].first, simCom = pairs[0].second;
    CDevsim sim(LineConfig(simCom), L"sum+plain+fast", ComName(simCom));
    ASSERT_TRUE(sim.Ready());
    CBustermProcess busterm;
    ASSERT_TRUE(busterm.Start());
    busterm.ReadLines(kStartUpLines);
    ASSERT_EQ(busterm.Command("CP" + std::to_string(terminalCom)), "OK!!\n");
    ASSERT_EQ(busterm.Command("DELAY 80"), "OK!\n");  // a reply comes in time on a busy machine

    busterm.Type("scan all 00 07");
    std::string output = busterm.ReadLines(11, 300000);
    std::vector<std::string> shown = ShownLines(output);
    std::printf("SCAN ALL 00 07 showed:\n");
    for (const std::string& line : shown)
        std::printf("%s\n", line.c_str());
    std::vector<std::string> expected = {
        "01 7017     9600 CRC ON   type 08 +/-10V, speed 06 9600 baud, format 40 checksum on, engineering units",
        "02 7041D    9600 CRC OFF  type 40 digital I/O, speed 06 9600 baud, format 00 checksum off",
        "05 7033    19200 CRC OFF  type 20 Pt100 -100..100C, speed 07 19200 baud, format 00 checksum off, "
        "engineering units",
        "SCAN DONE, 3 MODULES FOUND",
        "<!-- orvex opens a port once: these segments share COM" + std::to_string(terminalCom) +
            ", set their modules to one speed and checksum mode -->",
    };
    ASSERT_GE(shown.size(), 11u) << output;
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 5), expected);

    // The printed lines are a controller.xml the engine loads as they stand.
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"1000\">\n";
    for (size_t i = 4; i < 11; ++i)
        xml += shown[i] + "\n";
    CComApartment apartment;
    CController controller;
    std::wstring error;
    ASSERT_EQ(LoadConfig(xml + "</configuration>\n", controller, &error), S_OK) << xml << WideToAnsi(error);
    ASSERT_EQ(controller.Transports().size(), 3u);
    const struct {
        const wchar_t* settings;
        bool lrc;
    } ports[] = {{L"9600,n,8,1", true}, {L"9600,n,8,1", false}, {L"19200,n,8,1", false}};
    for (size_t i = 0; i < 3; ++i) {
        auto* serial = dynamic_cast<CSerial*>(controller.Transports()[i].get());
        ASSERT_NE(serial, nullptr);
        EXPECT_EQ(serial->GetPortId(), ComName(terminalCom));
        EXPECT_EQ(serial->Settings(), ports[i].settings);
        EXPECT_EQ(serial->DconChecksum(), ports[i].lrc);
        EXPECT_EQ(serial->Delay(), 80);
    }
    ASSERT_EQ(controller.Devices().size(), 3u);
    EXPECT_EQ(controller.Devices()[0]->keyword, L"ICP7017");
    EXPECT_EQ(controller.Devices()[1]->keyword, L"ICP7041D");
    EXPECT_EQ(controller.Devices()[2]->keyword, L"ICP7033");
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(controller.Devices()[i]->transport, controller.Transports()[i].get());

    // Every speed was tried, for the addresses asked only: the name twice per address and speed,
    // and the configuration of the three modules.
    const size_t asked = 8 * 8 * 2 + 3;
    sim.WaitForRequests(asked);
    std::vector<std::string> requests = sim.Requests();
    EXPECT_EQ(requests.size(), asked);
    for (const std::string& request : requests)
        EXPECT_TRUE(request.size() > 3 && request.compare(1, 1, "0") == 0 && request[2] <= '7') << request;

    // Back at 9600 baud with the checksum off: the module at 19200 does not hear, the others do.
    EXPECT_EQ(busterm.Command("$02M"), "!027041D\r\n");
    EXPECT_EQ(busterm.Command("$05M"), "\n");

    // A line typed during a scan stops it; what was found stays.
    busterm.Type("SCAN");
    std::string first = busterm.ReadLines(1);
    EXPECT_EQ(ShownLines(first)[0].substr(0, 7), "01 7017") << first;
    busterm.Type("");
    std::string rest = busterm.ReadLines(1);
    while (rest.find("SCAN STOPPED") == std::string::npos && rest.find("SCAN DONE") == std::string::npos &&
           !rest.empty())
        rest = busterm.ReadLines(1);
    EXPECT_NE(rest.find("SCAN STOPPED"), std::string::npos) << rest;
    busterm.Type("EXIT");
    int code = -1;
    std::string end = busterm.ReadToEnd(code);
    EXPECT_NE(end.find("<device name=\"ICP7017\" transport=\"seg1\" addres=\"01\""), std::string::npos) << end;
    EXPECT_NE(end.find("EXIT OK!\n"), std::string::npos) << end;
    EXPECT_EQ(code, 0);
}
