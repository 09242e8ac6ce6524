#include "base/ByteReader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

using base::ByteReader;
using base::Endian;

TEST(ByteReader, ReadsBothEndiansAndStopsAtTheEnd)
{
    const std::array<std::uint8_t, 7> bytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    ByteReader little(bytes);
    EXPECT_EQ(*little.u16(), 0x0201);
    EXPECT_EQ(*little.u32(), 0x06050403u);
    EXPECT_FALSE(little.u16().has_value()); // one byte left
    EXPECT_EQ(little.position(), 6u);      // a failed read does not move
    EXPECT_EQ(*little.u8(), 0x07);
    EXPECT_TRUE(little.atEnd());
    EXPECT_FALSE(little.u8().has_value());

    ByteReader big(bytes, Endian::Big);
    EXPECT_EQ(*big.u16(), 0x0102);
    EXPECT_EQ(*big.u32(), 0x03040506u);
}

TEST(ByteReader, SkipTakeAndPeekRejectLengthsPastTheEnd)
{
    const std::array<std::uint8_t, 4> bytes = {0xAA, 0xBB, 0xCC, 0xDD};
    ByteReader r(bytes);
    EXPECT_FALSE(r.skip(5));
    EXPECT_FALSE(r.skip(0xFFFFFFFFull));
    EXPECT_FALSE(r.take(0xFFFFFFFFFFFFFFFFull).has_value());
    EXPECT_EQ(*r.peek32(), 0xDDCCBBAAu);
    EXPECT_FALSE(r.peek16(3).has_value());
    EXPECT_FALSE(r.peek16(~std::size_t(0)).has_value());
    auto span = r.take(3);
    ASSERT_TRUE(span.has_value());
    EXPECT_EQ(span->size(), 3u);
    EXPECT_EQ((*span)[2], 0xCC);
    EXPECT_FALSE(r.seek(5));
    EXPECT_TRUE(r.seek(4));
    EXPECT_TRUE(r.atEnd());
}
