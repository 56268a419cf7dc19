// Files written and read safely: every file the program writes goes through
// WriteFileAtomically, every project, document and picture it reads through ReadRegularFile.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tw {

// The largest project file (.btw) and project document (.json) read: a project is kilobytes,
// its logo a few megabytes.
inline constexpr std::uintmax_t kMaxProjectFileBytes = std::uintmax_t{64} << 20;
// The largest picture read as a logo.
inline constexpr std::uintmax_t kMaxLogoFileBytes = std::uintmax_t{64} << 20;

// A file that could not be read or written. what() is the message for the user and names the
// file ("Cannot write /x/wall.pdf: No space left on device"); Reason() is the part after the
// name, for callers that name the file themselves.
class TFileError : public std::runtime_error
{
public:
    TFileError(const std::string& message, std::string reason)
        : std::runtime_error(message), Reason_(std::move(reason))
    {
    }
    const std::string& Reason() const { return Reason_; }

private:
    std::string Reason_;
};

// Replaces the file at `path` by `bytes`, or by what `produce` writes on the stream, so that
// the file is either the old one or the complete new one. The content goes into a new
// temporary file of a name no other file has beside the target (created exclusively, never
// through a link, readable by the owner alone until complete); every write is checked, the
// file is flushed to the disk and closed, given the old file's permissions (a new file: the
// ordinary ones under the umask), and renamed over the target. A path that is a symbolic
// link replaces the file it points to. On any failure the temporary file is removed, the old
// file is left untouched and TFileError says why ("Cannot write PATH: REASON"); an exception
// thrown by `produce` becomes the reason.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);
void WriteFileAtomically(const std::filesystem::path& path,
                         const std::function<void(std::ostream&)>& produce);

// The whole content of the regular file at `path`. Anything else (a folder, a named pipe, a
// device, a socket) is refused without being read, so that it can neither block nor run on
// for ever, and so is a file larger than `maxBytes` ("x.json is 120 MB; project files larger
// than 64 MB are refused", `kind` naming the files); no more than `maxBytes` are ever read,
// even from a file that grows meanwhile. Throws TFileError.
std::string ReadRegularFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                            std::string_view kind);

} // namespace tw
