#include "ui/ImgZoom.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/DiagramView.h"

namespace tw::ui {

QSize TfrmImgZoom::PictureSize(const QRect& workArea)
{
    return QSize(std::max(1, workArea.width() - 20), std::max(1, workArea.height() - 100));
}

TfrmImgZoom::TfrmImgZoom(const form::TMainForm& form, drawing::TDiagramKind kind, QWidget* parent,
                         const QImage& lastGood)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), kind_(kind), form_(form)
{
    setWindowTitle(QStringLiteral("Image"));
    setModal(true);
    const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    const QSize size = PictureSize(area);
    const QSize pixels(qRound(size.width() * ratio), qRound(size.height() * ratio));
    if (const auto& failure = form.AnalysisFailure())
        picture_ = StaleDrawing(lastGood, pixels, ratio, QString::fromStdString(*failure));
    else
        picture_ = drawing::RenderDiagram(form, kind, pixels);
    if (!form.AnalysisFailure() && !picture_.isNull())
        vectorSize_ = pixels;
    picture_.setDevicePixelRatio(ratio);

    view_ = new QLabel(this);
    view_->setAutoFillBackground(true);
    QPalette pal = view_->palette();
    pal.setColor(QPalette::Window, Qt::white);
    view_->setPalette(pal);
    view_->setFixedSize(picture_.isNull() ? QSize(size.width() / 2, size.height() / 2)
                                          : picture_.deviceIndependentSize().toSize());
    if (!picture_.isNull())
        view_->setPixmap(QPixmap::fromImage(picture_));

    auto* buttons = new QDialogButtonBox(this);
    copy_ = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    save_ = buttons->addButton(QStringLiteral("Save As &PNG..."), QDialogButtonBox::ActionRole);
    saveSvg_ = buttons->addButton(QStringLiteral("Save As &SVG..."), QDialogButtonBox::ActionRole);
    savePdf_ = buttons->addButton(QStringLiteral("Save As P&DF..."), QDialogButtonBox::ActionRole);
    saveDxf_ = buttons->addButton(QStringLiteral("Save As D&XF..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    copy_->setEnabled(!picture_.isNull());
    save_->setEnabled(!picture_.isNull());
    saveSvg_->setEnabled(!vectorSize_.isEmpty());
    savePdf_->setEnabled(!vectorSize_.isEmpty());
    saveDxf_->setEnabled(!vectorSize_.isEmpty());
    for (QPushButton* b : {saveSvg_, savePdf_, saveDxf_})
        connect(b, &QPushButton::clicked, this, [this, b] {
            SaveDrawingAs(form_, kind_, vectorSize_,
                          b == saveSvg_   ? drawing::TVectorFormat::Svg
                          : b == savePdf_ ? drawing::TVectorFormat::Pdf
                                          : drawing::TVectorFormat::Dxf,
                          choosePictureFile, showError);
        });
    connect(copy_, &QPushButton::clicked, this, [this] { CopyPicture(picture_); });
    connect(save_, &QPushButton::clicked, this, [this] { Save(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(4);
    layout->addWidget(view_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    choosePictureFile = PictureFileDialog(this);
    showError = ErrorBox(this);
    adjustSize();
    CentreOnParent(this);
}

void TfrmImgZoom::Save()
{
    SavePictureAs(picture_, PictureFileName(kind_), choosePictureFile, showError);
}

void ShowImgZoom(const form::TMainForm& form, drawing::TDiagramKind kind, QWidget* parent,
                 const QImage& lastGood)
{
    TfrmImgZoom zoom(form, kind, parent, lastGood);
    zoom.exec();
}

} // namespace tw::ui
