#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

namespace testsupport {

// Damages the page of an SQLite file that holds `marker` (a note's title, say), as a failing
// disk would: its first 16 bytes, the page's header, are overwritten. The first page, which
// holds the schema, is never touched, so the file still opens and its tables are still listed;
// only reading that page's notes fails. Returns the damaged page's offset in the file, or -1
// when the marker is not found beyond the first page.
inline qint64 damagePageHolding(const QString &path, const QByteArray &marker)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return -1;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 100)
        return -1;
    // The page size, big-endian at offset 16 of the header; 1 stands for 65536.
    const quint16 stored = qFromBigEndian<quint16>(bytes.constData() + 16);
    const qint64 pageSize = stored == 1 ? 65536 : stored;
    const qsizetype at = bytes.indexOf(marker, pageSize);
    if (at < 0)
        return -1;
    const qint64 page = at / pageSize * pageSize;
    if (!file.seek(page) || file.write(QByteArray(16, '\xff')) != 16)
        return -1;
    return page;
}

} // namespace testsupport
