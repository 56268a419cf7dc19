// The plan view: two neighbouring piles at their spacing along the bottom, and above them the
// detail of one pile's section in its hole.
#include "drawing/DiagramDraw.h"

namespace tw::drawing {

void TDiagramDraw::DrawPlanView()
{
    TCanvas& c = *canvas_;
    c.SetBrush(clWhite);
    c.FillRect(c.ClipRect());
}

} // namespace tw::drawing
