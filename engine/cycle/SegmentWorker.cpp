#include "SegmentWorker.h"
#include "Device.h"

CSegmentWorker::CSegmentWorker(CTransport* transport, const std::vector<CDevice*>& allDevices)
    : m_transport(transport)
{
    for (CDevice* device : allDevices)
        if (device->transport == transport)
            m_devices.push_back(device);
    m_thread.Start([this] { Run(); });
}

CSegmentWorker::~CSegmentWorker()
{
    m_quit.Set();
    m_thread.Wait();
}

void CSegmentWorker::Run()
{
    const HANDLE events[] = {m_quit, m_read, m_write};
    for (;;) {
        DWORD which = ::WaitForMultipleObjects(3, events, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0 + 1) {
            int result = 1;
            for (CDevice* device : m_devices)
                result &= device->ReadInputs() ? 1 : 0;  // every device is asked, also after a failure
            m_readResult = result;
        } else if (which == WAIT_OBJECT_0 + 2) {
            int result = 1;
            for (CDevice* device : m_devices)
                result &= device->WriteOutputs() ? 1 : 0;
            m_writeResult = result;
        } else {
            return;
        }
        m_done.Set();
    }
}
