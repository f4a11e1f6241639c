// The window used with the keyboard alone: what each key does in each state of the window, the
// keys that are refused where the pointer's buttons are, the note list that slides out while it
// has the focus, the panels that take the focus when opened from the keyboard (and leave it
// where it was when opened with the pointer), and Tab that never reaches a control that is
// hidden, clipped away by the rolled-up window or set aside by an open question. Keys are sent
// to the real window's focused control; the database is a real file.

#include "WindowTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

using window::NoteMode;
using window::Panel;
using window::Slide;
namespace design = window::design;

namespace {

// A key as QTest sends it.
struct Press
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

} // namespace

Q_DECLARE_METATYPE(Press)

class tst_keys : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_keys()
        : WindowTestCase({.notes = 3, .unrolled = true})
    {}

private Q_SLOTS:
    void keys_data();
    void keys();
    void heldKeyActsOnce();
    void listSlidesWithTheFocus();
    void panelTakesTheFocusFromTheKeyboard_data();
    void panelTakesTheFocusFromTheKeyboard();
    void tabReachesOnlyWhatShows_data();
    void tabReachesOnlyWhatShows();
    void focusComesBackWhenUnrolled_data();
    void focusComesBackWhenUnrolled();
    void enterInTheNoteIsALineBreak();
    void accessibleTreeHoldsWhatShows_data();
    void accessibleTreeHoldsWhatShows();

private:
    // Brings the window to a state the way a person does, with the pointer: the note ("blank",
    // "writing" with typed text, "stored" with the first note shown), the panel open, and rolled
    // up or not. Then makes the window active, the focus where `focus` names (or where the
    // state left it).
    void reach(const QString &note, Panel panel, bool rolledUp, const QString &focus = {});
    // Presses the key on the control that has the focus.
    void press(const Press &key);
    QWidget *focused() const { return QApplication::focusWidget(); }
    // Whether a control lies under a panel that is open and that it is not part of.
    bool covered(const QWidget *control);
};

void tst_keys::reach(const QString &note, Panel panel, bool rolledUp, const QString &focus)
{
    const window::Controls &ui = this->ui();
    form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    if (note == QLatin1String("writing")) {
        window().command(ui.newButton);
        QTest::keyClicks(ui.noteText, QStringLiteral("skrivet"));
    } else if (note == QLatin1String("stored")) {
        window().clickNote(ids().first());
    }
    if (panel != Panel::None)
        ui.menuButton->click();
    if (panel == Panel::Save)
        ui.saveButton->click();
    else if (panel == Panel::Delete)
        ui.deleteButton->click();
    QCOMPARE(state().panel(), panel);
    if (rolledUp)
        windowtest::doubleClick(ui.titleStrip);
    QCOMPARE(state().rolledUp(), rolledUp);
    if (!focus.isEmpty())
        form().findChild<QWidget *>(focus)->setFocus();
    QVERIFY(focused());
}

void tst_keys::press(const Press &key)
{
    QTest::keyClick(focused(), key.key, key.modifiers);
}

bool tst_keys::covered(const QWidget *control)
{
    const window::Controls &ui = this->ui();
    for (const QWidget *panel :
         {static_cast<QWidget *>(ui.commandPanel), static_cast<QWidget *>(ui.savePanel),
          static_cast<QWidget *>(ui.deletePanel)}) {
        if (panel->isHidden() || panel->isAncestorOf(control) || control == ui.menuButton)
            continue;
        // An open question sets aside everything round it, as a question box would.
        if (panel != ui.commandPanel)
            return true;
        const QPoint centre = control->mapTo(&form(), control->rect().center());
        if (panel->geometry().contains(centre))
            return true;
    }
    return false;
}

