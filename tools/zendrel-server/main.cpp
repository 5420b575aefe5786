// A small web server that stands in for the maker's server in tests and the
// demo: it serves a folder over http(s) on 127.0.0.1 and can be told to
// misbehave on chosen paths.

#include "Fault.h"
#include "SafePath.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <httplib.h>
#include <map>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace zendrelserver;
using Clock = std::chrono::steady_clock;

constexpr auto kStallBound = std::chrono::seconds(120);
constexpr size_t kChunk = 64 * 1024;
constexpr size_t kWorkers = 32;
const std::string kControlPrefix = "/_control/";

std::atomic<bool> stopping{false};
std::atomic<bool> listenEnded{false};

struct Options {
    std::string root;
    int port = 0;
    std::string certFile;
    std::string keyFile;
    std::vector<std::string> faults;
    bool exitOnStdinEof = false;
};

class FaultTable {
public:
    void Set(const std::string& path, Fault fault)
    {
        std::lock_guard lock(mutex_);
        faults_[path] = fault;
    }
    void Clear(const std::string& path)
    {
        std::lock_guard lock(mutex_);
        if (path.empty())
            faults_.clear();
        else
            faults_.erase(path);
    }
    std::optional<Fault> Find(const std::string& path) const
    {
        std::lock_guard lock(mutex_);
        auto it = faults_.find(path);
        return it == faults_.end() ? std::nullopt : std::optional(it->second);
    }
    void CountHit(const std::string& path)
    {
        std::lock_guard lock(mutex_);
        ++hits_[path];
    }
    unsigned long long Hits(const std::string& path) const
    {
        std::lock_guard lock(mutex_);
        auto it = hits_.find(path);
        return it == hits_.end() ? 0 : it->second;
    }

private:
    mutable std::mutex mutex_;
    std::map<std::string, Fault> faults_;
    std::map<std::string, unsigned long long> hits_;
};

// Sleeps, waking early when the server is asked to stop; false if it was.
bool SleepUnlessStopping(std::chrono::milliseconds period)
{
    const auto until = Clock::now() + period;
    while (!stopping) {
        const auto now = Clock::now();
        if (now >= until)
            return true;
        std::this_thread::sleep_for(
            std::min<Clock::duration>(until - now, std::chrono::milliseconds(20)));
    }
    return false;
}

int PortOf(const sockaddr_storage& address)
{
    if (address.ss_family != AF_INET)
        return -1;
    sockaddr_in in{};
    std::memcpy(&in, &address, sizeof in);
    return ntohs(in.sin_port);
}

