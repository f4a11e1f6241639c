// Every control a person can reach is named for assistive technology with the window's own
// Swedish texts, and the ones with a tooltip are described by it; the tree is walked the way a
// screen reader walks it.

#include "TestDatabase.h"
#include "runtime/ErrorReport.h"
#include "window/Form1.h"

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
        QTest::newRow("fldNote") << "fldNote"
                                 << "Zentavo 1.0"
                                 << "";
        QTest::newRow("lst") << "lst"
                             << "Namn"
                             << "";
        QTest::newRow("Command1") << "Command1"
                                  << "M"
                                  << "";
        QTest::newRow("chkMoveable") << "chkMoveable"
                                     << "Lås fönster..."
                                     << "Lås fönster...";
        QTest::newRow("chkAutoHide") << "chkAutoHide"
                                     << "AutoDölj..."
                                     << "AutoDölj...";
        QTest::newRow("Command4") << "Command4"
                                  << "Ny"
                                  << "";
        QTest::newRow("Command3") << "Command3"
                                  << "Radera"
                                  << "";
        QTest::newRow("Command2") << "Command2"
                                  << "Spara"
                                  << "";
        QTest::newRow("Command5") << "Command5"
                                  << "Avsluta"
                                  << "";
        QTest::newRow("fldTitel") << "fldTitel"
                                  << "Ange ett namn på noteringen:"
                                  << "";
        QTest::newRow("Command6") << "Command6"
                                  << "OK"
                                  << "";
        QTest::newRow("Command7") << "Command7"
                                  << "Avbryt"
                                  << "";
        QTest::newRow("Command8") << "Command8"
                                  << "Ja"
                                  << "";
        QTest::newRow("Command9") << "Command9"
                                  << "Nej"
                                  << "";
    }
    void everyReachableControlIsNamed()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, description);
        testsupport::TestDatabase db;
        window::Form1 form;
        QVERIFY(form.Load());
        form.rollToggle();
        // Open every panel, so that all their controls are in the tree.
        for (const char *panel : {"frmCmds", "frmSave", "frmErase"})
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
