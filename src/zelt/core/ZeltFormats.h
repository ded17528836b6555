#pragma once

#include <QChar>
#include <QDateTime>
#include <QString>

// Process-wide number and date formats. Every date, time and number text the program writes goes
// through these, never through the C or Qt locale, so a regional-settings change cannot alter them.
struct TFormatSettings {
    QChar DateSeparator = u'/';
    QChar TimeSeparator = u':';
    QChar ThousandSeparator = u',';
    QChar DecimalSeparator = u'.';
    QString ShortDateFormat = QStringLiteral("dd/mm/yyyy");

    // The settings as the operating system's regional settings give them.
    static TFormatSettings fromSystem();
};

// The settings in force for the process.
TFormatSettings& FormatSettings();

// Start-up: date separator ".", short date "dd/mm/yyyy", thousands ".", decimal ","; the time
// separator stays the system's.
void FixProcessFormats();

// Date-time pattern in the classic notation: yyyy yy, m mm (month, or minutes right after an hour),
// d dd, h hh, n nn, s ss, z zzz, "/" and ":" for the separators, text in '...' or "..." literal.
QString FormatDateTime(const QString& pattern, const QDateTime& value,
                       const TFormatSettings& fs = FormatSettings());

// Number pattern such as "0.000" or "#,##0.00": "." stands for the decimal separator, a "," in the
// integer part asks for thousands grouping, "0" forces a digit. Rounds half away from zero.
QString FormatFloat(const QString& pattern, double value, const TFormatSettings& fs = FormatSettings());
