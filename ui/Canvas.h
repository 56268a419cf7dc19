// Drawing on a canvas of fixed size that is scaled uniformly and centred into any rectangle:
// the pictures and sketches are laid out once and drawn at every size.
#pragma once

#include <QPainter>
#include <QRectF>
#include <QSizeF>

#include <algorithm>
#include <cmath>

namespace tw::ui {

class TCanvasMapping
{
public:
    // Maps the canvas into the rectangle for this object's lifetime (the painter's state is
    // restored afterwards), clipping to the rectangle when asked. An empty or non-finite
    // rectangle maps nothing: valid() is false and nothing should be drawn.
    TCanvasMapping(QPainter& painter, const QRectF& rect, QSizeF canvas, bool clip) : p_(painter)
    {
        if (!(rect.width() > 0 && rect.height() > 0) || !std::isfinite(rect.width()) ||
            !std::isfinite(rect.height()) || !std::isfinite(rect.x()) || !std::isfinite(rect.y()))
            return;
        scale_ = std::min(rect.width() / canvas.width(), rect.height() / canvas.height());
        if (!(scale_ > 0))
            return;
        valid_ = true;
        p_.save();
        p_.setRenderHint(QPainter::Antialiasing, true);
        p_.setRenderHint(QPainter::TextAntialiasing, true);
        if (clip)
            p_.setClipRect(rect, Qt::IntersectClip);
        p_.translate(rect.center());
        p_.scale(scale_, scale_);
        p_.translate(-canvas.width() / 2, -canvas.height() / 2);
    }
    ~TCanvasMapping()
    {
        if (valid_)
            p_.restore();
    }
    TCanvasMapping(const TCanvasMapping&) = delete;
    TCanvasMapping& operator=(const TCanvasMapping&) = delete;

    bool valid() const { return valid_; }
    // Device units per canvas unit.
    qreal scale() const { return scale_; }

private:
    QPainter& p_;
    qreal scale_ = 0;
    bool valid_ = false;
};

} // namespace tw::ui
