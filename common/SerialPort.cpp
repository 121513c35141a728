#include "SerialPort.h"

namespace {
const DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
const size_t kShortestLongName = 5;  // "COM10"
}  // namespace

std::wstring CSerialPort::DevicePath(const std::wstring& name)
{
    if (name.size() < kShortestLongName || name.compare(0, 2, L"\\\\") == 0)
        return name;
    return L"\\\\.\\" + name;
}

bool CSerialPort::BuildDcb(const CSetup& setup, DCB& dcb)
{
    dcb = DCB{};
    dcb.DCBlength = sizeof dcb;
    bool ok = ::BuildCommDCBW(setup.settings.c_str(), &dcb) != FALSE;
    dcb.fBinary = TRUE;
    if (!setup.flowControlAsWritten) {
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fOutxCtsFlow = FALSE;
    }
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    return ok;
}

bool CSerialPort::Open(const std::wstring& name, DWORD flags)
{
    m_handle.Attach(::CreateFileW(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  flags, nullptr));
    return m_handle.IsValid();
}

bool CSerialPort::Configure(const CSetup& setup)
{
    // Settings that cannot be read are not applied in part.
    bool ok = BuildDcb(setup, m_dcb) && ::SetCommState(m_handle, &m_dcb);
    COMMPROP properties{};
    ok = ::GetCommProperties(m_handle, &properties) && ok;
    ok = ::SetCommMask(m_handle, setup.events) && ok;
    COMMTIMEOUTS timeouts = setup.timeouts;
    ok = ::SetCommTimeouts(m_handle, &timeouts) && ok;
    ok = ::SetupComm(m_handle, kQueueBytes, kQueueBytes) && ok;
    return Purge() && ok;
}

bool CSerialPort::Purge() { return ::PurgeComm(m_handle, kPurgeAll) != FALSE; }

void CSerialPort::Close()
{
    if (!m_handle.IsValid())
        return;
    Purge();
    m_handle.Close();
}
