#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <chrono>

class QNetworkAccessManager;

// How the HTTP transport behaves. Every THTTPRIO takes a copy of the process-wide default when it is
// created, so the application sets the default once at start-up, e.g.
//
//     TSoapTransportOptions o = TSoapTransportOptions::Default();
//     o.CaFile = ini.ReadString("Configurari", "TrackGPSCaFile", "");
//     TSoapTransportOptions::SetDefault(o);
//
// and tests shorten the time-out or lower the size limit the same way.
struct TSoapTransportOptions {
    // A reply that stays silent this long is abandoned (Qt's transfer time-out: it restarts with
    // every byte received). Zero turns it off.
    std::chrono::milliseconds TransferTimeout{std::chrono::seconds(120)};
    // Replies longer than this are refused and the exchange aborted.
    qint64 MaxReplyBytes = 16 * 1024 * 1024;
    // Extra trusted CA certificates (PEM) besides the system's; server certificates are always verified.
    QString CaFile;
    // Used instead of a manager of the call's own; not owned, must outlive the call.
    QNetworkAccessManager* Manager = nullptr;

    static TSoapTransportOptions Default();
    static void SetDefault(const TSoapTransportOptions& options);
};

struct TSoapHttpReply {
    int Status = 0;
    QString StatusText;
    QString ContentType; // as received
    QByteArray Body;
};

// HTTP POST over QNetworkAccessManager. Synchronous for its caller: a local event loop runs that
// excludes user input, so windows repaint but take no clicks or keys meanwhile.
class TSoapHttpTransport {
public:
    explicit TSoapHttpTransport(TSoapTransportOptions options);

    // Raises EZeltError when no HTTP reply arrives (connection, TLS, time-out) or the reply is too
    // large. Redirects are not followed: they arrive as replies with their 3xx status.
    TSoapHttpReply Post(const QUrl& url, const QByteArray& contentType, const QByteArray& body) const;

private:
    TSoapTransportOptions FOptions;
};
