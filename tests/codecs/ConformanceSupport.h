#pragma once

// What the codec conformance tests share: a file's frame parameters and the
// comparison of our samples with a reference decoder's.

#include "codecs/FrameParams.h"
#include "tests/codecs/DicomFragments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace codecs::test {

// What a codec checks a frame of the image against.
inline FrameParams paramsOf(const DicomImage& image)
{
    FrameParams p;
    p.rows = image.rows;
    p.columns = image.columns;
    p.samplesPerPixel = image.samples;
    p.bitsAllocated = image.bitsAllocated;
    p.bitsStored = image.bitsStored;
    return p;
}

// The largest difference of two samples at the same place; a size mismatch fails the test.
inline int largestDifference(const std::vector<int>& a, const std::vector<int>& b)
{
    EXPECT_EQ(a.size(), b.size());
    int largest = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

} // namespace codecs::test
