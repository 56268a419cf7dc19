// The main window's project files: New, Open, Save, Save As and closing with the
// unsaved-changes question, the caption, failed opens and saves, Save committing the focused
// box, the recent files, opening a file from the command line or by dropping it, and the file
// dialogs.
#include "support/ShellFixture.h"

using namespace tw::form;
using namespace shell;

class ShellFilesTest : public QObject, public TShellFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { InitTestCase(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

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

    void failedOpenLeavesTheDocumentAsItWas_data()
    {
        QTest::addColumn<QString>("file");    // the file tried, in the test folder
        QTest::addColumn<QString>("holds");   // "text", "cut" (the saved project cut off), "none"
        QTest::addColumn<QString>("message"); // the message after the file's path
        QTest::newRow("another program's file") << "notes.btw"
                                                << "text"
                                                << ": Wrong file format";
        QTest::newRow("cut off") << "cut.btw"
                                 << "cut"
                                 << " is damaged: it ends after 700 of ";
        QTest::newRow("not there") << "missing.btw"
                                   << "none"
                                   << ": No such file";
    }

    void failedOpenLeavesTheDocumentAsItWas()
    {
        QFETCH(QString, file);
        QFETCH(QString, holds);
        QFETCH(QString, message);
        SaveAs("wall.btw");
        ChangeShoredHeight("13");
        if (holds == "text")
            QVERIFY(WriteAll(Path(file), "These are not the project you are looking for."));
        else if (holds == "cut")
            QVERIFY(WriteAll(Path(file), ReadAll(Path("wall.btw")).left(700)));
        const QString undo = W().AUndo()->text();
        const std::size_t states = W().form().HistorySize();

        // The changes given up at the question, then the file cannot be opened.
        openAnswer_ = Path(file);
        answers_ = {QMessageBox::No};
        QVERIFY(!W().AOpenExecute());
        QCOMPARE(Errors().size(), 1);
        QVERIFY2(Errors().constFirst().contains(Path(file) + message), qPrintable(Errors()[0]));
        // The document as it was: its file, its unsaved mark, its history, its values.
        QCOMPARE(W().FileName(), Path("wall.btw"));
        QCOMPARE(Caption(), QString("Brenmoor Tarnwick - wall.btw*"));
        QVERIFY(W().form().Modified());
        QCOMPARE(W().form().HistorySize(), states);
        QCOMPARE(W().AUndo()->text(), undo);
        QCOMPARE(ShoredHeightText(), QString("13.00"));
        QCOMPARE(static_cast<double>(project_->ShoredHeight), 13.0);
        QVERIFY(!W().RecentFiles().contains(Path(file)));
        // Undone, it is the saved file again.
        W().AUndo()->trigger();
        QVERIFY(!W().form().Modified());
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
        QCOMPARE(Entries(W().fileMenu()->actions()).mid(7, 2), QStringList({"|", entries[0]}));
        QCOMPARE(Entries(W().fileMenu()->actions()).mid(16), QStringList({"|", "E&xit"}));

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
};

QTEST_MAIN(ShellFilesTest)
#include "ShellFilesTest.moc"
