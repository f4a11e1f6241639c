// The command panel and note editing: which panel each button leaves shown, what "Spara" and
// "Radera" do in each note state, and what "OK" and "Ja" leave in the database and the window.
// Buttons are clicked through their clicked() signal; the database is a real file.

#include "TestDatabase.h"
#include "WindowTestSupport.h"
#include "runtime/MessageBox.h"
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
    void showNote(int index);
    void makeStoreFail(const QString &how);
    QString shownPanels() const;

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<windowtest::ErrorCapture> m_errors;
    std::unique_ptr<windowtest::FakePointer> m_pointer;
    std::unique_ptr<NoteWindow> m_form;
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
    m_errors = std::make_unique<windowtest::ErrorCapture>();
    // The pointer stays inside the window, so an auto-hide poll never rolls it up.
    m_pointer = std::make_unique<windowtest::FakePointer>(QPoint(600, 100));
    m_form = std::make_unique<NoteWindow>();
    QVERIFY(m_form->load());
    m_form->toggleRolledUp();
}

void tst_commands::cleanup()
{
    QCOMPARE(m_errors->reports, QStringList());
    m_form.reset();
    m_pointer.reset();
    m_errors.reset();
    m_db.reset();
}

void tst_commands::click(const QString &event)
{
    NoteWindow &form = *m_form;
    if (event == QLatin1String("M"))
        form.menuButton->click();
    else if (event == QLatin1String("Ny"))
        form.newButton->click();
    else if (event == QLatin1String("Spara"))
        form.saveButton->click();
    else if (event == QLatin1String("Radera"))
        form.deleteButton->click();
    else if (event == QLatin1String("OK"))
        form.saveOkButton->click();
    else if (event == QLatin1String("Avbryt"))
        form.saveCancelButton->click();
    else if (event == QLatin1String("Ja"))
        form.deleteYesButton->click();
    else if (event == QLatin1String("Nej"))
        form.deleteNoButton->click();
    else if (event == QLatin1String("Avsluta, No")) {
        runtime::setNextAnswer(QMessageBox::No);
        form.exitButton->click();
    } else if (event == QLatin1String("move over noteText"))
        windowtest::moveOver(form.noteText->viewport());
    else
        QFAIL(qPrintable(event));
}

void tst_commands::showNote(int index)
{
    m_form->showNote(m_form->noteList->itemId(index - 1));
}

// blank: as after start-up; new: after "Ny"; stored: a note of the list shown.
void tst_commands::setNoteState(const QString &state)
{
    if (state == QLatin1String("new"))
        m_form->newNote();
    else if (state == QLatin1String("stored"))
        showNote(2);
}

QString tst_commands::shownPanels() const
{
    QStringList shown;
    for (window::Frame *frame : {m_form->commandPanel, m_form->savePanel, m_form->deletePanel}) {
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
    if (panel != QLatin1String("none"))
        m_form->findChild<window::Frame *>(panel)->setVisible(true);
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
    NoteWindow &form = *m_form;
    setNoteState(note);
    QCOMPARE(!form.shownNoteId->text().isEmpty(), idSet);
    QCOMPARE(form.noteText->isLocked(), locked);
    const QString id = form.shownNoteId->text();
    const QString text = form.noteText->text();

    click(QStringLiteral("M"));
    click(button);

    QCOMPARE(shownPanels(), expected);
    // Opening a panel is all these buttons do: the note and its state stay as they were.
    QCOMPARE(form.shownNoteId->text(), id);
    QCOMPARE(form.noteText->text(), text);
    QCOMPARE(form.noteText->isLocked(), locked);
    QCOMPARE(m_db->count(), 3);
}

void tst_commands::mMovesFocusToNote()
{
    NoteWindow &form = *m_form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.noteList->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.noteList);

    click(QStringLiteral("M"));
    QVERIFY(!form.commandPanel->isHidden());
    QCOMPARE(QApplication::focusWidget(), form.noteText);

    form.noteList->setFocus();
    click(QStringLiteral("M"));
    QVERIFY(form.commandPanel->isHidden());
    QCOMPARE(QApplication::focusWidget(), form.noteText);
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
    NoteWindow &form = *m_form;
    showNote(1);
    form.findChild<window::Frame *>(panel)->setVisible(true);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.noteList->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.noteList);

    click(QStringLiteral("M"));
    QCOMPARE(shownPanels(), panel);
    QCOMPARE(QApplication::focusWidget(), form.noteList);
}

void tst_commands::cancelAndNoChangeOnlyThePanel()
{
    NoteWindow &form = *m_form;
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    form.noteText->setText(QStringLiteral("påbörjad"));
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    form.titleEdit->setText(QStringLiteral("rubrik"));
    click(QStringLiteral("Avbryt"));
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(form.noteText->text(), QStringLiteral("påbörjad"));
    QVERIFY(!form.noteText->isLocked());
    QCOMPARE(form.titleEdit->text(), QStringLiteral("rubrik"));

    showNote(3);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    click(QStringLiteral("Nej"));
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(form.shownNoteId->text(), QString::number(m_ids[2]));
    QCOMPARE(form.noteText->text(), m_texts[2]);
    QVERIFY(form.noteText->isLocked());
    QCOMPARE(m_db->count(), 3);
}

