// The update component against a server on the loopback interface that the test starts.
#include <QDir>
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
        server_->Set(path, {200,
                            TLoopbackServer::Page({{"mxProduct", product},
                                                   {"mxVersion", version},
                                                   {"mxVerDate", "20261201"},
                                                   {"mxDownload", server_->Url("/files/" + file).toUtf8()},
                                                   {"mxClientSideName", file}}),
                            {}, true, -1});
    }
    // Runs the whole check and waits for its end.
    bool Check()
    {
        QSignalSpy done(wupd_.get(), &TmxWebUpdate::finished);
        if (!wupd_->CheckForUpdate())
            return false;
        return done.wait(10000) || !done.isEmpty();
    }

private slots:
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
            QStringLiteral("<META NAME=\"mxProduct\" CONTENT=\"Tarnwick\"><META NAME=\"mxAuthor\" CONTENT=\"x\">"),
            QStringLiteral("<META NAME=\"mxVerDate\" CONTENT=\"20261201\">"),
            QStringLiteral("<META NAME=\"mxDownload\" CONTENT=\"no closing quote"),
            QStringLiteral(
                "<META NAME=\"mxEmail\" CONTENT=\"a\x1b[31mb\tc\x7f\u009b d\u202e\u2028\x01\">"),
        });
        QCOMPARE(a.version, QStringLiteral("1.0.6")); // lower-case META NAME and CONTENT
        QCOMPARE(a.productName, QStringLiteral("Tarnwick")); // names compare exactly
        QCOMPARE(a.author, QString()); // only the first tag of a line
        QCOMPARE(a.date, QDate(2026, 12, 1));
        QCOMPARE(a.download, QString());
        QCOMPARE(a.email, QStringLiteral("a?[31mb?c?? d???")); // control characters replaced
        QCOMPARE(NormalizeUrl(QStringLiteral("host.example/p")), QStringLiteral("https://host.example/p"));
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
        server_->Set("/updates/tw/tw.html", {200, TLoopbackServer::Page({{"mxProduct", "Tarnwick"},
                                                                         {"MXVERSION", "9.0.0"}}),
                                             {}, true, -1});
        QVERIFY(Check());
        QCOMPARE(events_, QStringList({"error"}));
        QVERIFY(!wupd_->Success());
    }

    void redirections()
    {
        // The page's own redirection and an HTTP redirection, followed.
        Announce("1.0.6", "setup.AppImage", "/second.html");
        server_->Set("/updates/tw/tw.html",
                     {200, TLoopbackServer::Page({{"mxRedirection", server_->Url("/moved").toUtf8()}}),
                      {}, true, -1});
        server_->Set("/moved", {302, "", {{"Location", "/second.html"}}, true, -1});
        QVERIFY(Check());
        QCOMPARE(events_, QStringList({"available 1.0.5 1.0.6"}));
        QCOMPARE(server_->Hits("/second.html"), 1);

        // A page that redirects to itself ends with the error, after a few requests.
        events_.clear();
        server_->Set("/loop.html",
                     {200, TLoopbackServer::Page({{"mxRedirection", server_->Url("/loop.html").toUtf8()}}),
                      {}, true, -1});
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
            {"shorter than announced", "a.AppImage", {200, QByteArray(1000, 'a'), {}, true, 5000},
             "was refused: it ended after 1000 of the announced 5000 bytes"},
            {"longer than announced", "d.AppImage", {200, QByteArray(2000, 'd'), {}, true, 1500},
             "was refused: the server sent more than the announced 1500 bytes"},
            {"longer, the rest a moment later", "e.AppImage",
             {200, QByteArray(1500, 'e'), {}, true, -1, false, "more"},
             "was refused: the server sent more than the announced 1500 bytes"},
            {"no Content-Length", "b.AppImage", {200, QByteArray(1000, 'b'), {}, false, -1},
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
            const QStringList left = QDir(Path(QStringLiteral("Update")))
                                         .entryList(QDir::Files | QDir::NoDotAndDotDot);
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
        QVERIFY(MakeZip(Path("many.zip"), {{"a", "1", {}, 0}, {"b", "2", {}, 0}, {"c", "3", {}, 0}}));
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
};

QTEST_GUILESS_MAIN(WebUpdateTest)
#include "WebUpdateTest.moc"
