// The sync folder of each database: chosen, shown and ended, and the folders refused for it.

#include "Sync.h"
#include "UserPlaces.h"

#include "runtime/FileKey.h"
#include "runtime/files/Files.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace store {

namespace {

// Whether `inner` is `outer` or lies inside it; both canonical.
bool within(const QString &inner, const QString &outer)
{
    return inner == outer || outer == QLatin1String("/")
           || inner.startsWith(outer + QLatin1Char('/'));
}

StoreError cannotSet(const QString &path, const QString &cause, const QString &remedy)
{
    return StoreError{QStringLiteral("Synkmappen kunde inte väljas."), path, cause, remedy};
}

// Why a folder cannot be the database's sync folder: the engine would carry the database itself
// (a file in use, which a copy taken while it is written would tear) or the drafts and what sync
// remembers, which are this machine's alone.
std::optional<StoreError> refusal(const QString &databasePath, const QString &folder)
{
    const QString chooseAnother = QStringLiteral("Välj en egen mapp som synkmotorn delar mellan "
                                                 "datorerna, till exempel ~/Synk/Zentavo.");
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir())
        return cannotSet(folder, QStringLiteral("det är ingen mapp"), chooseAnother);
    const QString chosen = runtime::fileIdentity(folder);
    const QString database = runtime::fileIdentity(databasePath);
    const QString databaseFolder = QFileInfo(database).path();
    if (chosen == databaseFolder)
        return cannotSet(folder,
                         QStringLiteral("det är databasens egen mapp: synkmotorn skulle då "
                                        "kopiera memo.mdb medan Zentavo skriver i den"),
                         chooseAnother);
    if (within(databaseFolder, chosen))
        return cannotSet(folder,
                         QStringLiteral("mappen rymmer databasen %1: synkmotorn skulle då "
                                        "kopiera den medan Zentavo skriver i den")
                             .arg(database),
                         chooseAnother);
    for (const QLatin1StringView kind : {QLatin1StringView("drafts"), QLatin1StringView("sync")}) {
        const QString own = runtime::fileIdentity(stateFolderOf(databasePath, kind));
        if (within(chosen, own) || within(own, chosen))
            return cannotSet(folder,
                             QStringLiteral("mappen är, rymmer eller ligger i Zentavos egen mapp "
                                            "%1 för utkast och synkning, som hör till den här "
                                            "datorn")
                                 .arg(own),
                             chooseAnother);
    }
    return std::nullopt;
}

} // namespace

QString syncSettingFile(const QString &databasePath)
{
    return configFileOf(databasePath, QLatin1StringView("sync"));
}

std::optional<QString> syncFolderFor(const QString &databasePath)
{
    QFile file(syncSettingFile(databasePath));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString folder = QString::fromUtf8(file.readAll());
    if (!folder.endsWith(QLatin1Char('\n')))
        return std::nullopt; // not written whole: never, as it is replaced whole
    folder.chop(1);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

Result<Done> setSyncFolder(const QString &databasePath, const QString &folder)
{
    if (std::optional<StoreError> refused = refusal(databasePath, folder))
        return *refused;
    const QString setting = syncSettingFile(databasePath);
    const auto failed = [&setting](const files::FileError &error) {
        return cannotSet(error.path, error.wording(),
                         QStringLiteral("Kontrollera att du får skriva i mappen %1.")
                             .arg(QFileInfo(setting).path()));
    };
    if (const files::Result<Done> made = files::makePrivateFolder(QFileInfo(setting).path()); !made)
        return failed(made.error());
    // A folder not there yet is made, readable by the user alone; one that is keeps its rights.
    if (const files::Result<Done> made = files::makePrivateFolder(folder); !made)
        return cannotSet(made.error().path, made.error().wording(),
                         QStringLiteral("Välj en mapp du får skriva i."));
    const QByteArray line = QFileInfo(folder).absoluteFilePath().toUtf8() + '\n';
    if (const files::Result<Done> written = files::writeWhole(setting, line, S_IRUSR | S_IWUSR);
        !written)
        return failed(written.error());
    return Done{};
}

Result<Done> endSync(const QString &databasePath)
{
    if (const files::Result<Done> removed = files::removeFile(syncSettingFile(databasePath));
        !removed)
        return StoreError{QStringLiteral("Synkningen kunde inte avslutas."), removed.error().path,
                          removed.error().wording(),
                          QStringLiteral("Kontrollera att du får skriva i mappen.")};
    return Done{};
}

} // namespace store
