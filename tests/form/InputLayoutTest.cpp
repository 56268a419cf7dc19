// The input column's table: every input part of the window has exactly one place, in its own
// section, so that no box goes missing from the window or shows twice.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "form/InputLayout.h"

using namespace tw::form;

TEST(InputLayout, EveryInputHasOnePlaceInItsOwnSection)
{
    std::map<std::pair<InputItemKind, int>, int> seen;
    std::map<Section, int> sections;
    for (const TSectionItems& section : InputLayout()) {
        ++sections[section.section];
        EXPECT_FALSE(IsResultSection(section.section));
        for (const TInputItem& item : section.items) {
            ++seen[{item.kind, item.id}];
            Section owner = section.section;
            switch (item.kind) {
            case InputItemKind::Box:
                owner = BoxDef(static_cast<Box>(item.id)).section;
                break;
            case InputItemKind::List:
                owner = ListDef(static_cast<List>(item.id)).section;
                break;
            case InputItemKind::Check:
            case InputItemKind::Options:
                owner = CheckDef(static_cast<Check>(item.id)).section;
                break;
            case InputItemKind::Text:
                owner = LabelDef(static_cast<Label>(item.id)).section;
                break;
            default:
                break;
            }
            EXPECT_EQ(owner, section.section) << static_cast<int>(item.kind) << " " << item.id;
        }
    }
    for (int s = 0; s < kSectionCount; ++s)
        EXPECT_EQ(sections[static_cast<Section>(s)],
                  IsResultSection(static_cast<Section>(s)) ? 0 : 1)
            << SectionName(static_cast<Section>(s));

    // Every input box once (the pressure points come as their table); no result box.
    for (int i = 0; i < kBoxCount; ++i) {
        const auto b = static_cast<Box>(i);
        const bool point = BoxDef(b).section == Section::PressureInput;
        const int expected = (BoxDef(b).flags & kResult) || point ? 0 : 1;
        EXPECT_EQ((seen[{InputItemKind::Box, i}]), expected) << BoxDef(b).name;
    }
    for (int i = 0; i < kListCount; ++i)
        EXPECT_EQ((seen[{InputItemKind::List, i}]), 1) << ListDef(static_cast<List>(i)).name;
    // A check box or a pair of option buttons, once.
    for (int i = 0; i < kCheckCount; ++i)
        EXPECT_EQ((seen[{InputItemKind::Check, i}] + seen[{InputItemKind::Options, i}]), 1)
            << CheckDef(static_cast<Check>(i)).name;
    EXPECT_EQ((seen[{InputItemKind::Points, 0}]), 1);
    EXPECT_EQ((seen[{InputItemKind::ViewTable, 0}]), 1);
}
