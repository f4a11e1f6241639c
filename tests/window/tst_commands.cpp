// The command panel and note editing: which panel each button leaves shown, what "Spara" and
// "Radera" do in each note state, and what "OK" and "Ja" leave in the database and the window.
// Buttons are clicked, notes chosen by clicking them in the list; the database is a real file.

#include "WindowTestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QTest>

using window::NoteWindow;

class tst_commands : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_commands()
        : WindowTestCase({.notes = 3, .unrolled = true})
    {}

private Q_SLOTS:
    void panelStates_data();
    void panelStates();
    void noteStates_data();
    void noteStates();
    void mMovesFocusToNote();
    void mIgnoredWhileQuestionOpen_data();
    void mIgnoredWhileQuestionOpen();
    void cancelAndNoChangeOnlyThePanel();
    void clickOnTitleShowsNote();
    void newEmptiesTheNoteArea_data();
    void newEmptiesTheNoteArea();
    void typingAfterNewGoesIntoTheNote();
    void saveNewNote();
    void spacesAroundTitleAndTextAreKept();
    void saveRightAfterStart();
    void deleteShownNote();
    void deleteFollowsNoteShownNow();
    void listIgnoredWhileSaving();
    void failedSave_data();
    void failedSave();
    void failedDelete_data();
    void failedDelete();
    void failedShowLeavesShownNoteForDelete();
    void noteDeletedElsewhereIsSaidAndListReloaded();
    void failedReloadKeepsListUntilNextReload();

private:
    void click(const QString &event);
    void setNoteState(const QString &state);
    void openPanel(const QString &panel);
    void showNote(int index);
    void makeStoreFail(const QString &how);
    QString shownPanels() const;
    // The ID of the stored note shown, as text; empty for none.
    QString shownId() const;
};

QString tst_commands::shownId() const
{
    return state().shownNote() ? QString::number(state().shownNote()->id) : QString();
}

void tst_commands::click(const QString &event)
{
    const window::Controls &ui = this->ui();
    if (event == QLatin1String("M"))
        ui.menuButton->click();
    else if (event == QLatin1String("Ny"))
        ui.newButton->click();
    else if (event == QLatin1String("Spara"))
        ui.saveButton->click();
    else if (event == QLatin1String("Radera"))
        ui.deleteButton->click();
    else if (event == QLatin1String("OK"))
        ui.saveOkButton->click();
    else if (event == QLatin1String("Avbryt"))
        ui.saveCancelButton->click();
    else if (event == QLatin1String("Ja"))
        ui.deleteYesButton->click();
    else if (event == QLatin1String("Nej"))
        ui.deleteNoButton->click();
    else if (event == QLatin1String("Avsluta, No")) {
        desktop().answers = {false};
        ui.exitButton->click();
    } else if (event == QLatin1String("move over noteText"))
        windowtest::moveOver(ui.noteText->viewport());
    else
        QFAIL(qPrintable(event));
}

void tst_commands::showNote(int index)
{
    window().clickItem(index - 1);
}

// blank: as after start-up; new: after "Ny"; stored: a note of the list shown.
void tst_commands::setNoteState(const QString &state)
{
    if (state == QLatin1String("new")) {
        click(QStringLiteral("M"));
        click(QStringLiteral("Ny"));
    } else if (state == QLatin1String("stored"))
        showNote(2);
}

// Opens a panel the way the user does: "M", then the button that asks the panel's question.
void tst_commands::openPanel(const QString &panel)
{
    if (panel == QLatin1String("none"))
        return;
    click(QStringLiteral("M"));
    if (panel == QLatin1String("savePanel"))
        click(QStringLiteral("Spara"));
    else if (panel == QLatin1String("deletePanel"))
        click(QStringLiteral("Radera"));
}

QString tst_commands::shownPanels() const
{
    QStringList shown;
    for (QFrame *frame : {ui().commandPanel, ui().savePanel, ui().deletePanel}) {
        if (!frame->isHidden())
            shown << frame->objectName();
    }
    return shown.isEmpty() ? QStringLiteral("none") : shown.join(QLatin1Char('+'));
}

