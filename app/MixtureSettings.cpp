#include "MixtureSettings.h"
#include "CrtLocale.h"
#include "Dcon.h"
#include "DecimalComma.h"
#include "ModbusDevices.h"
#include <cstdio>

namespace {
const double kMaxSetPoint = 655.35;  // register 4 of the RRG-12 holds hundredths in 16 bits
}  // namespace

bool IsSettable(const CVariable& variable)
{
    if (!variable.formula.empty())
        return false;
    return variable.device ? variable.output != 0 : variable.name != L"Y0";
}

std::wstring SettingRefusal(const CVariable& variable, double value)
{
    if (!variable.device || !variable.output)
        return L"";
    if (dynamic_cast<const CDeviceRRG12*>(variable.device) && (value < 0.0 || value > kMaxSetPoint))
        return L"уставка РРГ-12 задаётся от 0 до 655,35";
    if (dynamic_cast<const CDCON*>(variable.device) && value != 0.0 && value != 1.0)
        return L"дискретный выход принимает только 0 или 1";
    return L"";
}

std::wstring SettingText(float value, wchar_t separator)
{
    static const CCrtLocale classic(LC_NUMERIC, "C");
    wchar_t text[64] = {};
    for (int digits = 6; digits <= 9; ++digits) {
        _snwprintf_l(text, 63, L"%.*g", classic, digits, double(value));
        double back = 0.0;
        if (ReadDecimal(text, back) && float(back) == value)
            break;
    }
    std::wstring result = text;
    for (wchar_t& c : result)
        if (c == L'.')
            c = separator;
    return result;
}
