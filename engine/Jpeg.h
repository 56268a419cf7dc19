// JPEG reading, checking and writing for the pictures that project files and reports carry.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tw {

// Images with more pixels than this are refused before anything is allocated for them.
inline constexpr int64_t kMaxJpegPixels = 100'000'000;

struct JpegImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // 3 bytes per pixel, rows top to bottom, no padding
};

struct JpegInfo
{
    int width = 0;
    int height = 0;
};

// Reads the header and decodes the whole image. Grey-scale and CMYK/YCCK pictures come back as
// RGB. Returns nullopt, with the reason in *error when given, for bytes that are not a complete
// decodable JPEG: truncated or corrupt data (warnings such as a premature end count as
// failures) or more than kMaxJpegPixels pixels.
std::optional<JpegImage> DecodeJpeg(std::span<const uint8_t> bytes, std::string* error = nullptr);

// The dimensions the header states, without decoding the image data or checking the size
// limit; nullopt if there is no readable header.
std::optional<JpegInfo> JpegDimensions(std::span<const uint8_t> bytes);

// True when DecodeJpeg would succeed.
bool IsValidJpeg(std::span<const uint8_t> bytes, std::string* error = nullptr);

// Compresses an RGB image (4:4:4, so line work keeps sharp colour edges). quality is clamped
// to 1..100. Throws std::invalid_argument for an empty image, a pixel buffer that does not
// match the dimensions, or dimensions past what JPEG or kMaxJpegPixels allow, and
// std::runtime_error if the library fails.
std::vector<uint8_t> EncodeJpeg(const JpegImage& image, int quality = 90);

} // namespace tw
