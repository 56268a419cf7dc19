// The user manual the build renders: its chapters in order, the inputs reference made from the
// program's tables, and its pictures.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
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
          "6 Files and settings", "Appendix A: The command line"}) {
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
    // What the program's developers measure and check stays in their documents.
    for (const char* developers : {"Verification and speed", "x87", "bench/", "make bench"})
        EXPECT_FALSE(text.contains(QString::fromLatin1(developers))) << developers;
}

TEST(Manual, ItsContentsGiveThePageOfEveryChapterAndSection)
{
    const QString pdf = QStringLiteral(TW_MANUAL_PDF);
    const auto page = [&](int n) {
        return Output(QStringLiteral("pdftotext"),
                      {QStringLiteral("-f"), QString::number(n), QStringLiteral("-l"),
                       QString::number(n), QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    };
    const QString info = Output(QStringLiteral("pdfinfo"), {pdf});
    const int pages =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
    ASSERT_GT(pages, 10);
    // Every page says its number at its foot.
    for (int n = 1; n <= pages; ++n)
        EXPECT_TRUE(page(n).contains(QStringLiteral("Page %1 of %2").arg(n).arg(pages)))
            << "page " << n;
    // The contents: a title and its page number on each line, up to the first chapter.
    const QString front = page(1) + page(2) + page(3);
    const qsizetype start = front.indexOf(QStringLiteral("Contents"));
    ASSERT_GE(start, 0);
    static const QRegularExpression entry(QStringLiteral("^\\s*(\\S.*\\S)\\s+(\\d+)\\s*$"));
    int entries = 0;
    for (const QString& line : front.mid(start).split(QLatin1Char('\n')).mid(1)) {
        if (line.trimmed().isEmpty() || line.contains(QStringLiteral("User Manual Tarnwick")))
            continue; // a blank line, the footer
        const auto m = entry.match(line);
        if (!m.hasMatch())
            break; // the first chapter
        ++entries;
        const int at = m.captured(2).toInt();
        ASSERT_TRUE(at >= 1 && at <= pages) << line.toStdString();
        EXPECT_TRUE(page(at).simplified().contains(m.captured(1).simplified()))
            << m.captured(1).toStdString() << " is not on page " << at;
    }
    EXPECT_GE(entries, 20);
}

#endif
