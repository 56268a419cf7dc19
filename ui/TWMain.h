// TfrmTWMain: the main window. It is a thin binding of the form model (tw::form::TMainForm):
// the widgets are built from the form's tables, every widget event is forwarded to the form,
// and after every operation Refresh copies the form's state (texts, selections, visibility,
// read-only look, captions, unit labels, verdict marks, sections) back into the widgets. The
// window computes nothing and decides nothing about what is shown.
//
// It is also the document window of the program: the file name and the unsaved-changes flag,
// the project commands (New, Open, Save, Save As, Exit) with their menu and toolbar, the help
// commands, the logo of the job header, the recent files, the window placement kept in the
// settings, and the layout of the three columns as the window is resized.
//
// Its code is in four files: TWMain.cpp (creation, the inputs' events, hints, columns),
// TWMainBuild.cpp (the widgets), TWMainCommands.cpp (the commands) and TWMainRefresh.cpp (the
// form into the widgets); MainWindowParts.h holds what they share.
#pragma once

#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <QMessageBox>
#include <QPixmap>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "form/InputLayout.h"
#include "form/LightestSection.h"
#include "form/MainForm.h"
#include "form/ResultRows.h"
#include "ui/DiagramView.h"
#include "ui/ReportOutput.h"

class QAbstractButton;
class QAction;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QMimeData;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTabWidget;
class QToolBar;
class QToolButton;
class QUrl;
class QVBoxLayout;

namespace tw::form {
struct TReliabilityStudy;
} // namespace tw::form

namespace tw::ui {
class TCollapsibleSection;
class TNumericEdit;
class TPageControl;
} // namespace tw::ui

class TfrmTWMain : public QMainWindow
{
    Q_OBJECT

public:
    // The designed size of the window, before the stored placement applies.
    static constexpr int kDesignedWidth = 1600;
    static constexpr int kDesignedHeight = 950;
    // The smallest window: the title block whole, both columns side by side and a dozen rows
    // of each in view.
    static constexpr int kMinimumWidth = 760;
    static constexpr int kMinimumHeight = 520;
    // The drawing pages, in tab order.
    enum class DrawingPage
    {
        CrossSection,
        PlanView,
        Guardrail
    };

    explicit TfrmTWMain(tw::TTWData& project, QWidget* parent = nullptr);
    ~TfrmTWMain() override;

    tw::form::TMainForm& form() { return form_; }

    // The rest of the window's creation in the desktop program: the designed size, the
    // window placement stored in the settings, the documents folder (created with its
    // parents when missing) as the folder of the file dialogs, and a new project. From then
    // on the window keeps its placement and its recent files in the settings; a window that
    // was never started up touches no settings.
    void StartUp(const QString& documentsFolder);

    // Resets the project to a new one (the example project of its unit system when it is
    // installed) and shows it, without asking about unsaved changes; the file name is
    // cleared. A failed analysis reaches the error display.
    void NewProject();
    // Copies the whole form state into the widgets.
    void Refresh();