void tst_commands::clickOnTitleShowsNote()
{
    NoteWindow &form = *m_form;
    form.noteList->setWidth(2700);
    form.noteList->setColumnHeaderWidth(2340);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    const QRect item = form.noteList->itemRect(1);
    QVERIFY(!item.isEmpty());
    QTest::mouseClick(form.noteList->viewport(), Qt::LeftButton, {}, item.center());

    QCOMPARE(form.shownNoteId->text(), QString::number(m_ids[1]));
    QCOMPARE(form.noteText->text(), m_texts[1]);
    QVERIFY(form.noteText->isLocked());
}

void tst_commands::saveNewNote()
{
    NoteWindow &form = *m_form;
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    QVERIFY(!form.noteText->isLocked());
    QTest::keyClicks(form.noteText, QStringLiteral("skrivet"));
    QCOMPARE(form.noteText->text(), QStringLiteral("skrivet"));
    // Quotes, "|" and line breaks travel only as values. (The title is typed, so ASCII.)
    const QString body = QStringLiteral("Rad 1 \"citat\" a|b 'x'\nRad 2 på svenska");
    const QString title = QStringLiteral("Inkop \"v. 12\" | 'lista'");
    form.noteText->setText(body);
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    QTest::keyClicks(form.titleEdit, title);
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 4);
    const qlonglong newId = rows.last().id;
    QVERIFY(newId > m_ids.last());
    QCOMPARE(rows.last().title.toString(), title);
    QCOMPARE(rows.last().text.toString(), body);

    // The list is reloaded with the new title at its end.
    QCOMPARE(form.noteList->itemCount(), 4);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(form.noteList->itemText(i), m_titles[i]);
    QCOMPARE(form.noteList->itemKey(3), QStringLiteral("ID|%1").arg(newId));
    QCOMPARE(form.noteList->itemText(3), title);

    // Ready for the next note; the title box keeps the title just used.
    QVERIFY(form.noteText->text().isEmpty());
    QVERIFY(!form.noteText->isLocked());
    QVERIFY(form.shownNoteId->text().isEmpty());
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(form.titleEdit->text(), title);
    QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
}

void tst_commands::saveRightAfterStart()
{
    NoteWindow &form = *m_form;
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    form.titleEdit->setText(QStringLiteral("Tom"));
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.last().title.toString(), QStringLiteral("Tom"));
    // An empty body is stored as empty text, not as a missing value.
    QVERIFY(!rows.last().text.isNull());
    QCOMPARE(rows.last().text.toString(), QString());
    QVERIFY(!form.noteText->isLocked());
}

void tst_commands::deleteShownNote()
{
    NoteWindow &form = *m_form;
    showNote(2);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    click(QStringLiteral("Ja"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].id, m_ids[0]);
    QCOMPARE(rows[1].id, m_ids[2]);

    QCOMPARE(form.noteList->itemCount(), 2);
    QCOMPARE(form.noteList->itemKey(0), QStringLiteral("ID|%1").arg(m_ids[0]));
    QCOMPARE(form.noteList->itemKey(1), QStringLiteral("ID|%1").arg(m_ids[2]));

    QVERIFY(form.noteText->text().isEmpty());
    QVERIFY(!form.noteText->isLocked());
    QVERIFY(form.shownNoteId->text().isEmpty());
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
}

void tst_commands::deleteFollowsNoteShownNow()
{
    NoteWindow &form = *m_form;
    showNote(1);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    // The part of the widened list that the question does not cover can still be clicked.
    showNote(3);
    QCOMPARE(form.shownNoteId->text(), QString::number(m_ids[2]));
    QCOMPARE(shownPanels(), QStringLiteral("deletePanel"));
    click(QStringLiteral("Ja"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].id, m_ids[0]);
    QCOMPARE(rows[1].id, m_ids[1]);
}

