// The layer over Qt: twips arithmetic and the real desktop: its question box, staying on top and
// the move of a window with the pointer where no window manager takes it over.

#include "runtime/NoticePlace.h"
#include "runtime/SystemDesktop.h"
#include "runtime/Twips.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <functional>

using namespace runtime;

static_assert(twipsPerPixelForDpi(96) == 15.0);
static_assert(twipsPerPixelForDpi(192) == 7.5);
static_assert(twipsPerPixelForDpi(0) == 15.0);
static_assert(twipsToPixels(6495, 15) == 433);
static_assert(twipsToPixels(4335, 15) == 289);
static_assert(twipsToPixels(255, 15) == 17);
static_assert(twipsToPixels(4335, 7.5) == 578);
// Halves go away from nought, on both sides.
static_assert(twipsToPixels(-60, 15) == -4);
static_assert(twipsToPixels(100, 15) == 7);
static_assert(twipsToPixels(-100, 15) == -7);

// Runs `act` on the question box as soon as it is on the screen.
static void whenQuestionShown(const std::function<void(QMessageBox *)> &act)
{
    QTimer::singleShot(10, [act] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            act(box);
        else
            whenQuestionShown(act);
    });
}

class TestRuntime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Kept on top before it is shown, as a flag the native window is made with, and after, by
    // changing that flag in place: the window stays on the screen.
    void keepOnTop()
    {
        SystemDesktop desktop;
        QWidget before;
        desktop.keepOnTop(&before);
        QVERIFY(before.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        QWidget shown;
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        QWindow *native = shown.windowHandle();
        desktop.keepOnTop(&shown);
        QVERIFY(shown.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(shown.windowHandle(), native);
        QVERIFY(shown.isVisible());
    }

    // Without a window manager to take it over, the window follows the pointer's moves while the
    // button is held, from the first motion on, and stays where the button was let go.
    void systemMoveByHand()
    {
        SystemDesktop desktop;
        QWidget window;
        window.setGeometry(100, 100, 200, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();
        const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons, QPoint global) {
            QMouseEvent event(type, QPointF(window.mapFromGlobal(global)), QPointF(global),
                              Qt::LeftButton, buttons, Qt::NoModifier);
            QApplication::sendEvent(&window, &event);
        };
        const QPoint grip = window.mapToGlobal(QPoint(10, 10));
        desktop.beginSystemMove(&window);
        send(QEvent::MouseMove, Qt::LeftButton, grip);
        send(QEvent::MouseMove, Qt::LeftButton, grip + QPoint(30, 40));
        QCOMPARE(window.pos(), start + QPoint(30, 40));
        send(QEvent::MouseButtonRelease, Qt::NoButton, grip + QPoint(30, 40));
        send(QEvent::MouseMove, Qt::LeftButton, grip + QPoint(90, 90));
        QCOMPARE(window.pos(), start + QPoint(30, 40));
    }

    void questionBox_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("answer");
        QTest::newRow("Ja clicked") << "Ja" << true;
        QTest::newRow("Nej clicked") << "Nej" << false;
        QTest::newRow("Enter takes the default") << "Enter" << true;
        QTest::newRow("Escape") << "Escape" << false;
        QTest::newRow("closed without a choice") << "close" << false;
    }
    // The question as a person sees it: the prompt and title given, no icon, "Ja" and "Nej"
    // with "Ja" the default, above the window it belongs to.
    void questionBox()
    {
        QFETCH(QString, action);
        QFETCH(bool, answer);
        SystemDesktop desktop;
        QWidget window;
        window.show();
        // The box is read, then answered; the checks follow once it is gone, so that a failed
        // one never leaves a box open.
        struct Seen
        {
            QMessageBox::Icon icon = QMessageBox::Critical;
            QString text, title, defaultButton;
            QWidget *parent = nullptr;
            bool onTop = false;
            QStringList buttons;
        } seen;
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
        whenQuestionShown([&](QMessageBox *box) {
            seen = {box->icon(),
                    box->text(),
                    box->windowTitle(),
                    box->defaultButton() ? box->defaultButton()->text() : QString(),
                    box->parentWidget(),
                    box->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
                    {}};
            for (QAbstractButton *button : box->buttons())
                seen.buttons << button->text();
            if (action == QLatin1String("Enter"))
                QTest::keyClick(box, Qt::Key_Return);
            else if (action == QLatin1String("Escape"))
                QTest::keyClick(box, Qt::Key_Escape);
            else if (action == QLatin1String("close"))
                box->close();
            for (QAbstractButton *button : box->buttons()) {
                if (button->text() == action)
                    button->click();
            }
        });
        QCOMPARE(desktop.askYesNo(&window, QStringLiteral("Vill du avsluta Zentavo?"),
                                  QStringLiteral("Zentavo 1.0")),
                 answer);
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.text, QStringLiteral("Vill du avsluta Zentavo?"));
        QCOMPARE(seen.title, QStringLiteral("Zentavo 1.0"));
        QCOMPARE(seen.defaultButton, QStringLiteral("Ja"));
        QCOMPARE(seen.parent, &window);
        QVERIFY(seen.onTop);
        QStringList buttons = seen.buttons;
        buttons.sort();
        QCOMPARE(buttons, QStringList({QStringLiteral("Ja"), QStringLiteral("Nej")}));
    }

    // A notice goes below the window it speaks of, never over it, and stays on the screen.
    void noticePlace_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QPoint>("place");
        const QRect screen(0, 0, 1280, 1024);
        // clang-format off
        QTest::newRow("rolled up, docked") << QRect(433, 0, 353, 17) << QPoint(409, 21);
        QTest::newRow("unrolled") << QRect(433, 0, 353, 289) << QPoint(409, 293);
        QTest::newRow("at the right edge") << QRect(1000, 0, 280, 17) << QPoint(1280 - 400, 21);
        QTest::newRow("at the left edge") << QRect(0, 0, 100, 17) << QPoint(0, 21);
        QTest::newRow("at the bottom") << QRect(433, 980, 353, 44) << QPoint(409, 980 - 4 - 100);
        // clang-format on
    }
    void noticePlace()
    {
        QFETCH(QRect, window);
        QFETCH(QPoint, place);
        const QSize notice(400, 100);
        const QPoint at = runtime::noticePlace(window, notice, QRect(0, 0, 1280, 1024));
        QCOMPARE(at, place);
        QVERIFY(!QRect(at, notice).intersects(window));
    }
};

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
