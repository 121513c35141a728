#include "Evaluator.h"
#include "DecimalComma.h"
#include "EvaluatorFunctions.h"
#include "EvaluatorScanner.h"
#include <cmath>
#include <cwchar>

namespace {

const wchar_t* const kErrorTexts[] = {
    L"Syntax error",
    L"Unbalanced parenthesis",
    L"Division by zero",
    L"Unknown variable",
    L"Maximum variables exceeded",
    L"Unrecognised funtion",
    L"Wrong number of arguments to funtion",
    L"Missing an argument",
    L"Empty expression",
};

// Recursive descent over the scanner's tokens. Every rule returns false once an error has
// been recorded, and every caller returns at once, so the first error ends the evaluation.
class CExprParser {
public:
    int Run(const wchar_t* text, double& value, int& assigned);
    int ErrorPosition() const { return m_errorPosition; }
    const wchar_t* ErrorToken() const { return m_errorToken; }

private:
    static constexpr int kMaxArguments = 4;

    bool Fail(int code);
    bool Advance() { return m_scanner.Next() || Fail(kEvalSyntax); }
    bool Statement(double& value, bool& assigned);
    bool Assignment(double& value);
    bool Expression(double& value);
    bool Term(double& value);
    bool Power(double& value);
    bool Unary(double& value);
    bool Primary(double& value);
    bool Parenthesised(double& value);
    bool Call(double& value);

