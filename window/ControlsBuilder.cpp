#include "ControlsBuilder.h"

#include "Accessibility.h"
#include "Design.h"
#include "Layout.h"
#include "Pictures.h"
#include "window/controls/CommandButton.h"
#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>
#include <limits>
#include <type_traits>

namespace window {

namespace {

using design::Box;
using runtime::SystemColor;
using runtime::systemColor;

void fillBackground(QWidget *widget, SystemColor role)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, systemColor(role));
    palette.setColor(QPalette::Base, systemColor(role));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget *widget, SystemColor role)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, systemColor(role));
    palette.setColor(QPalette::Text, systemColor(role));
    palette.setColor(QPalette::ButtonText, systemColor(role));
    widget->setPalette(palette);
}

// A one-pixel line in the window text colour (a frame's own line colour) round the frame's edge.
void drawOutlineOn(QFrame *frame)
{
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, systemColor(SystemColor::WindowText));
    frame->setPalette(palette);
}

// Makes a control of type T under parent and records its design place.
template<typename T>
T *make(QWidget *parent, Layout &layout, const Box &box)
{
    auto *control = new T(parent);
    layout.add(control, box);
    return control;
}

// A rectangle outline with a transparent inside, passing the pointer to whatever lies beneath.
QFrame *makeOutline(QWidget *parent, Layout &layout, const Box &box)
{
    auto *outline = make<QFrame>(parent, layout, box);
    drawOutlineOn(outline);
    outline->setAttribute(Qt::WA_TransparentForMouseEvents);
    outline->setFocusPolicy(Qt::NoFocus);
    return outline;
}

// A panel over the note area: a container in the title bar text colour, hidden at first. Hiding it
// hides what lies in it.
QFrame *makePanel(QWidget *parent, Layout &layout, const Box &box)
{
    auto *panel = make<QFrame>(parent, layout, box);
    panel->setFrameShape(QFrame::NoFrame);
    panel->setFocusPolicy(Qt::NoFocus);
    fillBackground(panel, SystemColor::TitleBarText);
    panel->hide();
    return panel;
}

// An invisible strip along an edge of the note area, there for the pointer.
QLabel *makeEdge(QWidget *parent, Layout &layout, const Box &box)
{
    return make<QLabel>(parent, layout, box);
}

QLabel *makeArrow(QWidget *parent, Layout &layout, const QImage &picture)
{
    auto *arrow = make<QLabel>(parent, layout, design::Arrow);
    arrow->setPixmap(QPixmap::fromImage(picture));
    arrow->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    arrow->setAttribute(Qt::WA_TranslucentBackground);
    return arrow;
}

QCheckBox *makeCheckBox(QWidget *parent, Layout &layout, const design::CheckBox &design)
{
    auto *box = make<QCheckBox>(parent, layout, design.box);
    box->setChecked(true);
    box->setToolTip(QString::fromUtf8(design.toolTip));
    // The style's white box round the check mark stays; only the strip behind it is coloured.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, systemColor(SystemColor::ActiveTitleBar));
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    setTextColour(box, SystemColor::WindowText);
    return box;
}

CommandButton *makeButton(QWidget *parent, Layout &layout, const design::Button &design)
{
    auto *button = make<CommandButton>(parent, layout, design.box);
    button->setText(QString::fromUtf8(design.caption));
    button->setLook(design.flat ? CommandButton::Look::Flat : CommandButton::Look::Raised);
    button->setFaceColor(systemColor(SystemColor::TitleBarText));
    button->setBorderColor(systemColor(SystemColor::WindowText));
    setTextColour(button, SystemColor::ButtonText);
    return button;
}

QLabel *makePrompt(QWidget *parent, Layout &layout, const design::Prompt &design)
{
    auto *prompt = make<QLabel>(parent, layout, design.box);
    prompt->setText(QString::fromUtf8(design.text));
    prompt->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextColour(prompt, SystemColor::ButtonText);
    return prompt;
}

QTimer *makeTimer(QObject *parent, int intervalMs)
{
    auto *timer = new QTimer(parent);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(intervalMs);
    return timer;
}

void makeTitleStrip(Controls &ui, QWidget &window, Layout &layout)
{
    ui.titleStrip = make<QLabel>(&window, layout, design::TitleStrip);
    ui.titleStrip->setText(QString::fromUtf8(design::Caption));
    ui.titleStrip->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // The caption sits inside the strip's one-pixel border.
    ui.titleStrip->setContentsMargins(1, 1, 1, 1);
    fillBackground(ui.titleStrip, SystemColor::ActiveTitleBar);
    setTextColour(ui.titleStrip, SystemColor::TitleBarText);
    ui.titleStripOutline = makeOutline(&window, layout, design::TitleStrip);
}

void makeNoteArea(Controls &ui, QWidget &window, Layout &layout)
{
    ui.noteText = make<NoteTextEdit>(&window, layout, design::NoteText);
    drawOutlineOn(ui.noteText);

    // The list's width is the window's to set as it slides; its place and height are the
    // design's.
    ui.noteList = make<ListView>(&window, layout, design::NoteList);
    ui.noteList->setColumnHeaderText(QString::fromUtf8(design::NoteListHeader));
    drawOutlineOn(ui.noteList);
    fillBackground(ui.noteList, SystemColor::WindowBackground);
    setTextColour(ui.noteList, SystemColor::WindowText);
}

void makeCommandPanel(Controls &ui, QWidget &window, Layout &layout)
{
    ui.commandPanel = makePanel(&window, layout, design::CommandPanel);
    ui.commandPanelOutline = makeOutline(
        ui.commandPanel, layout, {0, 0, design::CommandPanel.width, design::CommandPanel.height});
    ui.exitButton = makeButton(ui.commandPanel, layout, design::ExitButton);
    ui.saveButton = makeButton(ui.commandPanel, layout, design::SaveButton);
    ui.deleteButton = makeButton(ui.commandPanel, layout, design::DeleteButton);
    ui.newButton = makeButton(ui.commandPanel, layout, design::NewButton);
}

