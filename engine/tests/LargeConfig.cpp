#include "LargeConfig.h"

namespace {
constexpr int kSegments = 4;
constexpr int kAnalogModules = 15;
constexpr int kFirstAnalog = 10;
const char kDigitalAddress[] = "40";

std::string Item(const std::string& name, int index, const char* direction, const char* type)
{
    return "    <item id=\"" + name + "\" idx=\"" + std::to_string(index) + "\" reg=\"0\" direction=\"" + direction +
           "\" type=\"" + type + "\" description=\"Канал " + name + "\" percision=\"3\"/>\n";
}

std::string Segment(int s, int hostPort, int delay)
{
    std::string seg = "S" + std::to_string(s);
    std::string body = "  <port name=\"" + seg + "\" id=\"COM" + std::to_string(hostPort) +
                       "\" dcb=\"9600,n,8,1\" protocol=\"DCON\" delay=\"" + std::to_string(delay) +
                       "\" crc=\"off\" lrc=\"on\"/>\n";
    std::string formulas;
    for (int m = 0; m < kAnalogModules; ++m) {
        std::string address = std::to_string(kFirstAnalog + m);
        body += "  <device name=\"ICP7017\" transport=\"" + seg + "\" addres=\"" + address +
                "\" description=\"Модуль " + address + "\">\n";
        for (int i = 0; i < 8; ++i)
            body += Item(seg + "A" + address + "U" + std::to_string(i), i, "IN", "A");
        body += "  </device>\n";
        std::string first = seg + "A" + address + "U0";
        formulas += "  <expression name=\"" + first + "\">" + first + " = " + first + " * 2,5 + 1</expression>\n";
    }
    body += std::string("  <device name=\"ICP7044D\" transport=\"") + seg + "\" addres=\"" + kDigitalAddress +
            "\" description=\"Клапаны\">\n";
    for (int i = 0; i < 4; ++i)
        body += Item(seg + "K" + std::to_string(i), i, "IN", "D");
    std::string valve = seg + "V0";
    body += Item(valve, 0, "OUT", "D") + "  </device>\n";
    formulas += "  <expression name=\"" + valve + "\">" + valve + " = 1</expression>\n";
    return body + formulas;
}
}  // namespace

std::string LargeConfiguration(const std::vector<int>& hostPorts, int period, int delay)
{
    std::string body;
    for (int s = 0; s < kSegments; ++s)
        body += Segment(s, hostPorts[s], delay);
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"" + std::to_string(period) + "\">\n" +
           body + "</configuration>\n";
}

std::vector<std::string> LargeSegmentCommands()
{
    std::vector<std::string> commands;
    for (int m = 0; m < kAnalogModules; ++m)
        commands.push_back("#" + std::to_string(kFirstAnalog + m));
    commands.push_back(std::string("@") + kDigitalAddress);
    commands.push_back(std::string("@") + kDigitalAddress + "01");
    return commands;
}
