#include "app/WindowHost.h"

#include "app/ExtractionState.h"
#include "app/MainWindow.h"
#include "engine/JobControl.h"
#include "input/MessageBoxes.h"
#include "input/WidgetText.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace harvina {

void WindowHost::MirrorChecks()
{
    extractText_ = window_.extractText.isChecked();
    extractLinks_ = window_.extractLinks.isChecked();
    imagesOnly_ = window_.imagesOnly.isChecked();
    restrictSuffix_ = window_.restrictSuffix.isChecked();
}

void WindowHost::Toggle(bool useWinInet)
{
    GlobalExtractionState().useWinInet = useWinInet;
    ++jobDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{jobDepth_};
    ToggleExtraction(*this);
}

std::string WindowHost::StartCaption()
{
    return FromWidgetText(window_.start.text());
}

void WindowHost::SetStartCaption(const std::string& caption)
{
    window_.start.setText(ToWidgetText(caption));
}

std::string WindowHost::InputText()
{
    return FromWidgetText(window_.input.toPlainText());
}

std::string WindowHost::SaveFolder()
{
    return FromWidgetText(window_.saveFolder.text());
}

std::string WindowHost::SuffixText()
{
    return FromWidgetText(window_.suffixes.text());
}

int WindowHost::ThreadIndex()
{
    return window_.threads.currentIndex();
}

void WindowHost::ProcessEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WindowHost::ShowCompletionMessage(const std::string& text)
{
    ActiveMessageBoxes().Inform(nullptr, InformationTitle(), ToWidgetText(text));
}

void WindowHost::ShowResultFileError(const std::string& text, const std::string& /*path*/)
{
    ActiveMessageBoxes().Inform(nullptr, InformationTitle(), ToWidgetText(text));
}

void WindowHost::SetStatusText(int part, const std::string& text)
{
    if (part < 0 || part >= static_cast<int>(window_.statusParts.size()))
        return;
    QLabel* label = &window_.statusParts[static_cast<size_t>(part)];
    // Always queued, also from the UI thread: the parts then change in the order
    // the writes were made, whichever thread made them.
    QMetaObject::invokeMethod(
        label, [label, shown = ToWidgetText(text)] { label->setText(shown); }, Qt::QueuedConnection);
}

} // namespace harvina
