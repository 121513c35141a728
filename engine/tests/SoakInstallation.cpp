#include "SoakInstallation.h"
#include <windows.h>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kSerialDelayMs = 25;
// A pipe exchange fails when its client has not answered within max(500 ms, 4 x delay).
constexpr int kPipeLimitMs = 500;
// A late reply comes well after its exchange has given up: on a serial line after the last
// exchange of its phase too (a phase asks at most two devices on one line).
constexpr int kLateAfterLimitMs = 100;

const SoakDeviceKind kKinds[] = {{"ICP7017", 8, 0, 'A', 1},  {"ICP7018", 8, 0, 'A', 1},  {"ICP7033", 3, 0, 'A', 1},
                                 {"ICP7041D", 16, 0, 'D', 1}, {"ICP7042D", 0, 13, 'D', 2}, {"ICP7044D", 4, 8, 'D', 2},
                                 {"ICP7055D", 8, 8, 'D', 2},  {"IVA8", 1, 0, 'A', 0},      {"RRG12", 2, 1, 'A', 0}};

std::string Item(const std::string& id, int index, const char* direction, char type)
{
    return "    <item id=\"" + id + "\" idx=\"" + std::to_string(index) + "\" reg=\"4\" direction=\"" + direction +
           "\" type=\"" + type + "\" description=\"" + id + "\" percision=\"3\"/>\n";
}
}  // namespace

const SoakDeviceKind& SoakKind(const std::string& keyword)
{
    for (const SoakDeviceKind& kind : kKinds)
        if (keyword == kind.keyword)
            return kind;
    return kKinds[0];
}

std::vector<SoakSegment> SoakSegments(const std::vector<std::pair<int, int>>& pairs)
{
    std::vector<SoakSegment> segments(4);
    const char* names[] = {"A", "B", "C", "D"};
    for (size_t i = 0; i < segments.size(); ++i) {
        SoakSegment& s = segments[i];
        s.name = names[i];
        if (i < 3) {
            s.port = "COM" + std::to_string(pairs[i].first);
            s.simPort = L"COM" + std::to_wstring(pairs[i].second);
            s.delayMs = s.limitMs = kSerialDelayMs;
            s.lateMs = 2 * kSerialDelayMs + kLateAfterLimitMs;
        } else {
            s.port = "\\\\.\\pipe\\orvex-soak-" + std::to_string(::GetCurrentProcessId());
            s.simPort = std::wstring(s.port.begin(), s.port.end());
            s.limitMs = kPipeLimitMs;
            s.lateMs = kPipeLimitMs + kLateAfterLimitMs;
        }
    }
    // Next to each other on one line sit modules whose replies the other cannot read, so a late
    // reply taken by the next module would show as a refusal, never as values.
    segments[0].lrc = true;
    segments[0].devices = {{"ICP7017", "11"}, {"ICP7055D", "12"}};
    segments[1].devices = {{"ICP7033", "21"}, {"ICP7044D", "22"}};
    segments[2].modbus = true;
    segments[2].devices = {{"IVA8", "1"}, {"RRG12", "2"}};
    segments[3].lrc = true;
    // On the pipe two analogue modules follow each other: a late reply taken for the next one's
    // would show as values.
    segments[3].devices = {{"ICP7018", "31"}, {"ICP7017", "33"}, {"ICP7042D", "32"}};
    return segments;
}

std::string SoakConfiguration(const std::vector<SoakSegment>& segments, int periodMs, const std::string& prologue)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<configuration period=\"" +
                      std::to_string(periodMs) + "\">\n";
    for (const SoakSegment& s : segments) {
        xml += "  <port name=\"" + s.name + "\" id=\"" + s.port + "\"";
        if (!s.Pipe())
            xml += " dcb=\"9600,n,8,1\" protocol=\"" + std::string(s.modbus ? "RTU" : "DCON") + "\" delay=\"" +
                   std::to_string(s.delayMs) + "\" crc=\"off\"";
        xml += std::string(" lrc=\"") + (s.lrc ? "on" : "off") + "\"/>\n";
    }
    std::string formulas;
    for (const SoakSegment& s : segments)
        for (const auto& device : s.devices) {
            xml += "  <device name=\"" + device.first + "\" transport=\"" + s.name + "\" addres=\"" + device.second +
                   "\" description=\"" + device.first + " " + device.second + "\">\n";
            const SoakDeviceKind& kind = SoakKind(device.first);
            for (int i = 0; i < kind.inputs; ++i)
                xml += Item("I" + device.second + "_" + std::to_string(i), i, "IN", kind.type);
            for (int i = 0; i < kind.outputs; ++i) {
                std::string id = "Q" + device.second + "_" + std::to_string(i);
                xml += Item(id, i, "OUT", kind.type);
                // Every other output toggles in every pass.
                if (i % 2 == 0)
                    formulas += "  <expression name=\"" + id + "\">" + id + " = 1 - " + id + "</expression>\n";
            }
            xml += "  </device>\n";
        }
    if (!prologue.empty())
        xml += "  <expression name=\"PROLOGUE\">" + prologue + "</expression>\n";
    return xml + formulas + "</configuration>\n";
}

std::vector<std::unique_ptr<CDevsim>> StartSimulators(const std::string& config,
                                                      const std::vector<SoakSegment>& segments, unsigned seed)
{
    std::vector<std::unique_ptr<CDevsim>> sims;
    for (size_t s = 0; s < segments.size(); ++s) {
        const SoakSegment& segment = segments[s];
        std::wstring options = L"--random-faults " + std::to_wstring(kSoakFaultPercent) + L":" +
                               std::to_wstring(segment.lateMs) + L" --random-values --seed " +
                               std::to_wstring(seed + s);
        sims.push_back(std::make_unique<CDevsim>(config, std::wstring(segment.name.begin(), segment.name.end()),
                                                 segment.simPort, options));
        if (!sims.back()->Ready()) {
            std::printf("devsim for segment %s did not start\n", segment.name.c_str());
            return {};
        }
    }
    return sims;
}

double SoakMinutes(double fallback)
{
    const char* text = std::getenv("SOAK_MINUTES");
    double minutes = text ? std::atof(text) : 0.0;
    return minutes > 0.0 ? minutes : fallback;
}
