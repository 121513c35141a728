#include "PollWorker.h"
#include "ComPtr.h"

bool CPollWorker::Start(DWORD period, DISPID valueId)
{
    Stop();
    m_period = period;
    m_valueId = valueId;
    m_pollStop.Attach(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!m_pollStop.IsValid())
        return false;
    if (!m_thread.Start([this] { Run(); }))
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

void CPollWorker::Run()
{
    CComApartment apartment;
    for (;;) {
        const DWORD wait = ::WaitForSingleObject(m_pollStop, m_period);
        if (wait == WAIT_OBJECT_0)
            return;
        if (wait == WAIT_TIMEOUT)
            m_tick(m_valueId);
    }
}
