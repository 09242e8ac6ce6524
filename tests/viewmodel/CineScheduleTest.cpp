#include "view/model/CineSchedule.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// One row: the clock reading after the frame of `steps` steps was painted,
// and the wait before the next step. The movie starts at 1000 ms, 33 ms a frame.
struct Row {
    const char* name;
    int steps;
    double now;
    int wait;
    double nextDueAfter; // when the step after the waited one is due
};

TEST(CineSchedule, StepsAreDueFromTheStartNotFromTheLastPaint)
{
    const Row rows[] = {
        { "the first step waits a frame time less the paint", 0, 1005.0, 28, 1033.0 },
        { "a paint of 7 ms does not delay the next frame", 1, 1040.0, 26, 1066.0 },
        { "never early: a part of a millisecond is waited for", 2, 1098.5, 1, 1099.0 },
        { "exactly due: at once", 3, 1132.0, 0, 1132.0 },
        { "late by less than a frame time: at once, pace kept", 4, 1180.0, 0, 1165.0 },
        { "the 100th frame is due at start + 100 x 33", 99, 4290.0, 10, 4300.0 },
    };
    for (const Row& row : rows) {
        viewmodel::CineSchedule schedule;
        schedule.restart(1000.0, 33.0);
        for (int i = 0; i < row.steps; ++i)
            schedule.stepTaken();
        EXPECT_EQ(schedule.waitBeforeNextStep(row.now, 33.0), row.wait) << row.name;
        EXPECT_DOUBLE_EQ(schedule.nextDue(), row.nextDueAfter) << row.name;
    }
}

TEST(CineSchedule, AStallIsFollowedByTheSetPaceNotABurst)
{
    viewmodel::CineSchedule schedule;
    schedule.restart(0.0, 40.0);
    schedule.stepTaken();
    // Step 2 was due at 80; at 500 it is shown at once, and step 3 a frame
    // time later, not at once to catch up.
    EXPECT_EQ(schedule.waitBeforeNextStep(500.0, 40.0), 0);
    EXPECT_DOUBLE_EQ(schedule.nextDue(), 500.0);
    schedule.stepTaken();
    EXPECT_EQ(schedule.waitBeforeNextStep(505.0, 40.0), 35);
    EXPECT_EQ(schedule.steps(), 2);
}

TEST(CineSchedule, AnotherFrameTimeRestartsTheClock)
{
    viewmodel::CineSchedule schedule;
    schedule.restart(0.0, 40.0);
    for (int i = 0; i < 5; ++i)
        schedule.stepTaken();
    EXPECT_EQ(schedule.waitBeforeNextStep(210.0, 100.0), 100);
    EXPECT_EQ(schedule.steps(), 0);
}

TEST(CineSchedule, NoWaitWithoutAUsableFrameTime)
{
    for (const double frameTime : { 0.0, -5.0, std::numeric_limits<double>::quiet_NaN() }) {
        viewmodel::CineSchedule schedule;
        schedule.restart(0.0, 33.0);
        EXPECT_EQ(schedule.waitBeforeNextStep(1.0, frameTime), 0) << frameTime;
    }
}

} // namespace
