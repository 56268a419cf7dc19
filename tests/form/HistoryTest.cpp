#include <gtest/gtest.h>

#include <sstream>

#include "form/MainForm.h"
#include "support/OpenWall.h"

using namespace tw;
using namespace tw::form;
using tw::test::OpenWallAs;

namespace {

std::string Stored(const TTWData& p)
{
    std::ostringstream out;
    p.SaveToStream(out);
    return out.str();
}

void Type(TMainForm& form, Box b, const std::string& text)
{
    form.EditBox(b, text);
    form.Commit();
}

} // namespace

TEST(History, UndoAndRedoWalkThroughEveryKindOfChange)
{
    auto wall = OpenWallAs(false);
    TMainForm& form = *wall.form;
    EXPECT_FALSE(form.CanUndo());
    std::vector<std::string> states{Stored(*wall.project)};

    Type(form, Box::ShoredHeight, "18");
    states.push_back(Stored(*wall.project));
    form.ChooseListItem(List::LaggingType, 2); // steel plate
    states.push_back(Stored(*wall.project));
    form.SetChecked(Check::StripLoad, true);
    states.push_back(Stored(*wall.project));
    form.ChooseListItem(List::Units, 1); // SI: the numbers stay, their limits change
    states.push_back(Stored(*wall.project));
    form.EditTitle(TitleText::ProjectName, "Wall B");
    form.RememberChange();
    states.push_back(Stored(*wall.project));
    ASSERT_EQ(form.HistorySize(), states.size());
    EXPECT_EQ(form.UndoWhat(), "Project Name");

    const std::vector<std::string> whats{"Project Name", "Units", "Strip Load", "Plate Type",
                                         "Shored Height, H"};
    for (std::size_t i = 0; i < whats.size(); ++i) {
        EXPECT_EQ(form.UndoWhat(), whats[i]);
        ASSERT_TRUE(form.Undo().ok());
        EXPECT_EQ(Stored(*wall.project), states[states.size() - 2 - i]) << whats[i];
    }
    EXPECT_FALSE(form.CanUndo());
    EXPECT_FALSE(form.Modified()) << "back at the state that was opened";
    EXPECT_EQ(form.BoxState(Box::ShoredHeight).text, "15.00");
    EXPECT_EQ(form.ListState(List::LaggingType).index, 1);

    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(form.Redo().ok());
        EXPECT_EQ(Stored(*wall.project), states[i]);
    }
    EXPECT_FALSE(form.CanRedo());
    EXPECT_EQ(form.ListState(List::Units).index, 1);
    EXPECT_EQ(form.Title(TitleText::ProjectName), "Wall B");
}

TEST(History, TheSavedStateAndNewBranches)
{
    auto wall = OpenWallAs(false);
    TMainForm& form = *wall.form;
    Type(form, Box::ShoredHeight, "16");
    Type(form, Box::ShoredHeight, "17");
    form.SetModified(false); // saved at 17 ft
    Type(form, Box::ShoredHeight, "18");
    EXPECT_TRUE(form.Modified());
    form.Undo();
    EXPECT_FALSE(form.Modified()) << "undone back to the saved state";
    form.Undo();
    EXPECT_TRUE(form.Modified());
    // A new change drops the states after it, the saved one included.
    Type(form, Box::ShoredHeight, "20");
    EXPECT_FALSE(form.CanRedo());
    while (form.CanUndo()) {
        form.Undo();
        EXPECT_TRUE(form.Modified());
    }
    // Leaving a box without changing it records nothing.
    const std::size_t size = form.HistorySize();
    form.Commit();
    EXPECT_EQ(form.HistorySize(), size);
}

