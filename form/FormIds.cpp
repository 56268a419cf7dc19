#include "form/FormIds.h"

#include <array>

namespace tw::form {

namespace {

constexpr std::array<TBoxDef, kBoxCount> kBoxDefs{{
#define X(id, section, tag, caption, unit, flags)                                                  \
    {#id, Section::section, tag, caption, UnitKind::unit, static_cast<uint8_t>(flags)},
    TW_FORM_BOXES(X)
#undef X
}};

constexpr std::array<TListDef, kListCount> kListDefs{{
#define X(id, section, caption) {#id, Section::section, caption},
    TW_FORM_LISTS(X)
#undef X
}};

constexpr std::array<TCheckDef, kCheckCount> kCheckDefs{{
#define X(id, section, caption) {#id, Section::section, caption},
    TW_FORM_CHECKS(X)
#undef X
}};

constexpr std::array<TCheckDef, kLabelCount> kLabelDefs{{
#define X(id, section, caption) {#id, Section::section, caption},
    TW_FORM_LABELS(X)
#undef X
}};

constexpr std::array<TVerdictDef, kVerdictCount> kVerdictDefs{{
#define X(id, section) {#id, Section::section},
    TW_FORM_VERDICTS(X)
#undef X
}};

constexpr std::array<std::string_view, kSectionCount> kSectionNames{{
#define X(id, caption) #id,
    TW_FORM_SECTIONS(X)
#undef X
}};

constexpr std::array<std::string_view, kSectionCount> kSectionCaptions{{
#define X(id, caption) caption,
    TW_FORM_SECTIONS(X)
#undef X
}};

struct TUnitText
{
    std::string_view english, si;
};

constexpr std::array<TUnitText, 23> kUnitTexts{{
    {"", ""},         {"ft", "m"},           {"pcf", "kN/m^3"},
    {"psf", "kPa"},   {"psf/ft", "kN/m^3"},  {"k", "kN"},
    {"k-ft", "kN-m"}, {"k-ft/ft", "kN-m/m"}, {"lb/ft", "kN/m"},
    {"ksi", "MPa"},   {"in", "mm"},          {"in", "cm"},
    {"psi", "MPa"},   {"10^6 psi", "GPa"},   {"lb-ft/ft", "kN-m/m"},
    {"plf", "kN/m"},  {"lbf", "kN"},         {"in^2", "mm^2"},
    {"in^3", "mm^3"}, {"in^3", "cm^3"},      {"degrees", "degrees"},
    {"%", "%"},       {"pci", "kN/m^3"},
}};

} // namespace

std::string_view UnitLabel(UnitKind kind, bool si)
{
    const TUnitText& t = kUnitTexts.at(static_cast<std::size_t>(kind));
    return si ? t.si : t.english;
}

const TBoxDef& BoxDef(Box box)
{
    return kBoxDefs.at(static_cast<std::size_t>(box));
}
const TListDef& ListDef(List list)
{
    return kListDefs.at(static_cast<std::size_t>(list));
}
const TCheckDef& CheckDef(Check check)
{
    return kCheckDefs.at(static_cast<std::size_t>(check));
}
const TCheckDef& LabelDef(Label label)
{
    return kLabelDefs.at(static_cast<std::size_t>(label));
}
const TVerdictDef& VerdictDef(Verdict verdict)
{
    return kVerdictDefs.at(static_cast<std::size_t>(verdict));
}
std::string_view SectionName(Section section)
{
    return kSectionNames.at(static_cast<std::size_t>(section));
}
std::string_view SectionDesignCaption(Section section)
{
    return kSectionCaptions.at(static_cast<std::size_t>(section));
}
std::string_view TitleTextCaption(TitleText text)
{
    static constexpr std::array<std::string_view, kTitleTextCount> kCaptions{
        "Organization", "Project Name", "Design by", "Job #"};
    return kCaptions.at(static_cast<std::size_t>(text));
}

std::string_view PointColumnHead(bool pressure, bool si)
{
    if (pressure)
        return si ? "w, kPa" : "w, ksf";
    return si ? "x, m" : "x, ft";
}

} // namespace tw::form
