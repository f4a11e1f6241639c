// The layer over Qt: twips arithmetic, exact read-back of twips geometry, check box values,
// timers, the list control and the message box seam.

#include "runtime/CheckBox.h"
#include "runtime/Label.h"
#include "runtime/ListView.h"
#include "runtime/MessageBox.h"
#include "runtime/Screen.h"
#include "runtime/TextBox.h"
#include "runtime/Timer.h"
#include "runtime/Twips.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

using namespace runtime;

static_assert(twipsPerPixelForDpi(96) == 15.0f);
static_assert(twipsPerPixelForDpi(192) == 7.5f);
static_assert(twipsToPixels(6495, 15) == 433);
static_assert(twipsToPixels(4335, 15) == 289);
static_assert(twipsToPixels(255, 15) == 17);
static_assert(twipsToPixels(-60, 15) == -4);
static_assert(pixelsToTwips(17, 15) == 255.0f);

class TestRuntime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void screenIsFifteenTwipsPerPixelAt96Dpi()
    {
        QCOMPARE(Screen::TwipsPerPixelX(), 15.0f);
        QCOMPARE(Screen::TwipsPerPixelY(), 15.0f);
    }

    void twipsReadBackExactlyAsAssigned_data()
    {
        QTest::addColumn<float>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("whole pixels") << 2700.0f << 180;
        QTest::newRow("between pixels") << 207.0f << 14;
        QTest::newRow("fraction") << 200.5f << 13;
    }
    void twipsReadBackExactlyAsAssigned()
    {
        QFETCH(float, twips);
        QFETCH(int, pixels);
        Label label(nullptr);
        label.setTwipsGeometry(0, 0, 10, 10);
        label.setWidth(twips);
        QCOMPARE(label.Width(), twips);
        QCOMPARE(label.width(), pixels);
        label.setHeight(twips);
        QCOMPARE(label.Height(), twips);
        QCOMPARE(label.Width(), twips); // setting one property keeps the others
    }

    void sizeChangedBehindTheLogicsBackReadsFromPixels()
    {
        Label label(nullptr);
        label.setTwipsGeometry(0, 0, 5295, 255);
        label.resize(353, 100); // as a window manager might
        QCOMPARE(label.Height(), 1500.0f);
        QCOMPARE(label.Width(), 5295.0f);
    }

    void checkBoxValues()
    {
        CheckBox box(nullptr);
        box.setValue(1);
        QCOMPARE(box.Value(), 1);
        box.setValue(0);
        QCOMPARE(box.Value(), 0);
        box.setValue(2);
        QCOMPARE(box.Value(), 2);
        // A click never makes the box grayed; it goes between checked and unchecked.
        box.click();
        QCOMPARE(box.Value(), 0);
        box.click();
        QCOMPARE(box.Value(), 1);
        box.click();
        QCOMPARE(box.Value(), 0);
    }

    void enablingARunningTimerKeepsItsInterval()
    {
        Timer timer(nullptr);
        timer.setInterval(60);
        QSignalSpy ticks(&timer, &Timer::tick);
        timer.setEnabled(true);
        QVERIFY(timer.Enabled());
        // Re-enabling every few milliseconds must not hold the first tick back.
        QElapsedTimer clock;
        clock.start();
        while (ticks.isEmpty() && clock.elapsed() < 5000) {
            timer.setEnabled(true);
            QTest::qWait(5);
        }
        QVERIFY(!ticks.isEmpty());
        timer.setEnabled(false);
        QVERIFY(!timer.Enabled());
    }

    void listColumnWidthKeepsNegativeValue()
    {
        ListView noteList(nullptr);
        noteList.setColumnHeaderWidth(2700);
        QCOMPARE(noteList.columnWidth(0), 180);
        noteList.setColumnHeaderWidth(-60);
        QCOMPARE(noteList.ColumnHeaderWidth(), -60.0f);
        QCOMPARE(noteList.columnWidth(0), 180); // the list keeps what it had
        noteList.setColumnHeaderWidth(0);
        QCOMPARE(noteList.columnWidth(0), 0);
    }

    void listItemsKeepKeysAndOrder()
    {
        ListView noteList(nullptr);
        noteList.ListItemsAdd(1, 3, "tre");
        noteList.ListItemsAdd(2, 1, "ett");
        QCOMPARE(noteList.ListItemsCount(), 2);
        QCOMPARE(noteList.ListItemKey(1), QString("ID|3"));
        QCOMPARE(noteList.ListItemText(2), QString("ett"));
        noteList.resize(200, 200);
        noteList.setColumnWidth(0, 150);
        noteList.show();
        QVERIFY(QTest::qWaitForWindowExposed(&noteList));
        QSignalSpy clicks(&noteList, &ListView::ItemClick);
        QSignalSpy moves(&noteList, &ListView::HighlightMoved);
        QTest::mouseClick(noteList.viewport(), Qt::LeftButton, {},
                          noteList.ListItemRect(2).center());
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
        noteList.ListItemsClear();
        QCOMPARE(noteList.ListItemsCount(), 0);
    }

    void textBoxReadsBackExactlyWhatWasSet()
    {
        MultiLineTextBox box(nullptr);
        const QString stored = QStringLiteral("ett\r\ntvå\rtre\nfyra");
        box.setTextValue(stored);
        QCOMPARE(box.Text(), stored);
        QCOMPARE(box.toPlainText(), QStringLiteral("ett\ntvå\ntre\nfyra"));
        // Once the user types, the box holds what is shown.
        box.setLocked(false);
        box.moveCursor(QTextCursor::End);
        QTest::keyClicks(&box, "!");
        QCOMPARE(box.Text(), QStringLiteral("ett\ntvå\ntre\nfyra!"));
    }

    void longTextShowsAtOnceAndLoadsTheRest()
    {
        MultiLineTextBox box(nullptr);
        QString text;
        for (int line = 0; line < 40000; ++line)
            text += QStringLiteral("rad %1 med 🙂 och åäö\n").arg(line);
        box.setTextValue(text);
        QVERIFY(box.isLoading());
        QVERIFY(box.document()->blockCount() > 1);
        QCOMPARE(box.Text(), text); // whole while loading
        QTRY_VERIFY(!box.isLoading());
        QCOMPARE(box.toPlainText(), text);
        // A new text replaces one still loading.
        box.setTextValue(text);
        box.setTextValue(QStringLiteral("kort"));
        QVERIFY(!box.isLoading());
        QCOMPARE(box.toPlainText(), QStringLiteral("kort"));
        // An editable box holds the whole text at once.
        box.setTextValue(text);
        box.setLocked(false);
        QVERIFY(!box.isLoading());
        QCOMPARE(box.toPlainText(), text);
    }

    void nextAnswerIsUsedOnce()
    {
        setNextAnswer(vbNo);
        QCOMPARE(askYesNo(nullptr, "?", "t"), vbNo);
        setNextAnswer(vbYes);
        QCOMPARE(askYesNo(nullptr, "?", "t"), vbYes);
    }
};

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
