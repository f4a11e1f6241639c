// The note being written kept as a draft, in the real window over real folders: written when
// typing pauses and at once when the window closes, with the title while the save panel is open;
// gone once the note is saved or the note area is set to something else by the person; restored
// at the next start, one draft to each program; and told once when it cannot be written.

#include "WindowTestSupport.h"

#include "window/DraftKeeper.h"

#include <QDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using store::Draft;
using window::NoteMode;

namespace {

// The drafts in a folder, as a listing gives them.
QList<Draft> draftsIn(const store::DraftFolder &folder)
{
    QList<Draft> drafts;
    const auto listed = folder.list();
    if (!listed)
        qFatal("%s", qPrintable(listed.error().message()));
    for (const store::DraftFolder::Entry &entry : *listed) {
        if (!entry.draft)
            qFatal("%s", qPrintable(entry.draft.error().message()));
        drafts << *entry.draft;
    }
    return drafts;
}

// Leaves a draft in the folder as a program that ended without saving it would.
void leaveDraft(const store::DraftFolder &folder, const Draft &draft)
{
    store::Result<store::DraftSlot> slot = store::DraftSlot::claim(folder);
    if (!slot || !slot->write(draft))
        qFatal("cannot leave a draft in %s", qPrintable(folder.path()));
}

} // namespace

class tst_notedrafts : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_notedrafts()
        : WindowTestCase({.notes = 2, .unrolled = true})
    {}

private Q_SLOTS:
    void writtenWhenTypingPauses();
    void titleWhileTheSavePanelIsOpen();
    void goneWhenSavedOrSetAside_data();
    void goneWhenSavedOrSetAside();
    void storedNoteIsNoDraft();
    void closingKeepsItAtOnce();
    void restoredAtStart();
    void notRestoredOverANewNoteAndLeftWaiting();
    void eachProgramItsOwnDraft();
    void toldOnceWhenItCannotBeWritten();
    void endingWaitsForTheDiskNoLongerThanPromised();

private:
    QTimer *pause() { return form().findChild<QTimer *>(QStringLiteral("draftPause")); }
    QList<Draft> drafts() { return draftsIn(window().drafts); }
    void typeNewNote(const QString &text)
    {
        window().command(ui().newButton);
        QTest::keyClicks(ui().noteText, text);
    }
};

void tst_notedrafts::writtenWhenTypingPauses()
{
    typeNewNote(QStringLiteral("Viktig anteckning"));
    QVERIFY(pause()->isActive());
    QCOMPARE(drafts(), QList<Draft>());
    // Each key starts the pause over.
    QTest::keyClicks(ui().noteText, QStringLiteral(" som"));
    QVERIFY(windowtest::tick(pause()));
    QTRY_COMPARE(drafts(), QList<Draft>({Draft{QStringLiteral("Viktig anteckning som"), {}}}));
    // Nothing of it has reached the database.
    QCOMPARE(db().count(), 2);
}

void tst_notedrafts::titleWhileTheSavePanelIsOpen()
{
    typeNewNote(QStringLiteral("text"));
    window().command(ui().saveButton);
    QTest::keyClicks(ui().titleEdit, QStringLiteral("Rubrik"));
    QVERIFY(windowtest::tick(pause()));
    QTRY_COMPARE(drafts(), QList<Draft>({Draft{QStringLiteral("text"), QStringLiteral("Rubrik")}}));
    ui().saveCancelButton->click();
    QVERIFY(windowtest::tick(pause()));
    QTRY_COMPARE(drafts(), QList<Draft>({Draft{QStringLiteral("text"), std::nullopt}}));
}

void tst_notedrafts::goneWhenSavedOrSetAside_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("atOnce"); // else when typing pauses
    QTest::newRow("saved") << "OK" << true;
    QTest::newRow("a new note") << "Ny" << true;
    QTest::newRow("a stored note shown") << "title" << true;
    QTest::newRow("the text deleted") << "delete" << false;
}

void tst_notedrafts::goneWhenSavedOrSetAside()
{
    QFETCH(QString, action);
    QFETCH(bool, atOnce);
    typeNewNote(QStringLiteral("utkast"));
    QVERIFY(windowtest::tick(pause()));
    QTRY_COMPARE(drafts().size(), 1);

    if (action == QLatin1String("OK")) {
        window().command(ui().saveButton);
        QTest::keyClicks(ui().titleEdit, QStringLiteral("Sparad"));
        ui().saveOkButton->click();
        QCOMPARE(db().count(), 3);
    } else if (action == QLatin1String("Ny")) {
        window().command(ui().newButton);
    } else if (action == QLatin1String("title")) {
        window().clickItem(0);
        QCOMPARE(state().noteMode(), NoteMode::Stored);
    } else {
        ui().noteText->selectAll();
        QTest::keyClick(ui().noteText, Qt::Key_Delete);
    }
    // Gone without waiting for a pause, where the person's action was a decision.
    if (atOnce)
        pause()->stop();
    else
        QVERIFY(windowtest::tick(pause()));
    QTRY_COMPARE(drafts(), QList<Draft>());
}

