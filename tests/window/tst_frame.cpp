// The window as a whole: what Load leaves behind, the roll toggle, the drag lock of the title
// strip and the exit question. Each case loads a real NoteWindow on a fresh note database.

#include "TestDatabase.h"
#include "WindowTestSupport.h"
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
    void loadWithoutDatabase_data();
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
    // Unrolls the shown window, types a note it never saves and chooses "Avsluta", answering
    // the question with `answer`.
    void chooseExitWithUnsavedNote(QMessageBox::StandardButton answer);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<windowtest::WindowUnderTest> m_window;
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
    m_window = std::make_unique<windowtest::WindowUnderTest>(*m_db);
    QVERIFY(m_window->start());
}

void tst_frame::cleanup()
{
    QVERIFY(!runtime::systemMoveActive());
    QCOMPARE(m_window->desktop.reports, QStringList());
    m_window.reset();
    m_db.reset();
}

void tst_frame::startUp()
{
    NoteWindow &form = m_window->form;
    const window::Controls &ui = m_window->ui;
    QCOMPARE(form.heightTwips(), ui.titleStrip->heightTwips());
    QCOMPARE(form.heightTwips(), StripHeight);
    QCOMPARE(form.height(), 17);
    QCOMPARE(form.topTwips(), 0.0f);
    QCOMPARE(form.leftTwips(), 6495.0f);
    QVERIFY(ui.unrolledArrow->isHidden());
    QVERIFY(!ui.rolledUpArrow->isHidden());
    QVERIFY(!ui.pointerPoll->isActive());
    QVERIFY(!ui.widenTimer->isActive());
    QVERIFY(!ui.narrowTimer->isActive());
    QVERIFY(ui.noteText->text().isEmpty());
    QVERIFY(ui.noteText->isLocked());
    QCOMPARE(ui.noteList->columnWidthTwips(), 0.0f);
    QCOMPARE(ui.noteList->header()->sectionSize(0), 0);
    QCOMPARE(ui.noteList->widthTwips(), 200.0f);
    // The strip shows no list: it waits, hidden, for the first unroll.
    QVERIFY(ui.noteList->isHidden());
    QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(ui.lockBox->checkState(), Qt::Checked);
    QCOMPARE(ui.autoHideBox->checkState(), Qt::Checked);

    // The list holds every note in ID order, keyed by ID and showing the title.
    QCOMPARE(ui.noteList->itemCount(), 3);
    const QStringList titles{QStringLiteral("Första"), QStringLiteral("Andra"),
                             QStringLiteral("Tredje")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(ui.noteList->itemKey(i), QStringLiteral("ID|%1").arg(m_ids[i]));
        QCOMPARE(ui.noteList->itemText(i), titles[i]);
    }
}

void tst_frame::loadWithoutDatabase_data()
{
    QTest::addColumn<bool>("checkedAhead");
    QTest::newRow("list read at once") << false;
    QTest::newRow("checked while the window was built") << true;
}

void tst_frame::loadWithoutDatabase()
{
    QFETCH(bool, checkedAhead);
    testsupport::TestDatabase empty(false);
    windowtest::WindowUnderTest window(empty);
    QVERIFY(checkedAhead ? !window.form.loadChecked(empty.store().check()) : !window.start());
    const QStringList &reports = window.desktop.reports;
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports.first().contains(empty.path()), qPrintable(reports.first()));
    // The program never creates its database, and the window is never shown.
    QVERIFY(!QFile::exists(empty.path()));
    QVERIFY(!window.form.isVisible());
    QCOMPARE(window.ui.noteList->itemCount(), 0);
}

// As the program starts: the database is checked before any window appears, and the list,
// which the rolled-up strip does not show, fills in one step right after the first frame.
void tst_frame::listFillsInOneStepAfterFirstFrame()
{
    windowtest::WindowUnderTest window(*m_db);
    window::ListView *list = window.ui.noteList;
    QVERIFY(window.form.loadChecked(m_db->store().check()));
    QCOMPARE(list->itemCount(), 0);
    QSignalSpy resets(list->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(list->model(), &QAbstractItemModel::rowsInserted);
    // The desktop hears of the first frame before the list fills.
    connect(list->model(), &QAbstractItemModel::modelReset, this,
            [&] { QCOMPARE(window.desktop.firstFrames, 1); });
    window.form.show();
    QTRY_COMPARE(list->itemCount(), 3);
    QCOMPARE(window.desktop.firstFrames, 1);
    QCOMPARE(resets.size(), 1);
    QCOMPARE(inserts.size(), 0);
    QCOMPARE(list->itemId(2), m_ids[2]);
}

void tst_frame::toggleRolledUp_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<float>("startHeight");
    QTest::addColumn<bool>("unrolls");

    QTest::newRow("rolled up -> unrolled") << "rolled up" << StripHeight << true;
    QTest::newRow("unrolled -> rolled up") << "unrolled" << UnrolledHeight << false;
    // A height the program never sets itself (a resize by the system) counts as unrolled.
    QTest::newRow("odd height -> rolled up") << "resized" << 990.0f << false;
}

