// Ryxutil: the persistent date and time records — conversions, refused parts, change events.
#include <gtest/gtest.h>

#include "frame/ryxutil.h"
#include "host/rtl/dates.h"
#include "host/rtl/exceptions.h"

using namespace host;
using namespace ryx;

TEST(RyxUtilTest, DateNumConvertsRefusesAndNotifies) {
    TryxDateNum d;
    int changes = 0;
    d.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(d.GetDate(), EncodeDate(1, 1, 1));
    d.SetDate(EncodeDate(2026, 12, 6) + 0.75);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(d.Year(), 2026);
    EXPECT_EQ(d.Month(), 12);
    EXPECT_EQ(d.Day(), 6);
    d.SetDay(6);
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(d.SetMonth(13), ERangeError);
    EXPECT_EQ(d.Month(), 12);
    d.SetMonth(2);
    d.SetDay(30);
    EXPECT_EQ(changes, 3);
    EXPECT_THROW(d.GetDate(), EConvertError);

    TryxDateNum copy;
    copy.Assign(&d);
    EXPECT_EQ(copy.Day(), 30);
}

TEST(RyxUtilTest, TimeNumConvertsRefusesAndNotifies) {
    TryxTimeNum t;
    int changes = 0;
    t.OnChange = [&](TObject*) { ++changes; };
    t.SetTime(EncodeDate(2026, 1, 1) + EncodeTime(13, 45, 30, 250));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(t.Hour(), 13);
    EXPECT_EQ(t.MSec(), 250);
    EXPECT_EQ(t.GetTime(), EncodeTime(13, 45, 30, 250));
    EXPECT_THROW(t.SetMin(60), ERangeError);
    EXPECT_EQ(t.Min(), 45);
    t.SetHour(13);
    EXPECT_EQ(changes, 1);
    TryxDateNum notATime;
    EXPECT_THROW(t.Assign(&notATime), EConvertError);
}
