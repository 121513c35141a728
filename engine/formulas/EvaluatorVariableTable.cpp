#include "EvaluatorVariableTable.h"

int CEvaluatorVariableTable::FindSlot(const SName& name) const
{
    auto it = m_index.find(name.text);
    return it == m_index.end() ? -1 : it->second;
}

bool CEvaluatorVariableTable::Find(const wchar_t* name, double& value) const
{
    int i = FindSlot(SName(name));
    if (i < 0)
        return false;
    value = m_slots[i].value;
    return true;
}

bool CEvaluatorVariableTable::Set(const wchar_t* name, double value)
{
    SName cut(name);
    if (!cut.text[0])
        return false;
    // A name is never stored twice, so the slot it has can simply take the new value.
    int slot = FindSlot(cut);
    if (slot < 0) {
        if (!m_freed.empty()) {
            slot = m_freed.back();
            m_freed.pop_back();
        } else if (m_end < kSlots) {
            slot = m_end++;
        } else {
            return false;
        }
        m_slots[slot].name = cut;
        m_index.emplace(m_slots[slot].name.text, slot);
    }
    m_slots[slot].value = value;
    return true;
}

bool CEvaluatorVariableTable::Clear(const wchar_t* name)
{
    int i = FindSlot(SName(name));
    if (i < 0)
        return false;
    m_index.erase(m_slots[i].name.text);
    m_slots[i].name = SName(nullptr);
    m_freed.push_back(i);
    return true;
}
