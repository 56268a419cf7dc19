// TPrintSurface: a page-oriented print surface on QPainter, in inches from the page's top left
// corner: margins, a current position that flows line by line, columns, tab stops with shaded
// cells, placed texts, lines and images. It draws on any paged device (a PDF writer, a
// printer, the print preview's printer) and calls back at the end of every page for the
// footer and at the start of every page for progress.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>

#include <array>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace tw::report {

// Texts sit this far (inches) inside their tab cells.
inline constexpr double kCellPadding = 0.02;

enum class TJustify
{
    Left,
    Right,
    Centre,
};

struct TTabStop
{
    double left = 0;  // the cell's left edge, inches from the page's left edge
    double width = 0; // inches
    TJustify justify = TJustify::Left;
    int shade = 0; // background shade in percent of shadeColour (0 none)
    QColor shadeColour = Qt::black;
};

struct TMargins
{
    double left = 1, right = 1, top = 1, bottom = 1;
};

class TPrintSurface
{
public:
    // Draws on the device from its current page on. The device's page layout should have no
    // margins of its own (full page), so that the painter's origin is the page's corner.
    explicit TPrintSurface(QPagedPaintDevice& device);
    ~TPrintSurface();
    TPrintSurface(const TPrintSurface&) = delete;
    TPrintSurface& operator=(const TPrintSurface&) = delete;

    // Called with the page number when a page is finished (draw the footer here) and when a
    // page is started.
    std::function<void(TPrintSurface&, int page)> onEndPage;
    std::function<void(int page)> onStartPage;
    // Ends the last page (its footer) and the painting. A surface not finished ends in its
    // destructor.
    void Finish();
    bool Active() const { return painter_.isActive(); }

    // --- Page ---
    double PageWidth() const { return pageWidth_; }
    double PageHeight() const { return pageHeight_; }
    int PageNumber() const { return page_; }
    const TMargins& Margins() const { return margins_; }
    void SetMargins(const TMargins& margins) { margins_ = margins; }
    void SetBottomMargin(double inches) { margins_.bottom = inches; }
    // Page width less the left and right margins.
    double TextWidth() const { return pageWidth_ - margins_.left - margins_.right; }
    void NewPage();

    // --- Position: X and Y of the current line's top ---
    double X() const { return x_; }
    double Y() const { return y_; }
    void GotoXY(double x, double y);

    // --- Font ---
    // "Arial" resolves to a metric-compatible face where the system has no Arial.
    void SetFont(const QString& family, double points);
    void SetBold(bool bold);
    bool Bold() const { return font_.bold(); }
    void SetTextColour(QColor colour) { colour_ = colour; }
    // Horizontal stretch of the font in percent (100 normal; less condenses the letters).
    void SetStretch(int percent) { font_.setStretch(percent); }
    double LineHeight() const;
    double TextWidthOf(const QString& text) const;

    // --- Line flow ---
    // To the next line at the column's left edge; a line that would not fit above the bottom
    // margin goes to the next column (or page).
    void NewLine();
    // Whole lines still fitting in the current column.
    int LinesLeft() const;

    // --- Columns ---
    // `count` columns across the text width with `gap` inches between them; the column area
    // starts at the current Y.
    void SetColumns(int count, double gap);
    void ClearColumns();
    // To the top of the next column; after the last column, to a new page.
    void NextColumn();
    void SetColumnTop(double y) { columnTop_ = y; }
    double ColumnTop() const { return columnTop_; }
    double ColumnLeft() const;
    double ColumnRight() const;
    double ColumnWidth() const;
    int Column() const { return column_; }

    // --- Tab stops ---
    void ClearTabs();
    void AddTab(const TTabStop& tab) { tabs_.push_back(tab); }
    // Prints the text into the next tab stop of the current line (shading its cell first).
    void Tab(const QString& text);
    // Where the text would start in tab stop `index` (the left edge of its letters).
    double TabTextLeft(std::size_t index, const QString& text) const;
    const std::vector<TTabStop>& Tabs() const { return tabs_; }
    void SaveTabs(int slot);
    void RestoreTabs(int slot);

    // --- Placed text on the current line ---
    void PrintCentre(const QString& text, double x);
    void PrintLeft(const QString& text, double x);
    void PrintRight(const QString& text, double x);
    // On the line just above the bottom margin, between the column edges.
    void PrintFooter(const QString& text, TJustify justify);

    // --- Lines ---
    void MoveTo(double x, double y);
    void LineTo(double x, double y);

    // --- Images, scaled into the rectangle ---
    // "JPG": a JPEG stream, stored as a photograph; "BMP": a bitmap (any format Qt reads)
    // whose colour at pixel (0, 0) is made transparent, stored losslessly. Returns false when
    // the stream cannot be decoded.
    bool PrintImageStream(double x1, double y1, double x2, double y2,
                          std::span<const uint8_t> bytes, std::string_view kind);
    // Line art (drawings, charts) is stored losslessly: JPEG blurs its thin lines and shifts
    // their colours. Photographs may be compressed lossily.
    enum class TImageKind
    {
        LineArt,
        Photo,
    };
    void PrintImage(double x1, double y1, double x2, double y2, const QImage& image,
                    TImageKind kind = TImageKind::LineArt);
    // The image with the colour at its pixel (0, 0) made transparent. The transparent pixels
    // are white, so that a viewer or printer that ignores the transparency shows paper.
    static QImage CornerTransparent(const QImage& image);

private:
    double Px(double inches) const { return inches * dpiX_; }
    double Py(double inches) const { return inches * dpiY_; }
    void ApplyFont();
    void StartPage();
    void EndPage();
    // Draws the text with its top at the current line, left-aligned at x inches.
    void DrawAt(const QString& text, double x);

    QPagedPaintDevice& device_;
    QPainter painter_;
    double dpiX_ = 1200, dpiY_ = 1200;
    double pageWidth_ = 8.5, pageHeight_ = 11;
    TMargins margins_;
    double x_ = 0, y_ = 0;
    QFont font_;
    QColor colour_ = Qt::black;
    int page_ = 0;
    int columns_ = 1;
    double columnGap_ = 0;
    int column_ = 0;
    double columnTop_ = 0;
    std::vector<TTabStop> tabs_;
    std::size_t nextTab_ = 0;
    std::array<std::vector<TTabStop>, 10> savedTabs_{};
    double penX_ = 0, penY_ = 0;
    bool finished_ = false;
};

} // namespace tw::report
