#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// An ini file held in memory.
//  - The encoding comes from a byte-order mark (UTF-8, UTF-16 LE/BE), else the system code page.
//  - Lines are trimmed; empty lines and lines starting with ";" are ignored.
//  - "[name]" opens a section; "key=value" inside a section is split at the first "=", both trimmed,
//    quotes kept. Lines before the first section and lines without "=" are ignored.
//  - Names match without regard to case; when a section or key repeats, the first one is used.
class ZeltIniFile {
public:
    ZeltIniFile() = default;

    // A missing file (or a folder of that name) reads as empty. A file that exists but cannot be
    // read raises EZeltError.
    static ZeltIniFile fromFile(const QString& path);
    static ZeltIniFile fromBytes(const QByteArray& bytes);
    static QString decodeText(const QByteArray& bytes);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    // A key present with an empty value gives the empty text, not `def`.
    QString ReadString(const QString& section, const QString& key, const QString& def = QString()) const;

    void WriteString(const QString& section, const QString& key, const QString& value);
    // Written in the system code page, through a temporary file, so a reader never sees half a file.
    void SaveToFile(const QString& path) const;

private:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        QList<Entry> entries;
    };
    const Section* findSection(const QString& name) const;
    QList<Section> FSections;
};
