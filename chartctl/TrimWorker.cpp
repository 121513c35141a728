#include "TrimWorker.h"
#include "ComPtr.h"

CTrimWorker::CTrimWorker(CChartModel& model, std::function<void()> repaint)
    : m_model(model), m_repaint(std::move(repaint))
{
}

bool CTrimWorker::Start()
{
    if (!m_stopEvent.IsValid() || !m_trimEvent.IsValid())
        return false;
    return m_thread.Start([this] { Run(); });
}

void CTrimWorker::Stop()
{
    if (!m_thread.IsValid())
        return;
    m_stopEvent.Set();
    m_thread.Wait();
}

void CTrimWorker::Run()
{
    CComApartment apartment;
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
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
