// The window's controls: thin Qt widgets that keep their geometry in twips and raise the events
// the window handles. Real widgets on the offscreen platform.

#include "window/controls/CheckBox.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using namespace window;

class TestControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clickNeverGraysTheBox()
    {
        CheckBox box(nullptr);
        box.setCheckState(Qt::PartiallyChecked);
        // A click never makes the box grayed; it goes between checked and unchecked.
        box.click();
        QCOMPARE(box.checkState(), Qt::Unchecked);
        box.click();
        QCOMPARE(box.checkState(), Qt::Checked);
        box.click();
        QCOMPARE(box.checkState(), Qt::Unchecked);
    }

    void enablingARunningTimerKeepsItsInterval()
    {
        Timer timer(nullptr);
        timer.setInterval(60);
        QSignalSpy ticks(&timer, &Timer::tick);
        timer.setEnabled(true);
        QVERIFY(timer.isActive());
        // Re-enabling every few milliseconds must not hold the first tick back.
        QElapsedTimer clock;
        clock.start();
        while (ticks.isEmpty() && clock.elapsed() < 5000) {
            timer.setEnabled(true);
            QTest::qWait(5);
        }
        QVERIFY(!ticks.isEmpty());
        timer.setEnabled(false);
        QVERIFY(!timer.isActive());
    }

    void listColumnWidthKeepsNegativeValue()
    {
        ListView noteList(nullptr);
        noteList.setColumnWidthTwips(2700);
        QCOMPARE(noteList.columnWidth(0), 180);
        noteList.setColumnWidthTwips(-60);
        QCOMPARE(noteList.columnWidthTwips(), -60.0f);
        QCOMPARE(noteList.columnWidth(0), 180); // the list keeps what it had
        noteList.setColumnWidthTwips(0);
        QCOMPARE(noteList.columnWidth(0), 0);
    }

    void listItemsKeepKeysAndOrder()
    {
        ListView noteList(nullptr);
        noteList.adoptItems({3, 1}, {0, 3, 6}, QByteArray("treett"));
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
        noteList.clearItems();
        QCOMPARE(noteList.itemCount(), 0);
    }

    void textBoxReadsBackExactlyWhatWasSet()
    {
        MultiLineTextBox box(nullptr);
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
        MultiLineTextBox box(nullptr);
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
