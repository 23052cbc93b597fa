#pragma once

#include "app/WindowHost.h"
#include "input/GeneratorWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace harvina {

class SettingsStore;

// "Vortan·Harvina v1.2.1.0": the input list, the options, the save folder, the
// start/stop button and the four-part status bar. Each control's object name
// is its name in the settings; the controls are restored at creation and saved
// when the window closes, in section "主界面".
class MainWindow : public QMainWindow {
    // Parents first: members are built in this order and destroyed in reverse.
    QWidget central_;
    QLabel banner_;
    QLabel inputLabel_;
    QLabel saveLabel_;
    QStatusBar status_;

public:
    explicit MainWindow(SettingsStore& settings);
    ~MainWindow() override;

    [[nodiscard]] ExtractionHost& Host() { return host_; }
    // The generator window, once "生成搜索网址" has opened it.
    [[nodiscard]] GeneratorWindow* Generator() { return generator_.get(); }

    // Handlers, as the controls run them.
    void StartPressed(bool rightButton);
    void ChooseSaveFolder();
    void OpenSaveFolder();
    void PasteInput();
    void OpenGenerator();
    void ApplyEnableRules();

    // The controls, in the form's order (the host and tests read them).
    QPushButton paste;
    QPushButton import;
    QPushButton generate;
    QPlainTextEdit input;
    QCheckBox extractText;
    QCheckBox extractLinks;
    QCheckBox imagesOnly;
    QComboBox threads;
    QCheckBox restrictSuffix;
    QLineEdit suffixes;
    QLineEdit saveFolder;
    QPushButton openFolder; // sits on the save folder box, so comes after it
    QPushButton start;
    std::array<QLabel, 4> statusParts;

    // Run when the window closes during a job; the program ends the process
    // there (nothing waits for the job), tests leave it empty.
    std::function<void()> endWhileRunning;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildForm();
    void Persist(QWidget& window, bool restore, const std::string& section);

    SettingsStore& settings_;
    WindowHost host_;
    std::unique_ptr<GeneratorWindow> generator_;
};

// The form's default save folder on this platform: "域名提取结果" in the home folder.
[[nodiscard]] QString DefaultSaveFolder();

} // namespace harvina
