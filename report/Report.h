// The printed report of a project: the cover page with the job rows, the logo and the two
// drawings; the inputs and the results as two-column panel blocks; the guardrail design with
// its drawing; the node table; the charts; the references; a footer on every page. Composed on
// a TPrintSurface, so the same code prints, previews and writes PDF.
#pragma once

#include <QPageSize>
#include <QPagedPaintDevice>
#include <QRectF>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>
#include <string>

#include "form/MainForm.h"
#include "form/Reliability.h"

namespace tw::report {

struct TReportOptions
{
    // The date row's text; empty: the form's date in the system's short date format.
    QString date;
    // Called as each page starts, with its number (the progress of a long report).
    std::function<void(int page)> progress;
    // A reliability study run on the project, printed as a block after the results when set.
    const form::TReliabilityStudy* reliability = nullptr;
};

// The job title of print jobs and the PDF's title.
inline constexpr char kPrintJobTitle[] = "Brenmoor Tarnwick";

// Composes the report of the form's project on the device, from its current page on. The
// device's page layout should have no margins (the report sets its own). Needs a QApplication
// (the charts are drawn with Qt Charts).
void GenerateReport(const form::TMainForm& form, QPagedPaintDevice& device,
                    const TReportOptions& options = {});

// Writes the report as a PDF file with the project's name as title and the program as creator,
// made in memory and written by WriteFileAtomically (engine/SafeFile.h): the old file stays
// unless the new one is complete. Returns the reason when it could not be written ("No space
// left on device"); the caller names the file.
std::optional<std::string> WriteReportPdf(const form::TMainForm& form, const QString& path,
                                          const QPageSize& pageSize,
                                          const TReportOptions& options = {});

// Where a drawing of the given pixel size goes: across the text width (from `left`, `width`
// inches wide) from `top`, its height by its aspect ratio; a drawing that would end below
// `limit` is shrunk to end there and centred in the text width. Inches.
QRectF DrawingRect(QSize picture, double left, double width, double top, double limit);

// The page size a report gets unless the user chose one: Letter for a project in English
// units, A4 for one in SI units (the paper where each system is used; the system's locale is
// no guide, a program started under the C locale would print everything on A4).
QPageSize DefaultReportPageSize(TUnitSystem units);

} // namespace tw::report
