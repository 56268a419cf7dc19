// The project's enumerations. Stored numbers follow the order of the main window's list
// items; the item texts are shown exactly as written here.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/Globals.h" // TUnitSystem

namespace tw {

enum class TAnalysisMethod : int32_t
{
    amNetPressure = 0,
    amGrossPressure = 1,
    amUserDefined = 2
};
enum class TInstallMethod : int32_t
{
    imDrilled = 0,
    imDriven = 1
};
enum class TPileType : int32_t
{
    ptSoldierBeam = 0,
    ptTangentPile = 1,
    ptSecantPile = 2,
    ptSheetPile = 3
};
enum class TReinforcement : int32_t
{
    rfIBeam = 0,
    rfPipe = 1,
    rfRebarCage = 2
};
enum class TSoilMethod : int32_t
{
    smCoulomb = 0,
    smEquivalentFluid = 1
};
enum class TSteelLibrary : uint8_t
{
    slNorthAmerican = 0,
    slAustralian = 1,
    slBritish = 2,
    slEuropean = 3
};
enum class TRebarStandard : int32_t
{
    rsUS = 0,
    rsEuropean = 1,
    rsCanadian = 2
};
enum class TTieType : int32_t
{
    ttTie = 0,
    ttSpiral = 1
};
enum class TShoredHeightFill : int32_t
{
    sfConcrete = 0,
    sfSlurry = 1
};
enum class TLaggingType : int32_t
{
    ltNone = 0,
    ltTimber = 1,
    ltSteelPlate = 2,
    ltConcrete = 3
};
enum class TLumberGrade : int32_t
{
    lgNo1 = 0,
    lgNo2 = 1,
    lgSelectStructural = 2
};

inline constexpr std::array<std::string_view, 2> kUnitsItems{"English", "SI"};
inline constexpr std::array<std::string_view, 3> kAnalysisMethodItems{
    "Net Pressure", "Gross Pressure", "User Defined"};
inline constexpr std::array<std::string_view, 2> kInstallMethodItems{"Drilled", "Driven"};
inline constexpr std::array<std::string_view, 4> kPileTypeItems{
    "Soldier Beam (King Pile)", "Tangent Pile", "Secant Pile", "Sheet Pile"};
inline constexpr std::array<std::string_view, 3> kReinforcementItems{"I-Beam", "O-Pipe",
                                                                     "Rebar Cage"};
inline constexpr std::array<std::string_view, 2> kSoilMethodItems{"Coulomb Method",
                                                                  "Equivalent Fluid Pressure"};
inline constexpr std::array<std::string_view, 4> kSteelLibraryItems{"North American", "Australian",
                                                                    "British", "European"};
inline constexpr std::array<std::string_view, 3> kRebarStandardItems{"US", "European", "Canadian"};
inline constexpr std::array<std::string_view, 2> kTieTypeItems{"Tie", "Spiral"};
inline constexpr std::array<std::string_view, 2> kShoredHeightFillItems{"Concrete on Shored Height",
                                                                        "Slurry on Shored Height"};
inline constexpr std::array<std::string_view, 4> kLaggingTypeItems{"None", "Timber Lagging",
                                                                   "Steel Plate", "Conc. Lagging"};
inline constexpr std::array<std::string_view, 2> kLaggingConcreteItemsEnglish{"3.0", "4.5"};
inline constexpr std::array<std::string_view, 2> kLaggingConcreteItemsSI{"21", "32"};
inline constexpr std::array<std::string_view, 3> kLumberGradeItems{"#1", "#2", "S.S."};
inline constexpr std::array<std::string_view, 2> kAllowablePassiveItems{"Ultimate Passive",
                                                                        "Allowable Passive"};

// The list item of a choice: its text in the list, or the stored number itself when the number
// is outside the list (a project file may hold any number).
template <std::size_t N, class E>
std::string ItemText(const std::array<std::string_view, N>& items, E value)
{
    const auto index = static_cast<long long>(value);
    return index >= 0 && index < static_cast<long long>(N)
               ? std::string(items[static_cast<std::size_t>(index)])
               : std::to_string(index);
}

// The reinforcement choices offered for an installation: a rebar cage only in a drilled hole.
inline std::span<const std::string_view> ReinforcementItemsFor(TInstallMethod install)
{
    return std::span<const std::string_view>(kReinforcementItems)
        .first(install == TInstallMethod::imDrilled ? 3 : 2);
}

// The lagging concrete strength items of a unit system.
inline std::span<const std::string_view> LaggingConcreteItems(TUnitSystem units)
{
    return units == TUnitSystem::usSI
               ? std::span<const std::string_view>(kLaggingConcreteItemsSI)
               : std::span<const std::string_view>(kLaggingConcreteItemsEnglish);
}

} // namespace tw
