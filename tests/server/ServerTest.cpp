#include "HttpProbe.h"
#include "ServerProcess.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace servertest;
using testsupport::ServerOptions;
using testsupport::ServerProcess;

namespace {

const QByteArray kSecret = "TOP-SECRET-OUTSIDE-ROOT";

QByteArray Pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    quint32 x = static_cast<quint32>(seed) * 2654435761u + 1u;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(x >> 24);
    }
    return bytes;
}

void MakeSparseFile(const QString& path, qint64 size)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(size));
}

// A served folder with the maker's usual paths, and a secret beside it that
// must never be reachable.
class ZendrelServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir base(folder_.Path());
        for (const char* dir : {"root/appdata", "root/download", "root/tickertext"})
            ASSERT_TRUE(base.mkpath(QString::fromLatin1(dir)));
        folder_.Write(QStringLiteral("secret.txt"), kSecret);
        Put("/appdata/zendrel.gnames.txt", "Game\tSite\tTitle\r\nOther\tSite\tMore\r\n");
        Put("/tickertext/ticker.txt", "10:00 AM|News\n");
        Put("/download/Big Game.exe", Pattern(70000, 1));
        Put("/download/X.exe", Pattern(300000, 2));
        Put("/download/Small.exe", Pattern(3000, 3));
        Put("/empty.txt", QByteArray());
        ASSERT_TRUE(QFile::link(folder_.File(QStringLiteral("secret.txt")), Root("/escape")));
        ASSERT_TRUE(QFile::link(Root("/appdata/zendrel.gnames.txt"), Root("/inner-link.txt")));
    }

    QString Root(const char* path = "") const
    {
        return folder_.File(QStringLiteral("root")) + QString::fromUtf8(path);
    }
    void Put(const char* path, const QByteArray& bytes)
    {
        testsupport::WriteFile(Root(path), bytes);
    }
    QByteArray Content(const char* path) const { return testsupport::ReadFile(Root(path)); }

    testsupport::TempFolder folder_;
};

// --- Files ------------------------------------------------------------------

