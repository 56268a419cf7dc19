// Renders the program's icon into the PNG files installed for the desktop:
//   tw_make_icons OUTDIR SIZE...
// writes OUTDIR/hicolor/SIZExSIZE/apps/tarnwick.png and the same picture as the icon of the
// project files' MIME type, OUTDIR/hicolor/SIZExSIZE/mimetypes/application-x-brenmoor-tarnwick.png.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>

#include "ui/Artwork.h"

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fputs("usage: tw_make_icons OUTDIR SIZE...\n", stderr);
        return 2;
    }
    // Drawing needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QImage icon = tw::ui::ProgramIconImage(size);
        if (icon.isNull()) {
            std::fprintf(stderr, "tw_make_icons: not a size: %s\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("hicolor/%1x%1").arg(size);
        for (const QString& file :
             {folder + QStringLiteral("/apps/tarnwick.png"),
              folder + QStringLiteral("/mimetypes/application-x-brenmoor-tarnwick.png")}) {
            const QString path = out.filePath(file);
            if (!QDir().mkpath(QFileInfo(path).path()) || !icon.save(path, "PNG")) {
                std::fprintf(stderr, "tw_make_icons: cannot write %s\n", qPrintable(path));
                return 1;
            }
        }
    }
    return 0;
}
