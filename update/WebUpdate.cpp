#include "update/WebUpdate.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSslSocket>
#include <QTimer>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>

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

void TmxProductInfo::SetURL(const QString& address) { url_ = NormalizeUrl(address); }

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
        const qsizetype content = line.indexOf(QStringLiteral("CONTENT="), meta, Qt::CaseInsensitive);
        // Every value may end up on a terminal or in a window: none keeps a control character.
        const QString value = content < 0 ? QString() : Printable(Quoted(line, content + 9));
        if (name == tags.ProductName)
            a.productName = value;
        else if (name == tags.Version)
            a.version = value;
        else if (name == tags.VerDate)
            a.date = value.size() == 8 ? QDate::fromString(value, QStringLiteral("yyyyMMdd")) : QDate();
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

} // namespace

QString ExtractZip(const QString& zipFile, const QString& folder, const TExtractLimits& limits)
{
    QDir(folder).removeRecursively();
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot make the folder %1").arg(folder);
    archive* in = archive_read_new();
    archive_read_support_format_zip(in);
    archive* out = archive_write_disk_new();
    // The entries' own paths are checked below (no absolute paths, no "..", no links); each is
    // then written under the folder's absolute path, with libarchive refusing ".." and paths
    // that run through a link on disk.
    archive_write_disk_set_options(out, ARCHIVE_EXTRACT_TIME | ARCHIVE_EXTRACT_PERM |
                                            ARCHIVE_EXTRACT_SECURE_NODOTDOT |
                                            ARCHIVE_EXTRACT_SECURE_SYMLINKS);
    QString error;
    const QByteArray name = QFile::encodeName(zipFile);
    if (archive_read_open_filename(in, name.constData(), 64 * 1024) != ARCHIVE_OK) {
        error = QStringLiteral("not a ZIP archive: %1").arg(QString::fromUtf8(archive_error_string(in)));
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
                error = QStringLiteral("the entry \"%1\" would be written outside the folder").arg(path);
            } else if ((type != AE_IFREG && type != AE_IFDIR) || archive_entry_hardlink(entry)) {
                error = QStringLiteral("the entry \"%1\" is a link or a special file").arg(path);
            } else {
                const QByteArray target =
                    (QDir(folder).absolutePath() + QLatin1Char('/') + path).toUtf8();
                archive_entry_set_pathname_utf8(entry, target.constData());
                archive_entry_set_perm(entry, type == AE_IFDIR ? 0755 : (archive_entry_perm(entry) & 0755) | 0600);
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
                        error = QStringLiteral("it holds more than %1 bytes").arg(limits.maxTotalBytes);
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
        QDir(folder).removeRecursively();
        return QStringLiteral("The archive was refused: ") + error;
    }
    return {};
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
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
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

TmxWebUpdate::TmxWebUpdate(QObject* parent)
    : QObject(parent), network_(std::make_unique<QNetworkAccessManager>())
{
    network_->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    DownloadFolder = QDir::tempPath();
}

TmxWebUpdate::~TmxWebUpdate()
{
    CleanupReply();
    if (file_)
        file_->cancelWriting();
}

bool TmxWebUpdate::CheckForUpdate() { return BeginInfo(TStep::Check); }

bool TmxWebUpdate::GetInfo() { return BeginInfo(TStep::Info); }

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
    if (reply_ || socket_) {
        CleanupReply();
        if (file_)
            file_->cancelWriting();
        file_.reset();
        lastError_ = QStringLiteral("The check was cancelled.");
        Finish(false);
    }
}

void TmxWebUpdate::Fetch(const QUrl& url)
{
    current_ = {url, QString()};
    StartTransfer(url);
}

void TmxWebUpdate::StartTransfer(const QUrl& url)
{
    if (abort_) {
        Finish(false);
        return;
    }
    if (!url.isValid() || (url.scheme() != QStringLiteral("http") && url.scheme() != QStringLiteral("https"))) {
        Fail(QStringLiteral("\"%1\" is not a web address").arg(url.toString()));
        return;
    }
    memory_.clear();
    received_ = 0;
    total_ = -1;
    file_.reset();
    if (!current_.file.isEmpty()) {
        StartFileTransfer(url);
        return;
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("TmxWebUpdate"));
    request.setRawHeader("Accept", "*/*");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    if (!UserName.isEmpty())
        request.setRawHeader("Authorization",
                             "Basic " +
                                 (UserName + QLatin1Char(':') + Password).toUtf8().toBase64());
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &TmxWebUpdate::OnReplyData);
    connect(reply_, &QNetworkReply::finished, this, &TmxWebUpdate::OnReplyFinished);
}