TEST(History, TheUserDefinedSectionAndTheLogoComeBack)
{
    auto wall = OpenWallAs(false, [](TTWData& p) {
        p.PileType = TPileType::ptSheetPile;
        p.InstallMethod = TInstallMethod::imDriven;
        p.SheetIndex = -1; // the user-defined section
    });
    TMainForm& form = *wall.form;
    TSteelShape user{"MY SHEET", 30, 200, 0, 0, 0, 12, 0, 25, 10, 0, 0, 0, 0};
    form.SetUserSection(user);
    EXPECT_EQ(form.UndoWhat(), "User-Defined Sheet Pile");
    form.SetLogo({});
    const std::vector<uint8_t> rgb(8 * 8 * 3, 200);
    TTWData withLogo;
    withLogo.SetLogoImage(8, 8, rgb);
    form.SetLogo(withLogo.Logo());
    form.RememberChange();
    EXPECT_TRUE(wall.project->HasLogo());
    form.Undo();
    EXPECT_FALSE(wall.project->HasLogo());
    EXPECT_TRUE(form.Logo().empty());
    form.Undo();
    EXPECT_NE(wall.project->UserSection.Name, "MY SHEET");
    form.Redo();
    EXPECT_EQ(wall.project->UserSection, user);
}

// Choosing a list item commits at once, and leaving the list commits again: one action, one
// step of the history, whatever the second recalculation settles.
TEST(History, AListChoiceAndLeavingTheListAreOneStep)
{
    auto wall = OpenWallAs(false, [](TTWData& p) {
        p.PileType = TPileType::ptSheetPile;
        p.InstallMethod = TInstallMethod::imDriven;
    });
    TMainForm& form = *wall.form;
    const std::string sheetPile = Stored(*wall.project);
    form.ChooseListItem(List::PileType, static_cast<int>(TPileType::ptSecantPile));
    form.Commit();
    ASSERT_EQ(wall.project->PileType, TPileType::ptSecantPile);
    EXPECT_EQ(form.UndoWhat(), "Pile Type");
    form.Undo();
    EXPECT_TRUE(Stored(*wall.project) == sheetPile) << "one undo goes back to the sheet pile";
}

TEST(History, NewAndOpenStartAfresh)
{
    auto wall = OpenWallAs(false);
    Type(*wall.form, Box::ShoredHeight, "18");
    ASSERT_TRUE(wall.form->CanUndo());
    wall.form->AfterOpen();
    EXPECT_FALSE(wall.form->CanUndo());
    EXPECT_EQ(wall.form->HistorySize(), 1u);
}

TEST(History, ConvertingTheUnitsIsOneStep)
{
    auto wall = OpenWallAs(false);
    TMainForm& form = *wall.form;
    const long double length = wall.project->TotalPileLength;
    std::vector<std::string> notes;
    ASSERT_TRUE(form.ConvertUnits(TUnitSystem::usSI, notes).ok());
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(form.ListState(List::Units).index, 1);
    EXPECT_EQ(form.BoxState(Box::ShoredHeight).text, "4.57");
    EXPECT_EQ(form.BoxState(Box::ShoredHeight).unit, "m");
    // Shown and read back at the boxes' precision (4.572 m as 4.57 m), the wall is still the
    // same to the precision the results are shown with.
    EXPECT_NEAR(static_cast<double>(wall.project->TotalPileLength),
                static_cast<double>(length * 0.3048L), 0.01);
    EXPECT_EQ(form.UndoWhat(), "Convert to SI Units");
    form.Undo();
    EXPECT_EQ(form.BoxState(Box::ShoredHeight).text, "15.00");
    EXPECT_EQ(wall.project->TotalPileLength, length);
}

TEST(History, ConvertingTellsOfTheValuesTheNewUnitsChange)
{
    // A 30 ft wall is 9.14 m, beyond the SI maximum: the window's message says so with the
    // value the window then shows.
    auto wall = OpenWallAs(false, [](TTWData& p) { p.ShoredHeight = 30; });
    TMainForm& form = *wall.form;
    std::vector<std::string> notes;
    ASSERT_TRUE(form.ConvertUnits(TUnitSystem::usSI, notes).ok());
    EXPECT_EQ(notes, std::vector<std::string>{"Shored Height, H 9.14 m changed to " +
                                              form.BoxState(Box::ShoredHeight).text +
                                              " m (between the limits 0.80 and 9.00)"});
}
