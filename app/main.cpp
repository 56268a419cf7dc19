// The desktop program: the splash window, one main window over one project started with a
// new project, and the project file named on the command line, if any.
#include <QApplication>
#include <QPointer>

#include <cstdio>
#include <cstring>
#include <memory>

#include "engine/Globals.h"
#include "engine/TWClasses.h"
#include "ui/Artwork.h"
#include "ui/Desktop.h"
#include "ui/Settings.h"
#include "ui/Splash.h"
#include "ui/TWMain.h"

namespace {

// "--help" and "--version" answer on the terminal, without a display.
bool AnswersOnTerminal(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "--help-all", "-?", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    std::unique_ptr<QCoreApplication> app;
    if (AnswersOnTerminal(argc, argv))
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    // The settings are kept under this organisation and application. The title "Brenmoor
    // Tarnwick" is the main window's caption and the desktop entry's name; it is not set as
    // the application's display name, which the desktop would append to every caption.
    QApplication::setOrganizationName(QString::fromLatin1(tw::ui::kOrganizationName));
    QApplication::setApplicationName(QString::fromLatin1(tw::ui::kApplicationName));
    QApplication::setApplicationVersion(QString::fromStdString(tw::VersionString()));

    const tw::ui::TCommandLine commandLine = tw::ui::ParseCommandLine(QApplication::arguments());
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "tarnwick: %s\n\n%s", qPrintable(commandLine.error),
                     qPrintable(commandLine.helpText));
        return 2;
    }
    if (commandLine.showHelp) {
        std::fputs(qPrintable(commandLine.helpText), stdout);
        return 0;
    }
    if (commandLine.showVersion) {
        std::printf("%s %s\n", tw::ui::kApplicationTitle, tw::VersionString().c_str());
        return 0;
    }
    if (qobject_cast<QApplication*>(app.get()) == nullptr)
        return 2;
    QApplication::setWindowIcon(tw::ui::ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("tarnwick"));

    // The splash window frees itself after two seconds or when clicked.
    QPointer<tw::ui::TfrmSplash> splash = new tw::ui::TfrmSplash;
    splash->ShowNow();

    tw::TTWData project;
    // New starts from the example project installed beside the program.
    project.ExampleFolder = tw::ui::ToPath(tw::ui::ProgramFolder());

    TfrmTWMain window(project);
    window.StartUp(tw::ui::DefaultDocumentsFolder());
    window.show();
    if (splash)
        splash->raise();
    if (!commandLine.projectFile.isEmpty())
        window.OpenFile(commandLine.projectFile);
    const int code = QApplication::exec();
    delete splash; // still open when the window was closed within two seconds
    return code;
}
