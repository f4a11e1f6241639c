// The layer over Qt: twips arithmetic, exact read-back of twips geometry, check box values,
// timers, the list control and the message box seam.

#include "runtime/MessageBox.h"
#include "runtime/Screen.h"
#include "runtime/Twips.h"
#include "runtime/TwipsControl.h"

#include <QTest>
#include <QWidget>

using namespace runtime;

static_assert(twipsPerPixelForDpi(96) == 15.0f);
static_assert(twipsPerPixelForDpi(192) == 7.5f);
static_assert(twipsToPixels(6495, 15) == 433);
static_assert(twipsToPixels(4335, 15) == 289);
static_assert(twipsToPixels(255, 15) == 17);
static_assert(twipsToPixels(-60, 15) == -4);
static_assert(pixelsToTwips(17, 15) == 255.0f);

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
        QCOMPARE(Screen::TwipsPerPixelX(), 15.0f);
        QCOMPARE(Screen::TwipsPerPixelY(), 15.0f);
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
        label.setWidth(twips);
        QCOMPARE(label.Width(), twips);
        QCOMPARE(label.width(), pixels);
        label.setHeight(twips);
        QCOMPARE(label.Height(), twips);
        QCOMPARE(label.Width(), twips); // setting one property keeps the others
    }

    void sizeChangedBehindTheLogicsBackReadsFromPixels()
    {
        TwipsWidget label;
        label.setTwipsGeometry(0, 0, 5295, 255);
        label.resize(353, 100); // as a window manager might
        QCOMPARE(label.Height(), 1500.0f);
        QCOMPARE(label.Width(), 5295.0f);
    }

    void nextAnswerIsUsedOnce()
    {
        setNextAnswer(QMessageBox::No);
        QCOMPARE(askYesNo(nullptr, "?", "t"), QMessageBox::No);
        setNextAnswer(QMessageBox::Yes);
        QCOMPARE(askYesNo(nullptr, "?", "t"), QMessageBox::Yes);
    }
};

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
