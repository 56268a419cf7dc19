// A small streaming JSON writer for the project and results documents: objects and arrays
// indented two spaces a level, "inline" containers (pressure points) on one line. nlohmann-json
// parses the documents, but it formats a long double with a printf conversion meant for
// double, so it does not write them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

class JsonWriter
{
public:
    // Appends to `out`. exactExtended: long double values in their shortest exact form and
    // non-finite ones as strings (project files); otherwise as the nearest double and
    // non-finite ones as null.
    JsonWriter(std::string& out, bool exactExtended) : Out_(out), Exact_(exactExtended) {}

    void BeginObject(bool isInline = false) { Open('{', isInline); }
    void EndObject() { Close('}'); }
    void BeginArray(bool isInline = false) { Open('[', isInline); }
    void EndArray() { Close(']'); }

    // Keys are the program's own identifiers: nothing in them needs escaping.
    void Key(std::string_view key);
    void Number(long double value);
    void Integer(int64_t value);
    void Bool(bool value);
    void Null();
    void String(std::string_view utf8);
    // A project text (Windows-1252) as a UTF-8 string.
    void Text(std::string_view ansi);

    // Ends the document with a line break.
    void Finish() { Out_ += '\n'; }

private:
    struct Level
    {
        bool Inline;
        bool Empty;
    };

    void Open(char bracket, bool isInline);
    void Close(char bracket);
    int InlineDepth() const { return !Levels_.empty() && Levels_.back().Inline ? 1 : 0; }
    void NewLine();
    // What goes before a value or key: a comma, a line break and the indent as needed.
    void Separate();
    // The shortest text that reads back to the same long double (project documents).
    void AppendExtended(long double value);
    // The shortest text of the nearest double, or null (results).
    void AppendDouble(double value);
    // A UTF-8 text as a JSON string, with the escapes JSON needs.
    void AppendString(std::string_view text);

    struct CachedNumber
    {
        uint64_t Bits = 0;
        uint8_t Length = 0; // 0: empty
        char Text[32];
    };
    static constexpr int kCacheBits = 8;

    std::string& Out_;
    bool Exact_;
    bool AfterKey_ = false;
    std::vector<Level> Levels_;
    std::array<CachedNumber, 1u << kCacheBits> Cache_{};
};

} // namespace tw
