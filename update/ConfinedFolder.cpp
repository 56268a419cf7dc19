#include "update/ConfinedFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#if defined(Q_OS_UNIX)
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tw::update {

namespace {

// A name of an entry directly in the folder.
bool IsEntryName(const QString& name)
{
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

QString BadName(const QString& name)
{
    return QStringLiteral("\"%1\" is not a name in the folder").arg(name);
}

QString RandomSuffix()
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < 8; ++i)
        suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars) - 1)]);
    return suffix;
}

// Attempts at a unique name before giving up (each collides only by chance).
constexpr int kUniqueAttempts = 100;

} // namespace

#if defined(Q_OS_UNIX)

namespace {

QString Errno()
{
    return qt_error_string(errno);
}

// Deeper folders than this are not removed (an extraction never makes them: its entries are
// limited to fewer levels).
constexpr int kMaxRemoveDepth = 128;

// Removes `name` in the folder `parent` without following a link: a link or a file is
// unlinked, a folder emptied through its own descriptor first.
bool RemoveEntry(int parent, const QByteArray& name, int depth, QString& error)
{
    struct stat st;
    if (fstatat(parent, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return true;
        error = Errno();
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        if (unlinkat(parent, name.constData(), 0) != 0 && errno != ENOENT) {
            error = Errno();
            return false;
        }
        return true;
    }
    if (depth >= kMaxRemoveDepth) {
        error = QStringLiteral("the folders are nested too deeply");
        return false;
    }
    const int fd =
        openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = Errno();
        return false;
    }
    DIR* dir = fdopendir(fd);
    if (!dir) {
        error = Errno();
        close(fd);
        return false;
    }
    // The names first: the folder is not changed while it is read.
    QList<QByteArray> names;
    while (const dirent* entry = readdir(dir)) {
        const QByteArray child(entry->d_name);
        if (child != "." && child != "..")
            names << child;
    }
    bool ok = true;
    for (const QByteArray& child : names)
        if (!RemoveEntry(dirfd(dir), child, depth + 1, error)) {
            ok = false;
            break;
        }
    closedir(dir);
    if (ok && unlinkat(parent, name.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT) {
        error = Errno();
        ok = false;
    }
    return ok;
}

} // namespace

TConfinedFolder::~TConfinedFolder()
{
    if (fd_ >= 0)
        close(fd_);
}

QString TConfinedFolder::Open(const QString& path)
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    path_.clear();
    if (!QDir().mkpath(path))
        return QStringLiteral("Cannot make the folder %1.").arg(path);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return QStringLiteral("Cannot open the folder %1.").arg(path);
    fd_ = open(QFile::encodeName(canonical).constData(),
               O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0)
        return QStringLiteral("Cannot open the folder %1: %2").arg(path, Errno());
    path_ = canonical;
    return {};
}

bool TConfinedFolder::IsOpen() const
{
    return fd_ >= 0;
}

