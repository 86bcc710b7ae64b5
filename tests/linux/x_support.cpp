#include "x_support.h"

#include <X11/Xutil.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

int IgnoreXError(Display *, XErrorEvent *)
{
    return 0;
}

} // namespace

Display *OpenTestDisplay()
{
    XSetErrorHandler(IgnoreXError);
    Display *display = nullptr;
    WaitUntil([&] { return (display = XOpenDisplay(nullptr)) != nullptr; }, 3000);
    return display;
}

bool WaitUntil(const std::function<bool()> &condition, int milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

Window CreateTestWindow(Display *display, int width, int height)
{
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, unsigned(width),
                                              unsigned(height), 0, 0, BlackPixel(display, DefaultScreen(display)));
    XMapWindow(display, window);
    XSync(display, False);
    return window;
}

int LitPixels(Display *display, Window window, int x, int y, int width, int height)
{
    XImage *image = XGetImage(display, window, x, y, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return 0;
    int lit = 0;
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            const unsigned long r = (pixel >> 16) & 255, g = (pixel >> 8) & 255, b = pixel & 255;
            lit += std::max(r, std::max(g, b)) > 40;
        }
    }
    XDestroyImage(image);
    return lit;
}

bool Program::Start(const std::string &path, const std::vector<std::string> &args,
                    const std::vector<std::string> &extraEnvironment,
                    const std::vector<std::string> &removeEnvironment)
{
    char name[] = "/tmp/nimbra-stderr-XXXXXX", outputName[] = "/tmp/nimbra-stdout-XXXXXX";
    const int errorFd = mkstemp(name);
    if (errorFd < 0) return false;
    errorFile = name;
    const int outputFd = mkstemp(outputName);
    if (outputFd < 0) return false;
    outputFile = outputName;
    std::vector<std::string> environment;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        bool removed = false;
        for (const std::string &gone : removeEnvironment) removed |= entry.rfind(gone + "=", 0) == 0;
        if (!removed) environment.push_back(entry);
    }
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    std::vector<char *> argv = {const_cast<char *>(path.c_str())}, envp;
    for (const std::string &arg : args) argv.push_back(const_cast<char *>(arg.c_str()));
    for (const std::string &entry : environment) envp.push_back(const_cast<char *>(entry.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t parent = getpid();
    pid = fork();
    if (pid == 0) {
        // The program ends with the test, whatever ends the test; its output
        // stays off the test's own, which CTest reads until every writer is gone.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        dup2(outputFd, 1);
        dup2(errorFd, 2);
        execve(path.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(errorFd);
    close(outputFd);
    return pid > 0;
}

int Program::Wait(int milliseconds)
{
    int status = 0;
    int ended = 0;
    WaitUntil([&] { ended = waitpid(pid, &status, WNOHANG); return ended != 0; }, milliseconds);
    if (ended != pid) return -1;
    pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Program::Running()
{
    return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0;
}

namespace {

std::string FileText(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::string Program::ErrorText() const
{
    return FileText(errorFile);
}

std::string Program::OutputText() const
{
    return FileText(outputFile);
}

char ProcessState(int pid)
{
    const std::string stat = FileText("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '?';
}

double CpuSeconds(int pid)
{
    const std::string stat = FileText("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    long ticks = 0;
    for (int number = 3; fields >> field && number <= 15; ++number)   // 14 utime, 15 stime
        if (number >= 14) ticks += std::atol(field.c_str());
    return double(ticks) / double(sysconf(_SC_CLK_TCK));
}

Program::~Program()
{
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (!errorFile.empty()) unlink(errorFile.c_str());
    if (!outputFile.empty()) unlink(outputFile.c_str());
}

Window FindWindowNamed(Display *display, const char *title)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char *name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (std::strcmp(name, title) == 0) found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}