// The library hides a request's socket; find it among ours by its two ports.
int FindConnectionSocket(const httplib::Request& req)
{
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return -1;
    int found = -1;
    while (dirent* entry = ::readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == ::dirfd(dir))
            continue;
        struct stat st {};
        if (::fstat(static_cast<int>(fd), &st) != 0 || !S_ISSOCK(st.st_mode))
            continue;
        sockaddr_storage local{};
        sockaddr_storage peer{};
        socklen_t localLen = sizeof local;
        socklen_t peerLen = sizeof peer;
        if (::getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&local), &localLen) !=
                0 ||
            ::getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0)
            continue;
        if (PortOf(local) == req.local_port && PortOf(peer) == req.remote_port) {
            found = static_cast<int>(fd);
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Holds a stalled response until the client hangs up, the server stops or
// the bound runs out.
void HoldStalled(int connection)
{
    const auto until = Clock::now() + kStallBound;
    while (!stopping && Clock::now() < until) {
        if (connection < 0) {
            SleepUnlessStopping(std::chrono::milliseconds(100));
            continue;
        }
        pollfd p{connection, POLLRDHUP, 0};
        const int rc = ::poll(&p, 1, 50);
        if (rc < 0 && errno != EINTR)
            return;
        if (rc > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0)
            return;
    }
}

std::string ContentType(const std::string& path)
{
    auto endsWith = [&](const char* suffix) {
        const size_t n = std::strlen(suffix);
        return path.size() >= n && path.compare(path.size() - n, n, suffix) == 0;
    };
    if (endsWith(".txt"))
        return "text/plain";
    if (endsWith(".php") || endsWith(".html"))
        return "text/html";
    return "application/octet-stream";
}

struct OpenFile {
    int fd = -1;
    size_t size = 0;
    OpenFile() = default;
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

std::shared_ptr<OpenFile> OpenRegularFile(const std::string& root, const std::string& urlPath)
{
    const auto path = ResolveUnderRoot(root, urlPath);
    if (!path)
        return nullptr;
    auto file = std::make_shared<OpenFile>();
    file->fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (file->fd < 0 || ::fstat(file->fd, &st) != 0 || !S_ISREG(st.st_mode))
        return nullptr;
    file->size = static_cast<size_t>(st.st_size);
    return file;
}

void ServeFile(const httplib::Request& req, httplib::Response& res, const std::string& root,
               std::optional<Fault> fault)
{
    auto file = OpenRegularFile(root, req.path);
    if (!file) {
        res.status = 404;
        res.set_content("not found\n", "text/plain");
        return;
    }
    res.status = 200;
    const std::string type = ContentType(req.path);
    if (file->size == 0) {
        res.set_content(std::string(), type);
        return;
    }

    size_t limit = file->size;
    size_t piece = kChunk;
    std::chrono::microseconds pause{0};
    int connection = -1;
    bool hold = false;
    if (fault && (fault->kind == FaultKind::Stall || fault->kind == FaultKind::Short)) {
        limit = std::min(limit, static_cast<size_t>(fault->arg));
        hold = fault->kind == FaultKind::Stall;
        if (hold)
            connection = FindConnectionSocket(req);
    } else if (fault && fault->kind == FaultKind::Drip) {
        const long long rate = fault->arg;
        piece = static_cast<size_t>(std::clamp(rate / 10, 1LL, static_cast<long long>(kChunk)));
        pause = std::chrono::microseconds(static_cast<long long>(piece) * 1000000 / rate);
    }

    // One buffer per response: a fresh one per piece only churns the allocator.
    auto buffer = std::make_shared<std::vector<char>>(piece);
    res.set_content_provider(
        file->size, type,
        [file, buffer, limit, piece, pause, hold, connection](size_t offset, size_t length,
                                                              httplib::DataSink& sink) {
            if (stopping)
                return false;
            if (offset >= limit) {
                // Stalled or cut short: answering false drops the connection.
                if (hold)
                    HoldStalled(connection);
                return false;
            }
            const size_t want = std::min({length, limit - offset, piece});
            const ssize_t n = ::pread(file->fd, buffer->data(), want, static_cast<off_t>(offset));
            if (n <= 0 || !sink.write(buffer->data(), static_cast<size_t>(n)))
                return false;
            if (pause.count() > 0)
                return SleepUnlessStopping(
                    std::chrono::duration_cast<std::chrono::milliseconds>(pause));
            return true;
        });
}

std::string Param(const httplib::Request& req, const char* name)
{
    return req.has_param(name) ? req.get_param_value(name) : std::string();
}

// Control requests are answered before the library reads a request body, so
// a bare "POST" without Content-Length works too; any body stays unread, hence
// "Connection: close".
void AnswerControl(FaultTable& table, const httplib::Request& req, httplib::Response& res)
{
    res.set_header("Connection", "close");
    auto answer = [&](int status, const std::string& text) {
        res.status = status;
        res.set_content(text, "text/plain");
    };
    if (req.remote_addr != "127.0.0.1")
        return answer(403, "forbidden\n");
    const std::string path = Param(req, "path");
    if (req.path == "/_control/fault") {
        if (req.method != "POST")
            return answer(405, "use POST\n");
        const auto fault = ParseFault(Param(req, "spec"));
        if (path.empty() || path.front() != '/' || !fault)
            return answer(400, "bad fault\n");
        table.Set(path, *fault);
        return answer(200, "ok\n");
    }
    if (req.path == "/_control/clear") {
        if (req.method != "POST")
            return answer(405, "use POST\n");
        table.Clear(path);
        return answer(200, "ok\n");
    }
    if (req.path == "/_control/hits") {
        if (req.method != "GET")
            return answer(405, "use GET\n");
        if (path.empty())
            return answer(400, "missing path\n");
        return answer(200, std::to_string(table.Hits(path)) + "\n");
    }
    answer(404, "no such control\n");
}

void AddRoutes(httplib::Server& svr, FaultTable& table, const std::string& root)
{
    svr.set_pre_routing_handler([&table](const httplib::Request& req, httplib::Response& res) {
        if (req.path.compare(0, kControlPrefix.size(), kControlPrefix) != 0) {
            table.CountHit(req.path);
            return httplib::Server::HandlerResponse::Unhandled;
        }
        AnswerControl(table, req, res);
        return httplib::Server::HandlerResponse::Handled;
    });

    svr.Get(".*", [&table, root](const httplib::Request& req, httplib::Response& res) {
        const auto fault = table.Find(req.path);
        if (fault && fault->kind == FaultKind::Refuse) {
            const int connection = FindConnectionSocket(req);
            if (connection >= 0)
                ::shutdown(connection, SHUT_RDWR);
            res.status = 500;
            return;
        }
        if (fault && fault->kind == FaultKind::Delay &&
            !SleepUnlessStopping(std::chrono::milliseconds(fault->arg))) {
            res.status = 503;
            return;
        }
        if (fault && fault->kind == FaultKind::Status) {
            res.status = static_cast<int>(fault->arg);
            res.set_content("status " + std::to_string(fault->arg) + " on request\n", "text/plain");
            return;
        }
        ServeFile(req, res, root, fault);
    });
}

[[noreturn]] void Usage(const char* problem)
{
    std::fprintf(stderr,
                 "zendrel-server: %s\n"
                 "usage: zendrel-server --root DIR [--port N] [--cert FILE --key FILE]\n"
                 "                      [--fault PATH=KIND[:ARG]]... [--exit-on-stdin-eof]\n"
                 "kinds: delay:MS stall:BYTES short:BYTES status:CODE drip:BYTES_PER_SECOND "
                 "refuse\n",
                 problem);
    std::exit(2);
}

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                Usage(("missing value for " + arg).c_str());
            return argv[++i];
        };
        if (arg == "--root") {
            options.root = value();
        } else if (arg == "--port") {
            const std::string text = value();
            char* end = nullptr;
            const long port = std::strtol(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || port < 0 || port > 65535)
                Usage("bad port");
            options.port = static_cast<int>(port);
        } else if (arg == "--cert") {
            options.certFile = value();
        } else if (arg == "--key") {
            options.keyFile = value();
        } else if (arg == "--fault") {
            options.faults.push_back(value());
        } else if (arg == "--exit-on-stdin-eof") {
            options.exitOnStdinEof = true;
        } else if (arg == "--help") {
            Usage("help");
        } else {
            Usage(("unknown option " + arg).c_str());
        }
    }
    if (options.root.empty())
        Usage("--root is required");
    if (options.certFile.empty() != options.keyFile.empty())
        Usage("--cert and --key go together");
    return options;
}

