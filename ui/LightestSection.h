// "Find Lightest Section": the rows of the wall's catalogue that pass every check, lightest
// first, with the governing check; "Apply" selects the chosen one in the main window.
#pragma once

#include <QDialog>

#include "form/LightestSection.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace tw::ui {

class TfrmLightestSection : public QDialog
{
    Q_OBJECT
public:
    TfrmLightestSection(const form::TLightestSections& found, QWidget* parent);

    // The catalogue row chosen (-1 none).
    int ChosenIndex() const;
    QTableWidget* table() const { return table_; }
    QPushButton* applyButton() const { return apply_; }

private:
    const form::TLightestSections found_;
    QTableWidget* table_ = nullptr;
    QPushButton* apply_ = nullptr;
};

} // namespace tw::ui
