// The window as built: every control of a freshly created Form1 (before its Load handler runs)
// is looked up by name and compared with the design values, together with the stacking order
// inside each container and the tab order.

#include "WindowTestSupport.h"
#include "runtime/CheckBox.h"
#include "runtime/ListView.h"
#include "runtime/Screen.h"
#include "runtime/TextBox.h"
#include "runtime/Timer.h"
#include "runtime/TwipsControl.h"
#include "window/Form1.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using window::Form1;

namespace {

// All geometry below assumes the offscreen platform's 96 dpi.
constexpr double TwipsPerPixel = 15.0;

QRect toPixels(const QRect &twips)
{
    return QRect(qRound(twips.x() / TwipsPerPixel), qRound(twips.y() / TwipsPerPixel),
                 qRound(twips.width() / TwipsPerPixel), qRound(twips.height() / TwipsPerPixel));
}

QString textOf(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *line = qobject_cast<const runtime::TextBox *>(widget))
        return line->Text();
    if (const auto *box = qobject_cast<const runtime::MultiLineTextBox *>(widget))
        return box->Text();
    return QString();
}

// The direct child of container under pos, or nullptr where the pointer reaches the container.
QWidget *topmostAt(QWidget *container, const QPoint &pos)
{
    QWidget *hit = container->childAt(pos);
    while (hit && hit->parentWidget() != container)
        hit = hit->parentWidget();
    return hit;
}

} // namespace

class tst_design : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void formItself();
    void controls_data();
    void controls();
    void designState();
    void stacking_data();
    void stacking();
    void pointerReachesTopmost_data();
    void pointerReachesTopmost();
    void tabOrder_data();
    void tabOrder();
};

void tst_design::initTestCase()
{
    QCOMPARE(runtime::Screen::TwipsPerPixelX(), 15.0f);
    QCOMPARE(runtime::Screen::TwipsPerPixelY(), 15.0f);
}

void tst_design::formItself()
{
    Form1 form;
    QCOMPARE(form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Zentavo 1.0"));
    QVERIFY(form.isWindow());
    QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(form.Left(), 6495.0f);
    QCOMPARE(form.Top(), 0.0f);
    QCOMPARE(form.Width(), 5295.0f);
    QCOMPARE(form.Height(), 4335.0f);
    QCOMPARE(form.geometry(), QRect(433, 0, 353, 289));
    QCOMPARE(form.lostfocus, std::int16_t(0));
}

void tst_design::controls_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("tahoma");
    QTest::addColumn<int>("interval"); // timers only; -1 for every other control
    QTest::addColumn<bool>("enabled");

    const auto control = [](const char *name, const char *container, QRect twips, const char *text,
                            const char *toolTip, bool visible, bool tahoma) {
        QTest::newRow(name) << QString::fromLatin1(container) << twips << QString::fromUtf8(text)
                            << QString::fromUtf8(toolTip) << visible << tahoma << -1 << true;
    };
    const auto timer = [](const char *name, int interval, bool enabled) {
        QTest::newRow(name) << QStringLiteral("Form1") << QRect() << QString() << QString() << false
                            << false << interval << enabled;
    };

    control("fldID", "Form1", {840, 3960, 255, 285}, "", "", false, false);
    control("frmErase", "Form1", {1320, 1440, 2775, 975}, "", "", false, false);
    control("frmSave", "Form1", {840, 1320, 3615, 1215}, "", "", false, false);
    control("chkAutoHide", "Form1", {4440, 10, 255, 240}, "", "AutoDölj...", true, false);
    timer("Timer3", 500, true);
    control("chkMoveable", "Form1", {4680, 10, 255, 240}, "", "Lås fönster...", true, false);
    control("Command1", "Form1", {4920, 3960, 255, 255}, "M", "", true, true);
    control("frmCmds", "Form1", {1680, 2760, 3495, 1455}, "", "", false, false);
    control("lst", "Form1", {120, 360, 200, 3855}, "", "", true, true);
    timer("Timer2", 10, false);
    timer("Timer1", 10, false);
    control("fldNote", "Form1", {360, 360, 4815, 3855}, "", "", true, true);
    control("Label6", "Form1", {0, 4200, 5295, 135}, "", "", true, false);
    control("Label5", "Form1", {0, 240, 5295, 135}, "", "", true, false);
    control("Label2", "Form1", {0, 240, 135, 4095}, "", "", true, false);
    control("up", "Form1", {4920, 0, 240, 240}, "", "", true, false);
    control("down", "Form1", {4920, 0, 240, 240}, "", "", true, false);
    control("Label1", "Form1", {0, 0, 5295, 255}, "Zentavo 1.0", "", true, true);
    control("Shape1", "Form1", {0, 0, 5295, 4335}, "", "", true, false);

    control("Command9", "frmErase", {1440, 600, 855, 255}, "Nej", "", true, true);
    control("Command8", "frmErase", {480, 600, 855, 255}, "Ja", "", true, true);
    control("Shape4", "frmErase", {0, 0, 2775, 975}, "", "", true, false);
    control("Label4", "frmErase", {120, 120, 2415, 255}, "Vill du radera denna notering?", "", true,
            true);

    control("Command7", "frmSave", {1200, 840, 975, 255}, "Avbryt", "", true, true);
    control("Command6", "frmSave", {2280, 840, 1095, 255}, "OK", "", true, true);
    control("fldTitel", "frmSave", {240, 360, 3135, 285}, "", "", true, true);
    control("Shape3", "frmSave", {0, 0, 3615, 1215}, "", "", true, false);
    control("Label3", "frmSave", {240, 120, 3135, 255}, "Ange ett namn på noteringen:", "", true,
            true);

    control("Command4", "frmCmds", {480, 120, 2655, 255}, "Ny", "", true, true);
    control("Command3", "frmCmds", {480, 360, 2655, 255}, "Radera", "", true, true);
    control("Command2", "frmCmds", {480, 600, 2655, 255}, "Spara", "", true, true);
    control("Command5", "frmCmds", {480, 960, 2655, 255}, "Avsluta", "", true, true);
    control("Shape2", "frmCmds", {0, 0, 3495, 1455}, "", "", true, false);
}

