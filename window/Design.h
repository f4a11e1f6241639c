#pragma once

#include "Controls.h"
#include "runtime/SystemColor.h"

#include <optional>
#include <span>
#include <variant>

namespace window {

// The design of the note window: the window itself and every control in it, as fixed data.
// One builder turns it into widgets (DesignBuilder), and the behaviour changes only the
// properties it names; everything else keeps these values for the whole run.

// The member of Controls a control goes to. Its type is the control's kind.
using ControlSlot = std::variant<TextBox * Controls::*, MultiLineTextBox * Controls::*,
                                 Frame * Controls::*, CheckBox * Controls::*, Timer * Controls::*,
                                 CommandButton * Controls::*, ListView * Controls::*,
                                 Label * Controls::*, Image * Controls::*, Shape * Controls::*>;

// The kinds of control, in the order of ControlSlot's alternatives.
enum class ControlType {
    TextBox,
    MultiLineTextBox,
    Frame,
    CheckBox,
    Timer,
    CommandButton,
    ListView,
    Label,
    Image,
    Shape
};

// Whether a control is drawn with raised or sunken edges, or flat with a one-pixel border.
enum class Look { Standard, Flat, ThreeD };

enum class Picture { None, ArrowPointingDown, ArrowPointingUp };

using runtime::SystemColor;

struct ControlDesign
{
    const char *name; // the object name, the same as the member's
    ControlSlot slot;
    const char *container; // "NoteWindow" or the name of the frame the control lies in
    int stack;             // position in the container's stacking order, 1 = topmost
    // Geometry in twips, relative to the container's client area. Timers have none.
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    const char *text = "";    // caption or initial text, UTF-8
    const char *toolTip = ""; // UTF-8
    int tabIndex = -1;        // -1 for controls without one
    bool visible = true;
    Look look = Look::Standard;
    std::optional<SystemColor> background = std::nullopt; // none: transparent or the type's own
    std::optional<SystemColor> foreground = std::nullopt;
    bool designFont = false; // Tahoma 8.25 rather than the window's default font
    bool centred = false;
    bool border = false;
    bool transparent = false;
    Qt::CheckState checkState = Qt::Unchecked;
    int interval = 0;
    bool enabled = true; // timers
    Picture picture = Picture::None;
    // For a text box without a caption of its own: the label whose text names it for assistive
    // technology (a screen reader, say).
    const char *labelledBy = "";

    ControlType type() const { return static_cast<ControlType>(slot.index()); }
};

struct FormDesign
{
    const char *caption;
    float left;
    float top;
    float width;
    float height;
    SystemColor background;
};

// The note list's one column.
struct ListColumnDesign
{
    const char *header;
    float width;
};

const FormDesign &formDesign();
const ListColumnDesign &listColumnDesign();
std::span<const ControlDesign> controlDesigns();
const ControlDesign *findControlDesign(const char *name);

} // namespace window
