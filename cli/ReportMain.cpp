// tarnwick-cli-report: the "report" command of tarnwick-cli, a program of its own so that the
// other commands do not load the graphics libraries. tarnwick-cli hands "report" over to it.
//
//   tarnwick-cli report PROJECT OUT.pdf [--page letter|a4]
//
// Exit codes: 0 the report was written, 1 the analysis failed (nothing written), 2 a usage
// error or a file that cannot be read or written.
#include <QApplication>
#include <QPageSize>
#include <QString>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "Headless.h"
#include "InputNotes.h"
#include "engine/TWClasses.h"
#include "form/MainForm.h"
#include "report/Report.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitAnalysisFailed = 1;
constexpr int kExitUsage = 2;

int Usage(const std::string& message)
{
    std::cerr << "tarnwick-cli: report: " << message << "\nTry 'tarnwick-cli --help'.\n";
    return kExitUsage;
}

bool EndsWithPdf(const fs::path& path)
{
    std::string ext = path.extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".pdf";
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> operands;
    std::string page;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--page") {
            if (i + 1 >= argc)
                return Usage("--page needs letter or a4");
            page = argv[++i];
        } else if (arg.rfind("--page=", 0) == 0) {
            page = arg.substr(7);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage("unknown option " + arg);
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 2)
        return Usage("expected PROJECT and OUT.pdf, got " + std::to_string(operands.size()) +
                     " arguments");
    if (!page.empty() && page != "letter" && page != "a4")
        return Usage("unknown page size \"" + page + "\" (letter or a4)");
    const fs::path out = operands[1];
    if (!EndsWithPdf(out))
        return Usage("the report is written as PDF: OUT must end in .pdf");

    tw::cli::PrepareHeadlessQt();
    // The charts are Qt Charts scenes, which need the widgets' application object.
    QApplication app(argc, argv);

    tw::TTWData project;
    if (!tw::cli::LoadProjectOrSay(operands[0], project))
        return kExitUsage;
    tw::cli::NoteAdjustments(project);
    // Opened as the desktop program opens it, so the report shows what the window shows.
    tw::form::TMainForm form(project);
    const tw::form::TCommitResult result = form.AfterOpen();
    if (!result.ok()) {
        std::cerr << "tarnwick-cli: the analysis failed: " << *result.error
                  << "\nno report written\n";
        return kExitAnalysisFailed;
    }
    const QPageSize size = page == "letter" ? QPageSize(QPageSize::Letter)
                           : page == "a4"   ? QPageSize(QPageSize::A4)
                                          : tw::report::DefaultReportPageSize(form.Project().Units);
    if (const auto error =
            tw::report::WriteReportPdf(form, QString::fromStdString(out.string()), size)) {
        std::cerr << "tarnwick-cli: cannot write " << out.string() << ": " << *error << '\n';
        return kExitUsage;
    }
    return kExitOk;
}
