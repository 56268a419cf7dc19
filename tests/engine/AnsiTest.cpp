#include <gtest/gtest.h>

#include "engine/Ansi.h"

using namespace tw;

TEST(AnsiText, CodePageCharactersBecomeUtf8AndBack)
{
    EXPECT_EQ(AnsiToUtf8("Job #12"), "Job #12");
    EXPECT_EQ(AnsiToUtf8("f\x92"
                         "c"),
              "f\u2019c");
    EXPECT_EQ(AnsiToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(AnsiToUtf8("\xE9"), "\u00E9");
    EXPECT_EQ(AnsiToUtf8("\x9F"), "\u0178");
    EXPECT_EQ(Utf8ToAnsi("f\u2019c = 3 ksi"), "f\x92"
                                              "c = 3 ksi");
    EXPECT_EQ(Utf8ToAnsi("Caf\u00E9 \u20AC5"), "Caf\xE9 \x80"
                                               "5");
}

TEST(AnsiText, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

TEST(AnsiText, UnrepresentableAndMalformedTextBecomesQuestionMarks)
{
    EXPECT_EQ(Utf8ToAnsi("\u4E2D\u6587"), "??");
    EXPECT_EQ(Utf8ToAnsi("a\U0001F600b"), "a?b");
    EXPECT_EQ(Utf8ToAnsi("a\x80z"), "a?z") << "stray continuation byte";
    EXPECT_EQ(Utf8ToAnsi("a\xC3"), "a?") << "sequence cut at the end";
    EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??") << "overlong form";
    EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "???") << "surrogate";
    EXPECT_EQ(Utf8ToAnsi("\xFF"), "?");
}
