#include "AxModule.h"

std::wstring CAxModule::Path() const
{
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(m_instance, path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}

CAxModule& AxModule()
{
    static CAxModule module;
    return module;
}