// Real failures of the database, not stand-ins: a trigger that makes SQLite refuse the
// statement, or the file taken away after start-up.
void tst_commands::makeStoreFail(const QString &how)
{
    if (how == QLatin1String("refused by the database")) {
        db().exec(QStringLiteral("CREATE TRIGGER refuse_insert BEFORE INSERT ON Memo "
                                 "BEGIN SELECT RAISE(ABORT, 'skrivning nekad'); END"));
        db().exec(QStringLiteral("CREATE TRIGGER refuse_delete BEFORE DELETE ON Memo "
                                 "BEGIN SELECT RAISE(ABORT, 'radering nekad'); END"));
    } else {
        QVERIFY(QFile::remove(db().path()));
    }
}

void tst_commands::panelStates_data()
{
    QTest::addColumn<QString>("panel"); // shown before
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("expected");

    const auto row
        = [](const char *panel, const char *note, const char *event, const char *expected) {
              QTest::addRow("%s, %s, %s", panel, note, event)
                  << QString::fromLatin1(panel) << QString::fromLatin1(note)
                  << QString::fromLatin1(event) << QString::fromLatin1(expected);
          };
    // clang-format off
    row("none",     "blank",  "M",                 "commandPanel");
    row("commandPanel",  "blank",  "M",                 "none");
    row("commandPanel",  "stored", "Ny",                "none");
    row("commandPanel",  "new",    "Spara",             "savePanel");
    row("commandPanel",  "stored", "Radera",            "deletePanel");
    row("commandPanel",  "stored", "move over noteText", "none");
    row("commandPanel",  "blank",  "Avsluta, No",       "commandPanel");
    row("savePanel",  "new",    "OK",                "none");
    row("savePanel",  "new",    "Avbryt",            "none");
    row("deletePanel", "stored", "Ja",                "none");
    row("deletePanel", "stored", "Nej",               "none");
    // While a question is open, "M" is ignored.
    row("savePanel",  "new",    "M",                 "savePanel");
    row("deletePanel", "stored", "M",                 "deletePanel");
    // clang-format on
}

void tst_commands::panelStates()
{
    QFETCH(QString, panel);
    QFETCH(QString, note);
    QFETCH(QString, event);
    QFETCH(QString, expected);
    setNoteState(note);
    openPanel(panel);
    QCOMPARE(shownPanels(), panel);

    click(event);
    QCOMPARE(shownPanels(), expected);
}

void tst_commands::noteStates_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("idSet");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expected");

    const auto row
        = [](const char *note, bool idSet, bool locked, const char *button, const char *expected) {
              QTest::addRow("%s, %s", note, button)
                  << QString::fromLatin1(note) << idSet << locked << QString::fromLatin1(button)
                  << QString::fromLatin1(expected);
          };
    row("blank", false, true, "Spara", "savePanel");
    row("blank", false, true, "Radera", "commandPanel");
    row("new", false, false, "Spara", "savePanel");
    row("new", false, false, "Radera", "commandPanel");
    row("stored", true, true, "Spara", "commandPanel");
    row("stored", true, true, "Radera", "deletePanel");
}

void tst_commands::noteStates()
{
    QFETCH(QString, note);
    QFETCH(bool, idSet);
    QFETCH(bool, locked);
    QFETCH(QString, button);
    QFETCH(QString, expected);
    const window::Controls &ui = this->ui();
    setNoteState(note);
    QCOMPARE(!shownId().isEmpty(), idSet);
    QCOMPARE(ui.noteText->isLocked(), locked);
    const QString id = shownId();
    const QString text = ui.noteText->text();

    click(QStringLiteral("M"));
    click(button);

    QCOMPARE(shownPanels(), expected);
    // Opening a panel is all these buttons do: the note and its state stay as they were.
    QCOMPARE(shownId(), id);
    QCOMPARE(ui.noteText->text(), text);
    QCOMPARE(ui.noteText->isLocked(), locked);
    QCOMPARE(db().count(), 3);
}

