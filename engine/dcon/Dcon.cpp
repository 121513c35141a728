#include "Dcon.h"
#include "DconReplies.h"
#include "DconExchange.h"
#include <cwchar>

bool CDCON::Exchange(wchar_t lead, const std::wstring& body)
{
    m_request = lead + address + body;
    m_reply.clear();
    return transport && Transact(*transport, m_request, m_reply);
}

bool CDCON::AddressedCommand(wchar_t lead, const std::wstring& body)
{
    return Command(lead, body, [&](const std::wstring& reply) { return IsAddressedReply(reply, address); });
}

bool CDCON::TestLinkCommands(bool resetStatus, int counters)
{
    bool result = true;
    if (resetStatus)
        result &= ResetStatusCommand();
    result &= AddressedCommand(L'$', L"M");
    for (int n = 0; n < counters; ++n) {
        wchar_t body[10];
        _snwprintf(body, 10, L"C%X", n);
        result &= AddressedCommand(L'$', body);
    }
    return result;
}

bool CDCON::ReadDigital(bool inverted)
{
    uint32_t status = 0;
    if (!Command(L'@', L"", [&](const std::wstring& reply) { return ParseDigitalStatus(reply, status); }))
        return false;
    for (size_t i = 0; i < inputs.size(); ++i)
        inputs[i].SetInteger(int((status >> i & 1) ^ (inverted ? 1 : 0)));
    return true;
}

bool CDCON::ReadCounter()
{
    wchar_t channel[10];
    _snwprintf(channel, 10, L"%X", 0);
    int count = 0;
    if (inputs.empty() || !Command(L'#', channel, [&](const std::wstring& reply) { return ParseCounter(reply, count); }))
        return false;
    inputs[0].SetInteger(count);
    return true;
}

bool CDCON::ReadAnalog()
{
    std::vector<float> values;
    if (!Command(L'#', L"", [&](const std::wstring& reply) { return ParseAnalog(reply, inputs.size(), values); }))
        return false;
    for (size_t i = 0; i < inputs.size(); ++i)
        inputs[i].SetFloat(values[i]);
    return true;
}

bool CDCON::WriteDigital(int digits)
{
    std::vector<bool> on;
    for (const CValue& output : outputs)
        on.push_back(output.AsNumber() != 0.0);  // by its tag: a float -0,0 is off
    return Command(L'@', DigitalOutputData(on, digits), IsOutputSet);
}
