// The fonts as the program sets them up: the font configuration loaded on a thread of its own
// while the application object connects to the display (or then on the main thread, whichever
// comes first), then Tahoma registered and made the
// application's font. Every widget must then show Tahoma 8.25, and the desktop's own fonts must
// all still be there for the text the user pastes or the question box.

#include "runtime/Fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QTest>

class TestFonts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void widgetsShowTahoma()
    {
        QLabel label(QStringLiteral("Zentavo 1.0"));
        const QFontInfo shown(label.font());
        QCOMPARE(shown.family(), QStringLiteral("Tahoma"));
        QVERIFY(shown.exactMatch());
        QCOMPARE(label.font().pointSizeF(), 8.25);
    }

    void desktopFontsAreThere()
    {
        const QStringList families = QFontDatabase::families();
        QVERIFY(families.contains(QStringLiteral("Tahoma")));
        const QString desktopFamily
            = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        QVERIFY2(families.contains(desktopFamily), qPrintable(desktopFamily));
        QVERIFY2(families.size() > 1, qPrintable(families.join(u',')));
    }

    // The configuration is loaded once: asking again, as a second start-up path might, changes
    // nothing Qt knows.
    void loadingAgainChangesNothing()
    {
        const QStringList before = QFontDatabase::families();
        std::jthread again = runtime::loadFontConfigurationAhead();
        if (again.joinable())
            again.join();
        QCOMPARE(QFontDatabase::families(), before);
    }
};

int main(int argc, char *argv[])
{
    std::jthread ahead = runtime::loadFontConfigurationAhead();
    QApplication app(argc, argv);
    const std::jthread endedFirst = std::move(ahead);
    runtime::loadFontConfiguration();
    runtime::registerTahoma();
    QApplication::setFont(runtime::designFont());
    TestFonts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fonts.moc"