void tst_commands::mMovesFocusToNote()
{
    const window::Controls &ui = this->ui();
    NoteWindow &form = this->form();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ui.noteList->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), ui.noteList);

    click(QStringLiteral("M"));
    QVERIFY(!ui.commandPanel->isHidden());
    QCOMPARE(QApplication::focusWidget(), ui.noteText);

    ui.noteList->setFocus();
    click(QStringLiteral("M"));
    QVERIFY(ui.commandPanel->isHidden());
    QCOMPARE(QApplication::focusWidget(), ui.noteText);
}

void tst_commands::mIgnoredWhileQuestionOpen_data()
{
    QTest::addColumn<QString>("panel");
    QTest::newRow("save panel") << QStringLiteral("savePanel");
    QTest::newRow("delete panel") << QStringLiteral("deletePanel");
}

void tst_commands::mIgnoredWhileQuestionOpen()
{
    QFETCH(QString, panel);
    const window::Controls &ui = this->ui();
    NoteWindow &form = this->form();
    setNoteState(panel == QLatin1String("savePanel") ? QStringLiteral("new")
                                                     : QStringLiteral("stored"));
    openPanel(panel);
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ui.noteList->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), ui.noteList);

    click(QStringLiteral("M"));
    QCOMPARE(shownPanels(), panel);
    QCOMPARE(QApplication::focusWidget(), ui.noteList);
}

void tst_commands::cancelAndNoChangeOnlyThePanel()
{
    const window::Controls &ui = this->ui();
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    ui.noteText->setText(QStringLiteral("påbörjad"));
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    ui.titleEdit->setText(QStringLiteral("rubrik"));
    click(QStringLiteral("Avbryt"));
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(ui.noteText->text(), QStringLiteral("påbörjad"));
    QVERIFY(!ui.noteText->isLocked());
    QCOMPARE(ui.titleEdit->text(), QStringLiteral("rubrik"));

    showNote(3);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    click(QStringLiteral("Nej"));
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(shownId(), QString::number(ids()[2]));
    QCOMPARE(ui.noteText->text(), noteText(2));
    QVERIFY(ui.noteText->isLocked());
    QCOMPARE(db().count(), 3);
}

void tst_commands::clickOnTitleShowsNote()
{
    const window::Controls &ui = this->ui();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
    // The list is closed at first: the pointer slides it out, then the title is clicked.
    QCOMPARE(ui.noteList->columnWidth(0), 0);
    window().widenList();
    const QRect item = ui.noteList->itemRect(1);
    QVERIFY(!item.isEmpty());
    QTest::mouseClick(ui.noteList->viewport(), Qt::LeftButton, {}, item.center());

    QCOMPARE(shownId(), QString::number(ids()[1]));
    QCOMPARE(ui.noteText->text(), noteText(1));
    QVERIFY(ui.noteText->isLocked());
}

void tst_commands::newEmptiesTheNoteArea_data()
{
    QTest::addColumn<QString>("note");
    QTest::newRow("blank") << QStringLiteral("blank");
    QTest::newRow("stored") << QStringLiteral("stored");
    QTest::newRow("typed") << QStringLiteral("typed");
}

// Whatever the note area held, "Ny" leaves it empty and open for typing, with no note shown;
// the database is not touched.
void tst_commands::newEmptiesTheNoteArea()
{
    QFETCH(QString, note);
    const window::Controls &ui = this->ui();
    if (note == QLatin1String("typed")) {
        setNoteState(QStringLiteral("new"));
        QTest::keyClicks(ui.noteText, QStringLiteral("halvskrivet"));
    } else {
        setNoteState(note);
    }
    QCOMPARE(ui.noteText->text().isEmpty(), note == QLatin1String("blank"));

    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));

    QVERIFY(ui.noteText->text().isEmpty());
    QVERIFY(!ui.noteText->isLocked());
    QVERIFY(shownId().isEmpty());
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(db().count(), 3);
}

