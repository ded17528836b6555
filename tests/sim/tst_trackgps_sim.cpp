// trackgps-sim as a running process: the replies and faults a client gets for the requests
// Odolink writes, the size limit, the WSDL, the journal, HTTPS and orderly termination.
#include "SimProcess.h"
#include "SoapTestEnvelope.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <csignal>
#include <memory>
#include <optional>

using soaptest::Params;

namespace {

const QString kSoap12 = QStringLiteral("http://www.w3.org/2003/05/soap-envelope");
const QString kWsa = QStringLiteral("http://www.w3.org/2005/08/addressing");
const QString kXsi = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
const QString kXml = QStringLiteral("http://www.w3.org/XML/1998/namespace");

QString nsOf(const QString& prefix) {
    if (prefix == QLatin1StringView("dc"))
        return QStringLiteral(
            "http://schemas.datacontract.org/2004/07/Provider.TrackGPS.WebService.DataContracts");
    if (prefix == QLatin1StringView("wse"))
        return QStringLiteral(
            "http://schemas.datacontract.org/2004/07/Provider.TrackGPS.WebService.Entities");
    if (prefix == QLatin1StringView("dae"))
        return QStringLiteral(
            "http://schemas.datacontract.org/2004/07/Provider.TrackGPS.DataAccess.Entities");
    if (prefix == QLatin1StringView("arr"))
        return QStringLiteral("http://schemas.microsoft.com/2003/10/Serialization/Arrays");
    return soaptest::kServiceNs;
}

const char* kFixture = R"({
  "accounts": { "odolink": "s3cret", "other": "pw" },
  "devices": {
    "350000000000001": { "distanceKm": 12.5, "carrierId": 7 },
    "350000000000002": { "kmPerHour": 30, "carrierId": 8,
                         "tech": { "FuelLevel": 12.25, "FuelUsed": 40, "IndexKm": 1000.5 } },
    "350000000000003": { "distanceKm": 1 }
  },
  "carriers": {
    "7": { "CarrierCode": "B-07-XYZ", "CarrierName": "Van", "Address": null, "Latitude": 44.5, "Longitude": 26.0,
           "GPSDate": "2024-05-02T08:15:00+03:00", "EngineEvent": 1,
           "stops": [ { "UserName": "u",
                        "PrecalcData": { "StartDate": "2024-05-02T08:15:00+03:00", "DeviceProblemMobile": true } },
                      { "UserName": "v", "PrecalcData": null } ] },
    "8": { "CarrierCode": "CJ-08-XYZ", "Latitude": 46.77, "Longitude": 23.6,
           "way": [ { "GPSDate": "2024-05-02T08:00:00Z", "LatDecimal": 46.7 } ] }
  }
})";

// Just enough of a DOM to look at replies.
struct XmlNode {
    QString ns, name, text;
    QHash<QString, QString> attributes; // "{ns}name" or "name"
    QList<XmlNode> children;

    const XmlNode* child(const QString& childNs, const QString& childName, int index = 0) const {
        for (const XmlNode& c : children) {
            if (c.ns == childNs && c.name == childName && index-- == 0)
                return &c;
        }
        return nullptr;
    }
    QString attribute(const QString& attrNs, const QString& attrName) const {
        return attributes.value(QStringLiteral("{%1}%2").arg(attrNs, attrName));
    }
};

std::optional<XmlNode> parseXml(const QByteArray& data) {
    QXmlStreamReader xml(data);
    QList<XmlNode> stack;
    std::optional<XmlNode> root;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            XmlNode node{xml.namespaceUri().toString(), xml.name().toString(), {}, {}, {}};
            for (const QXmlStreamAttribute& a : xml.attributes())
                node.attributes.insert(a.namespaceUri().isEmpty()
                                           ? a.name().toString()
                                           : QStringLiteral("{%1}%2").arg(a.namespaceUri(), a.name()),
                                       a.value().toString());
            stack.append(node);
            break;
        }
        case QXmlStreamReader::Characters:
            if (!stack.isEmpty())
                stack.last().text += xml.text();
            break;
        case QXmlStreamReader::EndElement: {
            XmlNode done = stack.takeLast();
            if (stack.isEmpty())
                root = done;
            else
                stack.last().children.append(done);
            break;
        }
        default:
            break;
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return root;
}