void RequestStop(httplib::Server* svr)
{
    stopping = true;
    // Idle keep-alive connections can hold the workers for seconds; a stopped
    // test server has nothing left to save, so it does not wait for them long.
    const auto until = Clock::now() + std::chrono::seconds(1);
    while (!listenEnded && Clock::now() < until) {
        svr->stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::fflush(stdout);
    std::_Exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);

    std::unique_ptr<char, decltype(&std::free)> realRoot(::realpath(options.root.c_str(), nullptr),
                                                         &std::free);
    struct stat rootStat {};
    if (!realRoot || ::stat(realRoot.get(), &rootStat) != 0 || !S_ISDIR(rootStat.st_mode)) {
        std::fprintf(stderr, "zendrel-server: %s is not a folder\n", options.root.c_str());
        return 2;
    }
    const std::string root = realRoot.get();

    // Leaked on purpose: the stop thread may still use them while the process ends.
    auto* table = new FaultTable;
    for (const std::string& text : options.faults) {
        auto assignment = ParseFaultAssignment(text);
        if (!assignment)
            Usage(("bad fault " + text).c_str());
        table->Set(assignment->first, assignment->second);
    }

    std::signal(SIGPIPE, SIG_IGN);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    const bool https = !options.certFile.empty();
    httplib::Server* svr = nullptr;
    if (https)
        svr = new httplib::SSLServer(options.certFile.c_str(), options.keyFile.c_str());
    else
        svr = new httplib::Server;
    if (!svr->is_valid()) {
        std::fprintf(stderr, "zendrel-server: cannot use certificate %s with key %s\n",
                     options.certFile.c_str(), options.keyFile.c_str());
        return 1;
    }
    svr->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    // The library's default shares the port with other listeners (SO_REUSEPORT);
    // a second server on a taken port must fail instead.
    svr->set_socket_options([](int sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    svr->set_read_timeout(5);
    svr->set_write_timeout(10);
    svr->set_keep_alive_timeout(2);
    svr->set_payload_max_length(1024 * 1024);
    AddRoutes(*svr, *table, root);

    std::thread([svr, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        RequestStop(svr);
    }).detach();
    if (options.exitOnStdinEof) {
        std::thread([svr] {
            char buffer[256];
            while (true) {
                const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
                if (n == 0 || (n < 0 && errno != EINTR))
                    break;
            }
            RequestStop(svr);
        }).detach();
    }

    int port = options.port;
    if (port == 0) {
        port = svr->bind_to_any_port("127.0.0.1");
    } else if (!svr->bind_to_port("127.0.0.1", port)) {
        port = -1;
    }
    if (port <= 0) {
        std::fprintf(stderr, "zendrel-server: cannot listen on 127.0.0.1:%d\n", options.port);
        return 1;
    }
    std::printf("listening on %s://127.0.0.1:%d\n", https ? "https" : "http", port);
    std::fflush(stdout);

    if (!stopping)
        svr->listen_after_bind();
    listenEnded = true;
    if (!stopping) {
        std::fprintf(stderr, "zendrel-server: stopped accepting connections\n");
        std::_Exit(1);
    }
    // The stop thread ends the process.
    while (true)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}
