// zentavo-notes drafts, run as a program over real drafts folders: the notes Zentavo was writing
// when it ended without saving them are listed, and stored as notes with --save, each then
// removed; a draft its program still writes is listed but never taken.

#include "ProcessSettings.h"
#include "ProgramRun.h"
#include "TestDatabase.h"
#include "store/Drafts.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using store::Draft;
using testsupport::TestDatabase;

class tst_notes_drafts : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_state;

    // zentavo-notes on the test's database, with the test's state folder.
    testsupport::ProgramRun notes(const QStringList &arguments)
    {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_STATE_HOME"), m_state->path());
        tool.setProcessEnvironment(environment);
        return testsupport::runToEnd(tool, QStringLiteral(ZENTAVO_NOTES),
                                     QStringList{QStringLiteral("--db"), m_db->path()} + arguments);
    }

    store::DraftFolder drafts() const
    {
        qputenv("XDG_STATE_HOME", m_state->path().toUtf8());
        return store::DraftFolder::forDatabase(m_db->path());
    }

    // A draft left as by a program that ended without saving it.
    void leave(const Draft &draft)
    {
        store::Result<store::DraftSlot> slot
            = store::DraftSlot::claim(drafts(), store::DraftSlot::Restore::None);
        QVERIFY(slot);
        QVERIFY(slot->write(draft));
    }

private Q_SLOTS:
    void init()
    {
        m_db = std::make_unique<TestDatabase>();
        m_state = std::make_unique<QTemporaryDir>();
    }

    void listsWaitingAndOpenDrafts()
    {
        QCOMPARE(notes({QStringLiteral("drafts")}).out, QByteArray());
        leave(Draft{QStringLiteral("Inköp\nmjölk"), std::nullopt});
        store::Result<store::DraftSlot> running
            = store::DraftSlot::claim(drafts(), store::DraftSlot::Restore::None);
        QVERIFY(running);
        QVERIFY(running->write(Draft{QStringLiteral("pågår"), QStringLiteral("Titel")}));

        const testsupport::ProgramRun listed = notes({QStringLiteral("drafts")});
        QCOMPARE(listed.status, 0);
        QStringList lines
            = QString::fromUtf8(listed.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        lines.sort();
        QCOMPARE(lines, QStringList({QStringLiteral("väntar\tInköp\t11 tecken"),
                                     QStringLiteral("öppet\tTitel\t5 tecken")}));
        // Listing changes nothing.
        QCOMPARE(m_db->count(), 0);
        QCOMPARE(drafts().list()->size(), std::size_t(2));
    }

    void saveStoresWaitingDraftsOnly()
    {
        const Draft titled{QStringLiteral("text med\r\nrader åäö 🙂"),
                           QStringLiteral("Rubrik")};
        const Draft untitled{QStringLiteral("Första raden\nandra raden"), std::nullopt};
        leave(titled);
        leave(untitled);
        store::Result<store::DraftSlot> running
            = store::DraftSlot::claim(drafts(), store::DraftSlot::Restore::None);
        QVERIFY(running);
        QVERIFY(running->write(Draft{QStringLiteral("pågår"), std::nullopt}));

        const testsupport::ProgramRun saved
            = notes({QStringLiteral("drafts"), QStringLiteral("--save")});
        QCOMPARE(saved.status, 0);
        QCOMPARE(saved.out.count('\n'), 2);
        const auto rows = m_db->rows();
        QCOMPARE(rows.size(), 2);
        QMap<QString, QString> stored;
        for (const auto &row : rows)
            stored.insert(row.title.toString(), row.text.toString());
        QCOMPARE(stored.value(QStringLiteral("Rubrik")), titled.text);
        QCOMPARE(stored.value(QStringLiteral("Första raden")), untitled.text);
        // The stored drafts are gone; the one still being written stays.
        const auto left = drafts().list();
        QVERIFY(left);
        QCOMPARE(left->size(), std::size_t(1));
        QVERIFY(!left->front().waiting);
        // Nothing waits any more: a second --save stores nothing.
        QCOMPARE(notes({QStringLiteral("drafts"), QStringLiteral("--save")}).status, 0);
        QCOMPARE(m_db->count(), 2);
    }

    void draftThatCannotBeStoredStays()
    {
        leave(Draft{QStringLiteral("behåll mig"), std::nullopt});
        m_db->exec(QStringLiteral("CREATE TRIGGER nej BEFORE INSERT ON Memo "
                                  "BEGIN SELECT RAISE(ABORT, 'skrivning nekad'); END"));
        const testsupport::ProgramRun saved
            = notes({QStringLiteral("drafts"), QStringLiteral("--save")});
        QCOMPARE(saved.status, 2);
        QVERIFY2(saved.err.contains(m_db->path()), qPrintable(saved.err));
        const auto left = drafts().list();
        QVERIFY(left);
        QCOMPARE(left->size(), std::size_t(1));
        QVERIFY(left->front().waiting);
    }

    // A draft that could not be removed once stored would be stored again at every run.
    void draftThatCannotBeRemovedIsNeverStoredTwice()
    {
        leave(Draft{QStringLiteral("en gång"), std::nullopt});
        {
            const testsupport::ReadOnlyFolder readOnly(drafts().path());
            if (!readOnly.readOnly())
                QSKIP("cannot make a folder read-only here");
            for (int run = 0; run < 2; ++run) {
                const testsupport::ProgramRun saved
                    = notes({QStringLiteral("drafts"), QStringLiteral("--save")});
                QCOMPARE(saved.status, 2);
                QVERIFY2(saved.err.contains(QStringLiteral("skrivrätt")), qPrintable(saved.err));
                QCOMPARE(saved.out, QByteArray());
                QCOMPARE(m_db->count(), 0);
            }
        }
        // Marked as stored but left behind: listed so, and never stored again.
        const auto listed = drafts().list();
        QVERIFY(listed && listed->size() == 1);
        store::Result<store::DraftSlot> slot
            = store::DraftSlot::takeWaiting(drafts(), listed->front().file);
        QVERIFY(slot && slot->markStoring());
        slot = store::StoreError{};
        QCOMPARE(notes({QStringLiteral("drafts")}).out, QByteArray("sparat\ten gång\t7 tecken\n"));
        const testsupport::ProgramRun again
            = notes({QStringLiteral("drafts"), QStringLiteral("--save")});
        QCOMPARE(again.status, 2);
        QVERIFY2(again.err.contains(QStringLiteral("redan sparats")), qPrintable(again.err));
        QCOMPARE(m_db->count(), 0);
    }

    void saveBelongsToDrafts()
    {
        QCOMPARE(notes({QStringLiteral("list"), QStringLiteral("--save")}).status, 1);
        QCOMPARE(notes({QStringLiteral("drafts"), QStringLiteral("x")}).status, 1);
        const QString help = QString::fromUtf8(notes({QStringLiteral("--help")}).out);
        QVERIFY2(help.contains(QStringLiteral("drafts [--save]")), qPrintable(help));
    }
};

QTEST_GUILESS_MAIN(tst_notes_drafts)
#include "tst_notes_drafts.moc"
