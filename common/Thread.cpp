#include "Thread.h"
#include <process.h>

bool CThread::Start(std::function<void()> body)
{
    Wait();
    m_body = std::move(body);
    m_handle.Attach(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Run, this, 0, nullptr)));
    return m_handle.IsValid();
}

void CThread::Wait()
{
    if (m_handle.IsValid())
        ::WaitForSingleObject(m_handle, INFINITE);
    m_handle.Close();
}

unsigned __stdcall CThread::Run(void* self)
{
    static_cast<CThread*>(self)->m_body();
    return 0;
}
