#include "ZeltPersistent.h"

#include "ZeltError.h"
#include "ZeltXmlFields.h"

#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString kRoot = QStringLiteral("ZeltPersistent");
const QString kRow = QStringLiteral("Row");
const QString kVersion = QStringLiteral("1");
// Far beyond any window's settings; a bigger file is not ours.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

QString normalizedName(const QString& text, int size) {
    return text.toUpper().left(size);
}

} // namespace

QString TZeltSettingsTable::Value(const QString& key, const QString& property) const {
    const auto it = FRows.find({normalizedName(key, KeySize), normalizedName(property, PropertySize)});
    return it == FRows.end() ? QString() : it->second;
}

void TZeltSettingsTable::SetValue(const QString& key, const QString& property, const QString& value) {
    const RowKey k{normalizedName(key, KeySize), normalizedName(property, PropertySize)};
    if (value.isEmpty())
        FRows.erase(k);
    else
        FRows[k] = value.left(ValueSize);
}

QByteArray TZeltSettingsTable::ToBytes() const {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeStartElement(kRoot);
    w.writeAttribute(QStringLiteral("version"), kVersion);
    for (const auto& [k, value] : FRows) {
        w.writeEmptyElement(kRow);
        ZeltXmlFields::Write(w, QStringLiteral("Key"), k.first);
        ZeltXmlFields::Write(w, QStringLiteral("Property"), k.second);
        ZeltXmlFields::Write(w, QStringLiteral("Value"), value);
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

std::optional<TZeltSettingsTable> TZeltSettingsTable::FromBytes(const QByteArray& bytes) {
    TZeltSettingsTable table;
    QXmlStreamReader r(bytes);
    bool rootSeen = false;
    bool rootClosed = false;
    int depth = 0;
    while (!r.atEnd()) {
        const auto token = r.readNext();
        switch (token) {
        case QXmlStreamReader::StartElement: {
            ++depth;
            if (depth == 1) {
                if (r.name() != kRoot || r.attributes().value(QStringLiteral("version")) != kVersion)
                    return std::nullopt;
                rootSeen = true;
                break;
            }
            if (depth != 2 || r.name() != kRow)
                return std::nullopt;
            const auto a = r.attributes();
            const auto key = ZeltXmlFields::Read(a, QStringLiteral("Key"));
            const auto property = ZeltXmlFields::Read(a, QStringLiteral("Property"));
            const auto value = ZeltXmlFields::Read(a, QStringLiteral("Value"));
            if (!key || !property || !value || key->isEmpty() || property->isEmpty())
                return std::nullopt;
            // A row written by hand in lower case reads as ours; a repeated pair keeps its last value.
            table.SetValue(*key, *property, *value);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (--depth == 0)
                rootClosed = true;
            break;
        case QXmlStreamReader::Characters:
            if (!r.isWhitespace())
                return std::nullopt;
            break;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            // Not written by us; refused rather than expanded.
            return std::nullopt;
        default:
            break;
        }
    }
    if (r.hasError() || !rootSeen || !rootClosed)
        return std::nullopt;
    return table;
}

bool TZeltSettingsTable::LoadFromFile(const QString& fileName) {
    FRows.clear();
    if (fileName.isEmpty())
        return false;
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    if (f.size() > kMaxFileSize)
        return false;
    auto parsed = FromBytes(f.read(kMaxFileSize + 1));
    if (!parsed)
        return false;
    *this = std::move(*parsed);
    return true;
}

void TZeltSettingsTable::SaveToFile(const QString& fileName) const {
    if (fileName.isEmpty())
        throw EZeltError(QStringLiteral("No settings file name"));
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly))
        throw EZeltError(QStringLiteral("Cannot write %1: %2").arg(fileName, f.errorString()));
    const QByteArray bytes = ToBytes();
    if (f.write(bytes) != bytes.size() || !f.commit())
        throw EZeltError(QStringLiteral("Cannot write %1: %2").arg(fileName, f.errorString()));
}

IZeltReader::~IZeltReader() = default;
IZeltWriter::~IZeltWriter() = default;

TZeltXMLControlReader::TZeltXMLControlReader(const QString& fileName) {
    FLoaded = FTable.LoadFromFile(fileName);
}

QString TZeltXMLControlReader::ReadProperty(const QString& key, const QString& property) {
    return FLoaded ? FTable.Value(key, property) : QString();
}

TZeltXMLControlWriter::TZeltXMLControlWriter(const QString& fileName) : FFileName(fileName) {
    FTable.LoadFromFile(fileName);
}

void TZeltXMLControlWriter::WriteProperty(const QString& key, const QString& property, const QString& value) {
    FTable.SetValue(key, property, value);
}

void TZeltXMLControlWriter::Flush() {
    FTable.SaveToFile(FFileName);
}

TZeltReaderClass TZeltReaderClass::XMLControlReader() {
    return {QStringLiteral("TZeltXMLControlReader"),
            [](const QString& fileName) { return std::make_unique<TZeltXMLControlReader>(fileName); }};
}

TZeltWriterClass TZeltWriterClass::XMLControlWriter() {
    return {QStringLiteral("TZeltXMLControlWriter"),
            [](const QString& fileName) { return std::make_unique<TZeltXMLControlWriter>(fileName); }};
}

namespace {

struct PersistenceState {
    QString path;
    TZeltReaderClass readerClass = TZeltReaderClass::XMLControlReader();
    TZeltWriterClass writerClass = TZeltWriterClass::XMLControlWriter();
    std::unique_ptr<IZeltReader> reader;
    std::unique_ptr<IZeltWriter> writer;
};

PersistenceState& state() {
    static PersistenceState s;
    return s;
}

const QString kUnknownClass = QStringLiteral("Unknown persistence class!");

} // namespace

const QString& TZeltPersistenceConfig::PersistencePath() {
    return state().path;
}

void TZeltPersistenceConfig::SetPersistencePath(const QString& path) {
    auto& s = state();
    if (path == s.path)
        return;
    ReleaseReader();
    ReleaseWriter();
    s.path = path;
}

IZeltReader& TZeltPersistenceConfig::GetReader() {
    auto& s = state();
    if (!s.reader) {
        if (!s.readerClass.OpenFile)
            throw EZeltError(kUnknownClass);
        s.reader = s.readerClass.OpenFile(s.path);
        if (!s.reader)
            throw EZeltError(kUnknownClass);
    }
    return *s.reader;
}

IZeltWriter& TZeltPersistenceConfig::GetWriter() {
    auto& s = state();
    if (!s.writer) {
        if (!s.writerClass.OpenFile)
            throw EZeltError(kUnknownClass);
        s.writer = s.writerClass.OpenFile(s.path);
        if (!s.writer)
            throw EZeltError(kUnknownClass);
    }
    return *s.writer;
}

void TZeltPersistenceConfig::ReleaseReader() {
    state().reader.reset();
}

void TZeltPersistenceConfig::ReleaseWriter() {
    state().writer.reset();
}

bool TZeltPersistenceConfig::HasReader() {
    return bool(state().reader);
}

bool TZeltPersistenceConfig::HasWriter() {
    return bool(state().writer);
}

const TZeltReaderClass& TZeltPersistenceConfig::ReaderClass() {
    return state().readerClass;
}

const TZeltWriterClass& TZeltPersistenceConfig::WriterClass() {
    return state().writerClass;
}

void TZeltPersistenceConfig::SetReaderClass(TZeltReaderClass readerClass) {
    auto& s = state();
    if (readerClass.ClassName != s.readerClass.ClassName ||
        bool(readerClass.OpenFile) != bool(s.readerClass.OpenFile))
        ReleaseReader();
    s.readerClass = std::move(readerClass);
}

void TZeltPersistenceConfig::SetWriterClass(TZeltWriterClass writerClass) {
    auto& s = state();
    if (writerClass.ClassName != s.writerClass.ClassName ||
        bool(writerClass.OpenFile) != bool(s.writerClass.OpenFile))
        ReleaseWriter();
    s.writerClass = std::move(writerClass);
}
