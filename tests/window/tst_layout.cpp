// What a person sees and reaches in the window, checked by its consequences rather than against
// the design's numbers: every control lies inside its container and every caption fits, at the
// screen's resolution (the suite runs at 96 and at 192 dpi); the pointer reaches the topmost
// control where controls overlap; Tab visits the reachable controls in order; each of them has a
// name for assistive technology; the arrows point the right way; the note area has the focus
// after start.

#include "WindowTestSupport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using window::NoteWindow;

namespace {

// The direct child of container under pos, or nullptr where the pointer reaches the container.
QWidget *topmostAt(QWidget *container, const QPoint &pos)
{
    QWidget *hit = container->childAt(pos);
    while (hit && hit->parentWidget() != container)
        hit = hit->parentWidget();
    return hit;
}

// The controls of the design that are widgets (a Qt widget's own parts, such as a scroll bar,
// are not among them).
QList<QWidget *> designControls(const NoteWindow &form)
{
    QList<QWidget *> controls;
    window::Controls ui = window::findControls(form);
    window::forEachControl(ui, [&](QObject *control, const char *) {
        if (auto *widget = qobject_cast<QWidget *>(control))
            controls << widget;
    });
    return controls;
}

QString captionOf(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    return QString();
}

// The widths of the rows the picture covers, top to bottom, skipping empty rows. The picture
// leaves the top-left corner to the background.
QList<int> rowWidths(const QImage &image)
{
    const QRgb background = image.pixel(0, 0);
    QList<int> widths;
    for (int y = 0; y < image.height(); ++y) {
        int width = 0;
        for (int x = 0; x < image.width(); ++x)
            width += image.pixel(x, y) != background ? 1 : 0;
        if (width > 0)
            widths << width;
    }
    return widths;
}

} // namespace

class tst_layout : public windowtest::WindowTestCase
{
    Q_OBJECT
public:
    tst_layout()
        : WindowTestCase({.notes = 1, .unrolled = true})
    {}

private Q_SLOTS:
    void windowScalesWithTheScreen();
    void timesAPersonSees();
    void everyControlInsideItsContainer_data();
    void everyControlInsideItsContainer();
    void everyCaptionFits();
    void pointerReachesTopmost_data();
    void pointerReachesTopmost();
    void tabOrder_data();
    void tabOrder();
    void everyReachableControlIsNamed();
    void arrowsPointTheRightWay();
    void noteAreaHasTheFocusAfterStart();
    void noButtonAnswersEnterByItself();

private:
    // Opens a panel the way a person does; "" leaves all closed.
    void openPanel(const QString &panel);
    // Pixels per design pixel: 1 at 96 dpi, 2 at 192.
    static double scale() { return windowtest::scale().x(1500) / 100.0; }
};

void tst_layout::openPanel(const QString &panel)
{
    const window::Controls &ui = this->ui();
    if (panel.isEmpty())
        return;
    if (panel == QLatin1String("deletePanel"))
        window().clickItem(0);
    ui.menuButton->click();
    if (panel == QLatin1String("savePanel"))
        ui.saveButton->click();
    else if (panel == QLatin1String("deletePanel"))
        ui.deleteButton->click();
}

void tst_layout::windowScalesWithTheScreen()
{
    NoteWindow &form = this->form();
    // 433 pixels in at 96 dpi; at 192 dpi on the offscreen platform's 800 pixels, as far in as
    // leaves the whole window on the screen.
    const int width = qRound(353 * scale());
    const int left = std::min(qRound(433 * scale()), form.screen()->geometry().width() - width);
    QCOMPARE(form.geometry(), QRect(left, 0, width, qRound(289 * scale())));
    windowtest::doubleClick(ui().titleStrip);
    QCOMPARE(form.height(), qRound(17 * scale()));
    // The list slides out to 180 pixels, its column to 156.
    window().widenList();
    QCOMPARE(ui().noteList->width(), qRound(180 * scale()));
    QCOMPARE(ui().noteList->columnWidth(0), qRound(156 * scale()));
}

