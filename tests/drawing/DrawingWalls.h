// Walls for the drawing tests: the example projects with edits, opened in the form as the
// window opens them, so that the drawings read what the window shows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>

#include "drawing/DiagramDraw.h"
#include "engine/ProjectJson.h"
#include "engine/TWClasses.h"
#include "form/MainForm.h"
#include "support/OpenWall.h"

namespace tw::test {

struct TOpenWall : TOpenForm
{
    QImage Render(drawing::TDiagramKind kind, int width, int height) const
    {
        return drawing::RenderDiagram(*form, kind, QSize(width, height));
    }
};

// The texts of a drawing as written on a raster of the size, with where they lie.
inline std::vector<drawing::TPlacedText>
DrawnTexts(const TOpenWall& wall, drawing::TDiagramKind kind, int width, int height)
{
    drawing::TDiagramDraw draw(*wall.form);
    draw.Draw(kind, width, height);
    return draw.Texts();
}

// The example project of the unit system with `edit` applied to the stored project, then
// opened in a form (through the boxes, limits and bounds, and analysed).
inline TOpenWall OpenWall(bool si, const std::function<void(TTWData&)>& edit = {})
{
    return OpenWallAs<TOpenWall>(si, edit);
}

// Pixels of the colour in the rectangle.
inline int CountColour(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            count += (image.pixel(x, y) | 0xFF000000u) == (colour | 0xFF000000u) ? 1 : 0;
    return count;
}

} // namespace tw::test
