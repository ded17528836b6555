#pragma once

#include <QFile>
#include <QJsonObject>
#include <QString>

namespace sim {

// One JSON object per line, appended and flushed line by line, so a reader (a test, `tail -f`)
// sees each request as soon as it is answered.
class Journal {
public:
    // Appends to `path`; false with `error` set when it cannot be opened.
    bool open(const QString& path, QString* error);
    bool isOpen() const { return FFile.isOpen(); }
    void write(const QJsonObject& line);

private:
    QFile FFile;
    bool FWarned = false;
};

} // namespace sim
