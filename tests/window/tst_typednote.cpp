// Typed text is never lost to a stray key or click: keys in the list while a new note is being
// written, a click in the list while it is being saved, where the focus goes after each panel
// button, a title longer than a line edit's default limit; and the list slides out with many
// notes and long titles. The real window on the offscreen platform, driven by keys and clicks.

#include "WindowTestSupport.h"

#include <QClipboard>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

class tst_typednote : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_typednote()
        : WindowTestCase({.notes = 0, .unrolled = true})
    {}

private:
    // Starts the window over `notes` notes, unrolled and active, and slides the list out once (or
    // not).
    void start(int notes, bool slideListOut = true)
    {
        restart({.notes = notes, .unrolled = true});
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        // After a first slide-out the column has a width, so the keys have rows to move to.
        if (slideListOut)
            window().widenList();
    }

    // The ID of the stored note shown, as text; empty for none.
    QString shownId() const
    {
        return state().shownNote() ? QString::number(state().shownNote()->id) : QString();
    }

    // "M", "Ny", and the text typed into the note area, where the focus now is.
    void writeNewNote(const QString &text)
    {
        const window::Controls &ui = this->ui();
        ui.menuButton->click();
        ui.newButton->click();
        QCOMPARE(QApplication::focusWidget(), ui.noteText);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QCOMPARE(ui.noteText->text(), text);
    }

