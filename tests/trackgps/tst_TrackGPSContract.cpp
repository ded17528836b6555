#include "SoapReader.h"
#include "SoapTypeRegistry.h"
#include "SoapWriter.h"
#include "TestSoapServer.h"
#include "TrackGPSWs_Unit.h"

#include <QTest>

using namespace TrackGPSWs;

namespace {

const TSoapInterface& service() {
    return *InvRegistry().Find(QStringLiteral("ITrackGPS"));
}
const TSoapOperation& op(const char* name) {
    return *service().FindOperation(QString::fromLatin1(name));
}

template <class T> T readResult(const char* operation, const QByteArray& content, const QByteArray& ns = {}) {
    const QByteArray name(operation);
    const QByteArray xml =
        TestSoapServer::Envelope("<" + name + R"(Response xmlns="http://tempuri.org/"><)" + name + "Result" +
                                 (ns.isEmpty() ? QByteArray() : " xmlns:b=\"" + ns + "\"") +
                                 R"( xmlns:i="http://www.w3.org/2001/XMLSchema-instance">)" + content + "</" +
                                 name + "Result></" + name + "Response>");
    TSoapValue v = TSoapReader::ReadResponse(xml, service(), op(operation));
    if constexpr (std::is_same_v<T, TSoapValue>)
        return v;
    else
        return std::get<T>(std::move(v));
}

template <class T> T* as(std::unique_ptr<TRemotable>& p) {
    return dynamic_cast<T*>(p.get());
}

const QByteArray daeNs = "http://schemas.datacontract.org/2004/07/Provider.TrackGPS.DataAccess.Entities";
const QByteArray wseNs = "http://schemas.datacontract.org/2004/07/Provider.TrackGPS.WebService.Entities";
const QByteArray dcNs = "http://schemas.datacontract.org/2004/07/Provider.TrackGPS.WebService.DataContracts";

} // namespace

Q_DECLARE_METATYPE(std::shared_ptr<TRemotable>)

