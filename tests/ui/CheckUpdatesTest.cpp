// The "Check for updates" dialog against a server on the loopback interface, its questions
// answered by the test.
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <deque>

#include "engine/Globals.h"
#include "support/LoopbackServer.h"
#include "ui/CheckUpdates.h"

using namespace tw::ui;

class CheckUpdatesTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TLoopbackServer> server_;
    std::unique_ptr<QTemporaryDir> dir_;
    QStringList asked_;
    std::deque<QMessageBox::StandardButton> answers_;
    QString started_;
    QPointer<TfrmCheckUpdates> dialog_;

    void Announce(const QByteArray& version, qint64 size = 200000, bool hold = false)
    {
        server_->Set(
            "/updates/tw/tw.html",
            {200,
             TLoopbackServer::Page({{"mxProduct", "Tarnwick"},
                                    {"mxVersion", version},
                                    {"mxDownload", server_->Url("/setup.AppImage").toUtf8()},
                                    {"mxClientSideName", "setup.AppImage"}}),
             {},
             true,
             -1,
             false});
        server_->Set("/setup.AppImage",
                     {200, QByteArray(hold ? size / 2 : size, 'x'), {}, true, size, hold});
    }
    TfrmCheckUpdates* Open(bool silent)
    {
        dialog_ = new TfrmCheckUpdates(silent, server_->Url("/updates/tw/tw.html"), false, nullptr);
        dialog_->updateFolder = dir_->filePath(QStringLiteral("Update"));
        dialog_->wupd().AllowHttp = true; // the loopback server speaks plain HTTP
        dialog_->ask = [this](QMessageBox::Icon, const QString& text,
                              QMessageBox::StandardButtons) {
            asked_ << text;
            if (answers_.empty())
                return QMessageBox::Ok;
            const auto answer = answers_.front();
            answers_.pop_front();
            return answer;
        };
        dialog_->wupd().StartProgram = [this](const QString& file, const QString&) {
            started_ = file;
            return true;
        };
        dialog_->wupd().ConfirmEnd = [] { return true; };
        if (!silent)
            dialog_->show();
        return dialog_;
    }

private slots:
    void init()
    {
        server_ = std::make_unique<TLoopbackServer>();
        dir_ = std::make_unique<QTemporaryDir>();
        asked_.clear();
        answers_.clear();
        started_.clear();
    }
    void cleanup()
    {
        delete dialog_;
        server_.reset();
        dir_.reset();
    }

    void latestVersion()
    {
        Announce(QByteArray::fromStdString(tw::VersionString()));
        TfrmCheckUpdates* d = Open(false);
        QCOMPARE(d->windowTitle(), QStringLiteral("Check for updates"));
        QCOMPARE(d->statusLine()->text(), QStringLiteral("Checking..."));
        QCOMPARE(d->currentVersionLine()->text(),
                 QStringLiteral("Current version: ") + QString::fromStdString(tw::VersionString()));
        QTRY_COMPARE(d->newVersionLine()->text(), QStringLiteral("You have the latest version"));
        QCOMPARE(d->button()->text(), QStringLiteral("&Close"));
        QVERIFY(asked_.isEmpty());
        // Silent: closes without a word.
        Open(true);
        QTRY_VERIFY(dialog_.isNull());
        QVERIFY(asked_.isEmpty());
    }

    void newerVersionAskedAndInstalled()
    {
        Announce("1.0.99");
        answers_ = {QMessageBox::No};
        Open(false);
        QTRY_VERIFY(dialog_.isNull());
        QCOMPARE(asked_.size(), 1);
        QVERIFY(asked_[0].startsWith(QStringLiteral(
            "There is new version of software available for \ndownload at the www.tarnwick.example "
            "website.\n\n\nDo you want to install new version? Program will be restarted.")));
        QCOMPARE(server_->Hits("/setup.AppImage"), 0);

        answers_ = {QMessageBox::Yes};
        TfrmCheckUpdates* d = Open(true); // a silent check shows itself when it finds one
        QTRY_VERIFY(!started_.isEmpty());
        QVERIFY(d->isVisible());
        QCOMPARE(d->newVersionLine()->text(), QStringLiteral("New version: 1.0.99"));
        QCOMPARE(started_, dir_->filePath(QStringLiteral("Update/setup.AppImage")));
        QCOMPARE(QFileInfo(started_).size(), 200000);
    }

    void majorVersionIsNotDownloaded()
    {
        Announce("2.0.0");
        Open(false);
        QTRY_VERIFY(dialog_.isNull());
        QCOMPARE(asked_, QStringList({"There is new major version of software available.\nMajor "
                                      "updates are not free. Please visit our website for more "
                                      "information."}));
        QCOMPARE(server_->Hits("/setup.AppImage"), 0);
    }

    void errorsOnceAndSilentlyInSilentMode()
    {
        // No page at all.
        TfrmCheckUpdates* d = Open(false);
        QTRY_COMPARE(asked_, QStringList({"Error accessing data from the web!"}));
        QTRY_COMPARE(d->button()->text(), QStringLiteral("&Close"));
        delete d;
        asked_.clear();
        Open(true);
        QTRY_VERIFY(dialog_.isNull());
        QVERIFY(asked_.isEmpty());
    }

    // A server that never answers: the check ends at the transfer timeout (shortened here); the
    // dialog says so and why, the silent check closes without a word.
    void timeLimitEndsTheCheck()
    {
        TRoute silent;
        silent.silent = true;
        server_->Set("/updates/tw/tw.html", silent);
        TfrmCheckUpdates* d = Open(false);
        d->wupd().TransferLimits.transferMs = 300;
        QTRY_COMPARE_WITH_TIMEOUT(asked_, QStringList({"Error accessing data from the web!"}),
                                  3000);
        QCOMPARE(d->statusLine()->text(), QStringLiteral("The update check failed"));
        QVERIFY(
            d->progressText()->text().endsWith(QStringLiteral(" did not answer within 0.3 s.")));
        delete d;
        asked_.clear();
        Open(true)->wupd().TransferLimits.transferMs = 300;
        QTRY_VERIFY_WITH_TIMEOUT(dialog_.isNull(), 3000);
        QVERIFY(asked_.isEmpty());
    }

    void cancelDuringTheDownload()
    {
        // A download that stalls half-way: No to the question leaves it running, Yes ends it.
        Announce("1.0.99", 400000, true);
        answers_ = {QMessageBox::Yes};
        TfrmCheckUpdates* d = Open(false);
        QTRY_VERIFY(d->progressBar()->isVisible());
        QTRY_VERIFY(d->progressBar()->value() > 0);
        QCOMPARE(d->statusLine()->text(), QStringLiteral("Downloading..."));
        QVERIFY(d->progressText()->text().endsWith(QStringLiteral(" / 391 KB")));
        answers_ = {QMessageBox::No};
        d->button()->click();
        QCOMPARE(asked_.back(), QStringLiteral("Are you sure you want to abort downloading?"));
        QVERIFY(d->wupd().Busy());
        QVERIFY(!dialog_.isNull());
        answers_ = {QMessageBox::Yes};
        d->button()->click();
        QTRY_VERIFY(dialog_.isNull());
        QVERIFY(started_.isEmpty());
        QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("Update/setup.AppImage"))));
    }
};

QTEST_MAIN(CheckUpdatesTest)
#include "CheckUpdatesTest.moc"
