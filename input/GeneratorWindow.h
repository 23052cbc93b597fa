#pragma once

#include "input/ControlTag.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace harvina {

// "生成搜索引擎网址列表": turns a keyword list into search-engine result-page
// addresses. Owned by the main window, not modal; its controls (and the last
// keyword list, kept in the tag of its button) persist in their own section.
class GeneratorWindow : public QWidget {
public:
    GeneratorWindow(QWidget* owner, PersistControls persist);

    // The click handler of "按钮生成".
    void GenerateSearchUrls();

    [[nodiscard]] QPushButton& GenerateButton() { return generate_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    PersistControls persist_;
    QLabel engines_;
    QCheckBox baidu_;
    QCheckBox sogou_;
    QCheckBox so360_;
    // The page count sits on the button in the form, so it comes after it.
    QPushButton generate_;
    QLineEdit pages_;
};

} // namespace harvina
