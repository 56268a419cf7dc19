#include "update/WebUpdate.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSslSocket>
#include <QTimer>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <utility>

namespace tw::update {

// --- The rules ---

QString NormalizeUrl(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
        trimmed.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive))
        return trimmed;
    return QStringLiteral("https://") + trimmed;
}

void TmxProductInfo::SetURL(const QString& address)
{
    url_ = NormalizeUrl(address);
}

namespace {

// At most this many characters are looked at for a tag name or a value.
constexpr int kFieldLength = 255;

// The text from `start` up to the next double quote within the field length; empty when there
// is no closing quote there.
QString Quoted(const QString& line, qsizetype start)
{
    const QString field = line.mid(start, kFieldLength);
    const qsizetype end = field.indexOf(QLatin1Char('"'));
    return end < 0 ? QString() : field.left(end);
}

} // namespace

QString Printable(QString text)
{
    for (QChar& ch : text) {
        const char16_t c = ch.unicode();
        if (ch.category() == QChar::Other_Control || c == 0x2028 || c == 0x2029 ||
            (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
            ch = QLatin1Char('?');
    }
    return text;
}

TAnnouncement ParseAnnouncement(const QStringList& lines, const TmxTagInfo& tags)
{
    TAnnouncement a;
    for (const QString& line : lines) {
        const qsizetype meta = line.indexOf(QStringLiteral("META NAME"), 0, Qt::CaseInsensitive);
        if (meta < 0)
            continue;
        const QString name = Quoted(line, meta + 11);
        const qsizetype content =
            line.indexOf(QStringLiteral("CONTENT="), meta, Qt::CaseInsensitive);
        // Every value may end up on a terminal or in a window: none keeps a control character.
        const QString value = content < 0 ? QString() : Printable(Quoted(line, content + 9));
        if (name == tags.ProductName)
            a.productName = value;
        else if (name == tags.Version)
            a.version = value;
        else if (name == tags.VerDate)
            a.date =
                value.size() == 8 ? QDate::fromString(value, QStringLiteral("yyyyMMdd")) : QDate();
        else if (name == tags.Download)
            a.download = value;
        else if (name == tags.ClientFileName)
            a.clientFileName = value;
        else if (name == tags.RunParameters)
            a.runParameters = value;
        else if (name == tags.Redirection)
            a.redirection = value;
        else if (name == tags.Author)
            a.author = value;
        else if (name == tags.Email)
            a.email = value;
        else if (name == tags.DownloadInplace)
            a.downloadInplace = value;
        else if (name == tags.InplaceUtil)
            a.inplaceUtil = value;
    }
    return a;
}

bool IsNewer(const QString& current, const QString& announced, TmxVersionFormat format)
{
    switch (format) {
    case TmxVersionFormat::vfString:
        return QString::compare(announced, current, Qt::CaseSensitive) > 0;
    case TmxVersionFormat::vfNumber: {
        bool okCurrent = false, okAnnounced = false;
        const double c = current.trimmed().toDouble(&okCurrent);
        const double a = announced.trimmed().toDouble(&okAnnounced);
        return okCurrent && okAnnounced && a > c;
    }
    case TmxVersionFormat::vfStandard:
        break;
    }
    QString c = current, a = announced;
    for (;;) {
        const qsizetype cDot = c.indexOf(QLatin1Char('.'));
        const qsizetype aDot = a.indexOf(QLatin1Char('.'));
        const int cPart = (cDot < 0 ? c : c.left(cDot)).toInt();
        const int aPart = (aDot < 0 ? a : a.left(aDot)).toInt();
        if (cPart < aPart)
            return true;
        if (aPart < cPart || cDot < 0)
            return false;
        c = c.mid(cDot + 1);
        a = aDot < 0 ? QString() : a.mid(aDot + 1);
    }
}

bool IsThisProduct(const QString& ours, const QString& announced)
{
    return ours.isEmpty() ||
           QString::compare(ours.trimmed(), announced.trimmed(), Qt::CaseInsensitive) == 0;
}

QString NotOffered(const TmxProductInfo& product, const TAnnouncement& found)
{
    if (!IsThisProduct(product.ProductName, found.productName))
        return QStringLiteral(
                   "The page announces another product, \"%1\", not %2; nothing was downloaded.")
            .arg(found.productName, product.ProductName);
    if (!IsNewer(product.Version, found.version, product.VersionFormat))
        return QStringLiteral(
                   "No newer version is offered (announced %1, this program %2); nothing "
                   "was downloaded.")
            .arg(found.version, product.Version);
    return {};
}

bool IsPlainFileName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.size() > kFieldLength)
        return false;
    for (const QChar ch : name)
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F || ch == QLatin1Char('/') ||
            ch == QLatin1Char('\\') || ch == QLatin1Char(':') || ch == QLatin1Char('?'))
            return false;
    return true;
}

