// Day serials (days since 30 December 1899) of civil dates and today, and their ISO text.
#include <cmath>

#include <gtest/gtest.h>

#include "engine/Dates.h"

using namespace tw;

TEST(Dates, SerialDaysFromTheEpoch)
{
    EXPECT_EQ(DateSerial(1899, 12, 30), 0.0);
    EXPECT_EQ(DateSerial(1900, 3, 1), 61.0);
    EXPECT_EQ(DateSerial(2000, 1, 1), 36526.0);
    EXPECT_EQ(DateSerial(2026, 12, 9), 46365.0);
    EXPECT_EQ(DateSerial(2024, 2, 29) + 1, DateSerial(2024, 3, 1));
    EXPECT_EQ(DateSerial(1600, 2, 29), -109512.0);
    const double today = TodaySerial();
    EXPECT_EQ(today, std::floor(today)) << "a date holds no time of day";
    EXPECT_GT(today, DateSerial(2020, 1, 1));
}

TEST(Dates, IsoDatesAndSerials)
{
    EXPECT_EQ(DateToIso(0), "1899-12-30");
    EXPECT_EQ(DateToIso(DateSerial(2024, 2, 29)), "2024-02-29");
    EXPECT_EQ(DateToIso(DateSerial(2024, 2, 29) + 0.75), "2024-02-29"); // the time is dropped
    EXPECT_EQ(DateToIso(DateSerial(1, 1, 1)), "0001-01-01");
    EXPECT_EQ(DateToIso(DateSerial(9999, 12, 31)), "9999-12-31");
    EXPECT_EQ(DateToIso(DateSerial(1600, 3, 1)), "1600-03-01");
    EXPECT_EQ(DateToIso(std::nan("")), "");
    EXPECT_EQ(DateToIso(1e12), "");

    double serial = -1;
    ASSERT_TRUE(DateFromIso("1900-03-01", serial));
    EXPECT_EQ(serial, 61); // no 29 February 1900 in this calendar
    ASSERT_TRUE(DateFromIso("2000-02-29", serial));
    EXPECT_EQ(serial, DateSerial(2000, 2, 29));
    for (const char* bad : {"1900-02-29", "2023-13-01", "2023-00-10", "2023-04-31", "0000-01-01",
                            "2023/01/01", "2023-01-1", "+023-01-01", "2023-01-01T00:00", ""})
        EXPECT_FALSE(DateFromIso(bad, serial)) << bad;
}