// "wse:CarrierLocation#1/wse:CarrierID" below `from`; "@nil" as the last step reads xsi:nil.
std::optional<QString> valueAt(const XmlNode& from, const QString& path) {
    const XmlNode* node = &from;
    for (const QString& step : path.split(u'/')) {
        if (step == QLatin1StringView("@nil"))
            return node->attribute(kXsi, QStringLiteral("nil"));
        const QStringList nameIndex = step.split(u'#');
        const QStringList prefixName = nameIndex[0].split(u':');
        node =
            node->child(nsOf(prefixName[0]), prefixName[1], nameIndex.size() > 1 ? nameIndex[1].toInt() : 0);
        if (!node)
            return std::nullopt;
    }
    return node->text;
}

struct HttpReply {
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorText;
    QByteArray contentType;
    QByteArray body;
};

HttpReply finish(QNetworkReply* reply) {
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    HttpReply r;
    r.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    r.error = reply->error();
    r.errorText = reply->errorString();
    r.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    r.body = reply->readAll();
    reply->deleteLater();
    return r;
}

QNetworkReply* startPost(QNetworkAccessManager& net, const QUrl& url, const QByteArray& contentType,
                         const QByteArray& body, const QSslConfiguration* tls = nullptr) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    if (tls)
        request.setSslConfiguration(*tls);
    return net.post(request, body);
}

HttpReply post(const QUrl& url, const QByteArray& contentType, const QByteArray& body,
               const QSslConfiguration* tls = nullptr) {
    QNetworkAccessManager net;
    return finish(startPost(net, url, contentType, body, tls));
}

HttpReply postOperation(const QUrl& url, const QString& operation, const QByteArray& body) {
    return post(url, soaptest::contentTypeFor(operation), body);
}

QByteArray distanceRequest(const QString& imei, const QString& start, const QString& end,
                           const QString& password = QStringLiteral("s3cret")) {
    return soaptest::envelope(QStringLiteral("GetDistanceByIMEI"), QStringLiteral("username"),
                              QStringLiteral("odolink"), password,
                              {{QStringLiteral("imei"), imei},
                               {QStringLiteral("startDate"), start},
                               {QStringLiteral("endDate"), end}});
}

bool runOpenssl(const QStringList& arguments) {
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"), arguments);
    return openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit &&
           openssl.exitCode() == 0;
}

} // namespace

class TestTrackGpsSim final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void distance_data();
    void distance();
    void replyForms_data();
    void replyForms();
    void textResults_data();
    void textResults();
    void faults_data();
    void faults();
    void requestSizeLimit_data();
    void requestSizeLimit();
    void wsdl();
    void journal();
    void delayedAnswersDoNotHoldOthersBack();
    void https();
    void termination_data();
    void termination();
    void badDataFile_data();
    void badDataFile();

private:
    QString writeFile(const QString& name, const QByteArray& content);

    QTemporaryDir FDir;
    QString FData;
    QString FJournal;
    std::unique_ptr<SimProcess> FSim;
    QUrl FUrl;
};

QString TestTrackGpsSim::writeFile(const QString& name, const QByteArray& content) {
    const QString path = FDir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestTrackGpsSim::initTestCase() {
    QVERIFY(FDir.isValid());
    FData = writeFile(QStringLiteral("fleet.json"), kFixture);
    FJournal = FDir.filePath(QStringLiteral("journal.jsonl"));
    FSim = std::make_unique<SimProcess>();
    QVERIFY2(FSim->StartWith({QStringLiteral("--data"), FData, QStringLiteral("--journal"), FJournal}),
             qPrintable(FSim->Error()));
    FUrl = QUrl(FSim->Url());
    QCOMPARE(FUrl.scheme(), QStringLiteral("http"));
    QCOMPARE(FUrl.host(), QStringLiteral("127.0.0.1"));
    QCOMPARE(FUrl.path(), QStringLiteral("/TrackGPS.WCFService/TrackGPSWs.svc"));
}

void TestTrackGpsSim::distance_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("idElement");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("expected");

    const QString imei = QStringLiteral("imei");
    QTest::newRow("fixed distance, whatever the interval") << "GetDistanceByIMEI" << imei << "350000000000001"
                                                           << "2024-03-05T07:08:09.010+02:00"
                                                           << "2024-04-05T07:08:09.010+03:00"
                                                           << "12.5";
    QTest::newRow("rate times two hours") << "GetDistanceByIMEI" << imei << "350000000000002"
                                          << "2024-03-05T07:08:09.010+02:00"
                                          << "2024-03-05T09:08:09.010+02:00"
                                          << "60";
    QTest::newRow("start after end gives a negative distance")
        << "GetDistanceByIMEI" << imei << "350000000000002"
        << "2024-03-05T09:08:09.010+02:00"
        << "2024-03-05T07:08:09.010+02:00"
        << "-60";
    QTest::newRow("offsets are honoured") << "GetDistanceByIMEI" << imei << "350000000000002"
                                          << "2024-03-05T07:00:00.000+02:00"
                                          << "2024-03-05T06:00:00.000Z"
                                          << "30";
    QTest::newRow("equal instants") << "GetDistanceByIMEI" << imei << "350000000000002"
                                    << "2024-10-27T03:30:00.000+02:00"
                                    << "2024-10-27T03:30:00.000+02:00"
                                    << "0";
    QTest::newRow("by carrier id, through its device") << "GetDistance"
                                                       << "carrierID"
                                                       << "8"
                                                       << "2024-03-05T07:08:09.010+02:00"
                                                       << "2024-03-05T09:08:09.010+02:00"
                                                       << "60";
    QTest::newRow("the Cargus variant") << "GetDistanceByIMEICargus" << imei << "350000000000001"
                                        << "2024-03-05T07:08:09.010+02:00"
                                        << "2024-03-05T09:08:09.010+02:00"
                                        << "12.5";
}

