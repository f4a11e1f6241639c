// The note text's exact conversion without a widget: a text inserted into a text document in
// pieces, as the note area shows a long text, reads back character for character; read back a
// piece at a time, the same.

#include "window/controls/ExactText.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace window::exacttext;

namespace {

// Inserts the text at the document's end a piece at a time, as the note area shows it; says
// whether a stand-in went in.
bool insertInPieces(QTextDocument &document, const QString &text, qsizetype pieceChars)
{
    bool standIns = false;
    for (qsizetype from = 0; from < text.size();) {
        const qsizetype end = pieceEnd(text, from, pieceChars);
        QTextCursor atEnd(&document);
        atEnd.movePosition(QTextCursor::End);
        standIns = insertExactly(atEnd, QStringView(text).sliced(from, end - from)) || standIns;
        from = end;
    }
    return standIns;
}

} // namespace

class tst_exacttext : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsBackAsInserted_data();
    void readsBackAsInserted();
    void piecesEndAtLineBreaks_data();
    void piecesEndAtLineBreaks();
};

void tst_exacttext::readsBackAsInserted_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<int>("pieceChars");

    QString longText;
    for (int line = 0; line < 5000; ++line)
        longText += QStringLiteral("rad %1 med 🙂 och åäö\r\n").arg(line);
    const QString longLine = QString(100000, u'x') + QStringLiteral("\r\n") + QString(3, u'y');
    const struct
    {
        const char *name;
        QString given;
        QString readBack;
        int pieceChars = 3;
    } texts[] = {
        {"empty", QString(), QString()},
        {"plain", QStringLiteral("ett två"), QStringLiteral("ett två")},
        {"CR LF, CR and LF", QStringLiteral("ett\r\ntvå\rtre\nfyra\r\n\r\nfem\r"),
         QStringLiteral("ett\r\ntvå\rtre\nfyra\r\n\r\nfem\r")},
        {"ends in CR LF", QStringLiteral("ett\r\n"), QStringLiteral("ett\r\n")},
        {"no-break space, line separator, emoji", QString::fromUtf16(u"a\u00a0b\u2028c \U0001F642"),
         QString::fromUtf16(u"a\u00a0b\u2028c \U0001F642")},
        {"frame marks", QString::fromUtf16(u"a\ufdd0b\ufdd1c\r\nd"),
         QString::fromUtf16(u"a\ufdd0b\ufdd1c\r\nd")},
        // The document's own line break reads back as a line feed.
        {"paragraph separator", QString::fromUtf16(u"ett\u2029två"), QStringLiteral("ett\ntvå")},
        {"NUL", QString::fromUtf16(u"a\0b", 3), QString::fromUtf16(u"a\0b", 3)},
        {"lone surrogates",
         QString::fromUtf16(u"a\xd800"
                            u"b\xdc00"
                            u"c"),
         QString::fromUtf16(u"a\xd800"
                            u"b\xdc00"
                            u"c")},
        {"many lines", longText, longText, 1000},
        {"one long line", longLine, longLine, 1000},
    };
    for (const auto &text : texts) {
        QTest::addRow("%s, whole", text.name) << text.given << text.readBack << int(1 << 30);
        QTest::addRow("%s, in pieces", text.name) << text.given << text.readBack << text.pieceChars;
    }
}

void tst_exacttext::readsBackAsInserted()
{
    QFETCH(QString, given);
    QFETCH(QString, readBack);
    QFETCH(int, pieceChars);
    QTextDocument document;
    const bool standIns = insertInPieces(document, given, pieceChars);
    QCOMPARE(standIns, needsStandIns(given));
    QCOMPARE(textOf(document, standIns), readBack);
    if (standIns)
        return;
    // Read a piece at a time, the document gives the same text.
    QString read;
    const int end = document.characterCount() - 1;
    for (int from = 0; from < end; from += pieceChars)
        read += textBetween(document, from, std::min(end, from + pieceChars));
    QCOMPARE(read, readBack);
}

void tst_exacttext::piecesEndAtLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("maxChars");
    QTest::addColumn<int>("end");

    QTest::newRow("the rest fits") << QStringLiteral("ab\ncd") << 0 << 10 << 5;
    QTest::newRow("after the last line feed") << QStringLiteral("ab\ncd\nef") << 0 << 7 << 6;
    QTest::newRow("from the middle") << QStringLiteral("ab\ncd\nef") << 3 << 4 << 6;
    QTest::newRow("no line feed: at the limit") << QStringLiteral("abcdef") << 0 << 4 << 4;
    QTest::newRow("never inside a surrogate pair")
        << QString::fromUtf16(u"abc\U0001F642d") << 0 << 4 << 3;
}

void tst_exacttext::piecesEndAtLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, maxChars);
    QFETCH(int, end);
    QCOMPARE(pieceEnd(text, from, maxChars), end);
}

QTEST_MAIN(tst_exacttext)
#include "tst_exacttext.moc"
