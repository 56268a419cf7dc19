// The program's own pictures: the icon (a shoring wall holding back the soil, on a blue
// tile) and the product picture of the splash window (a cantilevered soldier-pile wall with
// its lagging, guardrail and earth pressure, and the product name). Both are drawn in code at
// any size; the build renders the icon into the PNG files that are installed for the desktop.
#pragma once

#include <QIcon>
#include <QImage>
#include <QRectF>

class QPainter;

namespace tw::ui {

// The icon sizes installed for the desktop and put into the window icon.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

void DrawProgramIcon(QPainter& painter, const QRectF& rect);
// The icon on a transparent background; a null image for a size below 1.
QImage ProgramIconImage(int size);
QIcon ProgramIcon();

// The product picture with "Tarnwick" in bold, fitted into the rectangle.
void DrawProductPicture(QPainter& painter, const QRectF& rect);

} // namespace tw::ui
