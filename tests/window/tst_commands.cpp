// The command panel and note editing: which panel each button leaves shown, what "Spara" and
// "Radera" do in each note state, and what "OK" and "Ja" leave in the database and the window.
// Buttons are clicked, notes chosen by clicking them in the list; the database is a real file.

#include "TestDatabase.h"
#include "WindowTestSupport.h"
#include "window/NoteWindow.h"
#include "window/controls/CommandButton.h"
#include "window/controls/Frame.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include <QSqlDatabase>

#include <QDir>
#include <QFile>
#include <QTest>
#include <memory>

using window::NoteWindow;

class tst_commands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void panelStates_data();
    void panelStates();
    void noteStates_data();
    void noteStates();
    void mMovesFocusToNote();
    void mIgnoredWhileQuestionOpen_data();
    void mIgnoredWhileQuestionOpen();
    void cancelAndNoChangeOnlyThePanel();
    void clickOnTitleShowsNote();
    void saveNewNote();
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

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<windowtest::WindowUnderTest> m_window;
    QList<qlonglong> m_ids;
    const QStringList m_titles{QStringLiteral("Första"), QStringLiteral("Andra"),
                               QStringLiteral("Tredje")};
    const QStringList m_texts{QStringLiteral("ett"), QStringLiteral("två\nrader"),
                              QStringLiteral("tre")};
};

void tst_commands::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void tst_commands::init()
{
    m_db = std::make_unique<testsupport::TestDatabase>();
    m_ids.clear();
    for (int i = 0; i < 3; ++i)
        m_ids << m_db->addNote(m_titles[i], m_texts[i]);
    m_window = std::make_unique<windowtest::WindowUnderTest>(*m_db);
    // The pointer stays inside the window, so an auto-hide poll never rolls it up.
    m_window->desktop.pointer = QPoint(600, 100);
    QVERIFY(m_window->startUnrolled());
}

void tst_commands::cleanup()
{
    QCOMPARE(m_window->desktop.reports, QStringList());
    m_window.reset();
    m_db.reset();
}

void tst_commands::click(const QString &event)
{
    const window::Controls &ui = m_window->ui;
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
        m_window->desktop.answers = {QMessageBox::No};
        ui.exitButton->click();
    } else if (event == QLatin1String("move over noteText"))
        windowtest::moveOver(ui.noteText->viewport());
    else
        QFAIL(qPrintable(event));
}

void tst_commands::showNote(int index)
{
    m_window->clickItem(index - 1);
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
    for (window::Frame *frame :
         {m_window->ui.commandPanel, m_window->ui.savePanel, m_window->ui.deletePanel}) {
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
        m_db->exec(QStringLiteral("CREATE TRIGGER refuse_insert BEFORE INSERT ON Memo "
                                  "BEGIN SELECT RAISE(ABORT, 'skrivning nekad'); END"));
        m_db->exec(QStringLiteral("CREATE TRIGGER refuse_delete BEFORE DELETE ON Memo "
                                  "BEGIN SELECT RAISE(ABORT, 'radering nekad'); END"));
    } else {
        QVERIFY(QFile::remove(m_db->path()));
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
    const window::Controls &ui = m_window->ui;
    setNoteState(note);
    QCOMPARE(!ui.shownNoteId->text().isEmpty(), idSet);
    QCOMPARE(ui.noteText->isLocked(), locked);
    const QString id = ui.shownNoteId->text();
    const QString text = ui.noteText->text();

    click(QStringLiteral("M"));
    click(button);

    QCOMPARE(shownPanels(), expected);
    // Opening a panel is all these buttons do: the note and its state stay as they were.
    QCOMPARE(ui.shownNoteId->text(), id);
    QCOMPARE(ui.noteText->text(), text);
    QCOMPARE(ui.noteText->isLocked(), locked);
    QCOMPARE(m_db->count(), 3);
}

void tst_commands::mMovesFocusToNote()
{
    const window::Controls &ui = m_window->ui;
    NoteWindow &form = m_window->form;
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
    const window::Controls &ui = m_window->ui;
    NoteWindow &form = m_window->form;
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
    const window::Controls &ui = m_window->ui;
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
    QCOMPARE(ui.shownNoteId->text(), QString::number(m_ids[2]));
    QCOMPARE(ui.noteText->text(), m_texts[2]);
    QVERIFY(ui.noteText->isLocked());
    QCOMPARE(m_db->count(), 3);
}

void tst_commands::clickOnTitleShowsNote()
{
    const window::Controls &ui = m_window->ui;
    QVERIFY(QTest::qWaitForWindowExposed(&m_window->form));
    // The list is closed at first: the pointer slides it out, then the title is clicked.
    QCOMPARE(ui.noteList->columnWidth(0), 0);
    m_window->widenList();
    const QRect item = ui.noteList->itemRect(1);
    QVERIFY(!item.isEmpty());
    QTest::mouseClick(ui.noteList->viewport(), Qt::LeftButton, {}, item.center());

    QCOMPARE(ui.shownNoteId->text(), QString::number(m_ids[1]));
    QCOMPARE(ui.noteText->text(), m_texts[1]);
    QVERIFY(ui.noteText->isLocked());
}

void tst_commands::saveNewNote()
{
    const window::Controls &ui = m_window->ui;
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

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 4);
    const qlonglong newId = rows.last().id;
    QVERIFY(newId > m_ids.last());
    QCOMPARE(rows.last().title.toString(), title);
    QCOMPARE(rows.last().text.toString(), body);

    // The list is reloaded with the new title at its end.
    QCOMPARE(ui.noteList->itemCount(), 4);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(ui.noteList->itemText(i), m_titles[i]);
    QCOMPARE(ui.noteList->itemKey(3), QStringLiteral("ID|%1").arg(newId));
    QCOMPARE(ui.noteList->itemText(3), title);

    // Ready for the next note; the title box keeps the title just used.
    QVERIFY(ui.noteText->text().isEmpty());
    QVERIFY(!ui.noteText->isLocked());
    QVERIFY(ui.shownNoteId->text().isEmpty());
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(ui.titleEdit->text(), title);
    QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
}

