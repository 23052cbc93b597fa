#include "input/WidgetText.h"

#include "platform/Charset.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace harvina {

QString ToWidgetText(std::string_view local)
{
    QString text = QString::fromStdString(Utf8Text(local));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string FromWidgetText(const QString& text)
{
    QString lines = text;
    // Multi-line boxes hand out paragraph separators; the core's lines end in CR LF.
    lines.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return LocalText(lines.toStdString());
}

void AppendToEnd(QPlainTextEdit& box, const QString& text)
{
    QTextCursor cursor = box.textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    box.setTextCursor(cursor);
    box.ensureCursorVisible();
}

} // namespace harvina
