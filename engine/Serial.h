#pragma once
#include "Transport.h"

// A segment on a Windows serial port (an RS485 converter on a COM port).
class CSerial : public virtual CTransport {
public:
    CSerial(const std::wstring& portId, const std::wstring& settings, const std::wstring& protocol, int delay);
    ~CSerial() override;

    bool Open() override;
    bool Transact(std::wstring& request, std::wstring& reply) override;
    bool TransactBinary(CFrameRecord& request, CFrameRecord& reply) override;
    bool SetPortId(const std::wstring& id) override;
    std::wstring GetPortId() override { return m_portId; }

    int Delay() const { return m_delay; }
    const std::wstring& Settings() const { return m_settings; }
    const std::wstring& Protocol() const { return m_protocol; }

    bool m_crc = false;   // stored with the port; changes no framing
    bool m_lrc = false;   // DCON checksum on this port

private:
    int m_delay;
    std::wstring m_portId;
    std::wstring m_settings;
    std::wstring m_protocol;
};
