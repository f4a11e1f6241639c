// What a person sees and reaches in the window, checked by its consequences rather than against
// the design's numbers: every control lies inside its container and every caption fits, at the
// screen's resolution (the suite runs at 96 and at 192 dpi); the pointer reaches the topmost
// control where controls overlap; Tab visits the reachable controls in order; each of them has a
// name for assistive technology; the arrows point the right way; the note area has the focus
// after start.

#include "WindowTestSupport.h"
#include "runtime/Fonts.h"
#include "runtime/Screen.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyleFactory>
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

// The controls of the design: every named widget below the window that a builder placed (a
// Qt widget's own parts, such as a scroll bar, have no name or a name of Qt's).
QList<QWidget *> designControls(const NoteWindow &form)
{
    QList<QWidget *> controls;
    for (QWidget *widget : form.findChildren<QWidget *>()) {
        if (dynamic_cast<runtime::TwipsControl *>(widget))
            controls << widget;
    }
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

class tst_layout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowScalesWithTheScreen();
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
    static double scale() { return 15.0 / runtime::Screen::twipsPerPixelX(); }

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<windowtest::WindowUnderTest> m_window;
};

void tst_layout::initTestCase()
{
    // As the program starts.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    runtime::registerTahoma();
    QApplication::setQuitOnLastWindowClosed(false);
}

void tst_layout::init()
{
    m_db = std::make_unique<testsupport::TestDatabase>();
    m_db->addNote(QStringLiteral("Första"), QStringLiteral("ett"));
    m_window = std::make_unique<windowtest::WindowUnderTest>(*m_db);
    // The pointer stays over the window (at either resolution), so it never rolls up by itself.
    m_window->desktop.pointer = QPoint(qRound(600 * scale()), qRound(100 * scale()));
    QVERIFY(m_window->startUnrolled());
    QVERIFY(QTest::qWaitForWindowExposed(&m_window->form));
}

void tst_layout::cleanup()
{
    QCOMPARE(m_window->desktop.reports, QStringList());
    m_window.reset();
    m_db.reset();
}

void tst_layout::openPanel(const QString &panel)
{
    const window::Controls &ui = m_window->ui;
    if (panel.isEmpty())
        return;
    if (panel == QLatin1String("deletePanel"))
        m_window->clickItem(0);
    ui.menuButton->click();
    if (panel == QLatin1String("savePanel"))
        ui.saveButton->click();
    else if (panel == QLatin1String("deletePanel"))
        ui.deleteButton->click();
}

void tst_layout::windowScalesWithTheScreen()
{
    NoteWindow &form = m_window->form;
    QCOMPARE(form.geometry(),
             QRect(qRound(433 * scale()), 0, qRound(353 * scale()), qRound(289 * scale())));
    windowtest::doubleClick(m_window->ui.titleStrip);
    QCOMPARE(form.height(), qRound(17 * scale()));
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
        m_window->widenList();
    const QList<QWidget *> controls = designControls(m_window->form);
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
    for (const QWidget *control : designControls(m_window->form)) {
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
    QWidget *hit = topmostAt(&m_window->form, scaled);
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

void tst_layout::tabOrder()
{
    QFETCH(QString, panel);
    QFETCH(QStringList, cycle);
    NoteWindow &form = m_window->form;
    const window::Controls &ui = m_window->ui;
    openPanel(panel);
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ui.noteText->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), ui.noteText);

    // Tab from the note all the way round: hidden controls, labels and frames are skipped.
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (qsizetype i = 0; i < cycle.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, cycle + QStringList{QStringLiteral("noteText")});
}

// Every control that Tab can reach, with every panel opened in turn, is named for assistive
// technology, no two alike; a control with a caption is named by it, so that what is read out is
// what is shown, and a check box (which has no caption) is named by its tooltip.
void tst_layout::everyReachableControlIsNamed()
{
    const window::Controls &ui = m_window->ui;
    QStringList names;
    for (const QString &panel : {QString(), QStringLiteral("commandPanel"),
                                 QStringLiteral("savePanel"), QStringLiteral("deletePanel")}) {
        openPanel(panel);
        for (QWidget *control : designControls(m_window->form)) {
            if (!control->isVisible() || !(control->focusPolicy() & Qt::TabFocus))
                continue;
            QAccessibleInterface *node = QAccessible::queryAccessibleInterface(control);
            QVERIFY(node);
            const QString name = node->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName() + " has no name"));
            if (!captionOf(control).isEmpty())
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
    const window::Controls &ui = m_window->ui;
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

void tst_layout::noteAreaHasTheFocusAfterStart()
{
    windowtest::WindowUnderTest window(*m_db);
    QVERIFY(window.start());
    window.form.show();
    window.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window.form));
    QCOMPARE(QApplication::focusWidget(), window.ui.noteText);
}

// Enter in the title box or the note never presses a button of its own accord.
void tst_layout::noButtonAnswersEnterByItself()
{
    for (QPushButton *button : m_window->form.findChildren<QPushButton *>()) {
        QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
        QVERIFY2(!button->autoDefault(), qPrintable(button->objectName()));
    }
    const window::Controls &ui = m_window->ui;
    ui.menuButton->click();
    ui.saveButton->click();
    QTest::keyClicks(ui.titleEdit, QStringLiteral("rubrik"));
    QTest::keyClick(ui.titleEdit, Qt::Key_Return);
    QVERIFY(!ui.savePanel->isHidden());
    QCOMPARE(m_db->count(), 1);
}

QTEST_MAIN(tst_layout)
#include "tst_layout.moc"
