// Cost of one TrackGPS exchange: building the GetDistanceByIMEI request (runtime serialization plus
// the client's envelope), reading one reply, and a whole call on loopback next to curl posting the
// same bytes to the same server.
#include "SoapReader.h"
#include "SoapWriter.h"
#include "TestSoapServer.h"
#include "TrackGPS.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

template <typename F> double microsPerCall(int n, F&& f) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i)
        f();
    return double(t.nsecsElapsed()) / 1e3 / n;
}

const QByteArray reply = TestSoapServer::Envelope(
    R"(<GetDistanceByIMEIResponse xmlns="http://tempuri.org/"><GetDistanceByIMEIResult>12.5</GetDistanceByIMEIResult>)"
    R"(</GetDistanceByIMEIResponse>)");

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int calls = argc > 2 ? std::atoi(argv[2]) : 200;
    TrackGPSWs::RegisterTrackGPSWs();
    const TSoapInterface& intf = *InvRegistry().Find(QStringLiteral("ITrackGPS"));
    const TSoapOperation& op = *intf.FindOperation(QStringLiteral("GetDistanceByIMEI"));

    const QDateTime start(QDate(2024, 3, 1), QTime(8, 0));
    const QDateTime end(QDate(2024, 3, 5), QTime(17, 30));
    const QString user = QStringLiteral("fleet"), password = QStringLiteral("secret"),
                  imei = QStringLiteral("356938035643809");
    const TTrackGPS client(user, password, QString());
    QByteArray request;
    const double build = microsPerCall(n, [&] {
        const TXSDateTime s = TXSDateTime::FromLocal(start), e = TXSDateTime::FromLocal(end);
        request = TSoapWriter::WriteRequest(intf, op, {&user, &password, &imei, &s, &e});
        client.BeforeExecute(op.Name, request);
    });
    double distance = 0;
    const double read =
        microsPerCall(n, [&] { distance = std::get<double>(TSoapReader::ReadResponse(reply, intf, op)); });

    TestSoapServer server;
    server.SetReply({200, "OK", "application/soap+xml; charset=utf-8", reply});
    TTrackGPS live(user, password, server.Url().toString());
    live.Mute = true;
    bool failed = false;
    QString message;
    const double whole =
        microsPerCall(calls, [&] { live.GetDistanceByIMEI(imei, start, end, failed, message); });
    if (failed) {
        std::fprintf(stderr, "call failed: %s\n", qPrintable(message));
        return 1;
    }
    // The same with one manager for all calls instead of one per call.
    QNetworkAccessManager manager;
    TSoapTransportOptions shared = TSoapTransportOptions::Default();
    shared.Manager = &manager;
    TSoapTransportOptions::SetDefault(shared);
    const double wholeShared =
        microsPerCall(calls, [&] { live.GetDistanceByIMEI(imei, start, end, failed, message); });
    shared.Manager = nullptr;
    TSoapTransportOptions::SetDefault(shared);

    // curl: one process posting the same bytes `calls` times, so process start-up hardly counts.
    const QByteArray sent = server.Requests().last().Body;
    QTemporaryDir dir;
    QFile body(dir.filePath(QStringLiteral("request.xml")));
    body.open(QIODevice::WriteOnly);
    body.write(sent);
    body.close();
    QStringList args{
        QStringLiteral("-s"),
        QStringLiteral("-o"),
        QStringLiteral("/dev/null"),
        QStringLiteral("-H"),
        QStringLiteral("Content-Type: application/soap+xml; charset=utf-8;action=\"http://tempuri.org/"
                       "ITrackGPS/GetDistanceByIMEI\""),
        QStringLiteral("--data-binary"),
        QLatin1Char('@') + body.fileName()};
    for (int i = 0; i < calls; ++i)
        args << server.Url().toString();
    QProcess curl;
    QEventLoop loop;
    QObject::connect(&curl, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&curl, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QElapsedTimer t;
    t.start();
    curl.start(QStringLiteral("curl"), args);
    loop.exec();
    const double curlPerCall = double(t.nsecsElapsed()) / 1e3 / calls;
    const bool curlOk = curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0;

    std::printf("build GetDistanceByIMEI request: %8.2f us/call (%d calls)\n", build, n);
    std::printf("read one reply:                  %8.2f us/call (distance %.1f)\n", read, distance);
    std::printf("whole call on loopback:          %8.2f us/call (%d calls)\n", whole, calls);
    std::printf("  with one shared network manager:%7.2f us/call\n", wholeShared);
    if (curlOk)
        std::printf("curl, same bytes, same server:   %8.2f us/call  -> ratio %.2f\n", curlPerCall,
                    whole / curlPerCall);
    else
        std::printf("curl could not run: %s\n", qPrintable(curl.errorString()));
    return 0;
}