    // --- The project commands ---
    // The unsaved-changes question: true when the command may go on, which is exactly when
    // the flag is clear afterwards (Yes saved, or No; not Cancel, a cancelled Save dialog or
    // a failed save).
    bool CheckSaved();
    void ANewExecute();
    // Open with the dialog; OpenFile opens a given file (recent files, the command line, a
    // dropped file). Both ask about unsaved changes first; false when nothing was opened.
    bool AOpenExecute();
    bool OpenFile(const QString& path);
    // A recent file: one that no longer exists is dropped from the list with a message.
    bool OpenRecentFile(const QString& path);
    // Save commits the focused input first; without a file name it is Save As.
    bool ASaveExecute();
    bool ASaveAsExecute();
    void AExitExecute();
    // Print: commits the focused input, asks where the report goes ("Output Options") and
    // makes it there. Export PDF writes it straight to a chosen PDF file.
    void APrintExecute();
    void AExportPdfExecute();
    // Undo and redo of the inputs (the form's history), then the window shown again.
    void AUndoExecute();
    void ARedoExecute();
    // "Find Lightest Section...": the catalogue tried row by row; the chosen row is selected
    // (undoable).
    void AFindLightestExecute();
    // "Convert Project to SI Units" / "... to English Units": every value converted (undoable).
    void AConvertUnitsExecute(tw::TUnitSystem to);
    // "Parametric Study...": the study window on a copy of the project.
    void AStudyExecute();
    // "Reliability Study...": the reliability window on a copy of the project; the study it
    // completes is kept for the report while the same project stays open.
    void AReliabilityExecute();
    // The last reliability study completed on the open project (nullptr: none since it was
    // opened or made).
    std::shared_ptr<const tw::form::TReliabilityStudy> LastReliabilityStudy() const
    {
        return lastReliability_;
    }
    // The last study when the project is still the one it studied (nullptr otherwise), and
    // why there is none to print.
    const tw::form::TReliabilityStudy* CurrentReliabilityStudy(QString* whyNot = nullptr) const;
    // "Check for Updates Now": the update check in interactive mode (runUpdateCheck).
    void ACheckUpdatesExecute();
    // The update dialog: interactive, or silent (out of sight unless an update is found).
    void RunUpdateCheck(bool silent);
    // Commits the focused input; false with a message while the analysis fails.
    bool ReadyToReport();
    // Makes the report there; says so in the status bar when it went to a file.
    void ReportTo(const tw::ui::TOutputChoice& choice);
    // The user's manual from the program's folder (nothing when it is not there).
    void AHelpExecute();
    void AAboutExecute();
    void AWebExecute();
    // Commits the focused input as leaving it would (before Save and Print).
    void CommitFocusedInput();
    // "Brenmoor Tarnwick - name.btw", or "Brenmoor Tarnwick" without a file.
    void UpdateTitle();
    // The texts and states of Undo and Redo.
    void RefreshUndoActions();
    // The logo: the JPEG dialog, a given file (false with a message when it is not a
    // picture), and Clear.
    void ALogoExecute();
    bool LoadLogo(const QString& path);
    void AClearLogoExecute();

    const QString& FileName() const { return fileName_; }
    const QString& DocumentsFolder() const { return documentsFolder_; }
    const QStringList& RecentFiles() const { return recentFiles_; }

    // --- The commands' parts ---
    QAction* ANew() const { return aNew_; }
    QAction* AOpen() const { return aOpen_; }
    QAction* ASave() const { return aSave_; }
    QAction* ASaveAs() const { return aSaveAs_; }
    QAction* AExit() const { return aExit_; }
    QAction* APrint() const { return aPrint_; }
    QAction* AAutoUpdate() const { return aAutoUpdate_; }
    QAction* AUndo() const { return aUndo_; }
    QAction* ARedo() const { return aRedo_; }
    QMenu* editMenu() const { return editMenu_; }
    QMenu* toolsMenu() const { return toolsMenu_; }
    QAction* AFindLightest() const { return aFindLightest_; }
    QAction* AConvertToSI() const { return aConvertToSI_; }
    QAction* AStudy() const { return aStudy_; }
    QAction* AReliability() const { return aReliability_; }
    QAction* AConvertToEnglish() const { return aConvertToEnglish_; }
    QAction* ACheckUpdates() const { return aCheckUpdates_; }
    QAction* AExportPdf() const { return aExportPdf_; }
    QAction* AHelp() const { return aHelp_; }
    QAction* AAbout() const { return aAbout_; }
    QAction* AWeb() const { return aWeb_; }
    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* helpMenu() const { return helpMenu_; }
    QToolBar* toolBar() const { return toolBar_; }
    // The recent-file entries of the File menu (hidden beyond the list's length).
    QList<QAction*> recentFileActions() const;