namespace {

// Whether an archive entry's path stays inside the extraction folder.
bool SafeEntryPath(const QString& path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1Char('\\')) ||
        (path.size() > 1 && path[1] == QLatin1Char(':')))
        return false;
    for (const QString& part : path.split(QRegularExpression(QStringLiteral("[/\\\\]"))))
        if (part == QStringLiteral(".."))
            return false;
    return true;
}

int EntryDepth(const QString& path)
{
    return static_cast<int>(
        path.split(QRegularExpression(QStringLiteral("[/\\\\]")), Qt::SkipEmptyParts).size());
}

// Extracts into the folder `name` of `parent`, made afresh.
QString ExtractInto(const QString& zipFile, TConfinedFolder& parent, const QString& name,
                    const TExtractLimits& limits)
{
    // Whatever has the folder's name goes first, a link itself, never what it points to.
    if (QString error = parent.Remove(name); !error.isEmpty())
        return error;
    if (QString error = parent.MakeFolder(name); !error.isEmpty())
        return error;
    // The parent's canonical path: no link above the folder, so that libarchive's check for
    // links on the way (ARCHIVE_EXTRACT_SECURE_SYMLINKS, which looks at every part of the
    // path) meets only what the extraction itself made.
    const QString root = parent.FilePath(name);
    archive* in = archive_read_new();
    archive_read_support_format_zip(in);
    archive* out = archive_write_disk_new();
    // The entries' own paths are checked below (no absolute paths, no "..", no links); each is
    // then written under the folder's path, with libarchive refusing ".." and paths that run
    // through a link on disk.
    archive_write_disk_set_options(out, ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_PERM |
                                            ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                            ARCHIVE_EXTRACT_SECURE_SYMLINKS);
    QString error;
    const QByteArray zipName = QFile::encodeName(zipFile);
    if (archive_read_open_filename(in, zipName.constData(), 64 * 1024) != ARCHIVE_OK) {
        error = QStringLiteral("not a ZIP archive: %1")
                    .arg(QString::fromUtf8(archive_error_string(in)));
    } else {
        int entries = 0;
        qint64 total = 0;
        archive_entry* entry = nullptr;
        int r = ARCHIVE_OK;
        while (error.isEmpty() && (r = archive_read_next_header(in, &entry)) == ARCHIVE_OK) {
            const char* utf8 = archive_entry_pathname_utf8(entry);
            const QString path = QString::fromUtf8(utf8 ? utf8 : archive_entry_pathname(entry));
            const auto type = archive_entry_filetype(entry);
            if (++entries > limits.maxEntries) {
                error = QStringLiteral("more than %1 entries").arg(limits.maxEntries);
            } else if (!SafeEntryPath(path)) {
                error = QStringLiteral("the entry \"%1\" would be written outside the folder")
                            .arg(path);
            } else if (EntryDepth(path) > limits.maxDepth) {
                error = QStringLiteral("the entry \"%1\" lies more than %2 folders deep")
                            .arg(path)
                            .arg(limits.maxDepth);
            } else if ((type != AE_IFREG && type != AE_IFDIR) || archive_entry_hardlink(entry)) {
                error = QStringLiteral("the entry \"%1\" is a link or a special file").arg(path);
            } else {
                const QByteArray target = (root + QLatin1Char('/') + path).toUtf8();
                archive_entry_set_pathname_utf8(entry, target.constData());
                archive_entry_set_perm(
                    entry, type == AE_IFDIR ? 0755 : (archive_entry_perm(entry) & 0755) | 0600);
                if (archive_write_header(out, entry) != ARCHIVE_OK) {
                    error = QString::fromUtf8(archive_error_string(out));
                    break;
                }
                const void* block = nullptr;
                size_t size = 0;
                la_int64_t offset = 0;
                int d;
                while ((d = archive_read_data_block(in, &block, &size, &offset)) == ARCHIVE_OK) {
                    total += static_cast<qint64>(size);
                    if (total > limits.maxTotalBytes) {
                        error =
                            QStringLiteral("it holds more than %1 bytes").arg(limits.maxTotalBytes);
                        break;
                    }
                    if (archive_write_data_block(out, block, size, offset) != ARCHIVE_OK) {
                        error = QString::fromUtf8(archive_error_string(out));
                        break;
                    }
                }
                if (error.isEmpty() && d != ARCHIVE_EOF)
                    error = QString::fromUtf8(archive_error_string(in));
                if (error.isEmpty() && archive_write_finish_entry(out) != ARCHIVE_OK)
                    error = QString::fromUtf8(archive_error_string(out));
            }
        }
        if (error.isEmpty() && r != ARCHIVE_EOF)
            error = QString::fromUtf8(archive_error_string(in));
    }
    archive_read_free(in);
    archive_write_free(out);
    if (!error.isEmpty()) {
        parent.Remove(name);
        return QStringLiteral("The archive was refused: ") + error;
    }
    return {};
}

} // namespace

