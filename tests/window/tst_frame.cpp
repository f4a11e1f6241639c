// The window as a whole: what Load leaves behind, the roll toggle, the drag lock of the title
// strip and the exit question. Each case loads a real Form1 on a fresh note database.

#include "TestDatabase.h"
#include "WindowTestSupport.h"
#include "runtime/CheckBox.h"
#include "runtime/CommandButton.h"
#include "runtime/Frame.h"
#include "runtime/Image.h"
#include "runtime/Label.h"
#include "runtime/ListView.h"
#include "runtime/MessageBox.h"
#include "runtime/SystemMove.h"
#include "runtime/TextBox.h"
#include "runtime/Timer.h"
#include "window/Form1.h"

#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using window::Form1;
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
    void rollToggle_data();
    void rollToggle();
    void doubleToggleReturns();
    void stripDoubleClickAndArrowMove();
    void dragLock_data();
    void dragLock();
    void exitAnsweredNo();
    void exitAnsweredYes();

private:
    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<windowtest::ErrorCapture> m_errors;
    std::unique_ptr<Form1> m_form;
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
    m_form = std::make_unique<Form1>();
    QVERIFY(m_form->Load());
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
    Form1 &form = *m_form;
    QCOMPARE(form.Height(), form.Label1->Height());
    QCOMPARE(form.Height(), StripHeight);
    QCOMPARE(form.height(), 17);
    QCOMPARE(form.Top(), 0.0f);
    QCOMPARE(form.Left(), 6495.0f);
    QVERIFY(form.up->isHidden());
    QVERIFY(!form.down->isHidden());
    QVERIFY(!form.Timer3->Enabled());
    QVERIFY(!form.Timer1->Enabled());
    QVERIFY(!form.Timer2->Enabled());
    QVERIFY(form.fldNote->Text().isEmpty());
    QVERIFY(form.fldNote->Locked());
    QCOMPARE(form.lst->ColumnHeaderWidth(), 0.0f);
    QCOMPARE(form.lst->header()->sectionSize(0), 0);
    QCOMPARE(form.lst->Width(), 200.0f);
    QVERIFY(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(form.chkMoveable->Value(), 1);
    QCOMPARE(form.chkAutoHide->Value(), 1);

    // The list holds every note in ID order, keyed by ID and showing the title.
    QCOMPARE(form.lst->ListItemsCount(), 3);
    const QStringList titles{QStringLiteral("Första"), QStringLiteral("Andra"),
                             QStringLiteral("Tredje")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(form.lst->ListItemKey(i + 1), QStringLiteral("ID|%1").arg(m_ids[i]));
        QCOMPARE(form.lst->ListItemText(i + 1), titles[i]);
    }
}

void tst_frame::loadWithoutDatabase()
{
    testsupport::TestDatabase empty(false);
    windowtest::ErrorCapture errors;
    Form1 form;
    QVERIFY(!form.Load());
    QCOMPARE(errors.reports.size(), 1);
    QVERIFY2(errors.reports.first().contains(empty.path()), qPrintable(errors.reports.first()));
    // The program never creates its database, and the window is never shown.
    QVERIFY(!QFile::exists(empty.path()));
    QVERIFY(!form.isVisible());
    QCOMPARE(form.lst->ListItemsCount(), 0);
}

