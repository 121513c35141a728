#include "PollWorker.h"
#include "ComPtr.h"
#include <process.h>

bool CPollWorker::Start(DWORD period, DISPID valueId)
{
    Stop();
    m_period = period;
    m_valueId = valueId;
    m_pollStop.Attach(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!m_pollStop.IsValid())
        return false;
    m_thread.Attach(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadProc, this, 0, nullptr)));
    if (!m_thread.IsValid())
        m_pollStop.Close();
    return m_thread.IsValid();
}

void CPollWorker::Stop()
{
    if (!m_thread.IsValid())
        return;
    ::SetEvent(m_pollStop);
    HANDLE thread = m_thread;
    DWORD index;
    if (::CoWaitForMultipleHandles(0, INFINITE, 1, &thread, &index) == CO_E_NOTINITIALIZED)
        ::WaitForSingleObject(thread, INFINITE);
    m_thread.Close();
    m_pollStop.Close();
}

unsigned __stdcall CPollWorker::ThreadProc(void* self)
{
    CComApartment apartment;
    static_cast<CPollWorker*>(self)->Run();
    return 0;
}

void CPollWorker::Run()
{
    for (;;) {
        const DWORD wait = ::WaitForSingleObject(m_pollStop, m_period);
        if (wait == WAIT_OBJECT_0)
            return;
        if (wait == WAIT_TIMEOUT)
            m_tick(m_valueId);
    }
}
