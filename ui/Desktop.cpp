#include "ui/Desktop.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <string_view>

#include "engine/SafeFile.h"

namespace tw::ui {

namespace {

QString ProjectFilters()
{
    return QString::fromLatin1(kProjectFileFilter) + QStringLiteral(";;") +
           QString::fromLatin1(kAllFilesFilter);
}

// One of the project dialogs, set up as both share it.
QString RunProjectDialog(QWidget* parent, bool save, const QString& folder, const QString& offered)
{
    QFileDialog dialog(parent, save ? QStringLiteral("Save") : QStringLiteral("Open"), folder,
                       ProjectFilters());
    dialog.setObjectName(save ? QStringLiteral("SaveProjectDialog")
                              : QStringLiteral("OpenProjectDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromLatin1(kProjectSuffix));
    if (!offered.isEmpty())
        dialog.selectFile(offered);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString DefaultDocumentsFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QString::fromLatin1(kDocumentsSubfolder));
}

bool MakeFolder(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    QDir().mkpath(folder);
    return QFileInfo(folder).isDir();
}

QString ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

std::filesystem::path ToPath(const QString& file)
{
    return std::filesystem::path(QFile::encodeName(file).toStdString());
}

QString FromNative(const std::string& text)
{
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::optional<QString> WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    try {
        WriteFileAtomically(ToPath(path), std::string_view(bytes.constData(),
                                                           static_cast<std::size_t>(bytes.size())));
    } catch (const TFileError& e) {
        return QString::fromStdString(e.Reason());
    }
    return std::nullopt;
}

QString AskOpenProjectFile(QWidget* parent, const QString& folder, const QString& offered)
{
    return RunProjectDialog(parent, false, folder, offered);
}

QString AskSaveProjectFile(QWidget* parent, const QString& folder, const QString& offered)
{
    return RunProjectDialog(parent, true, folder, offered);
}

QString AskLogoFile(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent, QStringLiteral("Open"), folder,
                       QString::fromLatin1(kLogoFileFilter));
    dialog.setObjectName(QStringLiteral("LogoDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QMessageBox::StandardButton AskSaveChanges(QWidget* parent)
{
    return QMessageBox::question(
        parent, QString::fromLatin1(kApplicationTitle), QString::fromLatin1(kSaveQuestion),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
}

bool OpenWithDesktop(const QUrl& address)
{
    return QDesktopServices::openUrl(address);
}

TCommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Brenmoor Tarnwick: design of cantilevered excavation shoring walls."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("project"),
                                 QStringLiteral("A project file (.btw) to open."),
                                 QStringLiteral("[project.btw]"));
    TCommandLine result;
    result.helpText = parser.helpText();
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    result.showHelp = parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    result.showVersion = parser.isSet(version);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        result.error = QStringLiteral("Only one project file can be opened.");
        return result;
    }
    if (!files.isEmpty() && !files.constFirst().isEmpty()) {
        QString file = files.constFirst();
        // A file manager may pass a file address instead of a path.
        const QUrl url(file);
        if (url.isLocalFile())
            file = url.toLocalFile();
        result.projectFile = QFileInfo(file).absoluteFilePath();
    }
    return result;
}

} // namespace tw::ui
