#include "view/model/ZoomList.h"

#include <gtest/gtest.h>

#include <ostream>

namespace viewmodel {

void PrintTo(const ZoomListChoice& c, std::ostream* out) { *out << static_cast<int>(c.kind) << " " << c.zoom; }

namespace {

TEST(ZoomList, EntriesGiveAFactorOrFitOrAreRefused)
{
    using Kind = ZoomListChoice::Kind;
    struct Case {
        const char* text;
        ZoomListChoice choice;
    };
    const Case cases[] = {
        { "50.00 %", { Kind::Factor, 0.5F } },
        { " 150% ", { Kind::Factor, 1.5F } },
        { "fit", { Kind::Fit } },
        { "100", {} },
        { "50%x", {} },
        { "0%", {} },
        { "nan%", {} },
        { "1e41%", {} },  // past the float range
        { "1e-50%", {} }, // rounds to 0
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseZoomListEntry(c.text), c.choice) << '"' << c.text << '"';
}

TEST(ZoomList, TextHasTwoDecimalsAndAPercentSign)
{
    EXPECT_EQ(zoomListText(50.0), "50.00%"); // not the first entry's "50.00 %"
    EXPECT_EQ(zoomListText(78.125), "78.12%"); // a tie rounds to even, as printf does
}

} // namespace
} // namespace viewmodel
