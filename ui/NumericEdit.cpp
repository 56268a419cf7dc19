#include "ui/NumericEdit.h"

#include <QKeyEvent>
#include <QLocale>
#include <QPalette>
#include <QToolTip>

namespace tw::ui {

TNumberFormat LocaleNumberFormat()
{
    const QLocale locale;
    TNumberFormat format;
    format.decimalSeparator = locale.decimalPoint().toStdString();
    format.thousandsSeparator = locale.groupSeparator().toStdString();
    if (format.decimalSeparator.empty())
        format.decimalSeparator.assign(1, '.');
    return format;
}

TNumericEdit::TNumericEdit(QWidget* parent) : QLineEdit(parent), format_(LocaleNumberFormat())
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setReadOnlyLook(false);
}

void TNumericEdit::setReadOnlyLook(bool readOnly)
{
    setReadOnly(readOnly);
    setFocusPolicy(readOnly ? Qt::ClickFocus : Qt::StrongFocus);
    QPalette pal = palette();
    pal.setColor(QPalette::Base,
                 readOnly ? QColor::fromRgb(kReadOnlyColour) : QPalette().color(QPalette::Base));
    // Disabled (a load switched off, results of an earlier analysis): a paler fill and a dark
    // grey text that can still be read; the style's light grey is lost on the blue.
    pal.setColor(QPalette::Disabled, QPalette::Base,
                 readOnly ? QColor::fromRgb(kDisabledReadOnlyColour)
                          : QPalette().color(QPalette::Disabled, QPalette::Base));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor::fromRgb(kDisabledTextColour));
    setPalette(pal);
}

void TNumericEdit::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (!keyFilter_) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Navigation, editing shortcuts and keys without text pass; typed characters are filtered.
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) ||
        event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab ||
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape || event->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // The text the key goes into: the box without its selection, which the key replaces.
    QString remaining = this->text();
    if (hasSelectedText())
        remaining.remove(selectionStart(), selectedText().size());
    const std::string boxText = remaining.toStdString();
    for (const char32_t key : text.toUcs4()) {
        const TKeyVerdict verdict = FilterNumericKey(key, boxText, format_);
        if (verdict.accepted)
            continue;
        if (!verdict.refusal.empty()) {
            const QString why = QString::fromStdString(verdict.refusal);
            if (refusalTip_)
                QToolTip::showText(mapToGlobal(QPoint(0, height())), why, this);
            emit keyRefused(why);
        }
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace tw::ui
