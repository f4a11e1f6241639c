// zentavo-newdb PATH: creates an empty note database at PATH, never touching an existing file.

#include "store/NewDatabase.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2 || arguments.at(1).isEmpty()
        || arguments.at(1).startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "Användning: zentavo-newdb SÖKVÄG\n"
                             "Skapar en tom anteckningsdatabas (memo.mdb) på SÖKVÄG.\n");
        return 2;
    }
    if (const store::Result<store::Done> created = store::createEmptyDatabase(arguments.at(1));
        !created) {
        std::fprintf(stderr, "zentavo-newdb: %s\n",
                     created.error().message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
