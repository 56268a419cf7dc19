// The main window as the program's document window: the commands and their menus and toolbar,
// New / Open / Save / Save As with the save question, recent files, the caption, the logo,
// the window placement, drag and drop, help and about.
#include "ui/TWMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <exception>
#include <string_view>
#include <utility>

#include "engine/ProjectJson.h"
#include "report/Report.h"
#include "ui/About.h"
#include "ui/CheckUpdates.h"
#include "ui/CollapsibleSection.h"
#include "ui/Desktop.h"
#include "ui/LightestSection.h"
#include "ui/MainWindowParts.h"
#include "ui/NumericEdit.h"
#include "ui/PageControl.h"
#include "ui/Reliability.h"
#include "ui/Settings.h"
#include "ui/Study.h"

using namespace tw::form;
using namespace tw::ui::parts;

void TfrmTWMain::BuildCommands()
{
    auto makeAction = [this](const char* caption, const char* hint, QKeySequence shortcut,
                             QStyle::StandardPixmap icon, const char* themeIcon) {
        auto* action = new QAction(QString::fromLatin1(caption), this);
        action->setToolTip(QString::fromLatin1(hint));
        action->setStatusTip(QString::fromLatin1(hint));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        action->setIcon(
            QIcon::fromTheme(QString::fromLatin1(themeIcon), style()->standardIcon(icon)));
        return action;
    };
    aNew_ = makeAction("&New", "New project", QKeySequence(Qt::CTRL | Qt::Key_N),
                       QStyle::SP_FileIcon, "document-new");
    aOpen_ = makeAction("&Open", "Open saved project", QKeySequence(Qt::CTRL | Qt::Key_O),
                        QStyle::SP_DialogOpenButton, "document-open");
    aSave_ = makeAction("&Save", "Save project", QKeySequence(Qt::CTRL | Qt::Key_S),
                        QStyle::SP_DialogSaveButton, "document-save");
    // Save As: the platform's own shortcut; Ctrl+Shift+S where it has none (as on Windows).
    const QList<QKeySequence> saveAsKeys = QKeySequence::keyBindings(QKeySequence::SaveAs);
    aSaveAs_ = makeAction("Save &As...", "Save project as",
                          saveAsKeys.isEmpty() ? QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)
                                               : saveAsKeys.constFirst(),
                          QStyle::SP_DialogSaveButton, "document-save-as");
    aPrint_ = makeAction("&Print", "Print project", QKeySequence(Qt::CTRL | Qt::Key_P),
                         QStyle::SP_FileDialogDetailedView, "document-print");
    aExportPdf_ = makeAction("&Export PDF...", "Export the report as a PDF file", QKeySequence(),
                             QStyle::SP_FileDialogDetailedView, "document-export");
    aExportPdf_->setIconVisibleInMenu(false);
    aExit_ = makeAction("E&xit", "Exit application", QKeySequence(), QStyle::SP_DialogCloseButton,
                        "application-exit");
    aHelp_ = makeAction("&User's Manual", "User's Manual", QKeySequence(Qt::Key_F1),
                        QStyle::SP_DialogHelpButton, "help-contents");
    aAbout_ = makeAction("&About", "About program", QKeySequence(),
                         QStyle::SP_MessageBoxInformation, "help-about");
    aWeb_ = makeAction("&Website", "Go to website", QKeySequence(), QStyle::SP_DriveNetIcon,
                       "internet-web-browser");
    aSaveAs_->setIconVisibleInMenu(false);
    connect(aNew_, &QAction::triggered, this, [this] { ANewExecute(); });
    connect(aOpen_, &QAction::triggered, this, [this] { AOpenExecute(); });
    connect(aSave_, &QAction::triggered, this, [this] { ASaveExecute(); });
    connect(aSaveAs_, &QAction::triggered, this, [this] { ASaveAsExecute(); });
    connect(aExit_, &QAction::triggered, this, [this] { AExitExecute(); });
    connect(aPrint_, &QAction::triggered, this, [this] { APrintExecute(); });
    connect(aExportPdf_, &QAction::triggered, this, [this] { AExportPdfExecute(); });
    connect(aHelp_, &QAction::triggered, this, [this] { AHelpExecute(); });
    connect(aAbout_, &QAction::triggered, this, [this] { AAboutExecute(); });
    connect(aWeb_, &QAction::triggered, this, [this] { AWebExecute(); });
    aUndo_ = makeAction("&Undo", "Undo the last change", QKeySequence(Qt::CTRL | Qt::Key_Z),
                        QStyle::SP_ArrowBack, "edit-undo");
    aRedo_ = makeAction("&Redo", "Redo the change undone",
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QStyle::SP_ArrowForward,
                        "edit-redo");
    aRedo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(aUndo_, &QAction::triggered, this, [this] { AUndoExecute(); });
    connect(aRedo_, &QAction::triggered, this, [this] { ARedoExecute(); });
    aAutoUpdate_ = new QAction(QStringLiteral("A&utomatically Check for Updates"), this);
    aAutoUpdate_->setCheckable(true);
    aAutoUpdate_->setChecked(tw::ui::ReadAutoUpdates(*tw::ui::OpenSettings()));
    connect(aAutoUpdate_, &QAction::triggered, this,
            [](bool on) { tw::ui::WriteAutoUpdates(*tw::ui::OpenSettings(), on); });
    aCheckUpdates_ = new QAction(QStringLiteral("&Check for Updates Now"), this);
    connect(aCheckUpdates_, &QAction::triggered, this, [this] { ACheckUpdatesExecute(); });

    // File: New, Open, Save, Save As..., Print, Export PDF..., the recent files, Exit.
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->addAction(aNew_);
    fileMenu_->addAction(aOpen_);
    fileMenu_->addAction(aSave_);
    fileMenu_->addAction(aSaveAs_);
    fileMenu_->addSeparator();
    fileMenu_->addAction(aPrint_);
    fileMenu_->addAction(aExportPdf_);
    fileMenu_->addSeparator();
    for (int i = 0; i < tw::ui::kMaxRecentFiles; ++i) {
        auto* recent = new QAction(this);
        recent->setVisible(false);
        connect(recent, &QAction::triggered, this, [this, recent] {
            const QString path = recent->data().toString();
            // Opened once the menu has closed.
            QTimer::singleShot(0, this, [this, path] { OpenRecentFile(path); });
        });
        fileMenu_->addAction(recent);
        recentActions_.push_back(recent);
    }
    recentSeparator_ = fileMenu_->addSeparator();
    fileMenu_->addAction(aExit_);

    // Edit: Undo, Redo.
    editMenu_ = menuBar()->addMenu(QStringLiteral("&Edit"));
    editMenu_->addAction(aUndo_);
    editMenu_->addAction(aRedo_);

    // Tools: Find Lightest Section.
    aFindLightest_ = new QAction(QStringLiteral("Find &Lightest Section..."), this);
    aFindLightest_->setStatusTip(QStringLiteral("Try every section of the catalogue on this wall"));
    connect(aFindLightest_, &QAction::triggered, this, [this] { AFindLightestExecute(); });
    toolsMenu_ = menuBar()->addMenu(QStringLiteral("&Tools"));
    toolsMenu_->addAction(aFindLightest_);
    aStudy_ = new QAction(QStringLiteral("&Parametric Study..."), this);
    aStudy_->setStatusTip(QStringLiteral("Step one input over a range and plot the results"));
    connect(aStudy_, &QAction::triggered, this, [this] { AStudyExecute(); });
    toolsMenu_->addAction(aStudy_);
    aReliability_ = new QAction(QStringLiteral("&Reliability Study..."), this);
    aReliability_->setStatusTip(QStringLiteral(
        "Scatter the soil and loads at random and estimate how likely each check is to fail"));
    connect(aReliability_, &QAction::triggered, this, [this] { AReliabilityExecute(); });
    toolsMenu_->addAction(aReliability_);
    toolsMenu_->addSeparator();
    aConvertToSI_ = new QAction(QStringLiteral("Convert Project to &SI Units"), this);
    aConvertToEnglish_ = new QAction(QStringLiteral("Convert Project to &English Units"), this);
    connect(aConvertToSI_, &QAction::triggered, this,
            [this] { AConvertUnitsExecute(tw::TUnitSystem::usSI); });
    connect(aConvertToEnglish_, &QAction::triggered, this,
            [this] { AConvertUnitsExecute(tw::TUnitSystem::usEnglish); });
    toolsMenu_->addAction(aConvertToSI_);
    toolsMenu_->addAction(aConvertToEnglish_);

    // Help: User's Manual, About, Website, the update entries.
    helpMenu_ = menuBar()->addMenu(QStringLiteral("&Help"));
    helpMenu_->addAction(aHelp_);
    helpMenu_->addAction(aAbout_);
    helpMenu_->addAction(aWeb_);
    helpMenu_->addSeparator();
    helpMenu_->addAction(aAutoUpdate_);
    helpMenu_->addAction(aCheckUpdates_);

    // The toolbar, with captions: New, Open, Save, Print, Website, User's Manual.
    toolBar_ = addToolBar(QStringLiteral("Commands"));
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar_->setIconSize(QSize(24, 24));
    toolBar_->addAction(aNew_);
    toolBar_->addAction(aOpen_);
    toolBar_->addAction(aSave_);
    toolBar_->addSeparator();
    toolBar_->addAction(aPrint_);
    toolBar_->addSeparator();
    toolBar_->addAction(aUndo_);
    toolBar_->addAction(aRedo_);
    toolBar_->addSeparator();
    toolBar_->addAction(aWeb_);
    toolBar_->addAction(aHelp_);
    // Toolbar buttons do not take the focus from the input being edited.
    for (QToolButton* button : toolBar_->findChildren<QToolButton*>())
        button->setFocusPolicy(Qt::NoFocus);
    // The status bar: the commands' hints and the confirmation of a written report.
    statusBar()->setObjectName(QStringLiteral("StatusBar"));

    RefreshRecentFiles();
}

