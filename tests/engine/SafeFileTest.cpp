// Files written and read safely: a write that fails half-way leaves the old file and nothing
// else, and only regular files of a sane size are read.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ProjectFileTestSupport.h"
#include "engine/SafeFile.h"
#include "engine/TWClasses.h"
#include "support/SmallDisk.h"

using namespace tw;
using namespace tw::test;
namespace fs = std::filesystem;
using tw::test::NamesIn;

namespace {

} // namespace

TEST(SafeFile, AWriteOntoAFullDiskLeavesTheOldFileAndNothingElse)
{
    TempFolder dir;
    const TSmallDisk disk(dir.Path / "disk", "64k");
    if (!disk.Mounted())
        GTEST_SKIP() << disk.Reason();
    const fs::path target = dir.Path / "disk" / "wall.btw";
    WriteAll(target, "the old file");
    ASSERT_TRUE(disk.Fill("filler"));

    const struct
    {
        const char* name;
        std::function<void()> write;
    } writes[] = {
        {"bytes", [&] { WriteFileAtomically(target, std::string(100000, 'x')); }},
        {"stream",
         [&] {
             WriteFileAtomically(target, [](std::ostream& out) {
                 for (int i = 0; i < 10000; ++i)
                     out << "line " << i << '\n';
             });
         }},
        {"project", [&] { EveryFieldSet().SaveToFile(target); }},
    };
    for (const auto& w : writes) {
        try {
            w.write();
            ADD_FAILURE() << w.name << ": written onto a full disk";
        } catch (const TFileError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(target.string() + ": No space left on device"),
                      std::string::npos)
                << w.name << ": " << message;
        }
        EXPECT_EQ(ReadAll(target), "the old file") << w.name;
        EXPECT_EQ(NamesIn(dir.Path / "disk"), (std::vector<std::string>{"filler", "wall.btw"}))
            << w.name;
    }
}

TEST(SafeFile, OnlyRegularProjectFilesOfASaneSizeAreRead)
{
    TempFolder dir;
    fs::create_symlink("/dev/zero", dir.Path / "zero.btw");
    {
        std::ofstream(dir.Path / "huge.btw", std::ios::binary).put('\0');
        fs::resize_file(dir.Path / "huge.btw", kMaxProjectFileBytes + 1);
    }
    const struct
    {
        const char* name;
        const char* message;
    } cases[] = {
        {"zero.btw", "zero.btw: it is a device, not a regular file"},
        {"huge.btw", "huge.btw is 65 MB; project files larger than 64 MB are refused"},
    };
    for (const auto& c : cases) {
        TTWData p;
        try {
            p.LoadFromFile(dir.Path / c.name);
            ADD_FAILURE() << c.name << " was read";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}
