#include "base/Result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

enum class Code { None, Odd, Io };
template<typename T>
using Result = base::Result<T, Code>;

Result<int> half(int n)
{
    if (n % 2)
        return base::Failure<Code>{Code::Odd, "odd"};
    return n / 2;
}

} // namespace

TEST(Result, CarriesAValueOrAnError)
{
    auto ok = half(8);
    ASSERT_TRUE(ok);
    EXPECT_EQ(*ok, 4);

    auto bad = half(7);
    ASSERT_FALSE(bad.has_value());
    EXPECT_EQ(bad.error().code, Code::Odd);
    EXPECT_EQ(bad.error().detail, "odd");

    Result<std::unique_ptr<int>> moved(std::make_unique<int>(3));
    auto owned = std::move(moved).value();
    EXPECT_EQ(*owned, 3);

    Result<void> done;
    EXPECT_TRUE(done);
    Result<void> failed(base::Failure<Code>{Code::Io, {}});
    EXPECT_EQ(failed.error().code, Code::Io);
}