QString ExtractZip(const QString& zipFile, const QString& folder, const TExtractLimits& limits)
{
    const QFileInfo info(QDir::cleanPath(QDir(folder).absolutePath()));
    TConfinedFolder parent;
    if (QString error = parent.Open(info.absolutePath()); !error.isEmpty())
        return error;
    return ExtractInto(zipFile, parent, info.fileName(), limits);
}

QStringList InstallerSuffixes()
{
#if defined(Q_OS_WIN)
    return {QStringLiteral(".exe"), QStringLiteral(".msi")};
#elif defined(Q_OS_MACOS)
    return {QStringLiteral(".pkg"), QStringLiteral(".dmg")};
#else
    return {QStringLiteral(".appimage"), QStringLiteral(".deb"), QStringLiteral(".rpm")};
#endif
}

QString FindInstaller(const QString& folder)
{
    QStringList found;
    const QStringList suffixes = InstallerSuffixes();
    // Links are left out: an installer is a file of the extraction itself.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString lower = path.toLower();
        if (std::any_of(suffixes.begin(), suffixes.end(),
                        [&](const QString& s) { return lower.endsWith(s); }))
            found << path;
    }
    found.sort();
    return found.isEmpty() ? QString() : found.front();
}

// --- The component ---

namespace {

// How long a server that keeps the connection open after the announced bytes is given to send
// more (which refuses the download) before the download counts as complete.
constexpr int kCloseWaitMs = 2000;

QString Seconds(int ms)
{
    return QString::number(ms / 1000.0, 'g', 4);
}

QString DownloadRefused(const QUrl& url, const QString& why)
{
    return QStringLiteral("The download of %1 was refused: %2").arg(url.toString(), why);
}

// The name a download is written under until it is complete: hidden, and never a client file
// name (those do not begin with a dot).
QString PartPrefix(const QString& file)
{
    return QLatin1Char('.') + file + QStringLiteral(".part-");
}

bool IsDigits(const QByteArray& text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

TmxWebUpdate::TmxWebUpdate(QObject* parent) : QObject(parent), timeLimit_(new QTimer(this))
{
    timeLimit_->setSingleShot(true);
    connect(timeLimit_, &QTimer::timeout, this, &TmxWebUpdate::OnTimeLimit);
    DownloadFolder = QDir::tempPath();
}

TmxWebUpdate::~TmxWebUpdate()
{
    CleanupReply();
    DiscardPart();
}

bool TmxWebUpdate::CheckForUpdate()
{
    return BeginInfo(TStep::Check);
}

bool TmxWebUpdate::GetInfo()
{
    return BeginInfo(TStep::Info);
}

bool TmxWebUpdate::BeginInfo(TStep step)
{
    if (busy_)
        return false;
    step_ = step;
    busy_ = true;
    abort_ = false;
    errorReported_ = false;
    lastError_.clear();
    found_ = {};
    redirections_ = 0;
    if (OnBeforeGetInfo)
        OnBeforeGetInfo();
    if (abort_) {
        Finish(false);
        return true;
    }
    Fetch(QUrl(ProductInfo.URL()));
    return true;
}

bool TmxWebUpdate::Download()
{
    if (busy_)
        return false;
    busy_ = true;
    abort_ = false;
    lastError_.clear();
    step_ = TStep::Download;
    redirections_ = 0;
    if (const QString refusal = NotOffered(ProductInfo, found_); !refusal.isEmpty()) {
        Fail(refusal);
        return true;
    }
    StartDownload();
    return true;
}

void TmxWebUpdate::Abort()
{
    abort_ = true;
    if (socket_) {
        CleanupReply();
        DiscardPart();
        transfers_.clear();
        lastError_ = QStringLiteral("The check was cancelled.");
        Finish(false);
    }
}

void TmxWebUpdate::Fetch(const QUrl& url)
{
    current_ = {url, QString()};
    StartTransfer(url);
}

// --- The transfers, each on a socket of its own ---
//
// One HTTP/1.1 request with "Connection: close". The head of the answer is read within its
// limits; a download's body is counted until the server closes the connection, so that a body
// longer than its Content-Length is seen; the page's body ends at its Content-Length, at the
// last chunk, or at the close.

void TmxWebUpdate::StartTransfer(const QUrl& url)
{
    if (abort_) {
        Finish(false);
        return;
    }
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QStringLiteral("http") && scheme != QStringLiteral("https"))) {
        Fail(QStringLiteral("\"%1\" is not a web address").arg(url.toString()));
        return;
    }
    if (scheme == QStringLiteral("http") && !AllowHttp) {
        // The address the check was given says so; a redirection or a download, only that.
        const bool givenPage = current_.file.isEmpty() && redirections_ == 0;
        Fail(givenPage ? QStringLiteral("%1: the page %2 is plain HTTP.")
                             .arg(QString::fromLatin1(kInsecureRefusal), url.toString())
                       : QString::fromLatin1(kInsecureRefusal));
        return;
    }
    CleanupReply();
    DiscardPart();
    memory_.clear();
    received_ = 0;
    total_ = -1;
    head_.clear();
    headScanned_ = 0;
    headLines_.clear();
    headBytes_ = 0;
    chunks_.clear();
    chunkLeft_ = 0;
    chunkTrailer_ = false;
    progress_ = 0;
    socket_ = new QSslSocket(this);
    QSslSocket* socket = socket_;
    const bool secure = scheme == QStringLiteral("https");
    connect(socket, secure ? &QSslSocket::encrypted : &QSslSocket::connected, this,
            &TmxWebUpdate::OnConnected);
    connect(socket, &QSslSocket::readyRead, this, &TmxWebUpdate::OnSocketData);
    connect(socket, &QSslSocket::disconnected, this, &TmxWebUpdate::OnSocketClosed);
    connect(socket, &QSslSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // A closing server is judged by what it sent, in OnSocketClosed.
        if (error != QAbstractSocket::RemoteHostClosedError && socket_)
            Fail(QStringLiteral("%1: %2").arg(current_.url.toString(), socket_->errorString()));
    });
    phase_ = TPhase::Connecting;
    timeLimit_->start(TransferLimits.connectMs);
    const quint16 port = static_cast<quint16>(url.port(secure ? 443 : 80));
    if (secure)
        socket->connectToHostEncrypted(url.host(), port);
    else
        socket->connectToHost(url.host(), port);
}

