// tarnwick-cli-draw: the "draw" command of tarnwick-cli, a program of its own so that the other
// commands do not load the graphics libraries. tarnwick-cli hands "draw" over to it.
//
//   tarnwick-cli draw PROJECT section|plan|guardrail OUT [--size WIDTHxHEIGHT]
//
// The file's extension chooses its format: .png a picture, .svg and .pdf vector files, .dxf a
// drawing at true scale for CAD programs (drawn on a 4000x3000 raster unless --size says).
//
// Exit codes: 0 the picture was written, 1 nothing to draw (the drawing's guard left an empty
// picture), 2 a usage error or a file that cannot be read or written.
#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Headless.h"
#include "InputNotes.h"
#include "drawing/DiagramDraw.h"
#include "engine/SafeFile.h"
#include "engine/TWClasses.h"
#include "form/MainForm.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNothingToDraw = 1;
constexpr int kExitUsage = 2;
constexpr int kMaxSide = 20000;

int Usage(const std::string& message)
{
    std::cerr << "tarnwick-cli: draw: " << message << "\nTry 'tarnwick-cli --help'.\n";
    return kExitUsage;
}

bool ParseSize(const std::string& text, int& width, int& height)
{
    const auto x = text.find('x');
    if (x == std::string::npos)
        return false;
    try {
        std::size_t used = 0;
        width = std::stoi(text.substr(0, x), &used);
        if (used != x)
            return false;
        height = std::stoi(text.substr(x + 1), &used);
        if (used != text.size() - x - 1)
            return false;
    } catch (const std::exception&) {
        return false;
    }
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

enum class TFormat
{
    Png,
    Svg,
    Pdf,
    Dxf,
};

std::optional<TFormat> FormatOf(const fs::path& out)
{
    std::string ext = out.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".png")
        return TFormat::Png;
    if (ext == ".svg")
        return TFormat::Svg;
    if (ext == ".pdf")
        return TFormat::Pdf;
    if (ext == ".dxf")
        return TFormat::Dxf;
    return std::nullopt;
}

// Writes the file through the one atomic writer, so that a failed write leaves no
// half-written file and the old file intact.
bool SaveBytes(const QByteArray& bytes, const fs::path& out, std::string& error)
{
    try {
        tw::WriteFileAtomically(
            out, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const tw::TFileError& e) {
        error = e.Reason();
        return false;
    }
    return true;
}

// Encodes the picture in memory and writes it through the one atomic writer.
bool SavePng(const QImage& image, const fs::path& out, std::string& error)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        error = writer.errorString().toStdString();
        return false;
    }
    return SaveBytes(png, out, error);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> operands;
    std::string size;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size") {
            if (i + 1 >= argc)
                return Usage("--size needs WIDTHxHEIGHT");
            size = argv[++i];
        } else if (arg.rfind("--size=", 0) == 0) {
            size = arg.substr(7);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage("unknown option " + arg);
        } else {
            operands.push_back(arg);
        }
    }
    if (operands.size() != 3)
        return Usage("expected PROJECT, a drawing (section, plan or guardrail) and OUT, got " +
                     std::to_string(operands.size()) + " arguments");
    if (size.empty())
        size = FormatOf(operands[2]) == TFormat::Dxf ? "4000x3000" : "1200x900";
    int width = 0, height = 0;
    if (!ParseSize(size, width, height))
        return Usage("the size \"" + size + "\" is not WIDTHxHEIGHT (1 to 20000 pixels each)");
    const std::string& name = operands[1];
    tw::drawing::TDiagramKind kind;
    if (name == "section")
        kind = tw::drawing::TDiagramKind::dkCrossSection;
    else if (name == "plan")
        kind = tw::drawing::TDiagramKind::dkPlanView;
    else if (name == "guardrail")
        kind = tw::drawing::TDiagramKind::dkGuardrail;
    else
        return Usage("unknown drawing \"" + name + "\" (section, plan or guardrail)");
    if (const QSize least = tw::drawing::MinimumDrawingSize(kind);
        width < least.width() || height < least.height())
        return Usage("the " + name + " drawing needs at least " + std::to_string(least.width()) +
                     "x" + std::to_string(least.height()) + " pixels to be read");
    const fs::path out = operands[2];
    const std::optional<TFormat> format = FormatOf(out);
    if (!format)
        return Usage("unknown file type \"" + out.extension().string() +
                     "\": OUT must end in .png, .svg, .pdf or .dxf");

    tw::cli::PrepareHeadlessQt();
    QGuiApplication app(argc, argv);

    tw::TTWData project;
    if (!tw::cli::LoadProjectOrSay(operands[0], project))
        return kExitUsage;
    tw::cli::NoteAdjustments(project);
    // Opened as the desktop program opens it, so the drawing shows what the window shows.
    tw::form::TMainForm form(project);
    const tw::form::TCommitResult result = form.AfterOpen();
    if (!result.ok())
        std::cerr << "tarnwick-cli: the analysis failed: " << *result.error << '\n';
    std::string error;
    bool saved = false;
    if (*format == TFormat::Png) {
        const QImage picture = tw::drawing::RenderDiagram(form, kind, QSize(width, height));
        if (picture.isNull()) {
            std::cerr << "tarnwick-cli: nothing to draw\n";
            return kExitNothingToDraw;
        }
        saved = SavePng(picture, out, error);
    } else {
        const QByteArray vector = tw::drawing::RenderDiagramVector(
            form, kind, QSize(width, height),
            *format == TFormat::Svg   ? tw::drawing::TVectorFormat::Svg
            : *format == TFormat::Pdf ? tw::drawing::TVectorFormat::Pdf
                                      : tw::drawing::TVectorFormat::Dxf);
        if (vector.isEmpty()) {
            std::cerr << "tarnwick-cli: nothing to draw\n";
            return kExitNothingToDraw;
        }
        saved = SaveBytes(vector, out, error);
    }
    if (!saved) {
        std::cerr << "tarnwick-cli: cannot write " << out.string() << ": " << error << '\n';
        return kExitUsage;
    }
    return kExitOk;
}
