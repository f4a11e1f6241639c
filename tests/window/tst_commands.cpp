// The command panel and note editing: which panel each button leaves shown, what "Spara" and
// "Radera" do in each note state, and what "OK" and "Ja" leave in the database and the window.
// Buttons are clicked through their clicked() signal; the database is a real file.

#include "TestDatabase.h"
#include "WindowTestSupport.h"
#include "runtime/CommandButton.h"
#include "runtime/Frame.h"
#include "runtime/ListView.h"
#include "runtime/MessageBox.h"
#include "runtime/TextBox.h"
#include "window/Form1.h"
#include <QSqlDatabase>

#include <QDir>
#include <QFile>
#include <QTest>
#include <memory>

using window::Form1;

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
    std::unique_ptr<Form1> m_form;
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
    m_form = std::make_unique<Form1>();
    QVERIFY(m_form->Load());
    m_form->rollToggle();
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
    Form1 &form = *m_form;
    if (event == QLatin1String("M"))
        form.Command1->click();
    else if (event == QLatin1String("Ny"))
        form.Command4->click();
    else if (event == QLatin1String("Spara"))
        form.Command2->click();
    else if (event == QLatin1String("Radera"))
        form.Command3->click();
    else if (event == QLatin1String("OK"))
        form.Command6->click();
    else if (event == QLatin1String("Avbryt"))
        form.Command7->click();
    else if (event == QLatin1String("Ja"))
        form.Command8->click();
    else if (event == QLatin1String("Nej"))
        form.Command9->click();
    else if (event == QLatin1String("Avsluta, No")) {
        runtime::setNextAnswer(runtime::vbNo);
        form.Command5->click();
    } else if (event == QLatin1String("move over fldNote"))
        windowtest::moveOver(form.fldNote->viewport());
    else
        QFAIL(qPrintable(event));
}

void tst_commands::showNote(int index)
{
    m_form->lst_ItemClick(m_form->lst->ListItemId(index));
}

// blank: as after start-up; new: after "Ny"; stored: a note of the list shown.
void tst_commands::setNoteState(const QString &state)
{
    if (state == QLatin1String("new"))
        m_form->Command4_Click();
    else if (state == QLatin1String("stored"))
        showNote(2);
}

QString tst_commands::shownPanels() const
{
    QStringList shown;
    for (runtime::Frame *frame : {m_form->frmCmds, m_form->frmSave, m_form->frmErase}) {
        if (frame->Visible())
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
    row("none",     "blank",  "M",                 "frmCmds");
    row("frmCmds",  "blank",  "M",                 "none");
    row("frmCmds",  "stored", "Ny",                "none");
    row("frmCmds",  "new",    "Spara",             "frmSave");
    row("frmCmds",  "stored", "Radera",            "frmErase");
    row("frmCmds",  "stored", "move over fldNote", "none");
    row("frmCmds",  "blank",  "Avsluta, No",       "frmCmds");
    row("frmSave",  "new",    "OK",                "none");
    row("frmSave",  "new",    "Avbryt",            "none");
    row("frmErase", "stored", "Ja",                "none");
    row("frmErase", "stored", "Nej",               "none");
    // While a question is open, "M" is ignored.
    row("frmSave",  "new",    "M",                 "frmSave");
    row("frmErase", "stored", "M",                 "frmErase");
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
        m_form->findChild<runtime::Frame *>(panel)->setVisible(true);
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
    row("blank", false, true, "Spara", "frmSave");
    row("blank", false, true, "Radera", "frmCmds");
    row("new", false, false, "Spara", "frmSave");
    row("new", false, false, "Radera", "frmCmds");
    row("stored", true, true, "Spara", "frmCmds");
    row("stored", true, true, "Radera", "frmErase");
}

void tst_commands::noteStates()
{
    QFETCH(QString, note);
    QFETCH(bool, idSet);
    QFETCH(bool, locked);
    QFETCH(QString, button);
    QFETCH(QString, expected);
    Form1 &form = *m_form;
    setNoteState(note);
    QCOMPARE(!form.fldID->Text().isEmpty(), idSet);
    QCOMPARE(form.fldNote->Locked(), locked);
    const QString id = form.fldID->Text();
    const QString text = form.fldNote->Text();

    click(QStringLiteral("M"));
    click(button);

    QCOMPARE(shownPanels(), expected);
    // Opening a panel is all these buttons do: the note and its state stay as they were.
    QCOMPARE(form.fldID->Text(), id);
    QCOMPARE(form.fldNote->Text(), text);
    QCOMPARE(form.fldNote->Locked(), locked);
    QCOMPARE(m_db->count(), 3);
}

void tst_commands::mMovesFocusToNote()
{
    Form1 &form = *m_form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.lst->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.lst);

    click(QStringLiteral("M"));
    QVERIFY(form.frmCmds->Visible());
    QCOMPARE(QApplication::focusWidget(), form.fldNote);

    form.lst->setFocus();
    click(QStringLiteral("M"));
    QVERIFY(!form.frmCmds->Visible());
    QCOMPARE(QApplication::focusWidget(), form.fldNote);
}

