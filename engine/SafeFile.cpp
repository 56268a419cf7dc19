#include "engine/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <random>
#include <streambuf>
#include <system_error>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#define TW_POSIX_FILES 1
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tw {

namespace {

namespace fs = std::filesystem;

std::string ErrnoText(int error)
{
    return error != 0 ? std::generic_category().message(error) : std::string("unknown error");
}

[[noreturn]] void Fail(const char* verb, const fs::path& path, const std::string& reason)
{
    throw TFileError(std::string(verb) + " " + path.string() + ": " + reason, reason);
}

// A size as the user reads it: whole megabytes (rounded up, so a file just over the limit does
// not read as equal to it), kilobytes or bytes.
std::string SizeText(std::uintmax_t bytes)
{
    constexpr std::uintmax_t kKB = 1024;
    constexpr std::uintmax_t kMB = kKB * 1024;
    if (bytes >= kMB)
        return std::to_string((bytes + kMB - 1) / kMB) + " MB";
    if (bytes >= kKB)
        return std::to_string((bytes + kKB - 1) / kKB) + " KB";
    return std::to_string(bytes) + " bytes";
}

[[noreturn]] void TooLarge(const fs::path& path, const std::string& size, std::uintmax_t maxBytes,
                           std::string_view kind)
{
    std::string reason = "is " + size + "; ";
    reason += kind;
    reason += " larger than " + SizeText(maxBytes) + " are refused";
    throw TFileError(path.string() + " " + reason, reason);
}

// The file a save replaces: through a symbolic link, the file it points to.
fs::path SaveTarget(const fs::path& path)
{
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path resolved = fs::canonical(path, ec);
        if (!ec)
            return resolved;
    }
    return path;
}

// A name beside the target for its temporary file; a different one at each call.
fs::path TemporaryName(const fs::path& target)
{
    static thread_local std::mt19937_64 random{std::random_device{}()};
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp",
                  static_cast<unsigned>(random() & 0xffffffffu));
    // Long names are shortened so that the temporary name stays within the file system's limit.
    std::string name = target.filename().string().substr(0, 200);
    fs::path temporary = target;
    temporary.replace_filename(name + suffix);
    return temporary;
}

#ifdef TW_POSIX_FILES

// The process's file creation mask, without changing it where the system can tell.
mode_t CurrentUmask()
{
    if (std::ifstream status("/proc/self/status"); status) {
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("Umask:", 0) == 0)
                return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8) & 0777);
    }
    const mode_t mask = umask(022);
    umask(mask);
    return mask;
}

// Writes all the bytes; false with errno set when the system refuses some of them.
bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// A stream buffer on a file descriptor that keeps the first error of the system.
class TFdBuf : public std::streambuf
{
public:
    explicit TFdBuf(int fd) : Fd_(fd), Buffer_(kBufferSize) { Reset(); }
    int Error() const { return Error_; }

protected:
    int_type overflow(int_type ch) override
    {
        if (!Drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }

    std::streamsize xsputn(const char* data, std::streamsize size) override
    {
        if (size <= epptr() - pptr()) {
            traits_type::copy(pptr(), data, static_cast<std::size_t>(size));
            pbump(static_cast<int>(size));
            return size;
        }
        // Larger than the room left: what is buffered, then the bytes themselves.
        if (!Drain() || !Put(data, static_cast<std::size_t>(size)))
            return 0;
        return size;
    }

    int sync() override { return Drain() ? 0 : -1; }

private:
    bool Put(const char* data, std::size_t size)
    {
        if (Error_ != 0)
            return false;
        if (!WriteAll(Fd_, data, size)) {
            Error_ = errno != 0 ? errno : EIO;
            return false;
        }
        return true;
    }

    bool Drain()
    {
        const bool ok = Put(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        Reset();
        return ok;
    }

    void Reset() { setp(Buffer_.data(), Buffer_.data() + Buffer_.size()); }

    static constexpr std::size_t kBufferSize = 1 << 16;

    int Fd_;
    int Error_ = 0;
    std::vector<char> Buffer_;
};

void WriteAtomically(const fs::path& path, const std::function<void(std::ostream&)>& produce)
{
    const fs::path target = SaveTarget(path);

    // The permissions the new file takes: the old file's, or the ordinary ones of a new file.
    mode_t mode = 0666 & ~CurrentUmask();
    struct stat old = {};
    if (::stat(target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode))
            Fail("Cannot write", path, ErrnoText(EISDIR));
        if (!S_ISREG(old.st_mode))
            Fail("Cannot write", path, "it is not a regular file");
        mode = old.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
    }

    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryName(target);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    S_IRUSR | S_IWUSR);
        if (fd < 0 && errno != EEXIST && errno != EINTR)
            break;
    }
    if (fd < 0)
        Fail("Cannot write", path, ErrnoText(errno));

    // From here on a failure removes the temporary file.
    const auto fail = [&](const std::string& reason) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.c_str());
        Fail("Cannot write", path, reason);
    };

    {
        TFdBuf buffer(fd);
        std::ostream out(&buffer);
        std::string thrown;
        try {
            produce(out);
            out.flush();
        } catch (const std::exception& e) {
            thrown = e.what();
        } catch (...) {
            thrown = "unknown error";
        }
        // The system's reason comes first: the producer only sees that its stream failed.
        if (buffer.Error() != 0)
            fail(ErrnoText(buffer.Error()));
        if (!thrown.empty())
            fail(thrown);
        if (!out)
            fail("the content could not be written");
    }
    if (::fsync(fd) != 0)
        fail(ErrnoText(errno));
    if (::fchmod(fd, mode) != 0)
        fail(ErrnoText(errno));
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0 && errno != EINTR)
        fail(ErrnoText(errno));
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        fail(ErrnoText(errno));

    // The new name on the disk too; a folder that cannot be synchronised is no failure of the
    // save, which has already taken place.
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

