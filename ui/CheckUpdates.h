// TfrmCheckUpdates ("Check for updates"): one update check with its progress and outcome, in
// interactive mode (from the Help menu) or silent mode (shortly after start, when automatic
// checks are on: only an available update speaks up).
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QString>

#include <functional>

#include "update/WebUpdate.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tw::ui {

// The question of an available update names the maker's web site.
inline constexpr char kMakerSiteName[] = "www.tarnwick.example";

class TfrmCheckUpdates : public QDialog
{
    Q_OBJECT
public:
    TfrmCheckUpdates(bool silent, const QString& pageUrl, bool inplace, QWidget* parent);

    update::TmxWebUpdate& wupd() { return *wupd_; }
    bool Silent() const { return silent_; }

    // Messages and questions: a message box by default, replaced in tests. The text has its
    // line breaks as "\n".
    std::function<QMessageBox::StandardButton(QMessageBox::Icon icon, const QString& text,
                                              QMessageBox::StandardButtons buttons)>
        ask;
    // Where downloads are kept: the user's application data folder, "Update".
    QString updateFolder;

    QLabel* statusLine() const { return status_; }
    QLabel* addressLine() const { return address_; }
    QLabel* currentVersionLine() const { return current_; }
    QLabel* newVersionLine() const { return newVersion_; }
    // The downloaded kilobytes, or why the check failed.
    QLabel* progressText() const { return progressText_; }
    QProgressBar* progressBar() const { return progress_; }
    QPushButton* button() const { return button_; }

    // What the timer does 500 ms after the dialog is made: the program's version, the check.
    void StartCheck();

protected:
    void done(int result) override;

private:
    QMessageBox::StandardButton Ask(QMessageBox::Icon icon, const char* text,
                                    QMessageBox::StandardButtons buttons);
    void ButtonClick();
    // Ends the dialog once the current callback has returned.
    void CloseLater();

    update::TmxWebUpdate* wupd_ = nullptr;
    bool silent_ = false;
    QLabel* status_ = nullptr;
    QLabel* address_ = nullptr;
    QLabel* current_ = nullptr;
    QLabel* newVersion_ = nullptr;
    QLabel* progressText_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* button_ = nullptr;
};

// Texts of the dialog.
inline constexpr char kMajorVersionWarning[] =
    "There is new major version of software available.\r\nMajor updates are not free. Please "
    "visit our website for more information.";
inline constexpr char kDownloadError[] = "Error accessing data from the web!";
inline constexpr char kCheckFailed[] = "The update check failed";
inline constexpr char kExecuteError[] = "Error executing downloaded file!";
inline constexpr char kAbortQuestion[] = "Are you sure you want to abort downloading?";

} // namespace tw::ui
