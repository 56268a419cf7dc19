// Project files on the file system: saving and loading through paths, failures that leave
// the project and the old file as they were, and New starting from the example files.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ProjectFileTestSupport.h"
#include "engine/TWClasses.h"

using namespace tw;
using namespace tw::test;
namespace fs = std::filesystem;

// --- Files ----------------------------------------------------------------------------

TEST(ProjectFileFiles, SaveAndLoadThroughTheFileSystem)
{
    TempFolder dir;
    const TTWData p = EveryFieldSet();
    const fs::path path = dir.Path / "wall.btw";
    p.SaveToFile(path);
    EXPECT_EQ(ReadAll(path), Save(p));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"wall.btw"}) << "no temporary file left";
    TTWData q;
    q.ExampleFolder = "/some/folder";
    q.LoadFromFile(path);
    EXPECT_EQ(Save(q), Save(p));
    EXPECT_EQ(q.ExampleFolder, fs::path("/some/folder"));

    // Saving again replaces the file and keeps its permissions.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    TTWData r;
    r.SaveToFile(path);
    EXPECT_EQ(ReadAll(path), Save(r));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"wall.btw"});
}

TEST(ProjectFileFiles, AFailedLoadLeavesTheProjectAsItWas)
{
    TempFolder dir;
    TTWData p = EveryFieldSet();
    const std::string before = Save(p);

    try {
        p.LoadFromFile(dir.Path / "missing.btw");
        ADD_FAILURE() << "a missing file loaded";
    } catch (const std::runtime_error& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("missing.btw"), std::string::npos) << message;
        EXPECT_NE(message.find("No such file"), std::string::npos) << message;
    }
    EXPECT_EQ(Save(p), before);

    EXPECT_THROW(p.LoadFromFile(dir.Path), std::runtime_error) << "a folder is no project";
    EXPECT_EQ(Save(p), before);

    WriteAll(dir.Path / "newer.btw", WithVersion(Save(TTWData()), "1.22"));
    EXPECT_THROW(p.LoadFromFile(dir.Path / "newer.btw"), std::runtime_error);
    EXPECT_EQ(Save(p), before);

    FileBytes bad;
    bad.Header("1.21").Text("Org").I64(4).Raw("\xFF\xD8\xFF\xE0").Text("").Text("").Text("");
    WriteAll(dir.Path / "badlogo.btw", bad.s);
    EXPECT_THROW(p.LoadFromFile(dir.Path / "badlogo.btw"), std::runtime_error);
    EXPECT_EQ(Save(p), before);
    EXPECT_EQ(p.Organization, "Org \xE9tude");
}

TEST(ProjectFileFiles, AFailedSaveLeavesTheOldFileAndNoTemporaryFile)
{
    TempFolder dir;
    const TTWData p = EveryFieldSet();

    // The target's folder is a regular file: nothing can be created there.
    WriteAll(dir.Path / "plain", "not a folder");
    try {
        p.SaveToFile(dir.Path / "plain" / "wall.btw");
        ADD_FAILURE() << "saved inside a file";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("wall.btw"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ReadAll(dir.Path / "plain"), "not a folder");

    // The target is a folder with a file in it: the temporary file is written, the rename
    // fails, the folder stays as it was and the temporary file is removed.
    fs::create_directory(dir.Path / "taken.btw");
    WriteAll(dir.Path / "taken.btw" / "inside", "old");
    EXPECT_THROW(p.SaveToFile(dir.Path / "taken.btw"), std::runtime_error);
    EXPECT_EQ(ReadAll(dir.Path / "taken.btw" / "inside"), "old");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"plain", "taken.btw"}));
}

// --- New project from the example files ----------------------------------------------

class ProjectFileExamples : public ::testing::Test
{
protected:
    // An example with texts, a logo and an old date, so that New visibly clears them.
    void WriteExample(const char* name, TUnitSystem units, long double shoredHeight)
    {
        TTWData e;
        e.NewProject(true);
        e.SetUnitSystem(units);
        e.ShoredHeight = shoredHeight;
        e.BackfillPhi = 32;
        e.StripLoadOn = true;
        e.Organization = "Example org";
        e.ProjectName = "Example";
        e.JobNumber = "E-1";
        e.DesignedBy = "Examiner";
        e.SetLogoJpeg(SmallJpeg());
        e.ProjectDate = DateSerial(2003, 3, 3);
        e.SaveToFile(Dir.Path / name);
    }

