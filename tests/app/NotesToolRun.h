#pragma once

// zentavo-notes run as a program by the tests of this folder (ZENTAVO_NOTES is its path).

#include "ProgramRun.h"

#include <QDir>
#include <QMap>

namespace {

using Run = testsupport::ProgramRun;

inline Run run(const QStringList &arguments, const QString &workingDirectory = {})
{
    return testsupport::runIn(QStringLiteral(ZENTAVO_NOTES), arguments, workingDirectory);
}

inline QByteArray contents(const QString &path)
{
    return testsupport::contentsOf(path);
}

// Everything in a folder, name and bytes (a folder in it reads as empty), to compare before and
// after.
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString &name :
         dir.entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot))
        files.insert(name, contents(dir.filePath(name)));
    return files;
}

} // namespace
