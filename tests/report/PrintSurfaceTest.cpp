#include <gtest/gtest.h>

#include <QBuffer>
#include <QPdfWriter>

#include <vector>

#include "report/PrintSurface.h"

using namespace tw::report;

namespace {

// A Letter page with 0.5 in margins, drawn into memory.
struct TPage
{
    QByteArray pdf;
    QBuffer buffer{&pdf};
    QPdfWriter writer{&buffer};
    std::unique_ptr<TPrintSurface> surface;
    std::vector<int> ended;

    TPage()
    {
        buffer.open(QIODevice::WriteOnly);
        writer.setPageSize(QPageSize(QPageSize::Letter));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        surface = std::make_unique<TPrintSurface>(writer);
        surface->SetMargins({0.5, 0.5, 0.5, 0.5});
        surface->onEndPage = [this](TPrintSurface&, int page) { ended.push_back(page); };
        surface->GotoXY(0.5, 0.5);
    }
};

} // namespace

TEST(PrintSurface, ColumnsFlowIntoPages)
{
    TPage page;
    TPrintSurface& s = *page.surface;
    EXPECT_DOUBLE_EQ(s.PageWidth(), 8.5);
    EXPECT_DOUBLE_EQ(s.TextWidth(), 7.5);
    s.GotoXY(0.5, 2);
    s.SetColumns(2, 0.2);
    EXPECT_DOUBLE_EQ(s.ColumnWidth(), 3.65);
    s.NextColumn();
    EXPECT_DOUBLE_EQ(s.X(), 0.5 + 3.65 + 0.2);
    EXPECT_DOUBLE_EQ(s.Y(), 2) << "the second column starts at the column top";
    // Lines run down the last column and on to the next page's first column.
    const int lines = s.LinesLeft();
    EXPECT_GT(lines, 40);
    for (int i = 0; i < lines; ++i)
        s.NewLine();
    EXPECT_EQ(s.PageNumber(), 2);
    EXPECT_EQ(s.Column(), 0);
    EXPECT_DOUBLE_EQ(s.Y(), 0.5);
    EXPECT_EQ(page.ended, std::vector<int>{1}) << "the footer of the finished page";
    s.Finish();
    EXPECT_EQ(page.ended, (std::vector<int>{1, 2}));
    EXPECT_TRUE(page.pdf.startsWith("%PDF-"));
}

TEST(PrintSurface, SavedTabStopsComeBack)
{
    TPage page;
    TPrintSurface& s = *page.surface;
    s.AddTab({1, 2, TJustify::Right});
    s.SaveTabs(3);
    s.ClearTabs();
    s.AddTab({4, 1, TJustify::Left});
    s.RestoreTabs(3);
    ASSERT_EQ(s.Tabs().size(), 1u);
    EXPECT_DOUBLE_EQ(s.Tabs()[0].left, 1);
    // Right-justified texts end at the cell's right edge, less the padding.
    const QString text = QStringLiteral("12.50");
    EXPECT_NEAR(s.TabTextLeft(0, text) + s.TextWidthOf(text), 3 - kCellPadding, 1e-9);
    s.RestoreTabs(11); // no such slot: the tabs stay
    EXPECT_EQ(s.Tabs().size(), 1u);
}

TEST(PrintSurface, ImageStreams)
{
    TPage page;
    // A bitmap whose corner colour becomes transparent wherever it appears.
    QImage bmp(4, 2, QImage::Format_RGB32);
    bmp.fill(QColor(240, 240, 240));
    bmp.setPixel(2, 1, qRgb(200, 0, 0));
    const QImage keyed = TPrintSurface::CornerTransparent(bmp);
    EXPECT_EQ(qAlpha(keyed.pixel(3, 0)), 0);
    EXPECT_EQ(keyed.pixel(2, 1), qRgb(200, 0, 0));

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bmp.save(&buffer, "BMP");
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    EXPECT_TRUE(
        page.surface->PrintImageStream(1, 1, 2, 2, {data, std::size_t(bytes.size())}, "BMP"));
    EXPECT_FALSE(
        page.surface->PrintImageStream(1, 1, 2, 2, {data, std::size_t(bytes.size())}, "JPG"))
        << "a bitmap is not a JPEG";
}