void tst_commands::saveNewNote()
{
    const window::Controls &ui = this->ui();
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    QVERIFY(!ui.noteText->isLocked());
    QTest::keyClicks(ui.noteText, QStringLiteral("skrivet"));
    QCOMPARE(ui.noteText->text(), QStringLiteral("skrivet"));
    // Quotes, "|" and line breaks travel only as values. (The title is typed, so ASCII.)
    const QString body = QStringLiteral("Rad 1 \"citat\" a|b 'x'\nRad 2 på svenska");
    const QString title = QStringLiteral("Inkop \"v. 12\" | 'lista'");
    ui.noteText->setText(body);
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    QTest::keyClicks(ui.titleEdit, title);
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = db().rows();
    QCOMPARE(rows.size(), 4);
    const qlonglong newId = rows.last().id;
    QVERIFY(newId > ids().last());
    QCOMPARE(rows.last().title.toString(), title);
    QCOMPARE(rows.last().text.toString(), body);

    // The list is reloaded with the new title at its end.
    QCOMPARE(ui.noteList->itemCount(), 4);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(ui.noteList->itemText(i), noteTitle(i));
    QCOMPARE(ui.noteList->itemKey(3), QStringLiteral("ID|%1").arg(newId));
    QCOMPARE(ui.noteList->itemText(3), title);

    // Ready for the next note; the title box keeps the title just used.
    QVERIFY(ui.noteText->text().isEmpty());
    QVERIFY(!ui.noteText->isLocked());
    QVERIFY(shownId().isEmpty());
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(ui.titleEdit->text(), title);
    QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
}

void tst_commands::typingAfterNewGoesIntoTheNote()
{
    const window::Controls &ui = this->ui();
    NoteWindow &form = this->form();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    showNote(1);
    QTest::mouseClick(ui.menuButton, Qt::LeftButton);
    QTest::mouseClick(ui.newButton, Qt::LeftButton);
    QVERIFY(QApplication::focusWidget());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ny rad"));
    QCOMPARE(ui.noteText->text(), QStringLiteral("ny rad"));
}

// Spaces and line breaks at either end belong to what was typed: nothing trims them.
void tst_commands::spacesAroundTitleAndTextAreKept()
{
    const window::Controls &ui = this->ui();
    const QString text = QStringLiteral("\n  indraget\t\n\n  ");
    const QString title = QStringLiteral("  rubrik  ");
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    ui.noteText->setText(text);
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    ui.titleEdit->setText(title);
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = db().rows();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.last().title.toString(), title);
    QCOMPARE(rows.last().text.toString(), text);
    QCOMPARE(ui.noteList->itemText(3), title);
}

void tst_commands::saveRightAfterStart()
{
    const window::Controls &ui = this->ui();
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    ui.titleEdit->setText(QStringLiteral("Tom"));
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = db().rows();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.last().title.toString(), QStringLiteral("Tom"));
    // An empty body is stored as empty text, not as a missing value.
    QVERIFY(!rows.last().text.isNull());
    QCOMPARE(rows.last().text.toString(), QString());
    QVERIFY(!ui.noteText->isLocked());
}

void tst_commands::deleteShownNote()
{
    const window::Controls &ui = this->ui();
    showNote(2);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    click(QStringLiteral("Ja"));

    const QList<testsupport::TestDatabase::Row> rows = db().rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].id, ids()[0]);
    QCOMPARE(rows[1].id, ids()[2]);

    QCOMPARE(ui.noteList->itemCount(), 2);
    QCOMPARE(ui.noteList->itemKey(0), QStringLiteral("ID|%1").arg(ids()[0]));
    QCOMPARE(ui.noteList->itemKey(1), QStringLiteral("ID|%1").arg(ids()[2]));

    QVERIFY(ui.noteText->text().isEmpty());
    QVERIFY(!ui.noteText->isLocked());
    QVERIFY(shownId().isEmpty());
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
}

