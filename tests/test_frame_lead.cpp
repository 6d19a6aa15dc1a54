#include <gtest/gtest.h>

#include "shell/frame_lead.h"

namespace {

TEST(FrameLead, ThePictureStandsForTheMomentItIsSeen) {
    struct Read {
        double nowMs;
        double expectMs;
        const char* what;
    };
    const Read reads[] = {
        {0, 0, "the first read: no frame time yet"},
        {10, 25, "10 ms frames: a frame and a half ahead"},
        {20, 35, "steady"},
        {30, 45, "steady"},
        {530, 545, "one 500 ms frame does not throw the next one ahead"},
        {531, 546, "1 ms frames: the median is still 10 ms"},
        {532, 547, ""},
        {533, 548, ""},
        {534, 549, ""},
        {535, 549, "now it is 1 ms: the picture waits rather than step back"},
        {560, 561.5, "and goes on from there"},
    };
    FrameLead lead;
    for (const Read& read : reads) {
        SCOPED_TRACE(read.what);
        EXPECT_DOUBLE_EQ(lead.seenAtMs(read.nowMs), read.expectMs);
    }
}

}  // namespace
