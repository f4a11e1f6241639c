// The layer over Qt: twips arithmetic, exact read-back of twips geometry, check box values,
// timers, the list control and the real desktop's question box.

#include "runtime/Screen.h"
#include "runtime/SystemDesktop.h"
#include "runtime/Twips.h"
#include "runtime/TwipsControl.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

using namespace runtime;

static_assert(twipsPerPixelForDpi(96) == 15.0f);
static_assert(twipsPerPixelForDpi(192) == 7.5f);
static_assert(twipsToPixels(6495, 15) == 433);
static_assert(twipsToPixels(4335, 15) == 289);
static_assert(twipsToPixels(255, 15) == 17);
static_assert(twipsToPixels(-60, 15) == -4);
static_assert(pixelsToTwips(17, 15) == 255.0f);

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

// A widget whose geometry is kept in twips.
class TwipsWidget : public QWidget, public TwipsControl
{
public:
    TwipsWidget()
        : TwipsControl(this)
    {}
};

class TestRuntime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void screenIsFifteenTwipsPerPixelAt96Dpi()
    {
        QCOMPARE(Screen::twipsPerPixelX(), 15.0f);
        QCOMPARE(Screen::twipsPerPixelY(), 15.0f);
    }

    void twipsReadBackExactlyAsAssigned_data()
    {
        QTest::addColumn<float>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("whole pixels") << 2700.0f << 180;
        QTest::newRow("between pixels") << 207.0f << 14;
        QTest::newRow("fraction") << 200.5f << 13;
    }
    void twipsReadBackExactlyAsAssigned()
    {
        QFETCH(float, twips);
        QFETCH(int, pixels);
        TwipsWidget label;
        label.setTwipsGeometry(0, 0, 10, 10);
        label.setWidthTwips(twips);
        QCOMPARE(label.widthTwips(), twips);
        QCOMPARE(label.width(), pixels);
        label.setHeightTwips(twips);
        QCOMPARE(label.heightTwips(), twips);
        QCOMPARE(label.widthTwips(), twips); // setting one property keeps the others
    }

    void sizeChangedBehindTheLogicsBackReadsFromPixels()
    {
        TwipsWidget label;
        label.setTwipsGeometry(0, 0, 5295, 255);
        label.resize(353, 100); // as a window manager might
        QCOMPARE(label.heightTwips(), 1500.0f);
        QCOMPARE(label.widthTwips(), 5295.0f);
    }

    void questionBox_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("Ja clicked") << "Ja" << QMessageBox::Yes;
        QTest::newRow("Nej clicked") << "Nej" << QMessageBox::No;
        QTest::newRow("Enter takes the default") << "Enter" << QMessageBox::Yes;
        QTest::newRow("Escape") << "Escape" << QMessageBox::No;
        QTest::newRow("closed without a choice") << "close" << QMessageBox::No;
    }
    // The question as a person sees it: the prompt and title given, no icon, "Ja" and "Nej"
    // with "Ja" the default, above the window it belongs to.
    void questionBox()
    {
        QFETCH(QString, action);
        QFETCH(QMessageBox::StandardButton, answer);
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
};

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
