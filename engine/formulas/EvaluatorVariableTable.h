#pragma once
#include <string_view>
#include <unordered_map>
#include <vector>

// The evaluator's named values: a fixed number of slots, a slot free while its name is
// empty. Names are cut to 15 characters on every operation, so a longer name always meets
// the slot it was stored in. An index finds a name's slot at once: a pass sets every
// variable of the file, so a search through the slots would cost the square of their number.
class CEvaluatorVariableTable {
public:
    static constexpr int kSlots = 500;
    static constexpr int kNameSize = 15;

    CEvaluatorVariableTable() = default;
    CEvaluatorVariableTable(const CEvaluatorVariableTable&) = delete;  // the index points into the slots
    CEvaluatorVariableTable& operator=(const CEvaluatorVariableTable&) = delete;

    bool Find(const wchar_t* name, double& value) const;
    // Replaces any slot of that name; false when every slot is in use or the name is empty.
    bool Set(const wchar_t* name, double value);
    bool Clear(const wchar_t* name);

private:
    struct SName {
        constexpr explicit SName(const wchar_t* name)
        {
            for (int i = 0; name && i < kNameSize && name[i]; ++i)
                text[i] = name[i];
        }
        wchar_t text[kNameSize + 1] = {};
    };
    struct SSlot {
        SName name{nullptr};
        double value = 0.0;
    };

    int FindSlot(const SName& name) const;

    SSlot m_slots[kSlots];
    std::unordered_map<std::wstring_view, int> m_index;  // keys are the slots' own name texts
    std::vector<int> m_freed;                            // cleared slots, taken again first
    int m_end = 0;                                       // slots from here on have never been used
};
