#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// The run's log lines, kept in memory and written to one file when the window closes.
class TRunLog {
public:
    // "[hh:nn:ss] message" with the process formats' time separator.
    static QString Line(const QDateTime& at, const QString& message);
    // <dir>/TrackGPS_yyyymmdd_hh_nn_ss.log, named after the run's start.
    static QString FileName(const QString& dir, const QDateTime& openDate);

    bool Released() const { return !FLines.has_value(); }
    // Lines added after release are dropped: the file has been written.
    bool Add(const QString& line);
    const QStringList& Lines() const;

    // Writes every line followed by CR LF in the system code page, no byte-order mark, overwriting.
    // The list is released whether or not the write succeeds; a failure raises EZeltError.
    void WriteAndRelease(const QString& path);

private:
    std::optional<QStringList> FLines = QStringList();
};
