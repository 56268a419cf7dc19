// Writes the seed corpus of the project-file fuzz target into a folder: saved projects
// (empty, with texts and a logo, with the extension, SI with other selections) and copies of them
// that claim older versions, so that the fuzzer starts from every layout the reader knows.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/Jpeg.h"
#include "engine/TWClasses.h"

namespace {

std::string Save(const tw::TTWData& project)
{
    std::ostringstream out(std::ios::binary);
    project.SaveToStream(out);
    return out.str();
}

std::string WithVersion(std::string bytes, const std::string& version)
{
    for (std::size_t i = 51; i < 64; ++i)
        bytes[i] = '\0';
    bytes[51] = static_cast<char>(version.size());
    bytes.replace(52, version.size(), version);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    tw::TTWData empty;
    empty.NewProject(true);

    tw::TTWData wall;
    wall.NewProject(true);
    wall.Organization = "Organization";
    wall.ProjectName = "Soldier beam wall";
    wall.JobNumber = "J-1";
    wall.DesignedBy = "Designer";
    wall.ShoredHeight = 15;
    wall.PileSpacing = 8;
    wall.PileWidth = 2.5L;
    wall.BackfillPhi = 32;
    wall.BackfillUnitWeight = 0.12L;
    wall.Surcharge = 0.072L;
    wall.PassivePhi = 32;
    wall.PassiveUnitWeight = 0.12L;
    wall.PassiveSafetyFactor = 1.5L;
    wall.ElasticModulus = 29000;
    wall.ConcreteStrength = 3;
    wall.LaggingType = tw::TLaggingType::ltTimber;
    wall.BeamIndex = 20;
    tw::JpegImage image;
    image.width = 8;
    image.height = 8;
    image.rgb.assign(8 * 8 * 3, 128);
    wall.SetLogoImage(image.width, image.height, image.rgb);

    // A typed subgrade modulus: the tagged extension after the fixed part.
    tw::TTWData springs = wall;
    springs.SubgradeModulus = 90;

    tw::TTWData si;
    si.NewProject(true);
    si.SetUnitSystem(tw::TUnitSystem::usSI);
    si.SetSteelLibrary(tw::TSteelLibrary::slBritish);
    si.SetPileType(tw::TPileType::ptSheetPile);
    si.AnalysisMethod = tw::TAnalysisMethod::amGrossPressure;
    si.Reinforcement = tw::TReinforcement::rfRebarCage;
    si.ShoredHeight = 4.5L;
    si.PileSpacing = 2.4L;
    si.SheetIndex = 3;

    const std::vector<std::pair<std::string, std::string>> seeds = {
        {"empty", Save(empty)},
        {"wall", Save(wall)},
        {"wall-springs", Save(springs)},
        {"si", Save(si)},
        {"wall-1.18", WithVersion(Save(wall), "1.18")},
        {"empty-1.15", WithVersion(Save(empty), "1.15")},
        {"empty-0.93", WithVersion(Save(empty), "0.93")},
        {"empty-0.9", WithVersion(Save(empty), "0.9")},
    };
    for (const auto& [name, bytes] : seeds) {
        std::ofstream out(folder / (name + ".btw"), std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::cerr << "cannot write " << (folder / name).string() << "\n";
            return 1;
        }
    }
    return 0;
}
