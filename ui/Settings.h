// The program's settings: a thin layer on QSettings (organisation "Brenmoor", application
// "Tarnwick"; on Linux the file ~/.config/Brenmoor/Tarnwick.conf). It holds the main window's
// placement under "WinPos", the recent-files list and the report's page size. Reading never
// creates anything; a missing or unreadable value reads as absent.
#pragma once

#include <QPageSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QSettings;

namespace tw::ui {

inline constexpr char kOrganizationName[] = "Brenmoor";
inline constexpr char kApplicationName[] = "Tarnwick";
// How many files the recent-files list keeps.
inline constexpr int kMaxRecentFiles = 8;

// The settings store of the current user.
std::unique_ptr<QSettings> OpenSettings();

// The window placement under "WinPos": "Left", "Top", "Width", "Height" in pixels and
// "WinState" (0 normal, 1 minimized, 2 maximized). Each value is optional on its own.
struct TWindowPlacement
{
    std::optional<int> left, top, width, height;
    std::optional<int> state;
};
inline constexpr int kWinStateNormal = 0;
inline constexpr int kWinStateMinimized = 1;
inline constexpr int kWinStateMaximized = 2;

// Values that are missing or not whole numbers are left out; a state other than 0, 1, 2 too.
TWindowPlacement ReadWindowPlacement(QSettings& settings);
// Writes the values present and leaves the others as they are, so that a window closed
// maximized keeps the last normal position and size stored.
void WriteWindowPlacement(QSettings& settings, const TWindowPlacement& placement);

// "AutoUpdates": whether the update check runs shortly after start (true when absent).
bool ReadAutoUpdates(QSettings& settings);
void WriteAutoUpdates(QSettings& settings, bool on);
// The announcement page on the maker's web server, whose scheme and host the setting
// "UpdateHost" can change (tw::update::kDefaultUpdateHost when absent).
QString ReadUpdatePage(QSettings& settings);

// "ReportPageSize": the page size last chosen for the report, "Letter" or "A4"; none when the
// user has not chosen one (or the value is something else).
std::optional<QPageSize::PageSizeId> ReadReportPageSize(QSettings& settings);
// Keeps Letter or A4; other sizes are not offered and are not written.
void WriteReportPageSize(QSettings& settings, QPageSize::PageSizeId size);

// "GraphsSoilSprings": whether the graphs show the soil-spring curve beside the design's
// (true when absent).
bool ReadGraphsSoilSprings(QSettings& settings);
void WriteGraphsSoilSprings(QSettings& settings, bool on);

// The recent-files list, most recent first, without empty entries or repeats, at most
// kMaxRecentFiles long.
QStringList ReadRecentFiles(QSettings& settings);
void WriteRecentFiles(QSettings& settings, const QStringList& files);
// The list with the file put first (moved there when it is already in it), cut to length.
QStringList WithRecentFile(QStringList files, const QString& path);

} // namespace tw::ui