TEST_F(ZendrelServerTest, ServesFilesWithTheirLengthOnGetAndHead)
{
    ServerProcess server(Root());
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();
    EXPECT_EQ(server.BaseUrl(), QStringLiteral("http://127.0.0.1:%1").arg(server.Port()));

    struct Case {
        const char* url;
        const char* file;
    };
    const Case cases[] = {
        {"/appdata/zendrel.gnames.txt", "/appdata/zendrel.gnames.txt"},
        {"/tickertext/ticker.txt", "/tickertext/ticker.txt"},
        {"/download/X.exe", "/download/X.exe"},
        {"/download/Big%20Game.exe", "/download/Big Game.exe"},
        {"/inner-link.txt", "/appdata/zendrel.gnames.txt"},
        {"/download/X.exe?cache=none", "/download/X.exe"},
        {"/empty.txt", "/empty.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const QByteArray expected = Content(c.file);
        const FetchResult get = Fetch(server.Url(QString::fromLatin1(c.url)));
        EXPECT_EQ(get.code, CURLE_OK);
        EXPECT_EQ(get.status, 200);
        EXPECT_EQ(get.contentLength, expected.size());
        EXPECT_TRUE(get.body == expected);

        FetchOptions head;
        head.head = true;
        const FetchResult answer = Fetch(server.Url(QString::fromLatin1(c.url)), head);
        EXPECT_EQ(answer.code, CURLE_OK);
        EXPECT_EQ(answer.status, 200);
        EXPECT_EQ(answer.contentLength, expected.size());
        EXPECT_TRUE(answer.body.isEmpty());
    }
}

TEST_F(ZendrelServerTest, NothingOutsideTheRootOrOtherThanAFileIsServed)
{
    ServerProcess server(Root());
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();

    const char* targets[] = {
        "/missing.txt",
        "/download/missing.exe",
        "/download",
        "/download/",
        "/",
        "/../secret.txt",
        "/download/../../secret.txt",
        "/%2e%2e/secret.txt",
        "/download/%2E%2E/%2e%2e/secret.txt",
        "/..%2fsecret.txt",
        "/download/..%2F..%2Fsecret.txt",
        "/./download/X.exe",
        "/escape",
        "//etc/passwd",
        "/%2Fetc%2Fpasswd",
        "/appdata/zendrel.gnames.txt%00.exe",
    };
    for (const char* target : targets) {
        SCOPED_TRACE(target);
        const QByteArray answer = RawExchange(server.Port(), QByteArray("GET ") + target +
                                                                 " HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                                                 "Connection: close\r\n\r\n");
        EXPECT_EQ(StatusOf(answer), 404) << answer.left(200).toStdString();
        EXPECT_FALSE(answer.contains(kSecret));
    }

    const QByteArray absolute =
        RawExchange(server.Port(), "GET http://127.0.0.1/../secret.txt HTTP/1.1\r\n"
                                   "Host: 127.0.0.1\r\nConnection: close\r\n\r\n");
    EXPECT_NE(StatusOf(absolute), 200);
    EXPECT_FALSE(absolute.contains(kSecret));
}

TEST_F(ZendrelServerTest, StreamsLargeFilesWithoutHoldingThemInMemory)
{
    const qint64 size = 200LL * 1024 * 1024;
    ASSERT_NO_FATAL_FAILURE(MakeSparseFile(Root("/download/Huge.exe"), size));
    ServerProcess server(Root());
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();

    FetchOptions options;
    options.discardBody = true;
    options.timeoutMs = 60000;
    const FetchResult r = Fetch(server.Url(QStringLiteral("/download/Huge.exe")), options);
    EXPECT_EQ(r.code, CURLE_OK);
    EXPECT_EQ(r.contentLength, size);
    EXPECT_EQ(r.bodyBytes, size);

    const QByteArray status =
        testsupport::ReadFile(QStringLiteral("/proc/%1/status").arg(server.ProcessId()));
    const qsizetype at = status.indexOf("VmHWM:");
    ASSERT_GE(at, 0);
    const long long peakKb = status.mid(at + 6, status.indexOf('\n', at) - at - 6)
                                 .trimmed()
                                 .split(' ')
                                 .first()
                                 .toLongLong();
    EXPECT_LT(peakKb, 64 * 1024) << "peak resident size " << peakKb << " kB";
}

// --- Faults -----------------------------------------------------------------

struct FaultCase {
    const char* spec;
    CURLcode code;
    long status;
    int bodyBytes; // -1: the whole file
    double minSeconds;
    const char* name;
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.spec;
}

class FaultTest : public ZendrelServerTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultTest, MisbehavesOnlyOnItsPathUntilCleared)
{
    const FaultCase& c = GetParam();
    ServerProcess server(Root());
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();
    ASSERT_TRUE(
        server.SetFault(QStringLiteral("/download/Small.exe"), QString::fromLatin1(c.spec)));

    const QByteArray file = Content("/download/Small.exe");
    FetchOptions options;
    options.stallMs = 700;
    QElapsedTimer timer;
    timer.start();
    const FetchResult r = Fetch(server.Url(QStringLiteral("/download/Small.exe")), options);
    const double seconds = static_cast<double>(timer.elapsed()) / 1000.0;

    EXPECT_EQ(r.code, c.code) << curl_easy_strerror(r.code);
    EXPECT_EQ(r.status, c.status);
    if (c.bodyBytes >= 0) {
        EXPECT_EQ(r.body.size(), c.bodyBytes);
        EXPECT_TRUE(file.startsWith(r.body));
    } else if (c.status == 200) {
        EXPECT_TRUE(r.body == file);
    } else {
        EXPECT_FALSE(r.body.isEmpty());
        EXPECT_FALSE(file.startsWith(r.body));
    }
    if (c.status == 200 && c.code != CURLE_OK) {
        EXPECT_EQ(r.contentLength, file.size()) << "the full size is announced";
    }
    EXPECT_GE(seconds, c.minSeconds);
    if (std::string(c.name) == "drip") {
        EXPECT_GE(r.writeCalls, 4) << "arrives in pieces";
    }
    if (std::string(c.name) == "delay") {
        EXPECT_GE(r.firstByteSeconds, c.minSeconds);
    }

    const FetchResult other = Fetch(server.Url(QStringLiteral("/download/X.exe")));
    EXPECT_EQ(other.code, CURLE_OK);
    EXPECT_TRUE(other.body == Content("/download/X.exe"));
    EXPECT_LT(other.totalSeconds, 0.3);

    ASSERT_TRUE(server.Clear());
    const FetchResult cleared = Fetch(server.Url(QStringLiteral("/download/Small.exe")));
    EXPECT_EQ(cleared.code, CURLE_OK);
    EXPECT_TRUE(cleared.body == file);
}

INSTANTIATE_TEST_SUITE_P(
    ZendrelServer, FaultTest,
    ::testing::Values(FaultCase{"delay:300", CURLE_OK, 200, -1, 0.28, "delay"},
                      FaultCase{"stall:1000", CURLE_ABORTED_BY_CALLBACK, 200, 1000, 0.68, "stall"},
                      FaultCase{"stall:0", CURLE_ABORTED_BY_CALLBACK, 200, 0, 0.68, "stall0"},
                      FaultCase{"short:1000", CURLE_PARTIAL_FILE, 200, 1000, 0, "short"},
                      FaultCase{"short:0", CURLE_PARTIAL_FILE, 200, 0, 0, "short0"},
                      FaultCase{"status:503", CURLE_OK, 503, -1, 0, "status503"},
                      FaultCase{"status:404", CURLE_OK, 404, -1, 0, "status404"},
                      FaultCase{"status:500", CURLE_OK, 500, -1, 0, "status500"},
                      FaultCase{"drip:6000", CURLE_OK, 200, -1, 0.4, "drip"},
                      FaultCase{"refuse", CURLE_GOT_NOTHING, 0, 0, 0, "refuse"}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

TEST_F(ZendrelServerTest, FaultsGivenOnTheCommandLine)
{
    ServerProcess server(Root(), {QStringLiteral("/download/Small.exe=status:503"),
                                  QStringLiteral("/appdata/zendrel.gnames.txt=short:3"),
                                  QStringLiteral("/missing.exe=refuse")});
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();

    FetchOptions head;
    head.head = true;
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/Small.exe"))).status, 503);
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/Small.exe")), head).status, 503);
    const FetchResult cut = Fetch(server.Url(QStringLiteral("/appdata/zendrel.gnames.txt")));
    EXPECT_EQ(cut.code, CURLE_PARTIAL_FILE);
    EXPECT_EQ(cut.body, QByteArray("Gam"));
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/missing.exe"))).code, CURLE_GOT_NOTHING);
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/X.exe"))).code, CURLE_OK);
}

// Reads a response head and `bodyBytes` of its body from `fd`; false on timeout or close.
bool ReadHeadAndBody(int fd, qsizetype bodyBytes, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        const qsizetype head = got.indexOf("\r\n\r\n");
        if (head >= 0 && got.size() - head - 4 >= bodyBytes)
            return got.size() - head - 4 == bodyBytes;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        got.append(buffer, n);
    }
    return false;
}

TEST_F(ZendrelServerTest, StalledResponseIsHeldOpenAndReleasedWhenTheClientLeaves)
{
    ServerProcess server(Root(), {QStringLiteral("/download/X.exe=stall:500")});
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();
    const QByteArray request = "GET /download/X.exe HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

    // More stalled clients than the server has workers: each must be let go
    // when its client hangs up, or the last ones would never be answered.
    for (int i = 0; i < 40; ++i) {
        SCOPED_TRACE(i);
        const int fd = ConnectLoopback(server.Port());
        ASSERT_GE(fd, 0);
        ASSERT_EQ(
            ::send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL),
            request.size());
        EXPECT_TRUE(ReadHeadAndBody(fd, 500, 3000));
        if (i == 0) {
            pollfd p{fd, POLLIN | POLLRDHUP, 0};
            EXPECT_EQ(::poll(&p, 1, 500), 0) << "neither more data nor a close";
        }
        ::close(fd);
    }

    FetchOptions options;
    options.timeoutMs = 3000;
    const FetchResult r = Fetch(server.Url(QStringLiteral("/download/Small.exe")), options);
    EXPECT_EQ(r.code, CURLE_OK);
    EXPECT_TRUE(r.body == Content("/download/Small.exe"));
}

// --- Control path ------------------------------------------------------------

TEST_F(ZendrelServerTest, CountsRequestsPerPath)
{
    ServerProcess server(Root());
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();
    EXPECT_EQ(server.Hits(QStringLiteral("/download/X.exe")), 0);

    FetchOptions head;
    head.head = true;
    Fetch(server.Url(QStringLiteral("/download/X.exe")));
    Fetch(server.Url(QStringLiteral("/download/X.exe?again=1")));
    Fetch(server.Url(QStringLiteral("/download/X.exe")), head);
    Fetch(server.Url(QStringLiteral("/download/missing.exe")));
    Fetch(server.Url(QStringLiteral("/download/Big%20Game.exe")));
    ASSERT_TRUE(
        server.SetFault(QStringLiteral("/appdata/zendrel.gnames.txt"), QStringLiteral("refuse")));
    Fetch(server.Url(QStringLiteral("/appdata/zendrel.gnames.txt")));

    EXPECT_EQ(server.Hits(QStringLiteral("/download/X.exe")), 3);
    EXPECT_EQ(server.Hits(QStringLiteral("/download/missing.exe")), 1);
    EXPECT_EQ(server.Hits(QStringLiteral("/download/Big Game.exe")), 1);
    EXPECT_EQ(server.Hits(QStringLiteral("/appdata/zendrel.gnames.txt")), 1);
    EXPECT_EQ(server.Hits(QStringLiteral("/download/Small.exe")), 0);
    EXPECT_EQ(server.Hits(QStringLiteral("/_control/hits")), 0);
}

TEST_F(ZendrelServerTest, RejectsMalformedFaults)
{
    ServerProcess server(Root());
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();
    ASSERT_TRUE(
        server.SetFault(QStringLiteral("/download/Small.exe"), QStringLiteral("status:500")));

    const char* specs[] = {"",          "stall",      "stall:",     "stall:x",  "stall:-1",
                           "bogus:1",   "status:99",  "status:600", "refuse:1", "drip:0",
                           "delay:1.5", "delay:10ms", "STALL:1"};
    for (const char* spec : specs) {
        SCOPED_TRACE(spec);
        EXPECT_FALSE(
            server.SetFault(QStringLiteral("/download/Small.exe"), QString::fromLatin1(spec)));
    }
    EXPECT_FALSE(server.SetFault(QStringLiteral("download/Small.exe"), QStringLiteral("refuse")));
    EXPECT_FALSE(server.SetFault(QString(), QStringLiteral("refuse")));
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/Small.exe"))).status, 500)
        << "a rejected fault leaves the one in place";

    ASSERT_TRUE(
        server.SetFault(QStringLiteral("/download/Small.exe"), QStringLiteral("status:404")));
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/Small.exe"))).status, 404)
        << "a new fault replaces the old one";
}

TEST_F(ZendrelServerTest, ControlAnswersBarePostsAndOnlyItsMethods)
{
    ServerProcess server(Root());
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();
    // No Content-Length: what "curl -X POST" sends.
    auto request = [](const char* line) {
        return QByteArray(line) + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    };

    struct Case {
        QByteArray request;
        int status;
    };
    const Case cases[] = {
        {request("POST /_control/fault?path=/download/Small.exe&spec=status:502"), 200},
        {request("POST /_control/fault?path=%2Fdownload%2FBig%20Game.exe&spec=status%3A501"), 200},
        {request("GET /_control/fault?path=/download/X.exe&spec=refuse"), 405},
        {request("GET /_control/clear"), 405},
        {request("POST /_control/hits?path=/x"), 405},
        {request("GET /_control/hits"), 400},
        {request("GET /_control/other"), 404},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request.toStdString());
        EXPECT_EQ(StatusOf(RawExchange(server.Port(), c.request)), c.status);
    }
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/Small.exe"))).status, 502);
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/Big%20Game.exe"))).status, 501);
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/X.exe"))).status, 200);

    EXPECT_EQ(StatusOf(RawExchange(server.Port(), request("POST /_control/clear"))), 200);
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/Small.exe"))).status, 200);
    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/Big%20Game.exe"))).status, 200);
}

