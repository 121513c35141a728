#pragma once
#include <string>
#include <vector>

// What a configuration asks of the evaluator's table of names, checked before the first pass:
// the table keeps 15 characters of a name in a fixed number of slots.

// A name a formula reads or assigns, as the formula writes it (not cut). Function names and
// environment names ("_PATH") are not in the table and are left out.
struct SFormulaName {
    std::wstring name;
    bool assigned;  // stands before "=": the formula stores it
};

// The names of one formula, in order, up to the first character the scanner refuses.
std::vector<SFormulaName> FormulaNames(const std::wstring& formula);

// Why the table cannot hold the names apart, in words naming them; empty when it can. Two names
// that agree in their first 15 characters would share a slot (a formula would read the other's
// value); more names stored than the table has slots would fail the formulas that store the rest.
// `variables`: the configuration's variables, stored by the engine before every pass; `formulas`:
// the prologue, the epilogue and the formulas of the variables.
std::wstring EvaluatorNamesRefusal(const std::vector<std::wstring>& variables, const std::vector<std::wstring>& formulas);
