// The sketches of the strip load and the seismic load beside their check boxes on the main
// window, and their enlarged view. Each sketch is drawn by one renderer that fits itself into any
// rectangle of any painter, so the thumbnail and the enlarged view are the same drawing.
#pragma once

#include <QPixmap>
#include <QRectF>

class QDialog;
class QPainter;
class QWidget;

namespace tw::ui {

// A pile retaining soil on its right, a strip footing with pressure q at setback a from the wall,
// width b, its base at depth d, and the lateral pressure it causes on the wall.
void DrawStripLoadSketch(QPainter& painter, const QRectF& rect);
// A pile retaining soil on its right and the seismic thrust Pseis acting on it at height d above
// the base of the excavation.
void DrawSeismicSketch(QPainter& painter, const QRectF& rect);

// The sketches on a white background; a null pixmap when a size is not positive.
QPixmap StripLoadThumbnail(int width, int height);
QPixmap SeismicThumbnail(int width, int height);

// The enlarged view: a resizable dialog titled "Strip Load" or "Seismic Load" with the sketch
// scaled to the window and a "Close" button. CreateLoadSketchDialog builds it (the caller owns
// it); ShowLoadSketch runs it modally.
QDialog* CreateLoadSketchDialog(bool seismic, QWidget* parent);
void ShowLoadSketch(bool seismic, QWidget* parent);

} // namespace tw::ui
