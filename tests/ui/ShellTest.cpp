// The main window as the program's document window: New, Open, Save, Save As and closing with
// the unsaved-changes question, the caption, failed opens and saves, Save committing the
// focused box, the recent files, opening a file from the command line or by dropping it, the
// window placement in the settings, the logo of the job header, the help commands, the
// actions with their menus and toolbar, and the columns following the window's size.
//
// The settings go to a temporary folder and the dialogs, the question and the desktop are
// replaced by the test's answers, so nothing here blocks, opens a browser or touches the
// user's files.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <cmath>
#include <deque>
#include <memory>

#include "engine/Globals.h"
#include "support/WindowActions.h"
#include "ui/Desktop.h"
#include "ui/Settings.h"
#include "ui/TWMain.h"

using namespace tw::form;

namespace {

QString Text(const QWidget* box)
{
    return static_cast<const QLineEdit*>(box)->text();
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A project file read back as the program would read it.
std::unique_ptr<tw::TTWData> Load(const QString& path)
{
    auto project = std::make_unique<tw::TTWData>();
    project->LoadFromFile(tw::ui::ToPath(path));
    return project;
}

// The texts of a menu's or toolbar's entries, "|" for a separator, hidden entries left out.
QStringList Entries(const QList<QAction*>& actions)
{
    QStringList entries;
    for (const QAction* action : actions) {
        if (!action->isVisible())
            continue;
        entries << (action->isSeparator() ? QStringLiteral("|") : action->text());
    }
    return entries;
}

} // namespace

class ShellTest : public QObject, public TWindowActions
{
    Q_OBJECT

private:
    QTemporaryDir settingsDir_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<tw::TTWData> project_;
    std::unique_ptr<TfrmTWMain> window_;
    QStringList errors_;
    // The answers the replaced question and dialogs give, and what they were asked.
    std::deque<QMessageBox::StandardButton> answers_;
    int questions_ = 0;
    QString openAnswer_, saveAnswer_, logoAnswer_;
    int openDialogs_ = 0, saveDialogs_ = 0, logoDialogs_ = 0;
    QString dialogFolder_, dialogOffered_;
    QList<QUrl> opened_;

    TfrmTWMain& W() override { return *window_; }
    QString Path(const QString& name) const { return dir_->filePath(name); }
    QString Documents() const { return dir_->filePath(QStringLiteral("home/Documents/Tarnwick")); }
    const QStringList& Errors()
    {
        QCoreApplication::processEvents();
        return errors_;
    }

    // A window as the program makes one, with the desktop's parts replaced.
    void MakeWindow()
    {
        window_.reset();
        project_ = std::make_unique<tw::TTWData>();
        project_->ExampleFolder = TW_BINARY_DIR "/cli";
        window_ = std::make_unique<TfrmTWMain>(*project_);
        W().showError = [this](const QString& message) { errors_ << message; };
        W().askSaveChanges = [this] {
            ++questions_;
            if (answers_.empty())
                return QMessageBox::Cancel;
            const QMessageBox::StandardButton answer = answers_.front();
            answers_.pop_front();
            return answer;
        };
        W().chooseOpenFile = [this](const QString& folder, const QString& offered) {
            ++openDialogs_;
            dialogFolder_ = folder;
            dialogOffered_ = offered;
            return openAnswer_;
        };
        W().chooseSaveFile = [this](const QString& folder, const QString& offered) {
            ++saveDialogs_;
            dialogFolder_ = folder;
            dialogOffered_ = offered;
            return saveAnswer_;
        };
        W().chooseLogoFile = [this](const QString& folder) {
            ++logoDialogs_;
            dialogFolder_ = folder;
            return logoAnswer_;
        };
        W().openWithDesktop = [this](const QUrl& address) {
            opened_ << address;
            return true;
        };
        W().programFolder = Path(QStringLiteral("program"));
    }

    void ShowWindow(int width = 1600, int height = 950)
    {
        W().resize(width, height);
        W().show();
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    // A committed change: the project is modified.
    void ChangeShoredHeight(const QString& text)
    {
        Type(Box::ShoredHeight, text);
        Leave();
        QVERIFY(W().form().Modified());
    }
    // Saves the project as the named file of the test folder.
    void SaveAs(const QString& name)
    {
        saveAnswer_ = Path(name);
        QVERIFY(W().ASaveAsExecute());
        QCOMPARE(W().FileName(), Path(name));
        QVERIFY(!W().form().Modified());
    }
    QString ShoredHeightText() { return Text(W().boxWidget(Box::ShoredHeight)); }
    double ShoredHeightMax()
    {
        return static_cast<double>(tw::LimitForTag(project_->Limits(), tw::Tag::ShoredHeight).Max);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(settingsDir_.isValid());
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
        QVERIFY(tw::ui::OpenSettings()->fileName().startsWith(settingsDir_.path()));
    }

    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        tw::ui::OpenSettings()->clear();
        errors_.clear();
        answers_.clear();
        questions_ = openDialogs_ = saveDialogs_ = logoDialogs_ = 0;
        openAnswer_ = saveAnswer_ = logoAnswer_ = QString();
        opened_.clear();
        MakeWindow();
        W().StartUp(Documents());
        ShowWindow();
        QVERIFY2(Errors().isEmpty(), qPrintable(Errors().join('\n')));
    }

