#pragma once

#include <QCryptographicHash>
#include <QFileInfo>
#include <QString>

// Header-only, on Qt Core alone: the store names its drafts folder by it, the command channel
// its bus name and socket, so that both stand for the same file however it was named.
namespace runtime {

// The same file, however it was named: its canonical path, or, for a file not there (yet), its
// absolute one.
inline QString fileIdentity(const QString &path)
{
    const QFileInfo file(path);
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
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
