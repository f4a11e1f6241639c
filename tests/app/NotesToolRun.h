#pragma once

// zentavo-notes run as a program by the tests of this folder (ZENTAVO_NOTES is its path).

#include "ProgramRun.h"

namespace {

using Run = testsupport::ProgramRun;

Run run(const QStringList &arguments, const QString &workingDirectory = {})
{
    return testsupport::runIn(QStringLiteral(ZENTAVO_NOTES), arguments, workingDirectory);
}

QByteArray contents(const QString &path)
{
    return testsupport::contentsOf(path);
}

} // namespace