    TempFolder Dir;
};

TEST_F(ProjectFileExamples, NewStartsFromTheExampleWithoutItsTextsLogoAndDate)
{
    WriteExample("ENGLISH UNITS EXAMPLE.btw", TUnitSystem::usEnglish, 15);
    TTWData p;
    p.Organization = "old";
    p.ExampleFolder = Dir.Path;
    p.NewProject(false);
    EXPECT_EQ(p.ShoredHeight, 15.0L);
    EXPECT_EQ(p.BackfillPhi, 32.0L);
    EXPECT_TRUE(p.StripLoadOn);
    EXPECT_EQ(p.Units, TUnitSystem::usEnglish);
    EXPECT_TRUE(p.Organization.empty() && p.ProjectName.empty() && p.JobNumber.empty() &&
                p.DesignedBy.empty());
    EXPECT_FALSE(p.HasLogo());
    EXPECT_EQ(p.ProjectDate, TodaySerial());
    EXPECT_EQ(p.ExampleFolder, Dir.Path);
    // builtInOnly ignores the example.
    p.NewProject(true);
    EXPECT_EQ(p.ShoredHeight, 0.0L);
}

TEST_F(ProjectFileExamples, TheExampleOfTheUnitsInForceIsTheOneLookedFor)
{
    WriteExample("ENGLISH UNITS EXAMPLE.btw", TUnitSystem::usEnglish, 15);
    TTWData p;
    p.ExampleFolder = Dir.Path;
    p.SetUnitSystem(TUnitSystem::usSI);
    p.NewProject(false);
    EXPECT_EQ(p.Units, TUnitSystem::usEnglish) << "no SI example: the built-in defaults";
    EXPECT_EQ(p.ShoredHeight, 0.0L);

    WriteExample("SI UNITS EXAMPLE.btw", TUnitSystem::usSI, 4.5L);
    p.SetUnitSystem(TUnitSystem::usSI);
    p.NewProject(false);
    EXPECT_EQ(p.Units, TUnitSystem::usSI);
    EXPECT_EQ(p.ShoredHeight, 4.5L);
    EXPECT_EQ(&p.Limits(), &SIInputLimits());
    EXPECT_EQ(p.GuardrailShapes(), LoadGuardrailShapes(TUnitSystem::usSI));

    // From an SI project with English units chosen again, the English one.
    p.SetUnitSystem(TUnitSystem::usEnglish);
    p.NewProject(false);
    EXPECT_EQ(p.ShoredHeight, 15.0L);
}

TEST_F(ProjectFileExamples, AMissingOrBadExampleGivesTheDefaultsSilently)
{
    TTWData p;
    p.ExampleFolder = Dir.Path;
    p.ShoredHeight = 20;
    EXPECT_NO_THROW(p.NewProject(false));
    EXPECT_EQ(p.ShoredHeight, 0.0L);

    // A damaged example (cut inside its logo), and one with a logo that is no JPEG.
    TTWData e;
    e.ShoredHeight = 15;
    e.Organization = "Example org";
    e.SetLogoJpeg(SmallJpeg());
    std::string bytes = Save(e);
    WriteAll(Dir.Path / "ENGLISH UNITS EXAMPLE.btw", bytes.substr(0, 100));
    p.ShoredHeight = 20;
    EXPECT_NO_THROW(p.NewProject(false));
    EXPECT_EQ(p.ShoredHeight, 0.0L);
    EXPECT_TRUE(p.Organization.empty());
    bytes[64 + 2 + 11 + 8 + 2] = 'X'; // the JPEG's second marker byte
    WriteAll(Dir.Path / "ENGLISH UNITS EXAMPLE.btw", bytes);
    p.ShoredHeight = 20;
    EXPECT_NO_THROW(p.NewProject(false));
    EXPECT_EQ(p.ShoredHeight, 0.0L);
    EXPECT_FALSE(p.HasLogo());

    // An example that cannot be read at all.
    fs::remove(Dir.Path / "ENGLISH UNITS EXAMPLE.btw");
    fs::create_directory(Dir.Path / "ENGLISH UNITS EXAMPLE.btw");
    EXPECT_NO_THROW(p.NewProject(false));
    EXPECT_EQ(p.ShoredHeight, 0.0L);
    EXPECT_EQ(p.Units, TUnitSystem::usEnglish);
}
