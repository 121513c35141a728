#include "LineScan.h"
#include "DconBaud.h"
#include <cstdio>

bool CLineScan::Run(const ScanRequest& request)
{
    const std::wstring dcb = m_port.Dcb();
    const bool checksum = m_port.Checksum();
    bool whole = true;
    if (!request.allSpeeds) {
        whole = ScanAt(dcb, request);
    } else {
        for (unsigned baud : kDconSpeeds) {
            std::wstring speedDcb = std::to_wstring(baud) + L",n,8,1";
            // A speed the port refuses is passed by; the port is tried again at the next one.
            if (m_port.SetDcb(speedDcb) && !ScanAt(speedDcb, request)) {
                whole = false;
                break;
            }
        }
        m_port.SetDcb(dcb);
    }
    m_port.SetChecksum(checksum);
    ClearProgress();
    return whole;
}

bool CLineScan::ScanAt(const std::wstring& dcb, const ScanRequest& request)
{
    for (unsigned address = request.first; address <= request.last; ++address) {
        wchar_t digits[4];
        _snwprintf(digits, 4, L"%02X", address);
        digits[3] = 0;
        for (bool checksum : {false, true}) {
            ShowProgress(dcb, address, checksum);
            if (m_watch.StopAsked())
                return false;
            Probe(digits, checksum, dcb);
        }
    }
    return true;
}

void CLineScan::Probe(const std::wstring& address, bool checksum, const std::wstring& dcb)
{
    m_port.SetChecksum(checksum);
    std::wstring name = Ask(address, L"M");
    if (name.empty())
        return;
    FoundModule module{address, name.substr(3), dcb, checksum, Ask(address, L"2")};
    m_found.push_back(module);
    ClearProgress();
    wprintf(L"%ls\n", ModuleLine(module).c_str());
}

std::wstring CLineScan::Ask(const std::wstring& address, const wchar_t* body)
{
    std::wstring command = L"$" + address + body;
    std::wstring reply;
    if (!m_port.Transact(command, reply))
        return L"";
    while (!reply.empty() && (reply.back() == L'\r' || reply.back() == L'\n'))
        reply.pop_back();
    return reply.compare(0, 3, L"!" + address) == 0 ? reply : L"";
}

// The line ends in a carriage return, so the next progress or module line is written over it.
void CLineScan::ShowProgress(const std::wstring& dcb, unsigned address, bool checksum)
{
    wprintf(L"SCAN %6d BAUD, CRC %-3ls, ADDRESS %02X, FOUND %u\r", _wtoi(dcb.c_str()), checksum ? L"ON" : L"OFF",
            address, unsigned(m_found.size()));
    fflush(stdout);
}

void CLineScan::ClearProgress()
{
    wprintf(L"%-60ls\r", L"");
}