void TestTrackGpsSim::distance() {
    QFETCH(QString, operation);
    QFETCH(QString, idElement);
    QFETCH(QString, id);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, expected);

    const HttpReply reply = postOperation(
        FUrl, operation,
        soaptest::envelope(
            operation, QStringLiteral("username"), QStringLiteral("odolink"), QStringLiteral("s3cret"),
            {{idElement, id}, {QStringLiteral("startDate"), start}, {QStringLiteral("endDate"), end}}));
    QCOMPARE(reply.status, 200);
    QVERIFY2(reply.contentType.startsWith("application/soap+xml"), reply.contentType.constData());
    const std::optional<XmlNode> envelope = parseXml(reply.body);
    QVERIFY2(envelope, reply.body.constData());
    QCOMPARE(envelope->ns, kSoap12);
    QCOMPARE(envelope->name, QStringLiteral("Envelope"));

    const XmlNode* header = envelope->child(kSoap12, QStringLiteral("Header"));
    QVERIFY(header);
    const XmlNode* action = header->child(kWsa, QStringLiteral("Action"));
    QVERIFY(action);
    QCOMPARE(action->text, soaptest::actionOf(operation) + QStringLiteral("Response"));
    QCOMPARE(action->attribute(kSoap12, QStringLiteral("mustUnderstand")), QStringLiteral("1"));
    const XmlNode* relatesTo = header->child(kWsa, QStringLiteral("RelatesTo"));
    QVERIFY(relatesTo);
    QCOMPARE(relatesTo->text, soaptest::kMessageId);

    const XmlNode* body = envelope->child(kSoap12, QStringLiteral("Body"));
    QVERIFY(body);
    const XmlNode* response = body->child(soaptest::kServiceNs, operation + QStringLiteral("Response"));
    QVERIFY(response);
    const XmlNode* result = response->child(soaptest::kServiceNs, operation + QStringLiteral("Result"));
    QVERIFY(result);
    QCOMPARE(result->text, expected);
}

void TestTrackGpsSim::replyForms_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("userElement");
    QTest::addColumn<Params>("params");
    QTest::addColumn<QString>("path"); // below <Op>Result
    QTest::addColumn<QString>("expected");

    const QString user = QStringLiteral("user"), username = QStringLiteral("username");
    const Params interval{{"startDate", "2024-05-01T00:00:00.000+03:00"},
                          {"endDate", "2024-05-03T00:00:00.000+03:00"}};
    auto with = [](Params first, const Params& more) {
        first.append(more);
        return first;
    };

    QTest::newRow("carrier location in its own namespace")
        << "GetCarrierLocation" << username << Params{{"carrierId", "7"}} << "wse:CarrierName"
        << "Van";
    QTest::newRow("a nil text is left out")
        << "GetCarrierLocation" << username << Params{{"carrierId", "7"}} << "wse:Address"
        << "(absent)";
    QTest::newRow("a nil object is sent as nil")
        << "GetCarrierStops" << username << with({{"carrierId", "7"}}, interval)
        << "dae:Stop#1/dae:PrecalcData/@nil"
        << "true";
    QTest::newRow("carrier location by IMEI")
        << "GetCarrierLocationByIMEI" << username << Params{{"imei", "350000000000002"}} << "wse:CarrierCode"
        << "CJ-08-XYZ";
    QTest::newRow("user cars as Car items") << "GetUserCars" << user << Params{} << "dc:Car#1/dc:CarrierId"
                                            << "8";
    QTest::newRow("cars with location as CarrierLocation items")
        << "GetUserCarsWithLocation" << username << Params{} << "wse:CarrierLocation#0/wse:EngineEvent"
        << "1";
    QTest::newRow("chosen carriers") << "GetUserCarriersLocation" << username << Params{{"carrierIds", "8"}}
                                     << "wse:CarrierLocation#0/wse:CarrierCode"
                                     << "CJ-08-XYZ";
    QTest::newRow("stops with their nested data")
        << "GetCarrierStops" << username << with({{"carrierId", "7"}}, interval)
        << "dae:Stop#0/dae:PrecalcData/dae:DeviceProblemMobile"
        << "true";
    QTest::newRow("way coordinates carry their carrier")
        << "GetCarrierWayCoordinates" << username << with({{"carrierId", "8"}}, interval)
        << "dae:GPSCoordinate#0/dae:CarrierID"
        << "8";
    QTest::newRow("technical device information")
        << "GetDeviceInfoByIMEITech" << username << Params{{"imei", "350000000000002"}} << "dae:FuelLevel"
        << "12.25";
    QTest::newRow("device information completed from its carrier")
        << "GetDeviceInformationByIMEI" << username << Params{{"imei", "350000000000002"}}
        << "dae:CarrierCode"
        << "CJ-08-XYZ";
    QTest::newRow("nearest cars as array strings")
        << "GetNearestCarsForGPSCoordinates" << user << Params{{"latitude", "44.4"}, {"longitude", "26.1"}}
        << "dc:NearestCars/arr:string#0"
        << "B-07-XYZ";
}

