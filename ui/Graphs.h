// TfrmGraphs, "Graphs": the result graphs of the project (loading, shear, moment, slope,
// deflection and, for a rebar cage, the interaction diagram) side by side, or one of them at
// twice the size, with the value and depth of the plotted point under the mouse in the status
// bar. The graphs are pictures of the project as it was when the window opened. The moment and
// deflection graphs can show the soil-spring analysis's curve beside the design's ("Show
// soil-spring curve", remembered in the settings), or in its place the reason it has none.
#pragma once

#include <QDialog>
#include <QImage>

#include <array>
#include <functional>
#include <vector>

#include "charts/GraphChart.h"
#include "form/GraphData.h"
#include "form/MainForm.h"

class QCheckBox;
class QLabel;
class QStatusBar;

namespace tw::ui {

class TfrmGraphs : public QDialog
{
    Q_OBJECT

public:
    // The size of one graph's picture in the grid; one graph alone is twice as large.
    static constexpr int kCellWidth = 200;
    static constexpr int kCellHeight = 357;

    TfrmGraphs(const form::TMainForm& form, form::TGraphKind which, QWidget* parent = nullptr);

    // The picture of a graph (1 loading ... 6 interaction); null when it is not shown.
    QLabel* image(form::TGraphKind kind) const;
    const QImage& picture(form::TGraphKind kind) const;
    // The graph as "Copy" and "Save As PNG..." give it: the picture the printed report makes
    // of it, at the report's resolution (null when the graph is not shown).
    QImage PrintPicture(form::TGraphKind kind) const;
    QStatusBar* statusBar() const { return status_; }
    // "Show soil-spring curve"; hidden when neither the moment nor the deflection graph shows.
    QCheckBox* soilSpringsBox() const { return springs_; }
    // The graph as it is drawn (none when it is not shown).
    const form::TGraphPlot* plot(form::TGraphKind kind) const;
    // The readout for a position on a graph's picture, as the status bar shows it.
    QString ReadoutAt(form::TGraphKind kind, QPoint position) const;

    // Where "Save As PNG..." asks for the file and how a failure is shown; replaceable.
    std::function<QString(const QString& offered)> choosePictureFile;
    std::function<void(const QString& message)> showError;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct TGraph
    {
        form::TGraphKind kind;
        form::TGraphPlot plot;
        QLabel* label = nullptr;
        QImage picture;
        mutable QImage printPicture;               // made when first asked for
        std::vector<charts::TPlottedPoint> points; // in the label's pixels
    };
    TGraph* GraphOf(QObject* label);
    const TGraph* GraphOf(form::TGraphKind kind) const;
    // Builds the graphs (with the soil-spring curve as the check box says) into the labels.
    void Render();

    const form::TMainForm& form_;
    form::TGraphKind which_;
    std::vector<TGraph> graphs_;
    QStatusBar* status_ = nullptr;
    QCheckBox* springs_ = nullptr;
};

// Runs the graph window for `which`, modally.
void ShowGraphs(const form::TMainForm& form, form::TGraphKind which, QWidget* parent);

} // namespace tw::ui