void tst_keys::keys_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<bool>("rolledUp");
    QTest::addColumn<Press>("key");
    QTest::addColumn<bool>("rolledUpAfter");
    QTest::addColumn<Panel>("panelAfter");
    QTest::addColumn<QString>("noteAfter");
    QTest::addColumn<int>("notesAfter");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("focusAfter"); // the control with the focus, "" where any

    const Press esc{Qt::Key_Escape};
    const Press enter{Qt::Key_Return};
    const Press down{Qt::Key_Down};
    const Press ctrlN{Qt::Key_N, Qt::ControlModifier};
    const Press ctrlS{Qt::Key_S, Qt::ControlModifier};
    const Press ctrlDel{Qt::Key_Delete, Qt::ControlModifier};
    const Press ctrlQ{Qt::Key_Q, Qt::ControlModifier};
    const Press ctrlL{Qt::Key_L, Qt::ControlModifier};
    const Panel none = Panel::None;
    const Panel cmds = Panel::Commands;
    const Panel save = Panel::Save;
    const Panel del = Panel::Delete;
    const bool up = true;
    const bool unrolled = false;
    const auto row = [](const char *tag, const char *note, Panel panel, bool rolledUp, Press key,
                        bool rolledUpAfter, Panel panelAfter, const char *noteAfter, int notesAfter,
                        int questions, const char *focusAfter) {
        QTest::newRow(tag) << QString::fromLatin1(note) << panel << rolledUp << key << rolledUpAfter
                           << panelAfter << QString::fromLatin1(noteAfter) << notesAfter
                           << questions << QString::fromLatin1(focusAfter);
    };
    // clang-format off
    row("rolled up, Enter unrolls",     "blank",   none, up, enter,   unrolled, none, "blank", 3, 0, "noteText");
    row("rolled up, Down unrolls",      "writing", none, up, down,    unrolled, none, "writing", 3, 0, "noteText");
    row("rolled up, panel back too",    "writing", save, up, down,    unrolled, save, "writing", 3, 0, "");
    row("rolled up, Esc nothing",       "blank",   none, up, esc,     up, none, "blank", 3, 0, "titleStrip");
    row("rolled up, Ctrl+N nothing",    "stored",  none, up, ctrlN,   up, none, "stored", 3, 0, "titleStrip");
    row("rolled up, Ctrl+Q nothing",    "blank",   none, up, ctrlQ,   up, none, "blank", 3, 0, "titleStrip");
    row("Esc rolls up",                 "writing", none, unrolled, esc, up, none, "writing", 3, 0, "titleStrip");
    row("Esc closes commands",          "blank",   cmds, unrolled, esc, unrolled, none, "blank", 3, 0, "noteText");
    row("Esc is Avbryt",                "writing", save, unrolled, esc, unrolled, none, "writing", 3, 0, "noteText");
    row("Esc is Nej",                   "stored",  del,  unrolled, esc, unrolled, none, "stored", 3, 0, "noteText");
    row("Ctrl+N is Ny",                 "stored",  none, unrolled, ctrlN, unrolled, none, "new", 3, 0, "noteText");
    row("Ctrl+N, commands open",        "blank",   cmds, unrolled, ctrlN, unrolled, none, "new", 3, 0, "noteText");
    row("Ctrl+S is Spara",              "writing", none, unrolled, ctrlS, unrolled, save, "writing", 3, 0, "titleEdit");
    row("Ctrl+S, nothing written",      "blank",   cmds, unrolled, ctrlS, unrolled, save, "blank", 3, 0, "titleEdit");
    row("Ctrl+S refused, stored",       "stored",  none, unrolled, ctrlS, unrolled, none, "stored", 3, 0, "");
    row("Ctrl+Del is Radera",           "stored",  none, unrolled, ctrlDel, unrolled, del, "stored", 3, 0, "deleteYesButton");
    row("Ctrl+Del refused, blank",      "blank",   none, unrolled, ctrlDel, unrolled, none, "blank", 3, 0, "");
    row("Ctrl+Del refused, writing",    "writing", cmds, unrolled, ctrlDel, unrolled, cmds, "writing", 3, 0, "");
    row("Ctrl+Q is Avsluta",            "writing", none, unrolled, ctrlQ, unrolled, none, "writing", 3, 1, "");
    row("Ctrl+L to the list",           "blank",   none, unrolled, ctrlL, unrolled, none, "blank", 3, 0, "noteList");
    row("Enter in the title is OK",     "writing", save, unrolled, enter, unrolled, none, "new", 4, 0, "noteText");
    // While a question is open, "M" and its buttons are out of reach, and so are their keys.
    row("saving, Ctrl+N refused",       "writing", save, unrolled, ctrlN, unrolled, save, "writing", 3, 0, "titleEdit");
    row("saving, Ctrl+Q refused",       "writing", save, unrolled, ctrlQ, unrolled, save, "writing", 3, 0, "titleEdit");
    row("saving, Ctrl+L refused",       "writing", save, unrolled, ctrlL, unrolled, save, "writing", 3, 0, "titleEdit");
    row("deleting, Ctrl+Del refused",   "stored",  del,  unrolled, ctrlDel, unrolled, del, "stored", 3, 0, "");
    row("deleting, Ctrl+S refused",     "stored",  del,  unrolled, ctrlS, unrolled, del, "stored", 3, 0, "");
    row("deleting, Ctrl+N refused",     "stored",  del,  unrolled, ctrlN, unrolled, del, "stored", 3, 0, "");
    // clang-format on
}

