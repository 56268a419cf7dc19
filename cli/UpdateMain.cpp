// tarnwick-cli-update: the "check-update" command of tarnwick-cli, for administrators who deploy
// the program: reads the maker's announcement page, says whether it announces a newer release
// and, with --download, fetches it (and extracts a ZIP) into a folder, never starting it. Only
// a newer release of this product is fetched. Plain HTTP is refused unless --allow-http allows
// it (a local test server).
//
//   tarnwick-cli check-update [--url URL] [--download DIR] [--allow-http]
//
// Exit codes: 0 the check (and the download) completed, or there is no newer version to download;
// 1 the page or the download failed, or the page announces another product; 2 a usage error.
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>

#include <iostream>
#include <string>

#include "engine/Globals.h"
#include "update/WebUpdate.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage(const std::string& message)
{
    std::cerr << "tarnwick-cli: check-update: " << message << "\nTry 'tarnwick-cli --help'.\n";
    return kExitUsage;
}

int Failed(const tw::update::TmxWebUpdate& wupd)
{
    std::cerr << "tarnwick-cli: " << wupd.LastError().toStdString() << '\n';
    // Given a plain HTTP address, say how to allow it; a server that leaves HTTPS is not
    // given the hint.
    if (!wupd.AllowHttp &&
        wupd.LastError().startsWith(QLatin1String(tw::update::kInsecureRefusal)) &&
        wupd.ProductInfo.URL().startsWith(QStringLiteral("http://"), Qt::CaseInsensitive))
        std::cerr << "tarnwick-cli: --allow-http allows plain HTTP (for a local test server)\n";
    return kExitFailed;
}

} // namespace

int main(int argc, char** argv)
{
    QString url = QString::fromLatin1(tw::update::kDefaultUpdateHost) +
                  QString::fromLatin1(tw::update::kUpdatePagePath);
    QString folder;
    bool allowHttp = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--url" || arg == "--download") && i + 1 >= argc)
            return Usage(arg + " needs a value");
        if (arg == "--url")
            url = QString::fromLocal8Bit(argv[++i]);
        else if (arg == "--download")
            folder = QString::fromLocal8Bit(argv[++i]);
        else if (arg == "--allow-http")
            allowHttp = true;
        else
            return Usage("unknown argument " + arg);
    }
    if (url.trimmed().isEmpty())
        return Usage("the address is empty");
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});

    tw::update::TmxWebUpdate wupd;
    wupd.ProductInfo.SetURL(url);
    wupd.ProductInfo.Version = QString::fromStdString(tw::VersionString());
    wupd.Options = tw::update::uoOverwrite;
    wupd.AllowHttp = allowHttp;
    QEventLoop loop;
    QObject::connect(&wupd, &tw::update::TmxWebUpdate::infoRead, &loop, &QEventLoop::quit);
    QObject::connect(&wupd, &tw::update::TmxWebUpdate::downloaded, &loop, &QEventLoop::quit);

    // A step may end at once (an address that is not a web address): wait only for one that
    // still runs.
    wupd.GetInfo();
    if (wupd.Busy())
        loop.exec();
    if (!wupd.Success())
        return Failed(wupd);
    const tw::update::TAnnouncement& found = wupd.Found();
    const bool newer = tw::update::IsNewer(wupd.ProductInfo.Version, found.version,
                                           wupd.ProductInfo.VersionFormat);
    std::cout << "Page: " << wupd.ProductInfo.URL().toStdString() << '\n'
              << "Product: " << found.productName.toStdString() << '\n'
              << "Announced version: " << found.version.toStdString() << '\n'
              << "Release date: "
              << (found.date.isValid() ? found.date.toString(Qt::ISODate).toStdString() : "-")
              << '\n'
              << "This program: " << wupd.ProductInfo.Version.toStdString() << '\n'
              << "Newer: " << (newer ? "yes" : "no") << '\n';
    if (folder.isEmpty())
        return kExitOk;

    // Nothing is downloaded then: another product's release is an error, no newer version is
    // not. The texts from the page were made printable when it was read.
    if (const QString refusal = tw::update::NotOffered(wupd.ProductInfo, found);
        !refusal.isEmpty()) {
        if (!tw::update::IsThisProduct(wupd.ProductInfo.ProductName, found.productName)) {
            std::cerr << "tarnwick-cli: " << refusal.toStdString() << '\n';
            return kExitFailed;
        }
        std::cout << refusal.toStdString() << '\n';
        return kExitOk;
    }
    if (!QDir().mkpath(folder)) {
        std::cerr << "tarnwick-cli: cannot make the folder " << folder.toStdString() << '\n';
        return kExitFailed;
    }
    wupd.DownloadFolder = QDir(folder).absolutePath();
    wupd.Download();
    if (wupd.Busy())
        loop.exec();
    if (!wupd.Success())
        return Failed(wupd);
    if (wupd.LocalFile().isEmpty()) {
        std::cerr << "tarnwick-cli: the archive holds no installer for this platform (extracted to "
                  << wupd.ExtractionFolder().toStdString() << ")\n";
        return kExitFailed;
    }
    std::cout << "Installer: " << wupd.LocalFile().toStdString() << '\n';
    return kExitOk;
}
