#include "Pipe.h"

CPipe::CPipe(const std::wstring& path) : m_path(path.substr(0, 511))
{
    name = m_path;
}

CPipe::~CPipe() = default;

// The pipe server comes with its own thread; until then exchanges fail.
bool CPipe::Transact(std::wstring&, std::wstring&) { return false; }
bool CPipe::TransactBinary(CFrameRecord&, CFrameRecord&) { return false; }
