// "tarnwick-cli check-update" run as a separate process against a server on the loopback
// interface that the test serves while it waits.
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <archive.h>
#include <archive_entry.h>

#include "support/LoopbackServer.h"

class CheckUpdateCliTest : public QObject
{
    Q_OBJECT

    TLoopbackServer server_;
    QTemporaryDir dir_;

    struct TRun
    {
        int code = -1;
        QString out, err;
    };
    // With --allow-http unless told otherwise: the loopback server speaks plain HTTP.
    TRun Run(const QStringList& args, bool allowHttp = true)
    {
        QProcess process;
        QStringList all{QStringLiteral("check-update")};
        if (allowHttp)
            all << QStringLiteral("--allow-http");
        process.start(QStringLiteral(TW_CLI_PATH), all + args);
        TRun run;
        if (!process.waitForStarted(5000))
            return run;
        // The server answers from this thread's event loop.
        QDeadlineTimer deadline(20000);
        while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
            QTest::qWait(10);
        run.code = process.exitCode();
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }
    void Announce(const QByteArray& file, const QByteArray& body,
                  const QByteArray& product = "Tarnwick", const QByteArray& version = "1.0.99")
    {
        server_.Set("/tw.html",
                    {200,
                     TLoopbackServer::Page({{"mxProduct", product},
                                            {"mxVersion", version},
                                            {"mxVerDate", "20261201"},
                                            {"mxDownload", server_.Url("/" + file).toUtf8()},
                                            {"mxClientSideName", file}}),
                     {},
                     true,
                     -1,
                     false});
        server_.Set("/" + file, {200, body, {}, true, -1, false});
    }

private slots:
    void reportsTheAnnouncement()
    {
        Announce("setup.AppImage", "binary");
        const TRun run = Run({QStringLiteral("--url"), server_.Url(QStringLiteral("/tw.html"))});
        QCOMPARE(run.code, 0);
        QVERIFY2(run.out.contains(
                     QStringLiteral("Announced version: 1.0.99\nRelease date: 2026-12-01\n")),
                 qPrintable(run.out));
        QVERIFY(run.out.contains(QStringLiteral("Newer: yes")));
        QCOMPARE(server_.Hits("/setup.AppImage"), 0);
    }

    void downloadsWithoutStarting()
    {
        Announce("setup.AppImage", QByteArray(70000, 'b'));
        const QString folder = dir_.filePath(QStringLiteral("deploy"));
        const TRun run = Run({QStringLiteral("--url"), server_.Url(QStringLiteral("/tw.html")),
                              QStringLiteral("--download"), folder});
        QCOMPARE(run.code, 0);
        const QString installer = QDir(folder).filePath(QStringLiteral("setup.AppImage"));
        QVERIFY2(run.out.contains(QStringLiteral("Installer: ") + installer), qPrintable(run.out));
        QCOMPARE(QFileInfo(installer).size(), 70000);
    }

    void failuresAndUsage()
    {
        TRun run = Run({QStringLiteral("--url"), server_.Url(QStringLiteral("/missing.html"))});
        QCOMPARE(run.code, 1);
        QVERIFY(!run.err.isEmpty());
        // A hostile file name is refused.
        Announce("..%2Fevil.AppImage", "x");
        run = Run({QStringLiteral("--url"), server_.Url(QStringLiteral("/tw.html")),
                   QStringLiteral("--download"), dir_.filePath(QStringLiteral("d2"))});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(QStringLiteral("plain file name")), qPrintable(run.err));
        QCOMPARE(Run({QStringLiteral("--url")}).code, 2);
        QCOMPARE(Run({QStringLiteral("--what")}).code, 2);
    }

    // Nothing is left in the folder when the download is refused, and the command says why.
    void refusedDownloads()
    {
        const struct
        {
            QByteArray file, product, version;
            qint64 declared; // the Content-Length the server sends for 3000 bytes
            int code;
            const char* message;
            int requests; // of the file
        } cases[] = {
            {"longer.AppImage", "Tarnwick", "1.0.99", 2000, 1,
             "tarnwick-cli: The download of SERVER/longer.AppImage was refused: the server "
             "sent more than the announced 2000 bytes.\n",
             1},
            {"older.AppImage", "Tarnwick", "0.0.1", -1, 0, "No newer version is offered", 0},
            {"other.AppImage", "Millbrook", "1.0.99", -1, 1,
             "tarnwick-cli: The page announces another product, \"Millbrook\", not Tarnwick; "
             "nothing was downloaded.\n",
             0},
        };
        for (const auto& c : cases) {
            Announce(c.file, {}, c.product, c.version);
            server_.Set("/" + c.file, {200, QByteArray(3000, 'x'), {}, true, c.declared, false});
            const QString folder = dir_.filePath(QString::fromUtf8(c.file));
            const TRun run = Run({QStringLiteral("--url"), server_.Url(QStringLiteral("/tw.html")),
                                  QStringLiteral("--download"), folder});
            const QString message =
                QString::fromUtf8(c.message).replace(QStringLiteral("SERVER"), server_.Url({}));
            QVERIFY2(run.code == c.code && (run.out + run.err).contains(message),
                     qPrintable(QStringLiteral("%1: %2 %3").arg(run.code).arg(run.out, run.err)));
            QCOMPARE(server_.Hits("/" + c.file), c.requests);
            QVERIFY2(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty(),
                     c.file.constData());
        }
    }

    // Plain HTTP only with --allow-http: without it nothing is requested, and the command says
    // how to allow it.
    void plainHttpNeedsTheAllowance()
    {
        Announce("setup.AppImage", "binary");
        const QString page = server_.Url(QStringLiteral("/tw.html"));
        const int connections = server_.Connections();
        const TRun run = Run({QStringLiteral("--url"), page, QStringLiteral("--download"),
                              dir_.filePath(QStringLiteral("plain"))},
                             false);
        const QString expected =
            QStringLiteral(
                "tarnwick-cli: The download is not offered over a secure connection: the "
                "page %1 is plain HTTP.\ntarnwick-cli: --allow-http allows plain HTTP (for "
                "a local test server)\n")
                .arg(page);
        QVERIFY2(run.code == 1 && run.err == expected && server_.Connections() == connections,
                 qPrintable(QStringLiteral("%1: %2").arg(run.code).arg(run.err)));
    }

    // What the page or its server says reaches the terminal without control characters.
    void printsNoControlCharacters()
    {
        const QByteArray hostile = "\x1b]0;title\x07\x1b[2J\x7f";
        const struct
        {
            const char* name;
            TRoute page;
        } cases[] = {
            {"the page's values",
             {200,
              TLoopbackServer::Page(
                  {{"mxProduct", "Tarnwick" + hostile}, {"mxVersion", "1.0.99" + hostile}}),
              {},
              true,
              -1,
              false}},
            {"the server's reason phrase", {404, "", {}, true, -1, false, {}, "Gone" + hostile}},
        };
        for (const auto& c : cases) {
            server_.Set("/hostile.html", c.page);
            const TRun run =
                Run({QStringLiteral("--url"), server_.Url(QStringLiteral("/hostile.html"))});
            const QString shown = run.out + run.err;
            QVERIFY2(shown.contains(QStringLiteral("?]0;title??[2J?")), qPrintable(shown));
            for (const QChar ch : shown)
                QVERIFY2(ch == QLatin1Char('\n') || ch.category() != QChar::Other_Control, c.name);
        }
    }
};

QTEST_GUILESS_MAIN(CheckUpdateCliTest)
#include "CheckUpdateCliTest.moc"
