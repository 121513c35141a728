#pragma once

using EvalFunction = double (*)(double);

// The functions of the formula language, all of one argument; case-sensitive names.
// Null for a name that is not one of them.
EvalFunction FindEvaluatorFunction(const wchar_t* name);
