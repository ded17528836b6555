#include "SoapReader.h"
#include "SoapWriter.h"
#include "TestContract.h"

#include <QTest>

using namespace TestContract;

namespace {

QByteArray response(const TSoapOperation& op, const TSoapView& value) {
    return TSoapWriter::WriteResponse(Fleet(), op, value);
}

QByteArray pointReply(const TPoint& p) {
    return response(Op("GetPoint"), static_cast<const TRemotable*>(&p));
}

// The content of the result element, without the envelope around it.
QByteArray resultContent(const QByteArray& xml) {
    const qsizetype open = xml.indexOf("<GetPointResult");
    const qsizetype start = xml.indexOf('>', open) + 1;
    if (xml.at(start - 2) == '/')
        return {};
    return xml.mid(start, xml.indexOf("</GetPointResult>") - start);
}

} // namespace

class TestSoapWriter final : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Register(); }

    void freshObjectWritesNoField() {
        const TPoint p;
        QCOMPARE(resultContent(pointReply(p)), QByteArray());
    }

    void onlySpecifiedFieldsInTableOrder() {
        TPoint p;
        p.SetX(-0.5);
        p.SetName(QString()); // empty, yet specified
        p.SetBig(Q_INT64_C(9007199254740993));
        QCOMPARE(resultContent(pointReply(p)), QByteArray("<b:Big>9007199254740993</b:Big><b:Name></b:Name>"
                                                          "<b:X>-0.5</b:X>"));
    }

    void nilOnlyWhereNillable() {
        TPoint p;
        p.SetInner(nullptr); // nillable: written as nil
        p.SetWhen(nullptr);  // optional only: left out
        QCOMPARE(resultContent(pointReply(p)), QByteArray(R"(<b:Inner i:nil="true"/>)"));
    }

    void textIsEscaped() {
        TPoint p;
        p.SetName(QStringLiteral("A & B <c> \"d\" ș"));
        QCOMPARE(resultContent(pointReply(p)),
                 QByteArray("<b:Name>A &amp; B &lt;c&gt; &quot;d&quot; \xC8\x99</b:Name>"));
    }

    void everyKindReadsBack() {
        TPoint p;
        p.SetAmount(
            std::make_unique<TXSDecimal>(TXSDecimal::FromXS(QStringLiteral("-1234567890.0123456789"))));
        p.SetBig(std::numeric_limits<qint64>::min());
        p.SetBlob(QByteArray("\x00\x01\xFF payload", 11));
        p.SetFlag(true);
        auto inner = std::make_unique<TInner>();
        inner->SetLabel(QStringLiteral("nested"));
        p.SetInner(std::move(inner));
        p.SetName(QStringLiteral("Name"));
        p.SetSmall(-32768);
        p.SetTags({QStringLiteral("a"), QString(), QStringLiteral("c")});
        p.SetWhen(std::make_unique<TXSDateTime>(
            TXSDateTime::FromXS(QStringLiteral("2024-03-05T07:08:09.010+02:00"))));
        p.SetX(std::numeric_limits<double>::infinity());

        TSoapValue v = TSoapReader::ReadResponse(pointReply(p), Fleet(), Op("GetPoint"));
        auto* back = dynamic_cast<TPoint*>(std::get<std::unique_ptr<TRemotable>>(v).get());
        QVERIFY(back);
        QCOMPARE(back->Amount()->DecimalString(), QStringLiteral("-1234567890.0123456789"));
        QCOMPARE(back->Big(), std::numeric_limits<qint64>::min());
        QCOMPARE(back->Blob(), p.Blob());
        QCOMPARE(back->Flag(), true);
        QCOMPARE(back->Inner()->Label(), QStringLiteral("nested"));
        QCOMPARE(back->Name(), QStringLiteral("Name"));
        QCOMPARE(back->Small(), qint16(-32768));
        QCOMPARE(back->Tags(), p.Tags());
        QCOMPARE(back->When()->NativeToXS(), QStringLiteral("2024-03-05T07:08:09.010+02:00"));
        QCOMPARE(back->X(), std::numeric_limits<double>::infinity());
    }

    void arrayResultReadsBack() {
        TSoapObjectList points;
        for (const char* name : {"first", "second"}) {
            auto p = std::make_unique<TPoint>();
            p->SetName(QString::fromLatin1(name));
            points.push_back(std::move(p));
        }
        const QByteArray xml = response(Op("GetPoints"), &points);
        QVERIFY(xml.contains("<b:Point><b:Name>first</b:Name></b:Point>"));
        TSoapValue v = TSoapReader::ReadResponse(xml, Fleet(), Op("GetPoints"));
        const auto& list = std::get<TSoapObjectList>(v);
        QCOMPARE(list.size(), size_t(2));
        QCOMPARE(dynamic_cast<TPoint&>(*list[1]).Name(), QStringLiteral("second"));
    }

    void requestIsWrapped() {
        const QString name = QStringLiteral("x<y");
        const TXSDateTime when = TXSDateTime::FromXS(QStringLiteral("2024-01-01T00:00:00Z"));
        const QByteArray xml = TSoapWriter::WriteRequest(Fleet(), Op("GetValue"), {&name, &when, qint32(-7)});
        QCOMPARE(xml, QByteArray(R"(<s:Envelope xmlns:s="http://www.w3.org/2003/05/soap-envelope"><s:Body>)"
                                 R"(<GetValue xmlns="urn:test:fleet"><name>x&lt;y</name>)"
                                 R"(<when>2024-01-01T00:00:00.000Z</when><count>-7</count></GetValue>)"
                                 R"(</s:Body></s:Envelope>)"));
    }

    void faultReadsBackAsItsClass() {
        TFleetFault detail;
        detail.SetCode_(QStringLiteral("E42"));
        TSoapFaultInfo f;
        f.Code = QStringLiteral("Sender");
        f.Reason = QStringLiteral("Unknown device");
        f.Detail = &detail;
        try {
            TSoapReader::ReadResponse(TSoapWriter::WriteFault(f), Fleet(), Op("GetText"));
            QFAIL("no error raised");
        } catch (const TFleetFault& e) {
            QCOMPARE(e.Message(), QStringLiteral("Unknown device"));
            QCOMPARE(e.Code_(), QStringLiteral("E42"));
            QCOMPARE(e.FaultCode(), QStringLiteral("s:Sender"));
        }
    }
};

QTEST_GUILESS_MAIN(TestSoapWriter)
#include "tst_SoapWriter.moc"