void tst_commands::listIgnoredWhileSaving()
{
    NoteWindow &form = *m_form;
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    form.titleEdit->setText(QStringLiteral("Kopia"));
    form.noteText->setText(QStringLiteral("skrivet"));
    // A title chosen in the list while the save panel is open does not replace the note.
    showNote(2);
    QVERIFY(form.shownNoteId->text().isEmpty());
    QCOMPARE(form.noteText->text(), QStringLiteral("skrivet"));
    QCOMPARE(shownPanels(), QStringLiteral("savePanel"));
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[1].id, m_ids[1]);
    QCOMPARE(rows[1].text.toString(), m_texts[1]);
    QVERIFY(rows.last().id > m_ids.last());
    QCOMPARE(rows.last().title.toString(), QStringLiteral("Kopia"));
    QCOMPARE(rows.last().text.toString(), QStringLiteral("skrivet"));
    QVERIFY(form.noteText->text().isEmpty());
    QVERIFY(!form.noteText->isLocked());
    QVERIFY(form.shownNoteId->text().isEmpty());
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
    NoteWindow &form = *m_form;
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    form.noteText->setText(QStringLiteral("viktig text"));
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    form.titleEdit->setText(QStringLiteral("Viktigt"));
    makeStoreFail(failure);

    click(QStringLiteral("OK"));

    QCOMPARE(m_errors->reports.size(), 1);
    QVERIFY2(m_errors->reports.first().contains(m_db->path()),
             qPrintable(m_errors->reports.first()));
    m_errors->reports.clear();
    // Nothing is lost: the user can try again.
    QCOMPARE(shownPanels(), QStringLiteral("savePanel"));
    QCOMPARE(form.titleEdit->text(), QStringLiteral("Viktigt"));
    QCOMPARE(form.noteText->text(), QStringLiteral("viktig text"));
    QVERIFY(!form.noteText->isLocked());
    QCOMPARE(form.noteList->itemCount(), 3);
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
    NoteWindow &form = *m_form;
    showNote(2);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    makeStoreFail(failure);

    click(QStringLiteral("Ja"));

    QCOMPARE(m_errors->reports.size(), 1);
    QVERIFY2(m_errors->reports.first().contains(m_db->path()),
             qPrintable(m_errors->reports.first()));
    m_errors->reports.clear();
    QCOMPARE(shownPanels(), QStringLiteral("deletePanel"));
    QCOMPARE(form.shownNoteId->text(), QString::number(m_ids[1]));
    QCOMPARE(form.noteText->text(), m_texts[1]);
    QCOMPARE(form.noteList->itemCount(), 3);
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
    NoteWindow &form = *m_form;
    showNote(1);
    const QString away = m_db->path() + QStringLiteral(".borta");
    QVERIFY(QFile::rename(m_db->path(), away));
    showNote(2);
    QCOMPARE(m_errors->reports.size(), 1);
    QVERIFY(m_errors->reports.first().contains(QStringLiteral("kunde inte visas")));
    m_errors->reports.clear();
    QCOMPARE(form.shownNoteId->text(), QString::number(m_ids[0]));
    QCOMPARE(form.noteText->text(), m_texts[0]);
    QVERIFY(form.noteText->isLocked());

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
    NoteWindow &form = *m_form;
    setNoteState(QStringLiteral("new"));
    form.noteText->setText(QStringLiteral("osparat"));
    m_db->exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {m_ids[1]});
    showNote(2);
    QCOMPARE(m_errors->reports.size(), 1);
    QVERIFY2(m_errors->reports.first().contains(QStringLiteral("raderats någon annanstans")),
             qPrintable(m_errors->reports.first()));
    m_errors->reports.clear();
    // Everything as it was: the unsaved note can still be saved.
    QCOMPARE(form.noteText->text(), QStringLiteral("osparat"));
    QVERIFY(!form.noteText->isLocked());
    QVERIFY(form.shownNoteId->text().isEmpty());
    QCOMPARE(form.noteList->itemCount(), 2);
    QCOMPARE(form.noteList->itemId(1), m_ids[2]);
}

// A list reload that fails keeps the list the user had and says it may be out of date; the
// next reload that succeeds replaces it. The failure is real: one page of the table in the
// middle of the file is damaged, which a full read meets but adding a note at the end does not.
void tst_commands::failedReloadKeepsListUntilNextReload()
{
    NoteWindow &form = *m_form;
    const QString filler(400, QLatin1Char('x'));
    for (int i = 0; i < 200; ++i)
        m_db->addNote(QStringLiteral("fyll-%1-").arg(i, 3, 10, QLatin1Char('0')) + filler, "");
    const auto save = [&](const QString &title) {
        click(QStringLiteral("M"));
        click(QStringLiteral("Ny"));
        form.noteText->setText(QStringLiteral("text"));
        click(QStringLiteral("M"));
        click(QStringLiteral("Spara"));
        form.titleEdit->setText(title);
        click(QStringLiteral("OK"));
    };
    save(QStringLiteral("först"));
    QCOMPARE(form.noteList->itemCount(), 204);

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
    QCOMPARE(m_errors->reports.size(), 1);
    QVERIFY2(m_errors->reports.first().contains(QStringLiteral("inaktuell")),
             qPrintable(m_errors->reports.first()));
    m_errors->reports.clear();
    QCOMPARE(form.noteList->itemCount(), 204);
    QCOMPARE(form.noteList->itemText(203), QStringLiteral("först"));
    QCOMPARE(shownPanels(), QStringLiteral("none"));

    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(page));
    file.write(healthy);
    file.close();
    save(QStringLiteral("tredje"));
    QCOMPARE(form.noteList->itemCount(), 206);
    QCOMPARE(form.noteList->itemText(204), QStringLiteral("andra"));
}

QTEST_MAIN(tst_commands)
#include "tst_commands.moc"
