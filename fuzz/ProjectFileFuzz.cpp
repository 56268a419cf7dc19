// libFuzzer target: arbitrary bytes as a project file. Loading either succeeds or throws a
// std::exception; anything else (a crash, a sanitizer report, another exception type) is a
// bug. A loaded project must also save and load again to the same bytes, and its analysis
// must not read outside a catalogue whatever the file held, nor the soil springs fail on it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <sstream>
#include <string>

#include "engine/SoilSprings.h"
#include "engine/TWClasses.h"

namespace {

std::string Save(const tw::TTWData& project)
{
    std::ostringstream out(std::ios::binary);
    project.SaveToStream(out);
    return out.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    tw::TTWData project;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size), std::ios::binary);
    try {
        project.LoadFromStream(in);
    } catch (const std::exception&) {
        return 0;
    }

    // Saving is loss-free from the first save on.
    const std::string first = Save(project);
    tw::TTWData again;
    std::istringstream back(first, std::ios::binary);
    again.LoadFromStream(back);
    if (Save(again) != first)
        std::abort();

    try {
        project.Analyze();
    } catch (const std::exception&) {
        // An analysis that fails on odd inputs reports it; that is not a bug.
        return 0;
    }
    // The soil springs run on every analysed wall, with the modulus the file carried.
    (void)tw::ComputeSoilSpringAnalysis(project);
    return 0;
}