void tst_keys::keys()
{
    QFETCH(QString, note);
    QFETCH(Panel, panel);
    QFETCH(bool, rolledUp);
    QFETCH(Press, key);
    QFETCH(bool, rolledUpAfter);
    QFETCH(Panel, panelAfter);
    QFETCH(QString, noteAfter);
    QFETCH(int, notesAfter);
    QFETCH(int, questions);
    QFETCH(QString, focusAfter);
    const window::Controls &ui = this->ui();
    // Enter is "OK" in the title box only.
    reach(note, panel, rolledUp,
          panel == Panel::Save && !rolledUp ? QStringLiteral("titleEdit") : QString());

    press(key);

    QCOMPARE(state().rolledUp(), rolledUpAfter);
    QCOMPARE(state().panel(), panelAfter);
    QCOMPARE(db().count(), notesAfter);
    QCOMPARE(desktop().questions.size(), questions);
    if (noteAfter == QLatin1String("new")) {
        QCOMPARE(state().noteMode(), NoteMode::Writing);
        QCOMPARE(ui.noteText->text(), QString());
    } else if (noteAfter == QLatin1String("writing")) {
        QCOMPARE(state().noteMode(), NoteMode::Writing);
        QCOMPARE(ui.noteText->text(), QStringLiteral("skrivet"));
    } else if (noteAfter == QLatin1String("stored")) {
        QCOMPARE(state().noteMode(), NoteMode::Stored);
        QCOMPARE(ui.noteText->text(), noteText(0));
    } else {
        QCOMPARE(state().noteMode(), NoteMode::Blank);
    }
    if (notesAfter == 4)
        QCOMPARE(db().rows().last().text.toString(), QStringLiteral("skrivet"));
    if (!focusAfter.isEmpty())
        QCOMPARE(focused()->objectName(), focusAfter);
    // What shows is what the state says.
    QCOMPARE(ui.noteText->isHidden(), rolledUpAfter);
    QCOMPARE(ui.savePanel->isHidden(), rolledUpAfter || panelAfter != Panel::Save);
    QCOMPARE(ui.deletePanel->isHidden(), rolledUpAfter || panelAfter != Panel::Delete);
    QCOMPARE(ui.commandPanel->isHidden(), rolledUpAfter || panelAfter != Panel::Commands);
}

