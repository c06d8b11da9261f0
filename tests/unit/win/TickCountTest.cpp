// Tick counts: the wrap after 49.7 days, and an input stamped after the clock it is read with.
#include "framework/OutsideWorld.h"

#include <gtest/gtest.h>

namespace veskaro {
namespace {

TEST(TickCount, QuietTimeAcrossTheWrapAndNoneForAnInputAhead)
{
    EXPECT_EQ(MillisecondsBetween(1000, 3500), 2500u);
    EXPECT_EQ(MillisecondsBetween(0xFFFFFF00u, 0x100u), 0x200u);
    EXPECT_EQ(MillisecondsBetween(5016, 5000), 0u) << "input stamped ahead of the clock is input now";
}

} // namespace
} // namespace veskaro
