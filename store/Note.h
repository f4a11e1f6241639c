#pragma once

#include <QString>
#include <QtGlobal>

namespace store {

// A whole note as read from the database.
struct Note
{
    qint64 id = 0;
    QString title;
    QString text;

    bool operator==(const Note &) const = default;
};

} // namespace store