void TfrmTWMain::StartUp(const QString& documentsFolder)
{
    // The designed size, within the screen, centred on it.
    QSize size(kDesignedWidth, kDesignedHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        size = size.boundedTo(available.size() - QSize(16, 48));
        resize(size);
        move(available.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        resize(size);
    }
    keepsSettings_ = true;
    RestorePlacement();
    {
        const std::unique_ptr<QSettings> settings = tw::ui::OpenSettings();
        recentFiles_ = tw::ui::ReadRecentFiles(*settings);
    }
    RefreshRecentFiles();
    // The dialogs open in the documents folder; when it cannot be made they open wherever
    // the desktop chooses.
    documentsFolder_ = tw::ui::MakeFolder(documentsFolder) ? documentsFolder : QString();
    NewProject();
}

void TfrmTWMain::RestorePlacement()
{
    const std::unique_ptr<QSettings> settings = tw::ui::OpenSettings();
    const tw::ui::TWindowPlacement stored = tw::ui::ReadWindowPlacement(*settings);
    // Each value applies on its own; sizes stay within what the window and a screen allow.
    if (stored.width || stored.height) {
        // Qt keeps the window within its layout's minimum when it is shown.
        resize(std::clamp(stored.width.value_or(width()), kMinStoredWidth, QWIDGETSIZE_MAX / 2),
               std::clamp(stored.height.value_or(height()), kMinStoredHeight, QWIDGETSIZE_MAX / 2));
    }
    if (stored.left || stored.top) {
        const QPoint place(stored.left.value_or(x()), stored.top.value_or(y()));
        // A position off every screen (a screen since removed) keeps the designed place.
        const QRect window(place, size());
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect visible = window.intersected(screen->availableGeometry());
            if (visible.width() >= kMinVisiblePart && visible.height() >= kMinVisiblePart) {
                move(place);
                break;
            }
        }
    }
    if (stored.state == tw::ui::kWinStateMaximized)
        setWindowState(Qt::WindowMaximized);
    else if (stored.state == tw::ui::kWinStateMinimized)
        setWindowState(Qt::WindowMinimized);
}

