#include "AppModule.h"

CAppModule g_module;

CMessageLoop* CAppModule::GetMessageLoop() const
{
    auto it = m_loops.find(::GetCurrentThreadId());
    return it == m_loops.end() ? nullptr : it->second;
}
