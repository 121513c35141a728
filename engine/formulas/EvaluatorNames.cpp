#include "EvaluatorNames.h"
#include "EvaluatorScanner.h"
#include "EvaluatorVariableTable.h"
#include <map>
#include <set>

namespace {
constexpr size_t kNamesShown = 10;  // the most names a refusal lists

std::wstring Cut(const std::wstring& name) { return name.substr(0, CEvaluatorVariableTable::kNameSize); }

// The names that share the first 15 characters of another, two and more per group.
std::wstring Clash(const std::map<std::wstring, std::set<std::wstring>>& byCut)
{
    for (const auto& group : byCut) {
        if (group.second.size() < 2)
            continue;
        std::wstring names;
        for (const std::wstring& name : group.second)
            names += (names.empty() ? L"" : L", ") + name;
        return L"имена " + names + L" совпадают в первых 15 знаках («" + group.first +
               L"»), а формулы различают только 15 знаков имени";
    }
    return {};
}

std::wstring Overflow(const std::vector<std::wstring>& stored)
{
    std::wstring names;
    for (size_t i = CEvaluatorVariableTable::kSlots; i < stored.size() && i < CEvaluatorVariableTable::kSlots + kNamesShown; ++i)
        names += (names.empty() ? L"" : L", ") + stored[i];
    if (stored.size() > CEvaluatorVariableTable::kSlots + kNamesShown)
        names += L" …";
    return L"имён в переменных и формулах — " + std::to_wstring(stored.size()) + L", формулы держат не больше " +
           std::to_wstring(CEvaluatorVariableTable::kSlots) + L"; лишние: " + names;
}
}  // namespace

std::vector<SFormulaName> FormulaNames(const std::wstring& formula)
{
    std::vector<SFormulaName> names;
    CExprScanner scanner;
    scanner.Start(formula.c_str());
    while (scanner.Next() && scanner.Kind() != ETokenKind::End) {
        if (scanner.Kind() != ETokenKind::Name || scanner.Following() == L'(' || scanner.Token()[0] == L'_')
            continue;
        names.push_back({std::wstring(scanner.FullName()), scanner.Following() == L'='});
    }
    return names;
}

std::wstring EvaluatorNamesRefusal(const std::vector<std::wstring>& variables, const std::vector<std::wstring>& formulas)
{
    std::map<std::wstring, std::set<std::wstring>> byCut;
    std::set<std::wstring> slots;
    std::vector<std::wstring> stored;  // a name per slot, in the order the slots are first taken
    auto note = [&](const std::wstring& name, bool stores) {
        byCut[Cut(name)].insert(name);
        if (stores && slots.insert(Cut(name)).second)
            stored.push_back(name);
    };
    for (const std::wstring& name : variables)
        note(name, true);
    for (const std::wstring& formula : formulas)
        for (const SFormulaName& name : FormulaNames(formula))
            note(name.name, name.assigned);
    std::wstring clash = Clash(byCut);
    if (!clash.empty())
        return clash;
    return stored.size() > CEvaluatorVariableTable::kSlots ? Overflow(stored) : std::wstring();
}