void TmxWebUpdate::OnConnected()
{
    if (!socket_)
        return;
    const QUrl& url = current_.url;
    QByteArray target =
        url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (!target.startsWith('/'))
        target.prepend('/');
    QByteArray request =
        "GET " + target + " HTTP/1.1\r\nHost: " +
        url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() +
        "\r\nUser-Agent: TmxWebUpdate\r\nAccept: */*\r\n"
        "Accept-Encoding: identity\r\nCache-Control: no-cache\r\n"
        "Connection: close\r\n";
    if (!UserName.isEmpty())
        request += "Authorization: Basic " +
                   (UserName + QLatin1Char(':') + Password).toUtf8().toBase64() + "\r\n";
    socket_->write(request + "\r\n");
    // The whole head of the answer must come within the transfer timeout.
    phase_ = TPhase::Head;
    timeLimit_->start(TransferLimits.transferMs);
}

void TmxWebUpdate::OnTimeLimit()
{
    if (!socket_)
        return;
    const QString url = current_.url.toString();
    switch (phase_) {
    case TPhase::Connecting:
        Fail(QStringLiteral("%1 could not be reached within %2 s.")
                 .arg(url, Seconds(TransferLimits.connectMs)));
        break;
    case TPhase::Head:
        Fail(QStringLiteral("%1 did not answer within %2 s.")
                 .arg(url, Seconds(TransferLimits.transferMs)));
        break;
    case TPhase::Body:
        Fail(QStringLiteral("The transfer of %1 stalled: less than %2 bytes came in %3 s.")
                 .arg(url)
                 .arg(TransferLimits.minProgressBytes)
                 .arg(Seconds(TransferLimits.transferMs)));
        break;
    case TPhase::Closing:
        break;
    }
}

void TmxWebUpdate::OnSocketData()
{
    if (!socket_)
        return;
    if (abort_) {
        Abort();
        return;
    }
    QByteArray data = socket_->readAll();
    if ((phase_ == TPhase::Connecting || phase_ == TPhase::Head) && !TakeHead(data))
        return;
    if (!data.isEmpty())
        TakeBody(data);
}

