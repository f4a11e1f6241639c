#include "NoteWindow.h"

#include "ControlsBuilder.h"
#include "Design.h"
#include "DraftKeeper.h"
#include "NoteFinder.h"
#include "NoteSyncer.h"
#include "runtime/Desktop.h"
#include "runtime/FirstFrame.h"
#include "runtime/Fonts.h"
#include "window/controls/CommandButton.h"
#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"
#include "window/controls/PointerRelay.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMoveEvent>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace window {

NoteWindow::NoteWindow(store::NoteStore notes, store::DraftFolder drafts, runtime::Desktop &desktop,
                       QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_notes(std::move(notes))
    , m_desktop(desktop)
    , m_scale(Scale::of(screen()))
{
    setObjectName(QStringLiteral("NoteWindow"));
    setWindowTitle(QString::fromUtf8(design::Caption));
    // Every text of the window is in the design font.
    setFont(runtime::designFont());
    QPalette background = palette();
    background.setColor(QPalette::Window, runtime::systemColor(design::WindowBackground));
    setPalette(background);
    setAutoFillBackground(true);

    // The window first shows rolled up: the strip is made now, the rest after the first frame
    // (makeNoteArea), so that the frame does not wait for controls it does not show.
    m_ui = buildStrip(*this, m_layout);
    m_drafts = new DraftKeeper(
        std::move(drafts), [this] { return draftToKeep(); },
        [this](DraftKeeper::Handover handover) { readDraftToKeep(std::move(handover)); }, this);
    m_finder = new NoteFinder(m_notes.path(), this);
    m_syncer = new NoteSyncer(m_notes.path(), this);
    connectStrip();
    watchKeys();
    move(m_docking.dock(currentScreens()));
    applyScale(m_scale);
}

NoteWindow::~NoteWindow() = default;

void NoteWindow::connectStrip()
{
    auto *titleStrip = new PointerRelay(this);
    titleStrip->watch(m_ui.titleStrip);
    connect(titleStrip, &PointerRelay::doubleClicked, this,
            [this] { run(Command::Toggle, Origin::Pointer); });
    connect(titleStrip, &PointerRelay::pressed, this, &NoteWindow::dragWindow);
    auto *rolledUpArrow = new PointerRelay(this);
    rolledUpArrow->watch(m_ui.rolledUpArrow);
    connect(rolledUpArrow, &PointerRelay::moved, this,
            [this] { run(Command::Toggle, Origin::Pointer); });
    connect(m_ui.lockBox, &QCheckBox::toggled, this,
            [this](bool locked) { m_state.setLockedInPlace(locked); });
    connect(m_ui.autoHideBox, &QCheckBox::toggled, this,
            [this](bool on) { m_state.setAutoHide(on); });
    connect(m_finder, &NoteFinder::found, this, &NoteWindow::notesFound);
    connect(m_finder, &NoteFinder::failed, this, &NoteWindow::searchFailed);
    connect(m_drafts, &DraftKeeper::restored, this, &NoteWindow::restoreDraft);
    connect(m_drafts, &DraftKeeper::failed, this, &NoteWindow::draftNotKept);
    connect(m_syncer, &NoteSyncer::roundDone, this, &NoteWindow::syncRoundDone);
}

void NoteWindow::makeNoteArea()
{
    buildNoteArea(m_ui, *this, m_layout);
    connect(m_ui.noteList, &ListView::pointerMoved, this, &NoteWindow::pointerOverList);
    connect(m_ui.noteText, &NoteTextEdit::pointerMoved, this, &NoteWindow::pointerOverNoteOrEdge);
    auto *edges = new PointerRelay(this);
    for (QLabel *edge : {m_ui.leftEdge, m_ui.topEdge, m_ui.bottomEdge})
        edges->watch(edge);
    connect(edges, &PointerRelay::moved, this, &NoteWindow::pointerOverNoteOrEdge);
    connect(m_ui.slideTimer, &QTimer::timeout, this, &NoteWindow::slideStep);
    connect(m_ui.pointerPoll, &QTimer::timeout, this, &NoteWindow::pollPointer);

    connect(m_ui.noteList, &ListView::itemClicked, this, &NoteWindow::showNote);
    connect(m_ui.noteList, &ListView::highlightMoved, this, &NoteWindow::highlightMoved);
    for (const auto &[button, command] : buttonCommands()) {
        connect(button, &QPushButton::clicked, this,
                [this, command] { run(command, Origin::Pointer); });
    }

    connect(m_ui.noteText, &QPlainTextEdit::textChanged, this, &NoteWindow::noteEdited);
    connect(m_ui.titleEdit, &QLineEdit::textEdited, this, &NoteWindow::titleEdited);
    connect(m_ui.findEdit, &QLineEdit::textEdited, this, &NoteWindow::findTyped);
    watchKeys();
    m_layout.apply(m_scale);
    // Made on a window that shows, the controls show when told: render() tells each of them but
    // the edges, which are always there for the pointer. The rolled-up strip shows no list, so
    // render() leaves it hidden: hidden, the list keeps its notes but lays out no row for them
    // (about 40 bytes a note, and the time) until the window first unrolls.
    for (QLabel *edge : {m_ui.leftEdge, m_ui.topEdge, m_ui.bottomEdge})
        edge->show();
    render();
}

bool NoteWindow::start(const store::Result<store::Done> &checked)
{
    if (!checked) {
        reportStoreError(checked.error());
        return false;
    }
    // Docked: the top edge at the top of the primary screen, the left edge where the design has
    // it from that screen's left edge.
    move(m_docking.dock(currentScreens()));
    // Before the native window is made: a flag it is made with.
    m_desktop.keepOnTop(this);
    runtime::afterFirstFrame(*this, [this] {
        m_desktop.firstFrameShown();
        makeNoteArea();
        // Nothing is claimed or restored for a window that cannot show the notes.
        if (readFirstList()) {
            m_drafts->start();
            // The first round runs beside the window, never before it shows; the setting is
            // followed from then on.
            m_syncer->start();
        }
    });
    // The native window exists now; the layout follows the screen it is on, and the window's
    // place the screens.
    connect(windowHandle(), &QWindow::screenChanged, this, &NoteWindow::followScreen);
    watchScreens();
    followScreen(windowHandle()->screen());
    return true;
}

void NoteWindow::followScreen(QScreen *screen)
{
    const Scale scale = Scale::of(screen);
    if (scale != m_scale)
        applyScale(scale);
    // Qt keeps the window's size in its own device-independent pixels, but a window the window
    // manager moved onto a screen of another device pixel ratio keeps the device pixels it had:
    // it is given its size on this screen, once Qt has finished moving it there. (Where the
    // program moved the window itself, Qt sized it for the screen already and this changes
    // nothing.)
    QTimer::singleShot(0, this, [this] {
        if (QWindow *handle = windowHandle())
            handle->resize(placeOnScreen().size());
    });
}

void NoteWindow::applyScale(const Scale &scale)
{
    m_scale = scale;
    m_layout.apply(m_scale);
    render();
}

void NoteWindow::moveEvent(QMoveEvent *event)
{
    m_docking.placed(event->pos());
    // Moved while the screens change, by the window manager or the person: the window finds its
    // place once that is over.
    if (m_screensChanging && m_screensChanging->isActive())
        m_screensChanging->start();
    QWidget::moveEvent(event);
}

QRect NoteWindow::placeOnScreen() const
{
    const int height = m_state.rolledUp() ? design::TitleStrip.height : design::Window.height;
    return QRect(m_docking.place(), m_scale.size(design::Window.width, height));
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
    m_ui.noteList->setNotes(std::move(*notes));
    // The list holds every note again: the notes found are shown at the next render.
    m_listFilterShown = -1;
}

bool NoteWindow::readFirstList()
{
    const store::Result<store::Done> pages = m_notes.checkPages();
    store::Result<store::NoteList> notes
        = pages ? m_notes.listNotes() : store::Result<store::NoteList>(pages.error());
    if (notes) {
        m_ui.noteList->setNotes(std::move(*notes));
        return true;
    }
    // A window without its notes would only invite notes saved into a file that cannot keep
    // them: the program ends, as it does when the check before the window fails.
    store::StoreError error = notes.error();
    error.remedy = QStringLiteral("Zentavo avslutas utan att ha ändrat något. ") + error.remedy;
    reportStoreError(error);
    close();
    Q_EMIT startFailed();
    return false;
}

} // namespace window
