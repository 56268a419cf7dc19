// The update component against a server on the loopback interface that the test starts.
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>

#include "support/LoopbackServer.h"
#include "update/WebUpdate.h"

using namespace tw::update;

namespace {

struct TEntry
{
    QByteArray name;
    QByteArray data;
    QByteArray linkTarget; // a symbolic link when set
    qint64 zeros = 0;      // data of this many zero bytes instead
};

// A ZIP archive written with libarchive, entries as given (hostile ones included).
bool MakeZip(const QString& path, const QList<TEntry>& entries)
{
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    if (archive_write_open_filename(a, QFile::encodeName(path).constData()) != ARCHIVE_OK)
        return false;
    for (const TEntry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, e.name.constData());
        if (!e.linkTarget.isEmpty()) {
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, e.linkTarget.constData());
            archive_entry_set_perm(entry, 0777);
            archive_write_header(a, entry);
        } else {
            const qint64 size = e.zeros > 0 ? e.zeros : e.data.size();
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            archive_entry_set_size(entry, size);
            archive_write_header(a, entry);
            if (e.zeros > 0) {
                const QByteArray block(1 << 20, '\0');
                for (qint64 left = e.zeros; left > 0; left -= block.size())
                    archive_write_data(a, block.constData(), std::min<qint64>(left, block.size()));
            } else {
                archive_write_data(a, e.data.constData(), e.data.size());
            }
        }
        archive_entry_free(entry);
    }
    archive_write_close(a);
    archive_write_free(a);
    return true;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Md5(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Everything under the folder, links not followed: "name/" for a folder, "name -> target" for
// a link, "name=hash" for a file, sorted.
QStringList Listing(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = QDir(folder).relativeFilePath(path);
        if (info.isSymLink())
            entries << name + QStringLiteral(" -> ") + info.symLinkTarget();
        else if (info.isDir())
            entries << name + QLatin1Char('/');
        else
            entries << name + QLatin1Char('=') + Md5(ReadAll(path));
    }
    entries.sort();
    return entries;
}

// The body in chunked transfer coding, in pieces of 100 bytes, with an extension and a trailer.
QByteArray Chunked(const QByteArray& body)
{
    QByteArray coded;
    for (qsizetype at = 0; at < body.size(); at += 100) {
        const QByteArray piece = body.mid(at, 100);
        coded += QByteArray::number(piece.size(), 16) + ";x=1\r\n" + piece + "\r\n";
    }
    return coded + "0\r\nX-Trailer: t\r\n\r\n";
}

} // namespace

class WebUpdateTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TLoopbackServer> server_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TmxWebUpdate> wupd_;
    QStringList events_;
    bool install_ = false;
    QString started_;
    bool confirmEnd_ = true;
    bool terminated_ = false;

    QString Path(const QString& name) const { return dir_->filePath(name); }

    void Announce(const QByteArray& version, const QByteArray& file = "setup.AppImage",
                  const QByteArray& path = "/updates/tw/tw.html",
                  const QByteArray& product = "Tarnwick")
    {
        server_->Set(
            path, {200,
                   TLoopbackServer::Page({{"mxProduct", product},
                                          {"mxVersion", version},
                                          {"mxVerDate", "20261201"},
                                          {"mxDownload", server_->Url("/files/" + file).toUtf8()},
                                          {"mxClientSideName", file}}),
                   {},
                   true,
                   -1});
    }
    // Runs the whole check and waits for its end.
    bool Check()
    {
        QSignalSpy done(wupd_.get(), &TmxWebUpdate::finished);
        if (!wupd_->CheckForUpdate())
            return false;
        return !done.isEmpty() || done.wait(10000); // it may have ended at once
    }

