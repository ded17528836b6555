#include "ZeltError.h"
#include "ZeltIniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QByteArray utf16le(const QString& s, bool bom) {
    QByteArray out = bom ? QByteArray("\xFF\xFE", 2) : QByteArray();
    out.append(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
    return out;
}

QByteArray utf16be(const QString& s) {
    QByteArray out("\xFE\xFF", 2);
    for (QChar c : s) {
        out.append(char(c.unicode() >> 8));
        out.append(char(c.unicode() & 0xFF));
    }
    return out;
}

} // namespace

class TestZeltIniFile final : public QObject {
    Q_OBJECT
private slots:
    void readString_data();
    void readString();
    void encodings_data();
    void encodings();
    void missingFileReadsEmpty();
    void folderReadsEmpty();
    void unreadableFileRaises();
    void writeThenRead();
};

void TestZeltIniFile::readString_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QString def = QStringLiteral("<default>");
    QTest::newRow("plain value") << QByteArray("[Configurari]\nNumeFirma=ACME\n") << "NumeFirma" << "ACME";
    QTest::newRow("blanks around key, equals and value")
        << QByteArray("[Configurari]\n   NumeFirma   =   ACME  \t\n") << "NumeFirma" << "ACME";
    QTest::newRow("blanks inside the value kept") << QByteArray("[Configurari]\nNumeFirma=AC ME\n") << "NumeFirma"
                                                  << "AC ME";
    QTest::newRow("section and key in another case")
        << QByteArray("[CONFIGURARI]\nnumefirma=ACME\n") << "NumeFirma" << "ACME";
    QTest::newRow("section name trimmed") << QByteArray("[  Configurari ]\nNumeFirma=ACME\n") << "NumeFirma" << "ACME";
    QTest::newRow("comment line sets nothing") << QByteArray("[Configurari]\n;NumeFirma=ACME\n") << "NumeFirma" << def;
    QTest::newRow("indented comment") << QByteArray("[Configurari]\n   ; NumeFirma=ACME\n") << "NumeFirma" << def;
    QTest::newRow("first occurrence wins") << QByteArray("[Configurari]\nNumeFirma=ONE\nNumeFirma=TWO\n")
                                           << "NumeFirma" << "ONE";
    QTest::newRow("first section wins")
        << QByteArray("[Configurari]\nNumeFirma=ONE\n[Configurari]\nNumeFirma=TWO\nTrackGPSUser=u\n") << "TrackGPSUser"
        << def;
    QTest::newRow("quotes kept") << QByteArray("[Configurari]\nNumeFirma=\"ACME\"\n") << "NumeFirma" << "\"ACME\"";
    QTest::newRow("present but empty is not the default") << QByteArray("[Configurari]\nOraDbName=\n") << "OraDbName"
                                                          << "";
    QTest::newRow("split at the first equals") << QByteArray("[Configurari]\nTrackGPSParola=a=b=c\n")
                                               << "TrackGPSParola" << "a=b=c";
    QTest::newRow("lines before the first section ignored") << QByteArray("NumeFirma=ACME\n[Configurari]\n")
                                                            << "NumeFirma" << def;
    QTest::newRow("other section not read") << QByteArray("[Alta]\nNumeFirma=ACME\n") << "NumeFirma" << def;
    QTest::newRow("line without equals ignored") << QByteArray("[Configurari]\nNumeFirma\n") << "NumeFirma" << def;
    QTest::newRow("CRLF line ends") << QByteArray("[Configurari]\r\nNumeFirma=ACME\r\n") << "NumeFirma" << "ACME";
    QTest::newRow("CR-only line ends") << QByteArray("[Configurari]\rNumeFirma=ACME\r") << "NumeFirma" << "ACME";
    QTest::newRow("last line without end") << QByteArray("[Configurari]\nNumeFirma=ACME") << "NumeFirma" << "ACME";
    QTest::newRow("empty file") << QByteArray() << "NumeFirma" << def;
    QTest::newRow("binary garbage") << QByteArray("\x00\x01\xFF\xFE\x80[\x00]=", 10) << "NumeFirma" << def;
}

void TestZeltIniFile::readString() {
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const ZeltIniFile ini = ZeltIniFile::fromBytes(content);
    QCOMPARE(ini.ReadString(QStringLiteral("Configurari"), key, QStringLiteral("<default>")), expected);
}

void TestZeltIniFile::encodings_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    const QString text = QStringLiteral("[Configurari]\r\nNumeFirma=Ștefănescu SRL\r\n");
    const QString name = QStringLiteral("Ștefănescu SRL");
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + text.toUtf8() << name;
    QTest::newRow("UTF-16 LE with BOM") << utf16le(text, true) << name;
    QTest::newRow("UTF-16 BE with BOM") << utf16be(text) << name;
    QTest::newRow("UTF-8 without BOM") << text.toUtf8() << name;
    // Not valid UTF-8: read as 8-bit text, nothing dropped.
    QTest::newRow("Latin-1 bytes") << QByteArray("[Configurari]\nNumeFirma=Caf\xE9 M\xFCller\n")
                                   << QStringLiteral("Café Müller");
}

void TestZeltIniFile::encodings() {
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    QCOMPARE(ZeltIniFile::fromBytes(content).ReadString(QStringLiteral("configurari"), QStringLiteral("NUMEFIRMA")),
             expected);
}

void TestZeltIniFile::missingFileReadsEmpty() {
    QTemporaryDir dir;
    const ZeltIniFile ini = ZeltIniFile::fromFile(dir.filePath(QStringLiteral("Odolink.ini")));
    QVERIFY(!ini.SectionExists(QStringLiteral("Configurari")));
    QCOMPARE(ini.ReadString(QStringLiteral("Configurari"), QStringLiteral("OraDbName"), QStringLiteral("ZeltDB2")),
             QStringLiteral("ZeltDB2"));
}

void TestZeltIniFile::folderReadsEmpty() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Odolink.ini")));
    const ZeltIniFile ini = ZeltIniFile::fromFile(dir.filePath(QStringLiteral("Odolink.ini")));
    QVERIFY(!ini.SectionExists(QStringLiteral("Configurari")));
}

void TestZeltIniFile::unreadableFileRaises() {
    if (::geteuid() == 0)
        QSKIP("root reads every file");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Odolink.ini"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Configurari]\n");
    f.close();
    QVERIFY(f.setPermissions(QFileDevice::WriteOwner));
    QVERIFY_THROWS_EXCEPTION(EZeltError, ZeltIniFile::fromFile(path));
}

void TestZeltIniFile::writeThenRead() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("DESIGN.INI"));
    ZeltIniFile ini;
    ini.WriteString(QStringLiteral("ZLT_FORMS_PALETTE"), QStringLiteral("1.1"), QStringLiteral("8421504"));
    ini.WriteString(QStringLiteral("zlt_forms_palette"), QStringLiteral("1.1"), QStringLiteral("255"));
    ini.WriteString(QStringLiteral("ZLT_FORMS_PALETTE"), QStringLiteral("2.3"), QStringLiteral("Ăă"));
    ini.SaveToFile(path);
    const ZeltIniFile back = ZeltIniFile::fromFile(path);
    QCOMPARE(back.ReadString(QStringLiteral("ZLT_FORMS_PALETTE"), QStringLiteral("1.1")), QStringLiteral("255"));
    QCOMPARE(back.ReadString(QStringLiteral("ZLT_FORMS_PALETTE"), QStringLiteral("2.3")), QStringLiteral("Ăă"));
}

QTEST_GUILESS_MAIN(TestZeltIniFile)
#include "tst_zeltinifile.moc"
