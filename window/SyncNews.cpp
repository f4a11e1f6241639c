#include "SyncNews.h"

namespace window {

namespace {

QString problemsText(const std::vector<store::SyncProblem> &problems)
{
    QString text = problems.size() == 1
                       ? QStringLiteral("Synkningen kunde inte ta en fil i synkmappen.")
                       : QStringLiteral("Synkningen kunde inte ta %1 filer i synkmappen.")
                             .arg(problems.size());
    for (const store::SyncProblem &problem : problems)
        text += QStringLiteral("\n\nFil: ") + problem.file + QStringLiteral("\n") + problem.message;
    return text;
}

QString awayText(const QString &folder)
{
    return QStringLiteral("Synkmappen går inte att nå.\n\nMapp: ") + folder
           + QStringLiteral("\n\nAnteckningarna finns kvar här. Är mappen på en disk som inte är "
                            "ansluten eller monterad? Zentavo synkar när mappen är tillbaka.");
}

} // namespace

std::optional<QString> SyncNews::take(const SyncOutcome &outcome)
{
    if (outcome.kind != SyncOutcome::Kind::Failed) {
        m_lastFailure.clear();
        m_failureTold = false;
    }
    if (outcome.kind != SyncOutcome::Kind::FolderAway)
        m_awayTold = false;

    switch (outcome.kind) {
    case SyncOutcome::Kind::NoFolder:
        return std::nullopt;
    case SyncOutcome::Kind::FolderAway:
        if (std::exchange(m_awayTold, true))
            return std::nullopt;
        return awayText(outcome.folder);
    case SyncOutcome::Kind::Failed: {
        const QString message = outcome.error ? outcome.error->message() : QString();
        if (message != m_lastFailure) {
            m_lastFailure = message;
            m_failureTold = false;
            return std::nullopt;
        }
        if (std::exchange(m_failureTold, true))
            return std::nullopt;
        return message;
    }
    case SyncOutcome::Kind::Done:
        if (outcome.report.problems.empty())
            return std::nullopt;
        return problemsText(outcome.report.problems);
    }
    return std::nullopt;
}

} // namespace window
