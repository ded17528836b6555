#pragma once

#include <QString>
#include <QStringList>

// The messages of a written run log, one per line, without their "[hh:nn:ss] " stamps. Empty when
// the file cannot be read.
QStringList LogMessages(const QString& path);

// The same stamps removed from lines already in memory.
QStringList WithoutStamps(QStringList lines);
