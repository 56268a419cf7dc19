// The main window as the program's document window, for the shell tests: a window made as the
// program makes one, with the settings in a temporary folder and the dialogs, the save question
// and the desktop replaced by the test's answers, so nothing blocks, opens a browser or touches
// the user's files.
#pragma once

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <cmath>
#include <deque>
#include <memory>

#include "engine/Globals.h"
#include "support/WindowActions.h"
#include "ui/Desktop.h"
#include "ui/Settings.h"
#include "ui/TWMain.h"

namespace shell {

QString Text(const QWidget* box)
{
    return static_cast<const QLineEdit*>(box)->text();
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A project file read back as the program would read it.
std::unique_ptr<tw::TTWData> Load(const QString& path)
{
    auto project = std::make_unique<tw::TTWData>();
    project->LoadFromFile(tw::ui::ToPath(path));
    return project;
}

// The texts of a menu's or toolbar's entries, "|" for a separator, hidden entries left out.
QStringList Entries(const QList<QAction*>& actions)
{
    QStringList entries;
    for (const QAction* action : actions) {
        if (!action->isVisible())
            continue;
        entries << (action->isSeparator() ? QStringLiteral("|") : action->text());
    }
    return entries;
}

} // namespace shell

// The test objects derive from this and call InitTestCase, Init and Cleanup from their slots.
class TShellFixture : public TWindowActions
{
protected:
    QTemporaryDir settingsDir_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<tw::TTWData> project_;
    std::unique_ptr<TfrmTWMain> window_;
    QStringList errors_;
    // The answers the replaced question and dialogs give, and what they were asked.
    std::deque<QMessageBox::StandardButton> answers_;
    int questions_ = 0;
    QString openAnswer_, saveAnswer_, logoAnswer_;
    int openDialogs_ = 0, saveDialogs_ = 0, logoDialogs_ = 0;
    QString dialogFolder_, dialogOffered_;
    QList<QUrl> opened_;
    QList<bool> updateChecks_; // the update checks started: silent or not

    TfrmTWMain& W() override { return *window_; }
    QString Path(const QString& name) const { return dir_->filePath(name); }
    QString Documents() const { return dir_->filePath(QStringLiteral("home/Documents/Tarnwick")); }
    const QStringList& Errors()
    {
        QCoreApplication::processEvents();
        return errors_;
    }

    // A window as the program makes one, with the desktop's parts replaced.
    void MakeWindow()
    {
        window_.reset();
        project_ = std::make_unique<tw::TTWData>();
        project_->ExampleFolder = TW_BINARY_DIR "/cli";
        window_ = std::make_unique<TfrmTWMain>(*project_);
        W().showError = [this](const QString& message) { errors_ << message; };
        W().askSaveChanges = [this] {
            ++questions_;
            if (answers_.empty())
                return QMessageBox::Cancel;
            const QMessageBox::StandardButton answer = answers_.front();
            answers_.pop_front();
            return answer;
        };
        W().chooseOpenFile = [this](const QString& folder, const QString& offered) {
            ++openDialogs_;
            dialogFolder_ = folder;
            dialogOffered_ = offered;
            return openAnswer_;
        };
        W().chooseSaveFile = [this](const QString& folder, const QString& offered) {
            ++saveDialogs_;
            dialogFolder_ = folder;
            dialogOffered_ = offered;
            return saveAnswer_;
        };
        W().chooseLogoFile = [this](const QString& folder) {
            ++logoDialogs_;
            dialogFolder_ = folder;
            return logoAnswer_;
        };
        W().openWithDesktop = [this](const QUrl& address) {
            opened_ << address;
            return true;
        };
        W().programFolder = Path(QStringLiteral("program"));
        // No test reaches for a network: update checks are only counted.
        W().runUpdateCheck = [this](bool silent) { updateChecks_ << silent; };
    }

    void ShowWindow(int width = 1600, int height = 950)
    {
        W().resize(width, height);
        W().show();
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    // A committed change: the project is modified.
    void ChangeShoredHeight(const QString& text)
    {
        Type(tw::form::Box::ShoredHeight, text);
        Leave();
        QVERIFY(W().form().Modified());
    }
    // Saves the project as the named file of the test folder.
    void SaveAs(const QString& name)
    {
        saveAnswer_ = Path(name);
        QVERIFY(W().ASaveAsExecute());
        QCOMPARE(W().FileName(), Path(name));
        QVERIFY(!W().form().Modified());
    }
    QString ShoredHeightText() { return shell::Text(W().boxWidget(tw::form::Box::ShoredHeight)); }
    double ShoredHeightMax()
    {
        return static_cast<double>(tw::LimitForTag(project_->Limits(), tw::Tag::ShoredHeight).Max);
    }

    void InitTestCase()
    {
        QVERIFY(settingsDir_.isValid());
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
        QVERIFY(tw::ui::OpenSettings()->fileName().startsWith(settingsDir_.path()));
    }

    void Init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        tw::ui::OpenSettings()->clear();
        errors_.clear();
        answers_.clear();
        questions_ = openDialogs_ = saveDialogs_ = logoDialogs_ = 0;
        openAnswer_ = saveAnswer_ = logoAnswer_ = QString();
        opened_.clear();
        updateChecks_.clear();
        MakeWindow();
        W().StartUp(Documents());
        ShowWindow();
        QVERIFY2(Errors().isEmpty(), qPrintable(Errors().join('\n')));
    }

    void Cleanup()
    {
        window_.reset();
        project_.reset();
        dir_.reset();
    }
};
