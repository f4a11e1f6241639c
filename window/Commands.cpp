#include "Commands.h"

#include <array>

namespace window {

namespace {

using enum Command;

constexpr QKeyCombination Plain(Qt::Key key)
{
    return QKeyCombination(Qt::NoModifier, key);
}
constexpr QKeyCombination Ctrl(Qt::Key key)
{
    return QKeyCombination(Qt::ControlModifier, key);
}

// The help's key column: the keys, then the help text from this column on.
constexpr int HelpColumn = 18;

const std::array<CommandRow, 16> &table()
{
    // clang-format off
    static constexpr std::array<CommandRow, 16> rows{{
        {Toggle, {}, KeyScope::Window, "", "", "toggle",
         "Rullar ned det fönster som redan visar databasen, med markören i anteckningsfältet, "
         "eller rullar upp det om det är nedrullat. Startar Zentavo om inget sådant fönster "
         "finns."},
        {Unroll, {Plain(Qt::Key_Return), Plain(Qt::Key_Enter), Plain(Qt::Key_Down)},
         KeyScope::Window, "Retur, nedåtpil", "rullar ner det upprullade fönstret"},
        {RollUp, {Plain(Qt::Key_Escape)}, KeyScope::Window, "Esc",
         "stänger panelen som är öppen (som Avbryt, Nej),\nannars rullar upp fönstret"},
        {CloseMenu, {Plain(Qt::Key_Escape)}, KeyScope::Window, "Esc"},
        {CancelSave, {Plain(Qt::Key_Escape)}, KeyScope::Window, "Esc"},
        {CancelDelete, {Plain(Qt::Key_Escape)}, KeyScope::Window, "Esc"},
        {CloseFind, {Plain(Qt::Key_Escape)}, KeyScope::Window, "Esc"},
        {New, {Ctrl(Qt::Key_N)}, KeyScope::Window, "Ctrl+N", "Ny", "new",
         "Rullar ned det fönster som redan visar databasen med en ny, tom anteckning (en osparad "
         "text som skrivits behålls). Startar Zentavo om inget sådant fönster finns."},
        {Save, {Ctrl(Qt::Key_S)}, KeyScope::Window, "Ctrl+S", "Spara; Retur i namnrutan är OK"},
        {SaveOk, {Plain(Qt::Key_Return), Plain(Qt::Key_Enter)}, KeyScope::TitleBox, "Retur"},
        {Delete, {Ctrl(Qt::Key_Delete)}, KeyScope::Window, "Ctrl+Delete", "Radera"},
        {Exit, {Ctrl(Qt::Key_Q)}, KeyScope::Window, "Ctrl+Q", "Avsluta"},
        {List, {Ctrl(Qt::Key_L)}, KeyScope::Window, "Ctrl+L",
         "till listan, som glider ut; pilarna visar anteckningarna"},
        {Find, {Ctrl(Qt::Key_F)}, KeyScope::Window, "Ctrl+F",
         "Sök: listan visar bara anteckningarna med orden;\n"
         "Esc, eller en tom sökruta, visar hela listan igen", "find",
         "Rullar ned det fönster som redan visar databasen med sökrutan öppen. Startar Zentavo "
         "om inget sådant fönster finns."},
        {FoundList, {Plain(Qt::Key_Return), Plain(Qt::Key_Enter), Plain(Qt::Key_Down)},
         KeyScope::FindBox, "Retur, nedåtpil", "i sökrutan: till listan, med den första "
         "anteckningen som hittats\nvisad och orden markerade"},
        {std::nullopt, {Plain(Qt::Key_Tab), Plain(Qt::Key_Backtab)}, KeyScope::Window,
         "Tab, Skift+Tab", "mellan kontrollerna; blanksteg eller Retur trycker på knappen"},
    }};
    // clang-format on
    return rows;
}

} // namespace

std::span<const CommandRow> commandTable()
{
    return table();
}

QString keyTextOf(Command command)
{
    for (const CommandRow &row : table()) {
        if (row.command == command)
            return QString::fromUtf8(row.keyText);
    }
    return {};
}

QString keysHelp()
{
    QStringList lines{QStringLiteral("Tangenter i fönstret:")};
    const QString indent(2 + HelpColumn, QLatin1Char(' '));
    for (const CommandRow &row : table()) {
        if (!*row.help)
            continue;
        const QStringList help = QString::fromUtf8(row.help).split(QLatin1Char('\n'));
        lines << QStringLiteral("  ") + QString::fromUtf8(row.keyText).leftJustified(HelpColumn)
                     + help.first();
        for (qsizetype i = 1; i < help.size(); ++i)
            lines << indent + help.at(i);
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList desktopCommandNames()
{
    QStringList names;
    for (const CommandRow &row : table()) {
        if (*row.desktopName)
            names << QString::fromUtf8(row.desktopName);
    }
    return names;
}

std::optional<Command> commandNamed(const QString &name)
{
    for (const CommandRow &row : table()) {
        if (*row.desktopName && name == QLatin1String(row.desktopName))
            return row.command;
    }
    return std::nullopt;
}

} // namespace window
