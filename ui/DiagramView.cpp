#include "ui/DiagramView.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "ui/Desktop.h"

namespace tw::ui {

TDiagramView::TDiagramView(const form::TMainForm& form, drawing::TDiagramKind kind, QWidget* parent)
    : QWidget(parent), form_(form), kind_(kind)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Click to enlarge; right-click to copy or save the picture"));
    choosePictureFile = PictureFileDialog(this);
    showError = ErrorBox(this);
}

void TDiagramView::Invalidate()
{
    dirty_ = true;
    update();
}

void TDiagramView::EnsureDrawn()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(qRound(width() * ratio), qRound(height() * ratio));
    if (!dirty_ && pixels == drawnSize_)
        return;
    if (const auto& failure = form_.AnalysisFailure()) {
        // The project as it stands has no results to draw: the last good drawing, greyed.
        if (pictureGood_) {
            lastGood_ = std::move(picture_);
            pictureGood_ = false;
        }
        picture_ = StaleDrawing(lastGood_, pixels, ratio, QString::fromStdString(*failure));
    } else {
        // Drawn on the last picture's memory when the size is unchanged.
        QImage target = pictureGood_ ? std::move(picture_) : QImage();
        if (target.size() != pixels)
            target = QImage(pixels, QImage::Format_RGB32);
        drawing::DrawDiagramOnImage(target, form_, kind_);
        picture_ = std::move(target);
        pictureGood_ = true;
        lastGood_ = QImage();
    }
    picture_.setDevicePixelRatio(ratio);
    drawnSize_ = pixels;
    dirty_ = false;
    ++drawCount_;
}

void TDiagramView::paintEvent(QPaintEvent*)
{
    EnsureDrawn();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!picture_.isNull())
        painter.drawImage(QPoint(0, 0), picture_);
}

void TDiagramView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(kind_);
    QWidget::mouseReleaseEvent(event);
}

void TDiagramView::contextMenuEvent(QContextMenuEvent* event)
{
    EnsureDrawn();
    // The vector files are drawn at the view's size; none while the analysis fails (the view
    // shows its last good drawing then).
    const QSize vectorSize = pictureGood_ && !picture_.isNull() ? drawnSize_ : QSize();
    PictureMenu(this, event->globalPos(), picture_, PictureFileName(kind_), choosePictureFile,
                showError, &form_, kind_, vectorSize);
}

QImage StaleDrawing(const QImage& lastGood, QSize pixels, qreal ratio, const QString& failure)
{
    QImage picture(pixels, QImage::Format_RGB32);
    picture.fill(Qt::white);
    if (picture.isNull())
        return picture;
    QPainter painter(&picture);
    // The message in a box across the top, in the colours of the results column's banner.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(1, qRound(13 * ratio)));
    painter.setFont(font);
    const int margin = qRound(8 * ratio);
    const QString text =
        QStringLiteral("The analysis failed: ") + failure +
        (lastGood.isNull()
             ? QStringLiteral("\nNo drawing until the inputs allow an analysis.")
             : QStringLiteral("\nThe drawing is from an earlier successful analysis."));
    const QRect room(2 * margin, 2 * margin, std::max(1, pixels.width() - 4 * margin),
                     std::max(1, pixels.height() - 4 * margin));
    const QRect used = painter.boundingRect(room, Qt::TextWordWrap, text);
    const QRect box(margin, margin, room.width() + 2 * margin, used.height() + 2 * margin);
    painter.fillRect(box, QColor(0xFD, 0xE2, 0xE1));
    painter.setPen(QColor(0x8A, 0x10, 0x10));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.drawText(used, Qt::TextWordWrap, text);
    if (!lastGood.isNull()) {
        // Below the box: the drawing, grey and faded, fitted into the rest of the size.
        QImage grey = lastGood.convertToFormat(QImage::Format_Grayscale8);
        for (int y = 0; y < grey.height(); ++y) {
            uchar* line = grey.scanLine(y);
            for (int x = 0; x < grey.width(); ++x)
                line[x] = static_cast<uchar>(255 - (255 - line[x]) * 2 / 5);
        }
        grey.setDevicePixelRatio(1);
        const int top = box.bottom() + 1;
        const QSize fitted = grey.size().scaled(
            QSize(pixels.width(), std::max(1, pixels.height() - top)), Qt::KeepAspectRatio);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint((pixels.width() - fitted.width()) / 2, top), fitted), grey);
    }
    return picture;
}

QString PictureFileName(drawing::TDiagramKind kind)
{
    switch (kind) {
    case drawing::TDiagramKind::dkCrossSection:
        return QStringLiteral("Cross Section.png");
    case drawing::TDiagramKind::dkPlanView:
        return QStringLiteral("Plan View.png");
    default:
        return QStringLiteral("Guardrail.png");
    }
}

std::function<QString(const QString& offered)> PictureFileDialog(QWidget* parent)
{
    return [parent](const QString& offered) {
        const QString ext = QFileInfo(offered).suffix().toLower();
        if (ext == QLatin1String("svg"))
            return QFileDialog::getSaveFileName(parent, QStringLiteral("Save As SVG"), offered,
                                                QStringLiteral("SVG drawings (*.svg)"));
        if (ext == QLatin1String("pdf"))
            return QFileDialog::getSaveFileName(parent, QStringLiteral("Save As PDF"), offered,
                                                QStringLiteral("PDF files (*.pdf)"));
        if (ext == QLatin1String("dxf"))
            return QFileDialog::getSaveFileName(parent, QStringLiteral("Save As DXF"), offered,
                                                QStringLiteral("DXF drawings (*.dxf)"));
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Save As PNG"), offered,
                                            QStringLiteral("PNG pictures (*.png)"));
    };
}

