#include "ui/DiagramView.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include "ui/Desktop.h"

namespace tw::ui {

TDiagramView::TDiagramView(const form::TMainForm& form, drawing::TDiagramKind kind, QWidget* parent)
    : QWidget(parent), form_(form), kind_(kind)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Click to enlarge; right-click to copy or save the picture"));
    choosePictureFile = PictureFileDialog(this);
    showError = ErrorBox(this);
}

void TDiagramView::Invalidate()
{
    dirty_ = true;
    update();
}

void TDiagramView::EnsureDrawn()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(qRound(width() * ratio), qRound(height() * ratio));
    if (!dirty_ && pixels == drawnSize_)
        return;
    // Drawn on the last picture's memory when the size is unchanged.
    QImage target = std::move(picture_);
    if (target.size() != pixels)
        target = QImage(pixels, QImage::Format_RGB32);
    drawing::DrawDiagramOnImage(target, form_, kind_);
    picture_ = std::move(target);
    picture_.setDevicePixelRatio(ratio);
    drawnSize_ = pixels;
    dirty_ = false;
    ++drawCount_;
}

void TDiagramView::paintEvent(QPaintEvent*)
{
    EnsureDrawn();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!picture_.isNull())
        painter.drawImage(QPoint(0, 0), picture_);
}

void TDiagramView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked(kind_);
    QWidget::mouseReleaseEvent(event);
}

void TDiagramView::contextMenuEvent(QContextMenuEvent* event)
{
    EnsureDrawn();
    PictureMenu(this, event->globalPos(), picture_, PictureFileName(kind_), choosePictureFile,
                showError);
}

QString PictureFileName(drawing::TDiagramKind kind)
{
    switch (kind) {
    case drawing::TDiagramKind::dkCrossSection:
        return QStringLiteral("Cross Section.png");
    case drawing::TDiagramKind::dkPlanView:
        return QStringLiteral("Plan View.png");
    default:
        return QStringLiteral("Guardrail.png");
    }
}

std::function<QString(const QString& offered)> PictureFileDialog(QWidget* parent)
{
    return [parent](const QString& offered) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Save As PNG"), offered,
                                            QStringLiteral("PNG pictures (*.png)"));
    };
}

std::function<void(const QString& message)> ErrorBox(QWidget* parent)
{
    return [parent](const QString& message) {
        QMessageBox::critical(parent, QStringLiteral("Brenmoor Tarnwick"), message);
    };
}

void SavePictureAs(const QImage& picture, const QString& offered,
                   const std::function<QString(const QString&)>& choose,
                   const std::function<void(const QString&)>& showError)
{
    const QString path = choose ? choose(offered) : QString();
    QString error;
    if (!path.isEmpty() && !SavePicture(picture, path, &error) && showError)
        showError(error);
}

void PictureMenu(QWidget* owner, QPoint globalPosition, const QImage& picture,
                 const QString& offered, const std::function<QString(const QString&)>& choose,
                 const std::function<void(const QString&)>& showError)
{
    QMenu menu(owner);
    QAction* copy = menu.addAction(QStringLiteral("&Copy"));
    QAction* save = menu.addAction(QStringLiteral("Save As &PNG..."));
    copy->setEnabled(!picture.isNull());
    save->setEnabled(!picture.isNull());
    QAction* chosen = menu.exec(globalPosition);
    if (chosen == copy)
        CopyPicture(picture);
    else if (chosen == save)
        SavePictureAs(picture, offered, choose, showError);
}

void CentreOnParent(QWidget* window)
{
    if (QWidget* parent = window->parentWidget())
        window->move(parent->geometry().center() - window->rect().center());
}

void CopyPicture(const QImage& picture)
{
    if (!picture.isNull())
        QGuiApplication::clipboard()->setImage(picture);
}

bool SavePicture(const QImage& picture, const QString& path, QString* error)
{
    QImage image = picture;
    image.setDevicePixelRatio(1);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        *error =
            QStringLiteral("Cannot save the picture to %1: %2").arg(path, writer.errorString());
        return false;
    }
    if (const auto reason = WriteWholeFile(path, png)) {
        *error = QStringLiteral("Cannot save the picture to %1: %2").arg(path, *reason);
        return false;
    }
    return true;
}

} // namespace tw::ui
