#include "engine/Jpeg.h"

#include <turbojpeg.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <stdexcept>
#include <utility>

namespace tw {
namespace {

// JPEG frame headers store each dimension in 16 bits.
constexpr int kMaxJpegSide = 65535;

struct HandleDeleter
{
    void operator()(void* handle) const
    {
        if (handle != nullptr)
            tjDestroy(handle);
    }
};
using Handle = std::unique_ptr<void, HandleDeleter>;

struct BufferDeleter
{
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

void SetError(std::string* error, std::string message)
{
    if (error != nullptr)
        *error = std::move(message);
}

std::string LibraryMessage(tjhandle handle)
{
    const char* message = tjGetErrorStr2(handle);
    return message != nullptr ? message : "unknown error";
}

struct Header
{
    int width = 0;
    int height = 0;
    int colorspace = 0;
};

std::optional<Header> ReadHeader(tjhandle handle, std::span<const uint8_t> bytes,
                                 std::string* error)
{
    if (bytes.empty()) {
        SetError(error, "no JPEG data");
        return std::nullopt;
    }
    if (bytes.size() > std::numeric_limits<unsigned long>::max()) {
        SetError(error, "JPEG data too large");
        return std::nullopt;
    }
    Header header;
    int subsampling = 0;
    if (tjDecompressHeader3(handle, bytes.data(), static_cast<unsigned long>(bytes.size()),
                            &header.width, &header.height, &subsampling, &header.colorspace) != 0) {
        SetError(error, "no readable JPEG header: " + LibraryMessage(handle));
        return std::nullopt;
    }
    if (header.width < 1 || header.height < 1) {
        SetError(error, "the JPEG header gives no image size");
        return std::nullopt;
    }
    return header;
}

// Decoded CMYK comes as stored, which for the Adobe files that carry CMYK is inverted (255 =
// no ink); multiplying each colour by K gives RGB.
void CmykToRgb(const std::vector<uint8_t>& cmyk, std::vector<uint8_t>& rgb)
{
    const size_t pixels = cmyk.size() / 4;
    rgb.resize(pixels * 3);
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned k = cmyk[4 * i + 3];
        for (size_t c = 0; c < 3; ++c)
            rgb[3 * i + c] = static_cast<uint8_t>((cmyk[4 * i + c] * k + 127) / 255);
    }
}

} // namespace

std::optional<JpegImage> DecodeJpeg(std::span<const uint8_t> bytes, std::string* error)
{
    Handle handle(tjInitDecompress());
    if (!handle) {
        SetError(error, "cannot start the JPEG decoder: " + LibraryMessage(nullptr));
        return std::nullopt;
    }
    const std::optional<Header> header = ReadHeader(handle.get(), bytes, error);
    if (!header)
        return std::nullopt;

    // Checked before allocating: a few header bytes can claim gigapixels.
    const int64_t pixels = int64_t{header->width} * header->height;
    if (pixels > kMaxJpegPixels) {
        SetError(error, "JPEG image too large: " + std::to_string(header->width) + " x " +
                            std::to_string(header->height) + " pixels (at most " +
                            std::to_string(kMaxJpegPixels) + " allowed)");
        return std::nullopt;
    }

    // libjpeg cannot convert CMYK to RGB itself; such images are decoded as CMYK first.
    const bool cmyk = header->colorspace == TJCS_CMYK || header->colorspace == TJCS_YCCK;
    const int channels = cmyk ? 4 : 3;
    std::vector<uint8_t> decoded(static_cast<size_t>(pixels) * channels);
    // A warning (say "Premature end of JPEG file" for cut-off data) stops the decode and
    // counts as a failure, and so does a progressive file with an absurd number of scans.
    const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS | TJFLAG_ACCURATEDCT;
    if (tjDecompress2(handle.get(), bytes.data(), static_cast<unsigned long>(bytes.size()),
                      decoded.data(), header->width, header->width * channels, header->height,
                      cmyk ? TJPF_CMYK : TJPF_RGB, flags) != 0) {
        const bool warning = tjGetErrorCode(handle.get()) == TJERR_WARNING;
        SetError(error, std::string(warning ? "damaged or incomplete JPEG data: "
                                            : "JPEG data cannot be decoded: ") +
                            LibraryMessage(handle.get()));
        return std::nullopt;
    }

    JpegImage image;
    image.width = header->width;
    image.height = header->height;
    if (cmyk)
        CmykToRgb(decoded, image.rgb);
    else
        image.rgb = std::move(decoded);
    return image;
}

std::optional<JpegInfo> JpegDimensions(std::span<const uint8_t> bytes)
{
    Handle handle(tjInitDecompress());
    if (!handle)
        return std::nullopt;
    const std::optional<Header> header = ReadHeader(handle.get(), bytes, nullptr);
    if (!header)
        return std::nullopt;
    return JpegInfo{header->width, header->height};
}

bool IsValidJpeg(std::span<const uint8_t> bytes, std::string* error)
{
    return DecodeJpeg(bytes, error).has_value();
}

std::vector<uint8_t> EncodeJpeg(const JpegImage& image, int quality)
{
    if (image.width <= 0 || image.height <= 0)
        throw std::invalid_argument("cannot encode an empty image as JPEG");
    if (image.width > kMaxJpegSide || image.height > kMaxJpegSide)
        throw std::invalid_argument("image too wide or too tall for JPEG");
    const int64_t pixels = int64_t{image.width} * image.height;
    if (pixels > kMaxJpegPixels)
        throw std::invalid_argument("image has too many pixels to encode");
    if (image.rgb.size() != static_cast<size_t>(pixels) * 3)
        throw std::invalid_argument("image holds " + std::to_string(image.rgb.size()) +
                                    " bytes, but " + std::to_string(image.width) + " x " +
                                    std::to_string(image.height) + " RGB pixels need " +
                                    std::to_string(pixels * 3));

    Handle handle(tjInitCompress());
    if (!handle)
        throw std::runtime_error("cannot start the JPEG encoder: " + LibraryMessage(nullptr));
    unsigned char* output = nullptr;
    unsigned long size = 0;
    const int result = tjCompress2(handle.get(), image.rgb.data(), image.width, image.width * 3,
                                   image.height, TJPF_RGB, &output, &size, TJSAMP_444,
                                   std::clamp(quality, 1, 100), TJFLAG_ACCURATEDCT);
    const std::unique_ptr<unsigned char, BufferDeleter> owned(output);
    if (result != 0)
        throw std::runtime_error("JPEG compression failed: " + LibraryMessage(handle.get()));
    return std::vector<uint8_t>(output, output + size);
}

} // namespace tw