void tst_commands::deleteFollowsNoteShownNow()
{
    showNote(1);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    // The part of the widened list that the question does not cover can still be clicked.
    showNote(3);
    QCOMPARE(shownId(), QString::number(ids()[2]));
    QCOMPARE(shownPanels(), QStringLiteral("deletePanel"));
    click(QStringLiteral("Ja"));

    const QList<testsupport::TestDatabase::Row> rows = db().rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].id, ids()[0]);
    QCOMPARE(rows[1].id, ids()[1]);
}

void tst_commands::listIgnoredWhileSaving()
{
    const window::Controls &ui = this->ui();
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    ui.titleEdit->setText(QStringLiteral("Kopia"));
    ui.noteText->setText(QStringLiteral("skrivet"));
    // A title chosen in the list while the save panel is open does not replace the note.
    showNote(2);
    QVERIFY(shownId().isEmpty());
    QCOMPARE(ui.noteText->text(), QStringLiteral("skrivet"));
    QCOMPARE(shownPanels(), QStringLiteral("savePanel"));
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = db().rows();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[1].id, ids()[1]);
    QCOMPARE(rows[1].text.toString(), noteText(1));
    QVERIFY(rows.last().id > ids().last());
    QCOMPARE(rows.last().title.toString(), QStringLiteral("Kopia"));
    QCOMPARE(rows.last().text.toString(), QStringLiteral("skrivet"));
    QVERIFY(ui.noteText->text().isEmpty());
    QVERIFY(!ui.noteText->isLocked());
    QVERIFY(shownId().isEmpty());
}

void tst_commands::failedSave_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("refused by the database") << QStringLiteral("refused by the database");
    QTest::newRow("database file gone") << QStringLiteral("database file gone");
}

void tst_commands::failedSave()
{
    QFETCH(QString, failure);
    const window::Controls &ui = this->ui();
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    ui.noteText->setText(QStringLiteral("viktig text"));
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    ui.titleEdit->setText(QStringLiteral("Viktigt"));
    makeStoreFail(failure);

    click(QStringLiteral("OK"));

    QCOMPARE(desktop().reports.size(), 1);
    QVERIFY2(desktop().reports.first().contains(db().path()),
             qPrintable(desktop().reports.first()));
    desktop().reports.clear();
    // Nothing is lost: the user can try again.
    QCOMPARE(shownPanels(), QStringLiteral("savePanel"));
    QCOMPARE(ui.titleEdit->text(), QStringLiteral("Viktigt"));
    QCOMPARE(ui.noteText->text(), QStringLiteral("viktig text"));
    QVERIFY(!ui.noteText->isLocked());
    QCOMPARE(ui.noteList->itemCount(), 3);
    if (QFile::exists(db().path()))
        QCOMPARE(db().count(), 3);
    else
        QVERIFY(QDir(db().folder()).isEmpty()); // and the file was not created either
}

void tst_commands::failedDelete_data()
{
    failedSave_data();
}

void tst_commands::failedDelete()
{
    QFETCH(QString, failure);
    const window::Controls &ui = this->ui();
    showNote(2);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    makeStoreFail(failure);

    click(QStringLiteral("Ja"));

    QCOMPARE(desktop().reports.size(), 1);
    QVERIFY2(desktop().reports.first().contains(db().path()),
             qPrintable(desktop().reports.first()));
    desktop().reports.clear();
    QCOMPARE(shownPanels(), QStringLiteral("deletePanel"));
    QCOMPARE(shownId(), QString::number(ids()[1]));
    QCOMPARE(ui.noteText->text(), noteText(1));
    QCOMPARE(ui.noteList->itemCount(), 3);
    if (QFile::exists(db().path()))
        QCOMPARE(db().count(), 3);
    else
        QVERIFY(QDir(db().folder()).isEmpty());
    QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
}

