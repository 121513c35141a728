#include "EvalVariableTable.h"
#include <cwchar>

int CEvalVariableTable::FindSlot(const SName& name) const
{
    if (!name.text[0])
        return -1;
    for (int i = 0; i < m_end; ++i) {
        if (std::wcscmp(m_slots[i].name.text, name.text) == 0)
            return i;
    }
    return -1;
}

bool CEvalVariableTable::Find(const wchar_t* name, double& value) const
{
    int i = FindSlot(SName(name));
    if (i < 0)
        return false;
    value = m_slots[i].value;
    return true;
}

bool CEvalVariableTable::Set(const wchar_t* name, double value)
{
    SName cut(name);
    if (!cut.text[0])
        return false;
    // A name is never stored twice, so the slot it has can simply take the new value.
    int found = FindSlot(cut);
    if (found >= 0) {
        m_slots[found].value = value;
        return true;
    }
    for (int i = 0; i < kSlots; ++i) {
        if (!m_slots[i].name.text[0]) {
            m_slots[i].name = cut;
            m_slots[i].value = value;
            m_end = i + 1 > m_end ? i + 1 : m_end;
            return true;
        }
    }
    return false;
}

bool CEvalVariableTable::Clear(const wchar_t* name)
{
    int i = FindSlot(SName(name));
    if (i < 0)
        return false;
    m_slots[i].name = SName(nullptr);
    return true;
}