// --- The page, on Qt Network ---

void TmxWebUpdate::OnReplyData()
{
    if (!reply_)
        return;
    if (abort_) {
        Abort();
        return;
    }
    const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300) {
        reply_->readAll(); // the body of a redirection or an error page is not wanted
        return;
    }
    if (total_ < 0) {
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            total_ = length.toLongLong();
        if (total_ > kMaxPageBytes) {
            Fail(QStringLiteral("%1 is larger than %2 bytes.")
                     .arg(current_.url.toString())
                     .arg(kMaxPageBytes));
            return;
        }
    }
    const QByteArray data = reply_->readAll();
    received_ += data.size();
    memory_.append(data);
    if (memory_.size() > kMaxPageBytes)
        Fail(QStringLiteral("The page %1 is too long.").arg(current_.url.toString()));
}

void TmxWebUpdate::OnReplyFinished()
{
    if (!reply_)
        return;
    QNetworkReply* reply = reply_;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300 && status < 400) {
        const QUrl target = reply->url().resolved(
            reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
        CleanupReply();
        if (++redirections_ > kMaxRedirections) {
            Fail(QStringLiteral("More than %1 redirections.").arg(kMaxRedirections));
            return;
        }
        current_.url = target;
        StartTransfer(target);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        Fail(reply->errorString());
        return;
    }
    OnReplyData(); // what is still buffered
    if (!reply_)
        return; // failed while reading
    CleanupReply();
    if (memory_.isEmpty()) {
        Fail(QStringLiteral("The page %1 is empty.").arg(current_.url.toString()));
        return;
    }
    PageRead(memory_);
}

// --- Downloads, on a socket ---
//
// One HTTP/1.1 request with "Connection: close", and everything the server sends until it
// closes the connection is counted, so that a body longer than its Content-Length is seen.

namespace {

// The largest head of an answer (status line and header fields).
constexpr qsizetype kMaxHeadBytes = 64 * 1024;
// How long a server that keeps the connection open after the announced bytes is given to send
// more (which refuses the download) before the download counts as complete.
constexpr int kCloseWaitMs = 2000;

QString DownloadRefused(const QUrl& url, const QString& why)
{
    return QStringLiteral("The download of %1 was refused: %2").arg(url.toString(), why);
}

} // namespace

void TmxWebUpdate::StartFileTransfer(const QUrl& url)
{
    head_.clear();
    headRead_ = false;
    socket_ = new QSslSocket(this);
    QSslSocket* socket = socket_;
    const bool secure = url.scheme() == QStringLiteral("https");
    connect(socket, secure ? &QSslSocket::encrypted : &QSslSocket::connected, this,
            [this, url, socket] {
                QByteArray target = url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority |
                                                  QUrl::RemoveFragment);
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
                               (UserName + QLatin1Char(':') + Password).toUtf8().toBase64() +
                               "\r\n";
                socket->write(request + "\r\n");
            });
    connect(socket, &QSslSocket::readyRead, this, &TmxWebUpdate::OnSocketData);
    connect(socket, &QSslSocket::disconnected, this, &TmxWebUpdate::OnSocketClosed);
    connect(socket, &QSslSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // A closing server is judged by what it sent, in OnSocketClosed.
        if (error != QAbstractSocket::RemoteHostClosedError && socket_)
            Fail(QStringLiteral("%1: %2").arg(current_.url.toString(), socket_->errorString()));
    });
    const quint16 port = static_cast<quint16>(url.port(secure ? 443 : 80));
    if (secure)
        socket->connectToHostEncrypted(url.host(), port);
    else
        socket->connectToHost(url.host(), port);
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
    while (!headRead_) {
        head_ += data;
        data.clear();
        const qsizetype end = head_.indexOf("\r\n\r\n");
        if (end < 0) {
            if (head_.size() > kMaxHeadBytes)
                Fail(QStringLiteral("%1 answered with too long a head.")
                         .arg(current_.url.toString()));
            return;
        }
        data = head_.mid(end + 4);
        const QByteArray head = head_.left(end);
        head_.clear();
        if (!ReadHead(head))
            return;
    }
    if (data.isEmpty())
        return;
    received_ += data.size();
    if (received_ > total_) {
        Fail(DownloadRefused(
            current_.url,
            QStringLiteral("the server sent more than the announced %1 bytes.").arg(total_)));
        return;
    }
    if (file_->write(data) != data.size()) {
        Fail(QStringLiteral("Cannot write %1: %2").arg(current_.file, file_->errorString()));
        return;
    }
    if (OnDownload)
        OnDownload(total_, received_);
    if (received_ == total_)
        WaitForClose();
}

