#include "DemoSiteSupport.h"
#include "TestSupport.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <memory>
#include <optional>

using namespace demotest;

namespace {

struct ShownWindow {
    Window id = 0;
    QString netName;
    QString wmName;
    QString resName;
    QString resClass;
    bool viewable = false;
};

QString NetWmName(Display* d, Window w)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    QString name;
    if (XGetWindowProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), 0, 4096, False,
                           XInternAtom(d, "UTF8_STRING", False), &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr && format == 8)
        name = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(count));
    if (data != nullptr)
        XFree(data);
    return name;
}

ShownWindow Describe(Display* d, Window w)
{
    ShownWindow shown;
    shown.id = w;
    shown.netName = NetWmName(d, w);
    XTextProperty text{};
    if (XGetWMName(d, w, &text) != 0 && text.value != nullptr) {
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(d, &text, &list, &count) == Success && count > 0)
            shown.wmName = QString::fromUtf8(list[0]);
        if (list != nullptr)
            XFreeStringList(list);
        XFree(text.value);
    }
    XClassHint hint{};
    if (XGetClassHint(d, w, &hint) != 0) {
        shown.resName = QString::fromLatin1(hint.res_name);
        shown.resClass = QString::fromLatin1(hint.res_class);
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    XWindowAttributes attributes{};
    shown.viewable =
        XGetWindowAttributes(d, w, &attributes) != 0 && attributes.map_state == IsViewable;
    return shown;
}

// Top-level windows and, below a window manager's frames, their clients.
void Collect(Display* d, Window parent, int depth, QList<ShownWindow>& out)
{
    Window root = 0;
    Window parentOut = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(d, parent, &root, &parentOut, &children, &count) == 0)
        return;
    for (unsigned int i = 0; i < count; ++i) {
        out.append(Describe(d, children[i]));
        if (depth > 1)
            Collect(d, children[i], depth - 1, out);
    }
    if (children != nullptr)
        XFree(children);
}

std::optional<ShownWindow> WaitForWindow(Display* d, const QString& title, int timeoutMs = 10000)
{
    const QDeadlineTimer deadline(timeoutMs);
    do {
        QList<ShownWindow> windows;
        Collect(d, DefaultRootWindow(d), 2, windows);
        for (const ShownWindow& w : windows) {
            if (w.netName == title)
                return w;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return std::nullopt;
}

int IgnoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

class DemoWindowTest : public DemoSiteTest {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server (DISPLAY is not set)";
        DemoSiteTest::SetUp();
        display_ = XOpenDisplay(nullptr);
        ASSERT_NE(display_, nullptr);
        // Windows of other programs may close while we read them.
        XSetErrorHandler(IgnoreErrors);
    }
    void TearDown() override
    {
        for (const auto& p : processes_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
        if (display_ != nullptr)
            XCloseDisplay(display_);
    }

    QProcess& StartInstalled(const CatalogueEntry& e)
    {
        const QString folder = target_.File(e.title);
        const testsupport::RunResult r =
            testsupport::Run(Site().InstallerOf(e), InstallArguments(folder));
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        processes_.push_back(std::make_unique<QProcess>());
        QProcess& p = *processes_.back();
        p.start(folder + QLatin1Char('/') + e.exeName, {});
        EXPECT_TRUE(p.waitForStarted(5000));
        return p;
    }

    Display* display_ = nullptr;
    testsupport::TempFolder target_;
    std::vector<std::unique_ptr<QProcess>> processes_;
};

} // namespace

TEST_F(DemoWindowTest, EachQuibbitShowsItsTitleAndClassUntilTerminated)
{
    for (const CatalogueEntry& e : Site().entries)
        StartInstalled(e);
    for (qsizetype i = 0; i < Site().entries.size(); ++i) {
        const CatalogueEntry& e = Site().entries[i];
        SCOPED_TRACE(e.title.toStdString());
        const demo::DemoQuibbit* q = DemoOf(e);
        ASSERT_NE(q, nullptr);
        const std::optional<ShownWindow> w = WaitForWindow(display_, Text(q->windowTitle));
        ASSERT_TRUE(w.has_value()) << "no window";
        EXPECT_EQ(w->wmName, Text(q->windowTitle));
        EXPECT_EQ(w->resName, e.exeName.chopped(4).toLower());
        EXPECT_EQ(w->resClass, Text(demo::kWindowClass));
        EXPECT_TRUE(w->viewable);
    }
    for (const auto& p : processes_) {
        p->terminate();
        ASSERT_TRUE(p->waitForFinished(5000));
        EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p->exitCode(), 0);
    }
}

TEST_F(DemoWindowTest, ClosingTheWindowEndsTheQuibbit)
{
    const CatalogueEntry& e = Site().entries.first();
    QProcess& p = StartInstalled(e);
    const demo::DemoQuibbit* q = DemoOf(e);
    ASSERT_NE(q, nullptr);
    const std::optional<ShownWindow> w = WaitForWindow(display_, Text(q->windowTitle));
    ASSERT_TRUE(w.has_value());

    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = w->id;
    close.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    ASSERT_NE(XSendEvent(display_, w->id, False, NoEventMask, &close), 0);
    XFlush(display_);

    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    XSync(display_, False);
    EXPECT_FALSE(WaitForWindow(display_, Text(q->windowTitle), 0).has_value());
}
