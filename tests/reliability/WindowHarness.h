#pragma once

// The real window, offscreen, over a real memo.mdb, driven as a person would (see
// WindowTestSupport.h). Error reports are collected, and the pointer stays inside the window so
// that the auto-hide poll never rolls it up.

#include "WindowTestSupport.h"

#include <QApplication>
#include <QStringList>
#include <memory>

namespace reliability {

class WindowHarness
{
public:
    explicit WindowHarness(store::NoteStore notes)
        : window(std::make_unique<windowtest::WindowUnderTest>(std::move(notes)))
    {
        QApplication::setQuitOnLastWindowClosed(false);
        window->desktop.pointer = QPoint(600, 100);
    }

    // Starts the window as the program does, shows it and unrolls it.
    bool start() { return window->startUnrolled(); }

    const window::Controls &ui() const { return window->ui; }
    QStringList &reports() { return window->desktop.reports; }
    const QStringList &reports() const { return window->desktop.reports; }

    // The list as shown, by row.
    QStringList titles() const
    {
        QStringList result;
        for (int row = 0; row < ui().noteList->itemCount(); ++row)
            result << ui().noteList->itemText(row);
        return result;
    }
    QList<qint64> ids() const
    {
        QList<qint64> result;
        for (int row = 0; row < ui().noteList->itemCount(); ++row)
            result << ui().noteList->itemId(row);
        return result;
    }
    QStringList keys() const
    {
        QStringList result;
        for (int row = 0; row < ui().noteList->itemCount(); ++row)
            result << ui().noteList->itemKey(row);
        return result;
    }

    std::unique_ptr<windowtest::WindowUnderTest> window;
};

} // namespace reliability
