// The floor for start-up measurements: what a frameless, always-on-top Qt window of Zentavo's
// size and place costs on this machine when it holds the same kinds of widget as Zentavo's
// rolled-up window (a label with the caption, a plain text edit and a tree view with one header
// column) and nothing else: no database, no design table. Prints the same first-frame marker
// as zentavo --report-first-frame, always.

#include "runtime/FirstFrame.h"
#include "runtime/SystemDesktop.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTreeView>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setWindowTitle(QStringLiteral("Zentavo floor"));
    window.setGeometry(433, 0, 353, 17);
    // Children are owned by the window; placed as Zentavo's, below the strip.
    auto *caption = new QLabel(QStringLiteral("Zentavo 1.0"), &window);
    caption->setGeometry(0, 0, 353, 17);
    auto *text = new QPlainTextEdit(&window);
    text->setGeometry(24, 24, 320, 256);
    auto *model = new QStandardItemModel(0, 1, &window);
    model->setHorizontalHeaderLabels({QStringLiteral("Namn")});
    auto *list = new QTreeView(&window);
    list->setModel(model);
    list->setGeometry(8, 24, 13, 256);
    runtime::SystemDesktop desktop(runtime::SystemDesktop::FirstFrame::Report);
    runtime::afterFirstFrame(window, [&desktop] { desktop.firstFrameShown(); });
    window.show();
    return app.exec();
}
