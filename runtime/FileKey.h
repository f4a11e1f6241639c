#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QString>

// Header-only, on Qt Core alone: the store names its drafts folder by it, the command channel
// its bus name and socket, so that both stand for the same file however it was named.
namespace runtime {

// The same file, however it was named: its canonical path; for a file not there (yet), the
// canonical path of the nearest folder that is there and the rest of the path as written, so that
// the name stays the same once the file is made.
inline QString fileIdentity(const QString &path)
{
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString absolute = QDir::cleanPath(file.absoluteFilePath());
    QString folder = absolute;
    QString rest;
    do {
        const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
        rest = folder.mid(slash + 1) + (rest.isEmpty() ? QString() : QLatin1Char('/') + rest);
        folder = slash > 0 ? folder.left(slash) : QStringLiteral("/");
    } while (!QFileInfo::exists(folder) && folder != QLatin1String("/"));
    const QString there = QFileInfo(folder).canonicalFilePath();
    return there.isEmpty() ? absolute : QDir(there).filePath(rest);
}

// 32 hexadecimal digits of a SHA-256 of the file's identity: a short name for the file.
inline QString fileKey(const QString &path)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(fileIdentity(path).toUtf8(), QCryptographicHash::Sha256)
            .toHex()
            .left(32));
}

} // namespace runtime
