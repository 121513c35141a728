#pragma once
#include "Device.h"
#include <string>

// The DCON side shared by the ICP CON 7000 modules: builds each command from a lead
// character, the address text and a body, exchanges it through the segment's transport and
// turns the replies into values. A failed exchange or an unusable reply fails the operation and
// leaves values as they were.
class CDCON : public virtual CDevice {
public:
    ~CDCON() override = default;

    // The reply of the last exchange, as the transport left it.
    const std::wstring& LastReply() const { return m_reply; }

protected:
    // A command whose answer `usable` accepts: sent, and sent once more when the answer is
    // missing, spoilt on the line or not of the expected form.
    template <class Usable>
    bool Command(wchar_t lead, const std::wstring& body, Usable usable)
    {
        return Repeated([&] { return Exchange(lead, body) && usable(m_reply); });
    }
    // A command that the addressed module must answer with "!" AA.
    bool AddressedCommand(wchar_t lead, const std::wstring& body);
    // "~AA1" (when the module has a status to reset), then "$AAM", then "$AAC0".."$AAC<counters-1>".
    bool TestLinkCommands(bool resetStatus, int counters = 0);
    bool ResetStatusCommand() { return AddressedCommand(L'~', L"1"); }
    // "@AA"; inverted: a cleared status bit reads as 1.
    bool ReadDigital(bool inverted);
    bool ReadCounter();
    bool ReadAnalog();
    // "@AA" with the outputs as 2 or 4 hex digits.
    bool WriteDigital(int digits);

private:
    bool Exchange(wchar_t lead, const std::wstring& body);

    std::wstring m_request;
    std::wstring m_reply;
};