// As the program starts: the database is checked before any window appears, and the list,
// which the rolled-up strip does not show, fills in one step right after the first frame.
void tst_frame::listFillsInOneStepAfterFirstFrame()
{
    Form1 form;
    QVERIFY(form.Load(Form1::ListFill::AfterFirstFrame));
    QCOMPARE(form.lst->ListItemsCount(), 0);
    QSignalSpy resets(form.lst->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(form.lst->model(), &QAbstractItemModel::rowsInserted);
    form.show();
    QTRY_COMPARE(form.lst->ListItemsCount(), 3);
    QCOMPARE(resets.size(), 1);
    QCOMPARE(inserts.size(), 0);
    QCOMPARE(form.lst->ListItemId(3), m_ids[2]);
}

void tst_frame::rollToggle_data()
{
    QTest::addColumn<float>("startHeight");
    QTest::addColumn<bool>("unrolls");

    QTest::newRow("rolled up -> unrolled") << StripHeight << true;
    QTest::newRow("unrolled -> rolled up") << UnrolledHeight << false;
    // A height the program never sets itself (a resize by the system) counts as unrolled.
    QTest::newRow("odd height -> rolled up") << 1000.0f << false;
}

void tst_frame::rollToggle()
{
    QFETCH(float, startHeight);
    QFETCH(bool, unrolls);
    Form1 &form = *m_form;
    form.setHeight(startHeight);
    QCOMPARE(form.Height(), startHeight);

    // Whatever else is going on in the window survives the toggle untouched.
    form.frmCmds->setVisible(true);
    form.lst->setWidth(1500);
    form.Timer1->setEnabled(true);
    form.fldNote->setTextValue(QStringLiteral("utkast"));

    form.rollToggle();

    QCOMPARE(form.Height(), unrolls ? UnrolledHeight : StripHeight);
    QCOMPARE(form.up->isHidden(), !unrolls);
    QCOMPARE(form.down->isHidden(), unrolls);
    QCOMPARE(form.Timer3->Enabled(), unrolls);

    QVERIFY(form.frmCmds->Visible());
    QCOMPARE(form.lst->Width(), 1500.0f);
    QVERIFY(form.Timer1->Enabled());
    QCOMPARE(form.fldNote->Text(), QStringLiteral("utkast"));
    QCOMPARE(form.Top(), 0.0f);
    QCOMPARE(form.Left(), 6495.0f);
}

void tst_frame::doubleToggleReturns()
{
    Form1 &form = *m_form;
    form.Label1_DblClick();
    form.Label1_DblClick();
    QCOMPARE(form.Height(), StripHeight);
    QVERIFY(!form.Timer3->Enabled());

    form.setHeight(UnrolledHeight);
    form.Label1_DblClick();
    form.Label1_DblClick();
    QCOMPARE(form.Height(), UnrolledHeight);
    QVERIFY(form.Timer3->Enabled());
}

void tst_frame::stripDoubleClickAndArrowMove()
{
    Form1 &form = *m_form;
    // A real move over the arrow (which shows only while rolled up) unrolls the window.
    windowtest::moveOver(form.down);
    QCOMPARE(form.Height(), UnrolledHeight);
    QVERIFY(form.Timer3->Enabled());

    // A real double-click on the strip rolls it up again; the lock keeps the press from
    // starting a drag.
    sendMouse(form.Label1, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    sendMouse(form.Label1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    sendMouse(form.Label1, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton);
    sendMouse(form.Label1, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(form.Height(), StripHeight);
    QVERIFY(!form.Timer3->Enabled());
}

void tst_frame::dragLock_data()
{
    QTest::addColumn<int>("moveable");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("drags");

    QTest::newRow("checked locks") << 1 << Qt::LeftButton << false;
    QTest::newRow("unchecked drags") << 0 << Qt::LeftButton << true;
    QTest::newRow("grayed drags") << 2 << Qt::LeftButton << true;
    QTest::newRow("right button drags too") << 0 << Qt::RightButton << true;
    QTest::newRow("right button locked") << 1 << Qt::RightButton << false;
}

void tst_frame::dragLock()
{
    QFETCH(int, moveable);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, drags);
    Form1 &form = *m_form;
    form.chkMoveable->setValue(moveable);
    QCOMPARE(form.chkMoveable->Value(), moveable);

    sendMouse(form.Label1, QEvent::MouseButtonPress, button, button);
    QCOMPARE(runtime::systemMoveActive(), drags);
    // Releasing the button ends the move.
    sendMouse(form.Label1, QEvent::MouseButtonRelease, button, Qt::NoButton);
    QVERIFY(!runtime::systemMoveActive());
    QCOMPARE(form.Top(), 0.0f);
    QCOMPARE(form.Left(), 6495.0f);
}

void tst_frame::exitAnsweredNo()
{
    Form1 &form = *m_form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.rollToggle();
    form.frmCmds->setVisible(true);
    form.fldNote->setTextValue(QStringLiteral("osparat"));

    runtime::setNextAnswer(runtime::vbNo);
    form.Command5->click();

    QVERIFY(form.isVisible());
    QVERIFY(form.frmCmds->Visible());
    QCOMPARE(form.fldNote->Text(), QStringLiteral("osparat"));
    QCOMPARE(form.Height(), UnrolledHeight);
    QCOMPARE(m_db->count(), 3);
}

void tst_frame::exitAnsweredYes()
{
    Form1 &form = *m_form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.rollToggle();
    form.frmCmds->setVisible(true);
    form.fldNote->setTextValue(QStringLiteral("osparat"));

    runtime::setNextAnswer(runtime::vbYes);
    form.Command5->click();

    // Closed at once, with nothing saved on the way out.
    QVERIFY(!form.isVisible());
    QCOMPARE(m_db->count(), 3);
}

QTEST_MAIN(tst_frame)
#include "tst_frame.moc"