// A key held down repeats; its command is given once.
void tst_keys::heldKeyActsOnce()
{
    reach(QStringLiteral("writing"), Panel::None, false);
    QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(focused(), &repeated);
    QVERIFY(!state().rolledUp());
    press({Qt::Key_Escape});
    QVERIFY(state().rolledUp());
    // Held on, the key repeats: the window stays rolled up.
    QApplication::sendEvent(focused(), &repeated);
    QVERIFY(state().rolledUp());
}

void tst_keys::listSlidesWithTheFocus()
{
    const window::Controls &ui = this->ui();
    reach(QStringLiteral("blank"), Panel::None, false);
    QCOMPARE(state().listWidth(), design::ListSlide.narrow);

    press({Qt::Key_L, Qt::ControlModifier});
    QCOMPARE(focused(), ui.noteList);
    QCOMPARE(state().slide(), Slide::Widening);
    windowtest::tickUntilStopped(ui.slideTimer);
    QCOMPARE(state().listWidth(), design::ListSlide.wide);

    // The arrows move the highlight, which is seen, and show each note as they go; Enter
    // shows the highlighted one too.
    QCOMPARE(ui.noteList->currentIndex().row(), 0);
    press({Qt::Key_Down});
    const QModelIndex current = ui.noteList->currentIndex();
    QCOMPARE(current.row(), 1);
    QVERIFY(ui.noteList->viewport()->rect().contains(ui.noteList->visualRect(current)));
    QCOMPARE(ui.noteList->visualRect(current).width(),
             windowtest::scale().x(design::ListSlide.wide - design::ListSlide.columnInset));
    QCOMPARE(state().noteMode(), NoteMode::Stored);
    QCOMPARE(ui.noteText->text(), noteText(1));
    press({Qt::Key_Return});
    QCOMPARE(ui.noteText->text(), noteText(1));

    // The focus leaves: the list slides back, exactly as it does when the pointer moves onto the
    // note; the command panel is not closed on the way.
    ui.menuButton->click();
    ui.noteList->setFocus();
    press({Qt::Key_Tab});
    QCOMPARE(focused(), ui.menuButton);
    QCOMPARE(state().slide(), Slide::Narrowing);
    QCOMPARE(state().panel(), Panel::Commands);
    windowtest::tickUntilStopped(ui.slideTimer);
    QCOMPARE(state().listWidth(), design::ListSlide.narrow);

    // Back to the list by Shift+Tab: out again.
    QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(focused(), ui.noteList);
    QCOMPARE(state().slide(), Slide::Widening);
}

void tst_keys::panelTakesTheFocusFromTheKeyboard_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<Press>("key");
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<QString>("focusAfter");
    const Press space{Qt::Key_Space};
    const Press enter{Qt::Key_Return};
    QTest::newRow("M by Space") << "menuButton" << true << space << Panel::Commands << "newButton";
    QTest::newRow("M by Enter") << "menuButton" << true << enter << Panel::Commands << "newButton";
    QTest::newRow("M by pointer") << "menuButton" << false << space << Panel::Commands
                                  << "noteText";
    QTest::newRow("Radera by Space")
        << "deleteButton" << true << space << Panel::Delete << "deleteYesButton";
    QTest::newRow("Radera by pointer")
        << "deleteButton" << false << space << Panel::Delete << "noteText";
    QTest::newRow("Spara by Enter, refused")
        << "saveButton" << true << enter << Panel::Commands << "saveButton";
    QTest::newRow("Ny by Space") << "newButton" << true << space << Panel::None << "noteText";
}

void tst_keys::panelTakesTheFocusFromTheKeyboard()
{
    QFETCH(QString, button);
    QFETCH(bool, byKey);
    QFETCH(Press, key);
    QFETCH(Panel, panel);
    QFETCH(QString, focusAfter);
    const window::Controls &ui = this->ui();
    reach(QStringLiteral("stored"), Panel::None, false, QStringLiteral("noteText"));
    auto *target = form().findChild<window::CommandButton *>(button);
    if (target != ui.menuButton)
        ui.menuButton->click();
    if (byKey) {
        target->setFocus();
        press(key);
    } else {
        QTest::mouseClick(target, Qt::LeftButton);
    }
    QCOMPARE(state().panel(), panel);
    QCOMPARE(focused()->objectName(), focusAfter);
}