void TfrmTWMain::StorePlacement()
{
    // The state always; the position and size only of a normal window, so that a window
    // closed maximized comes back maximized over its last normal place.
    tw::ui::TWindowPlacement placement;
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized)
        placement.state = tw::ui::kWinStateMinimized;
    else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        placement.state = tw::ui::kWinStateMaximized;
    else
        placement.state = tw::ui::kWinStateNormal;
    if (placement.state == tw::ui::kWinStateNormal) {
        placement.left = x();
        placement.top = y();
        placement.width = width();
        placement.height = height();
    }
    const std::unique_ptr<QSettings> settings = tw::ui::OpenSettings();
    tw::ui::WriteWindowPlacement(*settings, placement);
}

void TfrmTWMain::UpdateTitle()
{
    QString title = QString::fromLatin1(tw::ui::kApplicationTitle);
    if (!fileName_.isEmpty())
        title += QStringLiteral(" - ") + QFileInfo(fileName_).fileName();
    // The desktop's unsaved-changes mark ("*") follows the name while the project is modified.
    setWindowTitle(title + QStringLiteral("[*]"));
    setWindowModified(form_.Modified());
}

bool TfrmTWMain::CheckSaved()
{
    if (!form_.Modified())
        return true;
    switch (askSaveChanges ? askSaveChanges() : QMessageBox::Cancel) {
    case QMessageBox::Yes:
        ASaveExecute();
        break;
    case QMessageBox::No:
        // Taken back when the command does not go on after all (an Open that fails).
        form_.GiveUpChanges();
        break;
    default:
        break;
    }
    return !form_.Modified();
}

