// The window's own controls, where they do more than Qt's: the note list and the note text.
// Real widgets on the offscreen platform.

#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using namespace window;

class TestControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listItemsKeepKeysAndOrder()
    {
        ListView noteList(nullptr);
        store::NoteList notes;
        notes.append(3, QStringLiteral("tre"));
        notes.append(1, QStringLiteral("ett"));
        noteList.setNotes(std::move(notes));
        QCOMPARE(noteList.itemCount(), 2);
        QCOMPARE(noteList.itemKey(0), QString("ID|3"));
        QCOMPARE(noteList.itemText(1), QString("ett"));
        noteList.resize(200, 200);
        noteList.setColumnWidth(0, 150);
        noteList.show();
        QVERIFY(QTest::qWaitForWindowExposed(&noteList));
        QSignalSpy clicks(&noteList, &ListView::itemClicked);
        QSignalSpy moves(&noteList, &ListView::highlightMoved);
        QTest::mouseClick(noteList.viewport(), Qt::LeftButton, {}, noteList.itemRect(1).center());
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks.at(0).at(0).toLongLong(), qint64(1));
        // Moving the highlight with the keyboard is a move, not a click; Enter is a click.
        QTest::keyClick(noteList.viewport(), Qt::Key_Up);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(moves.size(), 1);
        QCOMPARE(moves.at(0).at(0).toLongLong(), qint64(3));
        QTest::keyClick(noteList.viewport(), Qt::Key_Return);
        QCOMPARE(clicks.size(), 2);
        QCOMPARE(clicks.at(1).at(0).toLongLong(), qint64(3));
        QCOMPARE(moves.size(), 1);
        noteList.setNotes({});
        QCOMPARE(noteList.itemCount(), 0);
    }

    void textBoxReadsBackExactlyWhatWasSet()
    {
        NoteTextEdit box(nullptr);
        const QString stored = QStringLiteral("ett\r\ntvå\rtre\nfyra");
        box.setText(stored);
        QCOMPARE(box.text(), stored);
        QCOMPARE(box.toPlainText(), QStringLiteral("ett\ntvå\ntre\nfyra"));
        // Once the user types, the box holds what is shown.
        box.setLocked(false);
        box.moveCursor(QTextCursor::End);
        QTest::keyClicks(&box, "!");
        QCOMPARE(box.text(), QStringLiteral("ett\ntvå\ntre\nfyra!"));
    }

    void longTextShowsAtOnceAndLoadsTheRest()
    {
        NoteTextEdit box(nullptr);
        QString text;
        for (int line = 0; line < 40000; ++line)
            text += QStringLiteral("rad %1 med 🙂 och åäö\n").arg(line);
        box.setText(text);
        QVERIFY(box.isLoading());
        QVERIFY(box.document()->blockCount() > 1);
        QCOMPARE(box.text(), text); // whole while loading
        QTRY_VERIFY(!box.isLoading());
        QCOMPARE(box.toPlainText(), text);
        // A new text replaces one still loading.
        box.setText(text);
        box.setText(QStringLiteral("kort"));
        QVERIFY(!box.isLoading());
        QCOMPARE(box.toPlainText(), QStringLiteral("kort"));
        // An editable box holds the whole text at once.
        box.setText(text);
        box.setLocked(false);
        QVERIFY(!box.isLoading());
        QCOMPARE(box.toPlainText(), text);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
