// Project files (.btw): a 64-byte header (product and version string), the variable part
// (four texts and the logo) and the fixed part (every other persisted field, one after
// another, no tags). The writer always writes version 1.21; the reader takes every version up
// to 1.21, skips the items a version does not hold and upgrades older values. docs/file-format.md
// describes the layout. TTWData's SaveToStream, LoadFromStream, SaveToFile and LoadFromFile
// call these.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace tw {

class TTWData;

// Writes the project as a file of the newest version. Throws std::runtime_error when the
// stream fails.
void WriteProjectFile(const TTWData& project, std::ostream& out);
// Replaces the project's persisted state in place: the built-in defaults (NewProject(true)),
// then whatever the file holds, with the catalogues of the selections read. Throws
// std::runtime_error ("Wrong file format" for a file that is not a project of a version this
// program reads).
void ReadProjectFile(TTWData& project, std::istream& in);

// Replaces the file by the project through WriteFileAtomically (SafeFile.h): the old file stays
// unless the new one was written completely (through a symbolic link: the file it points to,
// keeping that file's permissions). Throws TFileError ("Cannot save the project to PATH:
// REASON").
void SaveProjectFile(const TTWData& project, const std::filesystem::path& path);
// Reads the file into a fresh project (keeping project's ExampleFolder) and takes it over only
// when the whole file was read, so a failed load leaves the project as it was. Only a regular
// file of at most kMaxProjectFileBytes is read (ReadRegularFile). Throws std::runtime_error
// with a message for the user (TFileError when the file itself cannot be read).
void LoadProjectFile(TTWData& project, const std::filesystem::path& path);

} // namespace tw
