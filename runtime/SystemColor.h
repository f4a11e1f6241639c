#pragma once

#include <QColor>

namespace runtime {

// The desktop colours the design names by their role, each mapped to the palette role of the
// running style that plays the same part.
enum class SystemColor {
    WindowBackground, // QPalette::Base
    WindowText,       // QPalette::Text
    ActiveTitleBar,   // QPalette::Highlight
    TitleBarText,     // QPalette::HighlightedText
    ButtonText,       // QPalette::ButtonText
};

QColor systemColor(SystemColor role);

} // namespace runtime