    // --- The parts of the window, for tests and for the windows built on this one ---
    QWidget* boxWidget(tw::form::Box box) const;
    QComboBox* listWidget(tw::form::List list) const;
    // A check box; for an option pair the button of the checked state ("Allowable Passive",
    // "Slurry on Shored Height").
    QAbstractButton* checkWidget(tw::form::Check check) const;
    // The other button of an option pair ("Ultimate Passive", "Concrete on Shored Height");
    // nullptr for a check box.
    QAbstractButton* uncheckedOptionWidget(tw::form::Check check) const;
    QWidget* sectionWidget(tw::form::Section section) const;
    QLabel* verdictWidget(tw::form::Verdict verdict) const;
    QLabel* sectionMarkWidget(tw::form::Section section) const;
    QLineEdit* titleWidget(tw::form::TitleText text) const;
    QDateEdit* dateWidget() const { return date_; }
    QWidget* titleBlock() const { return titleBlock_; }
    // The logo picture, its 173-pixel area at the right of the job header, and its buttons.
    QLabel* logoWidget() const { return logo_; }
    QWidget* logoArea() const { return logoArea_; }
    QPushButton* logoButton() const { return logoButton_; }
    QPushButton* clearLogoButton() const { return clearLogoButton_; }
    QLabel* hintWindow() const { return hint_; }
    QScrollArea* inputsColumn() const { return inputsArea_; }
    // The banners above the results: the analysis failure (shown while it lasts) and the
    // form's notes (with a button that closes them).
    QFrame* failureBanner() const { return failureBanner_; }
    QFrame* noticeBanner() const { return noticeBanner_; }
    QScrollArea* resultsColumn() const { return resultsArea_; }
    // The results column's pages ("NUMERIC", and the drawing pages when the window is too
    // narrow for the drawings column) and the drawings column.
    QTabWidget* resultsPages() const;
    QTabWidget* drawingTabs() const;
    tw::ui::TDiagramView* drawingPage(DrawingPage page) const
    {
        return drawingPages_.at(static_cast<int>(page));
    }
    // Whether the drawings have their own column (the window is wide enough).
    bool DrawingsColumnShown() const { return wideLayout_; }
    // The small buttons: beside the section list (the user-defined sheet pile dialog), "View
    // Table" (the interaction table), the information button of the passive choice, and the
    // enlarged strip and seismic load sketches.
    QToolButton* userSheetButton() const { return userSheetButton_; }
    QAbstractButton* viewTableButton() const { return viewTableButton_; }
    QToolButton* passiveInfoButton() const { return passiveInfoButton_; }
    QToolButton* stripSketchButton() const { return stripSketchButton_; }
    QToolButton* seismicSketchButton() const { return seismicSketchButton_; }
    // The links to the graphs ("View All Graphs", "View One Graph" with its menu, the rebar
    // cage's "View Graph") and to the node table ("View Plot Analysis").
    QToolButton* viewAllGraphsLink() const { return viewAllGraphs_; }
    QToolButton* viewOneGraphLink() const { return viewOneGraph_; }
    QMenu* graphMenu() const { return graphMenu_; }
    QToolButton* viewInteractionLink() const { return viewInteraction_; }
    QToolButton* viewPlotAnalysisLink() const { return viewPlotAnalysis_; }

    // Shows the message of a failed command (called from the event loop right after the
    // command). A message box by default; tests replace it.
    std::function<void(const QString&)> showError;
    // The desktop's part in the commands, replaceable in tests: the unsaved-changes question,
    // the project and logo dialogs (the chosen file, empty when cancelled), and handing a
    // file or web address to the desktop.
    std::function<QMessageBox::StandardButton()> askSaveChanges;
    std::function<QString(const QString& folder, const QString& offered)> chooseOpenFile;
    std::function<QString(const QString& folder, const QString& offered)> chooseSaveFile;
    std::function<QString(const QString& folder)> chooseLogoFile;
    // The report's "Output Options" and the PDF file and page size of Export PDF (none when
    // cancelled).
    std::function<std::optional<tw::ui::TOutputChoice>(const QString& offeredPdf)>
        chooseReportOutput;
    std::function<std::optional<tw::ui::TOutputChoice>(const QString& offered,
                                                       const QPageSize& pageSize)>
        choosePdfFile;
    // Runs an update check (silent or interactive); RunUpdateCheck by default.
    std::function<void(bool silent)> runUpdateCheck;
    // The row chosen in "Lightest Section" (-1 none); the dialog by default.
    std::function<int(const tw::form::TLightestSections& found)> chooseLightest;
    std::function<bool(const QUrl& address)> openWithDesktop;
    // Where the user's manual is looked for: the program's folder.
    QString programFolder;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // What an input widget stands for, for the event filter.
    struct TInputRef
    {
        enum class Kind
        {
            Box,
            List,
            Check,
            Title,
            Date
        } kind;
        int id;
    };
    struct TBoxWidgets
    {
        tw::ui::TNumericEdit* edit = nullptr;
        QLabel* caption = nullptr; // the row caption when the box owns its row
        QLabel* unit = nullptr;
        QWidget* row = nullptr; // the row, when the box's state decides the row
    };
    struct TListWidgets
    {
        QComboBox* combo = nullptr;
        QLabel* caption = nullptr;
        QLabel* unit = nullptr;
        QWidget* row = nullptr;
    };
    struct TCheckWidgets
    {
        QAbstractButton* button = nullptr; // the check box, or the checked option
        QRadioButton* other = nullptr;     // the unchecked option of a pair
        QWidget* row = nullptr;
    };
    struct TLabelWidgets
    {
        QLabel* caption = nullptr;
        QLabel* text = nullptr;
        QWidget* row = nullptr;
    };
    struct TResultRowWidgets
    {
        const tw::form::TResultRow* row = nullptr;
        QWidget* widget = nullptr;
        QLabel* caption = nullptr;
    };
    struct THeadWidgets
    {
        tw::form::Section section;
        QWidget* row = nullptr;
        QLabel* first = nullptr;
        QLabel* second = nullptr;
        const tw::form::TResultRow* follows = nullptr; // shown with this row, if any
    };

