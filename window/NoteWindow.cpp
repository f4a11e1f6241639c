#include "NoteWindow.h"

#include "Design.h"
#include "DesignBuilder.h"
#include "runtime/Desktop.h"
#include "store/Session.h"
#include "window/controls/CheckBox.h"
#include "window/controls/CommandButton.h"
#include "window/controls/Frame.h"
#include "window/controls/Image.h"
#include "window/controls/Label.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

namespace window {

NoteWindow::NoteWindow(store::NoteStore notes, runtime::Desktop &desktop, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , TwipsControl(this)
    , m_notes(std::move(notes))
    , m_desktop(desktop)
{
    const FormDesign &design = formDesign();
    setObjectName(QStringLiteral("NoteWindow"));
    setWindowTitle(QString::fromUtf8(design.caption));
    QPalette background = palette();
    background.setColor(QPalette::Window, runtime::systemColor(design.background));
    setPalette(background);
    setAutoFillBackground(true);

    m_ui = buildDesign(this);
    connectHandlers();
    setTwipsGeometry(design.left, design.top, design.width, design.height);
}

NoteWindow::~NoteWindow() = default;

void NoteWindow::connectHandlers()
{
    connect(m_ui.titleStrip, &window::Label::doubleClicked, this, &NoteWindow::toggleRolledUp);
    connect(m_ui.titleStrip, &window::Label::pressed, this, &NoteWindow::dragWindow);
    connect(m_ui.rolledUpArrow, &window::Image::pointerMoved, this, &NoteWindow::unrollOnHover);
    connect(m_ui.exitButton, &QPushButton::clicked, this, &NoteWindow::askExit);

    connect(m_ui.noteList, &window::ListView::itemClicked, this, &NoteWindow::showNote);
    connect(m_ui.noteList, &window::ListView::highlightMoved, this, &NoteWindow::highlightMoved);
    connect(m_ui.menuButton, &QPushButton::clicked, this, &NoteWindow::toggleCommandPanel);
    connect(m_ui.saveButton, &QPushButton::clicked, this, &NoteWindow::askTitle);
    connect(m_ui.deleteButton, &QPushButton::clicked, this, &NoteWindow::askDelete);
    connect(m_ui.newButton, &QPushButton::clicked, this, &NoteWindow::newNote);
    connect(m_ui.saveOkButton, &QPushButton::clicked, this, &NoteWindow::saveNote);
    connect(m_ui.saveCancelButton, &QPushButton::clicked, this, &NoteWindow::cancelSave);
    connect(m_ui.deleteYesButton, &QPushButton::clicked, this, &NoteWindow::deleteNote);
    connect(m_ui.deleteNoButton, &QPushButton::clicked, this, &NoteWindow::cancelDelete);

    connect(m_ui.noteList, &window::ListView::pointerMoved, this, &NoteWindow::startWidening);
    connect(m_ui.noteText, &window::MultiLineTextBox::pointerMoved, this,
            &NoteWindow::pointerOverNote);
    connect(m_ui.leftEdge, &window::Label::pointerMoved, this, &NoteWindow::pointerOverEdge);
    connect(m_ui.topEdge, &window::Label::pointerMoved, this, &NoteWindow::pointerOverEdge);
    connect(m_ui.bottomEdge, &window::Label::pointerMoved, this, &NoteWindow::pointerOverEdge);
    connect(m_ui.widenTimer, &window::Timer::tick, this, &NoteWindow::widenStep);
    connect(m_ui.narrowTimer, &window::Timer::tick, this, &NoteWindow::narrowStep);

    connect(m_ui.pointerPoll, &window::Timer::tick, this, &NoteWindow::pollPointer);
}

void NoteWindow::reportStoreError(const store::StoreError &error)
{
    m_desktop.reportError(this, error.message());
}

void NoteWindow::reloadList()
{
    store::Result<store::NoteList> notes = m_notes.listNotes();
    if (!notes) {
        store::StoreError error = notes.error();
        error.remedy = QStringLiteral("Listan som visas kan vara inaktuell; den läses om vid "
                                      "nästa ändring. ")
                       + error.remedy;
        reportStoreError(error);
        return;
    }
    showList(std::move(*notes));
}

void NoteWindow::showList(store::NoteList notes)
{
    store::NoteList::Parts parts = std::move(notes).release();
    m_ui.noteList->adoptItems(std::move(parts.ids), std::move(parts.starts),
                              std::move(parts.titles));
}

} // namespace window
