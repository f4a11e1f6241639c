#pragma once

// The design of the note window, as fixed data: where every control lies, its texts and colours,
// and the numbers the behaviour works with. Places and sizes are in twips (1/1440 inch), the unit
// the design was drawn in, relative to the client area of the control's container; the builder
// turns them into pixels for the screen the window is on (Layout.h), and nothing else does.

#include "runtime/SystemColor.h"

namespace window::design {

using runtime::SystemColor;

// A control's place in twips, relative to its container.
struct Box
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A command button: its place, caption and whether it is drawn flat or with raised edges. Its face
// is always in the title bar text colour.
struct Button
{
    Box box;
    const char *caption;
    bool flat;
};

// A text shown in a panel, centred, on the panel's own background.
struct Prompt
{
    Box box;
    const char *text;
};

// A check box on the title strip: no caption, only a tooltip that says what it does.
struct CheckBox
{
    Box box;
    const char *toolTip;
};

// The window itself. Unrolled it has its full height; rolled up it is as high as the title strip.
inline constexpr const char *Caption = "Zentavo 1.0";
inline constexpr Box Window{6495, 0, 5295, 4335};
inline constexpr SystemColor WindowBackground = SystemColor::WindowBackground;

// The title strip and what lies on it.
inline constexpr Box TitleStrip{0, 0, 5295, 255};
inline constexpr Box Arrow{4920, 0, 240, 240}; // both arrows, one shown at a time
inline constexpr CheckBox AutoHideBox{{4440, 10, 255, 240}, "AutoDölj..."};
inline constexpr CheckBox LockBox{{4680, 10, 255, 240}, "Lås fönster..."};

// The note area.
inline constexpr Box NoteText{360, 360, 4815, 3855};
inline constexpr Box NoteList{120, 360, 200, 3855};
inline constexpr const char *NoteListHeader = "Namn";
inline constexpr Box LeftEdge{0, 240, 135, 4095};
inline constexpr Box TopEdge{0, 240, 5295, 135};
inline constexpr Box BottomEdge{0, 4200, 5295, 135};
inline constexpr Button MenuButton{{4920, 3960, 255, 255}, "M", true};

// The command panel: "Ny", "Radera", "Spara" and, after a wider gap, "Avsluta".
inline constexpr Box CommandPanel{1680, 2760, 3495, 1455};
inline constexpr Button NewButton{{480, 120, 2655, 255}, "Ny", true};
inline constexpr Button DeleteButton{{480, 360, 2655, 255}, "Radera", true};
inline constexpr Button SaveButton{{480, 600, 2655, 255}, "Spara", true};
inline constexpr Button ExitButton{{480, 960, 2655, 255}, "Avsluta", true};

// The save panel asks for the note's title.
inline constexpr Box SavePanel{840, 1320, 3615, 1215};
inline constexpr Prompt TitlePrompt{{240, 120, 3135, 255}, "Ange ett namn på noteringen:"};
inline constexpr Box TitleEdit{240, 360, 3135, 285};
inline constexpr Button SaveOkButton{{2280, 840, 1095, 255}, "OK", false};
inline constexpr Button SaveCancelButton{{1200, 840, 975, 255}, "Avbryt", false};

// The delete panel asks before the note shown is deleted.
inline constexpr Box DeletePanel{1320, 1440, 2775, 975};
inline constexpr Prompt DeletePrompt{{120, 120, 2415, 255}, "Vill du radera denna notering?"};
inline constexpr Button DeleteYesButton{{480, 600, 855, 255}, "Ja", false};
inline constexpr Button DeleteNoButton{{1440, 600, 855, 255}, "Nej", false};

// The find panel, where the save panel is: the words sought, and how many notes hold them.
inline constexpr Box FindPanel = SavePanel;
inline constexpr Prompt FindPrompt{{240, 120, 3135, 255}, "Sök"};
inline constexpr Box FindEdit{240, 360, 3135, 285};
inline constexpr Box FindCount{240, 840, 3135, 255};

// The exit question, asked in a box of its own.
inline constexpr const char *ExitQuestion = "Vill du avsluta Zentavo?";

// The note list slides between its narrow and wide width, one step per tick; its one column is
// the list's width less the inset, and closed (0) until the list first moves.
struct Slide
{
    int narrow;
    int wide;
    int step;
    int columnInset;
    int tickMs;
};
inline constexpr Slide ListSlide{NoteList.width, 2700, 100, 360, 10};

// The pointer is looked for this often while the window is unrolled; after this many looks in a
// row with the pointer outside, the window rolls itself up.
inline constexpr int PollMs = 500;
inline constexpr int PollsOutsideBeforeRollingUp = 5;

} // namespace window::design
