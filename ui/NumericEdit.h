// The numeric box of the main window and the dialogs: a right-aligned line edit whose keys are
// filtered (digits, minus, backspace and one decimal separator; a key refused that was meant
// as part of a number is explained in a hint) and which can take the read-only look (sky
// blue, not editable, out of the Tab order).
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
    // Read-only with the sky-blue background and out of the Tab order (a click still selects
    // the text for copying), or editable with the window colour.
    void setReadOnlyLook(bool readOnly);
    bool readOnlyLook() const { return isReadOnly(); }
    // Whether typed keys are filtered (on by default; a few boxes take any text and leave
    // it to the reading of the number).
    void setKeyFilter(bool on) { keyFilter_ = on; }
    bool keyFilter() const { return keyFilter_; }
    // Whether the box shows why it refused a key in a tool tip under itself (on by default;
    // the main window shows it in its own hint window).
    void setRefusalTip(bool on) { refusalTip_ = on; }

signals:
    // A typed key was refused, and why (an exponent, a second decimal separator).
    void keyRefused(const QString& why);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TNumberFormat format_;
    bool keyFilter_ = true;
    bool refusalTip_ = true;
};

} // namespace tw::ui
