// The settings store: the keyed table, its file, the reader and writer, the process-wide config.
#include "ZeltError.h"
#include "ZeltPersistent.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The writer child: saves generation after generation of a table whose rows all carry the
// generation's number, until it is killed.
constexpr int kChildRows = 400;

int runWriterChild(const QString& path) {
    for (int generation = 1;; ++generation) {
        TZeltXMLControlWriter w(path);
        for (int row = 0; row < kChildRows; ++row)
            w.WriteProperty(QStringLiteral("FORM@DEZERIRAZ_0"), QStringLiteral("P%1").arg(row),
                            QStringLiteral("%1").arg(generation));
        w.Flush();
        if (generation == 1) {
            std::fputs("ready\n", stdout);
            std::fflush(stdout);
        }
    }
}

// Every row of a child's file carries the same generation; 0 when the file is not whole.
int generationOf(const QString& path) {
    const auto table = TZeltSettingsTable::FromBytes(readAll(path));
    if (!table || table->RowCount() != kChildRows)
        return 0;
    const QString first = table->Value(QStringLiteral("FORM@DEZERIRAZ_0"), QStringLiteral("P0"));
    for (int row = 1; row < kChildRows; ++row)
        if (table->Value(QStringLiteral("FORM@DEZERIRAZ_0"), QStringLiteral("P%1").arg(row)) != first)
            return 0;
    return first.toInt();
}

} // namespace

class TestZeltPersistent final : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void writerEdits_data();
    void writerEdits();
    void namesAreUpperCasedAndValuesKept_data();
    void namesAreUpperCasedAndValuesKept();
    void unreadableFilesReadAsEmpty_data();
    void unreadableFilesReadAsEmpty();
    void unreadableFileIsReplacedAtFlush();
    void flushToUnwritablePlaceRaisesAndKeepsOldFile();
    void configReleasesOnPathAndClassChange();
    void classNotOfFileKindIsRefused_data();
    void classNotOfFileKindIsRefused();
    void killedWriterLeavesOldOrNewFile();

private:
    QTemporaryDir* FDir = nullptr;
    QString path(const QString& name = QStringLiteral("DEzeriRAZ_0")) const { return FDir->filePath(name); }
};

void TestZeltPersistent::init() {
    FDir = new QTemporaryDir;
    QVERIFY(FDir->isValid());
    TZeltPersistenceConfig::SetReaderClass(TZeltReaderClass::XMLControlReader());
    TZeltPersistenceConfig::SetWriterClass(TZeltWriterClass::XMLControlWriter());
    TZeltPersistenceConfig::SetPersistencePath(QString());
}

void TestZeltPersistent::cleanup() {
    TZeltPersistenceConfig::ReleaseReader();
    TZeltPersistenceConfig::ReleaseWriter();
    delete FDir;
    FDir = nullptr;
}

void TestZeltPersistent::writerEdits_data() {
    // Rows before (property=value, ";"-separated), the write, rows after flush and re-read.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("after");
    QTest::newRow("new row appended") << "WIDTH=554"
                                      << "Height"
                                      << "203"
                                      << "HEIGHT=203;WIDTH=554";
    QTest::newRow("existing row takes the new value") << "WIDTH=554"
                                                      << "width"
                                                      << "600"
                                                      << "WIDTH=600";
    QTest::newRow("empty value deletes an existing row") << "COLOR=255;WIDTH=554"
                                                         << "Color"
                                                         << ""
                                                         << "WIDTH=554";
    QTest::newRow("empty value for a missing row adds nothing") << "WIDTH=554"
                                                                << "Color"
                                                                << ""
                                                                << "WIDTH=554";
}

void TestZeltPersistent::writerEdits() {
    QFETCH(QString, before);
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(QString, after);
    const QString key = QStringLiteral("Form@DEzeriRAZ_0");
    {
        TZeltXMLControlWriter w(path());
        for (const QString& row : before.split(u';', Qt::SkipEmptyParts))
            w.WriteProperty(key, row.section(u'=', 0, 0), row.section(u'=', 1));
        w.Flush();
    }
    {
        TZeltXMLControlWriter w(path());
        w.WriteProperty(key, property, value);
        w.Flush();
    }
    const auto table = TZeltSettingsTable::FromBytes(readAll(path()));
    QVERIFY(table);
    QStringList rows;
    for (const char* p : {"COLOR", "HEIGHT", "WIDTH"}) {
        const QString v = table->Value(key, p);
        if (!v.isEmpty())
            rows << QString::fromLatin1(p) + u'=' + v;
    }
    QCOMPARE(rows.join(u';'), after);
    QCOMPARE(table->RowCount(), int(rows.size()));
}