void tst_commands::mIgnoredWhileQuestionOpen_data()
{
    QTest::addColumn<QString>("panel");
    QTest::newRow("save panel") << QStringLiteral("frmSave");
    QTest::newRow("delete panel") << QStringLiteral("frmErase");
}

void tst_commands::mIgnoredWhileQuestionOpen()
{
    QFETCH(QString, panel);
    Form1 &form = *m_form;
    showNote(1);
    form.findChild<runtime::Frame *>(panel)->setVisible(true);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.lst->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.lst);

    click(QStringLiteral("M"));
    QCOMPARE(shownPanels(), panel);
    QCOMPARE(QApplication::focusWidget(), form.lst);
}

void tst_commands::cancelAndNoChangeOnlyThePanel()
{
    Form1 &form = *m_form;
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    form.fldNote->setTextValue(QStringLiteral("påbörjad"));
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    form.fldTitel->setTextValue(QStringLiteral("rubrik"));
    click(QStringLiteral("Avbryt"));
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(form.fldNote->Text(), QStringLiteral("påbörjad"));
    QVERIFY(!form.fldNote->Locked());
    QCOMPARE(form.fldTitel->Text(), QStringLiteral("rubrik"));

    showNote(3);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    click(QStringLiteral("Nej"));
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(form.fldID->Text(), QString::number(m_ids[2]));
    QCOMPARE(form.fldNote->Text(), m_texts[2]);
    QVERIFY(form.fldNote->Locked());
    QCOMPARE(m_db->count(), 3);
}

void tst_commands::clickOnTitleShowsNote()
{
    Form1 &form = *m_form;
    form.lst->setWidth(2700);
    form.lst->setColumnHeaderWidth(2340);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    const QRect item = form.lst->ListItemRect(2);
    QVERIFY(!item.isEmpty());
    QTest::mouseClick(form.lst->viewport(), Qt::LeftButton, {}, item.center());

    QCOMPARE(form.fldID->Text(), QString::number(m_ids[1]));
    QCOMPARE(form.fldNote->Text(), m_texts[1]);
    QVERIFY(form.fldNote->Locked());
}

void tst_commands::saveNewNote()
{
    Form1 &form = *m_form;
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    QVERIFY(!form.fldNote->Locked());
    QTest::keyClicks(form.fldNote, QStringLiteral("skrivet"));
    QCOMPARE(form.fldNote->Text(), QStringLiteral("skrivet"));
    // Quotes, "|" and line breaks travel only as values. (The title is typed, so ASCII.)
    const QString body = QStringLiteral("Rad 1 \"citat\" a|b 'x'\nRad 2 på svenska");
    const QString title = QStringLiteral("Inkop \"v. 12\" | 'lista'");
    form.fldNote->setTextValue(body);
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    QTest::keyClicks(form.fldTitel, title);
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 4);
    const qlonglong newId = rows.last().id;
    QVERIFY(newId > m_ids.last());
    QCOMPARE(rows.last().title.toString(), title);
    QCOMPARE(rows.last().text.toString(), body);

    // The list is reloaded with the new title at its end.
    QCOMPARE(form.lst->ListItemsCount(), 4);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(form.lst->ListItemText(i + 1), m_titles[i]);
    QCOMPARE(form.lst->ListItemKey(4), QStringLiteral("ID|%1").arg(newId));
    QCOMPARE(form.lst->ListItemText(4), title);

    // Ready for the next note; the title box keeps the title just used.
    QVERIFY(form.fldNote->Text().isEmpty());
    QVERIFY(!form.fldNote->Locked());
    QVERIFY(form.fldID->Text().isEmpty());
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QCOMPARE(form.fldTitel->Text(), title);
    QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
}

