// Project files: the logo as stored, and damaged or foreign files refused safely (a wrong
// format, never a crash, an allocation the file cannot back, or an unsafe index).
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ProjectFileTestSupport.h"
#include "engine/ProjectFile.h"
#include "engine/TWClasses.h"

using namespace tw;
using namespace tw::test;

// --- Logo -----------------------------------------------------------------------------

TEST(ProjectFileLogo, LogoBytesRoundTripAndLengthZeroIsNoLogo)
{
    TTWData p;
    p.SetLogoJpeg(SmallJpeg());
    EXPECT_EQ(Loaded(Save(p)).Logo(), SmallJpeg());
    FileBytes f;
    f.Header("1.21").EmptyVariablePart();
    TTWData q;
    q.SetLogoJpeg(SmallJpeg());
    Load(q, Complete(f.s, "1.21"));
    EXPECT_FALSE(q.HasLogo()) << "the previous logo is freed";
}

TEST(ProjectFileLogo, CorruptJpegIsAnErrorOfTheDecoder)
{
    std::vector<uint8_t> jpeg = SmallJpeg();
    jpeg.resize(jpeg.size() / 2);
    FileBytes f;
    f.Header("1.21").Text("").I64(static_cast<int64_t>(jpeg.size()));
    f.Raw(std::string(jpeg.begin(), jpeg.end())).Text("").Text("").Text("");
    TTWData q;
    EXPECT_THROW(Load(q, f.s), std::runtime_error);
    FileBytes g;
    g.Header("1.21").Text("").I64(5).Raw("hello").Text("").Text("").Text("");
    try {
        Load(q, g.s);
        ADD_FAILURE() << "not a JPEG, but accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("logo"), std::string::npos) << e.what();
    }
}

TEST(ProjectFileLogo, LengthsTheFileCannotHoldAreRefusedNotAllocated)
{
    for (const int64_t length :
         {int64_t{-1}, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(),
          int64_t{1} << 40, int64_t{2000}}) {
        SCOPED_TRACE(length);
        FileBytes f;
        f.Header("1.21").Text("").I64(length).Text("").Text("").Text("");
        f.Raw(std::string(1134, '\0'));
        // A negative length is no length; a longer one than the file holds, a file that
        // ends in its logo.
        const std::string expected = length < 0
                                         ? "Wrong file format"
                                         : "The project file is damaged: it ends after " +
                                               std::to_string(f.s.size()) +
                                               " bytes, in the logo, and holds none of the inputs";
        // From a stream that can seek, and from one that cannot: read in pieces, and it ends
        // too soon.
        for (const bool seekable : {true, false}) {
            std::istringstream bytes(f.s, std::ios::binary);
            PipeBuf pipe(f.s);
            std::istream unseekable(&pipe);
            TTWData p;
            try {
                p.LoadFromStream(seekable ? static_cast<std::istream&>(bytes) : unseekable);
                ADD_FAILURE() << "the file was accepted";
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(e.what(), expected) << seekable;
            }
        }
    }
}

TEST(ProjectFileLogo, AStreamThatCannotSeekStillReadsTheLogo)
{
    const TTWData p = EveryFieldSet();
    const std::string b = Save(p);
    PipeBuf pipe(b);
    std::istream in(&pipe);
    TTWData q;
    q.LoadFromStream(in);
    EXPECT_EQ(q.Logo(), p.Logo());
    EXPECT_EQ(Save(q), b);
}

// --- Bad files ------------------------------------------------------------------------

TEST(ProjectFileBadFiles, WrongProductOrHeaderIsAWrongFormat)
{
    TTWData p;
    const std::string b = Save(p);
    std::string wrong = b;
    wrong[5] = 'X';
    ExpectWrongFormat(wrong);
    wrong = b;
    wrong[0] = 16;
    ExpectWrongFormat(wrong);
    ExpectWrongFormat(FileBytes().Header("1.21", "Brenmoor Tarnwick2").EmptyVariablePart().s);
    ExpectWrongFormat("");
    ExpectWrongFormat(b.substr(0, 63));
    // Bytes behind the product string in its field do not matter.
    std::string tail = b;
    tail[40] = 'Z';
    EXPECT_NO_THROW(Loaded(tail));
}

TEST(ProjectFileBadFiles, StoredTextLengthAbove255IsAWrongFormat)
{
    FileBytes f;
    f.Header("1.21").Text(std::string(256, 'a')).I64(0).Text("").Text("").Text("");
    ExpectWrongFormat(f.s);
}

TEST(ProjectFileBadFiles, AFileCutOffAnywhereAfterItsHeaderIsRefusedAsDamaged)
{
    // The English example cut after every byte from the header on: refused with the file's
    // name and where it ends (among its texts, or in its inputs, of how many bytes); only the
    // whole file opens, never one with defaults in place of its last items. (A cut in the
    // logo: LengthsTheFileCannotHoldAreRefusedNotAllocated.)
    TempFolder dir;
    const std::filesystem::path path = dir.Path / "wall.btw";
    const std::string whole = EnglishExampleFile();
    const TTWData p = Loaded(whole);
    const std::size_t variableEnd = kFixedStart + p.Organization.size() + p.ProjectName.size() +
                                    p.JobNumber.size() + p.DesignedBy.size();
    ASSERT_EQ(whole.size(), variableEnd + 1134);
    for (std::size_t n = kHeader; n <= whole.size(); ++n) {
        SCOPED_TRACE(n);
        WriteAll(path, whole.substr(0, n));
        TTWData q;
        std::string message;
        try {
            q.LoadFromFile(path);
        } catch (const std::runtime_error& e) {
            message = e.what();
        }
        const std::string damaged =
            path.string() + " is damaged: it ends after " + std::to_string(n);
        if (n == whole.size())
            EXPECT_EQ(message, "");
        else if (n >= variableEnd)
            EXPECT_EQ(message, damaged + " of " + std::to_string(whole.size()) + " bytes");
        else
            EXPECT_EQ(message.substr(0, damaged.size() + 11), damaged + " bytes, in ");
    }
}

TEST(ProjectFileBadFiles, IndicesAndEnumerationsOutOfRangeAreSafeInTheAnalysis)
{
    TTWData p = EveryFieldSet();
    p.ShoredHeight = 12;
    p.PileSpacing = 8;
    p.SubgradeModulus = 0; // no extension: the fixed part ends the file
    const std::string b = Save(p);
    const std::size_t f = b.size() - 1134;
    for (const int32_t bad :
         {-7, 99, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
        SCOPED_TRACE(bad);
        std::string c = b;
        for (std::size_t at :
             {9, 13, 17, 21, 25, 69, 133, 158, 555, 559, 851, 855, 859, 863, 867, 891, 1090})
            PutLE32(reinterpret_cast<uint8_t*>(c.data()) + f + at, static_cast<uint32_t>(bad));
        c[f + 8] = static_cast<char>(bad & 0xFF);   // Units
        c[f + 554] = static_cast<char>(bad & 0xFF); // SteelLibrary
        c[f + 895] = '\xFF';                        // user section name length
        TTWData q = Loaded(c);
        EXPECT_EQ(q.BeamIndex, bad);
        (void)q.GetSection();
        (void)q.SelectedGuardrailShape();
        try {
            q.Analyze();
        } catch (const std::exception&) {
            // A failed analysis is an answer; reading outside a table would not be.
        }
    }
}
