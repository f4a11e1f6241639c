#include "Accessibility.h"

#include "Commands.h"
#include "Design.h"
#include "window/controls/CommandButton.h"
#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <mutex>

namespace window {

namespace {

// The role a container of the window takes for assistive technology; a widget without one is
// left to Qt.
constexpr const char *RoleProperty = "zentavoAccessibleRole";
// A widget that only draws or catches the pointer, left out of the tree.
constexpr const char *DecorationProperty = "zentavoDecoration";

// A container that shows assistive technology only the children that show, in the order Qt has
// them, and no decoration: a hidden panel and what lies in it, or the note area clipped away by
// the rolled-up window, are not in the tree at all, rather than in it as invisible.
class ShownChildren : public QAccessibleWidget
{
public:
    ShownChildren(QWidget *widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role)
    {}

    int childCount() const override { return int(shownChildren().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = shownChildren();
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        return int(shownChildren().indexOf(qobject_cast<QWidget *>(child->object())));
    }

private:
    QList<QWidget *> shownChildren() const
    {
        QList<QWidget *> shown;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !child->isHidden()
                && !child->property(DecorationProperty).toBool())
                shown << child;
        }
        return shown;
    }
};

QAccessibleInterface *interfaceFor(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("window::NoteWindow"))
        return new ShownChildren(widget, QAccessible::Window);
    const QVariant role = widget->property(RoleProperty);
    if (role.isValid())
        return new ShownChildren(widget, QAccessible::Role(role.toInt()));
    return nullptr;
}

void name(QWidget *widget, const char *name, const char *description = nullptr)
{
    widget->setAccessibleName(QString::fromUtf8(name));
    if (description)
        widget->setAccessibleDescription(QString::fromUtf8(description));
}

// A button of a command, its keys from the command table: "what it does (Ctrl+N)."
void describeButton(CommandButton *button, const char *description,
                    std::optional<Command> command = std::nullopt)
{
    button->setAccessibleName(button->text());
    const QString keys = command ? keyTextOf(*command) : QString();
    button->setAccessibleDescription(
        QString::fromUtf8(description)
        + (keys.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(keys)) + QLatin1Char('.'));
}

void describePanel(QFrame *panel, QAccessible::Role role, const char *name, const char *description)
{
    panel->setProperty(RoleProperty, int(role));
    panel->setAccessibleName(QString::fromUtf8(name));
    panel->setAccessibleDescription(QString::fromUtf8(description));
}

} // namespace

void describeStrip(const Controls &ui)
{
    // Before any interface of the window is asked for: Qt keeps the first it makes.
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(&interfaceFor); });

    for (QWidget *decoration : {ui.windowOutline, ui.titleStripOutline})
        decoration->setProperty(DecorationProperty, true);

    // The title strip is named by its caption; rolled up, it holds the focus.
    ui.titleStrip->setAccessibleDescription(QStringLiteral(
        "Upprullat: Retur eller nedåtpil rullar ner fönstret. Utrullat: Esc rullar upp det."));
    name(ui.rolledUpArrow, "Upprullat",
         "Fönstret är upprullat. Pekaren över pilen, Retur eller nedåtpil rullar ner det.");
    name(ui.unrolledArrow, "Utrullat", "Fönstret är utrullat. Esc rullar upp det.");
    // The boxes have no caption: their tooltips say what they do.
    for (QCheckBox *box : {ui.lockBox, ui.autoHideBox}) {
        box->setAccessibleName(box->toolTip());
        box->setAccessibleDescription(box->toolTip());
    }
}

void describeNoteArea(const Controls &ui)
{
    QWidget *const decorations[]
        = {ui.commandPanelOutline, ui.savePanelOutline, ui.deletePanelOutline, ui.titleEditOutline,
           ui.findPanelOutline,    ui.findEditOutline,  ui.leftEdge,           ui.topEdge,
           ui.bottomEdge};
    for (QWidget *decoration : decorations)
        decoration->setProperty(DecorationProperty, true);

    ui.noteText->setAccessibleName(QStringLiteral("Anteckning"));
    ui.noteText->setAccessibleDescription(
        QStringLiteral("Anteckningen som visas, skrivskyddad, eller den nya som skrivs. %1 sparar "
                       "en ny anteckning, %2 börjar en ny.")
            .arg(keyTextOf(Command::Save), keyTextOf(Command::New)));
    ui.noteList->setAccessibleName(QStringLiteral("Anteckningar"));
    ui.noteList->setAccessibleDescription(
        QStringLiteral("De sparade anteckningarnas namn. Pilarna flyttar markeringen och visar "
                       "anteckningen; %1 flyttar hit.")
            .arg(keyTextOf(Command::List)));

    ui.menuButton->setAccessibleName(QStringLiteral("Kommandon (M)"));
    ui.menuButton->setAccessibleDescription(
        QStringLiteral("Öppnar och stänger kommandopanelen: Ny, Radera, Spara, Avsluta."));
    describePanel(ui.commandPanel, QAccessible::Grouping, "Kommandon",
                  "Ny, Radera, Spara och Avsluta. Esc stänger panelen.");
    describeButton(ui.newButton, "Börjar en ny, tom anteckning", Command::New);
    describeButton(ui.deleteButton, "Raderar anteckningen som visas, efter en fråga",
                   Command::Delete);
    describeButton(ui.saveButton, "Sparar den nya anteckningen under ett namn", Command::Save);
    describeButton(ui.exitButton, "Avslutar Zentavo, efter en fråga", Command::Exit);

    describePanel(ui.savePanel, QAccessible::Dialog, design::TitlePrompt.text,
                  "Retur sparar anteckningen under namnet, Esc avbryter.");
    ui.titleEdit->setAccessibleName(QString::fromUtf8(design::TitlePrompt.text));
    describeButton(ui.saveOkButton, "Sparar anteckningen under namnet", Command::SaveOk);
    describeButton(ui.saveCancelButton, "Sparar inte", Command::CancelSave);

    describePanel(ui.deletePanel, QAccessible::Dialog, design::DeletePrompt.text,
                  "Ja raderar anteckningen som visas, Nej (Esc) behåller den.");
    describeButton(ui.deleteYesButton, "Raderar anteckningen som visas");
    describeButton(ui.deleteNoButton, "Behåller anteckningen", Command::CancelDelete);

    describePanel(ui.findPanel, QAccessible::Dialog, design::FindPrompt.text,
                  "Listan visar bara anteckningarna med orden som skrivs. Retur eller nedåtpil "
                  "går till listan, Esc visar hela listan igen.");
    ui.findEdit->setAccessibleName(QString::fromUtf8(design::FindPrompt.text));
    ui.findCount->setAccessibleName(QStringLiteral("Antal anteckningar som hittats"));
}

} // namespace window
