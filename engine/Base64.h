// Base64 (RFC 4648, standard alphabet, padded): the logo's bytes in project JSON.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

std::string Base64Encode(const std::vector<uint8_t>& bytes);
// Strict decoding: the length is a multiple of 4, padding only at the end, no other characters.
// Returns false for any other text.
bool Base64Decode(std::string_view text, std::vector<uint8_t>& out);

} // namespace tw