void TfrmTWMain::ANewExecute()
{
    if (CheckSaved())
        NewProject();
}

bool TfrmTWMain::AOpenExecute()
{
    if (!CheckSaved())
        return false;
    const QString path = chooseOpenFile ? chooseOpenFile(documentsFolder_, fileName_) : QString();
    if (path.isEmpty()) {
        form_.TakeBackChanges();
        UpdateTitle();
        return false;
    }
    return LoadProjectFile(path);
}

bool TfrmTWMain::OpenFile(const QString& path)
{
    if (path.isEmpty() || !CheckSaved())
        return false;
    return LoadProjectFile(path);
}

bool TfrmTWMain::OpenRecentFile(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        ForgetRecentFile(path);
        showError(QStringLiteral("The file %1 no longer exists. It has been removed from the "
                                 "list of recent files.")
                      .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return OpenFile(path);
}

bool TfrmTWMain::LoadProjectFile(const QString& path)
{
    TBusy busy(busy_);
    try {
        form_.Project().LoadFromFile(tw::ui::ToPath(path));
    } catch (const std::exception& e) {
        // The loader left the project as it was, and so does the window: its file name, its
        // unsaved changes (even when the save question gave them up) and its history. The
        // message names the file that was tried.
        form_.TakeBackChanges();
        FocusFirstInput();
        UpdateTitle();
        showError(QString::fromStdString(e.what()));
        return false;
    }
    passiveInfoShown_ = false;
    fileName_ = path;
    ForgetReliabilityStudy();
    Apply(Guarded([this] { return form_.AfterOpen(); }));
    RememberRecentFile(path);
    FocusFirstInput();
    UpdateTitle();
    return true;
}

void TfrmTWMain::CommitFocusedInput()
{
    if (busy_)
        return;
    // The input that has the focus, or whose part has it (the date picker's text).
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr && widget != this;
         widget = widget->parentWidget()) {
        const auto found = inputs_.constFind(widget);
        if (found == inputs_.constEnd())
            continue;
        if (CommitsOnLeave(found.value()))
            Commit();
        return;
    }
}

bool TfrmTWMain::ASaveExecute()
{
    CommitFocusedInput();
    if (fileName_.isEmpty())
        return ASaveAsExecute();
    return SaveProjectTo(fileName_);
}