void tst_notedrafts::storedNoteIsNoDraft()
{
    window().clickItem(1);
    windowtest::tick(pause());
    form().keepDraftNow();
    QCOMPARE(drafts(), QList<Draft>());
}

// Closed (by the exit question, the window manager or the session ending) right after the last
// key: the draft is on disk before the window is gone.
void tst_notedrafts::closingKeepsItAtOnce()
{
    typeNewNote(QStringLiteral("sista"));
    QVERIFY(pause()->isActive());
    form().close();
    QCOMPARE(drafts(), QList<Draft>({Draft{QStringLiteral("sista"), std::nullopt}}));
}

void tst_notedrafts::restoredAtStart()
{
    const Draft left{QStringLiteral("Osparad\r\nåäö 🙂"), QStringLiteral("Min titel")};
    const QTemporaryDir home;
    const store::DraftFolder folder(home.filePath(QStringLiteral("drafts")));
    leaveDraft(folder, left);

    windowtest::WindowUnderTest restarted(db(), folder.path());
    restarted.desktop.pointer = windowtest::WindowUnderTest::inside();
    QVERIFY(restarted.start());
    QTRY_COMPARE(restarted.ui.noteText->text(), left.text);
    // An unsaved note to go on with, its title in the save panel's box, and a word about it;
    // the window stays as it starts, rolled up, under its own caption.
    QCOMPARE(restarted.state().noteMode(), NoteMode::Writing);
    QVERIFY(!restarted.ui.noteText->isLocked());
    QCOMPARE(restarted.ui.titleEdit->text(), *left.title);
    QCOMPARE(restarted.desktop.notices.size(), 1);
    QVERIFY(restarted.desktop.notices.first().contains(QStringLiteral("återställt")));
    QVERIFY(restarted.state().rolledUp());
    QCOMPARE(restarted.ui.titleStrip->text(), QStringLiteral("Zentavo 1.0"));
    QCOMPARE(db().count(), 2);
    QCOMPARE(draftsIn(folder), QList<Draft>({left}));
    // Written again, it keeps its title.
    QVERIFY(windowtest::tick(restarted.form.findChild<QTimer *>(QStringLiteral("draftPause"))));
    QTRY_COMPARE(draftsIn(folder), QList<Draft>({left}));
    windowtest::doubleClick(restarted.ui.titleStrip);
    restarted.ui.noteText->moveCursor(QTextCursor::End);
    QTest::keyClicks(restarted.ui.noteText, QStringLiteral("!"));
    restarted.form.keepDraftNow();
    QCOMPARE(draftsIn(folder), QList<Draft>({Draft{left.text + QStringLiteral("!"), left.title}}));

    // Saved with "OK", it is a note, and no draft is left.
    restarted.command(restarted.ui.saveButton);
    restarted.ui.saveOkButton->click();
    const auto rows = db().rows();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.last().text.toString(), left.text + QStringLiteral("!"));
    QCOMPARE(rows.last().title.toString(), *left.title);
    QTRY_COMPARE(draftsIn(folder), QList<Draft>());
    QCOMPARE(restarted.desktop.reports, QStringList());
}

// A draft that comes back only after the person has begun another note is neither put over it nor
// written over: it waits, whole, beside the new note's draft.
void tst_notedrafts::notRestoredOverANewNoteAndLeftWaiting()
{
    const Draft left{QStringLiteral("fran forra gangen"), std::nullopt};
    const QTemporaryDir home;
    const store::DraftFolder folder(home.filePath(QStringLiteral("drafts")));
    leaveDraft(folder, left);

    windowtest::WindowUnderTest restarted(db(), folder.path());
    restarted.desktop.pointer = windowtest::WindowUnderTest::inside();
    // Begun at the first frame, queued before any answer of the draft keeper. The new note is
    // kept below, not when typing pauses.
    restarted.desktop.atFirstFrame = [&restarted] {
        QMetaObject::invokeMethod(
            &restarted.form,
            [&restarted] {
                restarted.ui = window::findControls(restarted.form);
                restarted.command(restarted.ui.newButton);
                restarted.ui.noteText->setText(QStringLiteral("nytt"));
                restarted.form.findChild<QTimer *>(QStringLiteral("draftPause"))->stop();
            },
            Qt::QueuedConnection);
    };
    QVERIFY(restarted.start());
    QTRY_COMPARE(restarted.desktop.notices.size(), 1);
    QVERIFY(restarted.desktop.notices.first().contains(QStringLiteral("väntar kvar")));
    QCOMPARE(restarted.ui.noteText->text(), QStringLiteral("nytt"));

    restarted.form.keepDraftNow();
    QList<Draft> kept = draftsIn(folder);
    std::ranges::sort(kept, {}, &Draft::text);
    QCOMPARE(kept, QList<Draft>({left, Draft{QStringLiteral("nytt"), std::nullopt}}));
    QCOMPARE(restarted.desktop.reports, QStringList());
}

