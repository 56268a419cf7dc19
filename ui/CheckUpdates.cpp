#include "ui/CheckUpdates.h"

#include <QDir>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "engine/Globals.h"
#include "ui/Artwork.h"
#include "ui/DiagramView.h"

namespace tw::ui {

namespace {

QString Shown(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QLabel* Line(QWidget* parent, bool bold)
{
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

// The product picture at the dialog's left.
class TPicture : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawProductPicture(painter, QRectF(rect()));
    }
};

QString Kilobytes(qint64 bytes)
{
    return QString::number(std::llround(bytes / 1024.0));
}

} // namespace

TfrmCheckUpdates::TfrmCheckUpdates(bool silent, const QString& pageUrl, bool inplace,
                                   QWidget* parent)
    : QDialog(parent), silent_(silent)
{
    setWindowTitle(QStringLiteral("Check for updates"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(465, 332);
    updateFolder = QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
                       .filePath(QStringLiteral("Update"));

    auto* layout = new QHBoxLayout(this);
    auto* picture = new TPicture(this);
    picture->setFixedWidth(150);
    layout->addWidget(picture);
    auto* column = new QVBoxLayout;
    layout->addLayout(column, 1);
    auto* heading = new QLabel(QStringLiteral("Check for updates"), this);
    QFont big = heading->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    heading->setFont(big);
    column->addWidget(heading);
    auto* bar = new QFrame(this);
    bar->setFixedHeight(3);
    bar->setStyleSheet(QStringLiteral("background: navy;"));
    column->addWidget(bar);
    column->addSpacing(12);
    status_ = Line(this, true);
    status_->setText(QStringLiteral("Checking..."));
    address_ = Line(this, false);
    address_->setText(address_->fontMetrics().elidedText(pageUrl, Qt::ElideMiddle, 280));
    address_->setToolTip(pageUrl);
    current_ = Line(this, true);
    current_->setText(
        QStringLiteral("Current version: %1").arg(QString::fromStdString(VersionString())));
    newVersion_ = Line(this, true);
    newVersion_->hide();
    progressText_ = Line(this, false);
    progressText_->setText(QStringLiteral("0 / 0 KB"));
    progressText_->setWordWrap(true); // it also shows why a check failed
    progressText_->hide();
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    progress_->hide();
    for (QWidget* w : {static_cast<QWidget*>(status_), static_cast<QWidget*>(address_),
                       static_cast<QWidget*>(current_), static_cast<QWidget*>(newVersion_),
                       static_cast<QWidget*>(progressText_), static_cast<QWidget*>(progress_)})
        column->addWidget(w);
    column->addStretch(1);
    button_ = new QPushButton(QStringLiteral("&Cancel"), this);
    column->addWidget(button_, 0, Qt::AlignRight);
    connect(button_, &QPushButton::clicked, this, &TfrmCheckUpdates::ButtonClick);

    wupd_ = new update::TmxWebUpdate(this);
    wupd_->setObjectName(QStringLiteral("wupd"));
    wupd_->Options = update::uoRunUpdate | update::uoTerminate | update::uoOverwrite;
    wupd_->Inplace = inplace;
    wupd_->ProductInfo.SetURL(pageUrl);

    wupd_->OnGetClientFileName = [this](QString& file) {
        file = QDir(updateFolder).filePath(QFileInfo(file).fileName());
    };
    wupd_->OnBeforeDownload = [this](const QString& file) {
        status_->setText(QStringLiteral("Downloading..."));
        address_->setText(address_->fontMetrics().elidedText(file, Qt::ElideMiddle, 280));
        address_->setToolTip(file);
        progressText_->show();
        progress_->show();
    };
    wupd_->OnDownload = [this](qint64 total, qint64 received) {
        progressText_->setText(Kilobytes(received) + QStringLiteral(" / ") + Kilobytes(total) +
                               QStringLiteral(" KB"));
        if (total > 0)
            progress_->setValue(static_cast<int>(std::lround(100.0 * received / total)));
    };
    wupd_->OnAfterDownload = [this](const QString&) {
        progressText_->hide();
        progress_->hide();
    };
    wupd_->OnUpdateAvailable = [this](const QString&, bool& install, const QString& announced) {
        if (!isVisible())
            open(); // a silent check shows itself now
        newVersion_->setText(QStringLiteral("New version: %1").arg(announced));
        newVersion_->show();
        if (announced.left(2) != QString::fromStdString(VersionString()).left(2)) {
            install = false;
            Ask(QMessageBox::Warning, kMajorVersionWarning, QMessageBox::Ok);
            wupd_->Abort();
            CloseLater();
            return;
        }
        const QString question =
            QStringLiteral("There is new version of software available for \r\ndownload at the ") +
            QString::fromLatin1(kMakerSiteName) +
            QStringLiteral(" website.\r\n\r\rDo you want to install new version? Program will be "
                           "restarted.");
        const auto answer =
            ask ? ask(QMessageBox::Warning, Shown(question), QMessageBox::Yes | QMessageBox::No)
                : QMessageBox::warning(this, windowTitle(), Shown(question),
                                       QMessageBox::Yes | QMessageBox::No);
        install = answer == QMessageBox::Yes;
        if (!install) {
            wupd_->Abort();
            CloseLater();
        }
    };
    wupd_->OnNoUpdateFound = [this] {
        if (silent_) {
            CloseLater();
            return;
        }
        newVersion_->setText(QStringLiteral("You have the latest version"));
        newVersion_->show();
        button_->setText(QStringLiteral("&Close"));
    };
    wupd_->OnDownloadError = [this] {
        wupd_->OnDownloadError = nullptr; // one message per dialog
        if (silent_) {
            CloseLater();
            return;
        }
        // The dialog says that the check is over, and why.
        status_->setText(QString::fromLatin1(kCheckFailed));
        progress_->hide();
        progressText_->setText(wupd_->LastError());
        progressText_->setToolTip(wupd_->LastError());
        progressText_->show();
        Ask(QMessageBox::Critical, kDownloadError, QMessageBox::Ok);
        button_->setText(QStringLiteral("&Close"));
    };
    wupd_->OnCannotExecute = [this] { Ask(QMessageBox::Critical, kExecuteError, QMessageBox::Ok); };
    wupd_->OnAfterShowInfo = [this](bool result) {
        if (!result)
            CloseLater();
    };
    connect(wupd_, &update::TmxWebUpdate::finished, this, [this] {
        if (!isVisible()) {
            CloseLater(); // a silent check that found nothing to say
            return;
        }
        if (button_->text() == QStringLiteral("&Cancel"))
            button_->setText(QStringLiteral("&Close"));
    });
    QTimer::singleShot(500, this, &TfrmCheckUpdates::StartCheck);
}

void TfrmCheckUpdates::StartCheck()
{
    if (wupd_->Busy())
        return;
    wupd_->ProductInfo.Version = QString::fromStdString(VersionString());
    wupd_->CheckForUpdate();
}

QMessageBox::StandardButton TfrmCheckUpdates::Ask(QMessageBox::Icon icon, const char* text,
                                                  QMessageBox::StandardButtons buttons)
{
    const QString shown = Shown(QString::fromLatin1(text));
    if (ask)
        return ask(icon, shown, buttons);
    QMessageBox box(icon, windowTitle(), shown, buttons, this);
    if (icon == QMessageBox::Critical && !wupd_->LastError().isEmpty())
        box.setInformativeText(wupd_->LastError());
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void TfrmCheckUpdates::ButtonClick()
{
    if (wupd_->Busy() && Ask(QMessageBox::Question, kAbortQuestion,
                             QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    wupd_->OnDownloadError = nullptr;
    wupd_->Abort();
    close();
}

void TfrmCheckUpdates::CloseLater()
{
    QTimer::singleShot(0, this, &QDialog::close);
}

void TfrmCheckUpdates::done(int result)
{
    // Closing the dialog in any way ends the check.
    wupd_->OnDownloadError = nullptr;
    wupd_->Abort();
    QDialog::done(result);
}

} // namespace tw::ui
