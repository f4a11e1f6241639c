#include "NoteWindow.h"

#include "Design.h"
#include "DesignBuilder.h"
#include "Pictures.h"
#include "runtime/App.h"
#include "runtime/ErrorReport.h"
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

namespace {
template<typename Control>
void bind(QObject *form, Control *&member, const char *name)
{
    member = form->findChild<Control *>(QString::fromLatin1(name));
    Q_ASSERT_X(member, "NoteWindow", name);
}
} // namespace

NoteWindow::NoteWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , TwipsControl(this)
{
    const FormDesign &design = formDesign();
    setObjectName(QStringLiteral("NoteWindow"));
    setWindowTitle(QString::fromUtf8(design.caption));
    setWindowIcon(programIcon());
    QPalette background = palette();
    background.setColor(QPalette::Window, runtime::systemColor(design.background));
    setPalette(background);
    setAutoFillBackground(true);

    buildDesign(this);
    bindControls();
    connectHandlers();
    setTwipsGeometry(design.left, design.top, design.width, design.height);
}

NoteWindow::~NoteWindow() = default;

void NoteWindow::bindControls()
{
    bind(this, shownNoteId, "shownNoteId");
    bind(this, deletePanel, "deletePanel");
    bind(this, savePanel, "savePanel");
    bind(this, autoHideBox, "autoHideBox");
    bind(this, pointerPoll, "pointerPoll");
    bind(this, lockBox, "lockBox");
    bind(this, menuButton, "menuButton");
    bind(this, commandPanel, "commandPanel");
    bind(this, noteList, "noteList");
    bind(this, narrowTimer, "narrowTimer");
    bind(this, widenTimer, "widenTimer");
    bind(this, noteText, "noteText");
    bind(this, bottomEdge, "bottomEdge");
    bind(this, topEdge, "topEdge");
    bind(this, leftEdge, "leftEdge");
    bind(this, unrolledArrow, "unrolledArrow");
    bind(this, rolledUpArrow, "rolledUpArrow");
    bind(this, titleStrip, "titleStrip");
    bind(this, windowOutline, "windowOutline");
    bind(this, deleteNoButton, "deleteNoButton");
    bind(this, deleteYesButton, "deleteYesButton");
    bind(this, deletePanelOutline, "deletePanelOutline");
    bind(this, deletePrompt, "deletePrompt");
    bind(this, saveCancelButton, "saveCancelButton");
    bind(this, saveOkButton, "saveOkButton");
    bind(this, titleEdit, "titleEdit");
    bind(this, savePanelOutline, "savePanelOutline");
    bind(this, titlePrompt, "titlePrompt");
    bind(this, newButton, "newButton");
    bind(this, deleteButton, "deleteButton");
    bind(this, saveButton, "saveButton");
    bind(this, exitButton, "exitButton");
    bind(this, commandPanelOutline, "commandPanelOutline");
}

void NoteWindow::connectHandlers()
{
    connect(titleStrip, &window::Label::DblClick, this, &NoteWindow::toggleRolledUp);
    connect(titleStrip, &window::Label::MouseDown, this, &NoteWindow::dragWindow);
    connect(rolledUpArrow, &window::Image::MouseMove, this, &NoteWindow::unrollOnHover);
    connect(exitButton, &QPushButton::clicked, this, &NoteWindow::askExit);

    connect(noteList, &window::ListView::ItemClick, this, &NoteWindow::showNote);
    connect(noteList, &window::ListView::HighlightMoved, this, &NoteWindow::highlightMoved);
    connect(menuButton, &QPushButton::clicked, this, &NoteWindow::toggleCommandPanel);
    connect(saveButton, &QPushButton::clicked, this, &NoteWindow::askTitle);
    connect(deleteButton, &QPushButton::clicked, this, &NoteWindow::askDelete);
    connect(newButton, &QPushButton::clicked, this, &NoteWindow::newNote);
    connect(saveOkButton, &QPushButton::clicked, this, &NoteWindow::saveNote);
    connect(saveCancelButton, &QPushButton::clicked, this, &NoteWindow::cancelSave);
    connect(deleteYesButton, &QPushButton::clicked, this, &NoteWindow::deleteNote);
    connect(deleteNoButton, &QPushButton::clicked, this, &NoteWindow::cancelDelete);

    connect(noteList, &window::ListView::MouseMove, this, &NoteWindow::startWidening);
    connect(noteText, &window::MultiLineTextBox::MouseMove, this, &NoteWindow::pointerOverNote);
    connect(leftEdge, &window::Label::MouseMove, this, &NoteWindow::pointerOverEdge);
    connect(topEdge, &window::Label::MouseMove, this, &NoteWindow::pointerOverEdge);
    connect(bottomEdge, &window::Label::MouseMove, this, &NoteWindow::pointerOverEdge);
    connect(widenTimer, &window::Timer::tick, this, &NoteWindow::widenStep);
    connect(narrowTimer, &window::Timer::tick, this, &NoteWindow::narrowStep);

    connect(pointerPoll, &window::Timer::tick, this, &NoteWindow::pollPointer);
}

store::NoteStore NoteWindow::noteStore() const
{
    return store::NoteStore(store::databasePathIn(runtime::App::Path()));
}

void NoteWindow::reportStoreError(const store::StoreError &error)
{
    runtime::reportError(this, error.message());
}

void NoteWindow::reloadList()
{
    store::Result<store::NoteList> notes = noteStore().listNotes();
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
    noteList->adoptItems(std::move(parts.ids), std::move(parts.starts), std::move(parts.titles));
}

} // namespace window
