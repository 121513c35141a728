#include "TrimWorker.h"
#include "ComPtr.h"
#include <process.h>

CTrimWorker::CTrimWorker(CChartModel& model, std::function<void()> repaint)
    : m_model(model), m_repaint(std::move(repaint))
{
}

bool CTrimWorker::Start()
{
    if (!m_stopEvent.IsValid() || !m_trimEvent.IsValid())
        return false;
    m_thread.Attach(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadProc, this, 0, nullptr)));
    return m_thread.IsValid();
}

void CTrimWorker::Stop()
{
    if (!m_thread.IsValid())
        return;
    m_stopEvent.Set();
    ::WaitForSingleObject(m_thread, INFINITE);
    m_thread.Close();
}

unsigned __stdcall CTrimWorker::ThreadProc(void* self)
{
    CComApartment apartment;
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    static_cast<CTrimWorker*>(self)->Run();
    return 0;
}

void CTrimWorker::Run()
{
    const HANDLE events[2] = {m_stopEvent, m_trimEvent};
    while (::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
        Trim();
}

void CTrimWorker::Trim()
{
    for (LONGLONG n = m_model.BeginTrim(); n > 0; --n) {
        m_model.DropOldest();
        m_repaint();
        ::Sleep(1);
    }
    m_model.EndTrim();
}