// Two programs on one database, both with drafts, both ended without saving: each of the next two
// starts restores one of them.
void tst_notedrafts::eachProgramItsOwnDraft()
{
    const QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("drafts"));
    const QStringList texts{QStringLiteral("den forsta"), QStringLiteral("den andra")};
    for (int round = 0; round < 2; ++round) {
        QList<std::shared_ptr<windowtest::WindowUnderTest>> windows;
        for (int i = 0; i < 2; ++i) {
            windows << std::make_shared<windowtest::WindowUnderTest>(db(), folder);
            windows.last()->desktop.pointer = windowtest::WindowUnderTest::inside();
            QVERIFY(windows.last()->start());
        }
        QStringList restored;
        for (const auto &w : windows)
            QTRY_VERIFY(!w->ui.noteText->text().isEmpty() || round == 0);
        for (const auto &w : windows)
            restored << w->ui.noteText->text();
        if (round == 0) {
            for (int i = 0; i < 2; ++i) {
                windowtest::doubleClick(windows[i]->ui.titleStrip);
                windows[i]->command(windows[i]->ui.newButton);
                QTest::keyClicks(windows[i]->ui.noteText, texts[i]);
                windows[i]->form.keepDraftNow();
            }
        } else {
            restored.sort();
            QStringList expected = texts;
            expected.sort();
            QCOMPARE(restored, expected);
        }
        // Ended without closing, as a kill ends them.
    }
}

void tst_notedrafts::toldOnceWhenItCannotBeWritten()
{
    // The state folder cannot hold a drafts folder: a file lies where it would be.
    const QTemporaryDir home;
    QFile blocker(home.filePath(QStringLiteral("state")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    windowtest::WindowUnderTest window(db(), home.filePath(QStringLiteral("state/drafts")));
    window.desktop.pointer = windowtest::WindowUnderTest::inside();
    QVERIFY(window.startUnrolled());
    QTimer *pause = window.form.findChild<QTimer *>(QStringLiteral("draftPause"));
    window.command(window.ui.newButton);
    for (const QString &typed :
         {QStringLiteral("ett"), QStringLiteral(" tva"), QStringLiteral(" tre")}) {
        QTest::keyClicks(window.ui.noteText, typed);
        QVERIFY(windowtest::tick(pause));
        // Returns once the write has failed, its answer queued: the events deliver it.
        window.form.keepDraftNow();
        QCoreApplication::processEvents();
    }
    QCOMPARE(window.desktop.notices.size(), 1);
    const QString &told = window.desktop.notices.first();
    QVERIFY2(told.contains(QStringLiteral("kunde inte sparas")), qPrintable(told));
    QVERIFY2(told.contains(home.filePath(QStringLiteral("state"))), qPrintable(told));
    // The typing goes on, and the note can still be saved.
    QCOMPARE(window.ui.noteText->text(), QStringLiteral("ett tva tre"));
    QVERIFY(!window.ui.noteText->isLocked());
    QCOMPARE(window.desktop.reports, QStringList());
}

// A disk that does not answer (the next draft's file is a pipe no one reads): the ending program
// waits for it no longer than it promises, the keeper goes, and the draft as last written stays.
void tst_notedrafts::endingWaitsForTheDiskNoLongerThanPromised()
{
    const QTemporaryDir home;
    const store::DraftFolder folder(home.filePath(QStringLiteral("drafts")));
    QString text = QStringLiteral("forsta");
    auto keeper = std::make_unique<window::DraftKeeper>(
        folder,
        [&text] {
            return std::optional(Draft{text, std::nullopt});
        },
        [&text](const window::DraftKeeper::Handover &handover) {
            handover(Draft{text, std::nullopt});
        },
        nullptr);
    keeper->setEndingWait(std::chrono::milliseconds(100));
    keeper->start();
    keeper->changedNow();
    QTRY_COMPARE(draftsIn(folder), QList<Draft>({Draft{text, std::nullopt}}));
    const QString part
        = QDir(folder.path()).filePath(folder.list()->front().file + QStringLiteral(".part"));
    QCOMPARE(::mkfifo(QFile::encodeName(part).constData(), 0600), 0);

    text = QStringLiteral("andra");
    keeper->keepNow();
    keeper.reset();
    QCOMPARE(draftsIn(folder), QList<Draft>({Draft{QStringLiteral("forsta"), std::nullopt}}));
    // The writing thread, left behind, finds a pipe and gives up.
    const int reader = ::open(QFile::encodeName(part).constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    QTRY_VERIFY(!QFileInfo::exists(part));
    ::close(reader);
}

QTEST_MAIN(tst_notedrafts)
#include "tst_notedrafts.moc"