// --- Start, https, robustness, stop ------------------------------------------

TEST_F(ZendrelServerTest, RefusesBadCommandLines)
{
    const QString root = Root();
    const QString file = Root("/empty.txt");
    const QStringList cases[] = {
        {},
        {QStringLiteral("--root")},
        {QStringLiteral("--root"), Root("/nowhere")},
        {QStringLiteral("--root"), file},
        {QStringLiteral("--root"), root, QStringLiteral("--fault"), QStringLiteral("/x")},
        {QStringLiteral("--root"), root, QStringLiteral("--fault"), QStringLiteral("x=stall:1")},
        {QStringLiteral("--root"), root, QStringLiteral("--fault"), QStringLiteral("/x=stall")},
        {QStringLiteral("--root"), root, QStringLiteral("--port"), QStringLiteral("70000")},
        {QStringLiteral("--root"), root, QStringLiteral("--port"), QStringLiteral("8x")},
        {QStringLiteral("--root"), root, QStringLiteral("--cert"), file},
        {QStringLiteral("--root"), root, QStringLiteral("--cert"), file, QStringLiteral("--key"),
         file},
        {QStringLiteral("--root"), root, QStringLiteral("--verbose")},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        const testsupport::RunResult r = testsupport::Run(
            testsupport::BuiltProgram(QStringLiteral("zendrel-server")), args, 5000);
        EXPECT_GT(r.exitCode, 0);
        EXPECT_FALSE(r.out.contains("listening"));
        EXPECT_FALSE(r.err.isEmpty());
    }
}

