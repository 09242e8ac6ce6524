#include "dicom/NumberParsing.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct NumberCase {
    const char* text;
    std::int32_t number;
    double real;
};

void PrintTo(const NumberCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class NumberParsing : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberParsing, ReadsTheFirstValue)
{
    EXPECT_EQ(dicom::parseNumber(GetParam().text), GetParam().number) << GetParam().text;
    EXPECT_DOUBLE_EQ(dicom::parseReal(GetParam().text), GetParam().real) << GetParam().text;
}

constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t Min = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(Texts, NumberParsing, ::testing::Values(
    NumberCase {"", 0, 0.0},
    NumberCase {"    ", 0, 0.0},
    NumberCase {"512", 512, 512.0},
    NumberCase {" 42 ", 42, 42.0},
    NumberCase {"-1024", -1024, -1024.0},
    NumberCase {"40\\400", 40, 40.0},
    NumberCase {"00500\\00500", 500, 500.0},
    NumberCase {"0.5\\0.7", 0, 0.5},
    NumberCase {"12.7", 12, 12.7},
    NumberCase {"-12.7", -12, -12.7},
    NumberCase {"+5", 5, 5.0},
    NumberCase {"1e3", 1000, 1000.0},
    NumberCase {"5.94901e-08", 0, 5.94901e-08},
    NumberCase {"7abc", 7, 7.0},
    NumberCase {"abc", 0, 0.0},
    NumberCase {"99999999999", Max, 99999999999.0},
    NumberCase {"-99999999999", Min, -99999999999.0},
    NumberCase {"1e20", Max, 1e20},
    NumberCase {"-1e20", Min, -1e20},
    NumberCase {"1e999", 0, 0.0},
    NumberCase {"1.5e-999", 0, 0.0},
    NumberCase {".", 0, 0.0},
    NumberCase {"--5", 0, 0.0},
    NumberCase {"+-5.5", 0, 0.0},
    NumberCase {"-+5.5", 0, 0.0},
    NumberCase {"- 5", 0, 0.0}));

} // namespace