TConfinedFolder::TKind TConfinedFolder::Kind(const QString& name) const
{
    struct stat st;
    if (!IsEntryName(name) ||
        fstatat(fd_, QFile::encodeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return TKind::Missing;
    if (S_ISLNK(st.st_mode))
        return TKind::Link;
    if (S_ISDIR(st.st_mode))
        return TKind::Folder;
    return S_ISREG(st.st_mode) ? TKind::File : TKind::Other;
}

QString TConfinedFolder::Remove(const QString& name)
{
    if (!IsEntryName(name))
        return BadName(name);
    QString error;
    if (!RemoveEntry(fd_, QFile::encodeName(name), 0, error))
        return QStringLiteral("Cannot remove %1: %2").arg(FilePath(name), error);
    return {};
}

QString TConfinedFolder::MakeFolder(const QString& name)
{
    if (!IsEntryName(name))
        return BadName(name);
    if (mkdirat(fd_, QFile::encodeName(name).constData(), 0755) != 0)
        return QStringLiteral("Cannot make the folder %1: %2").arg(FilePath(name), Errno());
    return {};
}

QString TConfinedFolder::Rename(const QString& from, const QString& to)
{
    if (!IsEntryName(from) || !IsEntryName(to))
        return BadName(IsEntryName(from) ? to : from);
    if (renameat(fd_, QFile::encodeName(from).constData(), fd_,
                 QFile::encodeName(to).constData()) != 0)
        return QStringLiteral("Cannot write %1: %2").arg(FilePath(to), Errno());
    return {};
}

std::unique_ptr<QFile> TConfinedFolder::CreateUnique(const QString& prefix, QString& name,
                                                     QString& error)
{
    for (int attempt = 0; attempt < kUniqueAttempts; ++attempt) {
        const QString candidate = prefix + RandomSuffix();
        if (!IsEntryName(candidate)) {
            error = BadName(candidate);
            return nullptr;
        }
        const int fd = openat(fd_, QFile::encodeName(candidate).constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            error = QStringLiteral("Cannot write %1: %2").arg(FilePath(candidate), Errno());
            return nullptr;
        }
        auto file = std::make_unique<QFile>();
        if (!file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            close(fd);
            unlinkat(fd_, QFile::encodeName(candidate).constData(), 0);
            error =
                QStringLiteral("Cannot write %1: %2").arg(FilePath(candidate), file->errorString());
            return nullptr;
        }
        name = candidate;
        return file;
    }
    error = QStringLiteral("Cannot make a new file in %1.").arg(path_);
    return nullptr;
}

#else // Qt alone: a link is looked for before anything is removed or replaced.

TConfinedFolder::~TConfinedFolder() = default;

QString TConfinedFolder::Open(const QString& path)
{
    path_.clear();
    fd_ = -1;
    if (!QDir().mkpath(path))
        return QStringLiteral("Cannot make the folder %1.").arg(path);
    path_ = QFileInfo(path).canonicalFilePath();
    if (path_.isEmpty())
        return QStringLiteral("Cannot open the folder %1.").arg(path);
    fd_ = 0;
    return {};
}

bool TConfinedFolder::IsOpen() const
{
    return fd_ >= 0;
}

TConfinedFolder::TKind TConfinedFolder::Kind(const QString& name) const
{
    const QFileInfo info(FilePath(name));
    if (!IsEntryName(name) || (!info.exists() && !info.isSymLink()))
        return TKind::Missing;
    if (info.isSymLink() || info.isJunction())
        return TKind::Link;
    if (info.isDir())
        return TKind::Folder;
    return info.isFile() ? TKind::File : TKind::Other;
}

QString TConfinedFolder::Remove(const QString& name)
{
    if (!IsEntryName(name))
        return BadName(name);
    const QString path = FilePath(name);
    const TKind kind = Kind(name);
    // QDir::removeRecursively removes links inside the folder itself, but would empty the
    // target of a link given as the folder.
    const bool removed =
        kind == TKind::Missing ||
        (kind == TKind::Folder ? QDir(path).removeRecursively() : QFile::remove(path));
    return removed ? QString() : QStringLiteral("Cannot remove %1.").arg(path);
}

QString TConfinedFolder::MakeFolder(const QString& name)
{
    if (!IsEntryName(name))
        return BadName(name);
    return QDir(path_).mkdir(name)
               ? QString()
               : QStringLiteral("Cannot make the folder %1.").arg(FilePath(name));
}

QString TConfinedFolder::Rename(const QString& from, const QString& to)
{
    if (!IsEntryName(from) || !IsEntryName(to))
        return BadName(IsEntryName(from) ? to : from);
    if (Kind(to) == TKind::Folder || !Remove(to).isEmpty() ||
        !QFile::rename(FilePath(from), FilePath(to)))
        return QStringLiteral("Cannot write %1.").arg(FilePath(to));
    return {};
}

std::unique_ptr<QFile> TConfinedFolder::CreateUnique(const QString& prefix, QString& name,
                                                     QString& error)
{
    for (int attempt = 0; attempt < kUniqueAttempts; ++attempt) {
        const QString candidate = prefix + RandomSuffix();
        if (!IsEntryName(candidate)) {
            error = BadName(candidate);
            return nullptr;
        }
        auto file = std::make_unique<QFile>(FilePath(candidate));
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            name = candidate;
            return file;
        }
        if (Kind(candidate) == TKind::Missing) {
            error =
                QStringLiteral("Cannot write %1: %2").arg(FilePath(candidate), file->errorString());
            return nullptr;
        }
    }
    error = QStringLiteral("Cannot make a new file in %1.").arg(path_);
    return nullptr;
}

#endif

} // namespace tw::update
