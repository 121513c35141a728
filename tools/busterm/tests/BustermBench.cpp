// How long one exchange of busterm takes on a pty line: the reply delay plus the drain that
// ends at the first gap of about 1 ms.
#include "BustermProcess.h"
#include "SimulatedModule.h"
#include <cstdio>
#include <cstdlib>

namespace {
double MillisecondsPerExchange(CBustermProcess& busterm, CSimulatedModule& module, int delay, int count)
{
    busterm.Command("DELAY " + std::to_string(delay));
    for (int i = 0; i < count; ++i)
        module.QueueReply("!01NAME\r");
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    busterm.Command("REPEAT " + std::to_string(count) + " $01M", count);
    ::QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart) / count;
}
}  // namespace

int main()
{
    int terminalCom = 0, moduleCom = 0;
    const char* pairs = std::getenv("RIG_PAIRS");
    if (!pairs || std::sscanf(pairs, "%d:%d", &terminalCom, &moduleCom) != 2) {
        std::printf("busterm_bench: needs one pty pair (RIG_PAIRS)\n");
        return 1;
    }
    CSimulatedModule module;
    CBustermProcess busterm;
    if (!module.Open(moduleCom) || !busterm.Start()) {
        std::printf("busterm_bench: cannot start\n");
        return 1;
    }
    busterm.ReadLines(20);
    busterm.Command("CP" + std::to_string(terminalCom));
    const int kCount = 100;
    for (int delay : {0, 10, 60}) {
        std::printf("busterm: %d exchanges with a %d ms delay: %.2f ms each\n", kCount, delay,
                    MillisecondsPerExchange(busterm, module, delay, kCount));
    }
    busterm.Type("EXIT");
    return 0;
}
