#include "keys/KeyTiming.h"

#include <gtest/gtest.h>

namespace keyloft {
namespace {

TEST(EncodeTiming, BoundaryTable) {
    struct Row { int ms; int press; };
    const Row rows[] = {
        {0, 0x01},    {10, 0x01},   {11, 0x01},   {19, 0x01},   {20, 0x02},   {310, 0x1F},
        {311, 0x26},  {349, 0x26},  {1550, 0x3F}, {1551, 0x4F}, {3100, 0x5F}, {3101, 0x63},
        {30999, 0x7E}, {31000, 0x7F}, {31001, 0x7F}, {1000000, 0x7F},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(EncodeTiming(false, r.ms), r.press) << r.ms << " ms press";
        EXPECT_EQ(EncodeTiming(true, r.ms), r.press | 0x80) << r.ms << " ms release";
    }
}

TEST(EncodeTiming, NegativeDelaysKeepAPressByteAboveZero) {
    EXPECT_EQ(EncodeTiming(false, -1), 0x01);
    EXPECT_EQ(EncodeTiming(true, -1), 0x80);
    EXPECT_EQ(EncodeTiming(false, -2147483647 - 1), 0x01);
}

}  // namespace
}  // namespace keyloft
