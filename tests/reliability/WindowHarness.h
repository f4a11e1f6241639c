#pragma once

// The real window, offscreen, over a real memo.mdb, with the two seams the tests may use: error
// reports are collected instead of shown, and the pointer stays inside the window so that the
// auto-hide poll never rolls it up.

#include "runtime/Cursor.h"
#include "runtime/ErrorReport.h"
#include "window/NoteWindow.h"
#include "window/controls/ListView.h"

#include <QApplication>
#include <QPoint>
#include <QStringList>
#include <memory>

namespace reliability {

class WindowHarness
{
public:
    WindowHarness()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        runtime::setErrorSinkForTesting([this](const QString &message) { reports << message; });
        runtime::setCursorPosForTesting([] { return std::optional<QPoint>(QPoint(600, 100)); });
    }
    ~WindowHarness()
    {
        form.reset();
        runtime::setCursorPosForTesting({});
        runtime::setErrorSinkForTesting({});
    }
    WindowHarness(const WindowHarness &) = delete;
    WindowHarness &operator=(const WindowHarness &) = delete;

    // Creates and loads the window, then unrolls it as the user would.
    bool start()
    {
        form = std::make_unique<window::NoteWindow>();
        if (!form->load())
            return false;
        form->show();
        form->toggleRolledUp();
        return true;
    }

    QStringList titles() const
    {
        QStringList result;
        for (int i = 1; i <= form->noteList->itemCount(); ++i)
            result << form->noteList->itemText(i - 1);
        return result;
    }
    QList<qint64> ids() const
    {
        QList<qint64> result;
        for (int i = 1; i <= form->noteList->itemCount(); ++i)
            result << form->noteList->itemId(i - 1);
        return result;
    }
    QStringList keys() const
    {
        QStringList result;
        for (int i = 1; i <= form->noteList->itemCount(); ++i)
            result << form->noteList->itemKey(i - 1);
        return result;
    }

    QStringList reports;
    std::unique_ptr<window::NoteWindow> form;
};

} // namespace reliability
