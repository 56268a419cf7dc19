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
    TRun Run(const QStringList& args)
    {
        QProcess process;
        process.start(QStringLiteral(TW_CLI_PATH), QStringList{QStringLiteral("check-update")} + args);
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
    void Announce(const QByteArray& file, const QByteArray& body)
    {
        server_.Set("/tw.html", {200,
                                 TLoopbackServer::Page({{"mxProduct", "Tarnwick"},
                                                        {"mxVersion", "1.0.99"},
                                                        {"mxVerDate", "20261201"},
                                                        {"mxDownload", server_.Url("/" + file).toUtf8()},
                                                        {"mxClientSideName", file}}),
                                 {}, true, -1, false});
        server_.Set("/" + file, {200, body, {}, true, -1, false});
    }

private slots:
    void reportsTheAnnouncement()
    {
        Announce("setup.AppImage", "binary");
        const TRun run = Run({QStringLiteral("--url"), server_.Url(QStringLiteral("/tw.html"))});
        QCOMPARE(run.code, 0);
        QVERIFY2(run.out.contains(QStringLiteral("Announced version: 1.0.99\nRelease date: 2026-12-01\n")),
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
};

QTEST_GUILESS_MAIN(CheckUpdateCliTest)
#include "CheckUpdateCliTest.moc"