private Q_SLOTS:
    void keysInListKeepTypedNote_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::newRow("down") << int(Qt::Key_Down) << QString();
        QTest::newRow("end") << int(Qt::Key_End) << QString();
        QTest::newRow("page down") << int(Qt::Key_PageDown) << QString();
        QTest::newRow("type to find") << 0 << QStringLiteral("A");
    }
    void keysInListKeepTypedNote()
    {
        QFETCH(int, key);
        QFETCH(QString, typed);
        start(3);
        const window::Controls &ui = this->ui();
        writeNewNote(QStringLiteral("osparad text"));
        QTest::keyClick(ui.noteText, Qt::Key_Tab, Qt::ControlModifier);
        ui.noteList->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), ui.noteList);
        if (key)
            QTest::keyClick(ui.noteList, Qt::Key(key));
        else
            QTest::keyClicks(ui.noteList, typed);
        QVERIFY(ui.noteList->currentIndex().isValid());
        QCOMPARE(ui.noteText->text(), QStringLiteral("osparad text"));
        QVERIFY(!ui.noteText->isLocked());
        QVERIFY(shownId().isEmpty());

        // Enter shows the highlighted note.
        const qint64 highlighted = ui.noteList->itemId(ui.noteList->currentIndex().row());
        QTest::keyClick(ui.noteList, Qt::Key_Return);
        QCOMPARE(shownId(), QString::number(highlighted));
        QVERIFY(ui.noteText->isLocked());
    }

    void keysInListShowAtOnceWithoutTypedText()
    {
        start(3);
        const window::Controls &ui = this->ui();
        ui.noteList->setFocus();
        QTest::keyClick(ui.noteList, Qt::Key_Down);
        QCOMPARE(shownId(), QString::number(ids()[1]));
        QCOMPARE(ui.noteText->text(), noteText(1));
        QTest::keyClick(ui.noteList, Qt::Key_End);
        QCOMPARE(shownId(), QString::number(ids()[2]));
    }

    void clickInListWhileSavingKeepsTheNote()
    {
        start(3);
        const window::Controls &ui = this->ui();
        writeNewNote(QStringLiteral("min nya text"));
        ui.menuButton->click();
        ui.saveButton->click();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Ny titel"));
        QTest::mouseClick(ui.noteList->viewport(), Qt::LeftButton, {},
                          ui.noteList->itemRect(0).center());
        QTest::keyClick(ui.noteList, Qt::Key_Down);
        QCOMPARE(ui.noteText->text(), QStringLiteral("min nya text"));
        ui.saveOkButton->click();
        const auto rows = db().rows();
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.last().title.toString(), QStringLiteral("Ny titel"));
        QCOMPARE(rows.last().text.toString(), QStringLiteral("min nya text"));
    }

    // After "Spara" the title box has the focus with its old text selected, so that typing
    // replaces it; after each panel's buttons, the note area has it.
    void focusFollowsThePanels()
    {
        start(3);
        const window::Controls &ui = this->ui();
        writeNewNote(QStringLiteral("ett"));
        ui.menuButton->click();
        ui.saveButton->click();
        QCOMPARE(QApplication::focusWidget(), ui.titleEdit);
        QTest::keyClicks(ui.titleEdit, QStringLiteral("Forsta"));
        ui.saveOkButton->click(); // OK
        QCOMPARE(QApplication::focusWidget(), ui.noteText);

        QTest::keyClicks(ui.noteText, QStringLiteral("tva"));
        ui.menuButton->click();
        ui.saveButton->click();
        QCOMPARE(QApplication::focusWidget(), ui.titleEdit);
        QCOMPARE(ui.titleEdit->selectedText(), QStringLiteral("Forsta"));
        QTest::keyClicks(ui.titleEdit, QStringLiteral("Andra"));
        QCOMPARE(ui.titleEdit->text(), QStringLiteral("Andra"));
        ui.saveCancelButton->click(); // Avbryt
        QCOMPARE(QApplication::focusWidget(), ui.noteText);

        window().clickItem(0);
        ui.menuButton->click();
        ui.deleteButton->click();   // Radera
        ui.deleteNoButton->click(); // Nej
        QCOMPARE(QApplication::focusWidget(), ui.noteText);
        ui.menuButton->click();
        ui.deleteButton->click();
        ui.deleteYesButton->click(); // Ja
        QCOMPARE(QApplication::focusWidget(), ui.noteText);
        QCOMPARE(db().count(), 3);
    }

    // A note pasted with characters a text box likes to change (a no-break space, a line
    // separator, the noncharacters U+FDD0 and U+FDD1, an emoji) is stored as it was pasted, byte
    // for byte, title too, and shows again as it was.
    void unusualCharactersAreStoredAsTyped()
    {
        start(0);
        const window::Controls &ui = this->ui();
        const QString text = QString::fromUtf16(
            u"Pris:\u00a0100\u00a0kr\u2028rad\ufdd0två\ufdd1 \U0001F642\nslut");
        const QString title = QString::fromUtf16(u"Titel\u00a0med\u2028mer\ufdd0");
        writeNewNote(QStringLiteral("x"));
        QTest::keyClick(ui.noteText, Qt::Key_Backspace);
        QApplication::clipboard()->setText(text);
        QTest::keyClick(ui.noteText, Qt::Key_V, Qt::ControlModifier);
        ui.menuButton->click();
        ui.saveButton->click();
        QApplication::clipboard()->setText(title);
        QTest::keyClick(ui.titleEdit, Qt::Key_V, Qt::ControlModifier);
        ui.saveOkButton->click();

        const auto rows = db().rows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.at(0).text.toString().toUtf8(), text.toUtf8());
        QCOMPARE(rows.at(0).title.toString().toUtf8(), title.toUtf8());
        window().clickItem(0);
        QCOMPARE(ui.noteText->text(), text);
    }

    void longTitleIsStoredWhole()
    {
        start(0);
        const window::Controls &ui = this->ui();
        writeNewNote(QStringLiteral("text"));
        ui.menuButton->click();
        ui.saveButton->click();
        const QString title = QString(100000, QLatin1Char('t'));
        ui.titleEdit->insert(title); // as a paste does
        ui.saveOkButton->click();
        QCOMPARE(db().rows().at(0).title.toString().size(), title.size());
    }

    // With enough notes for a scroll bar, the narrow list is nearly all scroll bar: a move over
    // it, or over the header, still starts the slide-out.
    void manyNotesStillSlideOut_data()
    {
        QTest::addColumn<QString>("over");
        QTest::newRow("scroll bar") << "scroll bar";
        QTest::newRow("header") << "header";
    }
    void manyNotesStillSlideOut()
    {
        QFETCH(QString, over);
        start(40, false);
        const window::Controls &ui = this->ui();
        QVERIFY(ui.noteList->verticalScrollBar()->isVisible());
        QWidget *target = over == QLatin1String("header")
                              ? static_cast<QWidget *>(ui.noteList->header()->viewport())
                              : ui.noteList->verticalScrollBar();
        QVERIFY(!ui.slideTimer->isActive());
        windowtest::moveOver(target);
        QVERIFY(ui.slideTimer->isActive());
    }

    // A title of a million characters is laid out no slower than a short one: the list shows
    // its beginning, and the note keeps it whole.
    void hugeTitleShowsItsBeginning()
    {
        start(1);
        const QString title = QString(1 << 20, QChar(u'ö'));
        db().addNote(title, QStringLiteral("stor"));
        const window::Controls &ui = this->ui();
        ui.menuButton->click();
        ui.newButton->click();
        QTest::keyClicks(ui.noteText, QStringLiteral("x"));
        ui.menuButton->click();
        ui.saveButton->click();
        ui.titleEdit->setText(QStringLiteral("ny"));
        ui.saveOkButton->click(); // the reload brings the long title in
        QCOMPARE(ui.noteList->itemText(1), title);
        const QString shown = ui.noteList->model()->index(1, 0).data().toString();
        QVERIFY(shown.size() < 300);
        QVERIFY(title.startsWith(shown.chopped(1)));
    }
};

QTEST_MAIN(tst_typednote)
#include "tst_typednote.moc"
