// Raw deflate streams through the zlib adapter: what is inflated, and the
// exact failure of truncated, corrupt and oversized streams.

#include "codecs/DeflateAdapter.h"
#include "tests/support/DeflateBytes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace codecs {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testsupport::storedBlock;
using testsupport::zeroRun;

struct InflateCase {
    const char* name;
    Bytes stream;
    std::uint64_t maxOutput;
    std::optional<CodecError> error; // none: inflates to size bytes
    std::uint64_t size = 0;
};

void PrintTo(const InflateCase& c, std::ostream* os)
{
    *os << c.name;
}

Bytes padded(Bytes b)
{
    b.push_back(0);
    return b;
}

Bytes withoutLast(Bytes b, std::size_t count)
{
    b.resize(b.size() - count);
    return b;
}

class Inflate : public testing::TestWithParam<InflateCase> {};

TEST_P(Inflate, GivesTheDataOrTheExactError)
{
    const InflateCase& c = GetParam();
    const auto result = DeflateAdapter::inflate(c.stream, c.maxOutput, Bytes {9, 9});
    if (c.error) {
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(result.error().code, *c.error) << result.error().detail;
        return;
    }
    ASSERT_TRUE(result.has_value()) << result.error().detail;
    ASSERT_EQ(result->size(), 2 + c.size);
    EXPECT_EQ((*result)[0], 9); // the head is kept in front
    EXPECT_EQ((*result)[1], 9);
}

INSTANTIATE_TEST_SUITE_P(Streams, Inflate,
    testing::Values(InflateCase {"storedBlock", storedBlock({1, 2, 3}, 3), 100, std::nullopt, 3},
        InflateCase {"padByteAfterTheEnd", padded(storedBlock({1, 2, 3}, 3)), 100, std::nullopt, 3},
        InflateCase {"runExactlyAtTheBound", zeroRun(10), 2581, std::nullopt, 2581},
        InflateCase {"runOneByteOverTheBound", zeroRun(10), 2580, CodecError::Corrupt},
        InflateCase {"storedBlockCutShort", storedBlock({1, 2, 3}, 30), 100, CodecError::Corrupt},
        InflateCase {"runWithoutEndOfBlock", withoutLast(zeroRun(1000), 2), 1 << 20, CodecError::Corrupt},
        InflateCase {"empty", Bytes {}, 100, CodecError::Corrupt},
        InflateCase {"reservedBlockType", Bytes {0x07, 0x00}, 100, CodecError::Corrupt},
        InflateCase {"storedLengthsDisagree", Bytes {0x01, 0x03, 0x00, 0x00, 0x00, 1, 2, 3}, 100, CodecError::Corrupt},
        InflateCase {"zlibWrapped", Bytes {0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}, 100, CodecError::Corrupt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DeflateAdapter, LimitGrowsWithTheInputBetweenFloorAndCeiling)
{
    EXPECT_EQ(DeflateAdapter::outputLimit(10), DeflateAdapter::kMinOutputBytes);
    EXPECT_EQ(DeflateAdapter::outputLimit(1 << 20), DeflateAdapter::kMaxRatio << 20);
    EXPECT_EQ(DeflateAdapter::outputLimit(std::uint64_t(1) << 40), DeflateAdapter::kMaxOutputBytes);
}

} // namespace
} // namespace codecs
