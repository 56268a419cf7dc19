// The project document: every persisted field, for editing and version control. The format is
// described in docs/json-format.md. The results document (ResultsJson.h) and the date texts
// (Dates.h) come with this header, so a caller of the JSON forms needs this one alone.
#pragma once

#include <string>
#include <string_view>

#include "engine/Dates.h"
#include "engine/ResultsJson.h"

namespace tw {

class TTWData;

// The "format" and "version" values of the document.
inline constexpr const char* kProjectJsonFormat = "tarnwick-project";
inline constexpr int kProjectJsonVersion = 1;

// Every persisted field of the project under its data-model name. Extended values are written
// in the shortest form that reads back to the same long double, so a project survives a round
// trip bit for bit; a NaN or infinite input is written as the string "NaN", "Infinity" or
// "-Infinity". Texts are converted from Windows-1252 to UTF-8.
std::string ProjectToJson(const TTWData& project);

// Reads a project document into `project`. The document is applied to a fresh project reset
// with NewProject(true) (keeping project's ExampleFolder), so a missing key takes its built-in
// default; the result replaces `project` only when the whole document was read. Throws
// std::runtime_error, naming the key, for malformed JSON, an unknown key, a value of the wrong
// type or out of range, an invalid date or logo, or a wrong "format"/"version".
void ProjectFromJson(std::string_view json, TTWData& project);

} // namespace tw