bool TfrmTWMain::ASaveAsExecute()
{
    const QString path = chooseSaveFile ? chooseSaveFile(documentsFolder_, fileName_) : QString();
    if (path.isEmpty())
        return false;
    CommitFocusedInput();
    const bool saved = SaveProjectTo(path);
    // A failed save keeps the file the project came from.
    if (saved)
        fileName_ = path;
    UpdateTitle();
    return saved;
}

bool TfrmTWMain::SaveProjectTo(const QString& path)
{
    try {
        form_.Project().SaveToFile(tw::ui::ToPath(path));
    } catch (const std::exception& e) {
        showError(QString::fromStdString(e.what()));
        return false;
    }
    form_.SetModified(false);
    RememberRecentFile(path);
    Refresh();
    return true;
}

void TfrmTWMain::AExitExecute()
{
    close();
}

void TfrmTWMain::AHelpExecute()
{
    const QString manual =
        QDir(programFolder).filePath(QString::fromLatin1(tw::ui::kManualFileName));
    if (programFolder.isEmpty() || !QFileInfo(manual).isFile()) {
        showError(QStringLiteral("The user's manual \"%1\" is not installed in %2.")
                      .arg(QString::fromLatin1(tw::ui::kManualFileName),
                           QDir::toNativeSeparators(programFolder.isEmpty()
                                                        ? QStringLiteral("the program's folder")
                                                        : programFolder)));
        return;
    }
    if (openWithDesktop && !openWithDesktop(QUrl::fromLocalFile(manual)))
        showError(QStringLiteral("The user's manual %1 could not be opened: no program to show "
                                 "PDF files was found.")
                      .arg(QDir::toNativeSeparators(manual)));
}

void TfrmTWMain::AAboutExecute()
{
    tw::ui::TfrmAbout about(this);
    about.exec();
}

void TfrmTWMain::AWebExecute()
{
    const QString address = QString::fromLatin1(tw::ui::kWebsiteAddress);
    if (openWithDesktop && !openWithDesktop(QUrl(address)))
        showError(QStringLiteral("The website %1 could not be opened: no web browser was found.")
                      .arg(address));
}

