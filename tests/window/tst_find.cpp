// The find panel in the real window: Ctrl+F opens it, the words typed filter the note list and
// are counted, Enter shows the first note found with its hits marked, Esc brings the whole list
// back. The searches run on the finder's thread against the test's own database.

#include "WindowTestSupport.h"
#include "window/NoteFinder.h"
#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using window::Panel;

class tst_find : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_find()
        : WindowTestCase({.notes = 12, .unrolled = true})
    {}

private Q_SLOTS:
    void countsTheNotesFound_data();
    void countsTheNotesFound();
    void findShowMarkAndBack();
    void rolledUpStripUnrollsToTheBox();
    void noteBeingWrittenStays();
    void unreadableDatabaseTold();

private:
    void find(const QString &words);
};

void tst_find::find(const QString &words)
{
    QTest::keyClick(ui().noteText, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(ui().findPanel->isVisible());
    QCOMPARE(form().focusWidget(), ui().findEdit);
    QTest::keyClicks(ui().findEdit, words);
}

void tst_find::countsTheNotesFound_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("found");
    QTest::addColumn<QString>("count");
    QTest::newRow("many") << QStringLiteral("text") << 9 << QStringLiteral("9 anteckningar");
    QTest::newRow("one") << QStringLiteral("RAD") << 1 << QStringLiteral("1 anteckning");
    QTest::newRow("none") << QStringLiteral("xyz") << 0 << QStringLiteral("Inga anteckningar");
    QTest::newRow("saved elsewhere")
        << QStringLiteral("fjarran") << 1 << QStringLiteral("1 anteckning");
}

void tst_find::countsTheNotesFound()
{
    QFETCH(QString, words);
    QFETCH(int, found);
    QFETCH(QString, count);
    // Saved by another program after the window read its list: found, listed and counted alike.
    db().addNote(QStringLiteral("Fjärran"), QStringLiteral("sparad av ett annat program"));
    find(words);
    QTRY_COMPARE(ui().findCount->text(), count);
    QCOMPARE(ui().noteList->itemCount(), found);
}

void tst_find::findShowMarkAndBack()
{
    find(QStringLiteral("text 4"));
    QTRY_COMPARE(ui().findCount->text(), QStringLiteral("1 anteckning"));
    QCOMPARE(ui().noteList->itemText(0), noteTitle(3));
    QCOMPARE(state().slide(), window::Slide::Widening);

    QTest::keyClick(ui().findEdit, Qt::Key_Return);
    QCOMPARE(form().focusWidget(), ui().noteList);
    QCOMPARE(ui().noteText->text(), noteText(3));
    const QList<QTextEdit::ExtraSelection> marks = ui().noteText->extraSelections();
    QCOMPARE(marks.size(), 2);
    QCOMPARE(marks.at(0).cursor.selectedText(), QStringLiteral("text"));
    QCOMPARE(marks.at(1).cursor.selectedText(), QStringLiteral("4"));

    QTest::keyClick(ui().noteList, Qt::Key_Escape);
    QVERIFY(!ui().findPanel->isVisible());
    QCOMPARE(state().panel(), Panel::None);
    QCOMPARE(ui().noteList->itemCount(), 12);
    QCOMPARE(state().shownNote()->id, ids().at(3));
    QCOMPARE(ui().noteList->currentIndex().row(), 3);
}

void tst_find::rolledUpStripUnrollsToTheBox()
{
    restart({.notes = 3, .unrolled = false});
    QTest::keyClick(ui().titleStrip, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!state().rolledUp());
    QVERIFY(ui().findPanel->isVisible());
    QCOMPARE(form().focusWidget(), ui().findEdit);
}

void tst_find::noteBeingWrittenStays()
{
    window().command(ui().newButton);
    QTest::keyClicks(ui().noteText, QStringLiteral("skrivs"));
    find(QStringLiteral("tre"));
    QTRY_COMPARE(ui().findCount->text(), QStringLiteral("1 anteckning"));
    QTest::keyClick(ui().findEdit, Qt::Key_Down);
    QCOMPARE(ui().noteText->text(), QStringLiteral("skrivs"));
    QVERIFY(state().holdsTypedText());
}

// The wiring of a search that cannot read the notes: the finder's failure reaches the person,
// once for the keys typed in one opening of the panel (the state's table has the rule itself).
void tst_find::unreadableDatabaseTold()
{
    auto *finder = form().findChild<window::NoteFinder *>();
    QVERIFY(finder);
    QSignalSpy failed(finder, &window::NoteFinder::failed);
    QVERIFY(QFile::remove(db().path()));
    find(QString());
    for (const char key : {'k', 'a', 'p'}) {
        // Each search's failure comes back before the next key, so that none is dropped.
        const qsizetype before = failed.size();
        QTest::keyClick(ui().findEdit, key);
        QTRY_COMPARE(failed.size(), before + 1);
    }
    QCOMPARE(desktop().reports.size(), 1);
    desktop().reports.clear();
}

QTEST_MAIN(tst_find)
#include "tst_find.moc"
