#include "ProjectIo.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"

namespace tw::cli {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string ReadTextFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileError("Cannot open " + path.string() + ": " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
        throw FileError("Cannot read " + path.string());
    return std::move(text).str();
}

// Writes beside the target and renames over it, so a failed write leaves the old file.
void WriteTextFile(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            throw FileError("Cannot create " + path.string() + ": " + std::strerror(errno));
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw FileError("Cannot write " + path.string());
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw FileError("Cannot write " + path.string() + ": " + ec.message());
    }
}

} // namespace

ProjectFormat FormatOf(const std::filesystem::path& path)
{
    const std::string extension = Lower(path.extension().string());
    if (extension == ".btw")
        return ProjectFormat::Btw;
    if (extension == ".json")
        return ProjectFormat::Json;
    throw FileError(path.string() + ": unknown file type (expected .btw or .json)");
}

void LoadProject(const std::filesystem::path& path, TTWData& project)
{
    const ProjectFormat format = FormatOf(path);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        throw FileError("Cannot open " + path.string() + ": No such file or directory");
    if (std::filesystem::is_directory(path, ec))
        throw FileError("Cannot open " + path.string() + ": Is a directory");
    try {
        if (format == ProjectFormat::Btw) {
            project.LoadFromFile(path);
        } else {
            ProjectFromJson(ReadTextFile(path), project);
        }
    } catch (const FileError&) {
        throw;
    } catch (const std::exception& e) {
        throw FileError(path.string() + ": " + e.what());
    }
}

void SaveProject(const TTWData& project, const std::filesystem::path& path)
{
    const ProjectFormat format = FormatOf(path);
    try {
        if (format == ProjectFormat::Btw)
            project.SaveToFile(path);
        else
            WriteTextFile(path, ProjectToJson(project));
    } catch (const FileError&) {
        throw;
    } catch (const std::exception& e) {
        throw FileError(path.string() + ": " + e.what());
    }
}

} // namespace tw::cli
