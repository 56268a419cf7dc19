#include "engine/Jpeg.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <utility>

#include <gtest/gtest.h>

#if __has_include(<turbojpeg.h>)
#include <turbojpeg.h>
#define TW_TEST_HAS_TURBOJPEG 1
#endif

namespace {

tw::JpegImage Gradient(int width, int height)
{
    tw::JpegImage image;
    image.width = width;
    image.height = height;
    image.rgb.reserve(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.rgb.push_back(static_cast<uint8_t>(x * 255 / (width - 1)));
            image.rgb.push_back(static_cast<uint8_t>(y * 255 / (height - 1)));
            image.rgb.push_back(static_cast<uint8_t>(128 + (x - y) / 4));
        }
    }
    return image;
}

// The offset of the first marker with this code (FF xx) among the segments before the scan.
size_t FindSegment(const std::vector<uint8_t>& jpeg, uint8_t code)
{
    size_t at = 2; // past SOI
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
        if (jpeg[at + 1] == code)
            return at;
        if (jpeg[at + 1] == 0xDA) // start of scan: no more headers
            break;
        at += 2 + ((jpeg[at + 2] << 8) | jpeg[at + 3]);
    }
    return std::string::npos;
}

TEST(JpegRoundTrip, GradientComesBackClose)
{
    for (const auto& [width, height] : {std::pair{64, 48}, std::pair{37, 23}}) {
        const tw::JpegImage original = Gradient(width, height);
        const std::vector<uint8_t> jpeg = tw::EncodeJpeg(original, 90);
        ASSERT_GE(jpeg.size(), 4u);
        EXPECT_EQ(jpeg[0], 0xFF);
        EXPECT_EQ(jpeg[1], 0xD8);
        EXPECT_EQ(jpeg[jpeg.size() - 2], 0xFF);
        EXPECT_EQ(jpeg[jpeg.size() - 1], 0xD9);

        const std::optional<tw::JpegInfo> info = tw::JpegDimensions(jpeg);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->width, width);
        EXPECT_EQ(info->height, height);

        std::string error;
        const std::optional<tw::JpegImage> decoded = tw::DecodeJpeg(jpeg, &error);
        ASSERT_TRUE(decoded) << error;
        EXPECT_EQ(decoded->width, width);
        EXPECT_EQ(decoded->height, height);
        ASSERT_EQ(decoded->rgb.size(), original.rgb.size());
        int worst = 0;
        long total = 0;
        for (size_t i = 0; i < original.rgb.size(); ++i) {
            const int difference = std::abs(int{decoded->rgb[i]} - int{original.rgb[i]});
            worst = std::max(worst, difference);
            total += difference;
        }
        EXPECT_LE(worst, 12);
        EXPECT_LT(static_cast<double>(total) / static_cast<double>(original.rgb.size()), 2.0);
        EXPECT_TRUE(tw::IsValidJpeg(jpeg));
    }
}

TEST(JpegRoundTrip, QualityChangesSizeAndError)
{
    // Noise compresses badly, so quality shows in both file size and fidelity.
    tw::JpegImage noise;
    noise.width = 40;
    noise.height = 40;
    std::mt19937 random(3);
    for (int i = 0; i < 40 * 40 * 3; ++i)
        noise.rgb.push_back(static_cast<uint8_t>(random()));
    const std::vector<uint8_t> low = tw::EncodeJpeg(noise, 10);
    const std::vector<uint8_t> high = tw::EncodeJpeg(noise, 98);
    EXPECT_LT(low.size(), high.size() / 2);

    auto error = [&](const std::vector<uint8_t>& jpeg) {
        const std::optional<tw::JpegImage> image = tw::DecodeJpeg(jpeg);
        EXPECT_TRUE(image);
        long total = 0;
        for (size_t i = 0; image && i < noise.rgb.size(); ++i)
            total += std::abs(int{image->rgb[i]} - int{noise.rgb[i]});
        return total;
    };
    EXPECT_LT(error(high), error(low));
    // Out-of-range qualities are clamped, not refused.
    EXPECT_EQ(tw::EncodeJpeg(noise, 500), tw::EncodeJpeg(noise, 100));
    EXPECT_EQ(tw::EncodeJpeg(noise, -3), tw::EncodeJpeg(noise, 1));
}