void TestTrackGpsSim::replyForms() {
    QFETCH(QString, operation);
    QFETCH(QString, userElement);
    QFETCH(Params, params);
    QFETCH(QString, path);
    QFETCH(QString, expected);

    const HttpReply reply =
        postOperation(FUrl, operation,
                      soaptest::envelope(operation, userElement, QStringLiteral("odolink"),
                                         QStringLiteral("s3cret"), params));
    QVERIFY2(reply.status == 200, reply.body.constData());
    const std::optional<XmlNode> envelope = parseXml(reply.body);
    QVERIFY(envelope);
    const XmlNode* result = envelope->child(kSoap12, QStringLiteral("Body"))
                                ->child(soaptest::kServiceNs, operation + QStringLiteral("Response"))
                                ->child(soaptest::kServiceNs, operation + QStringLiteral("Result"));
    QVERIFY(result);
    const std::optional<QString> value = valueAt(*result, path);
    if (expected == QLatin1StringView("(absent)")) {
        QVERIFY2(!value, qPrintable(*value));
        return;
    }
    QVERIFY2(value,
             qPrintable(QStringLiteral("nothing at %1 in %2").arg(path, QString::fromUtf8(reply.body))));
    QCOMPARE(*value, expected);
}

void TestTrackGpsSim::textResults_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("base64");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // of the first item

    const QString user = QStringLiteral("user"), username = QStringLiteral("username");
    const QString od = QStringLiteral("odolink"), pw = QStringLiteral("s3cret");
    QTest::newRow("cars as text") << soaptest::envelope("GetCars", user, od, pw) << "GetCars" << false
                                  << "CarrierCode"
                                  << "B-07-XYZ";
    QTest::newRow("carrier locations as text") << soaptest::envelope("GetCarriersLocation", username, od, pw)
                                               << "GetCarriersLocation" << false << "CarrierCode"
                                               << "B-07-XYZ";
    QTest::newRow("GPS locations as base64")
        << soaptest::envelope("GetGpsLocations", user, od, pw) << "GetGpsLocations" << true << "CarrierCode"
        << "B-07-XYZ";
    QTest::newRow("daily drive report")
        << soaptest::envelope("GetDailyDriveReport", user, od, pw,
                              {{"carrierID", "7"}, {"startDate", "2024-05-01"}, {"endDate", "2024-05-02"}})
        << "GetDailyDriveReport" << false << "DistanceKm"
        << "12.5";
}

void TestTrackGpsSim::textResults() {
    QFETCH(QByteArray, body);
    QFETCH(QString, operation);
    QFETCH(bool, base64);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    const HttpReply reply = postOperation(FUrl, operation, body);
    QVERIFY2(reply.status == 200, reply.body.constData());
    const XmlNode envelope = *parseXml(reply.body);
    const XmlNode* result = envelope.child(kSoap12, QStringLiteral("Body"))
                                ->child(soaptest::kServiceNs, operation + QStringLiteral("Response"))
                                ->child(soaptest::kServiceNs, operation + QStringLiteral("Result"));
    QVERIFY(result);
    const QByteArray json = base64 ? QByteArray::fromBase64(result->text.toLatin1()) : result->text.toUtf8();
    const QJsonArray items = QJsonDocument::fromJson(json).array();
    QVERIFY2(!items.isEmpty(), json.constData());
    QCOMPARE(items.first().toObject().value(key).toVariant().toString(), expected);
}

