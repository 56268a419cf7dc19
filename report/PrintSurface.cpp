#include "report/PrintSurface.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPageLayout>

#include <algorithm>
#include <cmath>

namespace tw::report {

namespace {

// Lines within this fraction of a line still count as fitting (rounding of the metrics).
constexpr double kFitSlack = 1e-6;

} // namespace

TPrintSurface::TPrintSurface(QPagedPaintDevice& device) : device_(device)
{
    const QRectF page = device.pageLayout().fullRect(QPageLayout::Inch);
    pageWidth_ = page.width();
    pageHeight_ = page.height();
    painter_.begin(&device);
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform);
    dpiX_ = device.logicalDpiX();
    dpiY_ = device.logicalDpiY();
    SetFont(QStringLiteral("Arial"), 10);
    x_ = margins_.left;
    y_ = margins_.top;
    page_ = 0;
}

TPrintSurface::~TPrintSurface()
{
    Finish();
}

void TPrintSurface::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    if (page_ > 0)
        EndPage();
    if (painter_.isActive())
        painter_.end();
}

void TPrintSurface::StartPage()
{
    ++page_;
    column_ = 0;
    columnTop_ = margins_.top;
    x_ = margins_.left;
    y_ = margins_.top;
    nextTab_ = 0;
    if (onStartPage)
        onStartPage(page_);
}

void TPrintSurface::EndPage()
{
    if (!onEndPage)
        return;
    // The footer draws with its own font and margins; the page's text continues with its own.
    const QFont font = font_;
    const QColor colour = colour_;
    const TMargins margins = margins_;
    const double x = x_, y = y_;
    const int columns = columns_, column = column_;
    const std::vector<TTabStop> tabs = tabs_;
    columns_ = 1;
    column_ = 0;
    onEndPage(*this, page_);
    font_ = font;
    colour_ = colour;
    margins_ = margins;
    x_ = x;
    y_ = y;
    columns_ = columns;
    column_ = column;
    tabs_ = tabs;
}

void TPrintSurface::NewPage()
{
    if (page_ == 0) {
        StartPage();
        return;
    }
    EndPage();
    device_.newPage();
    StartPage();
}

void TPrintSurface::GotoXY(double x, double y)
{
    if (page_ == 0)
        StartPage();
    x_ = x;
    y_ = y;
    nextTab_ = 0;
}

void TPrintSurface::SetFont(const QString& family, double points)
{
    const bool bold = font_.bold();
    font_ = QFont(family);
    font_.setStyleHint(QFont::SansSerif);
    font_.setPointSizeF(points);
    font_.setBold(bold);
}

void TPrintSurface::SetBold(bool bold)
{
    font_.setBold(bold);
}

double TPrintSurface::LineHeight() const
{
    return QFontMetricsF(font_, &device_).lineSpacing() / dpiY_;
}

double TPrintSurface::TextWidthOf(const QString& text) const
{
    return QFontMetricsF(font_, &device_).horizontalAdvance(text) / dpiX_;
}

void TPrintSurface::NewLine()
{
    if (page_ == 0)
        StartPage();
    y_ += LineHeight();
    x_ = ColumnLeft();
    nextTab_ = 0;
    if (y_ + LineHeight() > pageHeight_ - margins_.bottom + kFitSlack)
        NextColumn();
}

int TPrintSurface::LinesLeft() const
{
    const double room = pageHeight_ - margins_.bottom - y_;
    return std::max(0, static_cast<int>(std::floor(room / LineHeight() + kFitSlack)));
}

void TPrintSurface::SetColumns(int count, double gap)
{
    columns_ = std::max(1, count);
    columnGap_ = gap;
    column_ = 0;
    columnTop_ = y_;
    x_ = ColumnLeft();
}

void TPrintSurface::ClearColumns()
{
    columns_ = 1;
    column_ = 0;
    columnGap_ = 0;
}

void TPrintSurface::NextColumn()
{
    if (column_ + 1 < columns_) {
        ++column_;
        y_ = columnTop_;
    } else {
        NewPage();
    }
    x_ = ColumnLeft();
    nextTab_ = 0;
}

double TPrintSurface::ColumnWidth() const
{
    return (TextWidth() - (columns_ - 1) * columnGap_) / columns_;
}

double TPrintSurface::ColumnLeft() const
{
    return margins_.left + column_ * (ColumnWidth() + columnGap_);
}

double TPrintSurface::ColumnRight() const
{
    return ColumnLeft() + ColumnWidth();
}

void TPrintSurface::ClearTabs()
{
    tabs_.clear();
    nextTab_ = 0;
}

void TPrintSurface::SaveTabs(int slot)
{
    if (slot >= 1 && slot <= static_cast<int>(savedTabs_.size()))
        savedTabs_[slot - 1] = tabs_;
}

