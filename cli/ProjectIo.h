// Reading and writing a project by the extension of its path: ".btw" project files and
// ".json" project documents.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace tw {
class TTWData;
}

namespace tw::cli {

// A file that cannot be read or written, or is not a project: exit code 2.
class FileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

enum class ProjectFormat
{
    Btw,
    Json
};

// The format of a path by its extension (case-insensitive); throws FileError for any other.
ProjectFormat FormatOf(const std::filesystem::path& path);

// Loads the project at the path into `project`, which is left as it was on failure.
void LoadProject(const std::filesystem::path& path, TTWData& project);

// Saves the project to the path in the format of its extension.
void SaveProject(const TTWData& project, const std::filesystem::path& path);

} // namespace tw::cli
