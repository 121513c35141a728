#include "ScanReport.h"
#include "ModuleConfig.h"
#include <cstdio>
#include <cwchar>

namespace {
// The device keywords of controller.xml for the ICP CON modules.
const wchar_t* const kKeywords[] = {L"ICP7041D", L"ICP7042D", L"ICP7044D", L"ICP7045D", L"ICP7052D",
                                    L"ICP7055D", L"ICP7017",  L"ICP7018",  L"ICP7033"};

bool IsKeyword(const std::wstring& keyword)
{
    for (const wchar_t* known : kKeywords)
        if (keyword == known)
            return true;
    return false;
}

// A module that names itself 7041 is the kind orvex calls ICP7041D.
std::wstring KeywordOf(const std::wstring& name)
{
    for (const std::wstring& keyword : {L"ICP" + name, L"ICP" + name + L"D"})
        if (IsKeyword(keyword))
            return keyword;
    return L"";
}

// A module's answer may hold anything: markup characters are escaped and control characters
// dropped, so the line stays well-formed XML.
std::wstring XmlText(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'&': escaped += L"&amp;"; break;
        case L'<': escaped += L"&lt;"; break;
        case L'>': escaped += L"&gt;"; break;
        case L'"': escaped += L"&quot;"; break;
        case L'-': escaped += escaped.empty() || escaped.back() != L'-' ? L"-" : L"&#45;"; break;  // no "--"
        default:
            if (c >= L' ')
                escaped += c;
        }
    }
    return escaped;
}

std::wstring PortId(const std::wstring& portName)
{
    const std::wstring device = L"\\\\.\\";
    return portName.compare(0, device.size(), device) == 0 ? portName.substr(device.size()) : portName;
}

struct Segment {
    std::wstring dcb;
    bool checksum;
    std::wstring name;
};

std::wstring PortLine(const Segment& segment, const std::wstring& id, int delay)
{
    return L"<port name=\"" + segment.name + L"\" id=\"" + XmlText(id) + L"\" dcb=\"" + XmlText(segment.dcb) +
           L"\" protocol=\"DCON\" delay=\"" + std::to_wstring(delay) + L"\" crc=\"off\" lrc=\"" +
           (segment.checksum ? L"on" : L"off") + L"\"/>";
}

std::wstring DeviceLine(const FoundModule& module, const std::wstring& segment)
{
    std::wstring keyword = KeywordOf(module.name);
    if (keyword.empty())
        return L"<!-- " + module.address + L" " + XmlText(module.name) + L": orvex has no device of this kind -->";
    return L"<device name=\"" + keyword + L"\" transport=\"" + segment + L"\" addres=\"" + module.address +
           L"\" description=\"ICP CON " + XmlText(module.name) + L"\"/>";
}
}  // namespace

std::wstring ModuleLine(const FoundModule& module)
{
    wchar_t head[64];
    _snwprintf(head, 64, L"%ls %-6ls %6d CRC %-3ls  ", module.address.c_str(), module.name.c_str(),
               _wtoi(module.dcb.c_str()), module.checksum ? L"ON" : L"OFF");
    head[63] = 0;
    ModuleConfig config;
    if (!ParseModuleConfig(module.configuration, module.address, config))
        return head + std::wstring(L"no configuration");
    return head + DescribeModuleConfig(config);
}

std::vector<std::wstring> ControllerXmlLines(const std::vector<FoundModule>& modules, const std::wstring& portName,
                                             int delay)
{
    std::vector<Segment> segments;
    std::vector<size_t> segmentOf;
    for (const FoundModule& module : modules) {
        size_t i = 0;
        while (i < segments.size() && !(segments[i].dcb == module.dcb && segments[i].checksum == module.checksum))
            ++i;
        if (i == segments.size())
            segments.push_back({module.dcb, module.checksum, L"seg" + std::to_wstring(i + 1)});
        segmentOf.push_back(i);
    }
    std::vector<std::wstring> lines;
    if (segments.size() > 1)
        lines.push_back(L"<!-- orvex opens a port once: these segments share " + XmlText(PortId(portName)) +
                        L", set their modules to one speed and checksum mode -->");
    for (const Segment& segment : segments)
        lines.push_back(PortLine(segment, PortId(portName), delay));
    for (size_t i = 0; i < modules.size(); ++i)
        lines.push_back(DeviceLine(modules[i], segments[segmentOf[i]].name));
    return lines;
}