void TmxWebUpdate::WaitForClose()
{
    QSslSocket* socket = socket_;
    QTimer::singleShot(kCloseWaitMs, socket, [this, socket] {
        if (socket_ == socket)
            FileTransferDone();
    });
}

bool TmxWebUpdate::ReadHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> statusLine = lines.front().trimmed().split(' ');
    bool numeric = false;
    const int status = statusLine.value(1).toInt(&numeric);
    if (!statusLine.front().startsWith("HTTP/1.") || !numeric || statusLine.value(1).size() != 3) {
        Fail(QStringLiteral("%1 did not answer in HTTP.").arg(current_.url.toString()));
        return false;
    }
    if (status < 200)
        return true; // an interim answer: the real one follows
    QList<QByteArray> lengths;
    QByteArray location;
    bool encoded = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = lines[i].left(colon).trimmed().toLower();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        if (name == "content-length")
            lengths << value;
        else if (name == "transfer-encoding")
            encoded = true;
        else if (name == "location")
            location = value;
    }
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
        Fail(QStringLiteral("The server answered %1 to %2.")
                 .arg(status)
                 .arg(current_.url.toString()));
        return false;
    }
    // A body in transfer coding has no length known in advance; several Content-Length fields
    // must agree.
    total_ = -1;
    for (const QByteArray& length : lengths) {
        bool ok =
            !length.isEmpty() && length.size() <= 18 &&
            std::all_of(length.begin(), length.end(), [](char c) { return c >= '0' && c <= '9'; });
        const qint64 value = ok ? length.toLongLong(&ok) : -1;
        if (!ok || (total_ >= 0 && value != total_)) {
            total_ = -1;
            break;
        }
        total_ = value;
    }
    if (encoded || total_ < 0) {
        Fail(QStringLiteral("The server did not announce the size of %1.")
                 .arg(current_.url.toString()));
        return false;
    }
    if (total_ > kMaxDownloadBytes) {
        Fail(QStringLiteral("%1 is larger than %2 bytes.")
                 .arg(current_.url.toString())
                 .arg(kMaxDownloadBytes));
        return false;
    }
    file_ = std::make_unique<QSaveFile>(current_.file);
    if (!file_->open(QIODevice::WriteOnly)) {
        Fail(QStringLiteral("Cannot write %1: %2").arg(current_.file, file_->errorString()));
        return false;
    }
    headRead_ = true;
    if (total_ == 0)
        WaitForClose();
    return true;
}

void TmxWebUpdate::OnSocketClosed()
{
    if (!socket_)
        return;
    QSslSocket* socket = socket_;
    OnSocketData(); // what is still buffered
    if (socket_ != socket)
        return; // failed or redirected while reading
    if (!headRead_) {
        Fail(QStringLiteral("%1 closed the connection without an answer.")
                 .arg(current_.url.toString()));
        return;
    }
    FileTransferDone();
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
    if (!file_->commit()) {
        const QString reason = file_->errorString();
        file_.reset();
        Fail(QStringLiteral("Cannot write %1: %2").arg(current_.file, reason));
        return;
    }
    file_.reset();
    NextTransfer();
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
    if (QFileInfo::exists(local)) {
        bool overwrite = (Options & uoOverwrite) != 0;
        if (overwrite && OnClientFileExists)
            OnClientFileExists(local, overwrite);
        if (!overwrite) {
            Fail(QStringLiteral("%1 exists already.").arg(local));
            return;
        }
    }
    QDir().mkpath(QFileInfo(local).absolutePath());
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
        inplaceUtilPath_ = QFileInfo(local).dir().filePath(utility);
        transfers_.push_back({QUrl(NormalizeUrl(found_.inplaceUtil)), inplaceUtilPath_});
        transfers_.push_back({QUrl(NormalizeUrl(found_.downloadInplace)), local});
    } else {
        if (found_.download.isEmpty()) {
            Fail(QStringLiteral("The page announces no download."));
            return;
        }
        transfers_.push_back({QUrl(NormalizeUrl(found_.download)), local});
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
    if (localFile_.toLower().endsWith(QStringLiteral(".zip"))) {
        extractionFolder_ = QFileInfo(localFile_).dir().filePath(QStringLiteral("BrenmUpdate"));
        const QString error = ExtractZip(localFile_, extractionFolder_, ExtractLimits);
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
    if (file_)
        file_->cancelWriting();
    file_.reset();
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
    if (QNetworkReply* reply = reply_) {
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    if (QSslSocket* socket = socket_) {
        socket_ = nullptr;
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
}

} // namespace tw::update
