#include "ErrorLog.h"
#include <gtest/gtest.h>

TEST(ErrorLog, WriteReplacesReadAppendsAndOverflowEmpties)
{
    std::wstring log;
    LogReadError(log, 0);
    LogReadError(log, 5);
    EXPECT_EQ(log, L"READ ERROR CODE: 0READ ERROR CODE: 5");
    LogWriteError(log, 31);
    EXPECT_EQ(log, L"WRITE ERROR CODE: 31");

    // 18 characters an entry: 56 fit, the 57th takes the log past 1024 and it starts again.
    log.clear();
    for (int i = 0; i < 56; ++i)
        LogReadError(log, 1);
    EXPECT_EQ(log.size(), 56u * 18);
    LogReadError(log, 1);
    EXPECT_EQ(log, L"");
}