    void cleanup()
    {
        window_.reset();
        project_.reset();
        dir_.reset();
    }

    void actionsMenusAndToolbar()
    {
        struct
        {
            QAction* action;
            const char* caption;
            const char* hint;
            QKeySequence shortcut;
        } const expected[] = {
            {W().ANew(), "&New", "New project", QKeySequence(Qt::CTRL | Qt::Key_N)},
            {W().AOpen(), "&Open", "Open saved project", QKeySequence(Qt::CTRL | Qt::Key_O)},
            {W().ASave(), "&Save", "Save project", QKeySequence(Qt::CTRL | Qt::Key_S)},
            {W().ASaveAs(), "Save &As...", "Save project as",
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
            {W().AExit(), "E&xit", "Exit application", QKeySequence()},
            {W().AHelp(), "&User's Manual", "User's Manual", QKeySequence(Qt::Key_F1)},
            {W().AAbout(), "&About", "About program", QKeySequence()},
            {W().AWeb(), "&Website", "Go to website", QKeySequence()},
        };
        for (const auto& e : expected) {
            QVERIFY(e.action != nullptr);
            QCOMPARE(e.action->text(), QString(e.caption));
            QCOMPARE(e.action->toolTip(), QString(e.hint));
            QCOMPARE(e.action->shortcut(), e.shortcut);
        }

        const QList<QAction*> menus = W().menuBar()->actions();
        QCOMPARE(Entries(menus), QStringList({"&File", "&Help"}));
        QCOMPARE(Entries(W().fileMenu()->actions()),
                 QStringList({"&New", "&Open", "&Save", "Save &As...", "|", "E&xit"}));
        QCOMPARE(Entries(W().helpMenu()->actions()),
                 QStringList({"&User's Manual", "&About", "&Website"}));
        QCOMPARE(Entries(W().toolBar()->actions()),
                 QStringList({"&New", "&Open", "&Save", "|", "&Website", "&User's Manual"}));
        // The toolbar shows the captions.
        QCOMPARE(W().toolBar()->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick"));
        QVERIFY(!W().windowIcon().isNull());
    }

    void startUpMakesTheDocumentsFolder()
    {
        // Made with its missing parents, and the folder the dialogs open in.
        QVERIFY(QFileInfo(Documents()).isDir());
        QCOMPARE(W().DocumentsFolder(), Documents());
        QVERIFY(!W().AOpenExecute());
        QCOMPARE(openDialogs_, 1);
        QCOMPARE(dialogFolder_, Documents());
        QCOMPARE(dialogOffered_, QString());
        // A folder that cannot be made leaves the dialogs where the desktop puts them.
        QVERIFY(WriteAll(Path("plain"), "x"));
        MakeWindow();
        W().StartUp(Path("plain/Tarnwick"));
        QCOMPARE(W().DocumentsFolder(), QString());
        QVERIFY(Errors().isEmpty());
        // The program's own folder: "Tarnwick" under the user's documents.
        const QString documents = tw::ui::DefaultDocumentsFolder();
        QCOMPARE(QFileInfo(documents).fileName(), QString("Tarnwick"));
        const QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!base.isEmpty())
            QCOMPARE(QFileInfo(documents).dir().absolutePath(), QDir(base).absolutePath());
    }

    void saveOpenAndTheCaption()
    {
        ChangeShoredHeight("12");
        // Save without a file name is Save As.
        saveAnswer_ = Path("wall.btw");
        QVERIFY(W().ASaveExecute());
        QCOMPARE(saveDialogs_, 1);
        QCOMPARE(dialogFolder_, Documents());
        QCOMPARE(W().FileName(), Path("wall.btw"));
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick - wall.btw"));
        QVERIFY(!W().form().Modified());
        QCOMPARE(static_cast<double>(Load(Path("wall.btw"))->ShoredHeight), 12.0);

        // With a file name Save asks nothing; Save As offers the current name. The caption
        // marks the unsaved change until then.
        ChangeShoredHeight("13");
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick - wall.btw*"));
        QVERIFY(W().ASaveExecute());
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick - wall.btw"));
        QCOMPARE(saveDialogs_, 1);
        QCOMPARE(static_cast<double>(Load(Path("wall.btw"))->ShoredHeight), 13.0);
        saveAnswer_ = QString();
        QVERIFY(!W().ASaveAsExecute());
        QCOMPARE(dialogOffered_, Path("wall.btw"));
        QCOMPARE(W().FileName(), Path("wall.btw"));

        // New: no file, the caption without one, the example's values.
        W().ANewExecute();
        QCOMPARE(questions_, 0);
        QCOMPARE(W().FileName(), QString());
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick"));
        QCOMPARE(ShoredHeightText(), QString("15.00"));

        // Open: the file's values, its caption, unmodified, the focus on the units list.
        openAnswer_ = Path("wall.btw");
        QVERIFY(W().AOpenExecute());
        QCOMPARE(ShoredHeightText(), QString("13.00"));
        QCOMPARE(W().FileName(), Path("wall.btw"));
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick - wall.btw"));
        QVERIFY(!W().form().Modified());
        QVERIFY(W().listWidget(List::Units)->hasFocus());
        // A cancelled Open dialog changes nothing.
        openAnswer_ = QString();
        QVERIFY(!W().AOpenExecute());
        QCOMPARE(W().FileName(), Path("wall.btw"));
        QVERIFY(Errors().isEmpty());
    }

    void saveCommitsTheFocusedBox()
    {
        SaveAs("wall.btw");
        const double max = ShoredHeightMax();
        QVERIFY(max > 0 && max < 9000);
        // A value beyond the limit still in the box when Ctrl+S is pressed.
        Type(Box::ShoredHeight, "9999");
        QWidget* box = W().boxWidget(Box::ShoredHeight);
        QVERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(box->hasFocus()); // saved without leaving the box
        const QString corrected = ShoredHeightText();
        QCOMPARE(corrected.toDouble(), max);
        QCOMPARE(static_cast<double>(Load(Path("wall.btw"))->ShoredHeight), max);
        QVERIFY(!W().form().Modified());

        // The same through the menu, and for a text of the job header.
        QLineEdit* organization = W().titleWidget(TitleText::Organization);
        Focus(organization);
        QTest::keyClicks(organization, "Acme Shoring");
        W().ASave()->trigger();
        QCOMPARE(Load(Path("wall.btw"))->Organization, std::string("Acme Shoring"));
        // Save As commits as well.
        Type(Box::ShoredHeight, "-5");
        saveAnswer_ = Path("low.btw");
        QVERIFY(W().ASaveAsExecute());
        const double min =
            static_cast<double>(tw::LimitForTag(project_->Limits(), tw::Tag::ShoredHeight).Min);
        QCOMPARE(static_cast<double>(Load(Path("low.btw"))->ShoredHeight), min);
        QVERIFY(Errors().isEmpty());
    }

    void closingAsksAboutUnsavedChanges_data()
    {
        QTest::addColumn<bool>("named");   // the project has a file name
        QTest::addColumn<int>("answer");   // the answer to the question
        QTest::addColumn<QString>("save"); // the Save dialog's answer
        QTest::addColumn<bool>("closes");
        QTest::addColumn<bool>("saved"); // the file holds the change
        QTest::newRow("Yes, never saved, Save cancelled")
            << false << int(QMessageBox::Yes) << QString() << false << false;
        QTest::newRow("Yes, never saved, saved")
            << false << int(QMessageBox::Yes) << QString("new.btw") << true << true;
        QTest::newRow("Yes, saved before")
            << true << int(QMessageBox::Yes) << QString() << true << true;
        QTest::newRow("No") << true << int(QMessageBox::No) << QString() << true << false;
        QTest::newRow("Cancel") << true << int(QMessageBox::Cancel) << QString() << false << false;
    }
    void closingAsksAboutUnsavedChanges()
    {
        QFETCH(bool, named);
        QFETCH(int, answer);
        QFETCH(QString, save);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        if (named)
            SaveAs("wall.btw");
        ChangeShoredHeight("12");
        answers_ = {static_cast<QMessageBox::StandardButton>(answer)};
        saveAnswer_ = save.isEmpty() ? QString() : Path(save);
        const int dialogsBefore = saveDialogs_;

        QCOMPARE(W().close(), closes);
        QCOMPARE(questions_, 1);
        QCOMPARE(W().isVisible(), !closes);
        // Only Yes on a project without a file name offers the Save dialog.
        QCOMPARE(saveDialogs_ - dialogsBefore, !named && answer == QMessageBox::Yes ? 1 : 0);
        QCOMPARE(W().form().Modified(), !closes);
        const QString file = named ? Path("wall.btw") : saveAnswer_;
        if (saved)
            QCOMPARE(static_cast<double>(Load(file)->ShoredHeight), 12.0);
        else if (named)
            QCOMPARE(static_cast<double>(Load(file)->ShoredHeight), 15.0);
        else
            QVERIFY(QDir(dir_->path()).entryList({"*.btw"}).isEmpty());
        QVERIFY(Errors().isEmpty());
    }

    void unmodifiedClosesWithoutAsking()
    {
        QVERIFY(W().close());
        QCOMPARE(questions_, 0);
    }

    void newAndOpenAskFirst()
    {
        ChangeShoredHeight("12");
        // Cancel: New does nothing.
        answers_ = {QMessageBox::Cancel};
        W().ANew()->trigger();
        QCOMPARE(questions_, 1);
        QCOMPARE(ShoredHeightText(), QString("12.00"));
        QVERIFY(W().form().Modified());
        // Cancel: Open offers no dialog.
        answers_ = {QMessageBox::Cancel};
        QVERIFY(!W().AOpenExecute());
        QCOMPARE(openDialogs_, 0);
        // No: the change is dropped and New goes on.
        answers_ = {QMessageBox::No};
        W().ANewExecute();
        QCOMPARE(ShoredHeightText(), QString("15.00"));
        QVERIFY(!W().form().Modified());
        QCOMPARE(questions_, 3);
    }

    void foreignFileKeepsTheOpenProject()
    {
        SaveAs("wall.btw");
        ChangeShoredHeight("13");
        QVERIFY(WriteAll(Path("notes.btw"), "These are not the project you are looking for."));
        openAnswer_ = Path("notes.btw");
        answers_ = {QMessageBox::No};
        QVERIFY(!W().AOpenExecute());
        QCOMPARE(Errors(), QStringList({"Wrong file format"}));
        // No file name, the plain caption; the project that was open is still shown and held.
        QCOMPARE(W().FileName(), QString());
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick"));
        QCOMPARE(ShoredHeightText(), QString("13.00"));
        QCOMPARE(static_cast<double>(project_->ShoredHeight), 13.0);
        QVERIFY(!W().RecentFiles().contains(Path("notes.btw")));
        // Saving now asks for a name, as for a project never saved.
        saveAnswer_ = QString();
        QVERIFY(!W().ASaveExecute());
        QCOMPARE(saveDialogs_, 2);

        // A file that is not there: the loader's message.
        errors_.clear();
        QVERIFY(!W().OpenFile(Path("missing.btw")));
        QCOMPARE(Errors().size(), 1);
        QVERIFY2(Errors().constFirst().startsWith("Cannot open"), qPrintable(Errors().join("")));
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick"));
    }

    void failedSaveKeepsTheFlagAndTheOldFile()
    {
        QVERIFY(QDir(dir_->path()).mkpath("jobs"));
        SaveAs("jobs/wall.btw");
        const QByteArray before = ReadAll(Path("jobs/wall.btw"));
        QVERIFY(!before.isEmpty());
        ChangeShoredHeight("12");

        // Save As into a folder that cannot exist (its parent is a file).
        QVERIFY(WriteAll(Path("plain"), "x"));
        saveAnswer_ = Path("plain/wall.btw");
        QVERIFY(!W().ASaveAsExecute());
        QCOMPARE(Errors().size(), 1);
        QVERIFY2(Errors().constFirst().startsWith("Cannot save the project to"),
                 qPrintable(Errors().constFirst()));
        QVERIFY(W().form().Modified());
        QCOMPARE(W().FileName(), Path("jobs/wall.btw"));
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick - wall.btw*"));
        QCOMPARE(ReadAll(Path("jobs/wall.btw")), before);
        QVERIFY(!W().RecentFiles().contains(Path("plain/wall.btw")));

        // Save to the file's name after its folder was replaced by a file.
        QVERIFY(QDir(dir_->path()).rename("jobs", "moved"));
        QVERIFY(WriteAll(Path("jobs"), "x"));
        errors_.clear();
        QVERIFY(!W().ASaveExecute());
        QCOMPARE(Errors().size(), 1);
        QVERIFY(W().form().Modified());
        QCOMPARE(ReadAll(Path("moved/wall.btw")), before);
        // Closing then keeps the window open: the save did not clear the flag.
        answers_ = {QMessageBox::Yes};
        QVERIFY(!W().close());
        QVERIFY(W().isVisible());
    }

    void recentFiles()
    {
        QVERIFY(Entries(W().recentFileActions()).isEmpty());
        // Nine saves: the eight latest are kept, the latest first.
        for (int i = 1; i <= 9; ++i)
            SaveAs(QStringLiteral("wall%1.btw").arg(i));
        QStringList expected;
        for (int i = 9; i >= 2; --i)
            expected << Path(QStringLiteral("wall%1.btw").arg(i));
        QCOMPARE(W().RecentFiles(), expected);
        QCOMPARE(tw::ui::ReadRecentFiles(*tw::ui::OpenSettings()), expected);
        const QStringList entries = Entries(W().recentFileActions());
        QCOMPARE(entries.size(), 8);
        QVERIFY(entries.constFirst().startsWith("&1 "));
        QVERIFY(entries.constFirst().endsWith("wall9.btw"));
        QCOMPARE(Entries(W().fileMenu()->actions()).mid(4, 2), QStringList({"|", entries[0]}));
        QCOMPARE(Entries(W().fileMenu()->actions()).mid(13), QStringList({"|", "E&xit"}));

        // An entry opens its file and moves to the top.
        W().ANewExecute();
        W().recentFileActions().at(3)->trigger();
        QTRY_COMPARE(W().FileName(), expected[3]);
        QCOMPARE(W().RecentFiles().constFirst(), expected[3]);

        // A file that is gone is dropped from the list with a message, everywhere.
        QVERIFY(QFile::remove(expected[5]));
        QVERIFY(!W().OpenRecentFile(expected[5]));
        QCOMPARE(Errors().size(), 1);
        QVERIFY(Errors().constFirst().contains(QDir::toNativeSeparators(expected[5])));
        QCOMPARE(W().FileName(), expected[3]); // the open project stays
        QCOMPARE(W().RecentFiles().size(), 7);
        QVERIFY(!W().RecentFiles().contains(expected[5]));
        QVERIFY(!tw::ui::ReadRecentFiles(*tw::ui::OpenSettings()).contains(expected[5]));
        QCOMPARE(Entries(W().recentFileActions()).size(), 7);

        // The next start shows the same list.
        const QStringList kept = W().RecentFiles();
        MakeWindow();
        W().StartUp(Documents());
        QCOMPARE(W().RecentFiles(), kept);
    }

    void commandLineOpensAProject()
    {
        // What the program does with "tarnwick file.btw": start up, then open the file.
        const QString copy = Path("SI UNITS EXAMPLE.btw");
        QVERIFY(QFile::copy(TW_BINARY_DIR "/cli/SI UNITS EXAMPLE.btw", copy));
        MakeWindow();
        W().StartUp(Documents());
        ShowWindow();
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_->path()));
        const tw::ui::TCommandLine relative =
            tw::ui::ParseCommandLine({"tarnwick", "SI UNITS EXAMPLE.btw"});
        QDir::setCurrent(previous);
        QCOMPARE(QFileInfo(relative.projectFile).canonicalFilePath(),
                 QFileInfo(copy).canonicalFilePath());
        QVERIFY(W().OpenFile(relative.projectFile));
        QCOMPARE(questions_, 0);
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick - SI UNITS EXAMPLE.btw"));
        QCOMPARE(W().listWidget(List::Units)->currentText(), QString("SI"));
        QVERIFY(Errors().isEmpty());
    }

