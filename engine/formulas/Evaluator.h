#pragma once
#include <string>

// The formula language of the prologue, the epilogue and the computed variables: double
// values, the decimal comma, one process-wide table of named values. Not re-entrant: the
// acquisition pass is the one caller and holds the acquisition lock.

// Error codes returned by Evaluate; EvaluatorErrorText gives their texts.
enum EEvaluatorError {
    kEvalOk = 0,
    kEvalSyntax = 1,  // also a formula nested deeper than kEvaluatorMaxNesting
    kEvalParenthesis = 2,
    kEvalDivisionByZero = 3,
    kEvalUnknownVariable = 4,
    kEvalTableFull = 5,
    kEvalUnknownFunction = 6,
    kEvalArgumentCount = 7,
    kEvalMissingArgument = 8,
    kEvalEmpty = 9,
};

// Statements (the whole formula, parentheses, function arguments) nested in one another.
constexpr int kEvaluatorMaxNesting = 100;

int Evaluate(const wchar_t* text, double& value, int& assigned);
bool GetVariable(const wchar_t* name, double& value);
bool SetVariable(const wchar_t* name, double value);
bool ClearVariable(const wchar_t* name);

int EvaluatorErrorPosition();
const wchar_t* EvaluatorErrorToken();
const wchar_t* EvaluatorErrorText(int code);
std::wstring FormatEvaluatorError(int code);