TEST_F(ZendrelServerTest, ListensOnTheGivenPortUnlessItIsTaken)
{
    ServerProcess first(Root());
    ASSERT_TRUE(first.IsRunning()) << first.Error().toStdString();
    ServerOptions taken;
    taken.root = Root();
    taken.port = first.Port();
    ServerProcess second(taken);
    EXPECT_FALSE(second.IsRunning());

    const int port = first.Port();
    ASSERT_EQ(first.Stop(), 0);
    ServerOptions again;
    again.root = Root();
    again.port = port;
    ServerProcess third(again);
    ASSERT_TRUE(third.IsRunning()) << third.Error().toStdString();
    EXPECT_EQ(third.Port(), port);
    EXPECT_EQ(Fetch(third.Url(QStringLiteral("/download/Small.exe"))).code, CURLE_OK);
}

TEST_F(ZendrelServerTest, ServesHttpsWithATestCertificate)
{
    const testsupport::TestCertificate cert = testsupport::MakeTestCertificate(folder_.Path());
    ASSERT_TRUE(cert.IsValid()) << cert.error.toStdString();
    ServerOptions options;
    options.root = Root();
    options.certFile = cert.certFile;
    options.keyFile = cert.keyFile;
    ServerProcess server(options);
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();
    EXPECT_EQ(server.BaseUrl(), QStringLiteral("https://127.0.0.1:%1").arg(server.Port()));
    EXPECT_EQ(server.CaFile(), cert.certFile);

    FetchOptions trusted;
    trusted.caFile = server.CaFile();
    const FetchResult r = Fetch(server.Url(QStringLiteral("/download/X.exe")), trusted);
    EXPECT_EQ(r.code, CURLE_OK) << curl_easy_strerror(r.code);
    EXPECT_EQ(r.contentLength, 300000);
    EXPECT_TRUE(r.body == Content("/download/X.exe"));

    EXPECT_EQ(Fetch(server.Url(QStringLiteral("/download/X.exe"))).code,
              CURLE_PEER_FAILED_VERIFICATION);
    EXPECT_EQ(StatusOf(RawExchange(server.Port(), "GET /download/X.exe HTTP/1.1\r\n\r\n", 1000)), 0)
        << "no plain answer on the https port";

    ASSERT_TRUE(server.SetFault(QStringLiteral("/download/X.exe"), QStringLiteral("short:100")));
    const FetchResult cut = Fetch(server.Url(QStringLiteral("/download/X.exe")), trusted);
    EXPECT_EQ(cut.code, CURLE_PARTIAL_FILE);
    EXPECT_EQ(cut.body.size(), 100);
    EXPECT_EQ(server.Hits(QStringLiteral("/download/X.exe")), 2)
        << "requests that never got past the handshake are not counted";
}

