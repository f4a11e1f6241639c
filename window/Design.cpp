#include "Design.h"

#include <array>
#include <cstring>

namespace window {

namespace {

constexpr FormDesign Form{"Zentavo 1.0", 6495, 0, 5295, 4335, SystemColor::WindowBackground};

constexpr ListColumnDesign ListColumn{"Namn", 2700};

// A row names the member of Controls that receives its control; the member's type decides what
// kind of control it is, and its name is the control's object name.
#define CONTROL(control) .name = #control, .slot = &Controls::control

// clang-format off
const std::array Rows{
    // Directly on the window, topmost first.
    ControlDesign{CONTROL(shownNoteId), .container = "NoteWindow", .stack = 1,
                  .left = 840, .top = 3960, .width = 255, .height = 285,
                  .tabIndex = 21, .visible = false, .look = Look::ThreeD},
    ControlDesign{CONTROL(deletePanel), .container = "NoteWindow", .stack = 2,
                  .left = 1320, .top = 1440, .width = 2775, .height = 975,
                  .tabIndex = 17, .visible = false, .look = Look::Flat,
                  .background = SystemColor::TitleBarText},
    ControlDesign{CONTROL(savePanel), .container = "NoteWindow", .stack = 3,
                  .left = 840, .top = 1320, .width = 3615, .height = 1215,
                  .tabIndex = 12, .visible = false, .look = Look::Flat,
                  .background = SystemColor::TitleBarText},
    ControlDesign{CONTROL(autoHideBox), .container = "NoteWindow", .stack = 4,
                  .left = 4440, .top = 10, .width = 255, .height = 240,
                  .toolTip = "AutoDölj...", .tabIndex = 11, .look = Look::Flat,
                  .background = SystemColor::ActiveTitleBar, .foreground = SystemColor::WindowText,
                  .checkState = Qt::Checked},
    ControlDesign{CONTROL(pointerPoll), .container = "NoteWindow", .stack = 5,
                  .interval = 500, .enabled = true},
    ControlDesign{CONTROL(lockBox), .container = "NoteWindow", .stack = 6,
                  .left = 4680, .top = 10, .width = 255, .height = 240,
                  .toolTip = "Lås fönster...", .tabIndex = 9, .look = Look::Flat,
                  .background = SystemColor::ActiveTitleBar, .foreground = SystemColor::WindowText,
                  .checkState = Qt::Checked},
    ControlDesign{CONTROL(menuButton), .container = "NoteWindow", .stack = 7,
                  .left = 4920, .top = 3960, .width = 255, .height = 255, .text = "M",
                  .tabIndex = 4, .look = Look::Flat, .background = SystemColor::TitleBarText,
                  .designFont = true},
    ControlDesign{CONTROL(commandPanel), .container = "NoteWindow", .stack = 8,
                  .left = 1680, .top = 2760, .width = 3495, .height = 1455,
                  .tabIndex = 3, .visible = false, .look = Look::Flat,
                  .background = SystemColor::TitleBarText},
    ControlDesign{CONTROL(noteList), .container = "NoteWindow", .stack = 9,
                  .left = 120, .top = 360, .width = 200, .height = 3855, .tabIndex = 1,
                  .background = SystemColor::WindowBackground,
                  .foreground = SystemColor::WindowText, .designFont = true},
    ControlDesign{CONTROL(narrowTimer), .container = "NoteWindow", .stack = 10,
                  .interval = 10, .enabled = false},
    ControlDesign{CONTROL(widenTimer), .container = "NoteWindow", .stack = 11,
                  .interval = 10, .enabled = false},
    ControlDesign{CONTROL(noteText), .container = "NoteWindow", .stack = 12,
                  .left = 360, .top = 360, .width = 4815, .height = 3855, .tabIndex = 0,
                  .look = Look::Flat, .designFont = true,
                  .labelledBy = "titleStrip"},
    ControlDesign{CONTROL(bottomEdge), .container = "NoteWindow", .stack = 13,
                  .left = 0, .top = 4200, .width = 5295, .height = 135, .tabIndex = 23,
                  .transparent = true},
    ControlDesign{CONTROL(topEdge), .container = "NoteWindow", .stack = 14,
                  .left = 0, .top = 240, .width = 5295, .height = 135, .tabIndex = 22,
                  .transparent = true},
    ControlDesign{CONTROL(leftEdge), .container = "NoteWindow", .stack = 15,
                  .left = 0, .top = 240, .width = 135, .height = 4095, .tabIndex = 10,
                  .transparent = true},
    ControlDesign{CONTROL(unrolledArrow), .container = "NoteWindow", .stack = 16,
                  .left = 4920, .top = 0, .width = 240, .height = 240,
                  .picture = Picture::ArrowPointingDown},
    ControlDesign{CONTROL(rolledUpArrow), .container = "NoteWindow", .stack = 17,
                  .left = 4920, .top = 0, .width = 240, .height = 240,
                  .picture = Picture::ArrowPointingUp},
    ControlDesign{CONTROL(titleStrip), .container = "NoteWindow", .stack = 18,
                  .left = 0, .top = 0, .width = 5295, .height = 255, .text = "Zentavo 1.0",
                  .tabIndex = 2, .look = Look::Flat, .background = SystemColor::ActiveTitleBar,
                  .foreground = SystemColor::TitleBarText, .designFont = true, .centred = true,
                  .border = true},
    ControlDesign{CONTROL(windowOutline), .container = "NoteWindow", .stack = 19,
                  .left = 0, .top = 0, .width = 5295, .height = 4335},

    // The delete panel.
    ControlDesign{CONTROL(deleteNoButton), .container = "deletePanel", .stack = 1,
                  .left = 1440, .top = 600, .width = 855, .height = 255, .text = "Nej",
                  .tabIndex = 20, .look = Look::ThreeD, .background = SystemColor::TitleBarText,
                  .designFont = true},
    ControlDesign{CONTROL(deleteYesButton), .container = "deletePanel", .stack = 2,
                  .left = 480, .top = 600, .width = 855, .height = 255, .text = "Ja",
                  .tabIndex = 19, .look = Look::ThreeD, .background = SystemColor::TitleBarText,
                  .designFont = true},
    ControlDesign{CONTROL(deletePanelOutline), .container = "deletePanel", .stack = 3,
                  .left = 0, .top = 0, .width = 2775, .height = 975},
    ControlDesign{CONTROL(deletePrompt), .container = "deletePanel", .stack = 4,
                  .left = 120, .top = 120, .width = 2415, .height = 255,
                  .text = "Vill du radera denna notering?", .tabIndex = 18, .designFont = true,
                  .centred = true, .transparent = true},

    // The save panel.
    ControlDesign{CONTROL(saveCancelButton), .container = "savePanel", .stack = 1,
                  .left = 1200, .top = 840, .width = 975, .height = 255, .text = "Avbryt",
                  .tabIndex = 16, .look = Look::ThreeD, .background = SystemColor::TitleBarText,
                  .designFont = true},
    ControlDesign{CONTROL(saveOkButton), .container = "savePanel", .stack = 2,
                  .left = 2280, .top = 840, .width = 1095, .height = 255, .text = "OK",
                  .tabIndex = 15, .look = Look::ThreeD, .background = SystemColor::TitleBarText,
                  .designFont = true},
    ControlDesign{CONTROL(titleEdit), .container = "savePanel", .stack = 3,
                  .left = 240, .top = 360, .width = 3135, .height = 285, .tabIndex = 13,
                  .look = Look::Flat, .designFont = true, .labelledBy = "titlePrompt"},
    ControlDesign{CONTROL(savePanelOutline), .container = "savePanel", .stack = 4,
                  .left = 0, .top = 0, .width = 3615, .height = 1215},
    ControlDesign{CONTROL(titlePrompt), .container = "savePanel", .stack = 5,
                  .left = 240, .top = 120, .width = 3135, .height = 255,
                  .text = "Ange ett namn på noteringen:", .tabIndex = 14, .designFont = true,
                  .centred = true, .transparent = true},

    // The command panel.
    ControlDesign{CONTROL(newButton), .container = "commandPanel", .stack = 1,
                  .left = 480, .top = 120, .width = 2655, .height = 255, .text = "Ny",
                  .tabIndex = 7, .look = Look::Flat, .background = SystemColor::TitleBarText,
                  .designFont = true},
    ControlDesign{CONTROL(deleteButton), .container = "commandPanel", .stack = 2,
                  .left = 480, .top = 360, .width = 2655, .height = 255, .text = "Radera",
                  .tabIndex = 6, .look = Look::Flat, .background = SystemColor::TitleBarText,
                  .designFont = true},
    ControlDesign{CONTROL(saveButton), .container = "commandPanel", .stack = 3,
                  .left = 480, .top = 600, .width = 2655, .height = 255, .text = "Spara",
                  .tabIndex = 5, .look = Look::Flat, .background = SystemColor::TitleBarText,
                  .designFont = true},
    ControlDesign{CONTROL(exitButton), .container = "commandPanel", .stack = 4,
                  .left = 480, .top = 960, .width = 2655, .height = 255, .text = "Avsluta",
                  .tabIndex = 8, .look = Look::Flat, .background = SystemColor::TitleBarText,
                  .designFont = true},
    ControlDesign{CONTROL(commandPanelOutline), .container = "commandPanel", .stack = 5,
                  .left = 0, .top = 0, .width = 3495, .height = 1455},
};
// clang-format on

#undef CONTROL

} // namespace

const FormDesign &formDesign()
{
    return Form;
}

const ListColumnDesign &listColumnDesign()
{
    return ListColumn;
}

std::span<const ControlDesign> controlDesigns()
{
    return Rows;
}

const ControlDesign *findControlDesign(const char *name)
{
    for (const ControlDesign &control : Rows) {
        if (std::strcmp(control.name, name) == 0)
            return &control;
    }
    return nullptr;
}

} // namespace window
