// The project's texts are 8-bit Windows-1252 characters, as project files hold them. These
// conversions are used where texts meet UTF-8 (windows, JSON, the command line).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// Windows-1252 bytes to UTF-8. The five byte values the code page leaves unassigned map to
// the control characters of the same number, so every byte survives a round trip.
std::string AnsiToUtf8(std::string_view ansi);

// Decodes the UTF-8 character that starts at byte i and moves i past it. A malformed
// sequence (bad lead or continuation byte, cut short, overlong, surrogate) gives nullopt and
// moves i by one byte.
std::optional<char32_t> DecodeUtf8At(std::string_view utf8, std::size_t& i);

// UTF-8 to Windows-1252. A character the code page cannot hold, and every byte of a
// malformed UTF-8 sequence, becomes "?".
std::string Utf8ToAnsi(std::string_view utf8);

} // namespace tw
