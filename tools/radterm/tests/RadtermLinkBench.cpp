// Round trip of the 8200-byte link test between two radterm copies over a pty pair, against
// the pacing limit: 34 blocks each way, one block per 10 ms tick. The figure is the median of
// the rounds.
#include "Median.h"
#include "RadtermProcess.h"
#include <cstdio>
#include <vector>

namespace {
const int kRounds = 5;
const double kTarget = 1.05;
const double kPacingLimit = 2 * 34 * 0.010;

// One master/slave round; the master's elapsed seconds, or a negative number on failure.
double Round(CRadtermProcess& slave, CRadtermProcess& master)
{
    size_t slaveFrom = slave.Output().size(), masterFrom = master.Output().size();
    slave.Type("SLAVE");
    if (slave.WaitFor("Waiting request...", 60000, slaveFrom) == std::string::npos)
        return -1;
    master.Type("MASTER");
    size_t at = master.WaitFor("\nResult memcmp(send, receive) =  0", 60000, masterFrom);
    if (at == std::string::npos)
        return -1;
    std::string out = master.Output();
    float seconds = -1;
    std::sscanf(out.c_str() + out.find("elapsed time, s:  ", masterFrom), "elapsed time, s:  %f", &seconds);
    // Both wait for their blocks to drain before they take the next line.
    master.WaitFor("\nEntering in FLAT mode.\n", 60000, masterFrom);
    return seconds;
}
}  // namespace

int main()
{
    if (RigPort(0).empty()) {
        std::printf("radterm link bench: needs a pty pair (RIG_PAIRS)\n");
        return 1;
    }
    CRadtermProcess slave, master;
    if (!slave.ChoosePort(RigPort(1)) || !master.ChoosePort(RigPort(0))) {
        std::printf("radterm link bench: the ports did not open\n");
        return 1;
    }
    std::printf("radterm link test, 8200 bytes there and back; pacing limit %.3f s\n", kPacingLimit);
    std::vector<double> rounds;
    for (int i = 1; i <= kRounds; ++i) {
        double seconds = Round(slave, master);
        if (seconds < 0) {
            std::printf("round %d: no answer\n", i);
            return 1;
        }
        std::printf("round %d: round trip %.3f s, ratio to the pacing limit %.2f\n", i, seconds,
                    seconds / kPacingLimit);
        std::fflush(stdout);
        rounds.push_back(seconds);
    }
    double median = Median(rounds);
    std::printf("radterm round trip: %.3f s median of %d rounds (target <= %.2f x the pacing limit, ratio %.3f)\n",
                median, kRounds, kTarget, median / kPacingLimit);
    slave.Type("EXIT");
    master.Type("EXIT");
    slave.WaitExit(30000);
    master.WaitExit(30000);
    return 0;
}
