#pragma once

#include <string>

class QPlainTextEdit;
class QWidget;

namespace harvina {

// The open-file dialog with multiple selection. `title`, `filter` (pair
// convention, "desc|pattern|...") and `initialFolder` are local text; an empty
// initial folder starts in the current folder. Returns the chosen full paths
// joined by CR LF, empty when cancelled. Unless `keepCurrentFolder`, the
// process's current folder is the one it was before the dialog.
[[nodiscard]] std::string PickOpenFiles(QWidget* owner, const std::string& title, const std::string& filter,
                                        const std::string& initialFolder = {}, bool keepCurrentFolder = false);

// The import button: appends the chosen files' paths to the input box, one per
// line, on a new line when the box already holds text.
void ImportAddressFiles(QPlainTextEdit& inputBox);

} // namespace harvina