void TestZeltPersistent::namesAreUpperCasedAndValuesKept_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("plain number") << "554";
    QTest::newRow("markup characters") << "<a href=\"x\">&amp;</a>";
    QTest::newRow("line breaks and tabs") << "a\r\nb\tc";
    QTest::newRow("control characters XML cannot carry") << QStringLiteral("a\x01"
                                                                           "b\x1f");
    QTest::newRow("non-Latin text") << QStringLiteral("ăîșț \u4e2d");
}

void TestZeltPersistent::namesAreUpperCasedAndValuesKept() {
    QFETCH(QString, value);
    {
        TZeltXMLControlWriter w(path());
        w.WriteProperty(QStringLiteral("Form@DEzeriRAZ_0"), QStringLiteral("Caption"), value);
        w.Flush();
    }
    TZeltXMLControlReader r(path());
    QVERIFY(r.Loaded());
    QCOMPARE(r.ReadProperty(QStringLiteral("FORM@DEZERIRAZ_0"), QStringLiteral("CAPTION")), value);
    QCOMPARE(r.ReadProperty(QStringLiteral("form@dezeriraz_0"), QStringLiteral("caption")), value);
    const QByteArray bytes = readAll(path());
    QVERIFY(bytes.contains("FORM@DEZERIRAZ_0"));
    QVERIFY(bytes.contains("CAPTION"));
    QVERIFY(!bytes.contains("Caption"));
}

void TestZeltPersistent::unreadableFilesReadAsEmpty_data() {
    QTest::addColumn<QByteArray>("content");
    QByteArray whole = TZeltSettingsTable().ToBytes();
    {
        TZeltSettingsTable t;
        t.SetValue(QStringLiteral("FORM@DEZERIRAZ_0"), QStringLiteral("WIDTH"), QStringLiteral("554"));
        t.SetValue(QStringLiteral("FORM@DEZERIRAZ_0"), QStringLiteral("COLOR"), QStringLiteral("255"));
        whole = t.ToBytes();
    }
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("truncated in a row") << whole.left(whole.indexOf("WIDTH") + 3);
    QTest::newRow("truncated before the closing tag") << whole.left(whole.lastIndexOf("</"));
    QTest::newRow("binary garbage") << QByteArray("\x00\x01\xff\xfe garbage \x80\x81", 16);
    QTest::newRow("another XML document") << QByteArray("<?xml version=\"1.0\"?><DATAPACKET/>");
    QTest::newRow("a row without a property")
        << QByteArray("<ZeltPersistent version=\"1\"><Row Key=\"FORM@X\" Value=\"1\"/></ZeltPersistent>");
    QTest::newRow("a later version") << QByteArray(
        "<ZeltPersistent version=\"2\"><Row Key=\"K\" Property=\"P\" Value=\"1\"/></ZeltPersistent>");
    QTest::newRow("an entity declaration")
        << QByteArray("<!DOCTYPE z [<!ENTITY e \"x\">]><ZeltPersistent version=\"1\">"
                      "<Row Key=\"K\" Property=\"P\" Value=\"&e;\"/></ZeltPersistent>");
}

void TestZeltPersistent::unreadableFilesReadAsEmpty() {
    QFETCH(QByteArray, content);
    writeAll(path(), content);
    TZeltXMLControlReader r(path());
    QVERIFY(!r.Loaded());
    QCOMPARE(r.ReadProperty(QStringLiteral("FORM@DEZERIRAZ_0"), QStringLiteral("WIDTH")), QString());
    TZeltXMLControlReader missing(path(QStringLiteral("no such file")));
    QVERIFY(!missing.Loaded());
}

void TestZeltPersistent::unreadableFileIsReplacedAtFlush() {
    writeAll(path(), "\x01garbage");
    TZeltXMLControlWriter w(path());
    QVERIFY(w.Table().IsEmpty());
    w.WriteProperty(QStringLiteral("FORM@DEZERIRAZ_0"), QStringLiteral("TOP"), QStringLiteral("282"));
    w.Flush();
    TZeltXMLControlReader r(path());
    QVERIFY(r.Loaded());
    QCOMPARE(r.ReadProperty(QStringLiteral("FORM@DEZERIRAZ_0"), QStringLiteral("TOP")),
             QStringLiteral("282"));
}