TEST_F(ZendrelServerTest, SurvivesMalformedRequestsAndVanishingClients)
{
    ASSERT_NO_FATAL_FAILURE(MakeSparseFile(Root("/download/Huge.exe"), 64LL * 1024 * 1024));
    ServerProcess server(Root(), {QStringLiteral("/download/Small.exe=drip:2000")});
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();

    struct Case {
        QByteArray request;
        int readMs;
        long long readBytes;
    };
    const Case cases[] = {
        {"GARBAGE\r\n\r\n", 300, 0},
        {QByteArray("\x00\x01\x02\xff\xfe\r\n\r\n", 8), 300, 0},
        {"GET /" + QByteArray(100000, 'a') + " HTTP/1.1\r\n\r\n", 300, 0},
        {"GET / HTTP/1.1\r\nX: " + QByteArray(20000, 'b') + "\r\n\r\n", 300, 0},
        {"GET /download/X.exe HTTP/1.1\r\nHost: x\r\n", 300, 0},
        {"GET /%zz%%%/x HTTP/1.1\r\nHost: x\r\n\r\n", 300, 0},
        {"GET /download/X.exe HTTP/9.9\r\n\r\n", 300, 0},
        {"POST /x HTTP/1.1\r\nContent-Length: 99999999999\r\n\r\nabc", 300, 0},
        {"POST /x HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", 300, 0},
        {"GET /download/X.exe HTTP/1.1\r\nRange: bytes=900000-5\r\n\r\n", 300, 0},
        // Clients that hang up in the middle of a body.
        {"GET /download/Huge.exe HTTP/1.1\r\nHost: x\r\n\r\n", 2000, 1000},
        {"GET /download/Huge.exe HTTP/1.1\r\nHost: x\r\n\r\n", 2000, 1000},
        {"GET /download/Small.exe HTTP/1.1\r\nHost: x\r\n\r\n", 2000, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request.left(60).toStdString());
        RawExchange(server.Port(), c.request, c.readMs, c.readBytes);
        ASSERT_TRUE(server.IsRunning());
        const FetchResult r = Fetch(server.Url(QStringLiteral("/download/X.exe")));
        EXPECT_EQ(r.code, CURLE_OK);
        EXPECT_EQ(r.bodyBytes, 300000);
    }
}

