#pragma once

#include "settings/PersistableControl.h"

class QWidget;

namespace harvina {

// One Qt widget seen as a control of the settings model. Its kind is the
// widget's real class; texts cross as local text.
class QtPersistableControl final : public PersistableControl {
public:
    explicit QtPersistableControl(QWidget& widget);

    [[nodiscard]] std::string Name() const override;
    [[nodiscard]] ControlKind Kind() const override { return kind_; }
    [[nodiscard]] std::string Tag() const override;
    void SetTag(const std::string& tag) override;

    [[nodiscard]] std::string Text() const override;
    void SetText(const std::string& text) override;
    [[nodiscard]] bool Checked() const override;
    void SetChecked(bool checked) override;
    [[nodiscard]] int CurrentIndex() const override;
    void SetCurrentIndex(int index) override;
    [[nodiscard]] std::vector<std::string> Items() const override;
    void SetItems(const std::vector<std::string>& items) override;
    [[nodiscard]] int ItemCount() const override;

    // The kind a widget has for the settings model (Other for the rest).
    [[nodiscard]] static ControlKind KindOf(const QWidget& widget);

private:
    QWidget& widget_;
    ControlKind kind_;
};

} // namespace harvina
