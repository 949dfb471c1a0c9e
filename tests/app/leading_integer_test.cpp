#include "pages/leading_integer.h"

#include <gtest/gtest.h>

#include <climits>

TEST(LeadingInteger, ReadsTheDigitsTheArgumentStartsWith) {
    EXPECT_EQ(LeadingInteger("1"), 1);
    EXPECT_EQ(LeadingInteger("30"), 30);
    EXPECT_EQ(LeadingInteger(" -45px"), -45);
    EXPECT_EQ(LeadingInteger("+7"), 7);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger("x1"), 0);
    EXPECT_EQ(LeadingInteger("-"), 0);
    EXPECT_EQ(LeadingInteger("99999999999999999999"), INT_MAX);
    EXPECT_EQ(LeadingInteger("-99999999999999999999"), INT_MIN);
}