bool TmxWebUpdate::TakeHead(QByteArray& data)
{
    const TTransferLimits& limits = TransferLimits;
    const QString tooLong = QStringLiteral("%1 answered with a head longer than %2 bytes.")
                                .arg(current_.url.toString())
                                .arg(limits.maxHeadBytes);
    head_ += data;
    data.clear();
    // head_ holds what follows the last complete line; headScanned_ how much of it holds no
    // line end.
    for (;;) {
        const qsizetype end = head_.indexOf('\n', headScanned_);
        if (end < 0) {
            headScanned_ = head_.size();
            if (headBytes_ + head_.size() > limits.maxHeadBytes)
                Fail(tooLong);
            return false;
        }
        headBytes_ += end + 1;
        if (headBytes_ > limits.maxHeadBytes) {
            Fail(tooLong);
            return false;
        }
        QByteArray line = head_.left(end);
        head_.remove(0, end + 1);
        headScanned_ = 0;
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty()) {
            headLines_ << line;
            if (headLines_.size() > limits.maxHeadLines + 1) {
                Fail(QStringLiteral("%1 answered with more than %2 header lines.")
                         .arg(current_.url.toString())
                         .arg(limits.maxHeadLines));
                return false;
            }
            continue;
        }
        if (headLines_.isEmpty())
            continue; // an empty line before the status line
        if (!ReadHead())
            return false;
        if (phase_ == TPhase::Head)
            continue; // an interim answer: the real one follows
        data = std::exchange(head_, {});
        return true;
    }
}

bool TmxWebUpdate::ReadHead()
{
    const QList<QByteArray> lines = std::exchange(headLines_, {});
    const QByteArray& statusLine = lines.front();
    const QByteArray code = statusLine.mid(9, 3);
    if (!statusLine.startsWith("HTTP/1.") || statusLine.size() < 12 || statusLine[8] != ' ' ||
        !IsDigits(code) || (statusLine.size() > 12 && statusLine[12] != ' ')) {
        Fail(QStringLiteral("%1 did not answer in HTTP.").arg(current_.url.toString()));
        return false;
    }
    const int status = code.toInt();
    if (status < 200)
        return true;
    const QString reason = QString::fromLatin1(statusLine.mid(13)).trimmed();
    QList<QByteArray> lengths, codings;
    QByteArray location;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = lines[i].left(colon).trimmed().toLower();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        if (name == "content-length")
            lengths << value;
        else if (name == "transfer-encoding")
            codings << value.toLower();
        else if (name == "location")
            location = value;
    }
    const QString url = current_.url.toString();
    if (status >= 300 && status < 400 && !location.isEmpty()) {
        const QUrl target = current_.url.resolved(QUrl::fromEncoded(location));
        CleanupReply();
        if (++redirections_ > kMaxRedirections) {
            Fail(QStringLiteral("More than %1 redirections.").arg(kMaxRedirections));
            return false;
        }
        current_.url = target;
        StartTransfer(target);
        return false;
    }
    if (status >= 300) {
        Fail(QStringLiteral("The server answered %1%2 to %3.")
                 .arg(status)
                 .arg(reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason), url));
        return false;
    }
    // Several Content-Length fields must agree.
    total_ = -1;
    bool lengthValid = true;
    for (const QByteArray& length : lengths) {
        bool ok = IsDigits(length) && length.size() <= 18;
        const qint64 value = ok ? length.toLongLong(&ok) : -1;
        if (!ok || (total_ >= 0 && value != total_)) {
            lengthValid = false;
            total_ = -1;
            break;
        }
        total_ = value;
    }
    const bool isPage = current_.file.isEmpty();
    if (isPage) {
        if (!codings.isEmpty()) {
            if (codings.size() != 1 || codings.front() != "chunked") {
                Fail(QStringLiteral("%1 answered in a transfer coding this check does not read.")
                         .arg(url));
                return false;
            }
            bodyEnd_ = TBodyEnd::Chunked;
            total_ = -1;
        } else if (!lengthValid) {
            Fail(QStringLiteral("%1 announced no valid size.").arg(url));
            return false;
        } else {
            bodyEnd_ = total_ >= 0 ? TBodyEnd::Length : TBodyEnd::Close;
        }
        if (total_ > TransferLimits.maxPageBytes) {
            Fail(QStringLiteral("The page %1 is larger than %2 bytes.")
                     .arg(url)
                     .arg(TransferLimits.maxPageBytes));
            return false;
        }
    } else {
        // A body in transfer coding has no length known in advance.
        if (!codings.isEmpty() || total_ < 0) {
            Fail(QStringLiteral("The server did not announce the size of %1.").arg(url));
            return false;
        }
        if (total_ > TransferLimits.maxDownloadBytes) {
            Fail(QStringLiteral("%1 is larger than %2 bytes.")
                     .arg(url)
                     .arg(TransferLimits.maxDownloadBytes));
            return false;
        }
        QString error;
        part_ = folder_->CreateUnique(PartPrefix(current_.file), partName_, error);
        if (!part_) {
            Fail(error);
            return false;
        }
    }
    phase_ = TPhase::Body;
    progress_ = 0;
    timeLimit_->start(TransferLimits.transferMs);
    if (total_ == 0) {
        if (isPage) {
            PageDone();
            return false;
        }
        WaitForClose();
    }
    return true;
}

