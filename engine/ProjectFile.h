// Project files (.btw): a 64-byte header (product and version string), the variable part
// (four texts and the logo) and the fixed part (every other persisted field, one after
// another, no tags). The writer always writes version 1.21; the reader takes every version up
// to 1.21, skips the items a version does not hold and upgrades older values. docs/file-format.md
// describes the layout. TTWData's SaveToStream, LoadFromStream, SaveToFile and LoadFromFile
// call these.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <stdexcept>
#include <string>

namespace tw {

class TTWData;

// A project file that ends before everything its version holds: cut off in a copy or a
// download. Detail() says where it ends ("it ends after 700 of 1259 bytes"; within the texts
// or the logo, in which of them); what() is "The project file is damaged: " and the detail.
class TDamagedProjectFile : public std::runtime_error
{
public:
    explicit TDamagedProjectFile(const std::string& detail)
        : std::runtime_error("The project file is damaged: " + detail), Detail_(detail)
    {
    }
    const std::string& Detail() const { return Detail_; }

private:
    std::string Detail_;
};

// Writes the project as a file of the newest version. Throws std::runtime_error when the
// stream fails.
void WriteProjectFile(const TTWData& project, std::ostream& out);
// Replaces the project's persisted state in place: the built-in defaults (NewProject(true)),
// then whatever the file holds, with the catalogues of the selections read. Throws
// std::runtime_error ("Wrong file format" for a file that is not a project of a version this
// program reads), TDamagedProjectFile for one that ends before every item of its version.
// Bytes after the last item are ignored.
void ReadProjectFile(TTWData& project, std::istream& in);

// Replaces the file by the project through WriteFileAtomically (SafeFile.h): the old file stays
// unless the new one was written completely (through a symbolic link: the file it points to,
// keeping that file's permissions). Throws TFileError ("Cannot save the project to PATH:
// REASON").
void SaveProjectFile(const TTWData& project, const std::filesystem::path& path);
// Reads the file into a fresh project (keeping project's ExampleFolder) and takes it over only
// when the whole file was read, so a failed load leaves the project as it was. Only a regular
// file of at most kMaxProjectFileBytes is read (ReadRegularFile). Throws TFileError with a
// message for the user that names the file ("PATH: Wrong file format", "PATH is damaged: it
// ends after 700 of 1259 bytes", "Cannot open PATH: REASON").
void LoadProjectFile(TTWData& project, const std::filesystem::path& path);

} // namespace tw
