#include "ProjectIo.h"

#include <algorithm>
#include <cctype>

#include "engine/ProjectJson.h"
#include "engine/SafeFile.h"
#include "engine/TWClasses.h"

namespace tw::cli {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
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
    try {
        if (format == ProjectFormat::Btw)
            project.LoadFromFile(path);
        else
            ProjectFromJson(ReadRegularFile(path, kMaxProjectFileBytes, "project files"), project);
    } catch (const TFileError& e) {
        throw FileError(e.what());
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
            WriteFileAtomically(path, ProjectToJson(project));
    } catch (const TFileError& e) {
        throw FileError(e.what());
    } catch (const std::exception& e) {
        throw FileError(path.string() + ": " + e.what());
    }
}

} // namespace tw::cli
