// The window as a whole: what Load leaves behind, the roll toggle, the drag lock of the title
// strip and the exit question. Each case loads a real NoteWindow on a fresh note database.

#include "TestDatabase.h"
#include "WindowTestSupport.h"
#include "runtime/MessageBox.h"
#include "runtime/SystemMove.h"
#include "window/NoteWindow.h"
#include "window/controls/CheckBox.h"
#include "window/controls/CommandButton.h"
#include "window/controls/Frame.h"
#include "window/controls/Image.h"
#include "window/controls/Label.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using window::NoteWindow;
using windowtest::sendMouse;

namespace {
constexpr float StripHeight = 255;
constexpr float UnrolledHeight = 4335;
} // namespace

class tst_frame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startUp();
    void loadWithoutDatabase();
    void listFillsInOneStepAfterFirstFrame();
    void toggleRolledUp_data();
    void toggleRolledUp();
    void doubleToggleReturns();
    void stripDoubleClickAndArrowMove();
    void dragLock_data();
    void dragLock();
    void exitAnsweredNo();
    void exitAnsweredYes();

private:
    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<windowtest::ErrorCapture> m_errors;
    std::unique_ptr<NoteWindow> m_form;
    QList<qlonglong> m_ids;
};

void tst_frame::initTestCase()
{
    // Closing the window must not end the test run.
    QApplication::setQuitOnLastWindowClosed(false);
}

void tst_frame::init()
{
    m_db = std::make_unique<testsupport::TestDatabase>();
    m_ids = {m_db->addNote(QStringLiteral("Första"), QStringLiteral("ett")),
             m_db->addNote(QStringLiteral("Andra"), QStringLiteral("två")),
             m_db->addNote(QStringLiteral("Tredje"), QStringLiteral("tre"))};
    m_errors = std::make_unique<windowtest::ErrorCapture>();
    m_form = std::make_unique<NoteWindow>();
    QVERIFY(m_form->load());
}

void tst_frame::cleanup()
{
    QVERIFY(!runtime::systemMoveActive());
    QCOMPARE(m_errors->reports, QStringList());
    m_form.reset();
    m_errors.reset();
    m_db.reset();
}

void tst_frame::startUp()
{
    NoteWindow &form = *m_form;
    QCOMPARE(form.Height(), form.titleStrip->Height());
    QCOMPARE(form.Height(), StripHeight);
    QCOMPARE(form.height(), 17);
    QCOMPARE(form.Top(), 0.0f);
    QCOMPARE(form.Left(), 6495.0f);
    QVERIFY(form.unrolledArrow->isHidden());
    QVERIFY(!form.rolledUpArrow->isHidden());
    QVERIFY(!form.pointerPoll->Enabled());
    QVERIFY(!form.widenTimer->Enabled());
    QVERIFY(!form.narrowTimer->Enabled());
    QVERIFY(form.noteText->text().isEmpty());
    QVERIFY(form.noteText->isLocked());
    QCOMPARE(form.noteList->ColumnHeaderWidth(), 0.0f);
    QCOMPARE(form.noteList->header()->sectionSize(0), 0);
    QCOMPARE(form.noteList->Width(), 200.0f);
    QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(form.lockBox->checkState(), Qt::Checked);
    QCOMPARE(form.autoHideBox->checkState(), Qt::Checked);

    // The list holds every note in ID order, keyed by ID and showing the title.
    QCOMPARE(form.noteList->itemCount(), 3);
    const QStringList titles{QStringLiteral("Första"), QStringLiteral("Andra"),
                             QStringLiteral("Tredje")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(form.noteList->itemKey(i), QStringLiteral("ID|%1").arg(m_ids[i]));
        QCOMPARE(form.noteList->itemText(i), titles[i]);
    }
}

void tst_frame::loadWithoutDatabase()
{
    testsupport::TestDatabase empty(false);
    windowtest::ErrorCapture errors;
    NoteWindow form;
    QVERIFY(!form.load());
    QCOMPARE(errors.reports.size(), 1);
    QVERIFY2(errors.reports.first().contains(empty.path()), qPrintable(errors.reports.first()));
    // The program never creates its database, and the window is never shown.
    QVERIFY(!QFile::exists(empty.path()));
    QVERIFY(!form.isVisible());
    QCOMPARE(form.noteList->itemCount(), 0);
}