// A note that cannot be read leaves the note shown, its ID and its lock as they were, so that
// "Radera", "Ja" deletes the note the user still sees, never the one that failed to show.
void tst_commands::failedShowLeavesShownNoteForDelete()
{
    const window::Controls &ui = this->ui();
    showNote(1);
    const QString away = db().path() + QStringLiteral(".borta");
    QVERIFY(QFile::rename(db().path(), away));
    showNote(2);
    QCOMPARE(desktop().reports.size(), 1);
    QVERIFY(desktop().reports.first().contains(QStringLiteral("kunde inte visas")));
    desktop().reports.clear();
    QCOMPARE(shownId(), QString::number(ids()[0]));
    QCOMPARE(ui.noteText->text(), noteText(0));
    QVERIFY(ui.noteText->isLocked());

    QVERIFY(QFile::rename(away, db().path()));
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    click(QStringLiteral("Ja"));
    const QList<testsupport::TestDatabase::Row> rows = db().rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].id, ids()[1]);
    QCOMPARE(rows[1].id, ids()[2]);
}

void tst_commands::noteDeletedElsewhereIsSaidAndListReloaded()
{
    const window::Controls &ui = this->ui();
    setNoteState(QStringLiteral("new"));
    ui.noteText->setText(QStringLiteral("osparat"));
    db().exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {ids()[1]});
    showNote(2);
    QCOMPARE(desktop().reports.size(), 1);
    QVERIFY2(desktop().reports.first().contains(QStringLiteral("raderats någon annanstans")),
             qPrintable(desktop().reports.first()));
    desktop().reports.clear();
    // Everything as it was: the unsaved note can still be saved.
    QCOMPARE(ui.noteText->text(), QStringLiteral("osparat"));
    QVERIFY(!ui.noteText->isLocked());
    QVERIFY(shownId().isEmpty());
    QCOMPARE(ui.noteList->itemCount(), 2);
    QCOMPARE(ui.noteList->itemId(1), ids()[2]);
}

// A list reload that fails keeps the list the user had and says it may be out of date; the
// next reload that succeeds replaces it. The failure is real: one page of the table in the
// middle of the file is damaged, which a full read meets but adding a note at the end does not.
void tst_commands::failedReloadKeepsListUntilNextReload()
{
    const window::Controls &ui = this->ui();
    const QString filler(400, QLatin1Char('x'));
    for (int i = 0; i < 200; ++i)
        db().addNote(QStringLiteral("fyll-%1-").arg(i, 3, 10, QLatin1Char('0')) + filler, "");
    const auto save = [&](const QString &title) {
        click(QStringLiteral("M"));
        click(QStringLiteral("Ny"));
        ui.noteText->setText(QStringLiteral("text"));
        click(QStringLiteral("M"));
        click(QStringLiteral("Spara"));
        ui.titleEdit->setText(title);
        click(QStringLiteral("OK"));
    };
    save(QStringLiteral("först"));
    QCOMPARE(ui.noteList->itemCount(), 204);

    QFile file(db().path());
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qsizetype marker = file.readAll().indexOf("fyll-100-");
    QVERIFY(marker > 0);
    const qint64 page = marker / 4096 * 4096;
    QVERIFY(file.seek(page));
    const QByteArray healthy = file.read(16);
    QVERIFY(file.seek(page));
    file.write(QByteArray(16, '\xff'));
    file.close();

    save(QStringLiteral("andra"));
    QCOMPARE(desktop().reports.size(), 1);
    QVERIFY2(desktop().reports.first().contains(QStringLiteral("inaktuell")),
             qPrintable(desktop().reports.first()));
    desktop().reports.clear();
    QCOMPARE(ui.noteList->itemCount(), 204);
    QCOMPARE(ui.noteList->itemText(203), QStringLiteral("först"));
    QCOMPARE(shownPanels(), QStringLiteral("none"));

    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(page));
    file.write(healthy);
    file.close();
    save(QStringLiteral("tredje"));
    QCOMPARE(ui.noteList->itemCount(), 206);
    QCOMPARE(ui.noteList->itemText(204), QStringLiteral("andra"));
}

QTEST_MAIN(tst_commands)
#include "tst_commands.moc"
