// A model-based test: random sequences of the user's actions (new, type, save, click a title,
// delete, cancel, and now and then another program deleting a note) against the real window
// offscreen and a plain in-memory model of the notes and the window's note state. After every
// step the list, the note shown, its text, the panels and the table agree with the model.
// ZENTAVO_RELIABILITY_SEED repeats a run; the seed is printed with every failure.

#include "ReliabilitySupport.h"
#include "TestDatabase.h"
#include "WindowHarness.h"
#include "store/NoteStore.h"

#include <QMap>
#include <QTest>

using namespace reliability;

namespace {

struct Note
{
    QString title;
    QString text;
};

// What the user should see and what the file should hold.
struct Model
{
    QMap<qlonglong, Note> table;  // the database
    QList<qlonglong> listed;      // the IDs in the list, as last loaded
    QMap<qlonglong, Note> atLoad; // the titles the list showed when loaded
    qlonglong lastId = 0;         // IDs are never reused
    QString shownId, noteText, titleEdit;
    bool locked = true;
    bool cmds = false, save = false, erase = false;

    void reload()
    {
        listed = table.keys();
        atLoad = table;
    }
    void newNote()
    {
        noteText.clear();
        shownId.clear();
        locked = false;
        cmds = false;
    }
};

} // namespace

class TestModel : public QObject
{
    Q_OBJECT

private:
    QString m_failure;
    // A note as the note box gives it back once shown (the box may normalize line breaks). The
    // stored text itself is checked against the table.
    std::unique_ptr<window::NoteTextEdit> m_box;
    QString asShown(const QString &text)
    {
        if (!m_box)
            m_box = std::make_unique<window::NoteTextEdit>(nullptr);
        m_box->setText(text);
        return m_box->text();
    }

    bool agree(const WindowHarness &w, const Model &m, const QString &path)
    {
        const window::Controls &f = w.ui();
        QStringList titles, keys;
        for (const qlonglong id : m.listed) {
            titles << m.atLoad[id].title;
            keys << QStringLiteral("ID|%1").arg(id);
        }
        QStringList wrong;
        if (w.titles() != titles || w.keys() != keys)
            wrong << QStringLiteral("list %1 vs model %2").arg(w.keys().join(','), keys.join(','));
        const std::optional<store::Note> &shown = w.window->state().shownNote();
        const QString shownId = shown ? QString::number(shown->id) : QString();
        if (shownId != m.shownId)
            wrong << QStringLiteral("note shown '%1' vs '%2'").arg(shownId, m.shownId);
        if (f.noteText->text() != m.noteText)
            wrong << QStringLiteral("noteText differs");
        if (f.noteText->isLocked() != m.locked)
            wrong << QStringLiteral("noteText locked %1").arg(f.noteText->isLocked());
        if (!f.commandPanel->isHidden() != m.cmds || !f.savePanel->isHidden() != m.save
            || !f.deletePanel->isHidden() != m.erase)
            wrong << QStringLiteral("panels %1%2%3")
                         .arg(!f.commandPanel->isHidden())
                         .arg(!f.savePanel->isHidden())
                         .arg(!f.deletePanel->isHidden());
        QMap<qlonglong, Note> table;
        for (const RawRow &row : rawRows(path))
            table.insert(row.id, {row.title, row.text});
        if (table.keys() != m.table.keys())
            wrong << QStringLiteral("table IDs differ");
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            const Note &expected = m.table.value(it.key());
            if (it->title != expected.title || it->text != expected.text)
                wrong << QStringLiteral("row %1 differs").arg(it.key());
        }
        if (!w.reports().isEmpty())
            wrong << QStringLiteral("error reported: %1").arg(w.reports().join('\n'));
        m_failure = wrong.join(QStringLiteral("; "));
        return wrong.isEmpty();
    }

    // Whether the window reported exactly one error, containing what; takes it off the list.
    static bool takeReport(WindowHarness &w, const QString &what)
    {
        const bool one = w.reports().size() == 1 && w.reports().first().contains(what);
        if (one)
            w.reports().clear();
        return one;
    }

