// The numeric box of the main window and the dialogs: a right-aligned line edit whose keys are
// filtered (digits, minus, backspace and one decimal separator) and which can take the
// read-only look (sky blue, not editable).
#pragma once

#include <QLineEdit>

#include "engine/Globals.h"

namespace tw::ui {

// The decimal and thousands separators of the user's locale.
TNumberFormat LocaleNumberFormat();

// The background of a read-only numeric box.
inline constexpr QRgb kReadOnlyColour = 0xFFA6CAF0;
// A read-only box that is disabled, and the text of any disabled box.
inline constexpr QRgb kDisabledReadOnlyColour = 0xFFD3E3F5;
inline constexpr QRgb kDisabledTextColour = 0xFF4A4A4A;

class TNumericEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TNumericEdit(QWidget* parent = nullptr);

    void setNumberFormat(const TNumberFormat& format) { format_ = format; }
    const TNumberFormat& numberFormat() const { return format_; }
    // Read-only with the sky-blue background, or editable with the window colour.
    void setReadOnlyLook(bool readOnly);
    bool readOnlyLook() const { return isReadOnly(); }
    // Whether typed keys are filtered (on by default; a few boxes take any text and leave
    // it to the reading of the number).
    void setKeyFilter(bool on) { keyFilter_ = on; }
    bool keyFilter() const { return keyFilter_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TNumberFormat format_;
    bool keyFilter_ = true;
};

} // namespace tw::ui
