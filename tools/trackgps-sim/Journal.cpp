#include "Journal.h"

#include <QJsonDocument>

#include <cstdio>

namespace sim {

bool Journal::open(const QString& path, QString* error) {
    FFile.setFileName(path);
    if (FFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return true;
    *error = FFile.errorString();
    return false;
}

void Journal::write(const QJsonObject& line) {
    if (!FFile.isOpen())
        return;
    const QByteArray text = QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n';
    if (FFile.write(text) != text.size() || !FFile.flush()) {
        // Serving goes on; the journal is a witness, not part of the answer.
        if (!FWarned)
            std::fprintf(stderr, "trackgps-sim: cannot write the journal %s: %s\n",
                         qPrintable(FFile.fileName()), qPrintable(FFile.errorString()));
        FWarned = true;
    }
}

} // namespace sim
