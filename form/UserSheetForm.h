// The "User Defined Sheet Pile" dialog without widgets: the five properties of the user's own
// sheet pile section (width, height, thickness, Ix and Sx per unit length of wall) on a copy of
// the section, with their captions and unit labels in the project's unit system and the texts
// the dialog's boxes show. The main form stores the confirmed section (TMainForm::
// SetUserSection).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/BeamShapes.h"
#include "engine/Globals.h"

namespace tw::form {

class TUserSheetForm
{
public:
    enum Field
    {
        fWidth,
        fHeight,
        fThickness,
        fIx,
        fSx,
        kFieldCount
    };

    // Takes a copy of the section in the given unit system.
    void Load(const TSteelShape& shape, bool si);

    static std::string_view Caption(Field field);
    // "in", "in^4", ... in English units; "cm", "cm^4", ... in SI.
    std::string Unit(Field field) const;
    // The value of a field as its box shows it: two decimals, no limits.
    std::string Text(Field field, const TNumberFormat& format) const;
    // A box's text read into its field (thousands separators dropped, text that is not a number
    // reads as 0); Text then shows it as read.
    void SetText(Field field, std::string_view text, const TNumberFormat& format);

    // The copy with the five fields as read; its other fields are those given to Load.
    const TSteelShape& Section() const { return shape_; }

private:
    TSteelShape shape_;
    bool si_ = false;
};

} // namespace tw::form
