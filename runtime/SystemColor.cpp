#include "SystemColor.h"

#include <QApplication>
#include <QPalette>

namespace runtime {

QColor systemColor(SystemColor role)
{
    const QPalette palette = QApplication::palette();
    switch (role) {
    case SystemColor::WindowBackground:
        return palette.color(QPalette::Active, QPalette::Base);
    case SystemColor::WindowText:
        return palette.color(QPalette::Active, QPalette::Text);
    case SystemColor::ActiveTitleBar:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case SystemColor::TitleBarText:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case SystemColor::ButtonText:
        return palette.color(QPalette::Active, QPalette::ButtonText);
    }
    return {};
}

} // namespace runtime
