// Two radterm copies on a cable that passes 4800 baud (the rig's slow link): 480 bytes a
// second, so each way the 34 blocks of the test message need about 18 s on the line, long
// after the slave has handed its answer to the driver.
#include "RadtermProcess.h"
#include <gtest/gtest.h>

TEST(RadtermSlowLink, SlaveKeepsItsPortOpenUntilTheAnswerIsOnTheLine)
{
    ASSERT_FALSE(RigPort(0).empty()) << "needs a pty pair (RIG_PAIRS)";
    CRadtermProcess slave, master;
    ASSERT_TRUE(slave.ChoosePort(RigPort(1), "4800,n,8,1")) << slave.Output();
    ASSERT_TRUE(master.ChoosePort(RigPort(0), "4800,n,8,1")) << master.Output();
    slave.Type("SLAVE");
    ASSERT_NE(slave.WaitFor("Waiting request...", 10000), std::string::npos) << slave.Output();
    master.Type("MASTER");

    ASSERT_NE(master.WaitFor("\nResult memcmp(send, receive) =  0", 120000), std::string::npos) << master.Output();
    std::string out = master.Output();
    float seconds = 0;
    ASSERT_EQ(std::sscanf(out.c_str() + out.find("elapsed time, s:  "), "elapsed time, s:  %f", &seconds), 1);
    EXPECT_GE(seconds, 2 * 8704 / 480.0 * 0.95) << "the line passed the bytes faster than 4800 baud";
    EXPECT_NE(slave.WaitFor("\nEntering in FLAT mode.\n", 30000), std::string::npos) << slave.Output();

    slave.Type("EXIT");
    master.Type("EXIT");
    EXPECT_EQ(slave.WaitExit(30000), 0);
    EXPECT_EQ(master.WaitExit(30000), 0);
}
