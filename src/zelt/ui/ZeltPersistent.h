#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>

// Per-window settings kept between runs: a keyed table of (key, property, value) texts in one file.
//
// The file is UTF-8 XML of our own:
//   <?xml version="1.0" encoding="UTF-8"?>
//   <ZeltPersistent version="1">
//     <Row Key="FORM@DEZERIRAZ_0" Property="WIDTH" Value="554"/>
//   </ZeltPersistent>
// A field holding characters that XML 1.0 cannot carry is stored as e.g. Value64 (base64 of UTF-8).
// Key and property are kept in upper case; the pair is unique; rows are in (key, property) order.
// A file that is missing, truncated, not ours or otherwise unreadable reads as an empty table;
// the next save replaces it. Saving goes through a temporary file that is renamed over the old
// one, so a reader sees the old content or the new one, never half a file.

// The stored table. Field widths as the settings have always had them: longer texts are cut.
class TZeltSettingsTable {
public:
    static constexpr int KeySize = 200;
    static constexpr int PropertySize = 50;
    static constexpr int ValueSize = 250;

    // The empty text when the pair is absent.
    QString Value(const QString& key, const QString& property) const;
    // An empty value deletes the row (a missing row stays missing).
    void SetValue(const QString& key, const QString& property, const QString& value);
    bool IsEmpty() const { return FRows.empty(); }
    int RowCount() const { return int(FRows.size()); }

    QByteArray ToBytes() const;
    // Nothing for bytes that are not a whole settings document.
    static std::optional<TZeltSettingsTable> FromBytes(const QByteArray& bytes);

    // False when the file is missing or unreadable as settings; the table is then left empty.
    bool LoadFromFile(const QString& fileName);
    // Raises EZeltError when the file cannot be written; the old file is then left as it was.
    void SaveToFile(const QString& fileName) const;

private:
    using RowKey = std::pair<QString, QString>;
    std::map<RowKey, QString> FRows;
};

class IZeltReader {
public:
    virtual ~IZeltReader();
    virtual QString ReadProperty(const QString& key, const QString& property) = 0;
};

class IZeltWriter {
public:
    virtual ~IZeltWriter();
    virtual void WriteProperty(const QString& key, const QString& property, const QString& value) = 0;
    virtual void Flush() = 0;
};

// Reads the settings file as it is at opening; a missing or unreadable file reads as empty.
class TZeltXMLControlReader : public IZeltReader {
public:
    explicit TZeltXMLControlReader(const QString& fileName);
    QString ReadProperty(const QString& key, const QString& property) override;
    bool Loaded() const { return FLoaded; }

private:
    TZeltSettingsTable FTable;
    bool FLoaded = false;
};

// Edits the settings file: opening loads it (an unreadable one as empty), Flush writes it whole.
class TZeltXMLControlWriter : public IZeltWriter {
public:
    explicit TZeltXMLControlWriter(const QString& fileName);
    void WriteProperty(const QString& key, const QString& property, const QString& value) override;
    // Raises EZeltError when the file cannot be written.
    void Flush() override;
    const TZeltSettingsTable& Table() const { return FTable; }

private:
    QString FFileName;
    TZeltSettingsTable FTable;
};

// A reader or writer class as configured in TZeltPersistenceConfig: a name, and for the file kind
// the way to open one on a file name. A class without it is of another kind and cannot be used.
struct TZeltReaderClass {
    QString ClassName;
    std::function<std::unique_ptr<IZeltReader>(const QString& fileName)> OpenFile;
    static TZeltReaderClass XMLControlReader();
};
struct TZeltWriterClass {
    QString ClassName;
    std::function<std::unique_ptr<IZeltWriter>(const QString& fileName)> OpenFile;
    static TZeltWriterClass XMLControlWriter();
};

// Process-wide: the settings path, the configured classes and at most one live reader and writer.
// Only the user-interface thread uses it, and only between GetReader/GetWriter and the matching
// release inside one show or close step.
class TZeltPersistenceConfig {
public:
    static const QString& PersistencePath();
    // A different path releases the live reader and writer.
    static void SetPersistencePath(const QString& path);

    // The live instance, opened on PersistencePath at first use. Raises EZeltError
    // "Unknown persistence class!" when the configured class is not of the file kind.
    static IZeltReader& GetReader();
    static IZeltWriter& GetWriter();
    static void ReleaseReader();
    static void ReleaseWriter();
    static bool HasReader();
    static bool HasWriter();

    static const TZeltReaderClass& ReaderClass();
    static const TZeltWriterClass& WriterClass();
    // A change of class releases the live instance.
    static void SetReaderClass(TZeltReaderClass readerClass);
    static void SetWriterClass(TZeltWriterClass writerClass);
};
