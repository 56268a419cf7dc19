// "Table of Test Results": the nine points of the rebar cage's P-M interaction diagram, one
// column per point and one row per field of the point, in the project's unit system.
#pragma once

#include <QDialog>

#include "engine/TWClasses.h"

class QTreeWidget;

namespace tw::ui {

class TfrmTable : public QDialog
{
    Q_OBJECT

public:
    // Number of rows (fields of an interaction point) and columns (captions + nine points).
    static constexpr int kRowCount = 17;
    static constexpr int kColumnCount = 1 + kInteractionPointCount;

    explicit TfrmTable(const TTWData& project, QWidget* parent = nullptr);

    // Runs the table for the project's current interaction points, modally.
    static void ShowTable(const TTWData& project, QWidget* parent);

    // Row captions and decimals of the interaction point fields, in table order.
    static QString RowCaption(int row, TUnitSystem units);
    static int RowDecimals(int row);

    QTreeWidget* list() const { return list_; }

private:
    void fill(const TTWData& project);
    void fitToContents();

    QTreeWidget* list_ = nullptr;
};

} // namespace tw::ui