    CExprScanner m_scanner;
    int m_depth = 0;
    int m_error = kEvalOk;
    int m_errorPosition = 0;
    wchar_t m_errorToken[CExprScanner::kTokenSize + 1] = {};
};

CExprParser g_parser;

int CExprParser::Run(const wchar_t* text, double& value, int& assigned)
{
    m_error = kEvalOk;
    m_errorPosition = 0;
    m_errorToken[0] = 0;
    m_depth = 0;
    value = 0.0;
    assigned = 0;
    m_scanner.Start(text);
    if (!Advance())
        return m_error;
    if (m_scanner.Kind() == ETokenKind::End) {
        Fail(kEvalEmpty);
        return m_error;
    }
    double result = 0.0;
    bool wasAssignment = false;
    if (!Statement(result, wasAssignment))
        return m_error;
    value = result;
    assigned = wasAssignment ? 1 : 0;
    return kEvalOk;
}

// The position is that of the character before the scan position (0 for an empty text).
bool CExprParser::Fail(int code)
{
    m_error = code;
    size_t position = m_scanner.Position();
    m_errorPosition = position > 0 ? int(position - 1) : 0;
    std::wcscpy(m_errorToken, m_scanner.Token());
    return false;
}

// The depth bound keeps hostile formulas ("((((...") off the end of the thread's stack.
bool CExprParser::Statement(double& value, bool& assigned)
{
    if (m_depth >= kEvaluatorMaxNesting)
        return Fail(kEvalSyntax);
    ++m_depth;
    assigned = m_scanner.Kind() == ETokenKind::Name && m_scanner.Following() == L'=';
    bool ok = assigned ? Assignment(value) : Expression(value);
    --m_depth;
    return ok;
}

// "name = expression" stores the value; "name =" at the end of the text removes the name.
bool CExprParser::Assignment(double& value)
{
    wchar_t name[CExprScanner::kTokenSize + 1];
    std::wcscpy(name, m_scanner.Token());
    if (!Advance() || !Advance())
        return false;
    if (m_scanner.Kind() == ETokenKind::End) {
        ClearVariable(name);
        value = 0.0;
        return true;
    }
    if (!Expression(value))
        return false;
    return SetVariable(name, value) || Fail(kEvalTableFull);
}

bool CExprParser::Expression(double& value)
{
    if (!Term(value))
        return false;
    while (m_scanner.Is(L'+') || m_scanner.Is(L'-')) {
        bool add = m_scanner.Is(L'+');
        double right = 0.0;
        if (!Advance() || !Term(right))
            return false;
        value = add ? value + right : value - right;
    }
    return true;
}

bool CExprParser::Term(double& value)
{
    if (!Power(value))
        return false;
    while (m_scanner.Is(L'*') || m_scanner.Is(L'/') || m_scanner.Is(L'%')) {
        wchar_t op = m_scanner.Token()[0];
        double right = 0.0;
        if (!Advance() || !Power(right))
            return false;
        if (op != L'*' && right == 0.0)
            return Fail(kEvalDivisionByZero);
        value = op == L'*' ? value * right : op == L'/' ? value / right : std::fmod(value, right);
    }
    return true;
}

// One "^" at most: in 2^3^2 the second "^" is left unread, and so is the rest of the text.
bool CExprParser::Power(double& value)
{
    if (!Unary(value))
        return false;
    if (!m_scanner.Is(L'^'))
        return true;
    double exponent = 0.0;
    if (!Advance() || !Unary(exponent))
        return false;
    value = std::pow(value, exponent);
    return true;
}

// The sign belongs to its operand before "^" is applied: -2^2 is 4.
bool CExprParser::Unary(double& value)
{
    bool negate = m_scanner.Is(L'-');
    if ((negate || m_scanner.Is(L'+')) && !Advance())
        return false;
    if (!Primary(value))
        return false;
    if (negate)
        value = -value;
    return true;
}

bool CExprParser::Primary(double& value)
{
    if (m_scanner.Is(L'('))
        return Parenthesised(value);
    switch (m_scanner.Kind()) {
    case ETokenKind::Number:
        value = DecimalCommaToDouble(m_scanner.Token());
        return Advance();
    case ETokenKind::Name:
        if (m_scanner.Following() == L'(')
            return Call(value);
        if (!GetVariable(m_scanner.Token(), value))
            return Fail(kEvalUnknownVariable);
        return Advance();
    default:
        return Fail(kEvalSyntax);
    }
}

bool CExprParser::Parenthesised(double& value)
{
    if (!Advance())
        return false;
    if (m_scanner.Is(L')'))
        return Fail(kEvalMissingArgument);
    bool assigned = false;
    if (!Statement(value, assigned))
        return false;
    if (!m_scanner.Is(L')'))
        return Fail(kEvalParenthesis);
    return Advance();
}

// Up to four arguments are read; the token after the last one is taken as the ")" unseen.
bool CExprParser::Call(double& value)
{
    EvalFunction function = FindEvaluatorFunction(m_scanner.Token());
    if (!function)
        return Fail(kEvalUnknownFunction);
    if (!Advance() || !Advance())
        return false;
    double arguments[kMaxArguments] = {};
    int count = 0;
    for (;;) {
        if (m_scanner.Is(L')') || m_scanner.Is(L','))
            return Fail(kEvalMissingArgument);
        bool assigned = false;
        if (!Statement(arguments[count++], assigned))
            return false;
        if (!m_scanner.Is(L',') || count == kMaxArguments)
            break;
        if (!Advance())
            return false;
    }
    if (!Advance())
        return false;
    if (count != 1)
        return Fail(kEvalArgumentCount);
    value = function(arguments[0]);
    return true;
}

}  // namespace

int Evaluate(const wchar_t* text, double& value, int& assigned)
{
    return g_parser.Run(text, value, assigned);
}

int EvaluatorErrorPosition()
{
    return g_parser.ErrorPosition();
}

const wchar_t* EvaluatorErrorToken()
{
    return g_parser.ErrorToken();
}

const wchar_t* EvaluatorErrorText(int code)
{
    return code >= 1 && code <= int(sizeof kErrorTexts / sizeof kErrorTexts[0]) ? kErrorTexts[code - 1] : L"";
}

std::wstring FormatEvaluatorError(int code)
{
    return L" " + std::to_wstring(EvaluatorErrorPosition()) + L": " + EvaluatorErrorText(code);
}
