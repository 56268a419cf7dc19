// TDiagramView: one drawing of the project on a page of the main window. It draws itself at
// its own size in device pixels (sharp on high-density screens) whenever it is shown after
// the project changed, after a resize or a page change; a click opens the enlarged view, a
// right click offers the picture to copy or save. While the analysis fails it shows its last
// good drawing greyed, with the failure's message on it, as the results column keeps its last
// results greyed under the failure's banner.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

#include "drawing/DiagramDraw.h"
#include "form/MainForm.h"

namespace tw::ui {

class TDiagramView : public QWidget
{
    Q_OBJECT

public:
    TDiagramView(const form::TMainForm& form, drawing::TDiagramKind kind, QWidget* parent);

    drawing::TDiagramKind Kind() const { return kind_; }
    // The project changed: draw again when next painted.
    void Invalidate();
    // The picture as last drawn (null before the first paint or when there is nothing to draw).
    const QImage& Picture() const { return picture_; }
    // While the analysis fails: the last drawing made before the failure (null when there was
    // none), which the view shows greyed.
    const QImage& LastGoodPicture() const { return lastGood_; }
    // How many times the view has drawn its picture (for tests and benchmarks).
    int DrawCount() const { return drawCount_; }
    // Draws now if the picture is out of date for the current size.
    void EnsureDrawn();

    // Where "Save As PNG..." asks for the file (empty: cancelled); replaceable in tests.
    std::function<QString(const QString& offered)> choosePictureFile;
    // Shows a failed save; replaceable in tests.
    std::function<void(const QString& message)> showError;

signals:
    void clicked(tw::drawing::TDiagramKind kind);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    const form::TMainForm& form_;
    drawing::TDiagramKind kind_;
    QImage picture_;
    // Whether picture_ is a drawing of an analysed project (not the greyed one of a failure).
    bool pictureGood_ = true;
    QImage lastGood_;
    QSize drawnSize_;
    bool dirty_ = true;
    int drawCount_ = 0;
};

// The picture shown for a drawing while the analysis fails: the last good drawing (which may
// be null) greyed and fitted into the size, under a box with the failure's message.
QImage StaleDrawing(const QImage& lastGood, QSize pixels, qreal ratio, const QString& failure);

// The file name offered for a drawing ("Cross Section.png", ...).
QString PictureFileName(drawing::TDiagramKind kind);
// Copies a picture to the clipboard.
void CopyPicture(const QImage& picture);
// The desktop's file dialog for a picture (PNG, or SVG or PDF by the offered name's
// extension), and a message box for a failed save, as the windows that offer "Save As PNG..."
// use them unless a test replaces them.
std::function<QString(const QString& offered)> PictureFileDialog(QWidget* parent);
std::function<void(const QString& message)> ErrorBox(QWidget* parent);
// "Save As PNG...": asks for the file, offering the name, and writes the picture there; a
// failure is shown.
void SavePictureAs(const QImage& picture, const QString& offered,
                   const std::function<QString(const QString&)>& choose,
                   const std::function<void(const QString&)>& showError);

// The file name offered for a drawing as a vector file ("Cross Section.svg", ...).
QString DrawingFileName(drawing::TDiagramKind kind, drawing::TVectorFormat format);
// "Save As SVG...", "Save As PDF..." and "Save As DXF...": asks for the file, offering the
// drawing's name, draws the drawing as vectors at the size (pixels, one unit each; a DXF file
// at true scale on DxfRasterSize) and writes it atomically; a failure is shown.
void SaveDrawingAs(const form::TMainForm& form, drawing::TDiagramKind kind, QSize size,
                   drawing::TVectorFormat format,
                   const std::function<QString(const QString&)>& choose,
                   const std::function<void(const QString&)>& showError);
// Writes the drawing as a vector file; false with the message when it cannot be written or
// there is nothing to draw (the old file is left as it was).
bool SaveDrawing(const form::TMainForm& form, drawing::TDiagramKind kind, QSize size,
                 drawing::TVectorFormat format, const QString& path, QString* error);

// The right-click menu of a picture: "Copy" and "Save As PNG..." (offering the name); for a
// drawing of an analysed project (`vectorSize` not empty) also "Save As SVG...", "Save As
// PDF..." and "Save As DXF...".
void PictureMenu(QWidget* owner, QPoint globalPosition, const QImage& picture,
                 const QString& offered, const std::function<QString(const QString&)>& choose,
                 const std::function<void(const QString&)>& showError,
                 const form::TMainForm* form = nullptr,
                 drawing::TDiagramKind kind = drawing::TDiagramKind::dkCrossSection,
                 QSize vectorSize = {});
// Places a window centred on its parent (when it has one).
void CentreOnParent(QWidget* window);

// Writes a picture as PNG through the atomic writer (WriteWholeFile); false with the message
// when it cannot be written (the old file is left as it was).
bool SavePicture(const QImage& picture, const QString& path, QString* error);

} // namespace tw::ui
