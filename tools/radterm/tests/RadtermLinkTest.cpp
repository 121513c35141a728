#include "RadtermProcess.h"
#include <gtest/gtest.h>

// Two copies on the two ends of one line: the slave first, then the master.
TEST(RadtermLink, MasterAndSlaveExchangeTheTestMessage)
{
    ASSERT_FALSE(RigPort(0).empty()) << "needs a pty pair (RIG_PAIRS)";
    CRadtermProcess slave, master;
    ASSERT_TRUE(slave.Started() && master.Started());
    ASSERT_TRUE(slave.ChoosePort(RigPort(1))) << slave.Output();
    ASSERT_TRUE(master.ChoosePort(RigPort(0))) << master.Output();

    slave.Type("SLAVE");
    ASSERT_NE(slave.WaitFor("\nEntering in PACKET mode.\nWaiting request...", 10000), std::string::npos)
        << slave.Output();
    master.Type("MASTER");

    size_t at = master.WaitFor("\nEntering in FLAT mode.\n", 60000);
    ASSERT_NE(at, std::string::npos) << master.Output();
    std::string out = master.Output();
    EXPECT_NE(out.find("\nEntering in PACKET mode.\nSending request ... 8200 bytes\nWaiting answer ..."
                       "\nAnswer received,  8200  bytes, elapsed time, s:  "),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\nResult memcmp(send, receive) =  0\nSpeed (netto) =  "), std::string::npos) << out;
    float seconds = 0, net = 0, gross = 0;
    size_t time = out.find("elapsed time, s:  ");
    ASSERT_NE(time, std::string::npos);
    ASSERT_EQ(std::sscanf(out.c_str() + time, "elapsed time, s:  %f", &seconds), 1);
    ASSERT_EQ(std::sscanf(out.c_str() + out.find("Speed (netto) = "), "Speed (netto) =  %f Kb/s", &net), 1);
    ASSERT_EQ(std::sscanf(out.c_str() + out.find("Speed (brutto) = "), "Speed (brutto) =  %f Kb/s", &gross), 1);
    // 34 blocks each way, one per 10 ms tick.
    EXPECT_GE(seconds, 0.6f);
    EXPECT_NEAR(net, 16400 / seconds / 1024, 0.01 * net);
    EXPECT_NEAR(gross, 17080 / seconds / 1024, 0.01 * gross);

    std::string slaveOut = slave.Output();
    EXPECT_NE(slaveOut.find("\nWaiting request...\nRequest received, construction ...\nRequest construction, "
                            "answering ...\nAnswer constructed, elapsed time:  "),
              std::string::npos)
        << slaveOut;
    ASSERT_NE(slave.WaitFor(" ms\nEntering in FLAT mode.\n", 30000), std::string::npos) << slave.Output();

    // After the drain both are back in flat mode (the console takes the next line only then):
    // text typed on one side appears on the other.
    for (CRadtermProcess* side : {&master, &slave}) {
        size_t end = side->Output().size();
        side->Type("HELP");
        ASSERT_NE(side->WaitFor("EXIT ............... exit\n", 30000, end), std::string::npos) << side->Output();
    }
    master.Type("flat again");
    EXPECT_NE(slave.WaitFor("flat again", 10000), std::string::npos) << slave.Output();

    master.Type("EXIT");
    EXPECT_EQ(master.WaitExit(30000), 0);
    EXPECT_NE(master.WaitFor("EXIT OK!\n", 1000), std::string::npos);
    slave.Type("EXIT");
    EXPECT_EQ(slave.WaitExit(30000), 0);
}

// Nobody answers on the other end: Ctrl+C gives up the wait and the port goes back to flat.
TEST(RadtermLink, MasterGivesUpOnCtrlC)
{
    ASSERT_FALSE(RigPort(0).empty()) << "needs a pty pair (RIG_PAIRS)";
    ASSERT_TRUE(ShareNewConsole());
    CRadtermProcess master;
    ASSERT_TRUE(master.ChoosePort(RigPort(0))) << master.Output();
    master.Type("MASTER");
    ASSERT_NE(master.WaitFor("\nWaiting answer ...", 10000), std::string::npos) << master.Output();
    ::Sleep(500);
    EXPECT_EQ(master.Output().find("Entering in FLAT"), std::string::npos) << "the wait has no time limit";
    ASSERT_TRUE(master.Break()) << ::GetLastError();
    EXPECT_NE(master.WaitFor("\nWaiting answer ...\nTest cancelled.\nEntering in FLAT mode.\n", 10000),
              std::string::npos)
        << master.Output();
    master.Type("EXIT");
    EXPECT_EQ(master.WaitExit(30000), 0);
}
