// Sync in the real window, with a second database on the same sync folder as the other
// machine: the window's rounds run on their own thread after its first frame, after a delete,
// when a file lands in the folder, whose change it watches, and when the folder is set, changed
// or ended while the window runs.

#include "WindowTestSupport.h"
#include "store/Sync.h"
#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using window::NoteMode;
using window::Panel;

class tst_windowsync : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_windowsync()
        : WindowTestCase({.notes = 3, .unrolled = true, .synced = true})
    {}

private Q_SLOTS:
    void arrivalShowsInTheList();
    void deleteSpreadsAsRecord();
    void noteBeingWrittenStays_data();
    void noteBeingWrittenStays();
    void foundNoteDeletedElsewhere();
    void settingFollowedWhileRunning_data();
    void settingFollowedWhileRunning();

private:
    int filesInFolder(const QString &pattern) const;
    // Whether the window watches this folder for files that land.
    bool watches(const QString &folder);
    // The window's first round has put its notes into the folder and it watches the folder now.
    void waitForFirstRound();
    // The other machine: a database of its own on the same folder, joined by a round.
    void joinOther(testsupport::TestDatabase &other);
    // The other machine's ID of the note with this title.
    qlonglong otherId(testsupport::TestDatabase &other, const QString &title);
    QStringList listTitles() const;
};

int tst_windowsync::filesInFolder(const QString &pattern) const
{
    return int(QDir(syncFolder()).entryList({pattern}, QDir::Files).size());
}

bool tst_windowsync::watches(const QString &folder)
{
    const QList<QFileSystemWatcher *> watchers = form().findChildren<QFileSystemWatcher *>();
    return std::any_of(watchers.cbegin(), watchers.cend(), [&folder](const auto *watcher) {
        return watcher->directories().contains(folder);
    });
}

void tst_windowsync::waitForFirstRound()
{
    QTRY_COMPARE(filesInFolder(QStringLiteral("*.note")), ids().size());
    QTRY_VERIFY(watches(syncFolder()));
}

void tst_windowsync::joinOther(testsupport::TestDatabase &other)
{
    QVERIFY(store::setSyncFolder(other.path(), syncFolder()));
    const store::Result<store::SyncReport> joined = store::syncRound(other.path());
    QVERIFY(joined);
    QCOMPARE(int(joined->added.size()), ids().size());
}

qlonglong tst_windowsync::otherId(testsupport::TestDatabase &other, const QString &title)
{
    for (const testsupport::TestDatabase::Row &row : other.rows()) {
        if (row.title.toString() == title)
            return row.id;
    }
    return 0;
}

QStringList tst_windowsync::listTitles() const
{
    QStringList titles;
    for (int row = 0; row < ui().noteList->itemCount(); ++row)
        titles << ui().noteList->itemText(row);
    return titles;
}

void tst_windowsync::arrivalShowsInTheList()
{
    waitForFirstRound();
    testsupport::TestDatabase other;
    joinOther(other);

    // No round is asked for here: each file landing in the folder is what starts one. The notes
    // come last in the list, in the order they arrived.
    const QStringList arriving{QStringLiteral("Från andra datorn"), QStringLiteral("Och en till")};
    for (const QString &title : arriving) {
        other.addNote(title, QStringLiteral("kom via mappen"));
        QVERIFY(store::syncRound(other.path()));
        QTRY_VERIFY(listTitles().contains(title));
    }
    QCOMPARE(listTitles().mid(ids().size()), arriving);
    QCOMPARE(desktop().notices, QStringList());
}

void tst_windowsync::deleteSpreadsAsRecord()
{
    waitForFirstRound();
    testsupport::TestDatabase other;
    joinOther(other);

    window().clickNote(ids().at(1));
    window().command(ui().deleteButton);
    ui().deleteYesButton->click();
    QCOMPARE(db().count(), ids().size() - 1);
    QTRY_COMPARE(filesInFolder(QStringLiteral("*.deleted")), 1);

    const store::Result<store::SyncReport> taken = store::syncRound(other.path());
    QVERIFY(taken);
    QCOMPARE(int(taken->deleted.size()), 1);
    QCOMPARE(otherId(other, noteTitle(1)), 0);
}

// What the other machine does while the window holds a note being written or shows one: what
// arrives shows in the list, and a note being written is never replaced; a note shown goes only
// when it was itself deleted elsewhere.
void tst_windowsync::noteBeingWrittenStays_data()
{
    QTest::addColumn<bool>("writing");
    QTest::addColumn<bool>("otherAdds");
    QTest::addColumn<int>("otherDeletes"); // index of a standard note, -1 for none
    QTest::addColumn<bool>("shownGoes");

    QTest::newRow("writing, a note arrives") << true << true << -1 << false;
    QTest::newRow("writing, a note deleted elsewhere") << true << false << 1 << false;
    QTest::newRow("shown, a note arrives") << false << true << -1 << false;
    QTest::newRow("shown, another deleted elsewhere") << false << false << 2 << false;
    QTest::newRow("shown, itself deleted elsewhere") << false << false << 1 << true;
}

