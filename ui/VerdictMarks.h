// The pass and fail marks shown beside checked results and in the caption bars of the result
// sections: a green tick in a disc and a red cross in a disc, drawn at any size; and the
// warning mark of the classical check.
#pragma once

#include <QPixmap>

namespace tw::ui {

QPixmap PassMark(int size = 16);
QPixmap FailMark(int size = 16);
// A second opinion that differs from the design: an amber triangle with an exclamation mark.
QPixmap WarningMark(int size = 16);
inline QPixmap VerdictMark(bool pass, int size = 16)
{
    return pass ? PassMark(size) : FailMark(size);
}

} // namespace tw::ui