void makeSavePanel(Controls &ui, QWidget &window, Layout &layout)
{
    ui.savePanel = makePanel(&window, layout, design::SavePanel);
    ui.titlePrompt = makePrompt(ui.savePanel, layout, design::TitlePrompt);
    ui.savePanelOutline = makeOutline(ui.savePanel, layout,
                                      {0, 0, design::SavePanel.width, design::SavePanel.height});
    ui.titleEdit = make<QLineEdit>(ui.savePanel, layout, design::TitleEdit);
    ui.titleEdit->setFrame(false);
    ui.titleEdit->setTextMargins(1, 1, 1, 1);
    // Any length the database holds: a longer paste would otherwise be cut without a word.
    ui.titleEdit->setMaxLength(std::numeric_limits<int>::max());
    ui.titleEditOutline = makeOutline(ui.savePanel, layout, design::TitleEdit);
    ui.saveOkButton = makeButton(ui.savePanel, layout, design::SaveOkButton);
    ui.saveCancelButton = makeButton(ui.savePanel, layout, design::SaveCancelButton);
}

void makeDeletePanel(Controls &ui, QWidget &window, Layout &layout)
{
    ui.deletePanel = makePanel(&window, layout, design::DeletePanel);
    ui.deletePrompt = makePrompt(ui.deletePanel, layout, design::DeletePrompt);
    ui.deletePanelOutline = makeOutline(
        ui.deletePanel, layout, {0, 0, design::DeletePanel.width, design::DeletePanel.height});
    ui.deleteYesButton = makeButton(ui.deletePanel, layout, design::DeleteYesButton);
    ui.deleteNoButton = makeButton(ui.deletePanel, layout, design::DeleteNoButton);
}

void makeFindPanel(Controls &ui, QWidget &window, Layout &layout)
{
    ui.findPanel = makePanel(&window, layout, design::FindPanel);
    ui.findPrompt = makePrompt(ui.findPanel, layout, design::FindPrompt);
    ui.findCount = makePrompt(ui.findPanel, layout, {design::FindCount, ""});
    ui.findPanelOutline = makeOutline(ui.findPanel, layout,
                                      {0, 0, design::FindPanel.width, design::FindPanel.height});
    ui.findEdit = make<QLineEdit>(ui.findPanel, layout, design::FindEdit);
    ui.findEdit->setFrame(false);
    ui.findEdit->setTextMargins(1, 1, 1, 1);
    ui.findEditOutline = makeOutline(ui.findPanel, layout, design::FindEdit);
}

// Names each control made so far after its member of Controls.
void nameControls(Controls &ui)
{
    forEachControl(ui, [](QObject *control, const char *name) {
        if (control)
            control->setObjectName(QString::fromLatin1(name));
    });
}

} // namespace

// Each control lies above those made before it in the same container, so they are made from the
// bottom up: the controls that only draw (labels, pictures, outlines) first, below every control
// that takes input. The strip's controls lie apart from the rest, so the rest may come later.
Controls buildStrip(QWidget &window, Layout &layout)
{
    Controls ui;
    ui.windowOutline
        = makeOutline(&window, layout, {0, 0, design::Window.width, design::Window.height});
    makeTitleStrip(ui, window, layout);
    ui.rolledUpArrow = makeArrow(&window, layout, arrowPointingUp());
    ui.unrolledArrow = makeArrow(&window, layout, arrowPointingDown());
    ui.lockBox = makeCheckBox(&window, layout, design::LockBox);
    ui.autoHideBox = makeCheckBox(&window, layout, design::AutoHideBox);
    // Only rolled up does the title strip take the focus, from the keyboard.
    ui.titleStrip->setFocusPolicy(Qt::NoFocus);
    nameControls(ui);
    describeStrip(ui);
    return ui;
}

void buildNoteArea(Controls &ui, QWidget &window, Layout &layout)
{
    ui.leftEdge = makeEdge(&window, layout, design::LeftEdge);
    ui.topEdge = makeEdge(&window, layout, design::TopEdge);
    ui.bottomEdge = makeEdge(&window, layout, design::BottomEdge);
    makeNoteArea(ui, window, layout);
    makeCommandPanel(ui, window, layout);
    ui.menuButton = makeButton(&window, layout, design::MenuButton);
    makeSavePanel(ui, window, layout);
    makeDeletePanel(ui, window, layout);
    makeFindPanel(ui, window, layout);

    ui.slideTimer = makeTimer(&window, design::ListSlide.tickMs);
    ui.pointerPoll = makeTimer(&window, design::PollMs);
    nameControls(ui);

    // Tab goes through the controls that take input in this order; hidden ones are skipped.
    QWidget *const order[]
        = {ui.noteText,        ui.noteList,       ui.menuButton,   ui.saveButton,
           ui.deleteButton,    ui.newButton,      ui.exitButton,   ui.lockBox,
           ui.autoHideBox,     ui.titleEdit,      ui.saveOkButton, ui.saveCancelButton,
           ui.deleteYesButton, ui.deleteNoButton, ui.findEdit};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    describeNoteArea(ui);
}

Controls findControls(const QWidget &window)
{
    Controls ui;
    forEachControl(ui, [&window](auto *&control, const char *name) {
        using Type = std::remove_pointer_t<std::remove_reference_t<decltype(control)>>;
        control = window.findChild<Type *>(QString::fromLatin1(name));
        if (!control)
            qFatal("The window has no control %s of its kind", name);
    });
    return ui;
}

} // namespace window
