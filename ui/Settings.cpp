#include "ui/Settings.h"

#include <QDir>
#include <QSettings>

#include "update/WebUpdate.h"

namespace tw::ui {

namespace {

const QString kWinPosGroup = QStringLiteral("WinPos");
const QString kRecentFilesKey = QStringLiteral("RecentFiles");
const QString kReportPageSizeKey = QStringLiteral("ReportPageSize");

std::optional<int> ReadInt(const QSettings& settings, const QString& key)
{
    if (!settings.contains(key))
        return std::nullopt;
    // Read as text, as the settings file holds it: "3.5" or "left" are not positions.
    bool ok = false;
    const int value = settings.value(key).toString().trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

void WriteInt(QSettings& settings, const QString& key, const std::optional<int>& value)
{
    if (value)
        settings.setValue(key, *value);
}

// Two spellings of one file count as the same entry.
QString SameFileKey(const QString& path)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(path));
}

QStringList Tidy(const QStringList& files)
{
    QStringList tidy;
    QStringList keys;
    for (const QString& file : files) {
        if (file.trimmed().isEmpty())
            continue;
        const QString key = SameFileKey(file);
        if (keys.contains(key))
            continue;
        keys << key;
        tidy << file;
        if (tidy.size() == kMaxRecentFiles)
            break;
    }
    return tidy;
}

} // namespace

std::unique_ptr<QSettings> OpenSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(kOrganizationName),
                                       QString::fromLatin1(kApplicationName));
}

TWindowPlacement ReadWindowPlacement(QSettings& settings)
{
    TWindowPlacement placement;
    settings.beginGroup(kWinPosGroup);
    placement.left = ReadInt(settings, QStringLiteral("Left"));
    placement.top = ReadInt(settings, QStringLiteral("Top"));
    placement.width = ReadInt(settings, QStringLiteral("Width"));
    placement.height = ReadInt(settings, QStringLiteral("Height"));
    placement.state = ReadInt(settings, QStringLiteral("WinState"));
    settings.endGroup();
    if (placement.state &&
        (*placement.state < kWinStateNormal || *placement.state > kWinStateMaximized))
        placement.state.reset();
    return placement;
}

void WriteWindowPlacement(QSettings& settings, const TWindowPlacement& placement)
{
    settings.beginGroup(kWinPosGroup);
    WriteInt(settings, QStringLiteral("Left"), placement.left);
    WriteInt(settings, QStringLiteral("Top"), placement.top);
    WriteInt(settings, QStringLiteral("Width"), placement.width);
    WriteInt(settings, QStringLiteral("Height"), placement.height);
    WriteInt(settings, QStringLiteral("WinState"), placement.state);
    settings.endGroup();
}

bool ReadAutoUpdates(QSettings& settings)
{
    const QVariant value = settings.value(QStringLiteral("AutoUpdates"));
    return value.isValid() ? value.toBool() : true;
}

void WriteAutoUpdates(QSettings& settings, bool on)
{
    settings.setValue(QStringLiteral("AutoUpdates"), on);
}

QString ReadUpdatePage(QSettings& settings)
{
    QString host = settings.value(QStringLiteral("UpdateHost")).toString().trimmed();
    if (host.isEmpty())
        host = QString::fromLatin1(tw::update::kDefaultUpdateHost);
    while (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    return host + QString::fromLatin1(tw::update::kUpdatePagePath);
}

std::optional<QPageSize::PageSizeId> ReadReportPageSize(QSettings& settings)
{
    const QString name = settings.value(kReportPageSizeKey).toString().trimmed();
    if (name.compare(QStringLiteral("Letter"), Qt::CaseInsensitive) == 0)
        return QPageSize::Letter;
    if (name.compare(QStringLiteral("A4"), Qt::CaseInsensitive) == 0)
        return QPageSize::A4;
    return std::nullopt;
}

void WriteReportPageSize(QSettings& settings, QPageSize::PageSizeId size)
{
    if (size == QPageSize::Letter)
        settings.setValue(kReportPageSizeKey, QStringLiteral("Letter"));
    else if (size == QPageSize::A4)
        settings.setValue(kReportPageSizeKey, QStringLiteral("A4"));
}

bool ReadGraphsSoilSprings(QSettings& settings)
{
    const QVariant value = settings.value(QStringLiteral("GraphsSoilSprings"));
    return value.isValid() ? value.toBool() : true;
}

void WriteGraphsSoilSprings(QSettings& settings, bool on)
{
    settings.setValue(QStringLiteral("GraphsSoilSprings"), on);
}

QStringList ReadRecentFiles(QSettings& settings)
{
    const QVariant value = settings.value(kRecentFilesKey);
    QStringList files = value.toStringList();
    // A single entry written by hand reads as a plain string.
    if (files.isEmpty() && value.typeId() == QMetaType::QString)
        files << value.toString();
    return Tidy(files);
}

void WriteRecentFiles(QSettings& settings, const QStringList& files)
{
    const QStringList tidy = Tidy(files);
    if (tidy.isEmpty())
        settings.remove(kRecentFilesKey);
    else
        settings.setValue(kRecentFilesKey, tidy);
}

QStringList WithRecentFile(QStringList files, const QString& path)
{
    if (path.trimmed().isEmpty())
        return Tidy(files);
    const QString key = SameFileKey(path);
    files.removeIf([&key](const QString& file) { return SameFileKey(file) == key; });
    files.prepend(path);
    return Tidy(files);
}

} // namespace tw::ui
