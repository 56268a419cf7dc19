#include "form/UserSheetForm.h"

namespace tw::form {

namespace {

struct TFieldDef
{
    std::string_view caption;
    std::string_view unit; // English; the SI label has "cm" for "in"
    long double TSteelShape::*member;
};

constexpr std::array<TFieldDef, TUserSheetForm::kFieldCount> kFields{{
    {"Width", "in", &TSteelShape::d},
    {"Height", "in", &TSteelShape::bf},
    {"Thickness", "in", &TSteelShape::tw},
    {"Ix", "in^4", &TSteelShape::Ix},
    {"Sx", "in^3", &TSteelShape::Sx},
}};

const TFieldDef& Def(TUserSheetForm::Field field)
{
    return kFields[static_cast<std::size_t>(field)];
}

const InputLimitTable& Limits(bool si)
{
    return InputLimitsFor(si ? TUnitSystem::usSI : TUnitSystem::usEnglish);
}

} // namespace

void TUserSheetForm::Load(const TSteelShape& shape, bool si)
{
    shape_ = shape;
    si_ = si;
}

std::string_view TUserSheetForm::Caption(Field field)
{
    return Def(field).caption;
}

std::string TUserSheetForm::Unit(Field field) const
{
    std::string unit(Def(field).unit);
    if (si_)
        unit.replace(0, 2, "cm");
    return unit;
}

std::string TUserSheetForm::Text(Field field, const TNumberFormat& format) const
{
    return ShowNumber(Limits(si_), Tag::DialogNumber, false, shape_.*Def(field).member, format);
}

void TUserSheetForm::SetText(Field field, std::string_view text, const TNumberFormat& format)
{
    shape_.*Def(field).member =
        ReadNumber(Limits(si_), Tag::DialogNumber, text, 0, 0, format).value;
}

} // namespace tw::form
