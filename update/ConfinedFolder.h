// TConfinedFolder: a folder opened once, by its canonical path, in which the update check makes,
// renames and removes its files relative to that open folder. A symbolic link inside it is
// never followed: a new file is made exclusively (never through an existing name), a rename
// replaces a link at the target name itself, and removing a folder removes links inside it
// without descending into them. Links above the folder were resolved when it was opened (the
// user's choice of where the folder is); nothing is written or removed outside it.
//
// POSIX: openat, mkdirat, renameat and unlinkat on the folder's descriptor. Elsewhere a plain
// Qt fallback that checks for a link before it removes anything.
#pragma once

#include <QString>

#include <memory>

class QFile;

namespace tw::update {

class TConfinedFolder
{
public:
    enum class TKind
    {
        Missing,
        File,
        Folder,
        Link,
        Other
    };

    TConfinedFolder() = default;
    ~TConfinedFolder();
    TConfinedFolder(const TConfinedFolder&) = delete;
    TConfinedFolder& operator=(const TConfinedFolder&) = delete;

    // Makes the folder when missing and opens it. Returns the reason of a failure, empty on
    // success.
    QString Open(const QString& path);
    bool IsOpen() const;
    // The canonical path of the folder (no link anywhere on it).
    const QString& Path() const { return path_; }
    QString FilePath(const QString& name) const { return path_ + QLatin1Char('/') + name; }

    // What the name is in the folder, links not followed.
    TKind Kind(const QString& name) const;
    // Removes the entry itself: a file or a link (never what it points to), or a folder with
    // everything in it. A missing entry is no failure. The reason of a failure, or empty.
    QString Remove(const QString& name);
    QString MakeFolder(const QString& name);
    // Renames within the folder; whatever has the name `to` (a link too) is replaced itself.
    QString Rename(const QString& from, const QString& to);
    // A new file for writing, made exclusively under a name beginning with `prefix` and
    // unique in the folder (`name` receives it). Null on failure, with the reason in `error`.
    std::unique_ptr<QFile> CreateUnique(const QString& prefix, QString& name, QString& error);

private:
    QString path_;
    int fd_ = -1;
};

} // namespace tw::update