void tst_design::controls()
{
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(bool, visible);
    QFETCH(bool, tahoma);
    QFETCH(int, interval);
    QFETCH(bool, enabled);

    Form1 form;
    const QString name = QString::fromLatin1(QTest::currentDataTag());

    if (interval >= 0) {
        // Timers have no place on the screen: they belong to the window itself.
        auto *timer = form.findChild<runtime::Timer *>(name);
        QVERIFY(timer);
        QCOMPARE(timer->parent(), &form);
        QCOMPARE(timer->Interval(), interval);
        QCOMPARE(timer->Enabled(), enabled);
        return;
    }

    auto *widget = form.findChild<QWidget *>(name);
    QVERIFY(widget);
    QVERIFY(widget->parentWidget());
    QCOMPARE(widget->parentWidget()->objectName(), container);

    QCOMPARE(widget->geometry(), toPixels(twips));
    auto *control = dynamic_cast<runtime::TwipsControl *>(widget);
    QVERIFY(control);
    QCOMPARE(control->Left(), float(twips.x()));
    QCOMPARE(control->Top(), float(twips.y()));
    QCOMPARE(control->Width(), float(twips.width()));
    QCOMPARE(control->Height(), float(twips.height()));

    QCOMPARE(textOf(widget), text);
    QCOMPARE(widget->toolTip(), toolTip);
    // Before the window is shown, hidden means hidden by the design itself.
    QCOMPARE(!widget->isHidden(), visible);
    QVERIFY(widget->isEnabled());

    if (tahoma) {
        const QFont font = widget->font();
        QCOMPARE(font.family(), QStringLiteral("Tahoma"));
        QCOMPARE(font.pointSizeF(), 8.25);
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic());
        QVERIFY(!font.underline());
        QVERIFY(!font.strikeOut());
    }
}