class TestTrackGPSContract final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { RegisterTrackGPSWs(); }

    void xmlNamesMapToTypeClasses_data() {
        QTest::addColumn<QString>("ns");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("internalName");
        QTest::newRow("CarrierLocation") << WebServiceEntitiesNamespace << "CarrierLocation"
                                         << "CarrierLocation2";
        QTest::newRow("Address") << DataContractsNamespace << "Address"
                                 << "Address2";
        QTest::newRow("Stop") << DataAccessEntitiesNamespace << "Stop"
                              << "Stop2";
        QTest::newRow("fault detail is the error class") << DataContractsNamespace << "WebServiceFault"
                                                         << "WebServiceFault";
        QTest::newRow("a name in another namespace is not found") << DataAccessEntitiesNamespace << "Address"
                                                                  << "";
    }
    void xmlNamesMapToTypeClasses() {
        QFETCH(QString, ns);
        QFETCH(QString, name);
        QFETCH(QString, internalName);
        const TSoapTypeInfo* t = RemClassRegistry().Find(ns, name);
        QCOMPARE(t ? t->InternalName : QString(), internalName);
    }

    void registeringAgainChangesNothing() {
        const TSoapTypeInfo* before =
            RemClassRegistry().Find(WebServiceEntitiesNamespace, QStringLiteral("CarrierLocation"));
        const TSoapOperation* opBefore = &op("GetDistanceByIMEI");
        RegisterTrackGPSWs();
        QCOMPARE(RemClassRegistry().Find(WebServiceEntitiesNamespace, QStringLiteral("CarrierLocation")),
                 before);
        QCOMPARE(&op("GetDistanceByIMEI"), opBefore);
    }

    void freshObjectsWriteNothing_data() {
        QTest::addColumn<std::shared_ptr<TRemotable>>("object");
        QTest::newRow("Address2") << std::shared_ptr<TRemotable>(new Address2);
        QTest::newRow("Location2") << std::shared_ptr<TRemotable>(new Location2);
        QTest::newRow("Car") << std::shared_ptr<TRemotable>(new Car);
        QTest::newRow("CarrierLocation2") << std::shared_ptr<TRemotable>(new CarrierLocation2);
        QTest::newRow("DeviceInfoTech2") << std::shared_ptr<TRemotable>(new DeviceInfoTech2);
        QTest::newRow("Stop2") << std::shared_ptr<TRemotable>(new Stop2);
        QTest::newRow("GPSCoordinate2") << std::shared_ptr<TRemotable>(new GPSCoordinate2);
        QTest::newRow("DeviceInformation2") << std::shared_ptr<TRemotable>(new DeviceInformation2);
        QTest::newRow("PrecalculateStr2") << std::shared_ptr<TRemotable>(new PrecalculateStr2);
        QTest::newRow("WebServiceFault2") << std::shared_ptr<TRemotable>(new WebServiceFault2);
    }
    void freshObjectsWriteNothing() {
        QFETCH(std::shared_ptr<TRemotable>, object);
        QString out;
        QXmlStreamWriter w(&out);
        TSoapWriter::WriteFields(w, *object);
        QCOMPARE(out, QString());
    }

    void emptyTextIsSpecified() {
        Address2 a;
        QVERIFY(!a.Strada_Specified());
        a.SetStrada(QString());
        QVERIFY(a.Strada_Specified());
        QString out;
        QXmlStreamWriter w(&out);
        TSoapWriter::WriteFields(w, a);
        QCOMPARE(out, QStringLiteral(R"(<n1:Strada xmlns:n1=")") + DataContractsNamespace +
                          QStringLiteral(R"("></n1:Strada>)"));
    }

    void fieldsWrittenInNameOrder() {
        DeviceInformation2 d;
        d.SetLastAuthDate(
            std::make_unique<TXSDateTime>(TXSDateTime::FromXS(QStringLiteral("2024-01-01T00:00:00Z"))));
        d.SetLLSFuel(std::make_unique<TXSDecimal>(TXSDecimal::FromXS(QStringLiteral("3.5"))));
        d.SetKM(Q_INT64_C(1) << 40);
        QString out;
        QXmlStreamWriter w(&out);
        w.writeStartElement(QStringLiteral("r"));
        w.writeDefaultNamespace(DataAccessEntitiesNamespace);
        TSoapWriter::WriteFields(w, d);
        w.writeEndElement();
        QCOMPARE(out, QStringLiteral(R"(<r xmlns=")") + DataAccessEntitiesNamespace +
                          QStringLiteral(R"("><KM>1099511627776</KM><LLSFuel>3.5</LLSFuel>)"
                                         R"(<LastAuthDate>2024-01-01T00:00:00.000Z</LastAuthDate></r>)"));
    }

    void fieldWidths_data() {
        QTest::addColumn<QByteArray>("operation");
        QTest::addColumn<QByteArray>("ns");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("readable");
        QTest::newRow("CarrierLocation2.CarrierID holds 32 bits")
            << QByteArray("GetCarrierLocation") << wseNs << QByteArray("<b:CarrierID>40000</b:CarrierID>")
            << true;
        QTest::newRow("CarrierLocation2.CarrierID not 33")
            << QByteArray("GetCarrierLocation") << wseNs
            << QByteArray("<b:CarrierID>2147483648</b:CarrierID>") << false;
        QTest::newRow("CarrierLocation2.EngineEvent holds 16 bits")
            << QByteArray("GetCarrierLocation") << wseNs << QByteArray("<b:EngineEvent>40000</b:EngineEvent>")
            << false;
        QTest::newRow("DeviceInformation2.KM holds 64 bits")
            << QByteArray("GetDeviceInformationByIMEI") << daeNs
            << QByteArray("<b:KM>9223372036854775807</b:KM>") << true;
        QTest::newRow("DeviceInformation2.Capacity holds 16 bits")
            << QByteArray("GetDeviceInformationByIMEI") << daeNs
            << QByteArray("<b:Capacity>32768</b:Capacity>") << false;
    }
    void fieldWidths() {
        QFETCH(QByteArray, operation);
        QFETCH(QByteArray, ns);
        QFETCH(QByteArray, content);
        QFETCH(bool, readable);
        bool read = true;
        try {
            readResult<TSoapValue>(operation.constData(), content, ns);
        } catch (const EZeltError&) {
            read = false;
        }
        QCOMPARE(read, readable);
    }

    void coordinateWidths() {
        TSoapObjectList list = readResult<TSoapObjectList>(
            "GetCarrierWayCoordinates",
            "<b:GPSCoordinate><b:CarrierID>-32768</b:CarrierID><b:Course i:nil=\"true\"/>"
            "<b:GPSCoordinatesID>-9223372036854775808</b:GPSCoordinatesID></b:GPSCoordinate>"
            "<b:GPSCoordinate><b:CarrierID>32767</b:CarrierID></b:GPSCoordinate>",
            daeNs);
        QCOMPARE(list.size(), size_t(2));
        auto* first = as<GPSCoordinate2>(list[0]);
        QCOMPARE(first->CarrierID(), qint16(-32768));
        QCOMPARE(first->GPSCoordinatesID(), std::numeric_limits<qint64>::min());
        QVERIFY(first->Course_Specified());
        QCOMPARE(as<GPSCoordinate2>(list[1])->CarrierID(), qint16(32767));
    }

    void nestedAndArrayContent() {
        TSoapObjectList stops = readResult<TSoapObjectList>(
            "GetCarrierStops",
            "<b:Stop><b:Consumption>1.5</b:Consumption><b:PrecalcData><b:DeviceProblemStationary>true"
            "</b:DeviceProblemStationary><b:StartDate>2024-03-05T07:00:00+02:00</b:StartDate></b:PrecalcData>"
            "<b:UserName>ion</b:UserName></b:Stop>",
            daeNs);
        auto* stop = as<Stop2>(stops.at(0));
        QCOMPARE(stop->Consumption(), 1.5);
        QVERIFY(stop->PrecalcData()->DeviceProblemStationary());
        QVERIFY(!stop->PrecalcData()->DeviceProblemMobile_Specified());
        QCOMPARE(stop->PrecalcData()->StartDate()->NativeToXS(),
                 QStringLiteral("2024-03-05T07:00:00.000+02:00"));

        auto location = readResult<std::unique_ptr<TRemotable>>(
            "GetNearestCars",
            "<b:ErrorCode i:nil=\"true\"/><b:NearestCars xmlns:c=\"http://schemas.microsoft.com/2003/10/"
            "Serialization/Arrays\"><c:string>BV-01-ABC</c:string><c:string>B-99-XYZ</c:string></"
            "b:NearestCars>",
            dcNs);
        QCOMPARE(as<Location2>(location)->NearestCars(),
                 QStringList({QStringLiteral("BV-01-ABC"), QStringLiteral("B-99-XYZ")}));

        TSoapObjectList cars = readResult<TSoapObjectList>(
            "GetUserCars",
            "<b:Car><b:CarrierId>3</b:CarrierId></b:Car><b:Car><b:CarrierId>4</b:CarrierId></b:Car>", dcNs);
        QCOMPARE(as<Car2>(cars.at(1))->CarrierId(), 4);
    }

    void faultDetailMessageLandsInMessage_() {
        const QByteArray xml = TestSoapServer::Envelope(
            R"(<s:Fault><s:Code><s:Value>s:Receiver</s:Value></s:Code><s:Reason><s:Text xml:lang="en-US">)"
            R"(Unknown IMEI</s:Text></s:Reason><s:Detail><WebServiceFault xmlns=")" +
            dcNs +
            R"("><Message>IMEI 42 is not registered</Message></WebServiceFault></s:Detail></s:Fault>)");
        try {
            TSoapReader::ReadResponse(xml, service(), op("GetDistanceByIMEI"));
            QFAIL("no error raised");
        } catch (const WebServiceFault& e) {
            QCOMPARE(e.Message(), QStringLiteral("Unknown IMEI"));
            QCOMPARE(e.Message_(), QStringLiteral("IMEI 42 is not registered"));
        }
    }

    void serviceSideRoundTrip() {
        // The substitute service writes replies with the same registrations.
        CarrierLocation2 c;
        c.SetCarrierID(9);
        c.SetServerDate(
            std::make_unique<TXSDateTime>(TXSDateTime::FromXS(QStringLiteral("2024-03-05T05:08:10Z"))));
        const QByteArray xml = TSoapWriter::WriteResponse(service(), op("GetCarrierLocationByIMEI"),
                                                          static_cast<const TRemotable*>(&c));
        TSoapValue v = TSoapReader::ReadResponse(xml, service(), op("GetCarrierLocationByIMEI"));
        auto* back = as<CarrierLocation2>(std::get<std::unique_ptr<TRemotable>>(v));
        QCOMPARE(back->CarrierID(), 9);
        QCOMPARE(back->ServerDate()->NativeToXS(), QStringLiteral("2024-03-05T05:08:10.000Z"));
        QVERIFY(!back->Speed_Specified());
    }

    void actions_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("action");
        QTest::newRow("GetGpsLocations as the service writes it")
            << "GetGpsLocations"
            << "http://tempuri.org/ITrackGPS/GetGpsLocations";
        QTest::newRow("GetDistanceByIMEI") << "GetDistanceByIMEI"
                                           << "http://tempuri.org/ITrackGPS/GetDistanceByIMEI";
    }
    void actions() {
        QFETCH(QString, operation);
        QFETCH(QString, action);
        QCOMPARE(service().ActionOf(*service().FindOperation(operation)), action);
    }
};

QTEST_GUILESS_MAIN(TestTrackGPSContract)
#include "tst_TrackGPSContract.moc"
