// The "User Defined Sheet Pile" dialog: the five properties of the user's own sheet pile section
// (width, height, thickness, Ix and Sx per unit length of wall), edited on a copy of the section.
#pragma once

#include <array>
#include <optional>

#include <QDialog>

#include "engine/BeamShapes.h"
#include "engine/TWClasses.h"
#include "form/MainForm.h"
#include "form/UserSheetForm.h"

class QLabel;
class QPushButton;

namespace tw::ui {

class TNumericEdit;

class TfrmUserDefinedSheet : public QDialog
{
    Q_OBJECT

public:
    using Field = form::TUserSheetForm::Field;
    static constexpr Field fWidth = form::TUserSheetForm::fWidth;
    static constexpr Field fHeight = form::TUserSheetForm::fHeight;
    static constexpr Field fThickness = form::TUserSheetForm::fThickness;
    static constexpr Field fIx = form::TUserSheetForm::fIx;
    static constexpr Field fSx = form::TUserSheetForm::fSx;
    static constexpr int kFieldCount = form::TUserSheetForm::kFieldCount;

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
    void reformat(Field field);

    // The section, its captions, units and texts; section() reads the boxes into it.
    mutable form::TUserSheetForm model_;
    std::array<TNumericEdit*, kFieldCount> edits_{};
    std::array<QLabel*, kFieldCount> units_{};
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Runs the dialog on the project's current section (the user section while "User Defined" is
// chosen). On OK the form takes the edited copy as the project's user section and recalculates
// (its outcome is returned); on Cancel the project is left as it was and nothing is returned.
std::optional<form::TCommitResult> EditUserSheetPile(form::TMainForm& form, QWidget* parent);

} // namespace tw::ui
