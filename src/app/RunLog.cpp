#include "RunLog.h"

#include "ZeltCodePage.h"
#include "ZeltError.h"
#include "ZeltFormats.h"

#include <QDir>
#include <QFile>

QString TRunLog::Line(const QDateTime& at, const QString& message) {
    return u'[' + FormatDateTime(QStringLiteral("hh:nn:ss"), at) + QStringLiteral("] ") + message;
}

QString TRunLog::FileName(const QString& dir, const QDateTime& openDate) {
    QString base = dir;
    if (!base.endsWith(u'/'))
        base += u'/';
    return base + QStringLiteral("TrackGPS_") + FormatDateTime(QStringLiteral("yyyymmdd"), openDate) + u'_' +
           FormatDateTime(QStringLiteral("hh:nn:ss"), openDate).replace(u':', u'_') + QStringLiteral(".log");
}

bool TRunLog::Add(const QString& line) {
    if (!FLines)
        return false;
    FLines->append(line);
    return true;
}

const QStringList& TRunLog::Lines() const {
    static const QStringList none;
    return FLines ? *FLines : none;
}

void TRunLog::WriteAndRelease(const QString& path) {
    if (!FLines)
        return;
    QString text;
    for (const QString& l : *FLines)
        text += l + QStringLiteral("\r\n");
    FLines.reset();

    QFile f(path);
    const QByteArray bytes = ZeltCodePage::encode(text);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EZeltError(QStringLiteral("Cannot create file \"%1\". %2")
                             .arg(QDir::toNativeSeparators(path), f.errorString()));
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        const QString why = f.errorString();
        f.close();
        throw EZeltError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(QDir::toNativeSeparators(path), why));
    }
    f.close();
    if (f.error() != QFileDevice::NoError)
        throw EZeltError(QStringLiteral("Cannot write file \"%1\". %2")
                             .arg(QDir::toNativeSeparators(path), f.errorString()));
}
