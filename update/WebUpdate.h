// TmxWebUpdate: finds out whether a newer release is announced on the maker's web page (HTML
// META tags), compares versions, downloads the release (an installer, or a ZIP holding one)
// and hands it over to be started. Asynchronous: the caller's event loop keeps running
// throughout, and the events below report each step.
//
// Beyond the page format's own rules, everything that comes from the network is distrusted:
// addresses without a scheme use HTTPS, certificate errors fail, and plain HTTP is refused
// anywhere (the page, every redirection, the download) unless AllowHttp allows it; at most
// five redirections are followed in all; every connection has time limits (to connect, and
// for progress) and the answer's head and the page have size limits (TTransferLimits); the
// client file name must be a plain file name; downloads need a Content-Length, are capped and
// are renamed into place only when exactly that many bytes came; only a newer release of this
// product is downloaded; the page's values have their control characters replaced before
// anyone shows them; ZIP archives are extracted with libarchive's secure options, within caps
// on their size and number of entries, and an archive that breaks a rule leaves nothing behind.
//
// The page and the downloads are read on a socket of their own with a hand-written HTTP/1.1
// request, so that every limit is enforced on the bytes as they come (Qt's HTTP client offers
// no limit on the size or the time of an answer's head, and stops at the Content-Length,
// dropping whatever follows, so a body longer than announced would pass unseen).
//
// Files are written only inside the download folder, opened once (TConfinedFolder): a
// download goes to a new file made exclusively, renamed over the client file name when
// complete, so a link at that name is replaced, never written through; the extraction folder
// is removed without following links.
#pragma once

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <deque>
#include <functional>
#include <memory>

#include "update/ConfinedFolder.h"

class QFile;
class QSslSocket;
class QTimer;