void TestTrackGpsSim::faults_data() {
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("detail");
    QTest::addColumn<bool>("relates");

    const QByteArray distanceType = soaptest::contentTypeFor(QStringLiteral("GetDistanceByIMEI"));
    const QString t1 = QStringLiteral("2024-03-05T07:08:09.010+02:00");
    const QString od = QStringLiteral("odolink"), pw = QStringLiteral("s3cret"),
                  username = QStringLiteral("username");

    QTest::newRow("wrong password") << distanceType << distanceRequest("350000000000001", t1, t1, "wrong")
                                    << "s:Sender"
                                    << "Invalid user name or password." << true << true;
    QTest::newRow("unknown user") << distanceType
                                  << soaptest::envelope(
                                         "GetDistanceByIMEI", username, "nobody", pw,
                                         {{"imei", "350000000000001"}, {"startDate", t1}, {"endDate", t1}})
                                  << "s:Sender"
                                  << "Invalid user name or password." << true << true;
    QTest::newRow("unknown IMEI") << distanceType << distanceRequest("999", t1, t1) << "s:Sender"
                                  << "Unknown device IMEI '999'." << true << true;
    QTest::newRow("unknown carrier") << soaptest::contentTypeFor("GetCarrierLocation")
                                     << soaptest::envelope("GetCarrierLocation", username, od, pw,
                                                           {{"carrierId", "99"}})
                                     << "s:Sender"
                                     << "Unknown carrier id 99." << true << true;
    QTest::newRow("device fitted to no carrier")
        << soaptest::contentTypeFor("GetCarrierLocationByIMEI")
        << soaptest::envelope("GetCarrierLocationByIMEI", username, od, pw, {{"imei", "350000000000003"}})
        << "s:Receiver"
        << "is not fitted to a carrier" << true << true;
    QTest::newRow("not XML") << distanceType << QByteArray("GetDistanceByIMEI please") << "s:Sender"
                             << "not well-formed XML" << false << false;
    QTest::newRow("markup character in a value")
        << distanceType << distanceRequest("350000000000001", t1, t1, "a&b") << "s:Sender"
        << "not well-formed XML" << false << true;
    QByteArray soap11 = distanceRequest("350000000000001", t1, t1);
    soap11.replace("http://www.w3.org/2003/05/soap-envelope", "http://schemas.xmlsoap.org/soap/envelope/");
    QTest::newRow("SOAP 1.1 envelope") << distanceType << soap11 << "s:Sender"
                                       << "SOAP 1.1" << false << false;
    QTest::newRow("SOAP 1.1 content type")
        << QByteArray("text/xml; charset=utf-8") << distanceRequest("350000000000001", t1, t1) << "s:Sender"
        << "SOAP 1.1" << false << true;
    QTest::newRow("unknown operation") << soaptest::contentTypeFor("GetMileage")
                                       << soaptest::envelope("GetMileage", username, od, pw) << "s:Sender"
                                       << "'GetMileage' is not an operation of ITrackGPS" << false << true;
    QTest::newRow("operation name in another letter case")
        << soaptest::contentTypeFor("getdistancebyimei")
        << soaptest::envelope("getdistancebyimei", username, od, pw,
                              {{"imei", "350000000000001"}, {"startDate", t1}, {"endDate", t1}})
        << "s:Sender"
        << "'getdistancebyimei' is not an operation of ITrackGPS" << false << true;
    QTest::newRow("content type action names another operation")
        << soaptest::contentTypeFor("GetDistance") << distanceRequest("350000000000001", t1, t1) << "s:Sender"
        << "in the content type does not match" << false << true;
    QByteArray headerMismatch = distanceRequest("350000000000001", t1, t1);
    headerMismatch.replace("ITrackGPS/GetDistanceByIMEI</a:Action>", "ITrackGPS/GetCars</a:Action>");
    QTest::newRow("Action header names another operation") << distanceType << headerMismatch << "s:Sender"
                                                           << "Action header does not match" << false << true;
    QTest::newRow("document type declaration")
        << distanceType
        << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE lol [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                      "\"&a;&a;&a;&a;\">]>\n")
               .append(distanceRequest("350000000000001", t1, t1).replace("350000000000001", "&b;"))
        << "s:Sender"
        << "DTDs are not accepted" << false << false;
    QTest::newRow("date-time that is no date-time")
        << distanceType << distanceRequest("350000000000001", QStringLiteral("yesterday"), t1) << "s:Sender"
        << "'yesterday' of the parameter startDate is not a valid xs:dateTime" << false << true;
    QTest::newRow("missing parameter")
        << soaptest::contentTypeFor("GetCarrierLocation")
        << soaptest::envelope("GetCarrierLocation", username, od, pw) << "s:Sender"
        << "parameter carrierId of GetCarrierLocation is missing" << false << true;
}

