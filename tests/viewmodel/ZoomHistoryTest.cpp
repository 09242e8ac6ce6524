#include "view/model/ZoomHistory.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace viewmodel {

void PrintTo(const ZoomHistoryEntry& e, std::ostream* out) { *out << e.zoom << " at " << e.scroll.x << ", " << e.scroll.y; }

namespace {

// One step of a session, a record at a zoom or a move back or forward, with
// the entry count and current index expected after it.
struct Step {
    double zoom;
    ZoomCause cause;
    std::size_t count;
    std::size_t index;
};
constexpr double Back = 0.0;
constexpr double Forward = -1.0;
constexpr ZoomCause Key = ZoomCause::Other;
constexpr ZoomCause Wheel = ZoomCause::Wheel;

TEST(ZoomHistory, RecordsMergeAndBranchAsTheViewZooms)
{
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        { "the same view adds nothing", { { 1.000005, Key, 1, 0 }, { 2.0, Key, 2, 1 }, { 2.0, Key, 2, 1 } } },
        { "wheel notches make one entry, a key a new one",
            { { 1.1, Wheel, 2, 1 }, { 1.2, Wheel, 2, 1 }, { 1.3, Wheel, 2, 1 }, { 1.4, Key, 3, 2 }, { 1.5, Wheel, 4, 3 } } },
        { "back twice then zoom drops the forward entries",
            { { 2.0, Key, 2, 1 }, { 3.0, Key, 3, 2 }, { Back, Key, 3, 1 }, { Back, Key, 3, 0 }, { 5.0, Key, 2, 1 } } },
        { "ends stop back and forward", { { Back, Key, 1, 0 }, { 2.0, Key, 2, 1 }, { Forward, Key, 2, 1 } } },
        { "a wheel entry gone back to is kept",
            { { 1.1, Wheel, 2, 1 }, { Back, Key, 2, 0 }, { Forward, Key, 2, 1 }, { 1.2, Wheel, 3, 2 } } },
    };
    for (const Case& c : cases) {
        ZoomHistory history;
        for (const Step& s : c.steps) {
            if (s.zoom == Back)
                history.back();
            else if (s.zoom == Forward)
                history.forward();
            else
                history.add({}, s.zoom, s.cause);
            EXPECT_EQ(history.count(), s.count) << c.name << " at " << s.zoom;
            EXPECT_EQ(history.currentIndex(), s.index) << c.name << " at " << s.zoom;
            EXPECT_EQ(history.canGoBack(), s.index > 0) << c.name << " at " << s.zoom;
            EXPECT_EQ(history.canGoForward(), s.index + 1 < s.count) << c.name << " at " << s.zoom;
        }
    }
}

TEST(ZoomHistory, BackAndForwardRestoreTheEntryAsNotMadeByTheWheel)
{
    ZoomHistory history;
    history.add({ 30, 40 }, 3.0, ZoomCause::Wheel);
    EXPECT_EQ(history.back(), ZoomHistoryEntry {});
    EXPECT_EQ(history.back(), std::nullopt);
    EXPECT_EQ(history.forward(), (ZoomHistoryEntry { { 30, 40 }, 3.0, ZoomCause::Other }));
    EXPECT_EQ(history.forward(), std::nullopt);
    history.add({ 31, 40 }, 3.0, ZoomCause::Other);
    EXPECT_EQ(history.count(), 3U);
}

} // namespace
} // namespace viewmodel
