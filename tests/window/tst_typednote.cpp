// Typed text is never lost to a stray key or click: keys in the list while a new note is being
// written, a click in the list while it is being saved, where the focus goes after each panel
// button, a title longer than a line edit's default limit; and the list slides out with many
// notes and long titles. The real window on the offscreen platform, driven by keys and clicks.

#include "TestDatabase.h"
#include "WindowTestSupport.h"
#include "window/NoteWindow.h"
#include "window/controls/CommandButton.h"
#include "window/controls/Frame.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <memory>

using window::NoteWindow;

class tst_typednote : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<windowtest::ErrorCapture> m_errors;
    std::unique_ptr<windowtest::FakePointer> m_pointer;
    std::unique_ptr<NoteWindow> m_form;
    QList<qlonglong> m_ids;

    void start(int notes)
    {
        m_db = std::make_unique<testsupport::TestDatabase>();
        m_ids.clear();
        for (int i = 0; i < notes; ++i)
            m_ids << m_db->addNote(QStringLiteral("Anteckning %1").arg(i + 1),
                                   QStringLiteral("text %1").arg(i + 1));
        m_errors = std::make_unique<windowtest::ErrorCapture>();
        m_pointer = std::make_unique<windowtest::FakePointer>(QPoint(600, 100));
        m_form = std::make_unique<NoteWindow>();
        QVERIFY(m_form->load());
        m_form->show();
        m_form->toggleRolledUp();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        // As after a first slide-out: the column has a width, so the keys have rows to move to.
        m_form->noteList->setColumnHeaderWidth(1000);
    }

    // "M", "Ny", and the text typed into the note area, where the focus now is.
    void writeNewNote(const QString &text)
    {
        m_form->menuButton->click();
        m_form->newButton->click();
        QCOMPARE(QApplication::focusWidget(), m_form->noteText);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QCOMPARE(m_form->noteText->text(), text);
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup()
    {
        if (m_errors)
            QCOMPARE(m_errors->reports, QStringList());
        m_form.reset();
        m_pointer.reset();
        m_errors.reset();
        m_db.reset();
    }

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
        NoteWindow &form = *m_form;
        writeNewNote(QStringLiteral("osparad text"));
        QTest::keyClick(form.noteText, Qt::Key_Tab, Qt::ControlModifier);
        form.noteList->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), form.noteList);
        if (key)
            QTest::keyClick(form.noteList, Qt::Key(key));
        else
            QTest::keyClicks(form.noteList, typed);
        QVERIFY(form.noteList->currentIndex().isValid());
        QCOMPARE(form.noteText->text(), QStringLiteral("osparad text"));
        QVERIFY(!form.noteText->isLocked());
        QVERIFY(form.shownNoteId->text().isEmpty());

        // Enter shows the highlighted note.
        const qint64 highlighted = form.noteList->itemId(form.noteList->currentIndex().row());
        QTest::keyClick(form.noteList, Qt::Key_Return);
        QCOMPARE(form.shownNoteId->text(), QString::number(highlighted));
        QVERIFY(form.noteText->isLocked());
    }

    void keysInListShowAtOnceWithoutTypedText()
    {
        start(3);
        NoteWindow &form = *m_form;
        form.noteList->setFocus();
        form.noteList->setCurrentIndex(form.noteList->model()->index(0, 0));
        QTest::keyClick(form.noteList, Qt::Key_Down);
        QCOMPARE(form.shownNoteId->text(), QString::number(m_ids[1]));
        QCOMPARE(form.noteText->text(), QStringLiteral("text 2"));
        QTest::keyClick(form.noteList, Qt::Key_End);
        QCOMPARE(form.shownNoteId->text(), QString::number(m_ids[2]));
    }

    void clickInListWhileSavingKeepsTheNote()
    {
        start(3);
        NoteWindow &form = *m_form;
        writeNewNote(QStringLiteral("min nya text"));
        form.menuButton->click();
        form.saveButton->click();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Ny titel"));
        form.noteList->setColumnWidth(0, 100);
        form.noteList->setWidth(2700);
        QTest::mouseClick(form.noteList->viewport(), Qt::LeftButton, {},
                          form.noteList->itemRect(0).center());
        QTest::keyClick(form.noteList, Qt::Key_Down);
        QCOMPARE(form.noteText->text(), QStringLiteral("min nya text"));
        form.saveOkButton->click();
        const auto rows = m_db->rows();
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.last().title.toString(), QStringLiteral("Ny titel"));
        QCOMPARE(rows.last().text.toString(), QStringLiteral("min nya text"));
    }

    // After "Spara" the title box has the focus with its old text selected, so that typing
    // replaces it; after each panel's buttons, the note area has it.
    void focusFollowsThePanels()
    {
        start(3);
        NoteWindow &form = *m_form;
        writeNewNote(QStringLiteral("ett"));
        form.menuButton->click();
        form.saveButton->click();
        QCOMPARE(QApplication::focusWidget(), form.titleEdit);
        QTest::keyClicks(form.titleEdit, QStringLiteral("Forsta"));
        form.saveOkButton->click(); // OK
        QCOMPARE(QApplication::focusWidget(), form.noteText);

        QTest::keyClicks(form.noteText, QStringLiteral("tva"));
        form.menuButton->click();
        form.saveButton->click();
        QCOMPARE(QApplication::focusWidget(), form.titleEdit);
        QCOMPARE(form.titleEdit->selectedText(), QStringLiteral("Forsta"));
        QTest::keyClicks(form.titleEdit, QStringLiteral("Andra"));
        QCOMPARE(form.titleEdit->text(), QStringLiteral("Andra"));
        form.saveCancelButton->click(); // Avbryt
        QCOMPARE(QApplication::focusWidget(), form.noteText);

        form.showNote(m_ids[0]);
        form.menuButton->click();
        form.deleteButton->click();   // Radera
        form.deleteNoButton->click(); // Nej
        QCOMPARE(QApplication::focusWidget(), form.noteText);
        form.menuButton->click();
        form.deleteButton->click();
        form.deleteYesButton->click(); // Ja
        QCOMPARE(QApplication::focusWidget(), form.noteText);
        QCOMPARE(m_db->count(), 3);
    }

    void longTitleIsStoredWhole()
    {
        start(0);
        NoteWindow &form = *m_form;
        writeNewNote(QStringLiteral("text"));
        form.menuButton->click();
        form.saveButton->click();
        const QString title = QString(100000, QLatin1Char('t'));
        form.titleEdit->insert(title); // as a paste does
        form.saveOkButton->click();
        QCOMPARE(m_db->rows().at(0).title.toString().size(), title.size());
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
        start(40);
        NoteWindow &form = *m_form;
        QVERIFY(form.noteList->verticalScrollBar()->isVisible());
        QWidget *target = over == QLatin1String("header")
                              ? static_cast<QWidget *>(form.noteList->header()->viewport())
                              : form.noteList->verticalScrollBar();
        QVERIFY(!form.widenTimer->Enabled());
        windowtest::moveOver(target);
        QVERIFY(form.widenTimer->Enabled());
    }

    // A title of a million characters is laid out no slower than a short one: the list shows
    // its beginning, and the note keeps it whole.
    void hugeTitleShowsItsBeginning()
    {
        start(1);
        const QString title = QString(1 << 20, QChar(u'ö'));
        m_db->addNote(title, QStringLiteral("stor"));
        NoteWindow &form = *m_form;
        form.menuButton->click();
        form.newButton->click();
        QTest::keyClicks(form.noteText, QStringLiteral("x"));
        form.menuButton->click();
        form.saveButton->click();
        form.titleEdit->setText(QStringLiteral("ny"));
        form.saveOkButton->click(); // the reload brings the long title in
        QCOMPARE(form.noteList->itemText(1), title);
        const QString shown = form.noteList->model()->index(1, 0).data().toString();
        QVERIFY(shown.size() < 300);
        QVERIFY(title.startsWith(shown.chopped(1)));
    }
};

QTEST_MAIN(tst_typednote)
#include "tst_typednote.moc"
