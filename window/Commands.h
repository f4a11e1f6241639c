#pragma once

#include <QKeyCombination>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>
#include <span>

namespace window {

// Every command of the window, whoever gives it: a button, a key, or the desktop (a command line
// that reaches the running window). WindowState says whether one is allowed now; the window
// carries it out.
enum class Command {
    Toggle,       // the title strip's double-click, the rolled-up arrow; "toggle" from the desktop
    Unroll,       // Enter, Down on the rolled-up window
    RollUp,       // Esc with no panel open
    Menu,         // "M": opens and closes the command panel
    CloseMenu,    // Esc with the command panel open, as "M" closes it
    New,          // "Ny"
    Save,         // "Spara": asks for the title
    SaveOk,       // "OK": stores the note under the title
    CancelSave,   // "Avbryt"
    Delete,       // "Radera": asks whether to delete
    DeleteYes,    // "Ja": deletes the note shown
    CancelDelete, // "Nej"
    Exit,         // "Avsluta": asks whether to end
    List,         // the keyboard focus to the note list
    Find,         // opens the find panel, its box focused; "find" from the desktop
    CloseFind,    // Esc with the find panel open: the whole list again
    FoundList,    // Enter, Down in the find box: to the list, the first note found shown
};

// Where a command came from: the pointer, a key (a shortcut, or Enter or Space on a focused
// button), or the desktop, which calls the window up first.
enum class Origin { Pointer, Key, Desktop };

// Where a key acts: anywhere in the window, or only while the title box or the find box has the
// focus.
enum class KeyScope { Window, TitleBox, FindBox };

// The keys of one row: a few, held in place, so that the table is a constant built at compile time
// and owns nothing.
class RowKeys
{
public:
    constexpr RowKeys(std::initializer_list<QKeyCombination> keys)
    {
        for (const QKeyCombination key : keys)
            m_keys[m_count++] = key;
    }
    constexpr bool contains(QKeyCombination key) const
    {
        return std::find(begin(), end(), key) != end();
    }
    constexpr const QKeyCombination *begin() const { return m_keys.data(); }
    constexpr const QKeyCombination *end() const { return m_keys.data() + m_count; }

private:
    std::array<QKeyCombination, 3> m_keys{};
    std::size_t m_count = 0;
};

// One line of the command table: the keys that give the command, how the help writes them, what
// the help says of them, the name the command carries from the desktop (empty: none) and what
// the help says of the command line's option of that name. A row
// without a command is a key the controls answer themselves, listed for the help only; a row
// without help text is a key the line above already tells of.
struct CommandRow
{
    std::optional<Command> command;
    RowKeys keys;
    KeyScope scope = KeyScope::Window;
    const char *keyText = "";
    const char *help = "";
    const char *desktopName = "";
    const char *optionHelp = "";
};

// The table, in the order a key looks for its command (the first allowed one acts) and the help
// lists the keys.
std::span<const CommandRow> commandTable();

// The command a key press gives where it is pressed, among those `allowed` now.
template<typename Allowed>
std::optional<Command> commandForKey(QKeyCombination key, KeyScope where, Allowed &&allowed)
{
    for (const CommandRow &row : commandTable()) {
        if (row.command && row.keys.contains(key)
            && (row.scope == KeyScope::Window || row.scope == where) && allowed(*row.command))
            return row.command;
    }
    return std::nullopt;
}

// How the help writes the keys of a command ("Ctrl+N"); empty for a command without keys.
QString keyTextOf(Command command);

// The keys of the window, as a person reads them in the program's help: one line each.
QString keysHelp();

// The names commands carry from the desktop ("toggle", "new"), and the command of each.
QStringList desktopCommandNames();
std::optional<Command> commandNamed(const QString &name);

} // namespace window
