// The about box: caption "About", the program icon, the product name, "Version " and the
// version string, and an "OK" button.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tw::ui {

class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QLabel* productLabel() const { return product_; }
    QLabel* versionLabel() const { return version_; }
    QPushButton* okButton() const { return ok_; }

private:
    QLabel* product_ = nullptr;
    QLabel* version_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace tw::ui
