// A demo quibbit: one window that shows its title until it is closed or the
// process gets SIGTERM. The title and class come from the data appended to
// this very file.
#include "Trailer.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

int stopPipe[2] = {-1, -1};

void OnStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
}

bool InstallStopHandler()
{
    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    ::sigemptyset(&action.sa_mask);
    return ::sigaction(SIGTERM, &action, nullptr) == 0 &&
           ::sigaction(SIGINT, &action, nullptr) == 0;
}

unsigned long Colour(Display* display, const char* name, unsigned long fallback)
{
    XColor exact{};
    XColor screen{};
    const Colormap map = DefaultColormap(display, DefaultScreen(display));
    if (XAllocNamedColor(display, map, name, &screen, &exact) != 0)
        return screen.pixel;
    return fallback;
}

XFontStruct* LoadFont(Display* display)
{
    for (const char* name :
         {"-*-helvetica-bold-r-normal-*-18-*-*-*-*-*-iso8859-1", "10x20", "9x15bold", "fixed"}) {
        if (XFontStruct* font = XLoadQueryFont(display, name))
            return font;
    }
    return nullptr;
}

class QuibbitWindow {
public:
    QuibbitWindow(Display* display, const std::vector<std::string>& data)
        : display_(display)
        , title_(data[demo::kWindowTitle])
        , version_("Version " + data[demo::kVersion])
    {
        const int screen = DefaultScreen(display);
        background_ = Colour(display, "#1d5c3a", BlackPixel(display, screen));
        foreground_ = Colour(display, "#f4f1de", WhitePixel(display, screen));
        accent_ = Colour(display, "#e0a526", WhitePixel(display, screen));

        window_ = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, kWidth, kHeight,
                                      0, foreground_, background_);
        XSelectInput(display, window_, ExposureMask | StructureNotifyMask);

        XSizeHints size{};
        size.flags = PSize | PMinSize;
        size.width = size.min_width = kWidth;
        size.height = size.min_height = kHeight;
        XWMHints wm{};
        wm.flags = InputHint | StateHint;
        wm.input = True;
        wm.initial_state = NormalState;
        std::string resName = data[demo::kResName];
        std::string resClass = data[demo::kResClass];
        XClassHint classHint{resName.data(), resClass.data()};
        Xutf8SetWMProperties(display, window_, title_.c_str(), title_.c_str(), nullptr, 0, &size,
                             &wm, &classHint);

        const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
        XChangeProperty(display, window_, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(title_.data()),
                        static_cast<int>(title_.size()));
        const long pid = ::getpid();
        XChangeProperty(display, window_, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL,
                        32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
        deleteWindow_ = XInternAtom(display, "WM_DELETE_WINDOW", False);
        protocols_ = XInternAtom(display, "WM_PROTOCOLS", False);
        XSetWMProtocols(display, window_, &deleteWindow_, 1);

        gc_ = XCreateGC(display, window_, 0, nullptr);
        font_ = LoadFont(display);
        if (font_ != nullptr)
            XSetFont(display, gc_, font_->fid);
        XMapWindow(display, window_);
        XFlush(display);
    }

    ~QuibbitWindow()
    {
        if (font_ != nullptr)
            XFreeFont(display_, font_);
        XFreeGC(display_, gc_);
        XDestroyWindow(display_, window_);
    }

    QuibbitWindow(const QuibbitWindow&) = delete;
    QuibbitWindow& operator=(const QuibbitWindow&) = delete;

    // False once the window was asked to close.
    bool Handle(const XEvent& event)
    {
        switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0)
                Paint();
            return true;
        case ConfigureNotify:
            width_ = event.xconfigure.width;
            height_ = event.xconfigure.height;
            return true;
        case ClientMessage:
            return !(event.xclient.message_type == protocols_ &&
                     static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_);
        case DestroyNotify:
            return false;
        default:
            return true;
        }
    }

private:
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 160;

    int TextWidth(const std::string& text) const
    {
        if (font_ == nullptr)
            return static_cast<int>(text.size()) * 6;
        return XTextWidth(font_, text.data(), static_cast<int>(text.size()));
    }

    void DrawCentred(const std::string& text, int y)
    {
        XDrawString(display_, window_, gc_, (width_ - TextWidth(text)) / 2, y, text.data(),
                    static_cast<int>(text.size()));
    }

    void Paint()
    {
        XSetForeground(display_, gc_, accent_);
        XFillRectangle(display_, window_, gc_, 0, 0, static_cast<unsigned>(width_), 8);
        XFillRectangle(display_, window_, gc_, 0, height_ - 8, static_cast<unsigned>(width_), 8);
        XSetForeground(display_, gc_, foreground_);
        DrawCentred(title_, height_ / 2 - 10);
        DrawCentred(version_, height_ / 2 + 16);
        XSetForeground(display_, gc_, accent_);
        DrawCentred("Close this window to end the quibbit.", height_ - 24);
        XFlush(display_);
    }

    Display* display_;
    std::string title_;
    std::string version_;
    Window window_ = 0;
    GC gc_ = nullptr;
    XFontStruct* font_ = nullptr;
    unsigned long background_ = 0;
    unsigned long foreground_ = 0;
    unsigned long accent_ = 0;
    Atom deleteWindow_ = 0;
    Atom protocols_ = 0;
    int width_ = kWidth;
    int height_ = kHeight;
};

int RunWindow(Display* display, const std::vector<std::string>& data)
{
    QuibbitWindow window(display, data);
    pollfd fds[2] = {{ConnectionNumber(display), POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (!window.Handle(event))
                return 0;
        }
        if (::poll(fds, 2, -1) < 0 && errno != EINTR)
            return 1;
        if ((fds[1].revents & POLLIN) != 0)
            return 0;
    }
}

} // namespace

int main(int argc, char** argv)
{
    const auto payload = demo::ReadTrailer("/proc/self/exe", demo::kQuibbitMagic);
    const auto data = payload ? demo::UnpackFields(*payload) : std::nullopt;
    if (!data || data->size() != demo::kQuibbitFieldCount) {
        std::fprintf(stderr, "demo-quibbit: this file carries no quibbit data; the quibbits are "
                             "written by their installers (made by demo-site)\n");
        return 2;
    }
    if (argc > 1 && std::strcmp(argv[1], "--info") == 0) {
        std::printf("title=%s\nclass=%s.%s\nversion=%s\n", (*data)[demo::kWindowTitle].c_str(),
                    (*data)[demo::kResName].c_str(), (*data)[demo::kResClass].c_str(),
                    (*data)[demo::kVersion].c_str());
        return 0;
    }
    std::setlocale(LC_ALL, "");
    if (!InstallStopHandler()) {
        std::perror("demo-quibbit: signal set-up");
        return 1;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "demo-quibbit: cannot open the X display %s\n",
                     name != nullptr && *name != '\0' ? name : "(DISPLAY is not set)");
        return 1;
    }
    const int result = RunWindow(display, *data);
    XCloseDisplay(display);
    return result;
}
