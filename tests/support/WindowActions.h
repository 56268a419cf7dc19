// What a user does in the main window, for the window tests: focus an input, type into a
// numeric box, leave the focused input.
#pragma once

#include <QApplication>
#include <QTest>

#include "ui/TWMain.h"

class TWindowActions
{
protected:
    virtual ~TWindowActions() = default;
    virtual TfrmTWMain& W() = 0;

    void Focus(QWidget* widget)
    {
        widget->setFocus(Qt::TabFocusReason);
        QVERIFY(widget->hasFocus());
    }
    // Types into a box as the user does: focus, select everything, type.
    void Type(tw::form::Box box, const QString& text)
    {
        QWidget* edit = W().boxWidget(box);
        Focus(edit);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
    // Leaves the focused input with Tab.
    void Leave() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }
    // The caption as the desktop shows it: "*" after the name while the project is modified.
    QString Caption()
    {
        return W().windowTitle().replace(QStringLiteral("[*]"),
                                         W().isWindowModified() ? QStringLiteral("*") : QString());
    }
};
