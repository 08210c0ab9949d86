// Runs a player and measures it as a user sees it: bench_firstpicture <window class> <seconds> <command...>
// Starts the command in a session of its own, polls the screen until the middle of a visible window of the
// class shows a colourful picture (the time from the start is the first picture), lets it play for the given
// seconds from there or until it ends by itself, then ends it and prints the CPU seconds it used and its peak
// resident memory.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Windows come and go while the tree is read; an error about one that went is no reason to stop.
int ignoreError(Display *, XErrorEvent *)
{
    return 0;
}

double now()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

bool hasClass(Display *display, Window window, const char *wanted)
{
    XClassHint hint;
    if (!XGetClassHint(display, window, &hint))
        return false;
    const bool match = (hint.res_class && std::strcmp(hint.res_class, wanted) == 0)
        || (hint.res_name && std::strcmp(hint.res_name, wanted) == 0);
    XFree(hint.res_name);
    XFree(hint.res_class);
    return match;
}

// The largest viewable window of the class: the player's main window, not a popup of it.
Window findWindow(Display *display, Window parent, const char *wanted, long *area)
{
    Window root, up, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable)
            continue;
        const long size = long(attributes.width) * attributes.height;
        if (hasClass(display, children[i], wanted)) {
            if (size > *area) {
                *area = size;
                found = children[i];
            }
        } else if (const Window inner = findWindow(display, children[i], wanted, area)) {
            found = inner;
        }
    }
    if (children)
        XFree(children);
    return found;
}

// True when a quarter of a grid of points in the middle half of the window is strongly coloured, as the
// test picture is and no window background or control is.
bool showsPicture(Display *display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.width < 8 || attributes.height < 8)
        return false;
    int x = 0, y = 0;
    Window child;
    const Window root = DefaultRootWindow(display);
    XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
    const int width = attributes.width / 2, height = attributes.height / 2;
    XImage *image = XGetImage(display, root, x + width / 2, y + height / 2, width, height, AllPlanes, ZPixmap);
    if (!image)
        return false;
    const int grid = 24;
    int colourful = 0;
    for (int row = 0; row < grid; ++row) {
        for (int column = 0; column < grid; ++column) {
            const unsigned long pixel = XGetPixel(image, column * (width - 1) / (grid - 1), row * (height - 1) / (grid - 1));
            const int r = (pixel >> 16) & 0xff, g = (pixel >> 8) & 0xff, b = pixel & 0xff;
            const int high = std::max(r, std::max(g, b)), low = std::min(r, std::min(g, b));
            colourful += high - low > 80;
        }
    }
    XDestroyImage(image);
    return colourful * 4 >= grid * grid;
}

}

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_firstpicture <window class> <seconds> <command...>\n");
        return 2;
    }
    const char *wanted = argv[1];
    const double seconds = std::atof(argv[2]);
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreError);
    const double start = now();
    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    if (pid < 0)
        return 2;

    double firstPicture = -1;
    int status = 0;
    rusage usage{};
    bool ended = false;
    const double limit = 120;
    while (!ended) {
        ended = wait4(pid, &status, WNOHANG, &usage) == pid;
        const double elapsed = now() - start;
        if (ended)
            break;
        if (firstPicture < 0) {
            long area = 0;
            const Window window = findWindow(display, DefaultRootWindow(display), wanted, &area);
            if (window && showsPicture(display, window))
                firstPicture = now() - start;
            else if (elapsed > limit)
                break;
        } else if (elapsed - firstPicture >= seconds) {
            break;
        }
        usleep(firstPicture < 0 ? 5000 : 50000);
    }
    if (!ended) {
        kill(-pid, SIGTERM);
        wait4(pid, &status, 0, &usage);
    }
    XCloseDisplay(display);
    if (firstPicture < 0)
        std::printf("first_picture none\n");
    else
        std::printf("first_picture %.3f\n", firstPicture);
    std::printf("cpu %.2f\n", usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
                                  + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6);
    std::printf("maxrss_kb %ld\n", usage.ru_maxrss);
    return firstPicture < 0;
}
