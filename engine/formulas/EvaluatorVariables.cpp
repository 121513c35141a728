#include "DecimalComma.h"
#include "Evaluator.h"
#include "EvaluatorVariableTable.h"
#include <cstdlib>
#include <cwchar>

namespace {

CEvaluatorVariableTable g_variables;

struct SConstant {
    const wchar_t* name;
    double value;
};

const SConstant kConstants[] = {{L"pi", 3.141592653589793}, {L"e", 2.718281828459045}};

// "_NAME" reads the environment variable NAME; the table is not searched for it.
bool GetEnvironmentValue(const wchar_t* name, double& value)
{
    wchar_t cut[CEvaluatorVariableTable::kNameSize + 1] = {};
    std::wcsncpy(cut, name, CEvaluatorVariableTable::kNameSize);
    const wchar_t* text = cut[1] ? _wgetenv(cut + 1) : nullptr;
    if (!text)
        return false;
    value = DecimalCommaToDouble(text);
    return true;
}

}  // namespace

bool GetVariable(const wchar_t* name, double& value)
{
    if (!name)
        return false;
    if (name[0] == L'_')
        return GetEnvironmentValue(name, value);
    if (g_variables.Find(name, value))
        return true;
    for (const SConstant& c : kConstants) {
        if (std::wcscmp(c.name, name) == 0) {
            value = c.value;
            return true;
        }
    }
    return false;
}

bool SetVariable(const wchar_t* name, double value)
{
    return g_variables.Set(name, value);
}

bool ClearVariable(const wchar_t* name)
{
    return g_variables.Clear(name);
}