void tst_keys::tabReachesOnlyWhatShows_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<bool>("rolledUp");
    QTest::addColumn<QStringList>("reached");
    const QStringList strip{"lockBox", "autoHideBox"};
    const QStringList area{"noteText", "noteList", "menuButton"};
    QTest::newRow("rolled up") << "writing" << Panel::None << true
                               << QStringList{"titleStrip"} + strip;
    QTest::newRow("rolled up, save panel open")
        << "writing" << Panel::Save << true << QStringList{"titleStrip"} + strip;
    QTest::newRow("no panel") << "blank" << Panel::None << false << area + strip;
    QTest::newRow("command panel")
        << "stored" << Panel::Commands << false
        << area + QStringList{"saveButton", "deleteButton", "newButton", "exitButton"} + strip;
    QTest::newRow("save panel") << "writing" << Panel::Save << false
                                << QStringList{"titleEdit", "saveOkButton", "saveCancelButton"};
    QTest::newRow("delete panel") << "stored" << Panel::Delete << false
                                  << QStringList{"deleteYesButton", "deleteNoButton"};
}

// Tab and Shift+Tab all the way round, twice: each control reached shows, lies inside the
// window as it is (rolled up or not), and is not covered by a panel; every control that shows
// and takes input is reached.
void tst_keys::tabReachesOnlyWhatShows()
{
    QFETCH(QString, note);
    QFETCH(Panel, panel);
    QFETCH(bool, rolledUp);
    QFETCH(QStringList, reached);
    reach(note, panel, rolledUp);
    for (const bool forward : {true, false}) {
        QStringList visited;
        for (int i = 0; i < 2 * 16; ++i) {
            if (forward)
                QTest::keyClick(focused(), Qt::Key_Tab);
            else
                QTest::keyClick(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
            QWidget *control = focused();
            QVERIFY(control);
            const QString name = control->objectName();
            QVERIFY2(control->isVisible(), qPrintable(name));
            const QRect inWindow(control->mapTo(&form(), QPoint(0, 0)), control->size());
            QVERIFY2(form().rect().intersects(inWindow), qPrintable(name));
            QVERIFY2(!covered(control), qPrintable(name));
            if (!visited.contains(name))
                visited << name;
        }
        visited.sort();
        QStringList expected = reached;
        expected.sort();
        QCOMPARE(visited, expected);
    }
}

void tst_keys::focusComesBackWhenUnrolled_data()
{
    QTest::addColumn<QString>("how"); // rolled up and down again
    QTest::addColumn<QString>("focus");
    const auto row = [](const char *how, const char *focus) {
        QTest::addRow("%s, %s", how, focus)
            << QString::fromLatin1(how) << QString::fromLatin1(focus);
    };
    row("pointer", "noteText");
    row("pointer", "noteList");
    row("keys", "noteText");
    row("looks away", "titleEdit");
    // The person works in another window meanwhile, which has the keyboard.
    row("elsewhere", "titleEdit");
    row("elsewhere", "noteText");
}

// Rolled up, the focus waits on the title strip; unrolled again, it is back where it was, so
// that typing goes on there, however the window was rolled up and down.
void tst_keys::focusComesBackWhenUnrolled()
{
    QFETCH(QString, how);
    QFETCH(QString, focus);
    const window::Controls &ui = this->ui();
    reach(QStringLiteral("writing"),
          focus == QLatin1String("titleEdit") ? Panel::Save : Panel::None, false, focus);
    if (how == QLatin1String("pointer")) {
        windowtest::doubleClick(ui.titleStrip);
    } else if (how == QLatin1String("keys")) {
        press({Qt::Key_Escape});
    } else {
        QWidget elsewhere;
        if (how == QLatin1String("elsewhere")) {
            elsewhere.setGeometry(0, 400, 200, 100);
            elsewhere.show();
            elsewhere.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
        }
        desktop().pointer = form().geometry().bottomRight() + QPoint(50, 50);
        for (int look = 0; look < design::PollsOutsideBeforeRollingUp; ++look)
            QVERIFY(windowtest::tick(ui.pointerPoll));
    }
    QVERIFY(state().rolledUp());
    form().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    QCOMPARE(focused(), ui.titleStrip);

    if (how == QLatin1String("keys"))
        press({Qt::Key_Return});
    else
        windowtest::moveOver(ui.rolledUpArrow);
    QVERIFY(!state().rolledUp());
    QCOMPARE(focused()->objectName(), focus);
    if (focus == QLatin1String("noteText")) {
        QTest::keyClicks(focused(), QStringLiteral(" mer"));
        QCOMPARE(ui.noteText->text(), QStringLiteral("skrivet mer"));
    }
}

// Enter in the note is a line break, never a button's answer.
void tst_keys::enterInTheNoteIsALineBreak()
{
    const window::Controls &ui = this->ui();
    reach(QStringLiteral("writing"), Panel::Commands, false, QStringLiteral("noteText"));
    ui.noteText->moveCursor(QTextCursor::End);
    press({Qt::Key_Return});
    QCOMPARE(ui.noteText->text(), QStringLiteral("skrivet\n"));
    QCOMPARE(state().panel(), Panel::Commands);
    QCOMPARE(db().count(), 3);
}

void tst_keys::accessibleTreeHoldsWhatShows_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<Panel>("panel");
    QTest::addColumn<bool>("rolledUp");
    QTest::addColumn<QString>("panelName"); // the open panel's name for assistive technology
    QTest::newRow("rolled up, save panel open") << "writing" << Panel::Save << true << "";
    QTest::newRow("no panel") << "blank" << Panel::None << false << "";
    QTest::newRow("command panel") << "blank" << Panel::Commands << false << "Kommandon";
    QTest::newRow("save panel") << "writing" << Panel::Save << false
                                << "Ange ett namn på noteringen:";
    QTest::newRow("delete panel") << "stored" << Panel::Delete << false
                                  << "Vill du radera denna notering?";
}

