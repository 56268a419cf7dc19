// The settings layer (window placement and recent files on QSettings, in a temporary folder)
// and the desktop program's command line.
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "ui/Desktop.h"
#include "ui/Settings.h"

using tw::ui::TWindowPlacement;

class SettingsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    }
    void init() { tw::ui::OpenSettings()->clear(); }

    void storeIsBrenmoorTarnwick()
    {
        const auto settings = tw::ui::OpenSettings();
        QCOMPARE(settings->organizationName(), QString("Brenmoor"));
        QCOMPARE(settings->applicationName(), QString("Tarnwick"));
        QVERIFY(settings->fileName().startsWith(dir_.path()));
        QVERIFY(settings->fileName().contains("Brenmoor"));
    }

    void placementUnderWinPos()
    {
        auto settings = tw::ui::OpenSettings();
        // Nothing stored: nothing read, and reading creates nothing.
        const TWindowPlacement none = tw::ui::ReadWindowPlacement(*settings);
        QVERIFY(!none.left && !none.top && !none.width && !none.height && !none.state);
        QVERIFY(settings->allKeys().isEmpty());

        tw::ui::WriteWindowPlacement(*settings, {10, 20, 800, 600, 0});
        QCOMPARE(settings->value("WinPos/Left").toInt(), 10);
        QCOMPARE(settings->value("WinPos/Top").toInt(), 20);
        QCOMPARE(settings->value("WinPos/Width").toInt(), 800);
        QCOMPARE(settings->value("WinPos/Height").toInt(), 600);
        QCOMPARE(settings->value("WinPos/WinState").toInt(), 0);

        // A maximized window writes its state only; the normal place stays.
        TWindowPlacement maximized;
        maximized.state = tw::ui::kWinStateMaximized;
        tw::ui::WriteWindowPlacement(*settings, maximized);
        settings.reset();
        settings = tw::ui::OpenSettings();
        const TWindowPlacement read = tw::ui::ReadWindowPlacement(*settings);
        QCOMPARE(read.state, std::optional<int>(2));
        QCOMPARE(read.left, std::optional<int>(10));
        QCOMPARE(read.height, std::optional<int>(600));
    }

    void badPlacementValuesReadAsAbsent()
    {
        const auto settings = tw::ui::OpenSettings();
        settings->setValue("WinPos/Left", "far left");
        settings->setValue("WinPos/Top", 3.5);
        settings->setValue("WinPos/Width", "1200");
        settings->setValue("WinPos/WinState", 3);
        const TWindowPlacement read = tw::ui::ReadWindowPlacement(*settings);
        QVERIFY(!read.left);
        QVERIFY(!read.top);
        QCOMPARE(read.width, std::optional<int>(1200));
        QVERIFY(!read.height);
        QVERIFY(!read.state);
        settings->setValue("WinPos/WinState", -1);
        QVERIFY(!tw::ui::ReadWindowPlacement(*settings).state);
        settings->setValue("WinPos/WinState", 1);
        QCOMPARE(tw::ui::ReadWindowPlacement(*settings).state, std::optional<int>(1));
    }

    void recentFilesList()
    {
        QStringList files;
        for (int i = 1; i <= 10; ++i)
            files = tw::ui::WithRecentFile(files, QStringLiteral("/p/wall%1.btw").arg(i));
        // The latest first, eight at most.
        QCOMPARE(files.size(), 8);
        QCOMPARE(files.constFirst(), QString("/p/wall10.btw"));
        QCOMPARE(files.constLast(), QString("/p/wall3.btw"));
        // Opening a listed file again moves it to the top; another spelling is the same file.
        files = tw::ui::WithRecentFile(files, "/p/./wall5.btw");
        QCOMPARE(files.size(), 8);
        QCOMPARE(files.constFirst(), QString("/p/./wall5.btw"));
        QCOMPARE(files.count("/p/wall5.btw"), 0);
        // An empty name is not an entry.
        QCOMPARE(tw::ui::WithRecentFile(files, "  "), files);

        const auto settings = tw::ui::OpenSettings();
        tw::ui::WriteRecentFiles(*settings, files);
        QCOMPARE(tw::ui::ReadRecentFiles(*settings), files);
        // A list edited by hand: blanks and repeats dropped, cut to eight.
        settings->setValue("RecentFiles", QStringList({"/a.btw", "", "/a.btw", "/b.btw", "/c", "/d",
                                                       "/e", "/f", "/g", "/h", "/i"}));
        QCOMPARE(tw::ui::ReadRecentFiles(*settings),
                 QStringList({"/a.btw", "/b.btw", "/c", "/d", "/e", "/f", "/g", "/h"}));
        settings->setValue("RecentFiles", "/only.btw");
        QCOMPARE(tw::ui::ReadRecentFiles(*settings), QStringList({"/only.btw"}));
        // An empty list removes the key.
        tw::ui::WriteRecentFiles(*settings, {});
        QVERIFY(!settings->contains("RecentFiles"));
        QVERIFY(tw::ui::ReadRecentFiles(*settings).isEmpty());
    }

    void commandLine()
    {
        const auto parse = [](const QStringList& arguments) {
            return tw::ui::ParseCommandLine(arguments);
        };
        tw::ui::TCommandLine line = parse({"tarnwick"});
        QVERIFY(line.error.isEmpty());
        QVERIFY(line.projectFile.isEmpty());
        QVERIFY(!line.showHelp && !line.showVersion);

        line = parse({"tarnwick", "/jobs/wall 1.btw"});
        QCOMPARE(line.projectFile, QString("/jobs/wall 1.btw"));
        // A relative name is taken from the current folder.
        line = parse({"tarnwick", "wall.btw"});
        QCOMPARE(line.projectFile, QDir::current().absoluteFilePath("wall.btw"));
        // A file manager may hand over an address.
        line = parse({"tarnwick", "file:///jobs/wall%201.btw"});
        QCOMPARE(line.projectFile, QString("/jobs/wall 1.btw"));

        QVERIFY(parse({"tarnwick", "--version"}).showVersion);
        QVERIFY(parse({"tarnwick", "-h"}).showHelp);
        QVERIFY(parse({"tarnwick", "--help"}).helpText.contains("[project.btw]"));
        QVERIFY(!parse({"tarnwick", "--frobnicate"}).error.isEmpty());
        QVERIFY(!parse({"tarnwick", "a.btw", "b.btw"}).error.isEmpty());
    }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