    void BuildWidgets();
    void BuildCommands();
    QWidget* BuildTitleBlock();
    void BuildInputColumn(QVBoxLayout* column);
    void BuildResultColumn(QVBoxLayout* column);
    tw::ui::TCollapsibleSection* MakeSection(tw::form::Section section);
    QWidget* BoxRow(tw::form::Box box, QWidget* parent);
    QWidget* ListRow(tw::form::List list, QWidget* parent);
    QWidget* CheckRow(tw::form::Check check, QWidget* parent);
    QWidget* OptionPairRow(tw::form::Check check, QWidget* parent);
    QWidget* PointTable(QWidget* parent);
    QWidget* ResultRow(const tw::form::TResultRow& row, QWidget* parent);
    QWidget* ResultHead(tw::form::Section section, QWidget* parent,
                        const tw::form::TResultRow* follows);
    void Watch(QWidget* widget, TInputRef ref);

    // After a commit: refresh, then show the error, if any.
    void Apply(const tw::form::TCommitResult& result);
    void Commit();
    void EnterInput(const TInputRef& ref);
    bool CommitsOnLeave(const TInputRef& ref) const;
    void RefreshLogo();
    void LayoutLogo();
    // The columns for the window's size: the drawings column when there is room, else the
    // drawing pages in the results column; the guardrail page only with guardrail design.
    void UpdateColumns();
    // The project file into the window (Open's steps after the dialog).
    bool LoadProjectFile(const QString& path);
    bool SaveProjectTo(const QString& path);
    void FocusFirstInput();
    void RememberRecentFile(const QString& path);
    void ForgetRecentFile(const QString& path);
    void RefreshRecentFiles();
    void RestorePlacement();
    void StorePlacement();
    // The local project file a drag carries, or an empty text.
    static QString DroppedFile(const QMimeData* data);
    void RefreshHint();
    // The failure and notice banners and the greyed look of results left from an earlier
    // analysis.
    void RefreshAnalysisStatus();
    void RefreshToolTips();
    void ShowHint(QWidget* anchor, const QString& text);
    // Esc or a click elsewhere closes the hint (the application's events pass here while a
    // hint shows).
    void CloseHint();
    bool HintCloserEvent(QObject* watched, QEvent* event);
    void SectionSettled(tw::ui::TCollapsibleSection* section, bool expanded);

    tw::form::TMainForm form_;