void TPrintSurface::RestoreTabs(int slot)
{
    if (slot >= 1 && slot <= static_cast<int>(savedTabs_.size())) {
        tabs_ = savedTabs_[slot - 1];
        nextTab_ = 0;
    }
}

void TPrintSurface::Tab(const QString& text)
{
    if (page_ == 0)
        StartPage();
    if (nextTab_ >= tabs_.size())
        return;
    const TTabStop& tab = tabs_[nextTab_++];
    if (tab.shade > 0) {
        // A shade of p percent lays p percent of the colour over white paper.
        const double p = std::clamp(tab.shade, 0, 100) / 100.0;
        const auto mix = [p](int c) { return static_cast<int>(std::lround(255 - (255 - c) * p)); };
        const QColor fill(mix(tab.shadeColour.red()), mix(tab.shadeColour.green()),
                          mix(tab.shadeColour.blue()));
        painter_.fillRect(QRectF(Px(tab.left), Py(y_), Px(tab.width), Py(LineHeight())), fill);
    }
    if (text.isEmpty())
        return;
    DrawAt(text, TabTextLeft(nextTab_ - 1, text));
}

double TPrintSurface::TabTextLeft(std::size_t index, const QString& text) const
{
    if (index >= tabs_.size())
        return x_;
    const TTabStop& tab = tabs_[index];
    const double width = TextWidthOf(text);
    if (tab.justify == TJustify::Right)
        return tab.left + tab.width - kCellPadding - width;
    if (tab.justify == TJustify::Centre)
        return tab.left + (tab.width - width) / 2;
    return tab.left + kCellPadding;
}

void TPrintSurface::DrawAt(const QString& text, double x)
{
    if (page_ == 0)
        StartPage();
    painter_.setFont(font_);
    painter_.setPen(colour_);
    const double ascent = QFontMetricsF(font_, &device_).ascent();
    painter_.drawText(QPointF(Px(x), Py(y_) + ascent), text);
}

void TPrintSurface::PrintCentre(const QString& text, double x)
{
    DrawAt(text, x - TextWidthOf(text) / 2);
}

void TPrintSurface::PrintLeft(const QString& text, double x)
{
    DrawAt(text, x);
}

void TPrintSurface::PrintRight(const QString& text, double x)
{
    DrawAt(text, x - TextWidthOf(text));
}

void TPrintSurface::PrintFooter(const QString& text, TJustify justify)
{
    const double y = y_;
    y_ = pageHeight_ - margins_.bottom - LineHeight();
    const double left = margins_.left, right = pageWidth_ - margins_.right;
    if (justify == TJustify::Left)
        PrintLeft(text, left);
    else if (justify == TJustify::Right)
        PrintRight(text, right);
    else
        PrintCentre(text, (left + right) / 2);
    y_ = y;
}

void TPrintSurface::MoveTo(double x, double y)
{
    penX_ = x;
    penY_ = y;
}

void TPrintSurface::LineTo(double x, double y)
{
    if (page_ == 0)
        StartPage();
    QPen pen(Qt::black);
    pen.setWidthF(Px(1.0 / 96)); // a hairline of one screen pixel
    painter_.setPen(pen);
    painter_.drawLine(QPointF(Px(penX_), Py(penY_)), QPointF(Px(x), Py(y)));
    penX_ = x;
    penY_ = y;
}

QImage TPrintSurface::CornerTransparent(const QImage& image)
{
    if (image.isNull())
        return image;
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = out.pixel(0, 0) | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0x00FFFFFFu;
    }
    return out;
}

bool TPrintSurface::PrintImageStream(double x1, double y1, double x2, double y2,
                                     std::span<const uint8_t> bytes, std::string_view kind)
{
    QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const bool jpeg = kind == "JPG";
    QImageReader reader(&buffer, jpeg ? "jpeg" : QByteArray());
    QImage image = reader.read();
    if (image.isNull())
        return false;
    if (jpeg)
        PrintImage(x1, y1, x2, y2, image, TImageKind::Photo);
    else
        PrintImage(x1, y1, x2, y2, CornerTransparent(image));
    return true;
}

void TPrintSurface::PrintImage(double x1, double y1, double x2, double y2, const QImage& image,
                               TImageKind kind)
{
    if (page_ == 0)
        StartPage();
    if (image.isNull())
        return;
    // A PDF stores the image with Flate instead of JPEG under this hint.
    painter_.setRenderHint(QPainter::LosslessImageRendering, kind == TImageKind::LineArt);
    painter_.drawImage(QRectF(QPointF(Px(x1), Py(y1)), QPointF(Px(x2), Py(y2))), image);
    painter_.setRenderHint(QPainter::LosslessImageRendering, false);
}

} // namespace tw::report
