#include "engine/JsonWriter.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/Ansi.h"

namespace tw {

void JsonWriter::Key(std::string_view key)
{
    Separate();
    Out_ += '"';
    Out_.append(key);
    Out_.append("\": ", 3);
    AfterKey_ = true;
}

void JsonWriter::Number(long double value)
{
    Separate();
    if (Exact_)
        AppendExtended(value);
    else
        AppendDouble(static_cast<double>(value));
}

void JsonWriter::Integer(int64_t value)
{
    Separate();
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    Out_.append(buffer, result.ptr);
}

void JsonWriter::Bool(bool value)
{
    Separate();
    Out_ += value ? "true" : "false";
}

void JsonWriter::Null()
{
    Separate();
    Out_ += "null";
}

void JsonWriter::String(std::string_view utf8)
{
    Separate();
    AppendString(utf8);
}

void JsonWriter::Open(char bracket, bool isInline)
{
    Separate();
    Out_ += bracket;
    Levels_.push_back({isInline || InlineDepth() > 0, true});
}

void JsonWriter::Close(char bracket)
{
    const Level level = Levels_.back();
    Levels_.pop_back();
    if (!level.Empty && !level.Inline)
        NewLine();
    Out_ += bracket;
}

void JsonWriter::NewLine()
{
    Out_ += '\n';
    Out_.append(2 * Levels_.size(), ' ');
}

// Writes what goes before a value or key: nothing after a key, else a comma when the
// container already holds something, then a line break unless the container is inline.
void JsonWriter::Separate()
{
    if (AfterKey_) {
        AfterKey_ = false;
        return;
    }
    if (Levels_.empty())
        return;
    Level& level = Levels_.back();
    if (!level.Empty)
        Out_ += level.Inline ? ", " : ",";
    level.Empty = false;
    if (!level.Inline)
        NewLine();
}

// The shortest text of the double (null when it is not finite, also after the conversion
// from long double). The results repeat many values (the cut pass, the diagram depths),
// so recent texts are kept in a small direct-mapped cache.
void JsonWriter::AppendDouble(double value)
{
    if (!std::isfinite(value)) {
        Out_ += "null";
        return;
    }
    const auto bits = std::bit_cast<uint64_t>(value);
    CachedNumber& slot = Cache_[(bits * 0x9E3779B97F4A7C15ull) >> (64 - kCacheBits)];
    if (slot.Length == 0 || slot.Bits != bits) {
        if (value == 0 && std::signbit(value)) {
            std::memcpy(slot.Text, "-0.0", 4);
            slot.Length = 4;
        } else {
            const auto result = std::to_chars(slot.Text, slot.Text + sizeof slot.Text, value);
            slot.Length = static_cast<uint8_t>(result.ptr - slot.Text);
        }
        slot.Bits = bits;
    }
    Out_.append(slot.Text, slot.Length);
}

void JsonWriter::Text(std::string_view ansi)
{
    String(AnsiToUtf8(ansi));
}

// The shortest text that reads back to the same long double.
void JsonWriter::AppendExtended(long double value)
{
    if (!std::isfinite(value)) {
        Out_ += std::isnan(value) ? "\"NaN\"" : value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
        return;
    }
    if (value == 0 && std::signbit(value)) {
        Out_ += "-0.0"; // "-0" would read back as the integer 0
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    Out_.append(buffer, result.ptr);
}

void JsonWriter::AppendString(std::string_view text)
{
    Out_ += '"';
    std::size_t plain = 0; // characters since the last escaped one, appended in one go
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\' && c != 0x7F) {
            ++plain;
            continue;
        }
        Out_.append(text.substr(i - plain, plain));
        plain = 0;
        switch (c) {
        case '"':
            Out_ += "\\\"";
            break;
        case '\\':
            Out_ += "\\\\";
            break;
        case '\n':
            Out_ += "\\n";
            break;
        case '\r':
            Out_ += "\\r";
            break;
        case '\t':
            Out_ += "\\t";
            break;
        default: {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            Out_ += buffer;
        }
        }
    }
    Out_.append(text.substr(text.size() - plain, plain));
    Out_ += '"';
}

} // namespace tw
