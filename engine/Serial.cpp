#include "Serial.h"

CSerial::CSerial(const std::wstring& portId, const std::wstring& settings, const std::wstring& protocol, int delay)
    : m_delay(delay), m_portId(portId), m_settings(settings), m_protocol(protocol)
{
    name = portId;
}

CSerial::~CSerial() = default;

// The port itself comes with the serial I/O thread; until then it never opens.
bool CSerial::Open() { return false; }
bool CSerial::Transact(std::wstring&, std::wstring&) { return false; }
bool CSerial::TransactBinary(CFrameRecord&, CFrameRecord&) { return false; }

bool CSerial::SetPortId(const std::wstring& id)
{
    m_portId = id;
    return Open();
}
