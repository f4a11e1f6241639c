// The window's own controls, where they do more than Qt's: the note list and the note text.
// Real widgets on the offscreen platform.

#include "window/controls/ListView.h"
#include "window/controls/NoteTextEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// Characters a text document turns into something else when its text is taken as plain text,
// or when they are inserted: the note keeps them all.
const QString Unusual = QString::fromUtf16(u"a\u00a0b\u2028c\ufdd0d\ufdd1e \U0001F642 åäö");

// Types each character of `text` into the box as a key that gives that character; a carriage
// return is the Enter key.
void typeInto(QWidget *box, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'\r') {
            QTest::keyClick(box, Qt::Key_Return);
            continue;
        }
        const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text.mid(i, length),
                            Qt::NoModifier);
        i += length - 1;
    }
}

} // namespace

using namespace window;

class TestControls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Hidden, the list lays out no row, whatever is done to it; shown, it lays them all out.
    void hiddenListLaysOutNothing()
    {
        ListView noteList(nullptr);
        store::NoteList notes;
        for (int id = 1; id <= 100; ++id)
            notes.append(id, QString::number(id));
        noteList.setNotes(std::move(notes));
        noteList.setColumnWidth(0, 50);
        QCoreApplication::processEvents();
        QCOMPARE(noteList.verticalScrollBar()->maximum(), 0);
        noteList.show();
        QVERIFY(QTest::qWaitForWindowExposed(&noteList));
        QVERIFY(noteList.verticalScrollBar()->maximum() > 0);
    }

    void listItemsKeepKeysAndOrder()
    {
        ListView noteList(nullptr);
        store::NoteList notes;
        notes.append(3, QStringLiteral("tre"));
        notes.append(1, QStringLiteral("ett"));
        // Filled in one step, however many notes: one reset, no row inserted by itself.
        QSignalSpy resets(noteList.model(), &QAbstractItemModel::modelReset);
        QSignalSpy inserts(noteList.model(), &QAbstractItemModel::rowsInserted);
        noteList.setNotes(std::move(notes));
        QCOMPARE(resets.size(), 1);
        QCOMPARE(inserts.size(), 0);
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

    void listShowsTitlesAsTheyAre_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        const QString clef = QString::fromUtf16(u"\U0001D11E");
        const QChar ellipsis(0x2026);
        QTest::newRow("short") << QStringLiteral("Inköp") << QStringLiteral("Inköp");
        QTest::newRow("256 two-byte characters, whole")
            << QString(256, QChar(0xe5)) << QString(256, QChar(0xe5));
        QTest::newRow("257 characters, cut")
            << QString(257, QChar(0xe9)) << QString(256, QChar(0xe9)) + ellipsis;
        QTest::newRow("long ASCII, cut") << QString(5000, u'a') << QString(256, u'a') + ellipsis;
        // A character of two UTF-16 units is never split at the cut.
        QTest::newRow("pairs, cut") << clef.repeated(300) << clef.repeated(128) + ellipsis;
        QTest::newRow("one unit, then pairs, cut")
            << u'x' + clef.repeated(300) << u'x' + clef.repeated(127) + ellipsis;
    }

    // The list lays out at most a few hundred characters of a title, marking a cut with an
    // ellipsis; titles that fit show exactly as stored.
    void listShowsTitlesAsTheyAre()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        ListView noteList(nullptr);
        store::NoteList notes;
        notes.append(7, title);
        noteList.setNotes(std::move(notes));
        QCOMPARE(noteList.model()->index(0, 0).data().toString(), shown);
        QCOMPARE(noteList.itemKey(0), QStringLiteral("ID|7"));
    }

    void textBoxReadsBackExactlyWhatWasSet()
    {
        NoteTextEdit box(nullptr);
        const QString stored = QStringLiteral("ett\r\ntvå\rtre\nfyra");
        box.setText(stored);
        QCOMPARE(box.text(), stored);
        // Shown as four lines; the returns are kept as invisible marks.
        QCOMPARE(box.document()->blockCount(), 4);
        QCOMPARE(box.toPlainText().remove(QChar(0x200B)), QStringLiteral("ett\ntvå\ntre\nfyra"));
        // Once the person types, the box reads back what it holds, each line break as it was.
        box.setLocked(false);
        box.moveCursor(QTextCursor::End);
        QTest::keyClicks(&box, "!");
        QCOMPARE(box.text(), stored + QStringLiteral("!"));
    }

    void typedTextReadsBackEveryCharacter_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("readBack");
        for (const char *how : {"typed", "pasted"}) {
            QTest::addRow("%s, unusual characters", how) << how << Unusual << Unusual;
            // A paragraph separator is the box's own line break.
            QTest::addRow("%s, paragraph separator", how)
                << how << QString::fromUtf16(u"ett\u2029två") << QStringLiteral("ett\ntvå");
        }
        // Pasted line breaks are kept as they were, each kind of them.
        const QString breaks = QStringLiteral("ett\r\ntvå\rtre\nfyra\r\n\r\nfem\r");
        QTest::newRow("pasted, CR LF and CR") << "pasted" << breaks << breaks;
        // Enter is a line feed, whatever its key gives.
        QTest::newRow("typed, Enter")
            << "typed" << QStringLiteral("ett\rtvå") << QStringLiteral("ett\ntvå");
    }
    void typedTextReadsBackEveryCharacter()
    {
        QFETCH(QString, how);
        QFETCH(QString, given);
        QFETCH(QString, readBack);
        NoteTextEdit box(nullptr);
        box.setLocked(false);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::keyClicks(&box, "x");
        if (how == QLatin1String("typed")) {
            typeInto(&box, given);
        } else {
            QApplication::clipboard()->setText(given);
            QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        }
        QTest::keyClicks(&box, "y");
        QCOMPARE(box.text(), QStringLiteral("x") + readBack + QStringLiteral("y"));
    }

    // A carriage return the person has typed something after is gone with its line break; one
    // whose line break is joined to the next line goes with it.
    void returnsBelongToTheirLineBreaks()
    {
        NoteTextEdit box(nullptr);
        box.setLocked(false);
        QApplication::clipboard()->setText(QStringLiteral("ett\r\ntvå\r\ntre"));
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box.text(), QStringLiteral("ett\r\ntvå\r\ntre"));
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(4); // after the invisible return that ends "ett"
        box.setTextCursor(cursor);
        QTest::keyClicks(&box, "x");
        QCOMPARE(box.text(), QStringLiteral("ettx\ntvå\r\ntre"));
    }

    // A text set by the program with every kind of character reads back as set, and still does
    // after the person has typed into it.
    void setTextKeepsEveryCharacterWhenEdited()
    {
        NoteTextEdit box(nullptr);
        const QString unusual = Unusual + QStringLiteral("\r\nrad\r");
        box.setText(unusual);
        box.setLocked(false);
        QCOMPARE(box.text(), unusual);
        box.moveCursor(QTextCursor::End);
        QTest::keyClicks(&box, "!");
        QCOMPARE(box.text(), unusual + QStringLiteral("!"));
        // Undoing the typing does not undo what the program set.
        box.undo();
        box.undo();
        QCOMPARE(box.text(), unusual);
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
        // Unlocked, it can be written in once it is whole, and not before.
        box.setText(text);
        box.setLocked(false);
        QVERIFY(box.isLoading());
        QVERIFY(box.isReadOnly());
        QTRY_VERIFY(!box.isLoading());
        QVERIFY(!box.isReadOnly());
        QCOMPARE(box.toPlainText(), text);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
