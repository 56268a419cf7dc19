#include "ui/About.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/Globals.h"
#include "ui/Artwork.h"
#include "ui/Desktop.h"

namespace tw::ui {

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap::fromImage(ProgramIconImage(64)));
    icon->setAlignment(Qt::AlignTop);

    product_ = new QLabel(QString::fromLatin1(kApplicationTitle), this);
    QFont bold = product_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.5);
    product_->setFont(bold);
    version_ =
        new QLabel(QStringLiteral("Version ") + QString::fromStdString(VersionString()), this);
    auto* purpose =
        new QLabel(QStringLiteral("Design of cantilevered excavation shoring walls"), this);

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addWidget(product_);
    texts->addWidget(version_);
    texts->addWidget(purpose);
    texts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->setSpacing(16);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
}

} // namespace tw::ui
