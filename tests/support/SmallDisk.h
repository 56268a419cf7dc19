// A small disk for tests of full disks: a tmpfs of a few kilobytes mounted on a folder inside
// the test's temporary folder for the life of the object, unmounted afterwards. Mounting needs
// root; where it is refused, Mounted() is false and Reason() says why (tests then skip).
#pragma once

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace tw::test {

class TSmallDisk
{
public:
    // `size` as tmpfs takes it ("64k").
    TSmallDisk(const std::filesystem::path& folder, const std::string& size) : Folder_(folder)
    {
        std::filesystem::create_directories(folder);
        const std::string options = "size=" + size + ",mode=0700";
        if (::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV | MS_NOEXEC,
                    options.c_str()) == 0)
            Mounted_ = true;
        else
            Reason_ = std::string("cannot mount a tmpfs (") + std::strerror(errno) +
                      "); run the tests as root to check writing onto a full disk";
    }
    ~TSmallDisk()
    {
        if (Mounted_ && ::umount(Folder_.c_str()) != 0)
            ::umount2(Folder_.c_str(), MNT_DETACH);
    }
    TSmallDisk(const TSmallDisk&) = delete;
    TSmallDisk& operator=(const TSmallDisk&) = delete;

    bool Mounted() const { return Mounted_; }
    const std::string& Reason() const { return Reason_; }

    // Writes a file of the name until the disk takes no byte more; true when it is full.
    bool Fill(const std::string& name) const
    {
        const int fd = ::open((Folder_ / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            return false;
        const std::vector<char> block(4096, 'f');
        std::size_t size = block.size();
        int error = 0;
        while (error == 0) {
            const ssize_t written = ::write(fd, block.data(), size);
            if (written < 0)
                error = errno;
            else if (static_cast<std::size_t>(written) < size)
                size = 1; // the last page, byte by byte
        }
        ::close(fd);
        return error == ENOSPC;
    }

private:
    std::filesystem::path Folder_;
    bool Mounted_ = false;
    std::string Reason_;
};

// The names in a folder, sorted: what a failed write left behind.
inline std::vector<std::string> NamesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tw::test