namespace tw::update {

// The product this program is, as the announcement page names it.
inline constexpr char kProductName[] = "Tarnwick";

enum class TmxVersionFormat
{
    vfStandard = 0,
    vfString = 1,
    vfNumber = 2,
};

enum TmxUpdateOption : unsigned
{
    uoRunUpdate = 1, // start the downloaded file
    uoTerminate = 2, // end the program after starting it
    uoOverwrite = 4, // download even if the local file exists
};

class TmxProductInfo
{
public:
    const QString& URL() const { return url_; }
    // An address without "http://" or "https://" gets "https://".
    void SetURL(const QString& address);
    QString Version = QStringLiteral("1.0");
    TmxVersionFormat VersionFormat = TmxVersionFormat::vfStandard;
    // The product whose releases are installed; a page naming another one offers nothing
    // (empty: any product).
    QString ProductName = QString::fromLatin1(kProductName);

private:
    QString url_;
};

// The META names the page is searched for.
struct TmxTagInfo
{
    QString ProductName = QStringLiteral("mxProduct");
    QString Version = QStringLiteral("mxVersion");
    QString VerDate = QStringLiteral("mxVerDate");
    QString Download = QStringLiteral("mxDownload");
    QString ClientFileName = QStringLiteral("mxClientSideName");
    QString RunParameters = QStringLiteral("mxRunParameters");
    QString Redirection = QStringLiteral("mxRedirection");
    QString Author = QStringLiteral("mxAuthor");
    QString Email = QStringLiteral("mxEmail");
    QString DownloadInplace = QStringLiteral("mxDownloadInplace");
    QString InplaceUtil = QStringLiteral("mxInplaceUtil");
};

// Captions of an information window (this program shows none).
struct TmxInfoCaption
{
    QString OK = QStringLiteral("&OK");
    QString Cancel = QStringLiteral("&Cancel");
    QString CheckFuture = QStringLiteral("C&heck for updates in the future");
};

// The values a page announces.
struct TAnnouncement
{
    QString productName, version;
    QDate date; // invalid when the page has none or it is not YYYYMMDD
    QString download, clientFileName, runParameters, redirection, author, email;
    QString downloadInplace, inplaceUtil;
};

// --- The rules, without the network ---

// "https://" in front of an address without a scheme.
QString NormalizeUrl(const QString& address);
// The text with each control character (C0, DEL, C1, the line and paragraph separators and the
// bidirectional overrides) replaced by "?", so that it can be shown on a terminal or in a window
// as it is.
QString Printable(QString text);
// The values of the META tags of the page's lines, made printable.
TAnnouncement ParseAnnouncement(const QStringList& lines, const TmxTagInfo& tags = {});
// Whether the announced version is newer than the current one.
bool IsNewer(const QString& current, const QString& announced, TmxVersionFormat format);
// Whether the page names this product (`ours` empty: any), without regard to case or blanks
// around the name.
bool IsThisProduct(const QString& ours, const QString& announced);
// Why the announced release is not one for this program to install (another product, or a
// version not newer than the running one); empty when it is.
QString NotOffered(const TmxProductInfo& product, const TAnnouncement& found);
// A file name without a folder part, "..", a leading dot, control characters or "?" (where
// Printable replaced one).
bool IsPlainFileName(const QString& name);

struct TExtractLimits
{
    qint64 maxTotalBytes = qint64(2) << 30; // 2 GiB extracted in all
    int maxEntries = 10000;
    int maxDepth = 64; // folder levels of an entry's path
};
// Extracts the ZIP archive into the folder (made afresh: whatever has its name is removed
// first, a link itself, never what it points to). Entries with absolute paths, "..", links or
// special files, and archives beyond the limits, are refused: the folder is removed again.
// Everything is written under the canonical path of the folder's parent, so links above it
// are fine. Returns the reason of a refusal or failure, empty on success.
QString ExtractZip(const QString& zipFile, const QString& folder,
                   const TExtractLimits& limits = {});
// The installer kinds of this platform, as file name suffixes in lower case.
QStringList InstallerSuffixes();
// The first file (by name) of this platform's installer kinds in the folder and its
// subfolders, empty when there is none.
QString FindInstaller(const QString& folder);

// The maker's web server (an address under the reserved ".example" domain until the maker has
// a server of its own) and the announcement page on it.
inline constexpr char kDefaultUpdateHost[] = "https://www.tarnwick.example";
inline constexpr char kUpdatePagePath[] = "/updates/tw/tw.html";

// Caps of the transfers.
inline constexpr qint64 kMaxPageBytes = qint64(1) << 20;     // 1 MiB announcement page
inline constexpr qint64 kMaxDownloadBytes = qint64(1) << 30; // 1 GiB release
inline constexpr int kMaxRedirections = 5;

// Why a request over plain HTTP is refused (AllowHttp off).
inline constexpr char kInsecureRefusal[] = "The download is not offered over a secure connection";

// Limits of each connection; every one ends the check with a message.
struct TTransferLimits
{
    int connectMs = 15000; // to connect (and finish the TLS handshake)
    // The transfer timeout: the head of the answer must come within this time of the request,
    // and the body must bring at least minProgressBytes (or the rest) within this time of the
    // last progress; a server that stops, or trickles, is given up.
    int transferMs = 30000;
    qint64 minProgressBytes = 1024;
    qsizetype maxHeadBytes = 64 * 1024; // the heads of an answer together
    int maxHeadLines = 100;             // header lines of a head
    qint64 maxPageBytes = kMaxPageBytes;
    qint64 maxDownloadBytes = kMaxDownloadBytes;
};

class TmxWebUpdate : public QObject
{
    Q_OBJECT
public:
    explicit TmxWebUpdate(QObject* parent = nullptr);
    ~TmxWebUpdate() override;

    TmxProductInfo ProductInfo;
    TmxTagInfo TagInfo;
    TmxInfoCaption InfoCaption;
    unsigned Options = uoRunUpdate | uoTerminate;
    bool Inplace = false;
    QString UserName, Password;
    // Where downloads are stored before OnGetClientFileName (default: the temporary folder).
    QString DownloadFolder;
    // Plain HTTP for the page, its redirections and the download: refused unless allowed here
    // (a local test server), with kInsecureRefusal.
    bool AllowHttp = false;
    TTransferLimits TransferLimits;

    // --- Events ---
    std::function<void()> OnBeforeGetInfo, OnAfterGetInfo, OnNoUpdateFound;
    std::function<void(const QString& current, bool& install, const QString& announced)>
        OnUpdateAvailable;
    std::function<void(bool& show, bool& checkInFuture)> OnBeforeShowInfo;
    std::function<void(bool result)> OnAfterShowInfo;
    std::function<void(QString& fileName)> OnGetClientFileName;
    std::function<void(const QString& fileName, bool& overwrite)> OnClientFileExists;
    std::function<void(const QString&fileName)> OnBeforeDownload, OnAfterDownload;
    std::function<void(qint64 total, qint64 received)> OnDownload;
    std::function<void()> OnDownloadError, OnCannotExecute;

