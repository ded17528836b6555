#include "SoapReader.h"
#include "TestContract.h"

#include <QTest>

#include <cmath>

using namespace TestContract;

namespace {

QByteArray envelope(const QByteArray& body) {
    return R"(<s:Envelope xmlns:s="http://www.w3.org/2003/05/soap-envelope"><s:Body>)" + body +
           "</s:Body></s:Envelope>";
}

QByteArray valueReply(const QByteArray& text) {
    return envelope(R"(<GetValueResponse xmlns="urn:test:fleet"><GetValueResult>)" + text +
                    "</GetValueResult></GetValueResponse>");
}

QByteArray pointReply(const QByteArray& fields) {
    return envelope(R"(<GetPointResponse xmlns="urn:test:fleet"><GetPointResult xmlns:b="urn:test:types" )"
                    R"(xmlns:i="http://www.w3.org/2001/XMLSchema-instance">)" +
                    fields + "</GetPointResult></GetPointResponse>");
}

QString errorOf(const QByteArray& xml, const char* op = "GetValue") {
    try {
        TSoapReader::ReadResponse(xml, Fleet(), Op(op));
    } catch (const EZeltError& e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

std::unique_ptr<TPoint> readPoint(const QByteArray& fields) {
    TSoapValue v = TSoapReader::ReadResponse(pointReply(fields), Fleet(), Op("GetPoint"));
    auto& obj = std::get<std::unique_ptr<TRemotable>>(v);
    return std::unique_ptr<TPoint>(dynamic_cast<TPoint*>(obj.release()));
}

const QByteArray laughs = R"(<?xml version="1.0"?>
<!DOCTYPE lolz [
 <!ENTITY lol "lol">
 <!ENTITY lol2 "&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;">
 <!ENTITY lol3 "&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;">
 <!ENTITY lol4 "&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;">
 <!ENTITY lol5 "&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;">
 <!ENTITY lol6 "&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;">
 <!ENTITY lol7 "&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;">
 <!ENTITY lol8 "&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;">
 <!ENTITY lol9 "&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;">
]>
)";

const QByteArray soap11Reply =
    R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/"><s:Body/></s:Envelope>)";
const QByteArray noBodyReply = R"(<s:Envelope xmlns:s="http://www.w3.org/2003/05/soap-envelope"/>)";

const QString dtdRefused =
    QStringLiteral("The reply contains a document type declaration (DTD); it was refused.");

} // namespace

class TestSoapReader final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Register(); }

    void doubles_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("point as decimal separator") << QByteArray("12.5") << 12.5;
        QTest::newRow("exponent") << QByteArray("-1.5E3") << -1500.0;
        QTest::newRow("blanks around") << QByteArray(" 7 ") << 7.0;
        QTest::newRow("INF") << QByteArray("INF") << std::numeric_limits<double>::infinity();
        QTest::newRow("inf in small letters") << QByteArray("inf") << std::numeric_limits<double>::infinity();
        QTest::newRow("-INF") << QByteArray("-Inf") << -std::numeric_limits<double>::infinity();
        QTest::newRow("NaN in any case") << QByteArray("nAN") << std::numeric_limits<double>::quiet_NaN();
    }
    void doubles() {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        const double read =
            std::get<double>(TSoapReader::ReadResponse(valueReply(text), Fleet(), Op("GetValue")));
        if (std::isnan(value))
            QVERIFY(std::isnan(read));
        else
            QCOMPARE(read, value);
    }

    void badDoubles_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("decimal comma") << QByteArray("12,5");
        QTest::newRow("thousands separator") << QByteArray("1,000.5");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("word") << QByteArray("twelve");
    }
    void badDoubles() {
        QFETCH(QByteArray, text);
        QCOMPARE(
            errorOf(valueReply(text)),
            QStringLiteral("\"%1\" is not a valid floating point value.").arg(QString::fromLatin1(text)));
    }

    void unreadableReplies_data() {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("message");
        QTest::newRow("SOAP 1.1 envelope") << soap11Reply
                                           << "The reply is not a SOAP 1.2 message: expected the element "
                                              "{http://www.w3.org/2003/05/soap-envelope}Envelope, found "
                                              "{http://schemas.xmlsoap.org/soap/envelope/}Envelope.";
        QTest::newRow("not XML")
            << QByteArray("Service unavailable")
            << "The reply is not a well-formed XML document: Start tag expected. (line 1, column 1)";
        QTest::newRow("truncated after the result")
            << valueReply("12.5").left(valueReply("12.5").size() - 12)
            << "The reply is not a well-formed XML document: Premature end of document. (line 1, column 177)";
        QTest::newRow("empty") << QByteArray() << "The reply is empty.";
        QTest::newRow("no Body") << noBodyReply << "The reply has no SOAP Body.";
        QTest::newRow("billion laughs") << laughs + valueReply("&lol9;") << dtdRefused;
        QTest::newRow("external entity")
            << QByteArray("<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>") + valueReply("&e;")
            << dtdRefused;
        QTest::newRow("DTD inside a fault detail is still a DTD")
            << QByteArray("<!DOCTYPE s:Envelope>") + envelope("<s:Fault/>") << dtdRefused;
    }
    void unreadableReplies() {
        QFETCH(QByteArray, xml);
        QFETCH(QString, message);
        QCOMPARE(errorOf(xml), message);
    }

    void replyWithoutDtdIsRead() {
        // The control for the refused DTD: the same reply with its entity written out.
        QByteArray xml = laughs + valueReply("12.5");
        xml.remove(0, xml.indexOf("<s:Envelope"));
        QCOMPARE(std::get<double>(TSoapReader::ReadResponse(xml, Fleet(), Op("GetValue"))), 12.5);
    }

    void faults_data() {
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("lang");
        const QByteArray code = "<s:Code><s:Value>s:Sender</s:Value></s:Code>";
        const QByteArray detail = R"(<s:Detail><Other xmlns="urn:elsewhere">no &amp; way</Other></s:Detail>)";
        QTest::newRow("reason text") << "<s:Fault>" + code +
                                            R"(<s:Reason><s:Text xml:lang="ro-RO">Parolă greșită</s:Text>)"
                                            R"(<s:Text xml:lang="en">Wrong password</s:Text></s:Reason>)" +
                                            detail + "</s:Fault>"
                                     << QStringLiteral("Parolă greșită") << "s:Sender"
                                     << "ro-RO";
        QTest::newRow("no reason: the detail's XML")
            << "<s:Fault>" + code + detail + "</s:Fault>" << QString::fromUtf8(detail) << "s:Sender"
            << "";
        QTest::newRow("no detail either: the fault's XML")
            << "<s:Fault>" + code + "</s:Fault>" << QString::fromUtf8("<s:Fault>" + code + "</s:Fault>")
            << "s:Sender"
            << "";
    }
    void faults() {
        QFETCH(QByteArray, fault);
        QFETCH(QString, message);
        QFETCH(QString, code);
        QFETCH(QString, lang);
        try {
            TSoapReader::ReadResponse(envelope(fault), Fleet(), Op("GetValue"));
            QFAIL("no error raised");
        } catch (const TFleetFault&) {
            QFAIL("raised as an error class its detail does not name");
        } catch (const ERemotableException& e) {
            QCOMPARE(e.Message(), message);
            QCOMPARE(e.FaultCode(), code);
            QCOMPARE(e.FaultReasonLang(), lang);
        }
    }

    void registeredDetailRaisesItsClass() {
        const QByteArray xml = envelope(R"(<s:Fault><s:Code><s:Value>s:Receiver</s:Value></s:Code>)"
                                        R"(<s:Reason><s:Text xml:lang="en">Denied</s:Text></s:Reason>)"
                                        R"(<s:Node>urn:node</s:Node><s:Role>urn:role</s:Role>)"
                                        R"(<s:Detail><FleetFault xmlns="urn:test:types"><Code>E7</Code>)"
                                        R"(</FleetFault></s:Detail></s:Fault>)");
        try {
            TSoapReader::ReadResponse(xml, Fleet(), Op("GetValue"));
            QFAIL("no error raised");
        } catch (const TFleetFault& e) {
            QCOMPARE(e.Message(), QStringLiteral("Denied"));
            QCOMPARE(e.Code_(), QStringLiteral("E7"));
            QVERIFY(e.Code__Specified());
            QCOMPARE(e.FaultNode(), QStringLiteral("urn:node"));
            QCOMPARE(e.FaultRole(), QStringLiteral("urn:role"));
            QCOMPARE(e.FaultDetail(),
                     QStringLiteral(R"(<s:Detail><FleetFault xmlns="urn:test:types"><Code>E7</Code>)"
                                    R"(</FleetFault></s:Detail>)"));
        }
    }

    void faultBeatsResult() {
        // A Fault as the Body's first element is the answer, whatever follows it.
        const QByteArray xml =
            envelope(R"(<s:Fault><s:Reason><s:Text>Busy</s:Text></s:Reason></s:Fault>)"
                     R"(<GetValueResponse xmlns="urn:test:fleet"><GetValueResult>1</GetValueResult>)"
                     R"(</GetValueResponse>)");
        QCOMPARE(errorOf(xml), QStringLiteral("Busy"));
    }

    void fieldsReadAreSpecified() {
        const auto p =
            readPoint(R"(<b:Amount>12.50</b:Amount><b:Big>-9223372036854775808</b:Big>)"
                      R"(<b:Blob>AAH/</b:Blob><b:Flag>1</b:Flag><b:Inner><b:Label>in</b:Label></b:Inner>)"
                      R"(<b:Name></b:Name><b:Unknown><b:Deep/></b:Unknown><b:Small>32767</b:Small>)"
                      R"(<b:Tags xmlns:c="urn:test:arrays"><c:string>x</c:string><c:string/></b:Tags>)"
                      R"(<b:X>0.1</b:X>)");
        QVERIFY(p->Amount_Specified());
        QCOMPARE(p->Amount()->DecimalString(), QStringLiteral("12.50"));
        QCOMPARE(p->Big(), std::numeric_limits<qint64>::min());
        QCOMPARE(p->Blob(), QByteArray("\x00\x01\xFF", 3));
        QCOMPARE(p->Flag(), true);
        QCOMPARE(p->Inner()->Label(), QStringLiteral("in"));
        QVERIFY(p->Name_Specified());
        QCOMPARE(p->Name(), QString());
        QCOMPARE(p->Small(), qint16(32767));
        QCOMPARE(p->Tags(), QStringList({QStringLiteral("x"), QString()}));
        QCOMPARE(p->X(), 0.1);
        QVERIFY(!p->When_Specified());
        QVERIFY(!p->When());
    }

    void nilNestedObject() {
        const auto p = readPoint(R"(<b:Inner i:nil="true"/>)");
        QVERIFY(p->Inner_Specified());
        QVERIFY(!p->Inner());
    }

    void badFieldValues_data() {
        QTest::addColumn<QByteArray>("fields");
        QTest::addColumn<QString>("message");
        QTest::newRow("16-bit field out of range")
            << QByteArray("<b:Small>32768</b:Small>")
            << "\"32768\" is not a valid integer value for this field.";
        QTest::newRow("boolean") << QByteArray("<b:Flag>yes</b:Flag>")
                                 << "\"yes\" is not a valid boolean value.";
        QTest::newRow("date-time") << QByteArray("<b:When>05.03.2024</b:When>")
                                   << "\"05.03.2024\" is not a valid date-time value.";
        QTest::newRow("base64") << QByteArray("<b:Blob>*</b:Blob>")
                                << "The reply holds invalid base64Binary data.";
        QTest::newRow("element inside a number")
            << QByteArray("<b:X><b:Y/></b:X>") << "Unexpected element \"Y\" inside a simple value.";
    }
    void badFieldValues() {
        QFETCH(QByteArray, fields);
        QFETCH(QString, message);
        QCOMPARE(errorOf(pointReply(fields), "GetPoint"), message);
    }

    void absentResultIsEmpty() {
        const QByteArray xml = envelope(R"(<GetTextResponse xmlns="urn:test:fleet"/>)");
        TSoapValue v = TSoapReader::ReadResponse(xml, Fleet(), Op("GetText"));
        QVERIFY(std::holds_alternative<std::monostate>(v));
    }

    void otherEncodingDeclared() {
        QByteArray xml = R"(<?xml version="1.0" encoding="ISO-8859-1"?>)" +
                         envelope(R"(<GetTextResponse xmlns="urn:test:fleet"><GetTextResult>Bra)"
                                  "\xE7"
                                  R"(ov</GetTextResult></GetTextResponse>)");
        TSoapValue v = TSoapReader::ReadResponse(xml, Fleet(), Op("GetText"));
        QCOMPARE(std::get<QString>(v), QStringLiteral("Braçov"));
    }

    void requestReadByService() {
        const QByteArray xml = envelope(R"(<GetValue xmlns="urn:test:fleet"><name>n</name>)"
                                        R"(<when>2024-01-01T00:00:00Z</when><count>3</count></GetValue>)");
        const TSoapReader::TRequest r = TSoapReader::ReadRequest(xml, Fleet());
        QCOMPARE(r.Operation->Name, QStringLiteral("GetValue"));
        QCOMPARE(std::get<QString>(r.Args[0]), QStringLiteral("n"));
        QCOMPARE(std::get<std::unique_ptr<TXSDateTime>>(r.Args[1])->NativeToXS(),
                 QStringLiteral("2024-01-01T00:00:00.000Z"));
        QCOMPARE(std::get<qint32>(r.Args[2]), 3);
    }
};

QTEST_GUILESS_MAIN(TestSoapReader)
#include "tst_SoapReader.moc"