private slots:
    void initTestCase() { TrustLoopbackCertificate(); }
    void init()
    {
        server_ = std::make_unique<TLoopbackServer>();
        QVERIFY(server_->Listening());
        dir_ = std::make_unique<QTemporaryDir>();
        wupd_ = std::make_unique<TmxWebUpdate>();
        wupd_->ProductInfo.SetURL(server_->Url(QStringLiteral("/updates/tw/tw.html")));
        wupd_->ProductInfo.Version = QStringLiteral("1.0.5");
        wupd_->Options = uoRunUpdate | uoTerminate | uoOverwrite;
        wupd_->DownloadFolder = Path(QStringLiteral("Update"));
        wupd_->AllowHttp = true; // the loopback server speaks plain HTTP
        events_.clear();
        install_ = false;
        started_.clear();
        confirmEnd_ = true;
        terminated_ = false;
        wupd_->OnUpdateAvailable = [this](const QString& current, bool& install,
                                          const QString& announced) {
            events_ << QStringLiteral("available %1 %2").arg(current, announced);
            install = install_;
        };
        wupd_->OnNoUpdateFound = [this] { events_ << QStringLiteral("latest"); };
        wupd_->OnDownloadError = [this] { events_ << QStringLiteral("error"); };
        wupd_->OnCannotExecute = [this] { events_ << QStringLiteral("cannot execute"); };
        wupd_->StartProgram = [this](const QString& file, const QString&) {
            started_ = file;
            return true;
        };
        wupd_->ConfirmEnd = [this] { return confirmEnd_; };
        wupd_->Terminate = [this] { terminated_ = true; };
    }
    void cleanup()
    {
        wupd_.reset();
        server_.reset();
        dir_.reset();
    }

    void versionsCompare()
    {
        const struct
        {
            const char *current, *announced;
            TmxVersionFormat format;
            bool newer;
        } cases[] = {
            {"1.0.5", "1.0.6", TmxVersionFormat::vfStandard, true},
            {"1.0.5", "2.0.0", TmxVersionFormat::vfStandard, true},
            {"1.0.5", "1.0.5", TmxVersionFormat::vfStandard, false},
            {"1.2.3", "1.2.4", TmxVersionFormat::vfStandard, true},
            {"1.2", "1.2.1", TmxVersionFormat::vfStandard, false},
            {"1.10", "1.9", TmxVersionFormat::vfStandard, false},
            {"1.0", "x.y", TmxVersionFormat::vfStandard, false},
            {"1.0a", "1.0b", TmxVersionFormat::vfString, true},
            {"1.5", "1.25", TmxVersionFormat::vfNumber, false},
            {"1.5", "abc", TmxVersionFormat::vfNumber, false},
        };
        for (const auto& c : cases)
            QVERIFY2(IsNewer(c.current, c.announced, c.format) == c.newer,
                     qPrintable(QStringLiteral("%1 against %2").arg(c.current, c.announced)));
    }

    void pageParse()
    {
        const TAnnouncement a = ParseAnnouncement({
            QStringLiteral("<meta name=\"mxVersion\" content=\"1.0.6\">"),
            QStringLiteral("<META NAME=\"MXPRODUCT\" CONTENT=\"not this\">"),
            QStringLiteral("<META NAME=\"mxProduct\" CONTENT=\"Tarnwick\"><META NAME=\"mxAuthor\" "
                           "CONTENT=\"x\">"),
            QStringLiteral("<META NAME=\"mxVerDate\" CONTENT=\"20261201\">"),
            QStringLiteral("<META NAME=\"mxDownload\" CONTENT=\"no closing quote"),
            QStringLiteral(
                "<META NAME=\"mxEmail\" CONTENT=\"a\x1b[31mb\tc\x7f\u009b d\u202e\u2028\x01\">"),
        });
        QCOMPARE(a.version, QStringLiteral("1.0.6"));        // lower-case META NAME and CONTENT
        QCOMPARE(a.productName, QStringLiteral("Tarnwick")); // names compare exactly
        QCOMPARE(a.author, QString());                       // only the first tag of a line
        QCOMPARE(a.date, QDate(2026, 12, 1));
        QCOMPARE(a.download, QString());
        QCOMPARE(a.email, QStringLiteral("a?[31mb?c?? d???")); // control characters replaced
        QCOMPARE(NormalizeUrl(QStringLiteral("host.example/p")),
                 QStringLiteral("https://host.example/p"));
        QCOMPARE(NormalizeUrl(QStringLiteral("HTTP://h/p")), QStringLiteral("HTTP://h/p"));
        for (const char* bad : {"../setup.exe", "dir/setup.exe", "..\\x.exe", ".hidden", "", "a\nb",
                                "C:setup.exe", "a?b.exe"})
            QVERIFY2(!IsPlainFileName(QString::fromUtf8(bad)), bad);
        QVERIFY(IsPlainFileName(QStringLiteral("Tarnwick-1.0.6.AppImage")));
    }

    void announcedVersions()
    {
        Announce("1.0.6");
        QVERIFY(Check());
        QCOMPARE(events_, QStringList({"available 1.0.5 1.0.6"}));
        QCOMPARE(server_->Hits("/files/setup.AppImage"), 0); // declined: nothing downloaded
        QCOMPARE(wupd_->Found().date, QDate(2026, 12, 1));

        events_.clear();
        Announce("1.0.5");
        QVERIFY(Check());
        QCOMPARE(events_, QStringList({"latest"}));

        // A page without the version is an error.
        events_.clear();
        server_->Set("/updates/tw/tw.html",
                     {200,
                      TLoopbackServer::Page({{"mxProduct", "Tarnwick"}, {"MXVERSION", "9.0.0"}}),
                      {},
                      true,
                      -1});
        QVERIFY(Check());
        QCOMPARE(events_, QStringList({"error"}));
        QVERIFY(!wupd_->Success());
    }

    void redirections()
    {
        // The page's own redirection and an HTTP redirection, followed.
        Announce("1.0.6", "setup.AppImage", "/second.html");
        server_->Set("/updates/tw/tw.html",
                     {200,
                      TLoopbackServer::Page({{"mxRedirection", server_->Url("/moved").toUtf8()}}),
                      {},
                      true,
                      -1});
        server_->Set("/moved", {302, "", {{"Location", "/second.html"}}, true, -1});
        QVERIFY(Check());
        QCOMPARE(events_, QStringList({"available 1.0.5 1.0.6"}));
        QCOMPARE(server_->Hits("/second.html"), 1);

        // A page that redirects to itself ends with the error, after a few requests.
        events_.clear();
        server_->Set("/loop.html", {200,
                                    TLoopbackServer::Page(
                                        {{"mxRedirection", server_->Url("/loop.html").toUtf8()}}),
                                    {},
                                    true,
                                    -1});
        wupd_->ProductInfo.SetURL(server_->Url(QStringLiteral("/loop.html")));
        QVERIFY(Check());
        QCOMPARE(events_, QStringList({"error"}));
        QCOMPARE(server_->Hits("/loop.html"), kMaxRedirections + 1);
        QVERIFY(wupd_->LastError().contains(QStringLiteral("redirections")));
    }

    void downloadAndStart()
    {
        Announce("1.0.6");
        const QByteArray release(300000, 'r');
        server_->Set("/files/setup.AppImage", {200, release, {}, true, -1});
        install_ = true;
        qint64 lastReceived = 0;
        wupd_->OnDownload = [&](qint64 total, qint64 received) {
            QCOMPARE(total, qint64(release.size()));
            lastReceived = received;
        };
        QVERIFY(Check());
        const QString local = Path(QStringLiteral("Update/setup.AppImage"));
        QCOMPARE(ReadAll(local), release);
        QCOMPARE(lastReceived, qint64(release.size()));
        QCOMPARE(started_, local);
        QVERIFY(terminated_);

        // Cancel at the save question: the program stays and the installer is not started.
        started_.clear();
        terminated_ = false;
        confirmEnd_ = false;
        QVERIFY(Check());
        QVERIFY(started_.isEmpty());
        QVERIFY(!terminated_);
    }

    void refusedDownloads()
    {
        install_ = true;
        const struct
        {
            const char* name;
            QByteArray file;
            TRoute route;
            const char* message;
        } cases[] = {
            {"shorter than announced",
             "a.AppImage",
             {200, QByteArray(1000, 'a'), {}, true, 5000},
             "was refused: it ended after 1000 of the announced 5000 bytes"},
            {"longer than announced",
             "d.AppImage",
             {200, QByteArray(2000, 'd'), {}, true, 1500},
             "was refused: the server sent more than the announced 1500 bytes"},
            {"longer, the rest a moment later",
             "e.AppImage",
             {200, QByteArray(1500, 'e'), {}, true, -1, false, "more"},
             "was refused: the server sent more than the announced 1500 bytes"},
            {"no Content-Length",
             "b.AppImage",
             {200, QByteArray(1000, 'b'), {}, false, -1},
             "did not announce the size"},
            {"missing", "c.AppImage", {404, "gone", {}, true, -1}, "404"},
            {"hostile name", "..%2Fevil.AppImage", {200, "x", {}, true, -1}, "plain file name"},
        };
        for (const auto& c : cases) {
            events_.clear();
            Announce("1.0.6", c.file);
            server_->Set("/files/" + c.file, c.route);
            QVERIFY(Check());
            QVERIFY2(events_.contains(QStringLiteral("error")), c.name);
            QVERIFY2(wupd_->LastError().contains(QString::fromUtf8(c.message)),
                     qPrintable(QString::fromUtf8(c.name) + ": " + wupd_->LastError()));
            QVERIFY2(started_.isEmpty(), c.name);
            const QStringList left =
                QDir(Path(QStringLiteral("Update")))
                    .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
            QVERIFY2(left.isEmpty(), qPrintable(QString::fromUtf8(c.name) + ": " + left.join(',')));
        }
        // A name with a folder part is refused before anything is requested.
        Announce("1.0.6", "../evil.AppImage");
        QVERIFY(Check());
        QCOMPARE(server_->Hits("/files/../evil.AppImage"), 0);
        QVERIFY(wupd_->LastError().contains(QStringLiteral("plain file name")));
    }

    // Only a newer release of this product is downloaded, by the whole check and by the
    // download step alone.
    void releasesNotOffered()
    {
        install_ = true;
        const struct
        {
            const char* name;
            QByteArray product, version;
            bool wholeCheck;
            const char* message;
        } cases[] = {
            {"another product", "Millbrook", "1.0.6", true,
             "another product, \"Millbrook\", not Tarnwick"},
            {"another product, step alone", "Millbrook", "1.0.6", false, "another product"},
            {"not newer, step alone", "Tarnwick", "1.0.5", false,
             "No newer version is offered (announced 1.0.5, this program 1.0.5)"},
        };
        for (const auto& c : cases) {
            Announce(c.version, "setup.AppImage", "/updates/tw/tw.html", c.product);
            server_->Set("/files/setup.AppImage", {200, "binary", {}, true, -1});
            if (c.wholeCheck) {
                QVERIFY(Check());
            } else {
                QSignalSpy read(wupd_.get(), &TmxWebUpdate::infoRead);
                QVERIFY(wupd_->GetInfo());
                QVERIFY(read.wait(10000));
                QSignalSpy done(wupd_.get(), &TmxWebUpdate::downloaded);
                QVERIFY(wupd_->Download());
                QTRY_VERIFY(!done.isEmpty());
            }
            QVERIFY2(wupd_->LastError().contains(QString::fromUtf8(c.message)),
                     qPrintable(QString::fromUtf8(c.name) + ": " + wupd_->LastError()));
            QCOMPARE(server_->Hits("/files/setup.AppImage"), 0);
        }
    }

    void zipArchives()
    {
        const QString folder = Path(QStringLiteral("out"));
        QVERIFY(MakeZip(Path("good.zip"), {{"docs/readme.txt", "hello", {}, 0},
                                           {"Tarnwick-1.0.6.AppImage", "binary", {}, 0}}));
        QCOMPARE(ExtractZip(Path("good.zip"), folder), QString());
        QCOMPARE(FindInstaller(folder), folder + QStringLiteral("/Tarnwick-1.0.6.AppImage"));

        // An absolute entry aimed at the test's own folder, outside the extraction folder.
        const QByteArray absolute = QFile::encodeName(Path(QStringLiteral("absolute.txt")));
        const struct
        {
            const char* name;
            QList<TEntry> entries;
        } hostile[] = {
            {"dotdot.zip", {{"ok.txt", "1", {}, 0}, {"../escaped.txt", "x", {}, 0}}},
            {"absolute.zip", {{absolute, "x", {}, 0}}},
            {"link.zip", {{"link", {}, "/etc", 0}}},
            {"bomb.zip", {{"zeros.bin", {}, {}, 8 << 20}}},
        };
        TExtractLimits limits;
        limits.maxTotalBytes = 4 << 20;
        for (const auto& h : hostile) {
            QVERIFY(MakeZip(Path(h.name), h.entries));
            const QString error = ExtractZip(Path(h.name), folder, limits);
            QVERIFY2(error.startsWith(QStringLiteral("The archive was refused")), h.name);
            QVERIFY2(!QDir(folder).exists(), h.name);
        }
        QVERIFY(!QFile::exists(Path(QStringLiteral("escaped.txt"))));
        QVERIFY(!QFile::exists(Path(QStringLiteral("absolute.txt"))));
        // Too many entries.
        limits = {};
        limits.maxEntries = 2;
        QVERIFY(
            MakeZip(Path("many.zip"), {{"a", "1", {}, 0}, {"b", "2", {}, 0}, {"c", "3", {}, 0}}));
        QVERIFY(!ExtractZip(Path("many.zip"), folder, limits).isEmpty());
        QVERIFY(!ExtractZip(Path("good.zip") + QStringLiteral(".missing"), folder).isEmpty());
    }

    void zipDownloadsStartTheirInstaller()
    {
        install_ = true;
        QVERIFY(MakeZip(Path("release.zip"), {{"Tarnwick.AppImage", "binary", {}, 0}}));
        Announce("1.0.6", "release.zip");
        server_->Set("/files/release.zip", {200, ReadAll(Path("release.zip")), {}, true, -1});
        QVERIFY(Check());
        QCOMPARE(started_, Path(QStringLiteral("Update/BrenmUpdate/Tarnwick.AppImage")));

        // Without an installer inside, nothing can be started.
        started_.clear();
        events_.clear();
        QVERIFY(MakeZip(Path("empty.zip"), {{"readme.txt", "no installer", {}, 0}}));
        Announce("1.0.6", "empty.zip");
        server_->Set("/files/empty.zip", {200, ReadAll(Path("empty.zip")), {}, true, -1});
        wupd_->StartProgram = [this](const QString& file, const QString&) {
            started_ = file;
            return !file.isEmpty();
        };
        QVERIFY(Check());
        QVERIFY(events_.contains(QStringLiteral("cannot execute")));
        QVERIFY(!terminated_ || started_.isEmpty());
    }

    void busyAndAbort()
    {
        Announce("1.0.6");
        server_->Set("/files/setup.AppImage", {200, QByteArray(5000, 's'), {}, true, 100000, true});
        install_ = true;
        QSignalSpy done(wupd_.get(), &TmxWebUpdate::finished);
        QVERIFY(wupd_->CheckForUpdate());
        QVERIFY2(!wupd_->CheckForUpdate(), "one check at a time");
        // Aborted while the download waits for the rest of its bytes.
        QTRY_VERIFY(wupd_->Received() > 0);
        QVERIFY(done.isEmpty());
        wupd_->Abort();
        QTRY_VERIFY(!done.isEmpty());
        QVERIFY(!wupd_->Busy());
        QVERIFY(!QFile::exists(Path(QStringLiteral("Update/setup.AppImage"))));
        QVERIFY(started_.isEmpty());
    }

    // A link in the download folder, where the download or the extraction folder goes, is
    // replaced or removed itself, never followed: nothing outside the folder changes, and no
    // partial file stays. A link above the folder is the user's choice and works.
    void linksInTheDownloadFolder()
    {
        install_ = true;
        QVERIFY(MakeZip(Path("release.zip"), {{"Tarnwick.AppImage", "binary", {}, 0}}));
        QVERIFY(
            MakeZip(Path("hostile.zip"), {{"ok.txt", "1", {}, 0}, {"../escaped.txt", "x", {}, 0}}));
        const QByteArray release(5000, 'r');
        const struct
        {
            const char* name;
            QByteArray file, archive; // archive: the ZIP served, else `release`
            // What the case makes in its folder (`outside` holds victim.txt and keep/kept.txt):
            // links as "link -> target", anything else as a folder.
            QStringList make;
            const char* downloadFolder;
            QStringList update;  // the download folder afterwards
            const char* started; // in the case's folder; empty: the check failed
        } cases[] = {
            {"link to a file at the client file name",
             "setup.AppImage",
             {},
             {"Update/setup.AppImage -> outside/victim.txt"},
             "Update",
             {"setup.AppImage=" + Md5(release)},
             "Update/setup.AppImage"},
            {"dangling link at the client file name",
             "setup.AppImage",
             {},
             {"Update/setup.AppImage -> outside/new.txt"},
             "Update",
             {"setup.AppImage=" + Md5(release)},
             "Update/setup.AppImage"},
            {"link to a folder at the extraction folder",
             "release.zip",
             "release.zip",
             {"Update/BrenmUpdate -> outside"},
             "Update",
             {"BrenmUpdate/", "BrenmUpdate/Tarnwick.AppImage=" + Md5("binary"),
              "release.zip=" + Md5(ReadAll(Path("release.zip")))},
             "Update/BrenmUpdate/Tarnwick.AppImage"},
            {"link at the extraction folder, archive refused",
             "hostile.zip",
             "hostile.zip",
             {"Update/BrenmUpdate -> outside"},
             "Update",
             {"hostile.zip=" + Md5(ReadAll(Path("hostile.zip")))},
             ""},
            {"link above the download folder",
             "release.zip",
             "release.zip",
             {"real/", "alias -> real"},
             "alias/Update",
             {"BrenmUpdate/", "BrenmUpdate/Tarnwick.AppImage=" + Md5("binary"),
              "release.zip=" + Md5(ReadAll(Path("release.zip")))},
             "alias/Update/BrenmUpdate/Tarnwick.AppImage"},
        };
        int index = 0;
        for (const auto& c : cases) {
            const QString base = Path(QStringLiteral("case%1").arg(++index));
            const QString outside = base + QStringLiteral("/outside");
            QVERIFY(WriteFile(outside + QStringLiteral("/victim.txt"), "precious"));
            QVERIFY(WriteFile(outside + QStringLiteral("/keep/kept.txt"), "kept"));
            QDir().mkpath(base + QStringLiteral("/Update"));
            for (const QString& item : c.make) {
                const QStringList link = item.split(QStringLiteral(" -> "));
                if (link.size() == 2)
                    QVERIFY(QFile::link(base + QLatin1Char('/') + link[1],
                                        base + QLatin1Char('/') + link[0]));
                else
                    QVERIFY(QDir().mkpath(base + QLatin1Char('/') + item));
            }
            const QStringList before = Listing(outside);
            Announce("1.0.6", c.file);
            server_->Set(
                "/files/" + c.file,
                {200,
                 c.archive.isEmpty() ? release : ReadAll(Path(QString::fromUtf8(c.archive))),
                 {},
                 true,
                 -1});
            wupd_->DownloadFolder = base + QLatin1Char('/') + QString::fromUtf8(c.downloadFolder);
            started_.clear();
            QVERIFY(Check());
            QVERIFY2(Listing(outside) == before, c.name);
            QVERIFY2(Listing(wupd_->DownloadFolder) == c.update,
                     qPrintable(QString::fromUtf8(c.name) + ": " +
                                Listing(wupd_->DownloadFolder).join(',')));
            const QString started =
                *c.started ? base + QLatin1Char('/') + QString::fromUtf8(c.started) : QString();
            QVERIFY2(started_ == started,
                     qPrintable(QString::fromUtf8(c.name) + ": " + wupd_->LastError()));
        }
    }

    // Plain HTTP is refused unless allowed: at the page, after an HTTPS page at its download
    // or at any redirection; nothing is requested from the plain server.
    void plainHttpRefused()
    {
        TLoopbackServer secure(true), plain;
        QVERIFY(secure.Listening() && plain.Listening());
        install_ = true;
        const QByteArray release(3000, 's');
        const auto page = [](const QByteArray& download) {
            return TLoopbackServer::Page({{"mxProduct", "Tarnwick"},
                                          {"mxVersion", "1.0.6"},
                                          {"mxDownload", download},
                                          {"mxClientSideName", "setup.AppImage"}});
        };
        // The pages come in chunks, as a generated page often does.
        const auto chunkedPage = [&](const QByteArray& download) {
            return TRoute{
                200, Chunked(page(download)), {{"Transfer-Encoding", "chunked"}}, false, -1};
        };
        const QByteArray secureFile = secure.Url("/setup.AppImage").toUtf8();
        const QByteArray plainFile = plain.Url("/setup.AppImage").toUtf8();
        secure.Set("/https-download.html", chunkedPage(secureFile));
        secure.Set("/http-download.html", chunkedPage(plainFile));
        secure.Set("/redirected-download.html",
                   chunkedPage(secure.Url("/moved.AppImage").toUtf8()));
        secure.Set("/moved.AppImage", {302, "", {{"Location", plainFile}}, true, -1});
        secure.Set("/moved.html",
                   {302, "", {{"Location", plain.Url("/page.html").toUtf8()}}, true, -1});
        secure.Set("/page-redirection.html",
                   {200,
                    TLoopbackServer::Page({{"mxRedirection", plain.Url("/page.html").toUtf8()}}),
                    {},
                    true,
                    -1});
        secure.Set("/setup.AppImage", {200, release, {}, true, -1});
        plain.Set("/page.html", {200, page(plainFile), {}, true, -1});
        plain.Set("/setup.AppImage", {200, release, {}, true, -1});
        const QString refusal = QString::fromLatin1(kInsecureRefusal);
        const struct
        {
            const char* name;
            QString page;
            bool allowHttp;
            QString error; // empty: downloaded
        } cases[] = {
            {"all HTTPS", secure.Url("/https-download.html"), false, {}},
            {"HTTPS page, HTTP download", secure.Url("/http-download.html"), false, refusal},
            {"HTTPS download redirected to HTTP", secure.Url("/redirected-download.html"), false,
             refusal},
            {"HTTPS page redirected to HTTP", secure.Url("/moved.html"), false, refusal},
            {"HTTPS page naming an HTTP page", secure.Url("/page-redirection.html"), false,
             refusal},
            {"HTTP page", plain.Url("/page.html"), false,
             refusal + QStringLiteral(": the page %1 is plain HTTP.").arg(plain.Url("/page.html"))},
            {"HTTP allowed", secure.Url("/http-download.html"), true, {}},
        };
        for (const auto& c : cases) {
            const int before = plain.Connections();
            wupd_->AllowHttp = c.allowHttp;
            wupd_->ProductInfo.SetURL(c.page);
            started_.clear();
            QVERIFY(Check());
            const bool downloaded = started_ == Path(QStringLiteral("Update/setup.AppImage"));
            QVERIFY2(c.error.isEmpty()
                         ? downloaded
                         : wupd_->LastError() == c.error && plain.Connections() == before,
                     qPrintable(QString::fromUtf8(c.name) + ": " + wupd_->LastError()));
        }
    }

    // Each limit of a connection ends the check in its time (shortened here), with its message,
    // and leaves no partial file.
    void limitsEndTheCheck()
    {
        install_ = true;
        const QByteArray page =
            TLoopbackServer::Page({{"mxProduct", "Tarnwick"},
                                   {"mxVersion", "1.0.6"},
                                   {"mxDownload", server_->Url("/files/setup.AppImage").toUtf8()},
                                   {"mxClientSideName", "setup.AppImage"}});
        const TRoute goodPage{200, page, {}, true, -1};
        TRoute silent;
        silent.silent = true;
        TRoute trickle{200, page, {}, true, -1};
        trickle.trickleMs = 50;
        TRoute trickleBody = trickle;
        trickleBody.body = QByteArray(3000, 't');
        trickleBody.trickleBody = true;
        TRoute shortLines;
        shortLines.endlessLine = "X-Filler: a\r\n";
        TRoute longLines;
        longLines.endlessLine = "X-Filler: " + QByteArray(4000, 'a') + "\r\n";
        const TRoute halfWay{200, QByteArray(5000, 'h'), {}, true, 100000, true};
        const QString secureUrl =
            server_->Url(QStringLiteral("/updates/tw/tw.html"))
                .replace(QStringLiteral("http://"), QStringLiteral("https://"));
        const char* noAnswer = "did not answer within 0.25 s";
        const char* noHandshake = "could not be reached within 0.25 s";
        const char* stalled = "stalled: less than 1024 bytes came in 0.25 s";
        const char* manyLines = "answered with more than 100 header lines";
        const char* longHead = "answered with a head longer than 65536 bytes";
        const struct
        {
            const char* name;
            TRoute page, download;
            int connectMs, transferMs; // the limits for the case
            bool secure; // HTTPS to the plain server, which never completes the handshake
            const char* message;
            int limitMs; // when it must have ended
        } cases[] = {
            {"page: no answer", silent, {}, 15000, 250, false, noAnswer, 250},
            {"page: no TLS handshake", silent, {}, 250, 60000, true, noHandshake, 250},
            {"page: head trickles", trickle, {}, 15000, 250, false, noAnswer, 250},
            {"page: header lines without end", shortLines, {}, 15000, 30000, false, manyLines, 0},
            {"page: a head without end", longLines, {}, 15000, 30000, false, longHead, 0},
            {"download: no answer", goodPage, silent, 15000, 250, false, noAnswer, 250},
            {"download: body trickles", goodPage, trickleBody, 15000, 250, false, stalled, 250},
            {"download: stops half-way", goodPage, halfWay, 15000, 250, false, stalled, 250},
            {"download: endless lines", goodPage, shortLines, 15000, 30000, false, manyLines, 0},
        };
        for (const auto& c : cases) {
            server_->Set("/updates/tw/tw.html", c.page);
            server_->Set("/files/setup.AppImage", c.download);
            wupd_->ProductInfo.SetURL(
                c.secure ? secureUrl : server_->Url(QStringLiteral("/updates/tw/tw.html")));
            wupd_->TransferLimits.connectMs = c.connectMs;
            wupd_->TransferLimits.transferMs = c.transferMs;
            QSignalSpy done(wupd_.get(), &TmxWebUpdate::finished);
            QElapsedTimer clock;
            clock.start();
            QVERIFY(wupd_->CheckForUpdate());
            const bool ended = !done.isEmpty() || done.wait(c.limitMs + 3000);
            const qint64 elapsed = clock.elapsed();
            QVERIFY2(ended && wupd_->LastError().contains(QString::fromUtf8(c.message)) &&
                         elapsed < c.limitMs + 1500,
                     qPrintable(QStringLiteral("%1: %2 after %3 ms")
                                    .arg(c.name, wupd_->LastError())
                                    .arg(elapsed)));
            QVERIFY2(QDir(Path(QStringLiteral("Update")))
                         .entryList(QDir::Files | QDir::Hidden)
                         .isEmpty(),
                     c.name);
            wupd_->Abort(); // a check that did not end
        }
    }
};

QTEST_GUILESS_MAIN(WebUpdateTest)
#include "WebUpdateTest.moc"
