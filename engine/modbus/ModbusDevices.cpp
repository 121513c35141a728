#include "ModbusDevices.h"
#include "ModbusExchange.h"
#include <cmath>

namespace {
// The exchange succeeds only with the asked instrument's answer.
bool Exchange(CTransport* transport, CFrameRecord& request, CFrameRecord& reply)
{
    return transport && TransactBinary(*transport, request, reply) && ModbusAnswers(request, reply);
}
}  // namespace

CDeviceIVA8::CDeviceIVA8() : CDevice(12, kKeyword, L"Гигрометр ИВА-8", 1, 0, TagBoolean) {}

// The broadcast link test still goes out, but instruments do not answer broadcasts: the link is
// good when the instrument answers its own read with a checked frame.
bool CDeviceIVA8::TestLink()
{
    BuildLinkTest(m_request);
    Exchange(transport, m_request, m_reply);
    float reading = 0.0f;
    return Poll(reading);
}

// A silent or garbled instrument must not stop the pass: the reading then keeps its last value.
bool CDeviceIVA8::ReadInputs()
{
    float reading = 0.0f;
    if (Poll(reading))
        inputs[0].SetFloat(reading);
    return true;
}

bool CDeviceIVA8::Poll(float& reading)
{
    return Repeated([&] {
        BuildIva8Read(m_request, 0x0200);
        return Exchange(transport, m_request, m_reply) && DecodeIva8Reading(m_reply, reading);
    });
}

bool CDeviceIVA8::WriteOutputs() { return true; }
bool CDeviceIVA8::ResetStatus() { return false; }

CDeviceRRG12::CDeviceRRG12() : CDevice(13, kKeyword, L"Измеритель-регулятор расхода газа", 2, 1, TagBoolean) {}

bool CDeviceRRG12::TestLink()
{
    BuildLinkTest(m_request);
    Exchange(transport, m_request, m_reply);
    float flow = 0.0f, second = 0.0f;
    return Poll(flow, second);
}

bool CDeviceRRG12::ReadInputs()
{
    float flow = 0.0f, second = 0.0f;
    if (Poll(flow, second)) {
        inputs[0].SetFloat(flow);
        inputs[1].SetFloat(second);
    }
    return true;
}

bool CDeviceRRG12::Poll(float& flow, float& second)
{
    return Repeated([&] {
        BuildReadHolding(m_request, ModbusAddress(), 4, 2);
        return Exchange(transport, m_request, m_reply) && DecodeRrg12Readings(m_reply, flow, second);
    });
}

// A set point that is not a finite number is not sent: the regulator keeps the last one it got,
// the pass goes on, and the next number goes out without the 5 s pause.
bool CDeviceRRG12::WriteOutputs()
{
    if (m_setPointTimer.Milliseconds() / 1000.0 <= kSetPointSeconds)
        return true;
    double setPoint = outputs[0].AsNumber();
    if (!std::isfinite(setPoint))
        return true;
    m_setPointTimer.Restart();
    return Repeated([&] {
        BuildWriteRegister(m_request, ModbusAddress(), 4, Rrg12SetPointValue(setPoint));
        return Exchange(transport, m_request, m_reply);
    });
}

bool CDeviceRRG12::ResetStatus() { return false; }
