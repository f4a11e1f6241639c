#include "NotesTool.h"

#include "store/Sync.h"

namespace notestool {

namespace {

int complain(const store::StoreError &error)
{
    return notestool::complain(error.message());
}

} // namespace

int showSyncFolder(const QString &database)
{
    const std::optional<QString> folder = store::syncFolderFor(database);
    say(folder ? *folder + QLatin1Char('\n')
               : QStringLiteral("Ingen synkmapp är vald för databasen.\n"));
    return Done;
}

int setSyncFolder(const QString &database, const QString &folder)
{
    const store::Result<store::Done> set = store::setSyncFolder(database, folder);
    return set ? Done : complain(set.error());
}

int endSync(const QString &database)
{
    const store::Result<store::Done> ended = store::endSync(database);
    return ended ? Done : complain(ended.error());
}

int syncOnce(const QString &database)
{
    const store::Result<store::SyncReport> report = store::syncRound(database);
    if (!report)
        return complain(report.error());
    say(QStringLiteral("Tillagda: %1, raderade: %2, skrivna filer: %3%4\n")
            .arg(report->added.size())
            .arg(report->deleted.size())
            .arg(report->filesWritten)
            .arg(report->filesNotWritten > 0 ? QStringLiteral(", filer som inte kunde skrivas: %1")
                                                   .arg(report->filesNotWritten)
                                             : QString()));
    for (const store::SyncProblem &problem : report->problems)
        notestool::complain(problem.file + QStringLiteral(": ") + problem.message);
    // Notes still waiting to go out are no success, though the reason was told before.
    return report->problems.empty() && report->filesNotWritten == 0 ? Done : CannotUse;
}

} // namespace notestool
