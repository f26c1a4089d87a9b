#include <gtest/gtest.h>
#include <windows.h>

#include "support/xdotool.h"

TEST(RealInput, XdotoolMovesThePointerWineSees)
{
    ASSERT_TRUE(testsupport::Xdotool("mousemove 123 234"));
    POINT p{};
    for (int i = 0; i < 100 && !(p.x == 123 && p.y == 234); ++i) {
        ::Sleep(10);
        ::GetCursorPos(&p);
    }
    EXPECT_EQ(p.x, 123);
    EXPECT_EQ(p.y, 234);
}