void tst_windowsync::noteBeingWrittenStays()
{
    QFETCH(bool, writing);
    QFETCH(bool, otherAdds);
    QFETCH(int, otherDeletes);
    QFETCH(bool, shownGoes);

    waitForFirstRound();
    testsupport::TestDatabase other;
    joinOther(other);

    const QString typed = QStringLiteral("Halvskriven anteckning");
    if (writing) {
        window().command(ui().newButton);
        QTest::keyClicks(ui().noteText, typed);
    } else {
        window().clickNote(ids().at(1));
    }

    int expected = ids().size();
    if (otherAdds) {
        other.addNote(QStringLiteral("Ny från andra"), QStringLiteral("text"));
        ++expected;
    }
    if (otherDeletes >= 0) {
        const QString title = noteTitle(otherDeletes);
        const store::Result<store::Note> note = other.store().readNote(otherId(other, title));
        QVERIFY(note);
        QVERIFY(store::deleteSyncedNote(other.path(), *note));
        --expected;
    }
    QVERIFY(store::syncRound(other.path()));
    QTRY_COMPARE(ui().noteList->itemCount(), expected);

    if (writing) {
        QCOMPARE(state().noteMode(), NoteMode::Writing);
        QCOMPARE(ui().noteText->text(), typed);
    } else if (shownGoes) {
        QCOMPARE(state().noteMode(), NoteMode::Writing);
        QCOMPARE(state().shownNote(), std::nullopt);
        QCOMPARE(ui().noteText->text(), QString());
    } else {
        QCOMPARE(state().noteMode(), NoteMode::Stored);
        QCOMPARE(state().shownNote()->id, ids().at(1));
        QCOMPARE(ui().noteText->text(), noteText(1));
        QCOMPARE(ui().noteList->itemId(ui().noteList->currentIndex().row()), ids().at(1));
    }
}

// A note found and then deleted on the other machine leaves the list and the count of the find
// panel alike.
void tst_windowsync::foundNoteDeletedElsewhere()
{
    waitForFirstRound();
    testsupport::TestDatabase other;
    joinOther(other);
    QTest::keyClick(ui().noteText, Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(ui().findEdit, QStringLiteral("t"));
    QTRY_COMPARE(ui().findCount->text(), QStringLiteral("2 anteckningar"));

    const store::Result<store::Note> note = other.store().readNote(otherId(other, noteTitle(1)));
    QVERIFY(note);
    QVERIFY(store::deleteSyncedNote(other.path(), *note));
    QVERIFY(store::syncRound(other.path()));
    QTRY_COMPARE(ui().noteList->itemCount(), 1);
    QCOMPARE(ui().findCount->text(), QStringLiteral("1 anteckning"));
}

// The folder set, changed or ended by another program (the notes tool) while the window runs:
// the window follows within moments, without a save, delete or start of its own. Where none of
// the setting's folders exist yet, the window watches what does.
void tst_windowsync::settingFollowedWhileRunning_data()
{
    QTest::addColumn<bool>("syncedAtStart");
    QTest::addColumn<bool>("freshConfigFolder");
    QTest::addColumn<bool>("ended");

    QTest::newRow("set") << false << false << false;
    QTest::newRow("set, no settings made before") << false << true << false;
    QTest::newRow("changed") << true << false << false;
    QTest::newRow("ended") << true << false << true;
}

void tst_windowsync::settingFollowedWhileRunning()
{
    QFETCH(bool, syncedAtStart);
    QFETCH(bool, freshConfigFolder);
    QFETCH(bool, ended);

    QTemporaryDir config;
    const QByteArray ownConfig = qgetenv("XDG_CONFIG_HOME");
    const auto restoreConfig = qScopeGuard([&ownConfig] { qputenv("XDG_CONFIG_HOME", ownConfig); });
    if (freshConfigFolder)
        qputenv("XDG_CONFIG_HOME", config.filePath(QStringLiteral("not/made/yet")).toUtf8());
    restart({.notes = 3, .unrolled = true, .synced = syncedAtStart});
    if (syncedAtStart)
        waitForFirstRound();
    const QString before = syncFolder();

    if (ended) {
        QVERIFY(store::endSync(db().path()));
        QTRY_VERIFY(!watches(before));
        return;
    }
    QTemporaryDir folder;
    QVERIFY(store::setSyncFolder(db().path(), folder.path()));
    // The watch follows what a round found: one ran on the folder now set.
    QTRY_VERIFY(watches(folder.path()));
    if (syncedAtStart)
        QVERIFY(!watches(before));

    // The other machine's note lands in the folder now set, and reaches the window's list.
    testsupport::TestDatabase other;
    QVERIFY(store::setSyncFolder(other.path(), folder.path()));
    QVERIFY(store::syncRound(other.path()));
    const QString arriving = QStringLiteral("Från andra datorn");
    other.addNote(arriving, QStringLiteral("kom via den nya mappen"));
    QVERIFY(store::syncRound(other.path()));
    QTRY_VERIFY(listTitles().contains(arriving));
    QCOMPARE(db().count(), ids().size() + 1);
}

QTEST_MAIN(tst_windowsync)
#include "tst_windowsync.moc"