namespace {

// The PDF offered for a report: the project's file with ".pdf", or a name in the documents
// folder for a project not saved yet.
QString OfferedPdf(const QString& projectFile, const QString& documentsFolder)
{
    if (projectFile.isEmpty())
        return QDir(documentsFolder).filePath(QStringLiteral("Tarnwick Report.pdf"));
    const QFileInfo info(projectFile);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

} // namespace

bool TfrmTWMain::ReadyToReport()
{
    CommitFocusedInput();
    if (const auto& failure = form_.AnalysisFailure()) {
        // A report of results that could not be computed would show stale values.
        if (showError)
            showError(QStringLiteral("The report cannot be made while the analysis fails:\n") +
                      QString::fromStdString(*failure));
        return false;
    }
    return true;
}

void TfrmTWMain::APrintExecute()
{
    if (busy_)
        return;
    if (!ReadyToReport())
        return;
    const QString offered = OfferedPdf(fileName_, documentsFolder_);
    std::optional<tw::ui::TOutputChoice> choice;
    if (chooseReportOutput) {
        choice = chooseReportOutput(offered);
    } else {
        QString whyNot;
        const tw::form::TReliabilityStudy* study = CurrentReliabilityStudy(&whyNot);
        tw::ui::TfrmOutputOptions dialog(offered, tw::ui::OfferedPageSize(form_), this, study,
                                         whyNot);
        if (dialog.exec() == QDialog::Accepted)
            choice = dialog.Choice();
    }
    if (!choice)
        return;
    ReportTo(*choice);
}

void TfrmTWMain::AExportPdfExecute()
{
    if (busy_)
        return;
    if (!ReadyToReport())
        return;
    const QString offered = OfferedPdf(fileName_, documentsFolder_);
    const QPageSize pageSize = tw::ui::OfferedPageSize(form_);
    const std::optional<tw::ui::TOutputChoice> choice =
        choosePdfFile ? choosePdfFile(offered, pageSize)
                      : tw::ui::ChoosePdfFile(this, offered, pageSize);
    if (choice)
        ReportTo(*choice);
}

void TfrmTWMain::ReportTo(const tw::ui::TOutputChoice& choice)
{
    const QString error = tw::ui::RunReport(this, form_, choice);
    if (!error.isEmpty()) {
        if (showError)
            showError(error);
    } else if (choice.destination == tw::ui::TReportDestination::File) {
        statusBar()->showMessage(tw::ui::ReportWrittenMessage(choice.file));
    }
}

void TfrmTWMain::ALogoExecute()
{
    if (busy_ || !chooseLogoFile)
        return;
    const QString path = chooseLogoFile(documentsFolder_);
    if (!path.isEmpty())
        LoadLogo(path);
}

bool TfrmTWMain::LoadLogo(const QString& path)
{
    tw::TTWData& project = form_.Project();
    try {
        project.LoadLogoFromFile(tw::ui::ToPath(path));
    } catch (const std::exception& e) {
        showError(QString::fromStdString(e.what()));
        return false;
    }
    form_.SetLogo(project.Logo());
    form_.RememberChange();
    Refresh();
    return true;
}

void TfrmTWMain::AClearLogoExecute()
{
    if (busy_)
        return;
    form_.Project().ClearLogo();
    form_.SetLogo({});
    form_.RememberChange();
    Refresh();
}

void TfrmTWMain::RememberRecentFile(const QString& path)
{
    recentFiles_ = tw::ui::WithRecentFile(recentFiles_, QFileInfo(path).absoluteFilePath());
    if (keepsSettings_) {
        const std::unique_ptr<QSettings> settings = tw::ui::OpenSettings();
        tw::ui::WriteRecentFiles(*settings, recentFiles_);
    }
    RefreshRecentFiles();
}

void TfrmTWMain::ForgetRecentFile(const QString& path)
{
    recentFiles_.removeAll(path);
    if (keepsSettings_) {
        const std::unique_ptr<QSettings> settings = tw::ui::OpenSettings();
        tw::ui::WriteRecentFiles(*settings, recentFiles_);
    }
    RefreshRecentFiles();
}

void TfrmTWMain::RefreshRecentFiles()
{
    const QFontMetrics metrics(fileMenu_->font());
    for (std::size_t i = 0; i < recentActions_.size(); ++i) {
        QAction* action = recentActions_[i];
        const bool shown = static_cast<qsizetype>(i) < recentFiles_.size();
        action->setVisible(shown);
        if (!shown)
            continue;
        const QString path = recentFiles_.at(static_cast<qsizetype>(i));
        const QString native = QDir::toNativeSeparators(path);
        QString label = metrics.elidedText(native, Qt::ElideMiddle, 420);
        label.replace(QLatin1Char('&'), QStringLiteral("&&"));
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(label));
        action->setData(path);
        action->setToolTip(native);
        action->setStatusTip(native);
    }
    recentSeparator_->setVisible(!recentFiles_.isEmpty());
}

QString TfrmTWMain::DroppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            return url.toLocalFile();
    return QString();
}

void TfrmTWMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrmTWMain::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened after the drop has finished, so that the question and the messages are not
    // shown in the middle of it.
    QTimer::singleShot(0, this, [this, path] { OpenFile(path); });
}

void TfrmTWMain::closeEvent(QCloseEvent* event)
{
    if (!CheckSaved()) {
        event->ignore();
        return;
    }
    hint_->hide();
    event->accept();
}

void TfrmTWMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    UpdateColumns();
    // About a second after the window is first shown: the silent update check, when on.
    if (!startupTimerStarted_) {
        startupTimerStarted_ = true;
        QTimer::singleShot(1000, this, [this] {
            if (aAutoUpdate_->isChecked() && runUpdateCheck)
                runUpdateCheck(true);
        });
    }
}

void TfrmTWMain::AUndoExecute()
{
    if (busy_ || !form_.CanUndo())
        return;
    Apply(Guarded([this] { return form_.Undo(); }));
}

