#pragma once

#include <QWidget>

#include <string>

namespace harvina {

// The hint line(s) above the dialog's body. It draws its text in rows of the
// same fixed cells the layout counts (6 pixels a byte, 12 a row), so the box
// is always exactly as tall as the rows it shows.
class HintBox : public QWidget {
public:
    explicit HintBox(QWidget* parent = nullptr);

    void SetHint(const std::string& localText);
    [[nodiscard]] const std::string& Hint() const { return hint_; }
    void SetBold(bool bold);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string hint_;
};

} // namespace harvina
