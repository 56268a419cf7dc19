// TfrmImgZoom, "Image": one drawing enlarged to the desktop's work area (less 20 pixels across
// and 100 down), modal and centred on the main window, with the picture to copy or save.
#pragma once

#include <QDialog>
#include <QImage>

#include <functional>

#include "drawing/DiagramDraw.h"
#include "form/MainForm.h"

class QLabel;
class QPushButton;

namespace tw::ui {

class TfrmImgZoom : public QDialog
{
    Q_OBJECT

public:
    // Draws the drawing at the size of the work area of the parent's screen; while the
    // analysis fails, shows the last good drawing (of the page clicked) greyed instead.
    TfrmImgZoom(const form::TMainForm& form, drawing::TDiagramKind kind, QWidget* parent,
                const QImage& lastGood = {});

    // The size of the enlarged drawing for a work area, in pixels of the screen.
    static QSize PictureSize(const QRect& workArea);

    const QImage& Picture() const { return picture_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* saveSvgButton() const { return saveSvg_; }
    QPushButton* savePdfButton() const { return savePdf_; }
    QPushButton* saveDxfButton() const { return saveDxf_; }

    // Where "Save As PNG...", "Save As SVG...", "Save As PDF..." and "Save As DXF..." ask for
    // the file and how a failure is shown; replaceable.
    std::function<QString(const QString& offered)> choosePictureFile;
    std::function<void(const QString& message)> showError;

private:
    void Save();

    drawing::TDiagramKind kind_;
    QImage picture_;
    QLabel* view_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* saveSvg_ = nullptr;
    QPushButton* savePdf_ = nullptr;
    QPushButton* saveDxf_ = nullptr;
    const form::TMainForm& form_;
    QSize vectorSize_; // the drawing's raster size; empty while the analysis fails
};

// Runs the enlarged view of a drawing, modally.
void ShowImgZoom(const form::TMainForm& form, drawing::TDiagramKind kind, QWidget* parent,
                 const QImage& lastGood = {});

} // namespace tw::ui