void tst_commands::saveRightAfterStart()
{
    const window::Controls &ui = m_window->ui;
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    ui.titleEdit->setText(QStringLiteral("Tom"));
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.last().title.toString(), QStringLiteral("Tom"));
    // An empty body is stored as empty text, not as a missing value.
    QVERIFY(!rows.last().text.isNull());
    QCOMPARE(rows.last().text.toString(), QString());
    QVERIFY(!ui.noteText->isLocked());
}

void tst_commands::deleteShownNote()
{
    const window::Controls &ui = m_window->ui;
    showNote(2);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    click(QStringLiteral("Ja"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].id, m_ids[0]);
    QCOMPARE(rows[1].id, m_ids[2]);

    QCOMPARE(ui.noteList->itemCount(), 2);
    QCOMPARE(ui.noteList->itemKey(0), QStringLiteral("ID|%1").arg(m_ids[0]));
    QCOMPARE(ui.noteList->itemKey(1), QStringLiteral("ID|%1").arg(m_ids[2]));

    QVERIFY(ui.noteText->text().isEmpty());
    QVERIFY(!ui.noteText->isLocked());
    QVERIFY(ui.shownNoteId->text().isEmpty());
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
}

void tst_commands::deleteFollowsNoteShownNow()
{
    const window::Controls &ui = m_window->ui;
    showNote(1);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    // The part of the widened list that the question does not cover can still be clicked.
    showNote(3);
    QCOMPARE(ui.shownNoteId->text(), QString::number(m_ids[2]));
    QCOMPARE(shownPanels(), QStringLiteral("deletePanel"));
    click(QStringLiteral("Ja"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].id, m_ids[0]);
    QCOMPARE(rows[1].id, m_ids[1]);
}

void tst_commands::listIgnoredWhileSaving()
{
    const window::Controls &ui = m_window->ui;
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    ui.titleEdit->setText(QStringLiteral("Kopia"));
    ui.noteText->setText(QStringLiteral("skrivet"));
    // A title chosen in the list while the save panel is open does not replace the note.
    showNote(2);
    QVERIFY(ui.shownNoteId->text().isEmpty());
    QCOMPARE(ui.noteText->text(), QStringLiteral("skrivet"));
    QCOMPARE(shownPanels(), QStringLiteral("savePanel"));
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[1].id, m_ids[1]);
    QCOMPARE(rows[1].text.toString(), m_texts[1]);
    QVERIFY(rows.last().id > m_ids.last());
    QCOMPARE(rows.last().title.toString(), QStringLiteral("Kopia"));
    QCOMPARE(rows.last().text.toString(), QStringLiteral("skrivet"));
    QVERIFY(ui.noteText->text().isEmpty());
    QVERIFY(!ui.noteText->isLocked());
    QVERIFY(ui.shownNoteId->text().isEmpty());
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
    const window::Controls &ui = m_window->ui;
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    ui.noteText->setText(QStringLiteral("viktig text"));
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    ui.titleEdit->setText(QStringLiteral("Viktigt"));
    makeStoreFail(failure);

    click(QStringLiteral("OK"));

    QCOMPARE(m_window->desktop.reports.size(), 1);
    QVERIFY2(m_window->desktop.reports.first().contains(m_db->path()),
             qPrintable(m_window->desktop.reports.first()));
    m_window->desktop.reports.clear();
    // Nothing is lost: the user can try again.
    QCOMPARE(shownPanels(), QStringLiteral("savePanel"));
    QCOMPARE(ui.titleEdit->text(), QStringLiteral("Viktigt"));
    QCOMPARE(ui.noteText->text(), QStringLiteral("viktig text"));
    QVERIFY(!ui.noteText->isLocked());
    QCOMPARE(ui.noteList->itemCount(), 3);
    if (QFile::exists(m_db->path()))
        QCOMPARE(m_db->count(), 3);
    else
        QVERIFY(QDir(m_db->folder()).isEmpty()); // and the file was not created either
}

