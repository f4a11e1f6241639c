#pragma once

#include <QFile>
#include <QProcess>
#include <QString>

namespace testsupport {

// What a program run to its end left behind.
struct ProgramRun
{
    int status = -1; // the exit code; -1 when it crashed or did not end in time
    QByteArray out;
    QString err;
};

// Starts `process` on `program` with `arguments` (its folder and environment set beforehand)
// and waits for it to end.
inline ProgramRun runToEnd(QProcess &process, const QString &program, const QStringList &arguments,
                           int timeoutMs = 120000)
{
    process.start(program, arguments);
    ProgramRun result;
    if (!process.waitForFinished(timeoutMs))
        return result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// Runs `program` to its end in `workingDirectory` (the test's own when empty).
inline ProgramRun runIn(const QString &program, const QStringList &arguments,
                        const QString &workingDirectory = {})
{
    QProcess process;
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    return runToEnd(process, program, arguments);
}

// A file's bytes; none when it cannot be read.
inline QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testsupport
