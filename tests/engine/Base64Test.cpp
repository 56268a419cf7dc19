// Base64 of the logo in project JSON: the test vectors of RFC 4648 both ways, and strict
// refusal of text that is not padded base64 of the standard alphabet.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/Base64.h"

using namespace tw;

namespace {

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

} // namespace

TEST(Base64, Rfc4648VectorsBothWays)
{
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, encoded] : vectors) {
        EXPECT_EQ(Base64Encode(Bytes(plain)), encoded) << plain;
        std::vector<uint8_t> decoded{0xAA};
        ASSERT_TRUE(Base64Decode(encoded, decoded)) << encoded;
        EXPECT_EQ(decoded, Bytes(plain)) << encoded;
    }
}

TEST(Base64, EveryByteValueRoundTrips)
{
    std::vector<uint8_t> all;
    for (int b = 255; b >= 0; --b)
        all.push_back(static_cast<uint8_t>(b));
    const std::string text = Base64Encode(all);
    EXPECT_EQ(text.size(), 344u); // 256 bytes: 85 groups of 3 and one of 1, padded
    EXPECT_EQ(text.substr(0, 4), "//79");
    EXPECT_EQ(text.substr(text.size() - 4), "AA==");
    std::vector<uint8_t> back;
    ASSERT_TRUE(Base64Decode(text, back));
    EXPECT_EQ(back, all);
}

TEST(Base64, StrictDecodingRefusesEverythingElse)
{
    std::vector<uint8_t> out;
    for (const char* bad : {"Zg=", "Zg", "Z===", "====", "Zg==Zg==", "Zm9v=", "Zm=v", "Zm9\n",
                            "Zm9-", "Zm9_", " Zm9v", "Zm9v "})
        EXPECT_FALSE(Base64Decode(bad, out)) << '"' << bad << '"';
}
