// Frames decoded on several threads come out in order, and the first failure
// in frame order is the result, whatever the number of threads.

#include "dicom/ParallelFrames.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace dicom {
namespace {

struct PoolCase {
    const char* name;
    std::size_t count;
    unsigned threads;
    std::optional<std::size_t> failing; // the decoder fails on this frame and every later odd one
    std::optional<std::size_t> refusing; // the sink refuses this frame
};

class ParallelFrames : public testing::TestWithParam<PoolCase> {};

TEST_P(ParallelFrames, EmitsInOrderAndStopsAtTheFirstFailure)
{
    const PoolCase& c = GetParam();
    const auto makeDecoder = [&c]() -> FrameDecoder {
        return [&c](std::size_t i) -> dicom::Result<base::Frame> {
            if (c.failing && i >= *c.failing && (i == *c.failing || i % 2 == 1))
                return dicom::Error{DicomError::Corrupted, "frame " + std::to_string(i)};
            return base::Frame{base::FrameFormat::Grey8, std::vector<std::uint8_t>(3, static_cast<std::uint8_t>(i)), {}};
        };
    };
    std::vector<std::size_t> seen;
    const FrameSink sink = [&](base::Frame&& frame) -> dicom::Result<void> {
        if (c.refusing && frame.bytes.front() == *c.refusing)
            return dicom::Error{DicomError::FileIo, "refused"};
        seen.push_back(frame.bytes.front());
        return {};
    };
    const auto result = decodeFrames(c.count, makeDecoder, sink, c.threads);
    const std::size_t stop = std::min({c.count, c.failing.value_or(c.count), c.refusing.value_or(c.count)});
    ASSERT_EQ(seen.size(), stop);
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], i);
    if (stop == c.count) {
        ASSERT_TRUE(result);
        EXPECT_EQ(*result, c.count);
    } else {
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().detail, c.failing == stop ? "frame " + std::to_string(stop) : "refused");
    }
}

INSTANTIATE_TEST_SUITE_P(Pool, ParallelFrames,
    testing::Values(PoolCase{"none", 0, 2, {}, {}},
                    PoolCase{"oneThread", 9, 1, {}, {}},
                    PoolCase{"moreThreadsThanFrames", 3, 8, {}, {}},
                    PoolCase{"manyFrames", 200, 2, {}, {}},
                    PoolCase{"failureOnOneThread", 9, 1, 4, {}},
                    PoolCase{"firstFailureInOrderWins", 50, 4, 6, {}},
                    PoolCase{"failureOnLastFrame", 20, 3, 19, {}},
                    PoolCase{"sinkRefusal", 40, 2, {}, 7}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace dicom
