#include "base/Result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

base::Result<int> half(int n)
{
    if (n % 2)
        return base::Error{5, "odd"};
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
    EXPECT_EQ(bad.error().code, 5);
    EXPECT_EQ(bad.error().detail, "odd");

    base::Result<std::unique_ptr<int>> moved(std::make_unique<int>(3));
    auto owned = std::move(moved).value();
    EXPECT_EQ(*owned, 3);

    base::Result<void> done;
    EXPECT_TRUE(done);
    base::Result<void> failed(base::Error{2, {}});
    EXPECT_EQ(failed.error().code, 2);
}