void tst_commands::failedDelete_data()
{
    failedSave_data();
}

void tst_commands::failedDelete()
{
    QFETCH(QString, failure);
    const window::Controls &ui = m_window->ui;
    showNote(2);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    makeStoreFail(failure);

    click(QStringLiteral("Ja"));

    QCOMPARE(m_window->desktop.reports.size(), 1);
    QVERIFY2(m_window->desktop.reports.first().contains(m_db->path()),
             qPrintable(m_window->desktop.reports.first()));
    m_window->desktop.reports.clear();
    QCOMPARE(shownPanels(), QStringLiteral("deletePanel"));
    QCOMPARE(ui.shownNoteId->text(), QString::number(m_ids[1]));
    QCOMPARE(ui.noteText->text(), m_texts[1]);
    QCOMPARE(ui.noteList->itemCount(), 3);
    if (QFile::exists(m_db->path()))
        QCOMPARE(m_db->count(), 3);
    else
        QVERIFY(QDir(m_db->folder()).isEmpty());
    QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
}

// A note that cannot be read leaves the note shown, its ID and its lock as they were, so that
// "Radera", "Ja" deletes the note the user still sees, never the one that failed to show.
void tst_commands::failedShowLeavesShownNoteForDelete()
{
    const window::Controls &ui = m_window->ui;
    showNote(1);
    const QString away = m_db->path() + QStringLiteral(".borta");
    QVERIFY(QFile::rename(m_db->path(), away));
    showNote(2);
    QCOMPARE(m_window->desktop.reports.size(), 1);
    QVERIFY(m_window->desktop.reports.first().contains(QStringLiteral("kunde inte visas")));
    m_window->desktop.reports.clear();
    QCOMPARE(ui.shownNoteId->text(), QString::number(m_ids[0]));
    QCOMPARE(ui.noteText->text(), m_texts[0]);
    QVERIFY(ui.noteText->isLocked());

    QVERIFY(QFile::rename(away, m_db->path()));
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    click(QStringLiteral("Ja"));
    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].id, m_ids[1]);
    QCOMPARE(rows[1].id, m_ids[2]);
}

void tst_commands::noteDeletedElsewhereIsSaidAndListReloaded()
{
    const window::Controls &ui = m_window->ui;
    setNoteState(QStringLiteral("new"));
    ui.noteText->setText(QStringLiteral("osparat"));
    m_db->exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {m_ids[1]});
    showNote(2);
    QCOMPARE(m_window->desktop.reports.size(), 1);
    QVERIFY2(
        m_window->desktop.reports.first().contains(QStringLiteral("raderats någon annanstans")),
        qPrintable(m_window->desktop.reports.first()));
    m_window->desktop.reports.clear();
    // Everything as it was: the unsaved note can still be saved.
    QCOMPARE(ui.noteText->text(), QStringLiteral("osparat"));
    QVERIFY(!ui.noteText->isLocked());
    QVERIFY(ui.shownNoteId->text().isEmpty());
    QCOMPARE(ui.noteList->itemCount(), 2);
    QCOMPARE(ui.noteList->itemId(1), m_ids[2]);
}

// A list reload that fails keeps the list the user had and says it may be out of date; the
// next reload that succeeds replaces it. The failure is real: one page of the table in the
// middle of the file is damaged, which a full read meets but adding a note at the end does not.
void tst_commands::failedReloadKeepsListUntilNextReload()
{
    const window::Controls &ui = m_window->ui;
    const QString filler(400, QLatin1Char('x'));
    for (int i = 0; i < 200; ++i)
        m_db->addNote(QStringLiteral("fyll-%1-").arg(i, 3, 10, QLatin1Char('0')) + filler, "");
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

    QFile file(m_db->path());
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
    QCOMPARE(m_window->desktop.reports.size(), 1);
    QVERIFY2(m_window->desktop.reports.first().contains(QStringLiteral("inaktuell")),
             qPrintable(m_window->desktop.reports.first()));
    m_window->desktop.reports.clear();
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