// As the program starts: the database is checked before any window appears, and the list,
// which the rolled-up strip does not show, fills in one step right after the first frame.
void tst_frame::listFillsInOneStepAfterFirstFrame()
{
    NoteWindow form;
    QVERIFY(form.load(NoteWindow::ListFill::AfterFirstFrame));
    QCOMPARE(form.noteList->itemCount(), 0);
    QSignalSpy resets(form.noteList->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(form.noteList->model(), &QAbstractItemModel::rowsInserted);
    form.show();
    QTRY_COMPARE(form.noteList->itemCount(), 3);
    QCOMPARE(resets.size(), 1);
    QCOMPARE(inserts.size(), 0);
    QCOMPARE(form.noteList->itemId(2), m_ids[2]);
}

void tst_frame::toggleRolledUp_data()
{
    QTest::addColumn<float>("startHeight");
    QTest::addColumn<bool>("unrolls");

    QTest::newRow("rolled up -> unrolled") << StripHeight << true;
    QTest::newRow("unrolled -> rolled up") << UnrolledHeight << false;
    // A height the program never sets itself (a resize by the system) counts as unrolled.
    QTest::newRow("odd height -> rolled up") << 1000.0f << false;
}

void tst_frame::toggleRolledUp()
{
    QFETCH(float, startHeight);
    QFETCH(bool, unrolls);
    NoteWindow &form = *m_form;
    form.setHeight(startHeight);
    QCOMPARE(form.Height(), startHeight);

    // Whatever else is going on in the window survives the toggle untouched.
    form.commandPanel->setVisible(true);
    form.noteList->setWidth(1500);
    form.widenTimer->setEnabled(true);
    form.noteText->setText(QStringLiteral("utkast"));

    form.toggleRolledUp();

    QCOMPARE(form.Height(), unrolls ? UnrolledHeight : StripHeight);
    QCOMPARE(form.unrolledArrow->isHidden(), !unrolls);
    QCOMPARE(form.rolledUpArrow->isHidden(), unrolls);
    QCOMPARE(form.pointerPoll->Enabled(), unrolls);

    QVERIFY(!form.commandPanel->isHidden());
    QCOMPARE(form.noteList->Width(), 1500.0f);
    QVERIFY(form.widenTimer->Enabled());
    QCOMPARE(form.noteText->text(), QStringLiteral("utkast"));
    QCOMPARE(form.Top(), 0.0f);
    QCOMPARE(form.Left(), 6495.0f);
}

void tst_frame::doubleToggleReturns()
{
    NoteWindow &form = *m_form;
    form.toggleRolledUp();
    form.toggleRolledUp();
    QCOMPARE(form.Height(), StripHeight);
    QVERIFY(!form.pointerPoll->Enabled());

    form.setHeight(UnrolledHeight);
    form.toggleRolledUp();
    form.toggleRolledUp();
    QCOMPARE(form.Height(), UnrolledHeight);
    QVERIFY(form.pointerPoll->Enabled());
}

void tst_frame::stripDoubleClickAndArrowMove()
{
    NoteWindow &form = *m_form;
    // A real move over the arrow (which shows only while rolled up) unrolls the window.
    windowtest::moveOver(form.rolledUpArrow);
    QCOMPARE(form.Height(), UnrolledHeight);
    QVERIFY(form.pointerPoll->Enabled());

    // A real double-click on the strip rolls it up again; the lock keeps the press from
    // starting a drag.
    sendMouse(form.titleStrip, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    sendMouse(form.titleStrip, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    sendMouse(form.titleStrip, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    sendMouse(form.titleStrip, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(form.Height(), StripHeight);
    QVERIFY(!form.pointerPoll->Enabled());
}

void tst_frame::dragLock_data()
{
    QTest::addColumn<Qt::CheckState>("lock");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("drags");

    QTest::newRow("checked locks") << Qt::Checked << Qt::LeftButton << false;
    QTest::newRow("unchecked drags") << Qt::Unchecked << Qt::LeftButton << true;
    QTest::newRow("grayed drags") << Qt::PartiallyChecked << Qt::LeftButton << true;
    QTest::newRow("right button drags too") << Qt::Unchecked << Qt::RightButton << true;
    QTest::newRow("right button locked") << Qt::Checked << Qt::RightButton << false;
}

void tst_frame::dragLock()
{
    QFETCH(Qt::CheckState, lock);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, drags);
    NoteWindow &form = *m_form;
    form.lockBox->setCheckState(lock);
    QCOMPARE(form.lockBox->checkState(), lock);

    sendMouse(form.titleStrip, QEvent::MouseButtonPress, button, button);
    QCOMPARE(runtime::systemMoveActive(), drags);
    // Releasing the button ends the move.
    sendMouse(form.titleStrip, QEvent::MouseButtonRelease, button, Qt::NoButton);
    QVERIFY(!runtime::systemMoveActive());
    QCOMPARE(form.Top(), 0.0f);
    QCOMPARE(form.Left(), 6495.0f);
}

void tst_frame::exitAnsweredNo()
{
    NoteWindow &form = *m_form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.toggleRolledUp();
    form.commandPanel->setVisible(true);
    form.noteText->setText(QStringLiteral("osparat"));

    runtime::setNextAnswer(QMessageBox::No);
    form.exitButton->click();

    QVERIFY(form.isVisible());
    QVERIFY(!form.commandPanel->isHidden());
    QCOMPARE(form.noteText->text(), QStringLiteral("osparat"));
    QCOMPARE(form.Height(), UnrolledHeight);
    QCOMPARE(m_db->count(), 3);
}

void tst_frame::exitAnsweredYes()
{
    NoteWindow &form = *m_form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.toggleRolledUp();
    form.commandPanel->setVisible(true);
    form.noteText->setText(QStringLiteral("osparat"));

    runtime::setNextAnswer(QMessageBox::Yes);
    form.exitButton->click();

    // Closed at once, with nothing saved on the way out.
    QVERIFY(!form.isVisible());
    QCOMPARE(m_db->count(), 3);
}

QTEST_MAIN(tst_frame)
#include "tst_frame.moc"
