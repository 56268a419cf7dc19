// What the desktop program takes from the desktop: the documents folder, the program's own
// folder, file names as the engine takes them, the project and logo file dialogs, the
// question about unsaved changes, handing a file or web address to the desktop, and the
// command line.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

#include "engine/Globals.h"

class QByteArray;
class QUrl;
class QWidget;

namespace tw::ui {

// The application title, the caption of the main window without a file.
inline constexpr char kApplicationTitle[] = "Brenmoor Tarnwick";
inline constexpr char kProductName[] = "Tarnwick";
// The user's manual, looked for in the program's folder.
inline constexpr char kManualFileName[] = "User Manual Tarnwick.pdf";
// The maker's home page (a reserved address until the maker has a site of its own).
using tw::kWebsiteAddress;
// The folder for projects under the user's documents folder.
inline constexpr char kDocumentsSubfolder[] = "Tarnwick";
// The filters of the project dialogs and of the logo dialog.
inline constexpr char kProjectFileFilter[] = "Brenmoor Dunmarrow files (*.btw)";
inline constexpr char kAllFilesFilter[] = "All Files (*)";
inline constexpr char kLogoFileFilter[] = "JPEG files (*.jpg *.jpeg)";
inline constexpr char kProjectSuffix[] = "btw";
inline constexpr char kSaveQuestion[] = "File is not saved. Do you want to save it now?";

// "Tarnwick" in the user's documents folder (not created here).
QString DefaultDocumentsFolder();
// Creates the folder with all missing parents; false when it is not there afterwards.
bool MakeFolder(const QString& folder);
// The folder of the running program.
QString ProgramFolder();

// File names between Qt and the engine (the local 8-bit encoding of file names).
std::filesystem::path ToPath(const QString& file);
QString FromNative(const std::string& text);
// Replaces the file by the bytes through the engine's atomic writer (engine/SafeFile.h); the
// reason when it could not be written ("No space left on device"), the old file left intact.
std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& bytes);

// The project dialogs: the chosen file, or an empty text when cancelled. They open in the
// folder with the offered file name (none: only the filter), add ".btw" to a name without an
// extension; Save asks before replacing a file.
QString AskOpenProjectFile(QWidget* parent, const QString& folder, const QString& offered);
QString AskSaveProjectFile(QWidget* parent, const QString& folder, const QString& offered);
// The logo dialog: a JPEG file that exists.
QString AskLogoFile(QWidget* parent, const QString& folder);
// "File is not saved. Do you want to save it now?" with Yes, No and Cancel.
QMessageBox::StandardButton AskSaveChanges(QWidget* parent);
// Hands a file or web address to the desktop's default program; false when none took it.
bool OpenWithDesktop(const QUrl& address);

// The desktop program's command line: "tarnwick [options] [project.btw]".
struct TCommandLine
{
    QString projectFile; // absolute path, or empty
    bool showHelp = false;
    bool showVersion = false;
    QString error; // not empty: the arguments were not understood
    QString helpText;
};
TCommandLine ParseCommandLine(const QStringList& arguments);

} // namespace tw::ui