void tst_design::designState()
{
    Form1 form;
    QCOMPARE(form.chkAutoHide->Value(), 1);
    QCOMPARE(form.chkMoveable->Value(), 1);
    QVERIFY(!form.fldNote->Locked());
    QVERIFY(form.fldNote->Text().isEmpty());
    QVERIFY(form.fldTitel->Text().isEmpty());
    QVERIFY(form.fldID->Text().isEmpty());

    // A note line longer than the box scrolls sideways instead of wrapping.
    QCOMPARE(form.fldNote->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(form.fldNote->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.fldNote->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    QCOMPARE(form.lst->model()->columnCount(), 1);
    QCOMPARE(form.lst->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Namn"));
    QCOMPARE(form.lst->ColumnHeaderWidth(), 2700.0f);
    QCOMPARE(form.lst->columnWidth(0), 180);
    QCOMPARE(form.lst->ListItemsCount(), 0);

    for (const char *name : {"Label1", "Label3", "Label4"}) {
        auto *label = form.findChild<QLabel *>(QString::fromLatin1(name));
        QVERIFY2(label->alignment().testFlag(Qt::AlignHCenter), name);
    }
    // No button answers Enter or Escape by itself.
    for (QPushButton *button : form.findChildren<QPushButton *>()) {
        QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
        QVERIFY2(!button->autoDefault(), qPrintable(button->objectName()));
    }
}

void tst_design::stacking_data()
{
    QTest::addColumn<QStringList>("topmostFirst");

    // Windowless controls (labels, images, shapes) lie below every windowed one; within each
    // kind the design's stacking order holds.
    QTest::newRow("Form1") << QStringList{
        QStringLiteral("fldID"),       QStringLiteral("frmErase"),    QStringLiteral("frmSave"),
        QStringLiteral("chkAutoHide"), QStringLiteral("chkMoveable"), QStringLiteral("Command1"),
        QStringLiteral("frmCmds"),     QStringLiteral("lst"),         QStringLiteral("fldNote"),
        QStringLiteral("Label6"),      QStringLiteral("Label5"),      QStringLiteral("Label2"),
        QStringLiteral("up"),          QStringLiteral("down"),        QStringLiteral("Label1"),
        QStringLiteral("Shape1")};
    QTest::newRow("frmErase") << QStringList{QStringLiteral("Command9"), QStringLiteral("Command8"),
                                             QStringLiteral("Shape4"), QStringLiteral("Label4")};
    QTest::newRow("frmSave") << QStringList{QStringLiteral("Command7"), QStringLiteral("Command6"),
                                            QStringLiteral("fldTitel"), QStringLiteral("Shape3"),
                                            QStringLiteral("Label3")};
    QTest::newRow("frmCmds") << QStringList{QStringLiteral("Command4"), QStringLiteral("Command3"),
                                            QStringLiteral("Command2"), QStringLiteral("Command5"),
                                            QStringLiteral("Shape2")};
}

void tst_design::stacking()
{
    QFETCH(QStringList, topmostFirst);
    Form1 form;
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QWidget *container = name == QLatin1String("Form1") ? &form : form.findChild<QWidget *>(name);
    QVERIFY(container);

    // A container's widget children are kept bottom first: the last one is drawn on top.
    QStringList actual;
    for (QObject *child : container->children()) {
        if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
            actual.prepend(widget->objectName());
    }
    QCOMPARE(actual, topmostFirst);
}

void tst_design::pointerReachesTopmost_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QString>("expected"); // empty: nothing but the window itself

    // Points in window pixels where controls overlap; the topmost one must take the pointer.
    QTest::newRow("check boxes overlap") << QPoint(312, 5) << QStringLiteral("chkAutoHide");
    QTest::newRow("chkMoveable over arrow") << QPoint(328, 5) << QStringLiteral("chkMoveable");
    QTest::newRow("up covers down") << QPoint(332, 5) << QStringLiteral("up");
    QTest::newRow("Label5 over strip band") << QPoint(100, 16) << QStringLiteral("Label5");
    QTest::newRow("strip above band") << QPoint(100, 10) << QStringLiteral("Label1");
    QTest::newRow("Label5 over Label2") << QPoint(3, 20) << QStringLiteral("Label5");
    QTest::newRow("left border") << QPoint(3, 100) << QStringLiteral("Label2");
    QTest::newRow("bottom border") << QPoint(100, 285) << QStringLiteral("Label6");
    QTest::newRow("narrow list") << QPoint(15, 100) << QStringLiteral("lst");
    QTest::newRow("note text") << QPoint(100, 100) << QStringLiteral("fldNote");
    QTest::newRow("M over scroll corner") << QPoint(335, 270) << QStringLiteral("Command1");
    QTest::newRow("outline passes pointer") << QPoint(350, 100) << QString();
}

void tst_design::pointerReachesTopmost()
{
    QFETCH(QPoint, pixel);
    QFETCH(QString, expected);
    windowtest::FakePointer pointer(QPoint(600, 100)); // inside: no auto-hide while shown
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget *hit = topmostAt(&form, pixel);
    QCOMPARE(hit ? hit->objectName() : QString(), expected);
}

void tst_design::tabOrder_data()
{
    QTest::addColumn<QString>("panel"); // the panel shown, if any
    QTest::addColumn<QStringList>("cycle");

    const QStringList head{QStringLiteral("fldNote"), QStringLiteral("lst"),
                           QStringLiteral("Command1")};
    const QStringList tail{QStringLiteral("chkMoveable"), QStringLiteral("chkAutoHide")};
    QTest::newRow("all panels hidden") << QString() << head + tail;
    QTest::newRow("command panel")
        << QStringLiteral("frmCmds")
        << head
               + QStringList{QStringLiteral("Command2"), QStringLiteral("Command3"),
                             QStringLiteral("Command4"), QStringLiteral("Command5")}
               + tail;
    QTest::newRow("save panel") << QStringLiteral("frmSave")
                                << head + tail
                                       + QStringList{QStringLiteral("fldTitel"),
                                                     QStringLiteral("Command6"),
                                                     QStringLiteral("Command7")};
    QTest::newRow("delete panel") << QStringLiteral("frmErase")
                                  << head + tail
                                         + QStringList{QStringLiteral("Command8"),
                                                       QStringLiteral("Command9")};
}

void tst_design::tabOrder()
{
    QFETCH(QString, panel);
    QFETCH(QStringList, cycle);
    windowtest::FakePointer pointer(QPoint(600, 100));
    Form1 form;
    if (!panel.isEmpty())
        form.findChild<QWidget *>(panel)->show();
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.fldNote->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.fldNote);

    // Tab from fldNote all the way round: hidden controls, labels and frames are skipped.
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (qsizetype i = 0; i < cycle.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, cycle + QStringList{QStringLiteral("fldNote")});
}

QTEST_MAIN(tst_design)
#include "tst_design.moc"
