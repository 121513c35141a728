#include "ModbusDevices.h"
#include "ModbusFrame.h"

namespace {
bool Exchange(CTransport* transport, CFrameRecord& request, CFrameRecord& reply)
{
    return transport && transport->TransactBinary(request, reply);
}
}  // namespace

CDeviceIVA8::CDeviceIVA8() : CDevice(12, L"IVA8", L"Гигрометр ИВА-8", 1, 0, TagBoolean) {}

bool CDeviceIVA8::TestLink()
{
    BuildLinkTest(m_request);
    return Exchange(transport, m_request, m_reply);
}

// A silent or garbled instrument must not stop the pass: the reading then keeps its last value.
bool CDeviceIVA8::ReadInputs()
{
    BuildIva8Read(m_request, 0x0200);
    Exchange(transport, m_request, m_reply);
    float reading = 0.0f;
    if (DecodeIva8Reading(m_reply, reading))
        inputs[0].SetFloat(reading);
    return true;
}

bool CDeviceIVA8::WriteOutputs() { return true; }
bool CDeviceIVA8::ResetStatus() { return false; }

CDeviceRRG12::CDeviceRRG12() : CDevice(13, L"RRG12", L"Измеритель-регулятор расхода газа", 2, 1, TagBoolean) {}

bool CDeviceRRG12::TestLink()
{
    BuildLinkTest(m_request);
    return Exchange(transport, m_request, m_reply);
}

bool CDeviceRRG12::ReadInputs()
{
    BuildReadHolding(m_request, ModbusAddress(), 4, 2);
    Exchange(transport, m_request, m_reply);
    float flow = 0.0f, second = 0.0f;
    if (DecodeRrg12Readings(m_reply, flow, second)) {
        inputs[0].SetFloat(flow);
        inputs[1].SetFloat(second);
    }
    return true;
}

bool CDeviceRRG12::WriteOutputs()
{
    if (m_setPointTimer.Milliseconds() / 1000.0 <= kSetPointSeconds)
        return true;
    m_setPointTimer.Restart();
    auto value = uint16_t(int(outputs[0].payload.f * 100.0f));
    BuildWriteRegister(m_request, ModbusAddress(), 4, value);
    return Exchange(transport, m_request, m_reply);
}

bool CDeviceRRG12::ResetStatus() { return false; }
