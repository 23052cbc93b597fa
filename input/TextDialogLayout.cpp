#include "input/TextDialogLayout.h"

#include "input/TextDialogRequest.h"

#include <algorithm>

namespace harvina {

int EffectiveMargin(int margin)
{
    return margin <= 0 ? kDefaultTextDialogMargin : margin;
}

int HintColumns(int clientWidth, int margin)
{
    // A client narrower than one character cell still lays out one per row.
    return std::max(1, (clientWidth - 2 * margin) / kHintCharWidth);
}

int HintRows(std::string_view hint, int columns)
{
    if (hint.empty())
        return 0;
    columns = std::max(1, columns);
    int rows = 0;
    size_t start = 0;
    while (true) {
        const size_t end = hint.find("\r\n", start);
        const size_t length = (end == std::string_view::npos ? hint.size() : end) - start;
        rows += std::max<int>(1, static_cast<int>((length + columns - 1) / columns));
        if (end == std::string_view::npos)
            return rows;
        start = end + 2;
    }
}

TextDialogGeometry LayoutTextDialog(LayoutSize client, int margin, std::string_view hint)
{
    const int m = margin;
    TextDialogGeometry g;
    g.hint = {m, m, client.width - 2 * m, kHintRowHeight * HintRows(hint, HintColumns(client.width, m))};
    g.body.left = m;
    g.body.top = g.hint.top + g.hint.height + m;
    g.body.width = g.hint.width;
    g.body.height = client.height - g.body.top - kTextDialogStrip.height;
    g.strip = {m, g.body.top + g.body.height, kTextDialogStrip.width, kTextDialogStrip.height};
    const int buttonTop = g.strip.top + g.strip.height / 2 - kTextDialogButton.height / 2;
    g.cancel = {client.width - m - kTextDialogButton.width, buttonTop, kTextDialogButton.width,
                kTextDialogButton.height};
    g.ok = {g.cancel.left - kTextDialogButton.width, buttonTop, kTextDialogButton.width, kTextDialogButton.height};
    return g;
}

LayoutSize TextDialogClientSize(int bodyWidth, int bodyHeight, int margin)
{
    LayoutSize size = kTextDialogClient;
    if (bodyWidth != 0)
        size.width = bodyWidth + 2 * margin;
    if (bodyHeight != 0)
        size.height = kTextDialogFormHintHeight + 2 * margin + bodyHeight + 3 * margin + kTextDialogButton.height;
    return size;
}

LayoutRect CentredWindow(LayoutSize screen, LayoutSize window)
{
    const double left = screen.width / 2.0 - window.width / 2.0;
    const double top = (screen.height - 30) / 2.0 - window.height / 2.0;
    return {static_cast<int>(left), static_cast<int>(top), window.width, window.height};
}

} // namespace harvina