void TmxWebUpdate::Progress(qint64 bytes)
{
    progress_ += bytes;
    if (progress_ >= TransferLimits.minProgressBytes || (total_ >= 0 && received_ >= total_)) {
        progress_ = 0;
        if (phase_ == TPhase::Body)
            timeLimit_->start(TransferLimits.transferMs);
    }
}

void TmxWebUpdate::TakeBody(const QByteArray& data)
{
    if (current_.file.isEmpty()) {
        TakePageBody(data);
        return;
    }
    received_ += data.size();
    if (received_ > total_) {
        Fail(DownloadRefused(
            current_.url,
            QStringLiteral("the server sent more than the announced %1 bytes.").arg(total_)));
        return;
    }
    if (part_->write(data) != data.size()) {
        Fail(QStringLiteral("Cannot write %1: %2")
                 .arg(folder_->FilePath(current_.file), part_->errorString()));
        return;
    }
    Progress(data.size());
    if (OnDownload)
        OnDownload(total_, received_);
    if (socket_ && received_ == total_)
        WaitForClose();
}

void TmxWebUpdate::TakePageBody(const QByteArray& data)
{
    received_ += data.size();
    Progress(data.size());
    switch (bodyEnd_) {
    case TBodyEnd::Length:
        memory_.append(data.left(total_ - memory_.size())); // what follows is not the page's
        if (memory_.size() == total_)
            PageDone();
        return;
    case TBodyEnd::Close:
        memory_.append(data);
        break;
    case TBodyEnd::Chunked:
        if (!TakeChunks(data))
            return;
        break;
    }
    if (socket_ && memory_.size() > TransferLimits.maxPageBytes)
        Fail(QStringLiteral("The page %1 is larger than %2 bytes.")
                 .arg(current_.url.toString())
                 .arg(TransferLimits.maxPageBytes));
}

bool TmxWebUpdate::TakeChunks(const QByteArray& data)
{
    // A chunk is its size in hexadecimal (with extensions after ";"), CRLF, the data, CRLF; the
    // last has size 0 and is followed by trailer lines up to an empty one.
    constexpr qsizetype kMaxChunkLine = 1024;
    const QString url = current_.url.toString();
    chunks_ += data;
    qsizetype at = 0;
    for (;;) {
        if (chunkLeft_ > 0) {
            const qsizetype take = std::min<qint64>(chunkLeft_, chunks_.size() - at);
            memory_.append(chunks_.constData() + at, take);
            at += take;
            chunkLeft_ -= take;
            if (chunkLeft_ > 0)
                break;
            chunkLeft_ = -1; // the CRLF after the data
        }
        if (chunkLeft_ < 0) {
            if (chunks_.size() - at < 2)
                break;
            if (chunks_.mid(at, 2) != "\r\n") {
                Fail(QStringLiteral("The page %1 came in broken chunks.").arg(url));
                return false;
            }
            at += 2;
            chunkLeft_ = 0;
        }
        const qsizetype end = chunks_.indexOf('\n', at);
        if (end < 0) {
            if (chunks_.size() - at > kMaxChunkLine) {
                Fail(QStringLiteral("The page %1 came in broken chunks.").arg(url));
                return false;
            }
            break;
        }
        const QByteArray line = chunks_.mid(at, end - at).trimmed();
        at = end + 1;
        if (chunkTrailer_) {
            if (line.isEmpty()) {
                PageDone();
                return false;
            }
            continue; // trailer fields are not wanted
        }
        bool ok = false;
        const qsizetype semicolon = line.indexOf(';');
        const QByteArray size = (semicolon < 0 ? line : line.left(semicolon)).trimmed();
        const qint64 value = size.size() <= 15 ? size.toLongLong(&ok, 16) : -1;
        if (!ok || value < 0) {
            Fail(QStringLiteral("The page %1 came in broken chunks.").arg(url));
            return false;
        }
        if (memory_.size() + value > TransferLimits.maxPageBytes) {
            Fail(QStringLiteral("The page %1 is larger than %2 bytes.")
                     .arg(url)
                     .arg(TransferLimits.maxPageBytes));
            return false;
        }
        if (value == 0)
            chunkTrailer_ = true;
        else
            chunkLeft_ = value;
    }
    chunks_.remove(0, at);
    return true;
}

void TmxWebUpdate::WaitForClose()
{
    phase_ = TPhase::Closing;
    timeLimit_->stop();
    QSslSocket* socket = socket_;
    QTimer::singleShot(kCloseWaitMs, socket, [this, socket] {
        if (socket_ == socket)
            FileTransferDone();
    });
}

