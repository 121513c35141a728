#pragma once
#include "Handle.h"
#include <string>

// The request log: one line per request, "seconds<TAB>request<TAB>reply<TAB>waited", and
// "<TAB>fault" when a fault was injected into the reply ("silent", "late:100", ...), written
// through at once so that a test can read it while the simulator runs. seconds: when the simulator
// took the request; waited: how long (ms) before that it may have come. DCON texts appear as they
// went over the line with "\r" for the carriage return and "\xNN" for other unprintable bytes;
// Modbus frames as upper-case hex bytes separated by spaces; "-" stands for no reply.
class CSimLog {
public:
    bool Open(const std::wstring& path);
    void Line(const std::string& text);
    void Exchange(double seconds, double waitedMs, const std::string& request, const std::string& reply, bool binary,
                  const std::string& fault);

    static std::string Render(const std::string& bytes, bool binary);

private:
    CHandle m_file;
};
