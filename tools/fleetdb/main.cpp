// odolink-fleetdb: builds an embedded database folder from a fleet description (JSON).
#include "FleetDB.h"
#include "ZeltError.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    bool withoutTmp = false, withoutNparc0 = false, force = false;
    QStringList positional;
    for (const QString& arg : args) {
        if (arg == u"--without-tmp-nartobj")
            withoutTmp = true;
        else if (arg == u"--without-nparc0")
            withoutNparc0 = true;
        else if (arg == u"--force")
            force = true;
        else if (arg == u"-h" || arg == u"--help") {
            positional.clear();
            break;
        } else
            positional.append(arg);
    }
    if (positional.size() != 2) {
        std::fprintf(stderr,
                     "usage: odolink-fleetdb DESCRIPTION.json FOLDER [--force] [--without-tmp-nartobj] "
                     "[--without-nparc0]\n"
                     "Writes FOLDER/<company>.sqlite with NPARCAUT, NPARC0, TMP_NARTOBJ and "
                     "SEQ_NPARC0_CODNPARC0.\n");
        return 2;
    }
    try {
        QFile file(positional[0]);
        if (!file.open(QIODevice::ReadOnly))
            throw EZeltError(QStringLiteral("cannot read \"%1\": %2").arg(positional[0], file.errorString()));
        TFleetDescription description = FleetFromJson(file.readAll());
        description.Options.WithTmpNartObj = description.Options.WithTmpNartObj && !withoutTmp;
        description.Options.WithNparc0 = description.Options.WithNparc0 && !withoutNparc0;
        description.Options.Overwrite = force;
        const QString path = BuildFleetDatabase(positional[1], description);
        std::printf("%s\n", qUtf8Printable(path));
        return 0;
    } catch (const EZeltError& e) {
        std::fprintf(stderr, "odolink-fleetdb: %s\n", e.what());
        return 1;
    }
}