void TestTrackGpsSim::faults() {
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(QString, code);
    QFETCH(QString, reason);
    QFETCH(bool, detail);
    QFETCH(bool, relates);

    const HttpReply reply = post(FUrl, contentType, body);
    QCOMPARE(reply.status, 500);
    QVERIFY2(reply.contentType.startsWith("application/soap+xml"), reply.contentType.constData());
    const std::optional<XmlNode> envelope = parseXml(reply.body);
    QVERIFY2(envelope, reply.body.constData());
    QCOMPARE(envelope->ns, kSoap12);
    const XmlNode* fault =
        envelope->child(kSoap12, QStringLiteral("Body"))->child(kSoap12, QStringLiteral("Fault"));
    QVERIFY2(fault, reply.body.constData());
    const XmlNode* value =
        fault->child(kSoap12, QStringLiteral("Code"))->child(kSoap12, QStringLiteral("Value"));
    QVERIFY(value);
    QCOMPARE(value->text, code);
    const XmlNode* text =
        fault->child(kSoap12, QStringLiteral("Reason"))->child(kSoap12, QStringLiteral("Text"));
    QVERIFY(text);
    QCOMPARE(text->attribute(kXml, QStringLiteral("lang")), QStringLiteral("en-US"));
    QVERIFY2(text->text.contains(reason), qPrintable(text->text));

    const XmlNode* detailNode = fault->child(kSoap12, QStringLiteral("Detail"));
    QCOMPARE(detailNode != nullptr, detail);
    if (detailNode) {
        const std::optional<QString> message =
            valueAt(*detailNode, QStringLiteral("dc:WebServiceFault/dc:Message"));
        QVERIFY(message);
        QCOMPARE(*message, text->text);
    }
    const XmlNode* relatesTo =
        envelope->child(kSoap12, QStringLiteral("Header"))->child(kWsa, QStringLiteral("RelatesTo"));
    QCOMPARE(relatesTo ? relatesTo->text : QString(), relates ? soaptest::kMessageId : QString());
}

void TestTrackGpsSim::requestSizeLimit_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("status");
    QTest::newRow("exactly 1 MiB is read (and is no XML)") << 1024 * 1024 << 500;
    QTest::newRow("one byte more is refused unread") << 1024 * 1024 + 1 << 413;
    QTest::newRow("far more is refused unread") << 64 * 1024 * 1024 << 413;
}

void TestTrackGpsSim::requestSizeLimit() {
    QFETCH(int, size);
    QFETCH(int, status);
    const HttpReply reply =
        post(FUrl, soaptest::contentTypeFor(QStringLiteral("GetDistanceByIMEI")), QByteArray(size, 'x'));
    QCOMPARE(reply.status, status);

    // The service goes on serving.
    const HttpReply next = postOperation(
        FUrl, QStringLiteral("GetDistanceByIMEI"),
        distanceRequest("350000000000001", "2024-03-05T07:08:09.010+02:00", "2024-03-05T07:08:09.010+02:00"));
    QCOMPARE(next.status, 200);
}

