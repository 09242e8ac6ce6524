#include "view/model/WindowPlacement.h"

#include <gtest/gtest.h>

namespace viewmodel {
namespace {

TEST(WindowPlacement, PreviewDialogsGoBesideThePicture)
{
    const WindowRect screen { 0, 0, 1280, 1024 };
    struct Case {
        const char* name;
        WindowRect picture;
        WindowRect screen;
        WindowRect expected; // of a 300 x 500 dialog
    };
    const Case cases[] = {
        { "right", { 100, 100, 400, 400 }, screen, { 508, 100, 300, 500 } },
        { "right, slid up to stay on the screen", { 100, 800, 400, 200 }, screen, { 508, 524, 300, 500 } },
        { "left when the right is full", { 700, 100, 500, 400 }, screen, { 392, 100, 300, 500 } },
        { "below when neither side holds it", { 100, 50, 1100, 300 }, screen, { 100, 358, 300, 500 } },
        { "above when the bottom is full too", { 100, 600, 1100, 400 }, screen, { 100, 92, 300, 500 } },
        { "no room: the right edge", { 0, 0, 1280, 1024 }, screen, { 980, 0, 300, 500 } },
        { "no room: the edge with the most free", { 200, 0, 1080, 1024 }, screen, { 0, 0, 300, 500 } },
        { "a screen right of another", { 1400, 100, 400, 400 }, { 1280, 0, 1920, 1080 }, { 1808, 100, 300, 500 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(placeBeside(c.picture, 300, 500, c.screen), c.expected) << c.name;
}

TEST(WindowPlacement, LargeDialogsTakeAShareOfTheScreen)
{
    struct Case {
        WindowRect available;
        WindowRect expected; // 70 %, at least 640 x 480
    };
    const Case cases[] = {
        { { 0, 0, 1280, 1000 }, { 192, 150, 896, 700 } },
        { { 0, 0, 800, 600 }, { 80, 60, 640, 480 } },
        { { 0, 0, 600, 400 }, { 0, 0, 600, 400 } },
        { { 1280, 24, 1920, 1056 }, { 1280 + 288, 24 + 158, 1344, 739 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(shareOf(c.available, 70, 640, 480), c.expected) << c.available.width << "x" << c.available.height;
}

TEST(WindowPlacement, BackgroundPicturesShowWhereTheyFit)
{
    struct Case {
        int width, height;
        BackgroundPlaces expected; // of a 288 x 49 centre and a 122 x 14 corner picture
    };
    const Case cases[] = {
        { 800, 600, { WindowRect { 256, 275, 288, 49 }, WindowRect { 678, 586, 122, 14 } } },
        { 200, 100, { std::nullopt, WindowRect { 78, 86, 122, 14 } } },
        { 300, 60, { WindowRect { 6, 5, 288, 49 }, std::nullopt } },
        { 288, 77, { WindowRect { 0, 14, 288, 49 }, WindowRect { 166, 63, 122, 14 } } },
        { 100, 70, { std::nullopt, std::nullopt } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(backgroundPlaces(c.width, c.height, 288, 49, 122, 14), c.expected) << c.width << "x" << c.height;
}

} // namespace
} // namespace viewmodel
