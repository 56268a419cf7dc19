// What the drawing and report programs share: Qt on the offscreen platform, quiet about its
// environment, and the project loaded as the desktop program opens it.
#pragma once

#include <QString>
#include <QtGlobal>

#include <iostream>
#include <string>

#include "ProjectIo.h"
#include "engine/TWClasses.h"

namespace tw::cli {

// Before the application object: the drawings and the report need fonts, not a display; Qt's
// own notes about its environment (a missing runtime folder) are not the user's business.
inline void PrepareHeadlessQt()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::cerr << "tarnwick-cli: " << message.toStdString() << '\n';
    });
}

// Loads the project; false with the message printed when it cannot be read.
inline bool LoadProjectOrSay(const std::string& path, TTWData& project)
{
    try {
        LoadProject(path, project);
        return true;
    } catch (const std::exception& e) {
        std::cerr << "tarnwick-cli: " << e.what() << '\n';
        return false;
    }
}

} // namespace tw::cli
