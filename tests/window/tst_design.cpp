// The window as built: every control of a freshly created NoteWindow (before its Load handler runs)
// is looked up by name and compared with the design values, together with the stacking order
// inside each container and the tab order.

#include "WindowTestSupport.h"
#include "runtime/Screen.h"
#include "runtime/TwipsControl.h"
#include "window/NoteWindow.h"
#include "window/controls/CheckBox.h"
#include "window/controls/ListView.h"
#include "window/controls/TextBox.h"
#include "window/controls/Timer.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using window::NoteWindow;

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
    if (const auto *line = qobject_cast<const window::TextBox *>(widget))
        return line->text();
    if (const auto *box = qobject_cast<const window::MultiLineTextBox *>(widget))
        return box->text();
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
    NoteWindow form;
    QCOMPARE(form.objectName(), QStringLiteral("NoteWindow"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Zentavo 1.0"));
    QVERIFY(form.isWindow());
    QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(form.Left(), 6495.0f);
    QCOMPARE(form.Top(), 0.0f);
    QCOMPARE(form.Width(), 5295.0f);
    QCOMPARE(form.Height(), 4335.0f);
    QCOMPARE(form.geometry(), QRect(433, 0, 353, 289));
    QCOMPARE(form.pollsOutside, std::int16_t(0));
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
        QTest::newRow(name) << QStringLiteral("NoteWindow") << QRect() << QString() << QString()
                            << false << false << interval << enabled;
    };

    control("shownNoteId", "NoteWindow", {840, 3960, 255, 285}, "", "", false, false);
    control("deletePanel", "NoteWindow", {1320, 1440, 2775, 975}, "", "", false, false);
    control("savePanel", "NoteWindow", {840, 1320, 3615, 1215}, "", "", false, false);
    control("autoHideBox", "NoteWindow", {4440, 10, 255, 240}, "", "AutoDölj...", true, false);
    timer("pointerPoll", 500, true);
    control("lockBox", "NoteWindow", {4680, 10, 255, 240}, "", "Lås fönster...", true, false);
    control("menuButton", "NoteWindow", {4920, 3960, 255, 255}, "M", "", true, true);
    control("commandPanel", "NoteWindow", {1680, 2760, 3495, 1455}, "", "", false, false);
    control("noteList", "NoteWindow", {120, 360, 200, 3855}, "", "", true, true);
    timer("narrowTimer", 10, false);
    timer("widenTimer", 10, false);
    control("noteText", "NoteWindow", {360, 360, 4815, 3855}, "", "", true, true);
    control("bottomEdge", "NoteWindow", {0, 4200, 5295, 135}, "", "", true, false);
    control("topEdge", "NoteWindow", {0, 240, 5295, 135}, "", "", true, false);
    control("leftEdge", "NoteWindow", {0, 240, 135, 4095}, "", "", true, false);
    control("unrolledArrow", "NoteWindow", {4920, 0, 240, 240}, "", "", true, false);
    control("rolledUpArrow", "NoteWindow", {4920, 0, 240, 240}, "", "", true, false);
    control("titleStrip", "NoteWindow", {0, 0, 5295, 255}, "Zentavo 1.0", "", true, true);
    control("windowOutline", "NoteWindow", {0, 0, 5295, 4335}, "", "", true, false);

    control("deleteNoButton", "deletePanel", {1440, 600, 855, 255}, "Nej", "", true, true);
    control("deleteYesButton", "deletePanel", {480, 600, 855, 255}, "Ja", "", true, true);
    control("deletePanelOutline", "deletePanel", {0, 0, 2775, 975}, "", "", true, false);
    control("deletePrompt", "deletePanel", {120, 120, 2415, 255}, "Vill du radera denna notering?",
            "", true, true);

    control("saveCancelButton", "savePanel", {1200, 840, 975, 255}, "Avbryt", "", true, true);
    control("saveOkButton", "savePanel", {2280, 840, 1095, 255}, "OK", "", true, true);
    control("titleEdit", "savePanel", {240, 360, 3135, 285}, "", "", true, true);
    control("savePanelOutline", "savePanel", {0, 0, 3615, 1215}, "", "", true, false);
    control("titlePrompt", "savePanel", {240, 120, 3135, 255}, "Ange ett namn på noteringen:", "",
            true, true);

    control("newButton", "commandPanel", {480, 120, 2655, 255}, "Ny", "", true, true);
    control("deleteButton", "commandPanel", {480, 360, 2655, 255}, "Radera", "", true, true);
    control("saveButton", "commandPanel", {480, 600, 2655, 255}, "Spara", "", true, true);
    control("exitButton", "commandPanel", {480, 960, 2655, 255}, "Avsluta", "", true, true);
    control("commandPanelOutline", "commandPanel", {0, 0, 3495, 1455}, "", "", true, false);
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

    NoteWindow form;
    const QString name = QString::fromLatin1(QTest::currentDataTag());

    if (interval >= 0) {
        // Timers have no place on the screen: they belong to the window itself.
        auto *timer = form.findChild<window::Timer *>(name);
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
    NoteWindow form;
    QCOMPARE(form.autoHideBox->checkState(), Qt::Checked);
    QCOMPARE(form.lockBox->checkState(), Qt::Checked);
    QVERIFY(!form.noteText->isLocked());
    QVERIFY(form.noteText->text().isEmpty());
    QVERIFY(form.titleEdit->text().isEmpty());
    QVERIFY(form.shownNoteId->text().isEmpty());

    // A note line longer than the box scrolls sideways instead of wrapping.
    QCOMPARE(form.noteText->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(form.noteText->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.noteText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    QCOMPARE(form.noteList->model()->columnCount(), 1);
    QCOMPARE(form.noteList->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Namn"));
    QCOMPARE(form.noteList->ColumnHeaderWidth(), 2700.0f);
    QCOMPARE(form.noteList->columnWidth(0), 180);
    QCOMPARE(form.noteList->itemCount(), 0);

    for (const char *name : {"titleStrip", "titlePrompt", "deletePrompt"}) {
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
    QTest::newRow("NoteWindow") << QStringList{
        QStringLiteral("shownNoteId"),   QStringLiteral("deletePanel"),
        QStringLiteral("savePanel"),     QStringLiteral("autoHideBox"),
        QStringLiteral("lockBox"),       QStringLiteral("menuButton"),
        QStringLiteral("commandPanel"),  QStringLiteral("noteList"),
        QStringLiteral("noteText"),      QStringLiteral("bottomEdge"),
        QStringLiteral("topEdge"),       QStringLiteral("leftEdge"),
        QStringLiteral("unrolledArrow"), QStringLiteral("rolledUpArrow"),
        QStringLiteral("titleStrip"),    QStringLiteral("windowOutline")};
    QTest::newRow("deletePanel") << QStringList{
        QStringLiteral("deleteNoButton"), QStringLiteral("deleteYesButton"),
        QStringLiteral("deletePanelOutline"), QStringLiteral("deletePrompt")};
    QTest::newRow("savePanel") << QStringList{
        QStringLiteral("saveCancelButton"), QStringLiteral("saveOkButton"),
        QStringLiteral("titleEdit"), QStringLiteral("savePanelOutline"),
        QStringLiteral("titlePrompt")};
    QTest::newRow("commandPanel") << QStringList{
        QStringLiteral("newButton"), QStringLiteral("deleteButton"), QStringLiteral("saveButton"),
        QStringLiteral("exitButton"), QStringLiteral("commandPanelOutline")};
}

void tst_design::stacking()
{
    QFETCH(QStringList, topmostFirst);
    NoteWindow form;
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QWidget *container
        = name == QLatin1String("NoteWindow") ? &form : form.findChild<QWidget *>(name);
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
    QTest::newRow("check boxes overlap") << QPoint(312, 5) << QStringLiteral("autoHideBox");
    QTest::newRow("lockBox over arrow") << QPoint(328, 5) << QStringLiteral("lockBox");
    QTest::newRow("up covers down") << QPoint(332, 5) << QStringLiteral("unrolledArrow");
    QTest::newRow("topEdge over strip band") << QPoint(100, 16) << QStringLiteral("topEdge");
    QTest::newRow("strip above band") << QPoint(100, 10) << QStringLiteral("titleStrip");
    QTest::newRow("topEdge over leftEdge") << QPoint(3, 20) << QStringLiteral("topEdge");
    QTest::newRow("left border") << QPoint(3, 100) << QStringLiteral("leftEdge");
    QTest::newRow("bottom border") << QPoint(100, 285) << QStringLiteral("bottomEdge");
    QTest::newRow("narrow list") << QPoint(15, 100) << QStringLiteral("noteList");
    QTest::newRow("note text") << QPoint(100, 100) << QStringLiteral("noteText");
    QTest::newRow("M over scroll corner") << QPoint(335, 270) << QStringLiteral("menuButton");
    QTest::newRow("outline passes pointer") << QPoint(350, 100) << QString();
}

void tst_design::pointerReachesTopmost()
{
    QFETCH(QPoint, pixel);
    QFETCH(QString, expected);
    windowtest::FakePointer pointer(QPoint(600, 100)); // inside: no auto-hide while shown
    NoteWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget *hit = topmostAt(&form, pixel);
    QCOMPARE(hit ? hit->objectName() : QString(), expected);
}

void tst_design::tabOrder_data()
{
    QTest::addColumn<QString>("panel"); // the panel shown, if any
    QTest::addColumn<QStringList>("cycle");

    const QStringList head{QStringLiteral("noteText"), QStringLiteral("noteList"),
                           QStringLiteral("menuButton")};
    const QStringList tail{QStringLiteral("lockBox"), QStringLiteral("autoHideBox")};
    QTest::newRow("all panels hidden") << QString() << head + tail;
    QTest::newRow("command panel")
        << QStringLiteral("commandPanel")
        << head
               + QStringList{QStringLiteral("saveButton"), QStringLiteral("deleteButton"),
                             QStringLiteral("newButton"), QStringLiteral("exitButton")}
               + tail;
    QTest::newRow("save panel") << QStringLiteral("savePanel")
                                << head + tail
                                       + QStringList{QStringLiteral("titleEdit"),
                                                     QStringLiteral("saveOkButton"),
                                                     QStringLiteral("saveCancelButton")};
    QTest::newRow("delete panel") << QStringLiteral("deletePanel")
                                  << head + tail
                                         + QStringList{QStringLiteral("deleteYesButton"),
                                                       QStringLiteral("deleteNoButton")};
}

void tst_design::tabOrder()
{
    QFETCH(QString, panel);
    QFETCH(QStringList, cycle);
    windowtest::FakePointer pointer(QPoint(600, 100));
    NoteWindow form;
    if (!panel.isEmpty())
        form.findChild<QWidget *>(panel)->show();
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.noteText->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), form.noteText);

    // Tab from noteText all the way round: hidden controls, labels and frames are skipped.
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (qsizetype i = 0; i < cycle.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, cycle + QStringList{QStringLiteral("noteText")});
}

QTEST_MAIN(tst_design)
#include "tst_design.moc"
