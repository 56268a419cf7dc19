// TmxWebUpdate: finds out whether a newer release is announced on the maker's web page (HTML
// META tags), compares versions, downloads the release (an installer, or a ZIP holding one)
// and hands it over to be started. Asynchronous on Qt Network: the caller's event loop keeps
// running throughout, and the events below report each step.
//
// Beyond the page format's own rules, everything that comes from the network is distrusted:
// addresses without a scheme use HTTPS and certificate errors fail; at most five redirections
// are followed in all; the client file name must be a plain file name; downloads need a
// Content-Length, are capped and are renamed into place only when exactly that many bytes came
// (downloads are read from the connection itself: Qt's HTTP client stops at the Content-Length
// and drops whatever follows, so a body longer than announced would pass unseen); only a newer
// release of this product is downloaded; the page's values have their control characters
// replaced before anyone shows them; ZIP archives are extracted with libarchive's secure
// options, within caps on their size and number of entries, and an archive that breaks a rule
// leaves nothing behind.
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

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;
class QSslSocket;

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
};
// Extracts the ZIP archive into the folder (made afresh). Entries with absolute paths, "..",
// links or special files, and archives beyond the limits, are refused: the folder is removed
// again. Returns the reason of a refusal or failure, empty on success.
QString ExtractZip(const QString& zipFile, const QString& folder, const TExtractLimits& limits = {});
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

    // --- Events ---
    std::function<void()> OnBeforeGetInfo, OnAfterGetInfo, OnNoUpdateFound;
    std::function<void(const QString& current, bool& install, const QString& announced)>
        OnUpdateAvailable;
    std::function<void(bool& show, bool& checkInFuture)> OnBeforeShowInfo;
    std::function<void(bool result)> OnAfterShowInfo;
    std::function<void(QString& fileName)> OnGetClientFileName;
    std::function<void(const QString& fileName, bool& overwrite)> OnClientFileExists;
    std::function<void(const QString& fileName)> OnBeforeDownload, OnAfterDownload;
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
    struct TTransfer
    {
        QUrl url;
        QString file; // empty: to memory
    };
    bool BeginInfo(TStep step);
    void Fetch(const QUrl& url);
    void StartTransfer(const QUrl& url);
    void OnReplyData();
    void OnReplyFinished();
    // A download, on a socket of its own.
    void StartFileTransfer(const QUrl& url);
    void OnSocketData();
    void OnSocketClosed();
    // Reads the head of the answer; false when the transfer ended or moved on (an error, a
    // redirection).
    bool ReadHead(const QByteArray& head);
    // Completes the download unless more bytes or the end of the connection come first.
    void WaitForClose();
    void FileTransferDone();
    void PageRead(const QByteArray& page);
    void InfoDone(bool success);
    void AfterInfoInCheck();
    void StartDownload();
    void NextTransfer();
    void DownloadDone(bool success);
    void RunDownloaded();
    void Fail(const QString& reason);
    void Finish(bool success);
    void CleanupReply();

    std::unique_ptr<QNetworkAccessManager> network_;
    QPointer<QNetworkReply> reply_;
    QPointer<QSslSocket> socket_;
    QByteArray head_; // the answer's head as far as it came
    bool headRead_ = false;
    std::unique_ptr<QSaveFile> file_;
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