void tst_commands::saveRightAfterStart()
{
    Form1 &form = *m_form;
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    form.fldTitel->setTextValue(QStringLiteral("Tom"));
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows.last().title.toString(), QStringLiteral("Tom"));
    // An empty body is stored as empty text, not as a missing value.
    QVERIFY(!rows.last().text.isNull());
    QCOMPARE(rows.last().text.toString(), QString());
    QVERIFY(!form.fldNote->Locked());
}

void tst_commands::deleteShownNote()
{
    Form1 &form = *m_form;
    showNote(2);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    click(QStringLiteral("Ja"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].id, m_ids[0]);
    QCOMPARE(rows[1].id, m_ids[2]);

    QCOMPARE(form.lst->ListItemsCount(), 2);
    QCOMPARE(form.lst->ListItemKey(1), QStringLiteral("ID|%1").arg(m_ids[0]));
    QCOMPARE(form.lst->ListItemKey(2), QStringLiteral("ID|%1").arg(m_ids[2]));

    QVERIFY(form.fldNote->Text().isEmpty());
    QVERIFY(!form.fldNote->Locked());
    QVERIFY(form.fldID->Text().isEmpty());
    QCOMPARE(shownPanels(), QStringLiteral("none"));
    QVERIFY(QSqlDatabase::connectionNames().filter(QStringLiteral("zentavo-")).isEmpty());
}

void tst_commands::deleteFollowsNoteShownNow()
{
    Form1 &form = *m_form;
    showNote(1);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    // The part of the widened list that the question does not cover can still be clicked.
    showNote(3);
    QCOMPARE(form.fldID->Text(), QString::number(m_ids[2]));
    QCOMPARE(shownPanels(), QStringLiteral("frmErase"));
    click(QStringLiteral("Ja"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].id, m_ids[0]);
    QCOMPARE(rows[1].id, m_ids[1]);
}

