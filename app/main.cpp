// The desktop program: one main window over one project, started with a new project.
#include <QApplication>

#include "TWClasses.h"
#include "TWMain.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setOrganizationName(QStringLiteral("Brenmoor"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brenmoor Tarnwick"));

    tw::TTWData project;
    // New starts from the example project installed beside the program.
    project.ExampleFolder = QCoreApplication::applicationDirPath().toStdString();

    TfrmTWMain window(project);
    window.resize(1400, 900);
    window.show();
    window.NewProject();
    return QApplication::exec();
}
