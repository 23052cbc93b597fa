#include "app/QtPersistableControl.h"

#include "input/ControlTag.h"
#include "input/WidgetText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace harvina {

QtPersistableControl::QtPersistableControl(QWidget& widget) : widget_(widget), kind_(KindOf(widget)) {}

ControlKind QtPersistableControl::KindOf(const QWidget& widget)
{
    if (qobject_cast<const QPushButton*>(&widget))
        return ControlKind::Button;
    if (qobject_cast<const QPlainTextEdit*>(&widget) || qobject_cast<const QLineEdit*>(&widget))
        return ControlKind::EditBox;
    if (qobject_cast<const QCheckBox*>(&widget))
        return ControlKind::CheckBox;
    if (qobject_cast<const QRadioButton*>(&widget))
        return ControlKind::RadioButton;
    if (qobject_cast<const QComboBox*>(&widget))
        return ControlKind::ComboBox;
    return ControlKind::Other;
}

std::string QtPersistableControl::Name() const
{
    return FromWidgetText(widget_.objectName());
}

std::string QtPersistableControl::Tag() const
{
    return FromWidgetText(ControlTag(widget_));
}

void QtPersistableControl::SetTag(const std::string& tag)
{
    SetControlTag(widget_, ToWidgetText(tag));
}

std::string QtPersistableControl::Text() const
{
    if (const auto* box = qobject_cast<const QPlainTextEdit*>(&widget_))
        return FromWidgetText(box->toPlainText());
    if (const auto* line = qobject_cast<const QLineEdit*>(&widget_))
        return FromWidgetText(line->text());
    if (const auto* combo = qobject_cast<const QComboBox*>(&widget_))
        return FromWidgetText(combo->currentText());
    return {};
}

void QtPersistableControl::SetText(const std::string& text)
{
    if (auto* box = qobject_cast<QPlainTextEdit*>(&widget_))
        box->setPlainText(ToWidgetText(text));
    else if (auto* line = qobject_cast<QLineEdit*>(&widget_))
        line->setText(ToWidgetText(text));
    else if (auto* combo = qobject_cast<QComboBox*>(&widget_); combo && combo->isEditable())
        combo->setEditText(ToWidgetText(text));
}

bool QtPersistableControl::Checked() const
{
    const auto* button = qobject_cast<const QAbstractButton*>(&widget_);
    return button && button->isCheckable() && button->isChecked();
}

void QtPersistableControl::SetChecked(bool checked)
{
    if (auto* button = qobject_cast<QAbstractButton*>(&widget_); button && button->isCheckable())
        button->setChecked(checked);
}

int QtPersistableControl::CurrentIndex() const
{
    const auto* combo = qobject_cast<const QComboBox*>(&widget_);
    return combo ? combo->currentIndex() : -1;
}

void QtPersistableControl::SetCurrentIndex(int index)
{
    auto* combo = qobject_cast<QComboBox*>(&widget_);
    if (combo && index >= -1 && index < combo->count())
        combo->setCurrentIndex(index);
}

std::vector<std::string> QtPersistableControl::Items() const
{
    std::vector<std::string> items;
    if (const auto* combo = qobject_cast<const QComboBox*>(&widget_)) {
        for (int i = 0; i < combo->count(); ++i)
            items.push_back(FromWidgetText(combo->itemText(i)));
    }
    return items;
}

void QtPersistableControl::SetItems(const std::vector<std::string>& items)
{
    if (auto* combo = qobject_cast<QComboBox*>(&widget_)) {
        combo->clear();
        for (const std::string& item : items)
            combo->addItem(ToWidgetText(item));
    }
}

int QtPersistableControl::ItemCount() const
{
    const auto* combo = qobject_cast<const QComboBox*>(&widget_);
    return combo ? combo->count() : 0;
}

} // namespace harvina
