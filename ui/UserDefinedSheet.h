// The "User Defined Sheet Pile" dialog: the five properties of the user's own sheet pile section
// (width, height, thickness, Ix and Sx per unit length of wall), edited on a copy of the section.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include <QDialog>

#include "engine/BeamShapes.h"
#include "engine/Globals.h"
#include "engine/TWClasses.h"

class QLabel;
class QPushButton;

namespace tw::ui {

class TNumericEdit;

class TfrmUserDefinedSheet : public QDialog
{
    Q_OBJECT

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

    explicit TfrmUserDefinedSheet(QWidget* parent = nullptr);

    // Takes a copy of the section, labels the units of the system and writes the five values.
    void load(const TSteelShape& shape, bool si);
    // The copy with the five edits read back (text that is not a number reads as 0); the
    // other fields are those given to load.
    TSteelShape section() const;

    TNumericEdit* edit(Field field) const { return edits_[field]; }
    QLabel* unitLabel(Field field) const { return units_[field]; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    // Enter on an edit moves on to the next control, as Tab does.
    void keyPressEvent(QKeyEvent* event) override;
    // An edit that loses the focus is rewritten with two decimals.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    long double readEdit(Field field) const;
    void reformat(Field field);

    TSteelShape shape_;
    const InputLimitTable* limits_ = &EnglishInputLimits();
    std::array<TNumericEdit*, kFieldCount> edits_{};
    std::array<QLabel*, kFieldCount> units_{};
    // Every label with the caption it has in English units.
    std::vector<std::pair<QLabel*, QString>> captions_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Runs the dialog on the project's current section (the user section while "User Defined" is
// chosen). On OK the edited copy becomes the project's user section and true is returned; on
// Cancel the project is left as it was.
bool EditUserSheetPile(TTWData& project, QWidget* parent);

} // namespace tw::ui