void TfrmTWMain::ARedoExecute()
{
    if (busy_ || !form_.CanRedo())
        return;
    Apply(Guarded([this] { return form_.Redo(); }));
}

void TfrmTWMain::AFindLightestExecute()
{
    if (busy_)
        return;
    CommitFocusedInput();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const tw::form::TLightestSections found = tw::form::FindLightestSections(form_.Project());
    QApplication::restoreOverrideCursor();
    if (!found.unavailable.empty()) {
        if (showError)
            showError(QString::fromStdString(found.unavailable));
        return;
    }
    int index = -1;
    if (chooseLightest) {
        index = chooseLightest(found);
    } else {
        tw::ui::TfrmLightestSection dialog(found, this);
        if (dialog.exec() == QDialog::Accepted)
            index = dialog.ChosenIndex();
    }
    if (index >= 0)
        Apply(Guarded([this, index] { return form_.ChooseListItem(List::SectionSize, index); }));
}

void TfrmTWMain::AConvertUnitsExecute(tw::TUnitSystem to)
{
    if (busy_ || form_.Project().Units == to)
        return;
    CommitFocusedInput();
    std::vector<std::string> notes;
    Apply(Guarded([&] { return form_.ConvertUnits(to, notes); }));
    if (!notes.empty() && showError) {
        QString text = QStringLiteral("The project was converted. Not kept exactly:");
        for (const std::string& note : notes)
            text += QStringLiteral("\n- ") + QString::fromStdString(note);
        showError(text);
    }
}

void TfrmTWMain::AStudyExecute()
{
    if (busy_)
        return;
    CommitFocusedInput();
    auto* study = new tw::ui::TfrmStudy(form_, this);
    study->setAttribute(Qt::WA_DeleteOnClose);
    study->show();
}

void TfrmTWMain::AReliabilityExecute()
{
    if (busy_)
        return;
    CommitFocusedInput();
    auto* window = new tw::ui::TfrmReliability(form_, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->studyFinished = [this, window, generation = projectGeneration_](
                                std::shared_ptr<const tw::form::TReliabilityStudy> study) {
        if (generation != projectGeneration_)
            return;
        lastReliability_ = std::move(study);
        lastReliabilityProject_ = tw::ProjectToJson(window->Project());
    };
    window->show();
}

void TfrmTWMain::ForgetReliabilityStudy()
{
    lastReliability_.reset();
    lastReliabilityProject_.clear();
    ++projectGeneration_;
}

const tw::form::TReliabilityStudy* TfrmTWMain::CurrentReliabilityStudy(QString* whyNot) const
{
    QString reason;
    const tw::form::TReliabilityStudy* study = nullptr;
    if (!lastReliability_)
        reason = QStringLiteral("Run Tools > Reliability Study... first");
    else if (tw::ProjectToJson(form_.Project()) != lastReliabilityProject_)
        reason = QStringLiteral("The project has changed since the reliability study: run it "
                                "again");
    else
        study = lastReliability_.get();
    if (whyNot)
        *whyNot = reason;
    return study;
}

void TfrmTWMain::ACheckUpdatesExecute()
{
    if (runUpdateCheck)
        runUpdateCheck(false);
}

void TfrmTWMain::RunUpdateCheck(bool silent)
{
    auto* dialog = new tw::ui::TfrmCheckUpdates(
        silent, tw::ui::ReadUpdatePage(*tw::ui::OpenSettings()), false, this);
    tw::update::TmxWebUpdate& wupd = dialog->wupd();
    wupd.StartProgram = [this](const QString& file, const QString&) {
        return openWithDesktop && openWithDesktop(QUrl::fromLocalFile(file));
    };
    // The installer replaces this program: the project is saved or given up first.
    wupd.ConfirmEnd = [this] { return CheckSaved(); };
    wupd.Terminate = [this] { QTimer::singleShot(0, this, [this] { close(); }); };
    CentreOnParent(dialog);
    // A silent check stays out of sight unless it finds an update.
    if (!silent)
        dialog->open();
}