void TestZeltPersistent::flushToUnwritablePlaceRaisesAndKeepsOldFile() {
    TZeltXMLControlWriter w(FDir->filePath(QStringLiteral("no/such/folder/DEzeriRAZ_0")));
    w.WriteProperty(QStringLiteral("K"), QStringLiteral("P"), QStringLiteral("1"));
    QVERIFY_THROWS_EXCEPTION(EZeltError, w.Flush());

    // A folder in the file's place: the old "file" is left alone.
    QVERIFY(QDir(FDir->path()).mkdir(QStringLiteral("DEzeriRAZ_0")));
    TZeltXMLControlWriter onFolder(path());
    onFolder.WriteProperty(QStringLiteral("K"), QStringLiteral("P"), QStringLiteral("1"));
    QVERIFY_THROWS_EXCEPTION(EZeltError, onFolder.Flush());
    QVERIFY(QFileInfo(path()).isDir());
}

void TestZeltPersistent::configReleasesOnPathAndClassChange() {
    TZeltPersistenceConfig::SetPersistencePath(path());
    IZeltWriter& w = TZeltPersistenceConfig::GetWriter();
    QCOMPARE(&TZeltPersistenceConfig::GetWriter(), &w);
    w.WriteProperty(QStringLiteral("FORM@A_0"), QStringLiteral("LEFT"), QStringLiteral("7"));
    w.Flush();
    QCOMPARE(
        TZeltPersistenceConfig::GetReader().ReadProperty(QStringLiteral("form@a_0"), QStringLiteral("left")),
        QStringLiteral("7"));

    TZeltPersistenceConfig::SetPersistencePath(path());
    QVERIFY(TZeltPersistenceConfig::HasReader());
    TZeltPersistenceConfig::SetPersistencePath(path(QStringLiteral("B_0")));
    QVERIFY(!TZeltPersistenceConfig::HasReader());
    QVERIFY(!TZeltPersistenceConfig::HasWriter());
    QCOMPARE(
        TZeltPersistenceConfig::GetReader().ReadProperty(QStringLiteral("FORM@A_0"), QStringLiteral("LEFT")),
        QString());

    TZeltPersistenceConfig::SetReaderClass(TZeltReaderClass::XMLControlReader());
    QVERIFY(TZeltPersistenceConfig::HasReader());
    TZeltPersistenceConfig::SetReaderClass(
        {QStringLiteral("TMyReader"), TZeltReaderClass::XMLControlReader().OpenFile});
    QVERIFY(!TZeltPersistenceConfig::HasReader());
}

void TestZeltPersistent::classNotOfFileKindIsRefused_data() {
    QTest::addColumn<bool>("reader");
    QTest::newRow("reader") << true;
    QTest::newRow("writer") << false;
}

void TestZeltPersistent::classNotOfFileKindIsRefused() {
    QFETCH(bool, reader);
    TZeltPersistenceConfig::SetPersistencePath(path());
    try {
        if (reader) {
            TZeltPersistenceConfig::SetReaderClass({QStringLiteral("TZeltRegistryReader"), nullptr});
            TZeltPersistenceConfig::GetReader();
        } else {
            TZeltPersistenceConfig::SetWriterClass({QStringLiteral("TZeltRegistryWriter"), nullptr});
            TZeltPersistenceConfig::GetWriter();
        }
        QFAIL("no error raised");
    } catch (const EZeltError& e) {
        QCOMPARE(e.Message(), QStringLiteral("Unknown persistence class!"));
    }
    QVERIFY(!QFile::exists(path()));
}

void TestZeltPersistent::killedWriterLeavesOldOrNewFile() {
    auto* rng = QRandomGenerator::global();
    for (int round = 0; round < 12; ++round) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer-child"), path()});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        // Somewhere inside one of the next saves.
        QThread::usleep(rng->bounded(1000, 40000));
        child.kill();
        QVERIFY(child.waitForFinished());
        const int generation = generationOf(path());
        QVERIFY2(generation > 0, qPrintable(QStringLiteral("round %1: the file is not whole").arg(round)));
        for (const QString& stale :
             QDir(FDir->path()).entryList({QStringLiteral("DEzeriRAZ_0?*")}, QDir::Files))
            QFile::remove(FDir->filePath(stale));
    }
}

int main(int argc, char** argv) {
    if (argc == 3 && QByteArray(argv[1]) == "--writer-child") {
        QCoreApplication app(argc, argv);
        return runWriterChild(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TestZeltPersistent t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_zeltpersistent.moc"