void tst_frame::toggleRolledUp()
{
    QFETCH(QString, start);
    QFETCH(float, startHeight);
    QFETCH(bool, unrolls);
    NoteWindow &form = m_window->form;
    const window::Controls &ui = m_window->ui;
    if (start == QLatin1String("unrolled"))
        windowtest::doubleClick(ui.titleStrip);
    else if (start == QLatin1String("resized"))
        form.resize(form.width(), 66);
    QCOMPARE(form.heightTwips(), startHeight);

    // Whatever else is going on in the window survives the toggle untouched: a new note being
    // written, the command panel open, the list half-way out.
    ui.menuButton->click();
    ui.newButton->click();
    QTest::keyClicks(ui.noteText, QStringLiteral("utkast"));
    ui.menuButton->click();
    windowtest::moveOver(ui.noteList->viewport());
    for (int step = 0; step < 13; ++step)
        QVERIFY(windowtest::tick(ui.widenTimer));

    windowtest::doubleClick(ui.titleStrip);

    QCOMPARE(form.heightTwips(), unrolls ? UnrolledHeight : StripHeight);
    QCOMPARE(ui.unrolledArrow->isHidden(), !unrolls);
    QCOMPARE(ui.rolledUpArrow->isHidden(), unrolls);
    QCOMPARE(ui.pointerPoll->isActive(), unrolls);

    QVERIFY(!ui.commandPanel->isHidden());
    QCOMPARE(ui.noteList->widthTwips(), 1500.0f);
    QVERIFY(ui.widenTimer->isActive());
    QCOMPARE(ui.noteText->text(), QStringLiteral("utkast"));
    QCOMPARE(form.topTwips(), 0.0f);
    QCOMPARE(form.leftTwips(), 6495.0f);
}

void tst_frame::doubleToggleReturns()
{
    NoteWindow &form = m_window->form;
    const window::Controls &ui = m_window->ui;
    windowtest::doubleClick(ui.titleStrip);
    windowtest::doubleClick(ui.titleStrip);
    QCOMPARE(form.heightTwips(), StripHeight);
    QVERIFY(!ui.pointerPoll->isActive());

    windowtest::doubleClick(ui.titleStrip);
    QCOMPARE(form.heightTwips(), UnrolledHeight);
    windowtest::doubleClick(ui.titleStrip);
    windowtest::doubleClick(ui.titleStrip);
    QCOMPARE(form.heightTwips(), UnrolledHeight);
    QVERIFY(ui.pointerPoll->isActive());
}

void tst_frame::stripDoubleClickAndArrowMove()
{
    NoteWindow &form = m_window->form;
    const window::Controls &ui = m_window->ui;
    // A real move over the arrow (which shows only while rolled up) unrolls the window.
    windowtest::moveOver(ui.rolledUpArrow);
    QCOMPARE(form.heightTwips(), UnrolledHeight);
    QVERIFY(ui.pointerPoll->isActive());
    QVERIFY(!ui.noteList->isHidden());

    // A real double-click on the strip rolls it up again; the lock keeps the press from
    // starting a drag.
    windowtest::doubleClick(ui.titleStrip);
    QCOMPARE(form.heightTwips(), StripHeight);
    QVERIFY(!ui.pointerPoll->isActive());
    // Once shown, the list stays laid out: it is not hidden again when the window rolls up.
    QVERIFY(!ui.noteList->isHidden());
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
    NoteWindow &form = m_window->form;
    const window::Controls &ui = m_window->ui;
    ui.lockBox->setCheckState(lock);
    QCOMPARE(ui.lockBox->checkState(), lock);

    sendMouse(ui.titleStrip, QEvent::MouseButtonPress, button, button);
    QCOMPARE(runtime::systemMoveActive(), drags);
    // Releasing the button ends the move.
    sendMouse(ui.titleStrip, QEvent::MouseButtonRelease, button, Qt::NoButton);
    QVERIFY(!runtime::systemMoveActive());
    QCOMPARE(form.topTwips(), 0.0f);
    QCOMPARE(form.leftTwips(), 6495.0f);
}

void tst_frame::chooseExitWithUnsavedNote(QMessageBox::StandardButton answer)
{
    NoteWindow &form = m_window->form;
    const window::Controls &ui = m_window->ui;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    windowtest::doubleClick(ui.titleStrip);
    ui.menuButton->click();
    ui.newButton->click();
    QTest::keyClicks(ui.noteText, QStringLiteral("osparat"));
    ui.menuButton->click();

    m_window->desktop.answers = {answer};
    ui.exitButton->click();
}

void tst_frame::exitAnsweredNo()
{
    NoteWindow &form = m_window->form;
    const window::Controls &ui = m_window->ui;
    chooseExitWithUnsavedNote(QMessageBox::No);
    if (QTest::currentTestFailed())
        return;

    // The question is the window's own, in its words.
    const QList<testsupport::TestDesktop::Question> &asked = m_window->desktop.questions;
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0].prompt, QStringLiteral("Vill du avsluta Zentavo?"));
    QCOMPARE(asked[0].title, QStringLiteral("Zentavo 1.0"));
    QCOMPARE(asked[0].parent, &form);

    QVERIFY(form.isVisible());
    QVERIFY(!ui.commandPanel->isHidden());
    QCOMPARE(ui.noteText->text(), QStringLiteral("osparat"));
    QCOMPARE(form.heightTwips(), UnrolledHeight);
    QCOMPARE(m_db->count(), 3);
}

void tst_frame::exitAnsweredYes()
{
    NoteWindow &form = m_window->form;
    chooseExitWithUnsavedNote(QMessageBox::Yes);
    if (QTest::currentTestFailed())
        return;

    // Closed at once, with nothing saved on the way out.
    QVERIFY(!form.isVisible());
    QCOMPARE(m_db->count(), 3);
}

QTEST_MAIN(tst_frame)
#include "tst_frame.moc"
