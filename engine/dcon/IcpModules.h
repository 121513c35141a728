#pragma once
#include "Dcon.h"
#include <cstdint>
#include <string>

// The reply form of a module's read: "@AA" status bits (as sent, or inverted: a cleared bit reads
// as 1), "#AAN" counter, "#AA" analog fields; None for a module without inputs.
enum class IcpRead { None, Digital, DigitalInverted, Counter, Analog };

// One kind of ICP CON 7000 module: everything that tells the nine apart.
struct CIcpModuleRow {
    const wchar_t* keyword;      // the device's name in controller.xml
    int kind;                    // the kind code
    uint16_t inputs;             // channels
    uint16_t outputs;
    int initialTag;              // the tag of its values before the first reading
    IcpRead read;
    int outputDigits;            // hexadecimal digits of "@AA" output data; 0: nothing to write
    bool resetsStatus;           // its link test starts with "~AA1"
    int counters;                // its link test clears counters 0 to counters - 1 ("$AACN")
    const wchar_t* description;  // the built-in description
};

// The row of a keyword; null for one that names no ICP CON module.
const CIcpModuleRow* FindIcpModule(const std::wstring& keyword);

// An ICP CON 7000 module, as its row describes it. A phase it has no channels for succeeds
// without an exchange.
class CIcpModule : public CDCON {
public:
    explicit CIcpModule(const CIcpModuleRow& row);
    bool TestLink() override;
    bool ReadInputs() override;
    bool WriteOutputs() override;
    bool ResetStatus() override;

private:
    const CIcpModuleRow& m_row;
};
