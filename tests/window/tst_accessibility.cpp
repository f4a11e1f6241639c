// Every control a person can reach is named for assistive technology with the window's own
// Swedish texts, and the ones with a tooltip are described by it; the tree is walked the way a
// screen reader walks it.

#include "TestDatabase.h"
#include "runtime/ErrorReport.h"
#include "window/NoteWindow.h"

#include <QAccessible>
#include <QFrame>
#include <QTest>

class TestAccessibility : public QObject
{
    Q_OBJECT

private:
    // Accessible name and description of every interface below root, by the object's name.
    static void collect(QAccessibleInterface *node, QHash<QString, QPair<QString, QString>> &found)
    {
        if (!node || !node->isValid())
            return;
        if (QObject *object = node->object(); object && !object->objectName().isEmpty()) {
            found.insert(object->objectName(),
                         {node->text(QAccessible::Name), node->text(QAccessible::Description)});
        }
        for (int i = 0; i < node->childCount(); ++i)
            collect(node->child(i), found);
    }

private Q_SLOTS:
    void everyReachableControlIsNamed_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("noteText") << "noteText"
                                  << "Zentavo 1.0"
                                  << "";
        QTest::newRow("noteList") << "noteList"
                                  << "Namn"
                                  << "";
        QTest::newRow("menuButton") << "menuButton"
                                    << "M"
                                    << "";
        QTest::newRow("lockBox") << "lockBox"
                                 << "Lås fönster..."
                                 << "Lås fönster...";
        QTest::newRow("autoHideBox") << "autoHideBox"
                                     << "AutoDölj..."
                                     << "AutoDölj...";
        QTest::newRow("newButton") << "newButton"
                                   << "Ny"
                                   << "";
        QTest::newRow("deleteButton") << "deleteButton"
                                      << "Radera"
                                      << "";
        QTest::newRow("saveButton") << "saveButton"
                                    << "Spara"
                                    << "";
        QTest::newRow("exitButton") << "exitButton"
                                    << "Avsluta"
                                    << "";
        QTest::newRow("titleEdit") << "titleEdit"
                                   << "Ange ett namn på noteringen:"
                                   << "";
        QTest::newRow("saveOkButton") << "saveOkButton"
                                      << "OK"
                                      << "";
        QTest::newRow("saveCancelButton") << "saveCancelButton"
                                          << "Avbryt"
                                          << "";
        QTest::newRow("deleteYesButton") << "deleteYesButton"
                                         << "Ja"
                                         << "";
        QTest::newRow("deleteNoButton") << "deleteNoButton"
                                        << "Nej"
                                        << "";
    }
    void everyReachableControlIsNamed()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, description);
        testsupport::TestDatabase db;
        window::NoteWindow form;
        QVERIFY(form.load());
        form.toggleRolledUp();
        // Open every panel, so that all their controls are in the tree.
        for (const char *panel : {"commandPanel", "savePanel", "deletePanel"})
            form.findChild<QFrame *>(panel)->show();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QHash<QString, QPair<QString, QString>> found;
        collect(QAccessible::queryAccessibleInterface(&form), found);
        QVERIFY2(found.contains(control), qPrintable(control + " is not in the tree"));
        QCOMPARE(found.value(control).first, name);
        QCOMPARE(found.value(control).second, description);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