private Q_SLOTS:
    void cleanupTestCase() { m_box.reset(); }

    void randomUserSessions()
    {
        const int sequences = runCount(200, 40, 2000);
        const quint64 seed = seedFromEnvironment();
        qInfo("model seed %llu", seed);
        qint64 steps = 0, saves = 0, deletes = 0, shows = 0;
        for (int sequence = 0; sequence < sequences; ++sequence) {
            const quint64 sequenceSeed = seed + quint64(sequence);
            Rng rng(sequenceSeed);
            testsupport::TestDatabase db;
            Model m;
            for (quint64 i = 0, n = below(rng, 4); i < n; ++i) {
                const Note note{randomText(rng, 12), randomText(rng, 60)};
                QVERIFY(db.store().insertNote(note.title, note.text));
                m.lastId = rawRows(db.path()).last().id;
                m.table.insert(m.lastId, note);
            }
            WindowHarness w{db.store()};
            QVERIFY(w.start());
            const window::Controls &f = w.ui();
            m.reload();
            QStringList log;
            // Actions the window does not offer at that moment are drawn again.
            const int length = 1 + int(below(rng, 40));
            for (int step = 0, draws = 0; step < length && draws < 20 * length; ++draws) {
                const quint64 action = below(rng, 14);
                QString did;
                if (action == 0) {
                    did = QStringLiteral("M");
                    f.menuButton->click();
                    if (!m.save && !m.erase)
                        m.cmds = !m.cmds;
                } else if (action == 1 && m.cmds) {
                    did = QStringLiteral("Ny");
                    f.newButton->click();
                    m.newNote();
                } else if (action == 2) {
                    // Typing: pasted random text, or keys typed one by one.
                    if (below(rng, 2)) {
                        did = QStringLiteral("paste");
                        const QString text = randomText(rng, 80);
                        if (!f.noteText->isLocked())
                            f.noteText->setText(text);
                    } else {
                        did = QStringLiteral("type");
                        QTest::keyClicks(f.noteText, QStringLiteral("ab c|'\"\\"));
                    }
                    // The box holds what it was given, as it normalizes line breaks.
                    if (!m.locked)
                        m.noteText = f.noteText->text();
                } else if (action == 3 && m.cmds) {
                    did = QStringLiteral("Spara");
                    f.saveButton->click();
                    if (m.shownId.isEmpty()) {
                        m.cmds = false;
                        m.save = true;
                    }
                } else if (action == 4 && m.save) {
                    did = QStringLiteral("title");
                    f.titleEdit->setText(randomText(rng, 20));
                    m.titleEdit = f.titleEdit->text();
                } else if ((action == 5 || action == 6) && m.save) {
                    did = QStringLiteral("OK");
                    f.saveOkButton->click();
                    m.table.insert(++m.lastId, {m.titleEdit, m.noteText});
                    m.reload();
                    m.newNote();
                    m.save = false;
                    ++saves;
                } else if (action == 7 && m.save) {
                    did = QStringLiteral("Avbryt");
                    f.saveCancelButton->click();
                    m.save = false;
                } else if ((action == 8 || action == 9) && !m.listed.isEmpty()) {
                    const qlonglong id = m.listed[qsizetype(below(rng, m.listed.size()))];
                    did = QStringLiteral("click %1").arg(id);
                    w.window->clickNote(id);
                    if (m.save) {
                        // The note being saved stays; the list is not read.
                    } else if (m.table.contains(id)) {
                        m.shownId = QString::number(id);
                        m.noteText = asShown(m.table[id].text);
                        m.locked = true;
                    } else {
                        // Deleted by the other program: said, the list read again, nothing
                        // else changed.
                        QVERIFY(takeReport(w, QStringLiteral("raderats någon annanstans")));
                        m.reload();
                    }
                    ++shows;
                } else if (action == 10 && m.cmds) {
                    did = QStringLiteral("Radera");
                    f.deleteButton->click();
                    if (!m.shownId.isEmpty()) {
                        m.cmds = false;
                        m.erase = true;
                    }
                } else if (action == 11 && m.erase) {
                    did = QStringLiteral("Ja");
                    f.deleteYesButton->click();
                    if (m.table.remove(m.shownId.toLongLong()) == 0) {
                        // The note shown was deleted by the other program: nothing is
                        // deleted, the list is read again and the note stays on screen.
                        QVERIFY(takeReport(w, QStringLiteral("raderats någon annanstans")));
                        m.reload();
                        m.erase = false;
                    } else {
                        m.reload();
                        m.erase = false;
                        m.newNote();
                        ++deletes;
                    }
                } else if (action == 12 && m.erase) {
                    did = QStringLiteral("Nej");
                    f.deleteNoButton->click();
                    m.erase = false;
                } else if (action == 13 && !m.table.isEmpty()) {
                    if (below(rng, 3) == 0) {
                        // Another program deletes a note; the list is not reloaded.
                        const qlonglong id = m.table.keys()[qsizetype(below(rng, m.table.size()))];
                        did = QStringLiteral("other program deletes %1").arg(id);
                        db.exec(QStringLiteral("DELETE FROM Memo WHERE ID = ?"), {id});
                        m.table.remove(id);
                    } else if (m.cmds) {
                        did = QStringLiteral("Avsluta, Nej");
                        w.window->desktop.answers = {false};
                        f.exitButton->click();
                    }
                }
                if (did.isEmpty())
                    continue;
                ++step;
                ++steps;
                log << did;
                QVERIFY2(agree(w, m, db.path()),
                         qPrintable(QStringLiteral("seed %1 (sequence %2, run with "
                                                   "ZENTAVO_RELIABILITY_SEED=%1), after %3: %4")
                                        .arg(sequenceSeed)
                                        .arg(sequence)
                                        .arg(log.join(QStringLiteral(", ")), m_failure)));
            }
        }
        qInfo("model: %d sequences, %lld steps (%lld saves, %lld deletes, %lld shows), "
              "0 disagreements with the model, seed %llu",
              sequences, steps, saves, deletes, shows, seed);
    }
};

QTEST_MAIN(TestModel)
#include "tst_reliability_model.moc"