void tst_commands::listIgnoredWhileSaving()
{
    Form1 &form = *m_form;
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    form.fldTitel->setTextValue(QStringLiteral("Kopia"));
    form.fldNote->setTextValue(QStringLiteral("skrivet"));
    // A title chosen in the list while the save panel is open does not replace the note.
    showNote(2);
    QVERIFY(form.fldID->Text().isEmpty());
    QCOMPARE(form.fldNote->Text(), QStringLiteral("skrivet"));
    QCOMPARE(shownPanels(), QStringLiteral("frmSave"));
    click(QStringLiteral("OK"));

    const QList<testsupport::TestDatabase::Row> rows = m_db->rows();
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[1].id, m_ids[1]);
    QCOMPARE(rows[1].text.toString(), m_texts[1]);
    QVERIFY(rows.last().id > m_ids.last());
    QCOMPARE(rows.last().title.toString(), QStringLiteral("Kopia"));
    QCOMPARE(rows.last().text.toString(), QStringLiteral("skrivet"));
    QVERIFY(form.fldNote->Text().isEmpty());
    QVERIFY(!form.fldNote->Locked());
    QVERIFY(form.fldID->Text().isEmpty());
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
    Form1 &form = *m_form;
    click(QStringLiteral("M"));
    click(QStringLiteral("Ny"));
    form.fldNote->setTextValue(QStringLiteral("viktig text"));
    click(QStringLiteral("M"));
    click(QStringLiteral("Spara"));
    form.fldTitel->setTextValue(QStringLiteral("Viktigt"));
    makeStoreFail(failure);

    click(QStringLiteral("OK"));

    QCOMPARE(m_errors->reports.size(), 1);
    QVERIFY2(m_errors->reports.first().contains(m_db->path()),
             qPrintable(m_errors->reports.first()));
    m_errors->reports.clear();
    // Nothing is lost: the user can try again.
    QCOMPARE(shownPanels(), QStringLiteral("frmSave"));
    QCOMPARE(form.fldTitel->Text(), QStringLiteral("Viktigt"));
    QCOMPARE(form.fldNote->Text(), QStringLiteral("viktig text"));
    QVERIFY(!form.fldNote->Locked());
    QCOMPARE(form.lst->ListItemsCount(), 3);
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
    Form1 &form = *m_form;
    showNote(2);
    click(QStringLiteral("M"));
    click(QStringLiteral("Radera"));
    makeStoreFail(failure);

    click(QStringLiteral("Ja"));

    QCOMPARE(m_errors->reports.size(), 1);
    QVERIFY2(m_errors->reports.first().contains(m_db->path()),
             qPrintable(m_errors->reports.first()));
    m_errors->reports.clear();
    QCOMPARE(shownPanels(), QStringLiteral("frmErase"));
    QCOMPARE(form.fldID->Text(), QString::number(m_ids[1]));
    QCOMPARE(form.fldNote->Text(), m_texts[1]);
    QCOMPARE(form.lst->ListItemsCount(), 3);
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
    Form1 &form = *m_form;
    showNote(1);
    const QString away = m_db->path() + QStringLiteral(".borta");
    QVERIFY(QFile::rename(m_db->path(), away));
    showNote(2);
    QCOMPARE(m_errors->reports.size(), 1);
    QVERIFY(m_errors->reports.first().contains(QStringLiteral("kunde inte visas")));
    m_errors->reports.clear();
    QCOMPARE(form.fldID->Text(), QString::number(m_ids[0]));
    QCOMPARE(form.fldNote->Text(), m_texts[0]);
    QVERIFY(form.fldNote->Locked());

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
    Form1 &form = *m_form;
    setNoteState(QStringLiteral("new"));
    form.fldNote->setTextValue(QStringLiteral("osparat"));
    m_db->exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {m_ids[1]});
    showNote(2);
    QCOMPARE(m_errors->reports.size(), 1);
    QVERIFY2(m_errors->reports.first().contains(QStringLiteral("raderats någon annanstans")),
             qPrintable(m_errors->reports.first()));
    m_errors->reports.clear();
    // Everything as it was: the unsaved note can still be saved.
    QCOMPARE(form.fldNote->Text(), QStringLiteral("osparat"));
    QVERIFY(!form.fldNote->Locked());
    QVERIFY(form.fldID->Text().isEmpty());
    QCOMPARE(form.lst->ListItemsCount(), 2);
    QCOMPARE(form.lst->ListItemId(2), m_ids[2]);
}

// A list reload that fails keeps the list the user had and says it may be out of date; the
// next reload that succeeds replaces it. The failure is real: one page of the table in the
// middle of the file is damaged, which a full read meets but adding a note at the end does not.
void tst_commands::failedReloadKeepsListUntilNextReload()
{
    Form1 &form = *m_form;
    const QString filler(400, QLatin1Char('x'));
    for (int i = 0; i < 200; ++i)
        m_db->addNote(QStringLiteral("fyll-%1-").arg(i, 3, 10, QLatin1Char('0')) + filler, "");
    const auto save = [&](const QString &title) {
        click(QStringLiteral("M"));
        click(QStringLiteral("Ny"));
        form.fldNote->setTextValue(QStringLiteral("text"));
        click(QStringLiteral("M"));
        click(QStringLiteral("Spara"));
        form.fldTitel->setTextValue(title);
        click(QStringLiteral("OK"));
    };
    save(QStringLiteral("först"));
    QCOMPARE(form.lst->ListItemsCount(), 204);

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
    QCOMPARE(form.lst->ListItemsCount(), 204);
    QCOMPARE(form.lst->ListItemText(204), QStringLiteral("först"));
    QCOMPARE(shownPanels(), QStringLiteral("none"));

    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(page));
    file.write(healthy);
    file.close();
    save(QStringLiteral("tredje"));
    QCOMPARE(form.lst->ListItemsCount(), 206);
    QCOMPARE(form.lst->ListItemText(205), QStringLiteral("andra"));
}

QTEST_MAIN(tst_commands)
#include "tst_commands.moc"