    void droppedFileOpens()
    {
        SaveAs("wall.btw");
        W().ANewExecute();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Path("wall.btw"))});
        data.setText(Path("wall.btw"));
        const QPoint centre = W().rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&W(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&W(), &drop);
        QVERIFY(drop.isAccepted());
        QTRY_COMPARE(W().FileName(), Path("wall.btw"));

        // Dropped on a box, the file opens and the box does not take its name as text.
        W().ANewExecute();
        QWidget* box = W().boxWidget(Box::ShoredHeight);
        QDragEnterEvent enterBox(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton,
                                 Qt::NoModifier);
        QApplication::sendEvent(box, &enterBox);
        QVERIFY(enterBox.isAccepted());
        QDropEvent onBox(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &onBox);
        QVERIFY(onBox.isAccepted());
        QTRY_COMPARE(W().FileName(), Path("wall.btw"));
        QCOMPARE(Text(box), QString("15.00"));

        // Something that is not a file is refused.
        QMimeData text;
        text.setText("15");
        QDragEnterEvent refused(centre, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        refused.setAccepted(false);
        QApplication::sendEvent(&W(), &refused);
        QVERIFY(!refused.isAccepted());
        QVERIFY(Errors().isEmpty());
    }

    void windowPlacement()
    {
        // Closed normal: position, size and state.
        W().showNormal();
        W().move(40, 30);
        W().resize(760, 540);
        QTRY_COMPARE(W().size(), QSize(760, 540));
        const QPoint place = W().pos();
        window_.reset();
        {
            const auto settings = tw::ui::OpenSettings();
            const tw::ui::TWindowPlacement stored = tw::ui::ReadWindowPlacement(*settings);
            QCOMPARE(stored.left, std::optional<int>(place.x()));
            QCOMPARE(stored.top, std::optional<int>(place.y()));
            QCOMPARE(stored.width, std::optional<int>(760));
            QCOMPARE(stored.height, std::optional<int>(540));
            QCOMPARE(stored.state, std::optional<int>(0));
        }
        // The next start comes back there.
        MakeWindow();
        W().StartUp(Documents());
        QCOMPARE(W().size(), QSize(760, 540));
        QCOMPARE(W().pos(), place);
        QVERIFY(!(W().windowState() & Qt::WindowMaximized));

        // Closed maximized: only the state is stored; the normal place stays.
        W().showMaximized();
        QTRY_VERIFY(W().windowState() & Qt::WindowMaximized);
        QTRY_VERIFY(W().size() != QSize(760, 540));
        window_.reset();
        {
            const auto settings = tw::ui::OpenSettings();
            const tw::ui::TWindowPlacement stored = tw::ui::ReadWindowPlacement(*settings);
            QCOMPARE(stored.state, std::optional<int>(2));
            QCOMPARE(stored.width, std::optional<int>(760));
            QCOMPARE(stored.height, std::optional<int>(540));
            QCOMPARE(stored.left, std::optional<int>(place.x()));
        }
        MakeWindow();
        W().StartUp(Documents());
        QVERIFY(W().windowState() & Qt::WindowMaximized);
        QCOMPARE(W().size(), QSize(760, 540)); // the size it returns to
        QCOMPARE(W().pos(), place);
    }

    void missingOrBadSettingsAreSkipped()
    {
        // Nothing stored: the designed size, centred.
        window_.reset();
        tw::ui::OpenSettings()->clear();
        MakeWindow();
        W().StartUp(Documents());
        const QSize designed = W().size();
        const QPoint centred = W().pos();
        QVERIFY(designed.width() > 0 && designed.height() > 0);

        // Only a width: the rest as designed.
        window_.reset();
        tw::ui::OpenSettings()->clear();
        tw::ui::OpenSettings()->setValue("WinPos/Width", 900);
        MakeWindow();
        W().StartUp(Documents());
        QCOMPARE(W().size(), QSize(900, designed.height()));
        QCOMPARE(W().pos(), centred);

        // Values that are not numbers, a state out of range, a place off every screen, a
        // negative size: all skipped or brought into range.
        window_.reset();
        {
            const auto settings = tw::ui::OpenSettings();
            settings->clear();
            settings->setValue("WinPos/Left", "left");
            settings->setValue("WinPos/Top", 100000);
            settings->setValue("WinPos/Width", -40);
            settings->setValue("WinPos/WinState", 7);
        }
        MakeWindow();
        W().StartUp(Documents());
        QCOMPARE(W().pos(), centred);
        QVERIFY(W().width() >= 200);
        QCOMPARE(W().windowState(), Qt::WindowNoState);
        QVERIFY(Errors().isEmpty());
    }

    void windowWithoutStartUpKeepsNoSettings()
    {
        window_.reset();
        tw::ui::OpenSettings()->clear();
        MakeWindow();
        ShowWindow();
        W().NewProject();
        SaveAs("wall.btw");
        window_.reset();
        const auto settings = tw::ui::OpenSettings();
        QVERIFY(settings->allKeys().isEmpty());
    }

    void logo()
    {
        // A wide and a tall picture.
        QImage wide(400, 100, QImage::Format_RGB32);
        wide.fill(Qt::darkGreen);
        QVERIFY(wide.save(Path("wide.jpg"), "JPEG"));
        QImage tall(50, 200, QImage::Format_RGB32);
        tall.fill(Qt::darkBlue);
        QVERIFY(tall.save(Path("tall.jpeg"), "JPEG"));
        QWidget* area = W().logoArea();
        QLabel* slot = W().logoWidget();

        // The area: 173 pixels, ending 5 pixels before the header's right edge; the slot
        // collapsed without a picture, and nothing to clear.
        QCOMPARE(area->width(), 173);
        QCOMPARE(area->mapTo(W().titleBlock(), QPoint(area->width(), 0)).x(),
                 W().titleBlock()->width() - 5);
        QCOMPARE(slot->width(), 0);
        QVERIFY(!W().clearLogoButton()->isEnabled());

        // A cancelled dialog changes nothing.
        W().logoButton()->click();
        QCOMPARE(logoDialogs_, 1);
        QCOMPARE(dialogFolder_, Documents());
        QVERIFY(!W().form().Modified());

        // The wide picture: scaled to the slot's height it would be 4 times as wide; the
        // slot stops at 173.
        logoAnswer_ = Path("wide.jpg");
        W().logoButton()->click();
        QVERIFY(project_->HasLogo());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(project_->Logo().data()),
                            static_cast<qsizetype>(project_->Logo().size())),
                 ReadAll(Path("wide.jpg")));
        QVERIFY(W().form().Modified());
        QVERIFY(W().clearLogoButton()->isEnabled());
        const int height = slot->height();
        QCOMPARE(height, area->height());
        QVERIFY(4 * height > 173);
        QCOMPARE(slot->width(), 173);
        QCOMPARE(slot->x(), 0);
        QCOMPARE(slot->pixmap().width(), 173);

        // The tall picture: a quarter of the height wide, centred in the area.
        logoAnswer_ = Path("tall.jpeg");
        W().logoButton()->click();
        const int width = static_cast<int>(std::lround(height / 4.0));
        QCOMPARE(slot->width(), width);
        QCOMPARE(slot->x(), (173 - width) / 2);

        // Saved with the project; the flag cleared, the picture still there to clear.
        SaveAs("logo.btw");
        QVERIFY(W().clearLogoButton()->isEnabled());
        QCOMPARE(Load(Path("logo.btw"))->Logo(), project_->Logo());

        // Clicking the picture offers the dialog too.
        logoAnswer_ = QString();
        QTest::mouseClick(slot, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QTRY_COMPARE(logoDialogs_, 4);

        // A file that is not a JPEG: its message, the logo as it was.
        QVERIFY(WriteAll(Path("fake.jpg"), "not a picture"));
        logoAnswer_ = Path("fake.jpg");
        const std::vector<uint8_t> kept = project_->Logo();
        W().logoButton()->click();
        QCOMPARE(Errors().size(), 1);
        QCOMPARE(project_->Logo(), kept);
        QCOMPARE(slot->width(), width);
        QVERIFY(!W().form().Modified());

        // Clear: no logo, the slot collapsed, modified, nothing more to clear.
        W().clearLogoButton()->click();
        QVERIFY(!project_->HasLogo());
        QCOMPARE(slot->width(), 0);
        QVERIFY(slot->pixmap().isNull());
        QVERIFY(W().form().Modified());
        QVERIFY(!W().clearLogoButton()->isEnabled());
        QVERIFY(W().ASaveExecute());
        QVERIFY(!Load(Path("logo.btw"))->HasLogo());

        // Open brings the saved logo back; New clears it.
        logoAnswer_ = Path("wide.jpg");
        W().logoButton()->click();
        W().ASaveExecute();
        W().ANewExecute();
        QCOMPARE(slot->width(), 0);
        openAnswer_ = Path("logo.btw");
        QVERIFY(W().AOpenExecute());
        QCOMPARE(slot->width(), 173);
        QVERIFY(W().clearLogoButton()->isEnabled());
    }

    void helpAboutAndWebsite()
    {
        // No manual beside the program: Help says so.
        W().AHelp()->trigger();
        QVERIFY(opened_.isEmpty());
        QCOMPARE(Errors().size(), 1);
        QVERIFY2(Errors().constFirst().contains("User Manual Tarnwick.pdf\" is not installed"),
                 qPrintable(Errors().constFirst()));
        // With the manual: handed to the desktop.
        QVERIFY(QDir().mkpath(W().programFolder));
        const QString manual = QDir(W().programFolder).filePath("User Manual Tarnwick.pdf");
        QVERIFY(WriteAll(manual, "%PDF-1.4\n"));
        QTest::keyClick(&W(), Qt::Key_F1);
        QCOMPARE(opened_, QList<QUrl>({QUrl::fromLocalFile(manual)}));

        // Website: the maker's home page.
        W().AWeb()->trigger();
        QCOMPARE(opened_.size(), 2);
        QCOMPARE(opened_.last().scheme(), QString("https"));
        QVERIFY(opened_.last().host().endsWith(".example"));

        // About: a modal box with its caption, the product, the version and OK.
        QString caption;
        QStringList texts;
        QTimer::singleShot(0, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr)
                return;
            caption = modal->windowTitle();
            for (const QLabel* label : modal->findChildren<QLabel*>())
                texts << label->text();
            for (QPushButton* button : modal->findChildren<QPushButton*>())
                if (button->text() == "OK")
                    button->click();
        });
        QTimer::singleShot(5000, this, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        W().AAbout()->trigger();
        QCOMPARE(caption, QString("About"));
        QVERIFY(texts.contains("Brenmoor Tarnwick"));
        QVERIFY(texts.contains("Version " + QString::fromStdString(tw::VersionString())));
    }

    void exitCloses()
    {
        W().AExit()->trigger();
        QVERIFY(!W().isVisible());
        // With changes, Exit asks and Cancel keeps the window.
        ShowWindow();
        ChangeShoredHeight("12");
        answers_ = {QMessageBox::Cancel};
        W().AExit()->trigger();
        QCOMPARE(questions_, 1);
        QVERIFY(W().isVisible());
    }

    // The desktop's own dialogs, as the window uses them when the test does not replace them.
    void projectAndLogoDialogs()
    {
        QVERIFY(QDir().mkpath(Documents()));
        struct TSeen
        {
            QString title;
            QStringList filters;
            QString suffix;
            QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
            QFileDialog::FileMode files = QFileDialog::AnyFile;
            QString folder;
        };
        // Looks at the dialog that opens, then types a name and confirms, or cancels.
        auto answer = [this](TSeen& seen, const QString& name) {
            QTimer::singleShot(0, this, [&seen, name] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (dialog == nullptr)
                    return;
                seen = {dialog->windowTitle(),   dialog->nameFilters(),
                        dialog->defaultSuffix(), dialog->acceptMode(),
                        dialog->fileMode(),      dialog->directory().absolutePath()};
                if (name.isEmpty()) {
                    dialog->reject();
                } else {
                    dialog->selectFile(name);
                    static_cast<QDialog*>(dialog)->accept();
                }
            });
            QTimer::singleShot(5000, this, [] {
                if (QWidget* modal = QApplication::activeModalWidget())
                    modal->close();
            });
        };
        const QStringList projectFilters{"Brenmoor Dunmarrow files (*.btw)", "All Files (*)"};

        TSeen open;
        answer(open, QString());
        QCOMPARE(tw::ui::AskOpenProjectFile(&W(), Documents(), QString()), QString());
        QCOMPARE(open.title, QString("Open"));
        QCOMPARE(open.filters, projectFilters);
        QCOMPARE(open.suffix, QString("btw"));
        QCOMPARE(open.mode, QFileDialog::AcceptOpen);
        QCOMPARE(open.files, QFileDialog::ExistingFile);
        QCOMPARE(open.folder, QDir(Documents()).absolutePath());

        // Save adds the extension to a bare name.
        TSeen save;
        answer(save, "wall");
        const QString chosen = tw::ui::AskSaveProjectFile(&W(), Documents(), QString());
        QCOMPARE(save.title, QString("Save"));
        QCOMPARE(save.filters, projectFilters);
        QCOMPARE(save.mode, QFileDialog::AcceptSave);
        QCOMPARE(chosen, QDir(Documents()).absoluteFilePath("wall.btw"));

        TSeen logo;
        answer(logo, QString());
        QCOMPARE(tw::ui::AskLogoFile(&W(), Documents()), QString());
        QCOMPARE(logo.title, QString("Open"));
        QCOMPARE(logo.filters, QStringList({"JPEG files (*.jpg *.jpeg)"}));
        QCOMPARE(logo.files, QFileDialog::ExistingFile);

        // The question: its text and three answers.
        QString text;
        QStringList buttons;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            text = box->text();
            for (QAbstractButton* button : box->buttons())
                buttons << button->text().remove('&');
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(tw::ui::AskSaveChanges(&W()), QMessageBox::No);
        QCOMPARE(text, QString("File is not saved. Do you want to save it now?"));
        buttons.sort();
        QCOMPARE(buttons, QStringList({"Cancel", "No", "Yes"}));
    }

    void columnsFollowTheWindowSize()
    {
        auto* results = W().resultsPages();
        auto* drawings = W().drawingTabs();
        auto tabs = [](QTabWidget* pages) {
            QStringList texts;
            for (int i = 0; i < pages->count(); ++i)
                if (pages->isTabVisible(i))
                    texts << pages->tabText(i);
            return texts;
        };
        const QStringList drawingPages{"CROSS SECTION", "PLAN VIEW", "GUARDRAIL"};
        // The English example designs its guardrail.
        QVERIFY(W().form().CheckState(Check::UseGuardrail).checked);

        // Wide: three columns.
        W().resize(1600, 950);
        QTRY_VERIFY(W().DrawingsColumnShown());
        QVERIFY(drawings->isVisible());
        QCOMPARE(tabs(drawings), drawingPages);
        QCOMPARE(tabs(results), QStringList({"NUMERIC"}));
        QCOMPARE(W().inputsColumn()->width(), 299);
        QCOMPARE(results->width(), 430);
        QCOMPARE(W().resultsColumn()->width(), 430);
        QCOMPARE(drawings->currentIndex(), 0);

        // The switching width: the results column's left edge, 430, and 0.9 times the
        // cross-section picture's height.
        QWidget* crossSection = W().drawingPage(TfrmTWMain::DrawingPage::CrossSection);
        const int left = results->mapTo(&W(), QPoint(0, 0)).x();
        const int threshold =
            left + 430 + static_cast<int>(std::lround(0.9 * crossSection->height()));
        W().resize(threshold, 950);
        QTRY_COMPARE(W().width(), threshold);
        QVERIFY(W().DrawingsColumnShown());
        drawings->setCurrentIndex(1);
        W().resize(threshold - 1, 950);
        QTRY_VERIFY(!W().DrawingsColumnShown());

        // Narrow: the drawing pages are tabs of the results column, which fills the window.
        QVERIFY(!drawings->isVisible());
        QCOMPARE(tabs(results), QStringList({"NUMERIC"}) + drawingPages);
        QCOMPARE(results->currentIndex(), 0);
        QTRY_COMPARE(results->width(), W().width() - left - 4);
        QCOMPARE(W().inputsColumn()->width(), 299);
        QVERIFY(results->isAncestorOf(crossSection));
        results->setCurrentIndex(2);
        QVERIFY(W().drawingPage(TfrmTWMain::DrawingPage::PlanView)->isVisible());

        // Without guardrail design there is no guardrail page, in either place.
        W().checkWidget(Check::UseGuardrail)->click();
        QVERIFY(!W().form().CheckState(Check::UseGuardrail).checked);
        QCOMPARE(tabs(results), QStringList({"NUMERIC", "CROSS SECTION", "PLAN VIEW"}));
        W().resize(threshold, 950);
        QTRY_VERIFY(W().DrawingsColumnShown());
        QCOMPARE(tabs(drawings), QStringList({"CROSS SECTION", "PLAN VIEW"}));
        QCOMPARE(tabs(results), QStringList({"NUMERIC"}));
        // Back to the wide layout, the first drawing is shown.
        QCOMPARE(drawings->currentIndex(), 0);
        W().checkWidget(Check::UseGuardrail)->click();
        QCOMPARE(tabs(drawings), drawingPages);

        // The height counts too: the same width is too narrow for a taller drawing.
        W().resize(threshold + 20, 600);
        QTRY_VERIFY(W().DrawingsColumnShown());
        W().resize(threshold + 20, 1300);
        QTRY_VERIFY(!W().DrawingsColumnShown());
    }
};

QTEST_MAIN(ShellTest)
#include "ShellTest.moc"
