#include "HttpProbe.h"

#include <QElapsedTimer>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace servertest {

namespace {

struct Transfer {
    FetchResult* result;
    const FetchOptions* options;
    QElapsedTimer sinceData;
};

size_t OnBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const size_t n = size * count;
    ++transfer->result->writeCalls;
    transfer->result->bodyBytes += static_cast<long long>(n);
    if (!transfer->options->discardBody)
        transfer->result->body.append(data, static_cast<qsizetype>(n));
    transfer->sinceData.restart();
    return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* transfer = static_cast<Transfer*>(user);
    const int stallMs = transfer->options->stallMs;
    return stallMs > 0 && transfer->sinceData.elapsed() > stallMs ? 1 : 0;
}

} // namespace

FetchResult Fetch(const QString& url, const FetchOptions& options)
{
    FetchResult result;
    Transfer transfer{&result, &options, {}};
    transfer.sinceData.start();
    CURL* curl = curl_easy_init();
    const QByteArray address = url.toUtf8();
    const QByteArray caFile = options.caFile.toLocal8Bit();
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(options.timeoutMs));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    if (options.head)
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    if (options.pathAsIs)
        curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    if (!options.caFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());

    result.code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
    curl_off_t length = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    result.contentLength = length;
    curl_off_t firstByte = 0;
    curl_off_t total = 0;
    curl_easy_getinfo(curl, CURLINFO_STARTTRANSFER_TIME_T, &firstByte);
    curl_easy_getinfo(curl, CURLINFO_TOTAL_TIME_T, &total);
    result.firstByteSeconds = static_cast<double>(firstByte) / 1e6;
    result.totalSeconds = static_cast<double>(total) / 1e6;
    curl_easy_cleanup(curl);
    return result;
}

int ConnectLoopback(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QByteArray RawExchange(int port, const QByteArray& request, int timeoutMs, long long expectBytes)
{
    const int fd = ConnectLoopback(port);
    if (fd < 0)
        return QByteArray();
    QByteArray answer;
    qsizetype sent = 0;
    while (sent < request.size()) {
        const ssize_t n = ::send(fd, request.constData() + sent,
                                 static_cast<size_t>(request.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += n;
    }
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs && (expectBytes <= 0 || answer.size() < expectBytes)) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(qMax<qint64>(1, timeoutMs - timer.elapsed()))) <= 0)
            break;
        char buffer[16384];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        answer.append(buffer, n);
    }
    ::close(fd);
    return answer;
}

int StatusOf(const QByteArray& answer)
{
    if (!answer.startsWith("HTTP/1.") || answer.size() < 12)
        return 0;
    return answer.mid(9, 3).toInt();
}

} // namespace servertest