    std::array<TBoxWidgets, tw::form::kBoxCount> boxes_{};
    std::array<TListWidgets, tw::form::kListCount> lists_{};
    std::array<TCheckWidgets, tw::form::kCheckCount> checks_{};
    std::array<TLabelWidgets, tw::form::kLabelCount> labels_{};
    std::array<QLabel*, tw::form::kVerdictCount> verdicts_{};
    std::array<tw::ui::TCollapsibleSection*, tw::form::kSectionCount> sections_{};
    std::array<QLineEdit*, tw::form::kTitleTextCount> titles_{};
    std::vector<TResultRowWidgets> resultRows_;
    std::vector<THeadWidgets> heads_;
    std::array<QLabel*, 2> pointHeads_{};
    QHash<QObject*, TInputRef> inputs_;
    // Above the results: the failure of the analysis, and the form's one-line notes.
    QFrame* failureBanner_ = nullptr;
    QFrame* noticeBanner_ = nullptr;
    // The focus order: the title block, then the inputs column top to bottom.
    std::vector<QWidget*> focusOrder_;

    QDateEdit* date_ = nullptr;
    QWidget* titleBlock_ = nullptr;
    QLabel* logo_ = nullptr;
    QWidget* logoArea_ = nullptr;
    QPushButton* logoButton_ = nullptr;
    QPushButton* clearLogoButton_ = nullptr;
    std::vector<uint8_t> shownLogo_;
    QImage logoImage_;
    QLabel* hint_ = nullptr;
    QObject* hintCloser_ = nullptr;
    // The unit system the tool tips were written for (their limits depend on it).
    std::optional<tw::TUnitSystem> toolTipUnits_;
    QWidget* hintAnchor_ = nullptr;
    bool passiveInfoShown_ = false;
    QScrollArea* inputsArea_ = nullptr;
    QScrollArea* resultsArea_ = nullptr;
    QWidget* columns_ = nullptr;
    tw::ui::TPageControl* resultsPages_ = nullptr;
    tw::ui::TPageControl* drawings_ = nullptr;
    std::array<tw::ui::TDiagramView*, 3> drawingPages_{};
    bool wideLayout_ = false;
    bool columnsPlaced_ = false;

    QAction* aNew_ = nullptr;
    QAction* aOpen_ = nullptr;
    QAction* aSave_ = nullptr;
    QAction* aSaveAs_ = nullptr;
    QAction* aExit_ = nullptr;
    QAction* aPrint_ = nullptr;
    QAction* aExportPdf_ = nullptr;
    QAction* aAutoUpdate_ = nullptr;
    QAction* aUndo_ = nullptr;
    QAction* aRedo_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* toolsMenu_ = nullptr;
    QAction* aFindLightest_ = nullptr;
    QAction* aConvertToSI_ = nullptr;
    QAction* aStudy_ = nullptr;
    QAction* aReliability_ = nullptr;
    std::shared_ptr<const tw::form::TReliabilityStudy> lastReliability_;
    std::string lastReliabilityProject_; // the studied project as JSON
    // Counts the projects opened or made, so that a study of an earlier one that finishes
    // late is not kept for the one open now.
    unsigned projectGeneration_ = 0;
    // The project was replaced: the last reliability study no longer applies.
    void ForgetReliabilityStudy();
    QAction* aConvertToEnglish_ = nullptr;
    QAction* aCheckUpdates_ = nullptr;
    bool startupTimerStarted_ = false;
    QAction* aHelp_ = nullptr;
    QAction* aAbout_ = nullptr;
    QAction* aWeb_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::vector<QAction*> recentActions_;
    QAction* recentSeparator_ = nullptr;

    QString fileName_;
    QString documentsFolder_;
    QStringList recentFiles_;
    // Set by StartUp: the placement and the recent files go to the settings.
    bool keepsSettings_ = false;
    QToolButton* userSheetButton_ = nullptr;
    QAbstractButton* viewTableButton_ = nullptr;
    QToolButton* passiveInfoButton_ = nullptr;
    QToolButton* stripSketchButton_ = nullptr;
    QToolButton* seismicSketchButton_ = nullptr;
    QToolButton* viewAllGraphs_ = nullptr;
    QToolButton* viewOneGraph_ = nullptr;
    QToolButton* viewInteraction_ = nullptr;
    QToolButton* viewPlotAnalysis_ = nullptr;
    QMenu* graphMenu_ = nullptr;
    QPixmap passMark_, failMark_, warningMark_;
    // Set while the window writes into its widgets or runs a command, so that the focus
    // changes this causes are not taken for the user's.
    bool busy_ = false;
    // Sections change at once (no animation) until the window is first refreshed.
    bool animate_ = false;
};