class StopSignalTest : public ZendrelServerTest, public ::testing::WithParamInterface<int> {};

TEST_P(StopSignalTest, EndsWithExitZeroEvenWhileAResponseStalls)
{
    ServerProcess server(Root(), {QStringLiteral("/download/X.exe=stall:10")});
    ASSERT_TRUE(server.IsRunning()) << server.Error().toStdString();
    const int fd = ConnectLoopback(server.Port());
    ASSERT_GE(fd, 0);
    const QByteArray request = "GET /download/X.exe HTTP/1.1\r\nHost: x\r\n\r\n";
    ASSERT_EQ(::send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL),
              request.size());
    EXPECT_TRUE(ReadHeadAndBody(fd, 10, 3000));

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(server.Stop(GetParam()), 0);
    EXPECT_LT(timer.elapsed(), 3000);
    ::close(fd);
}

INSTANTIATE_TEST_SUITE_P(ZendrelServer, StopSignalTest, ::testing::Values(SIGTERM, SIGINT),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM ? "SIGTERM" : "SIGINT");
                         });

TEST_F(ZendrelServerTest, EndsAtEndOfStdinOnlyWhenAsked)
{
    for (const bool watch : {true, false}) {
        SCOPED_TRACE(watch);
        QProcess process;
        QStringList args{QStringLiteral("--root"), Root()};
        if (watch)
            args << QStringLiteral("--exit-on-stdin-eof");
        process.start(testsupport::BuiltProgram(QStringLiteral("zendrel-server")), args);
        ASSERT_TRUE(process.waitForStarted(5000));
        ASSERT_TRUE(process.waitForReadyRead(5000));
        EXPECT_TRUE(process.readLine().startsWith("listening on http://127.0.0.1:"));
        process.closeWriteChannel();
        if (watch) {
            EXPECT_TRUE(process.waitForFinished(3000));
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), 0);
        } else {
            EXPECT_FALSE(process.waitForFinished(300));
            process.terminate();
            EXPECT_TRUE(process.waitForFinished(3000));
            EXPECT_EQ(process.exitCode(), 0);
        }
    }
}

} // namespace