// The times a person sees, stated once: the list slides out in 25 steps of 10 ms, and the window
// rolls itself up on the fifth look, half a second apart, after the pointer has left it.
void tst_layout::timesAPersonSees()
{
    const window::Controls &ui = this->ui();
    QCOMPARE(ui.slideTimer->interval(), 10);
    windowtest::moveOver(ui.noteList->viewport());
    QCOMPARE(windowtest::tickUntilStopped(ui.slideTimer), 25 + 1);

    QCOMPARE(ui.pointerPoll->interval(), 500);
    desktop().pointer = QPoint(-10, -10);
    int looks = 0;
    while (windowtest::tick(ui.pointerPoll))
        ++looks;
    QCOMPARE(looks, 5);
    QVERIFY(state().rolledUp());
}

void tst_layout::everyControlInsideItsContainer_data()
{
    QTest::addColumn<bool>("listOut");
    QTest::newRow("list narrow") << false;
    QTest::newRow("list slid out") << true;
}

void tst_layout::everyControlInsideItsContainer()
{
    QFETCH(bool, listOut);
    if (listOut)
        window().widenList();
    const QList<QWidget *> controls = designControls(form());
    QVERIFY(controls.size() >= 30);
    for (const QWidget *control : controls) {
        const QWidget *container = control->parentWidget();
        QVERIFY2(container->rect().contains(control->geometry()),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 leaves %6 (%7x%8)")
                                .arg(control->objectName())
                                .arg(control->x())
                                .arg(control->y())
                                .arg(control->width())
                                .arg(control->height())
                                .arg(container->objectName())
                                .arg(container->width())
                                .arg(container->height())));
    }
}

void tst_layout::everyCaptionFits()
{
    for (const QWidget *control : designControls(form())) {
        const QString caption = captionOf(control);
        if (caption.isEmpty())
            continue;
        const int needed = control->fontMetrics().horizontalAdvance(caption);
        QVERIFY2(needed <= control->width(),
                 qPrintable(QStringLiteral("\"%1\" needs %2 px, %3 has %4")
                                .arg(caption)
                                .arg(needed)
                                .arg(control->objectName())
                                .arg(control->width())));
        QVERIFY2(control->fontMetrics().height() <= control->height() + 1,
                 qPrintable(control->objectName()));
    }
}

void tst_layout::pointerReachesTopmost_data()
{
    QTest::addColumn<QPoint>("pixel");     // at 96 dpi
    QTest::addColumn<QString>("expected"); // empty: nothing but the window itself

    // Points in window pixels where controls overlap; the topmost one must take the pointer.
    QTest::newRow("check boxes overlap") << QPoint(312, 5) << QStringLiteral("autoHideBox");
    QTest::newRow("lockBox over arrow") << QPoint(328, 5) << QStringLiteral("lockBox");
    QTest::newRow("unrolled arrow covers the other")
        << QPoint(332, 5) << QStringLiteral("unrolledArrow");
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

void tst_layout::pointerReachesTopmost()
{
    QFETCH(QPoint, pixel);
    QFETCH(QString, expected);
    const QPoint scaled(qRound(pixel.x() * scale()), qRound(pixel.y() * scale()));
    QWidget *hit = topmostAt(&form(), scaled);
    QCOMPARE(hit ? hit->objectName() : QString(), expected);
}

void tst_layout::tabOrder_data()
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
    // An open question keeps Tab round its own controls, in their order; from the note, Tab
    // goes into it.
    QTest::newRow("save panel") << QStringLiteral("savePanel")
                                << QStringList{QStringLiteral("titleEdit"),
                                               QStringLiteral("saveOkButton"),
                                               QStringLiteral("saveCancelButton")};
    QTest::newRow("delete panel") << QStringLiteral("deletePanel")
                                  << QStringList{QStringLiteral("deleteYesButton"),
                                                 QStringLiteral("deleteNoButton")};
}