void TestTrackGpsSim::wsdl() {
    QNetworkAccessManager net;
    QUrl url = FUrl;
    url.setQuery(QStringLiteral("wsdl"));
    const HttpReply reply = finish(net.get(QNetworkRequest(url)));
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.contentType.startsWith("text/xml"));
    const std::optional<XmlNode> definitions = parseXml(reply.body);
    QVERIFY(definitions);
    const QString wsdlNs = QStringLiteral("http://schemas.xmlsoap.org/wsdl/");
    const QString soap12Ns = QStringLiteral("http://schemas.xmlsoap.org/wsdl/soap12/");
    QCOMPARE(definitions->name, QStringLiteral("definitions"));
    QCOMPARE(definitions->attributes.value(QStringLiteral("targetNamespace")), soaptest::kServiceNs);

    const XmlNode* binding = definitions->child(wsdlNs, QStringLiteral("binding"));
    QVERIFY(binding);
    QCOMPARE(
        binding->child(soap12Ns, QStringLiteral("binding"))->attributes.value(QStringLiteral("transport")),
        QStringLiteral("http://schemas.xmlsoap.org/soap/http"));
    QHash<QString, QString> actions;
    for (const XmlNode& op : binding->children) {
        if (const XmlNode* soapOp = op.child(soap12Ns, QStringLiteral("operation")))
            actions.insert(op.attributes.value(QStringLiteral("name")),
                           soapOp->attributes.value(QStringLiteral("soapAction")));
    }
    const QStringList operations{"GetNearestCarsForGPSCoordinates",
                                 "GetNearestCars",
                                 "GetAddress",
                                 "GetCars",
                                 "GetUserCars",
                                 "GetUserCarsWithLocation",
                                 "GetDailyDriveReport",
                                 "GetGpsLocations",
                                 "GetCarrierLocation",
                                 "GetCarriersLocation",
                                 "GetCarriersLocationForAuthenticatedUsers",
                                 "GetDistance",
                                 "GetCarrierLocationByIMEI",
                                 "GetDistanceByIMEICargus",
                                 "GetDistanceByIMEI",
                                 "SetAuthorizationToken",
                                 "GetCarrierStops",
                                 "GetCarrierWayCoordinates",
                                 "GetUserCarriersLocation",
                                 "GetDeviceInformationByIMEI",
                                 "GetDeviceInfoByIMEITech"};
    for (const QString& op : operations)
        QCOMPARE(actions.value(op), soaptest::actionOf(op));

    const XmlNode* address = definitions->child(wsdlNs, QStringLiteral("service"))
                                 ->child(wsdlNs, QStringLiteral("port"))
                                 ->child(soap12Ns, QStringLiteral("address"));
    QVERIFY(address);
    QCOMPARE(address->attributes.value(QStringLiteral("location")), FUrl.toString());
}

void TestTrackGpsSim::journal() {
    const qsizetype before = SimProcess::ReadJournal(FJournal).size();
    const QByteArray sent =
        distanceRequest("350000000000002", "2024-03-05T07:08:09.010+02:00", "2024-03-05T08:08:09.010+02:00");
    QCOMPARE(postOperation(FUrl, QStringLiteral("GetDistanceByIMEI"), sent).status, 200);
    const QByteArray refused =
        distanceRequest("999", "2024-03-05T07:08:09.010+02:00", "2024-03-05T08:08:09.010+02:00");
    QCOMPARE(postOperation(FUrl, QStringLiteral("GetDistanceByIMEI"), refused).status, 500);

    // Each line is on disk by the time its answer arrives.
    const QList<QJsonObject> lines = SimProcess::ReadJournal(FJournal).mid(before);
    QCOMPARE(lines.size(), 2);
    const QJsonObject& ok = lines[0];
    QCOMPARE(ok.value("operation").toString(), QStringLiteral("GetDistanceByIMEI"));
    QCOMPARE(ok.value("contentType").toString().toUtf8(),
             soaptest::contentTypeFor(QStringLiteral("GetDistanceByIMEI")));
    QCOMPARE(ok.value("body").toString().toUtf8(), sent);
    QCOMPARE(ok.value("status").toInt(), 200);
    const QJsonObject params = ok.value("parameters").toObject();
    QCOMPARE(params.value("username").toString(), QStringLiteral("odolink"));
    QCOMPARE(params.value("password").toString(), QStringLiteral("s3cret"));
    QCOMPARE(params.value("imei").toString(), QStringLiteral("350000000000002"));
    QCOMPARE(params.value("startDate").toString(), QStringLiteral("2024-03-05T07:08:09.010+02:00"));
    QCOMPARE(params.value("endDate").toString(), QStringLiteral("2024-03-05T08:08:09.010+02:00"));
    QVERIFY(QDateTime::fromString(ok.value("time").toString(), Qt::ISODateWithMs).isValid());

    QCOMPARE(lines[1].value("status").toInt(), 500);
    QCOMPARE(lines[1].value("fault").toString(), QStringLiteral("Unknown device IMEI '999'."));
    QCOMPARE(lines[1].value("parameters").toObject().value("imei").toString(), QStringLiteral("999"));
}