std::string ReadFile(const fs::path& path, std::uintmax_t maxBytes, std::string_view kind)
{
    const auto check = [&](const struct stat& info) {
        if (S_ISDIR(info.st_mode))
            Fail("Cannot open", path, ErrnoText(EISDIR));
        if (S_ISFIFO(info.st_mode))
            Fail("Cannot open", path, "it is a named pipe, not a regular file");
        if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
            Fail("Cannot open", path, "it is a device, not a regular file");
        if (!S_ISREG(info.st_mode))
            Fail("Cannot open", path, "it is not a regular file");
        if (static_cast<std::uintmax_t>(info.st_size) > maxBytes)
            TooLarge(path, SizeText(static_cast<std::uintmax_t>(info.st_size)), maxBytes, kind);
    };

    // The type is checked before opening, so that opening cannot block (a named pipe) or act
    // (a device), and again on what was opened, in case the name changed in between.
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0)
        Fail("Cannot open", path, ErrnoText(errno));
    check(info);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        Fail("Cannot open", path, ErrnoText(errno));
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &info) != 0)
        Fail("Cannot open", path, ErrnoText(errno));
    check(info);

    // One byte more than allowed tells a file that grew past the limit.
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            if (used > maxBytes)
                TooLarge(path, "over " + SizeText(maxBytes), maxBytes, kind);
            bytes.resize(static_cast<std::size_t>(
                std::min<std::uintmax_t>(maxBytes + 1, used + (std::uintmax_t{1} << 20))));
        }
        const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            Fail("Cannot read", path, ErrnoText(errno));
        }
        if (got == 0)
            break;
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return bytes;
}

#else

// Without POSIX: the same steps on the standard library, without the exclusive creation and
// the flush to the disk.
void WriteAtomically(const fs::path& path, const std::function<void(std::ostream&)>& produce)
{
    const fs::path target = SaveTarget(path);
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old) && !fs::is_regular_file(old))
        Fail("Cannot write", path, "it is not a regular file");
    fs::path temporary;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryName(target);
        if (!fs::exists(temporary, ec))
            break;
    }
    const auto fail = [&](const std::string& reason) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        Fail("Cannot write", path, reason);
    };
    {
        errno = 0;
        std::ofstream out(temporary, std::ios::binary);
        if (!out)
            Fail("Cannot write", path, ErrnoText(errno));
        try {
            produce(out);
            out.flush();
        } catch (const std::exception& e) {
            out.close();
            fail(e.what());
        }
        out.close();
        if (!out)
            fail("the file could not be written completely");
    }
    if (fs::is_regular_file(old))
        fs::permissions(temporary, old.permissions(), ec);
    fs::rename(temporary, target, ec);
    if (ec)
        fail(ec.message());
}

std::string ReadFile(const fs::path& path, std::uintmax_t maxBytes, std::string_view kind)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec)
        Fail("Cannot open", path, ec.message());
    if (fs::is_directory(status))
        Fail("Cannot open", path, std::make_error_code(std::errc::is_a_directory).message());
    if (!fs::is_regular_file(status))
        Fail("Cannot open", path, "it is not a regular file");
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > maxBytes)
        TooLarge(path, SizeText(size), maxBytes, kind);
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail("Cannot open", path, ErrnoText(errno));
    // One byte more than allowed tells a file that grew past the limit.
    std::string bytes;
    char chunk[1 << 16];
    while (in) {
        const std::uintmax_t room = maxBytes + 1 - bytes.size();
        in.read(chunk, static_cast<std::streamsize>(std::min<std::uintmax_t>(sizeof chunk, room)));
        if (in.bad())
            Fail("Cannot read", path, ErrnoText(errno));
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > maxBytes)
            TooLarge(path, "over " + SizeText(maxBytes), maxBytes, kind);
    }
    return bytes;
}

#endif

} // namespace

void WriteFileAtomically(const fs::path& path, std::string_view bytes)
{
    WriteAtomically(path, [bytes](std::ostream& out) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });
}

void WriteFileAtomically(const fs::path& path, const std::function<void(std::ostream&)>& produce)
{
    WriteAtomically(path, produce);
}

std::string ReadRegularFile(const fs::path& path, std::uintmax_t maxBytes, std::string_view kind)
{
    return ReadFile(path, maxBytes, kind);
}

} // namespace tw
