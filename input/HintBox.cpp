#include "input/HintBox.h"

#include "input/TextDialogLayout.h"
#include "platform/Charset.h"

#include <QPainter>

#include <algorithm>

namespace harvina {
namespace {

// Bytes of the GB18030 character starting at `text[i]`.
size_t CharacterBytes(std::string_view text, size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x81 || lead == 0xFF || i + 1 >= text.size())
        return 1;
    const auto second = static_cast<unsigned char>(text[i + 1]);
    if (second >= 0x30 && second <= 0x39)
        return std::min<size_t>(4, text.size() - i);
    return 2;
}

} // namespace

HintBox::HintBox(QWidget* parent) : QWidget(parent)
{
    QFont font = this->font();
    font.setPixelSize(kHintRowHeight - 1);
    setFont(font);
}

void HintBox::SetHint(const std::string& localText)
{
    hint_ = localText;
    update();
}

void HintBox::SetBold(bool bold)
{
    QFont font = this->font();
    font.setBold(bold);
    setFont(font);
}

void HintBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const size_t columns = static_cast<size_t>(std::max(1, width() / kHintCharWidth));
    const std::string_view text = hint_;
    int row = 0;
    size_t lineStart = 0;
    while (lineStart <= text.size() && !text.empty()) {
        const size_t lineEnd = std::min(text.find("\r\n", lineStart), text.size());
        size_t i = lineStart;
        do {
            const size_t chunkStart = i;
            while (i < lineEnd && i - chunkStart + CharacterBytes(text, i) <= columns)
                i += CharacterBytes(text, i);
            if (i == chunkStart && i < lineEnd)
                i += CharacterBytes(text, i); // one character wider than the row
            const QRect cell(0, row * kHintRowHeight, width(), kHintRowHeight);
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             QString::fromStdString(Utf8Text(text.substr(chunkStart, i - chunkStart))));
            ++row;
        } while (i < lineEnd);
        lineStart = lineEnd + 2;
    }
}

} // namespace harvina
