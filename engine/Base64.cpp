#include "engine/Base64.h"

namespace tw {

namespace {

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

} // namespace

std::string Base64Encode(const std::vector<uint8_t>& bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t v =
            (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += kBase64Alphabet[(v >> 6) & 63];
        out += kBase64Alphabet[v & 63];
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t v = uint32_t{bytes[i]} << 16;
        if (rest == 2)
            v |= uint32_t{bytes[i + 1]} << 8;
        out += kBase64Alphabet[(v >> 18) & 63];
        out += kBase64Alphabet[(v >> 12) & 63];
        out += rest == 2 ? kBase64Alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

bool Base64Decode(std::string_view text, std::vector<uint8_t>& out)
{
    auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z')
            return c - 'A';
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 26;
        if (c >= '0' && c <= '9')
            return c - '0' + 52;
        if (c == '+')
            return 62;
        if (c == '/')
            return 63;
        return -1;
    };
    if (text.size() % 4 != 0)
        return false;
    out.clear();
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int pad = 0;
        uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=' && last && k >= 2) {
                ++pad;
                v <<= 6;
                continue;
            }
            const int d = value(c);
            if (d < 0 || pad > 0)
                return false;
            v = (v << 6) | static_cast<uint32_t>(d);
        }
        out.push_back(static_cast<uint8_t>(v >> 16));
        if (pad < 2)
            out.push_back(static_cast<uint8_t>(v >> 8));
        if (pad < 1)
            out.push_back(static_cast<uint8_t>(v));
    }
    return true;
}

} // namespace tw
