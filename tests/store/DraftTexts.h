#pragma once

// The drafts the crash test writes and checks: made from a number and a size alone, so that the
// writer process and the test make the same ones.

#include "store/Drafts.h"

#include <QString>

namespace drafttest {

inline store::Draft draftText(int which, qsizetype size)
{
    const QString line = which == 0 ? QStringLiteral("Första utkastet åäö 🙂\r\n")
                                    : QStringLiteral("Andra utkastet, en rad längre ÅÄÖ\n");
    QString text;
    text.reserve(size);
    while (text.size() + line.size() <= size)
        text += line;
    text += QString(size - text.size(), QLatin1Char(which == 0 ? 'a' : 'b'));
    return store::Draft{text, which == 0 ? std::optional<QString>() : QStringLiteral("Titel")};
}

} // namespace drafttest
