// The verdicts of an analysed wall: every check with whether it applies to this wall, whether
// it passes, its caption and its utilization. Decided here once, from the results; the window's
// marks, the report's red rows, the command line, the section search, the studies and the
// results JSON all read this list, so one wall has one answer everywhere.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tw {

class TTWData;

// In the order in which a failure is named when several fail.
enum class TCheckId : uint8_t
{
    Moment,
    Shear,
    Axial,
    Interaction,
    Slenderness,
    SectionModulus,
    MaxDeflection,
    HoleFit,
    RoundClass,
    RebarAxial,
    RebarMoment,
    TieSpacing,
    LaggingBending,
    LaggingShear,
    LaggingDeflection,
    LaggingSize,
    LaggingConcrete,
    GuardrailCompression,
    GuardrailMoment,
    GuardrailWeldY,
    GuardrailWeldX,
    Count
};
inline constexpr std::size_t kWallCheckCount = static_cast<std::size_t>(TCheckId::Count);

struct TVerdict
{
    TCheckId id = TCheckId::Moment;
    std::string_view key;     // identifier in the results JSON, e.g. "TieSpacing"
    std::string_view caption; // how the check is named to the user, e.g. "Tie spacing"
    bool applies = false;     // the check belongs to this kind of wall
    bool passes = true;       // meaningful only where it applies
    // Demand over capacity in %, NaN where the check has none (a class, a spacing rule, a
    // size found in a table) or the capacity is undefined.
    long double utilization = 0;
};

struct TVerdicts
{
    std::array<TVerdict, kWallCheckCount> items{};

    const TVerdict& operator[](TCheckId id) const { return items[static_cast<std::size_t>(id)]; }
    // Every check that applies passes.
    bool AllPass() const;
    // The first check that applies and fails, in the order of TCheckId; null when all pass.
    const TVerdict* FirstFailure() const;
    // The applying check with the largest finite utilization; null when none has one.
    const TVerdict* Governing() const;
};

// The verdicts of a wall whose analysis completed. A wall whose analysis failed has no verdicts:
// its results are not the wall's.
TVerdicts WallVerdicts(const TTWData& analysed);

} // namespace tw