void tst_layout::tabOrder()
{
    QFETCH(QString, panel);
    QFETCH(QStringList, cycle);
    NoteWindow &form = this->form();
    const window::Controls &ui = this->ui();
    openPanel(panel);
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ui.noteText->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), ui.noteText);

    // Tab from the note all the way round: hidden controls, labels and frames are skipped.
    QStringList expected = cycle;
    if (expected.first() != QLatin1String("noteText"))
        expected.prepend(QStringLiteral("noteText"));
    expected << cycle.first();
    QStringList visited{QApplication::focusWidget()->objectName()};
    while (visited.size() < expected.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
}

// Every control that Tab can reach, with every panel opened in turn, is named for assistive
// technology, no two alike; a control with a caption is named by it (the one-letter "M" by what
// it opens as well), so that what is read out is what is shown, and a check box (which has no
// caption) is named by its tooltip.
void tst_layout::everyReachableControlIsNamed()
{
    const window::Controls &ui = this->ui();
    QStringList names;
    for (const QString &panel : {QString(), QStringLiteral("commandPanel"),
                                 QStringLiteral("savePanel"), QStringLiteral("deletePanel")}) {
        openPanel(panel);
        for (QWidget *control : designControls(form())) {
            if (!control->isVisible() || !(control->focusPolicy() & Qt::TabFocus))
                continue;
            QAccessibleInterface *node = QAccessible::queryAccessibleInterface(control);
            QVERIFY(node);
            const QString name = node->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName() + " has no name"));
            if (control == ui.menuButton)
                QCOMPARE(name, QStringLiteral("Kommandon (M)"));
            else if (!captionOf(control).isEmpty())
                QCOMPARE(name, captionOf(control));
            else if (!control->toolTip().isEmpty())
                QCOMPARE(name, control->toolTip());
            if (!names.contains(name))
                names << name;
        }
        if (!ui.commandPanel->isHidden())
            ui.menuButton->click();
        if (!ui.savePanel->isHidden())
            ui.saveCancelButton->click();
        if (!ui.deletePanel->isHidden())
            ui.deleteNoButton->click();
    }
    // Note area, list, "M", the two boxes, the command panel's four, the title box, "OK",
    // "Avbryt", "Ja" and "Nej": fourteen controls, fourteen names.
    QCOMPARE(names.size(), 14);
}

void tst_layout::arrowsPointTheRightWay()
{
    const window::Controls &ui = this->ui();
    // Unrolled, the arrow that shows points down, tip at the bottom: its last row is narrower
    // than its first.
    QVERIFY(!ui.unrolledArrow->isHidden());
    QVERIFY(ui.rolledUpArrow->isHidden());
    const QList<int> down = rowWidths(ui.unrolledArrow->grab().toImage());
    QVERIFY(down.size() > 4);
    QVERIFY2(down.last() < down.first(),
             qPrintable(QStringLiteral("%1 .. %2").arg(down.first()).arg(down.last())));

    windowtest::doubleClick(ui.titleStrip);
    QVERIFY(ui.unrolledArrow->isHidden());
    QVERIFY(!ui.rolledUpArrow->isHidden());
    const QList<int> up = rowWidths(ui.rolledUpArrow->grab().toImage());
    QVERIFY(up.size() > 4);
    QVERIFY2(up.first() < up.last(),
             qPrintable(QStringLiteral("%1 .. %2").arg(up.first()).arg(up.last())));
}

// Started rolled up, the window's focus waits on the title strip, where Enter unrolls it; the
// note area has it as soon as the window unrolls.
void tst_layout::noteAreaHasTheFocusAfterStart()
{
    windowtest::WindowUnderTest window(db());
    QVERIFY(window.start());
    window.form.show();
    window.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window.form));
    QCOMPARE(QApplication::focusWidget(), window.ui.titleStrip);
    windowtest::moveOver(window.ui.rolledUpArrow);
    QCOMPARE(QApplication::focusWidget(), window.ui.noteText);
}

// No button is the window's default: Enter presses none of its own accord (in the title box it
// is "OK" by the window's own keys, tst_keys).
void tst_layout::noButtonAnswersEnterByItself()
{
    for (QPushButton *button : form().findChildren<QPushButton *>()) {
        QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
        QVERIFY2(!button->autoDefault(), qPrintable(button->objectName()));
    }
}

QTEST_MAIN(tst_layout)
#include "tst_layout.moc"
