#pragma once

#include <QByteArray>
#include <QString>
#include <curl/curl.h>

namespace servertest {

struct FetchOptions {
    bool head = false;
    bool pathAsIs = false;
    QString caFile;
    // Gives up after this long without new bytes (0: never); the client's own stall rule.
    int stallMs = 0;
    int timeoutMs = 10000;
    // Counts the body without keeping it (large files).
    bool discardBody = false;
};

struct FetchResult {
    CURLcode code = CURLE_OK;
    long status = 0;
    QByteArray body;
    long long bodyBytes = 0;
    // Announced Content-Length, -1 when none.
    long long contentLength = -1;
    int writeCalls = 0;
    double firstByteSeconds = 0;
    double totalSeconds = 0;
};

FetchResult Fetch(const QString& url, const FetchOptions& options = {});

// Sends `request` as it is and returns what comes back until the server
// closes, `expectBytes` have arrived (when > 0), or `timeoutMs` passes.
QByteArray RawExchange(int port, const QByteArray& request, int timeoutMs = 3000,
                       long long expectBytes = 0);

// A connected socket to 127.0.0.1:port, or -1.
int ConnectLoopback(int port);

// The status code of a raw HTTP answer, or 0.
int StatusOf(const QByteArray& answer);

} // namespace servertest