void TmxWebUpdate::OnSocketClosed()
{
    if (!socket_)
        return;
    QSslSocket* socket = socket_;
    OnSocketData(); // what is still buffered
    if (socket_ != socket)
        return; // done, failed or redirected while reading
    const QString url = current_.url.toString();
    if (phase_ == TPhase::Connecting || phase_ == TPhase::Head) {
        Fail(QStringLiteral("%1 closed the connection without an answer.").arg(url));
        return;
    }
    if (!current_.file.isEmpty()) {
        FileTransferDone();
        return;
    }
    if (bodyEnd_ == TBodyEnd::Close)
        PageDone();
    else if (bodyEnd_ == TBodyEnd::Length)
        Fail(QStringLiteral("The page %1 ended after %2 of the announced %3 bytes.")
                 .arg(url)
                 .arg(received_)
                 .arg(total_));
    else
        Fail(QStringLiteral("The page %1 ended before its last chunk.").arg(url));
}

void TmxWebUpdate::PageDone()
{
    CleanupReply();
    if (memory_.isEmpty()) {
        Fail(QStringLiteral("The page %1 is empty.").arg(current_.url.toString()));
        return;
    }
    const QByteArray page = std::exchange(memory_, {});
    PageRead(page);
}

void TmxWebUpdate::FileTransferDone()
{
    CleanupReply();
    if (received_ != total_) {
        Fail(DownloadRefused(current_.url,
                             QStringLiteral("it ended after %1 of the announced %2 bytes.")
                                 .arg(received_)
                                 .arg(total_)));
        return;
    }
    if (!part_->flush()) {
        Fail(QStringLiteral("Cannot write %1: %2")
                 .arg(folder_->FilePath(current_.file), part_->errorString()));
        return;
    }
    part_->close();
    part_.reset();
    // The complete file takes the client file name; a link there is replaced, not followed.
    if (const QString error = folder_->Rename(partName_, current_.file); !error.isEmpty()) {
        Fail(error);
        return;
    }
    partName_.clear();
    NextTransfer();
}

void TmxWebUpdate::DiscardPart()
{
    if (part_) {
        part_->close();
        part_.reset();
    }
    if (!partName_.isEmpty() && folder_)
        folder_->Remove(partName_);
    partName_.clear();
}

// --- The steps ---

void TmxWebUpdate::PageRead(const QByteArray& page)
{
    const QStringList lines =
        QString::fromUtf8(page).split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    found_ = ParseAnnouncement(lines, TagInfo);
    if (!found_.redirection.isEmpty()) {
        if (++redirections_ > kMaxRedirections) {
            Fail(QStringLiteral("More than %1 redirections.").arg(kMaxRedirections));
            return;
        }
        Fetch(QUrl(NormalizeUrl(found_.redirection)));
        return;
    }
    if (OnAfterGetInfo)
        OnAfterGetInfo();
    if (found_.productName.isEmpty() || found_.version.isEmpty()) {
        Fail(QStringLiteral("The page announces no product or no version."));
        return;
    }
    if (step_ == TStep::Info) {
        Finish(true);
        return;
    }
    AfterInfoInCheck();
}

void TmxWebUpdate::AfterInfoInCheck()
{
    if (!IsThisProduct(ProductInfo.ProductName, found_.productName)) {
        Fail(NotOffered(ProductInfo, found_));
        return;
    }
    if (!IsNewer(ProductInfo.Version, found_.version, ProductInfo.VersionFormat)) {
        if (OnNoUpdateFound)
            OnNoUpdateFound();
        Finish(true);
        return;
    }
    bool install = true;
    if (OnUpdateAvailable)
        OnUpdateAvailable(ProductInfo.Version, install, found_.version);
    if (!install || abort_) {
        Finish(true);
        return;
    }
    bool show = true, checkInFuture = true;
    if (OnBeforeShowInfo)
        OnBeforeShowInfo(show, checkInFuture);
    if (OnAfterShowInfo)
        OnAfterShowInfo(true);
    if (abort_) {
        Finish(true);
        return;
    }
    StartDownload();
}

