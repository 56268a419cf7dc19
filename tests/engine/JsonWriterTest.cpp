// The JSON writer of the project and results documents: layout (two spaces a level, inline
// containers on one line, empty containers closed at once), escapes, and the two number forms
// (the shortest exact long double with non-finite values as strings, or the nearest double
// with non-finite values as null).
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "engine/JsonWriter.h"

using namespace tw;

TEST(JsonWriter, NestedAndInlineContainers)
{
    std::string out;
    JsonWriter w(out, true);
    w.BeginObject();
    w.Key("a");
    w.Integer(-3);
    w.Key("list");
    w.BeginArray();
    w.BeginObject(true);
    w.Key("X");
    w.Number(1.5L);
    w.Key("P");
    w.BeginArray();
    w.Integer(1);
    w.Integer(2);
    w.EndArray();
    w.EndObject();
    w.Bool(false);
    w.Null();
    w.EndArray();
    w.Key("empty");
    w.BeginObject();
    w.EndObject();
    w.EndObject();
    w.Finish();
    EXPECT_EQ(out, "{\n"
                   "  \"a\": -3,\n"
                   "  \"list\": [\n"
                   "    {\"X\": 1.5, \"P\": [1, 2]},\n"
                   "    false,\n"
                   "    null\n"
                   "  ],\n"
                   "  \"empty\": {}\n"
                   "}\n");
}

TEST(JsonWriter, StringsAreEscapedAndProjectTextsConverted)
{
    std::string out;
    JsonWriter w(out, true);
    w.BeginArray(true);
    w.String("q\"b\\n\nr\rt\t\x01\x7f"
             "end");
    w.Text("\xE9\x80"); // Windows-1252: e acute, euro sign
    w.EndArray();
    EXPECT_EQ(out, "[\"q\\\"b\\\\n\\nr\\rt\\t\\u0001\\u007fend\", \"\xC3\xA9\xE2\x82\xAC\"]");
}

TEST(JsonWriter, ExactExtendedNumbers)
{
    std::string out;
    JsonWriter w(out, true);
    w.BeginArray(true);
    w.Number(0.1L);
    w.Number(-0.0L);
    w.Number(0.0L);
    w.Number(std::numeric_limits<long double>::quiet_NaN());
    w.Number(std::numeric_limits<long double>::infinity());
    w.Number(-std::numeric_limits<long double>::infinity());
    w.EndArray();
    EXPECT_EQ(out, "[0.1, -0.0, 0, \"NaN\", \"Infinity\", \"-Infinity\"]");
    // 1/3 needs more digits than a double holds, and every one of them reads back.
    out.clear();
    JsonWriter third(out, true);
    third.Number(1.0L / 3);
    EXPECT_EQ(std::stold(out), 1.0L / 3);
    EXPECT_GT(out.size(), 19u) << out;
}

TEST(JsonWriter, NearestDoubleNumbers)
{
    std::string out;
    JsonWriter w(out, false);
    w.BeginArray(true);
    w.Number(1.0L / 3);
    w.Number(1.0L / 3); // the same value again, from the writer's cache
    w.Number(-0.0L);
    w.Number(std::numeric_limits<long double>::quiet_NaN());
    w.Number(std::numeric_limits<long double>::infinity());
    w.Number(std::numeric_limits<long double>::max()); // beyond a double: infinite
    w.EndArray();
    EXPECT_EQ(out, "[0.3333333333333333, 0.3333333333333333, -0.0, null, null, null]");
}