std::function<void(const QString& message)> ErrorBox(QWidget* parent)
{
    return [parent](const QString& message) {
        QMessageBox::critical(parent, QStringLiteral("Brenmoor Tarnwick"), message);
    };
}

void SavePictureAs(const QImage& picture, const QString& offered,
                   const std::function<QString(const QString&)>& choose,
                   const std::function<void(const QString&)>& showError)
{
    const QString path = choose ? choose(offered) : QString();
    QString error;
    if (!path.isEmpty() && !SavePicture(picture, path, &error) && showError)
        showError(error);
}

QString DrawingFileName(drawing::TDiagramKind kind, drawing::TVectorFormat format)
{
    QString name = PictureFileName(kind);
    name.chop(3);
    switch (format) {
    case drawing::TVectorFormat::Svg:
        return name + QStringLiteral("svg");
    case drawing::TVectorFormat::Pdf:
        return name + QStringLiteral("pdf");
    default:
        return name + QStringLiteral("dxf");
    }
}

bool SaveDrawing(const form::TMainForm& form, drawing::TDiagramKind kind, QSize size,
                 drawing::TVectorFormat format, const QString& path, QString* error)
{
    // A DXF file is at true scale whatever the window's size: drawn on the large raster that
    // keeps its rounding to pixels small.
    const QByteArray bytes = drawing::RenderDiagramVector(
        form, kind, format == drawing::TVectorFormat::Dxf ? drawing::DxfRasterSize() : size,
        format);
    if (bytes.isEmpty()) {
        *error =
            QStringLiteral("Cannot save the drawing to %1: there is nothing to draw.").arg(path);
        return false;
    }
    if (const auto reason = WriteWholeFile(path, bytes)) {
        *error = QStringLiteral("Cannot save the drawing to %1: %2").arg(path, *reason);
        return false;
    }
    return true;
}

void SaveDrawingAs(const form::TMainForm& form, drawing::TDiagramKind kind, QSize size,
                   drawing::TVectorFormat format,
                   const std::function<QString(const QString&)>& choose,
                   const std::function<void(const QString&)>& showError)
{
    const QString path = choose ? choose(DrawingFileName(kind, format)) : QString();
    QString error;
    if (!path.isEmpty() && !SaveDrawing(form, kind, size, format, path, &error) && showError)
        showError(error);
}

void PictureMenu(QWidget* owner, QPoint globalPosition, const QImage& picture,
                 const QString& offered, const std::function<QString(const QString&)>& choose,
                 const std::function<void(const QString&)>& showError, const form::TMainForm* form,
                 drawing::TDiagramKind kind, QSize vectorSize)
{
    QMenu menu(owner);
    QAction* copy = menu.addAction(QStringLiteral("&Copy"));
    QAction* save = menu.addAction(QStringLiteral("Save As &PNG..."));
    copy->setEnabled(!picture.isNull());
    save->setEnabled(!picture.isNull());
    QAction* svg = nullptr;
    QAction* pdf = nullptr;
    QAction* dxf = nullptr;
    if (form) {
        svg = menu.addAction(QStringLiteral("Save As &SVG..."));
        pdf = menu.addAction(QStringLiteral("Save As P&DF..."));
        dxf = menu.addAction(QStringLiteral("Save As D&XF..."));
        const bool drawable = !picture.isNull() && !vectorSize.isEmpty();
        svg->setEnabled(drawable);
        pdf->setEnabled(drawable);
        dxf->setEnabled(drawable);
    }
    QAction* chosen = menu.exec(globalPosition);
    if (chosen == nullptr)
        return;
    if (chosen == copy)
        CopyPicture(picture);
    else if (chosen == save)
        SavePictureAs(picture, offered, choose, showError);
    else if (chosen == svg || chosen == pdf || chosen == dxf)
        SaveDrawingAs(*form, kind, vectorSize,
                      chosen == svg   ? drawing::TVectorFormat::Svg
                      : chosen == pdf ? drawing::TVectorFormat::Pdf
                                      : drawing::TVectorFormat::Dxf,
                      choose, showError);
}

void CentreOnParent(QWidget* window)
{
    if (QWidget* parent = window->parentWidget())
        window->move(parent->geometry().center() - window->rect().center());
}

void CopyPicture(const QImage& picture)
{
    if (!picture.isNull())
        QGuiApplication::clipboard()->setImage(picture);
}

bool SavePicture(const QImage& picture, const QString& path, QString* error)
{
    QImage image = picture;
    image.setDevicePixelRatio(1);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        *error =
            QStringLiteral("Cannot save the picture to %1: %2").arg(path, writer.errorString());
        return false;
    }
    if (const auto reason = WriteWholeFile(path, png)) {
        *error = QStringLiteral("Cannot save the picture to %1: %2").arg(path, *reason);
        return false;
    }
    return true;
}

} // namespace tw::ui
