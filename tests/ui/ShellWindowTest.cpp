// The main window's shell: the actions with their menus and toolbar, the documents folder,
// the window placement in the settings, the logo of the job header, the help commands, Exit,
// and the columns following the window's size.
#include "support/ShellFixture.h"

using namespace tw::form;
using namespace shell;

class ShellWindowTest : public QObject, public TShellFixture
{
    Q_OBJECT

private slots:
    void initTestCase() { InitTestCase(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

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
        QCOMPARE(Entries(menus), QStringList({"&File", "&Edit", "&Tools", "&Help"}));
        QCOMPARE(Entries(W().fileMenu()->actions()),
                 QStringList({"&New", "&Open", "&Save", "Save &As...", "|", "&Print",
                              "&Export PDF...", "|", "E&xit"}));
        QCOMPARE(Entries(W().helpMenu()->actions()),
                 QStringList({"&User's Manual", "&About", "&Website", "|",
                              "A&utomatically Check for Updates", "&Check for Updates Now"}));
        QCOMPARE(Entries(W().toolBar()->actions()),
                 QStringList({"&New", "&Open", "&Save", "|", "&Print", "|", "&Undo", "&Redo", "|",
                              "&Website", "&User's Manual"}));
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
        // No web browser to show it: the window says so.
        W().openWithDesktop = [](const QUrl&) { return false; };
        W().AWeb()->trigger();
        QCOMPARE(Errors().size(), 2);
        QVERIFY2(Errors().constLast().contains(opened_.last().toString()),
                 qPrintable(Errors().constLast()));

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

    void updateChecks()
    {
        // On by default: a silent check about a second after the window is shown.
        QVERIFY(W().AAutoUpdate()->isCheckable());
        QVERIFY(W().AAutoUpdate()->isChecked());
        QTRY_COMPARE(updateChecks_, QList<bool>({true}));
        W().ACheckUpdates()->trigger();
        QCOMPARE(updateChecks_, QList<bool>({true, false}));
        // Turned off, it is remembered, and the next start checks nothing.
        W().AAutoUpdate()->trigger();
        QVERIFY(!tw::ui::ReadAutoUpdates(*tw::ui::OpenSettings()));
        updateChecks_.clear();
        MakeWindow();
        W().StartUp(Documents());
        ShowWindow();
        QVERIFY(!W().AAutoUpdate()->isChecked());
        QTest::qWait(1300);
        QVERIFY(updateChecks_.isEmpty());
        // The page is on the maker's server by default, another one when set.
        QCOMPARE(tw::ui::ReadUpdatePage(*tw::ui::OpenSettings()),
                 QStringLiteral("https://www.tarnwick.example/updates/tw/tw.html"));
        tw::ui::OpenSettings()->setValue(QStringLiteral("UpdateHost"),
                                         QStringLiteral("http://127.0.0.1:8080/"));
        QCOMPARE(tw::ui::ReadUpdatePage(*tw::ui::OpenSettings()),
                 QStringLiteral("http://127.0.0.1:8080/updates/tw/tw.html"));
    }

    void undoAndRedo()
    {
        QCOMPARE(Entries(W().editMenu()->actions()), QStringList({"&Undo", "&Redo"}));
        QVERIFY(!W().AUndo()->isEnabled());
        ChangeShoredHeight(QStringLiteral("18"));
        QCOMPARE(W().AUndo()->text(), QStringLiteral("&Undo Shored Height, H"));
        QVERIFY(W().AUndo()->isEnabled());
        QVERIFY(Caption().contains(QLatin1Char('*')));
        // Ctrl+Z away from the boxes (their own Ctrl+Z undoes typing).
        W().toolBar()->setFocus();
        QTest::keyClick(window_.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(ShoredHeightText(), QStringLiteral("15.00"));
        QVERIFY(!W().form().Modified());
        QVERIFY(!Caption().contains(QLatin1Char('*')));
        QCOMPARE(W().ARedo()->text(), QStringLiteral("&Redo Shored Height, H"));
        QTest::keyClick(window_.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(ShoredHeightText(), QStringLiteral("18.00"));
        QVERIFY(W().form().Modified());
        // A title text edited and left is a step too.
        Focus(W().titleWidget(tw::form::TitleText::JobNumber));
        QTest::keyClicks(W().titleWidget(tw::form::TitleText::JobNumber), QStringLiteral("J-7"));
        Leave();
        QCOMPARE(W().AUndo()->text(), QStringLiteral("&Undo Job #"));
        W().AUndo()->trigger();
        QCOMPARE(W().titleWidget(tw::form::TitleText::JobNumber)->text(), QString());
        // New starts a new history.
        answers_ = {QMessageBox::No};
        W().ANewExecute();
        QVERIFY(!W().AUndo()->isEnabled());
        QVERIFY(!W().ARedo()->isEnabled());
    }

    void findLightestSection()
    {
        int offered = 0;
        W().chooseLightest = [&](const tw::form::TLightestSections& found) {
            offered = static_cast<int>(found.rows.size());
            return found.rows.back().index; // a failing one, to see it applied
        };
        const QString before = W().listWidget(tw::form::List::SectionSize)->currentText();
        W().AFindLightest()->trigger();
        QVERIFY(offered > 100);
        QVERIFY(W().listWidget(tw::form::List::SectionSize)->currentText() != before);
        QCOMPARE(W().AUndo()->text(), QStringLiteral("&Undo Beam Size"));
        W().AUndo()->trigger();
        QCOMPARE(W().listWidget(tw::form::List::SectionSize)->currentText(), before);
    }

    void convertTheProjectsUnits()
    {
        QVERIFY(!W().AConvertToEnglish()->isEnabled());
        W().AConvertToSI()->trigger();
        QCOMPARE(ShoredHeightText(), QStringLiteral("4.57"));
        QCOMPARE(W().listWidget(tw::form::List::Units)->currentText(), QStringLiteral("SI"));
        QVERIFY(!W().AConvertToSI()->isEnabled());
        QVERIFY(W().AConvertToEnglish()->isEnabled());
        QCOMPARE(W().AUndo()->text(), QStringLiteral("&Undo Convert to SI Units"));
        QVERIFY2(Errors().isEmpty(), qPrintable(Errors().join('\n')));
        W().AUndo()->trigger();
        QCOMPARE(ShoredHeightText(), QStringLiteral("15.00"));
    }
};

QTEST_MAIN(ShellWindowTest)
#include "ShellWindowTest.moc"