void TestTrackGpsSim::delayedAnswersDoNotHoldOthersBack() {
    const QString journalPath = FDir.filePath(QStringLiteral("delayed.jsonl"));
    SimProcess sim;
    QVERIFY2(sim.StartWith({"--data", FData, "--journal", journalPath, "--delay-ms", "1500"}),
             qPrintable(sim.Error()));

    QNetworkAccessManager net;
    const QByteArray body =
        distanceRequest("350000000000001", "2024-03-05T07:08:09.010+02:00", "2024-03-05T07:08:09.010+02:00");
    const QByteArray type = soaptest::contentTypeFor(QStringLiteral("GetDistanceByIMEI"));
    QNetworkReply* first = startPost(net, QUrl(sim.Url()), type, body);
    QNetworkReply* second = startPost(net, QUrl(sim.Url()), type, body);
    const HttpReply firstReply = finish(first);
    QCOMPARE(firstReply.status, 200);
    // The second request was taken in while the first one's answer was still waiting.
    QCOMPARE(SimProcess::ReadJournal(journalPath).size(), 2);
    QCOMPARE(finish(second).status, 200);
}

void TestTrackGpsSim::https() {
    const QString key = FDir.filePath(QStringLiteral("server.key")),
                  cert = FDir.filePath(QStringLiteral("server.pem"));
    if (!runOpenssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days",
                     "2", "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"}))
        QSKIP("openssl could not make a test certificate");

    SimProcess sim;
    QVERIFY2(sim.StartWith({"--data", FData, "--tls-cert", cert, "--tls-key", key}), qPrintable(sim.Error()));
    QCOMPARE(QUrl(sim.Url()).scheme(), QStringLiteral("https"));

    const QByteArray type = soaptest::contentTypeFor(QStringLiteral("GetDistanceByIMEI"));
    const QByteArray body =
        distanceRequest("350000000000001", "2024-03-05T07:08:09.010+02:00", "2024-03-05T07:08:09.010+02:00");
    QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
    trusting.addCaCertificates(QSslCertificate::fromPath(cert));
    const HttpReply trusted = post(QUrl(sim.Url()), type, body, &trusting);
    QVERIFY2(trusted.status == 200, qPrintable(trusted.errorText));
    QVERIFY(trusted.body.contains("<GetDistanceByIMEIResult>12.5</GetDistanceByIMEIResult>"));

    // Without the certificate's authority a verifying client refuses the server.
    const HttpReply untrusted = post(QUrl(sim.Url()), type, body);
    QCOMPARE(untrusted.status, 0);
    QCOMPARE(untrusted.error, QNetworkReply::SslHandshakeFailedError);
}

void TestTrackGpsSim::termination_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestTrackGpsSim::termination() {
    QFETCH(int, signalNumber);
    SimProcess sim;
    const QString journalPath = FDir.filePath(QStringLiteral("termination-%1.jsonl").arg(signalNumber));
    QVERIFY2(sim.StartWith({"--data", FData, "--journal", journalPath, "--delay-ms", "60000"}),
             qPrintable(sim.Error()));
    // An answer still waiting does not hold the end back.
    QNetworkAccessManager net;
    QNetworkReply* pending =
        startPost(net, QUrl(sim.Url()), soaptest::contentTypeFor(QStringLiteral("GetCars")),
                  soaptest::envelope("GetCars", "user", "odolink", "s3cret"));
    QTRY_COMPARE(SimProcess::ReadJournal(journalPath).size(), 1);
    QCOMPARE(sim.Stop(signalNumber), 0);
    QCOMPARE(finish(pending).status, 0);
}

void TestTrackGpsSim::badDataFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("not JSON") << QByteArray("{ accounts: }") << "not valid JSON";
    QTest::newRow("misspelt device entry")
        << QByteArray(R"({"devices": {"1": {"distanceKM": 3}}})") << "devices.1.distanceKM: unknown entry";
    QTest::newRow("device with two distance rules")
        << QByteArray(R"({"devices": {"1": {"distanceKm": 3, "kmPerHour": 4}}})")
        << "devices.1: give exactly one of \"distanceKm\" and \"kmPerHour\"";
    QTest::newRow("carrier field of the wrong type")
        << QByteArray(R"({"carriers": {"5": {"Speed": "fast"}}})") << "carriers.5.Speed: expected a number";
    QTest::newRow("device naming a missing carrier")
        << QByteArray(R"({"devices": {"1": {"distanceKm": 3, "carrierId": 4}}})")
        << "devices.1.carrierId: no carrier 4";
}

void TestTrackGpsSim::badDataFile() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString path = writeFile(QStringLiteral("bad.json"), content);
    SimProcess sim;
    QVERIFY(!sim.StartWith({"--data", path}));
    QVERIFY2(sim.Error().contains(path) && sim.Error().contains(message), qPrintable(sim.Error()));
    QCOMPARE(sim.Stop(SIGTERM), 1);
}

QTEST_GUILESS_MAIN(TestTrackGpsSim)
#include "tst_trackgps_sim.moc"