// What assistive technology is told through Qt's own interfaces: the window's children are those
// that show, none of them hidden or only drawn (outlines, edge strips), each named; the open
// panel is there by its name, its controls in it.
void tst_keys::accessibleTreeHoldsWhatShows()
{
    QFETCH(QString, note);
    QFETCH(Panel, panel);
    QFETCH(bool, rolledUp);
    QFETCH(QString, panelName);
    reach(note, panel, rolledUp);
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(&form());
    QCOMPARE(root->role(), QAccessible::Window);
    QCOMPARE(root->text(QAccessible::Name), QString::fromUtf8(design::Caption));
    QStringList names;
    QString panelFound;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface *child = root->child(i);
        QVERIFY(child);
        QCOMPARE(root->indexOfChild(child), i);
        auto *widget = qobject_cast<QWidget *>(child->object());
        QVERIFY2(widget->isVisible(), qPrintable(widget->objectName()));
        QVERIFY2(!child->state().invisible, qPrintable(widget->objectName()));
        const QString name = child->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName() + " has no name"));
        names << name;
        if (child->role() == QAccessible::Dialog || child->role() == QAccessible::Grouping) {
            panelFound = name;
            QVERIFY(child->childCount() >= 2);
        }
    }
    QCOMPARE(panelFound, panelName);
    QCOMPARE(names.contains(QStringLiteral("Anteckning")), !rolledUp);
    QVERIFY(!names.contains(QString()));
}

QTEST_MAIN(tst_keys)
#include "tst_keys.moc"
