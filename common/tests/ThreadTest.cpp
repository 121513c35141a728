#include "Event.h"
#include "Thread.h"
#include <gtest/gtest.h>
#include <atomic>

// The function runs on a thread of its own, IsRunning follows it, and Wait returns only after
// it has ended; a second Start runs the new function once the first has ended.
TEST(Thread, RunsItsFunctionAndIsWaitedFor)
{
    CEvent go;
    std::atomic<DWORD> ranOn{0};
    CThread thread;
    EXPECT_FALSE(thread.IsRunning());
    ASSERT_TRUE(thread.Start([&] {
        ::WaitForSingleObject(go, INFINITE);
        ranOn = ::GetCurrentThreadId();
    }));
    EXPECT_TRUE(thread.IsRunning());
    go.Set();
    thread.Wait();
    EXPECT_FALSE(thread.IsValid());
    EXPECT_NE(ranOn, 0u);
    EXPECT_NE(ranOn, ::GetCurrentThreadId());

    int runs = 0;
    ASSERT_TRUE(thread.Start([&] { ++runs; }));
    ASSERT_TRUE(thread.Start([&] { ++runs; }));
    thread.Wait();
    EXPECT_EQ(runs, 2);
}

TEST(Thread, DestructorWaitsForTheFunction)
{
    std::atomic<bool> ended{false};
    {
        CThread thread;
        ASSERT_TRUE(thread.Start([&] {
            ::Sleep(50);
            ended = true;
        }));
    }
    EXPECT_TRUE(ended);
}
