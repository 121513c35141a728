#pragma once
#include "ChartModel.h"
#include "Event.h"
#include "Thread.h"
#include <functional>

// The thread that drops the older half of the history once it outgrows the span: one sample
// per step, a repaint request after each and a 1 ms pause, so the trend and its grid scroll.
class CTrimWorker {
public:
    CTrimWorker(CChartModel& model, std::function<void()> repaint);
    ~CTrimWorker() { Stop(); }
    CTrimWorker(const CTrimWorker&) = delete;
    CTrimWorker& operator=(const CTrimWorker&) = delete;

    bool Start();
    void Wake() { m_trimEvent.Set(); }
    // Ends the thread and waits for it; safe to call more than once.
    void Stop();

private:
    void Run();
    void Trim();

    CChartModel& m_model;
    std::function<void()> m_repaint;
    CEvent m_stopEvent;
    CEvent m_trimEvent;
    CThread m_thread;
};