    // --- The program's part ---
    // Starts the downloaded file (with the announced parameters); false when it cannot.
    std::function<bool(const QString& file, const QString& parameters)> StartProgram;
    // Before the program ends for the installer (uoTerminate): false keeps the program
    // running, and the installer is not started.
    std::function<bool()> ConfirmEnd;
    // Ends the program after the installer started (uoTerminate).
    std::function<void()> Terminate;

    // The whole check, asynchronous: false when a check is running already. `finished` tells
    // when it is over.
    bool CheckForUpdate();
    // Reads the announcement alone (`infoRead` tells when).
    bool GetInfo();
    // Downloads the announced release alone (`downloaded` tells when); refused, with nothing
    // requested, when NotOffered gives a reason.
    bool Download();
    void Abort();

    bool Busy() const { return busy_; }
    bool Success() const { return success_; }
    const TAnnouncement& Found() const { return found_; }
    const QString& LocalFile() const { return localFile_; }
    const QString& ExtractionFolder() const { return extractionFolder_; }
    // Why the last step failed, for the command line and the log ("" none).
    const QString& LastError() const { return lastError_; }
    qint64 TotalSize() const { return total_; }
    qint64 Received() const { return received_; }
    TExtractLimits ExtractLimits;

signals:
    void infoRead(bool success);
    void downloaded(bool success);
    void finished(bool success);

private:
    enum class TStep
    {
        Idle,
        Info,
        Download,
        Check
    };
    // Where a transfer stands, for the time limits.
    enum class TPhase
    {
        Connecting,
        Head,
        Body,
        Closing
    };
    // How the body of the page ends.
    enum class TBodyEnd
    {
        Length,
        Chunked,
        Close
    };
    struct TTransfer
    {
        QUrl url;
        QString file; // a name in the download folder; empty: the page, to memory
    };
    bool BeginInfo(TStep step);
    void Fetch(const QUrl& url);
    void StartTransfer(const QUrl& url);
    void OnConnected();
    void OnSocketData();
    void OnSocketClosed();
    void OnTimeLimit();
    // Takes the head from the data as far as it came (the rest of the data is the body's);
    // false when it is incomplete or the transfer ended or moved on.
    bool TakeHead(QByteArray& data);
    // Acts on a complete head; false when the transfer ended or moved on (an error, a
    // redirection).
    bool ReadHead();
    void TakeBody(const QByteArray& data);
    void TakePageBody(const QByteArray& data);
    // Decodes chunked transfer coding into the page; false on an error.
    bool TakeChunks(const QByteArray& data);
    // Restarts the transfer timeout when the body made progress.
    void Progress(qint64 bytes);
    // Completes the download unless more bytes or the end of the connection come first.
    void WaitForClose();
    void FileTransferDone();
    void PageDone();
    void PageRead(const QByteArray& page);
    void AfterInfoInCheck();
    void StartDownload();
    void NextTransfer();
    void DownloadDone(bool success);
    void RunDownloaded();
    void Fail(const QString& reason);
    void Finish(bool success);
    void CleanupReply();
    // Closes and removes the file being written.
    void DiscardPart();

    QPointer<QSslSocket> socket_;
    QTimer* timeLimit_ = nullptr;
    TPhase phase_ = TPhase::Connecting;
    // The head of the answer as far as it came, its lines so far and the bytes of the heads
    // before it (interim answers).
    QByteArray head_;
    qsizetype headScanned_ = 0;
    QList<QByteArray> headLines_;
    qsizetype headBytes_ = 0;
    TBodyEnd bodyEnd_ = TBodyEnd::Length;
    QByteArray chunks_; // chunked coding not yet decoded
    qint64 chunkLeft_ = 0;
    bool chunkTrailer_ = false;
    qint64 progress_ = 0; // body bytes since the transfer timeout was last restarted
    std::unique_ptr<TConfinedFolder> folder_;
    std::unique_ptr<QFile> part_; // the download being written, under partName_ in folder_
    QString partName_;
    QByteArray memory_;
    std::deque<TTransfer> transfers_;
    TTransfer current_;
    TStep step_ = TStep::Idle;
    TAnnouncement found_;
    QString localFile_, extractionFolder_, inplaceUtilPath_, lastError_;
    int redirections_ = 0;
    qint64 total_ = -1, received_ = 0;
    bool busy_ = false, abort_ = false, success_ = false, errorReported_ = false;
};

} // namespace tw::update
