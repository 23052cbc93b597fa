#pragma once

#include <QString>

#include <string>
#include <string_view>

class QPlainTextEdit;

namespace harvina {

// Local text (GB18030, CR LF lines) to what a Qt widget shows, and back.
[[nodiscard]] QString ToWidgetText(std::string_view local);
[[nodiscard]] std::string FromWidgetText(const QString& text);

// Appends after the last character of the box, moves the caret there and
// scrolls it into view; the existing content is not touched.
void AppendToEnd(QPlainTextEdit& box, const QString& text);

} // namespace harvina
