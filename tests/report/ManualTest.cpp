// The user manual the build renders: its chapters in order, the inputs reference made from the
// program's tables, and its pictures.
#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

#ifdef TW_MANUAL_PDF

namespace {

QString Output(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

TEST(Manual, HasItsChaptersAndPictures)
{
    const QString pdf = QStringLiteral(TW_MANUAL_PDF);
    const QString text = Output(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_FALSE(text.isEmpty()) << "the manual was not built";
    qsizetype from = 0;
    for (const char* heading :
         {"User Manual Tarnwick", "1 Getting started", "2 Inputs",
          "Reference of the numeric inputs", "3 Results and checks", "References",
          "4 Drawings, graphs, table and report", "5 Design aids", "Parametric Study",
          "6 Files and settings", "Appendix A: The command line",
          "Appendix B: Verification and speed"}) {
        const qsizetype at = text.indexOf(QString::fromLatin1(heading), from);
        EXPECT_GE(at, 0) << heading << " missing or out of order";
        if (at >= 0)
            from = at;
    }
    // The reference carries the limits of both unit systems from the program's tables
    // (Shored Height, H: 3 to 30 ft, 0.8 to 9 m).
    const qsizetype shored = text.indexOf(QStringLiteral("Shored Height, H"));
    ASSERT_GE(shored, 0);
    EXPECT_GE(text.indexOf(QStringLiteral("3.00 to 30.00"), shored), 0);
    EXPECT_GE(text.indexOf(QStringLiteral("0.80 to 9.00"), shored), 0);
    const QStringList images =
        Output(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split('\n');
    EXPECT_GE(images.filter(QStringLiteral(" image ")).size(), 3);
}

#endif