TEST(JpegInvalid, EmptyData)
{
    std::string error;
    EXPECT_FALSE(tw::DecodeJpeg({}, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(tw::IsValidJpeg({}));
    EXPECT_FALSE(tw::JpegDimensions({}));
}

TEST(JpegInvalid, TruncatedData)
{
    const std::vector<uint8_t> jpeg = tw::EncodeJpeg(Gradient(64, 64));
    ASSERT_TRUE(tw::IsValidJpeg(jpeg));
    // Cut inside the headers, inside the scan, and just before the end-of-image marker.
    for (const size_t length : {size_t{3}, size_t{20}, jpeg.size() / 3, jpeg.size() / 2,
                                jpeg.size() - 10, jpeg.size() - 2}) {
        const std::span<const uint8_t> cut(jpeg.data(), length);
        std::string error;
        EXPECT_FALSE(tw::IsValidJpeg(cut, &error)) << "length " << length;
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(tw::DecodeJpeg(cut));
    }
    // Cut in the scan, the header is still there, but the image is not.
    std::string error;
    const std::span<const uint8_t> half(jpeg.data(), jpeg.size() / 2);
    EXPECT_TRUE(tw::JpegDimensions(half));
    EXPECT_FALSE(tw::DecodeJpeg(half, &error));
    EXPECT_NE(error.find("Premature end"), std::string::npos) << error;
}

TEST(JpegInvalid, RandomGarbage)
{
    std::mt19937 random(11);
    for (const size_t size : {1u, 2u, 100u, 5000u}) {
        for (int round = 0; round < 20; ++round) {
            std::vector<uint8_t> garbage(size);
            for (uint8_t& byte : garbage)
                byte = static_cast<uint8_t>(random());
            // Half of them start like a JPEG so that the decoder has to look further.
            if (round % 2 == 0 && size >= 4) {
                garbage[0] = 0xFF;
                garbage[1] = 0xD8;
                garbage[2] = 0xFF;
            }
            std::string error;
            EXPECT_FALSE(tw::IsValidJpeg(garbage, &error));
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(JpegInvalid, CorruptedScanIsRefused)
{
    std::vector<uint8_t> jpeg = tw::EncodeJpeg(Gradient(64, 64));
    const size_t scan = FindSegment(jpeg, 0xDA);
    ASSERT_NE(scan, std::string::npos);
    // Overwrite the middle of the entropy-coded data with a restart marker that has no
    // business there.
    const size_t middle = (scan + jpeg.size()) / 2;
    jpeg[middle] = 0xFF;
    jpeg[middle + 1] = 0xD5;
    EXPECT_FALSE(tw::IsValidJpeg(jpeg));
}

TEST(JpegInvalid, HugeClaimedSizeIsRefusedBeforeDecoding)
{
    std::vector<uint8_t> jpeg = tw::EncodeJpeg(Gradient(16, 16));
    const size_t sof = FindSegment(jpeg, 0xC0);
    ASSERT_NE(sof, std::string::npos);
    // SOF0: FF C0, length (2), precision (1), height (2), width (2), all big-endian.
    ASSERT_EQ(jpeg[sof + 5], 0);
    ASSERT_EQ(jpeg[sof + 6], 16);
    jpeg[sof + 5] = 0xEA; // 60000 = 0xEA60
    jpeg[sof + 6] = 0x60;
    jpeg[sof + 7] = 0xEA;
    jpeg[sof + 8] = 0x60;

    const std::optional<tw::JpegInfo> info = tw::JpegDimensions(jpeg);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 60000);
    EXPECT_EQ(info->height, 60000);

    // 3.6 gigapixels: refused from the header, no 10 GB buffer is made.
    std::string error;
    EXPECT_FALSE(tw::DecodeJpeg(jpeg, &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_FALSE(tw::IsValidJpeg(jpeg));
}

TEST(JpegEncode, RefusesEmptyOrInconsistentImages)
{
    EXPECT_THROW(tw::EncodeJpeg(tw::JpegImage{}), std::invalid_argument);

    tw::JpegImage noPixels;
    noPixels.width = 4;
    noPixels.height = 4;
    EXPECT_THROW(tw::EncodeJpeg(noPixels), std::invalid_argument);

    tw::JpegImage shortBuffer = Gradient(8, 8);
    shortBuffer.rgb.pop_back();
    EXPECT_THROW(tw::EncodeJpeg(shortBuffer), std::invalid_argument);

    tw::JpegImage negative = Gradient(8, 8);
    negative.width = -8;
    negative.height = -8;
    EXPECT_THROW(tw::EncodeJpeg(negative), std::invalid_argument);

    tw::JpegImage tooWide;
    tooWide.width = 70000;
    tooWide.height = 1;
    tooWide.rgb.resize(70000 * 3);
    EXPECT_THROW(tw::EncodeJpeg(tooWide), std::invalid_argument);

    // A single pixel is the smallest image there is.
    tw::JpegImage dot;
    dot.width = 1;
    dot.height = 1;
    dot.rgb = {200, 30, 90};
    const std::optional<tw::JpegImage> back = tw::DecodeJpeg(tw::EncodeJpeg(dot));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->rgb.size(), 3u);
    EXPECT_NEAR(back->rgb[0], 200, 6);
    EXPECT_NEAR(back->rgb[1], 30, 6);
    EXPECT_NEAR(back->rgb[2], 90, 6);
}

#if defined(TW_TEST_HAS_TURBOJPEG)
// JPEGs of other colour spaces than the encoder writes, made with the library directly.
std::vector<uint8_t> CompressRaw(const std::vector<uint8_t>& pixels, int width, int height,
                                 int format, int channels, int subsampling)
{
    tjhandle handle = tjInitCompress();
    unsigned char* output = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(handle, pixels.data(), width, width * channels, height, format,
                                   &output, &size, subsampling, 95, 0);
    std::vector<uint8_t> jpeg;
    if (result == 0)
        jpeg.assign(output, output + size);
    tjFree(output);
    tjDestroy(handle);
    return jpeg;
}

TEST(JpegColourSpaces, GreyscaleDecodesToGreyRgb)
{
    const int width = 24;
    const int height = 16;
    std::vector<uint8_t> grey;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            grey.push_back(static_cast<uint8_t>(x * 10));
    const std::vector<uint8_t> jpeg = CompressRaw(grey, width, height, TJPF_GRAY, 1, TJSAMP_GRAY);
    ASSERT_FALSE(jpeg.empty());
    const std::optional<tw::JpegImage> image = tw::DecodeJpeg(jpeg);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->rgb.size(), grey.size() * 3);
    for (size_t i = 0; i < grey.size(); ++i) {
        EXPECT_EQ(image->rgb[3 * i], image->rgb[3 * i + 1]);
        EXPECT_EQ(image->rgb[3 * i], image->rgb[3 * i + 2]);
        EXPECT_NEAR(image->rgb[3 * i], grey[i], 4);
    }
}

TEST(JpegColourSpaces, CmykDecodesToRgb)
{
    // Inverted CMYK as Adobe software writes it: 255 is no ink.
    const int width = 16;
    const int height = 16;
    std::vector<uint8_t> cmyk;
    for (int i = 0; i < width * height; ++i) {
        const bool left = i % width < width / 2;
        const uint8_t pixel[4] = {200, 100, 50, static_cast<uint8_t>(left ? 255 : 128)};
        cmyk.insert(cmyk.end(), pixel, pixel + 4);
    }
    const std::vector<uint8_t> jpeg = CompressRaw(cmyk, width, height, TJPF_CMYK, 4, TJSAMP_444);
    ASSERT_FALSE(jpeg.empty());
    std::string error;
    const std::optional<tw::JpegImage> image = tw::DecodeJpeg(jpeg, &error);
    ASSERT_TRUE(image) << error;
    ASSERT_EQ(image->rgb.size(), static_cast<size_t>(width * height * 3));
    // A pixel well inside each half.
    const uint8_t* full = &image->rgb[(8 * width + 2) * 3];
    const uint8_t* half = &image->rgb[(8 * width + 13) * 3];
    EXPECT_NEAR(full[0], 200, 4);
    EXPECT_NEAR(full[1], 100, 4);
    EXPECT_NEAR(full[2], 50, 4);
    EXPECT_NEAR(half[0], 100, 4);
    EXPECT_NEAR(half[1], 50, 4);
    EXPECT_NEAR(half[2], 25, 4);
}
#endif

} // namespace