void TmxWebUpdate::StartDownload()
{
    if (!IsPlainFileName(found_.clientFileName)) {
        Fail(QStringLiteral("The announced file name \"%1\" is not a plain file name.")
                 .arg(found_.clientFileName));
        return;
    }
    QString local = QDir(DownloadFolder).filePath(found_.clientFileName);
    if (OnGetClientFileName)
        OnGetClientFileName(local);
    const QFileInfo info(local);
    const QString name = info.fileName();
    if (!IsPlainFileName(name)) {
        Fail(QStringLiteral("The file name \"%1\" is not a plain file name.").arg(name));
        return;
    }
    // The folder is opened once; every file of the download is made in it.
    folder_ = std::make_unique<TConfinedFolder>();
    if (const QString error = folder_->Open(info.absolutePath()); !error.isEmpty()) {
        Fail(error);
        return;
    }
    const TConfinedFolder::TKind kind = folder_->Kind(name);
    if (kind == TConfinedFolder::TKind::Folder || kind == TConfinedFolder::TKind::Other) {
        Fail(QStringLiteral("%1 exists and is not a file; it is not replaced.").arg(local));
        return;
    }
    if (kind != TConfinedFolder::TKind::Missing) {
        bool overwrite = (Options & uoOverwrite) != 0;
        if (overwrite && OnClientFileExists)
            OnClientFileExists(local, overwrite);
        if (!overwrite) {
            Fail(QStringLiteral("%1 exists already.").arg(local));
            return;
        }
    }
    localFile_ = local;
    extractionFolder_.clear();
    if (OnBeforeDownload)
        OnBeforeDownload(local);
    transfers_.clear();
    if (Inplace) {
        const QString utility = found_.inplaceUtil.section(QLatin1Char('/'), -1);
        if (!IsPlainFileName(utility) || found_.downloadInplace.isEmpty()) {
            Fail(QStringLiteral("The page announces no usable in-place update."));
            return;
        }
        inplaceUtilPath_ = info.dir().filePath(utility);
        transfers_.push_back({QUrl(NormalizeUrl(found_.inplaceUtil)), utility});
        transfers_.push_back({QUrl(NormalizeUrl(found_.downloadInplace)), name});
    } else {
        if (found_.download.isEmpty()) {
            Fail(QStringLiteral("The page announces no download."));
            return;
        }
        transfers_.push_back({QUrl(NormalizeUrl(found_.download)), name});
    }
    NextTransfer();
}

void TmxWebUpdate::NextTransfer()
{
    if (transfers_.empty()) {
        DownloadDone(true);
        return;
    }
    current_ = transfers_.front();
    transfers_.pop_front();
    StartTransfer(current_.url);
}

void TmxWebUpdate::DownloadDone(bool)
{
    const QFileInfo local(localFile_);
    if (local.fileName().toLower().endsWith(QStringLiteral(".zip"))) {
        extractionFolder_ = local.dir().filePath(QStringLiteral("BrenmUpdate"));
        const QString error = ExtractInto(folder_->FilePath(local.fileName()), *folder_,
                                          QStringLiteral("BrenmUpdate"), ExtractLimits);
        if (!error.isEmpty()) {
            extractionFolder_.clear();
            Fail(error);
            return;
        }
        localFile_ = FindInstaller(extractionFolder_);
    }
    if (OnAfterDownload)
        OnAfterDownload(localFile_);
    if (step_ == TStep::Download) {
        Finish(true);
        return;
    }
    RunDownloaded();
}

void TmxWebUpdate::RunDownloaded()
{
    if (!(Options & uoRunUpdate)) {
        Finish(true);
        return;
    }
    const bool terminate = (Options & uoTerminate) != 0;
    if (terminate && ConfirmEnd && !ConfirmEnd()) {
        Finish(true);
        return;
    }
    QString program = localFile_, parameters = found_.runParameters;
    if (Inplace) {
        const auto quoted = [](QString text) {
            return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                   QLatin1Char('"');
        };
        program = inplaceUtilPath_;
        parameters = quoted(extractionFolder_) + QLatin1Char(' ') +
                     quoted(QCoreApplication::applicationDirPath()) + QLatin1Char(' ') +
                     quoted(QCoreApplication::applicationFilePath());
    }
    const bool started = !program.isEmpty() && StartProgram && StartProgram(program, parameters);
    if (!started) {
        lastError_ = QStringLiteral("The downloaded file could not be started.");
        if (OnCannotExecute)
            OnCannotExecute();
        Finish(true);
        return;
    }
    Finish(true);
    if (terminate && Terminate)
        Terminate();
}

void TmxWebUpdate::Fail(const QString& reason)
{
    lastError_ = Printable(reason); // it may quote the server (an HTTP reason phrase)
    CleanupReply();
    DiscardPart();
    transfers_.clear();
    if (OnDownloadError && !abort_)
        OnDownloadError();
    Finish(false);
}

void TmxWebUpdate::Finish(bool success)
{
    const TStep step = step_;
    busy_ = false;
    success_ = success;
    step_ = TStep::Idle;
    if (step == TStep::Info)
        emit infoRead(success);
    else if (step == TStep::Download)
        emit downloaded(success);
    else
        emit finished(success);
}

void TmxWebUpdate::CleanupReply()
{
    timeLimit_->stop();
    if (QSslSocket* socket = socket_) {
        socket_ = nullptr;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

} // namespace tw::update
