// Runs a program and reports how long it took until its top-level window with the given title was
// mapped, until its first frame went out (when the first-frame hook is preloaded into it), then
// (once the program has gone idle) its peak resident memory.
// Usage: mapwatch --title TITLE [--timeout-ms N] -- PROGRAM [ARGS...]
// Prints one line: "map_ms=<float> frame_ms=<float> idle_ms=<float> maxrss_kb=<int>" (frame_ms is
// -1 without the hook). Needs an X server without a reparenting window manager, so top-level maps
// are reported on the root window.
#include <xcb/xcb.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    free(r);
    return a;
}

std::string property(xcb_connection_t *c, xcb_window_t w, xcb_atom_t prop, xcb_atom_t type)
{
    xcb_get_property_reply_t *r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, type, 0, 1024), nullptr);
    std::string s;
    if (r && r->type == type)
        s.assign(static_cast<const char *>(xcb_get_property_value(r)),
                 static_cast<size_t>(xcb_get_property_value_length(r)));
    free(r);
    return s;
}

// CPU time used so far in nanoseconds, or -1 once the process is gone.
long long cpuNs(pid_t pid)
{
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/schedstat", static_cast<int>(pid));
    FILE *f = fopen(path, "r");
    if (!f)
        return -1;
    long long ns = -1;
    if (fscanf(f, "%lld", &ns) != 1)
        ns = -1;
    fclose(f);
    return ns;
}

int fail(const char *what)
{
    fprintf(stderr, "mapwatch: %s\n", what);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    std::string title;
    double timeoutMs = 20000;
    int i = 1;
    for (; i < argc; ++i) {
        if (!strcmp(argv[i], "--title") && i + 1 < argc)
            title = argv[++i];
        else if (!strcmp(argv[i], "--timeout-ms") && i + 1 < argc)
            timeoutMs = atof(argv[++i]);
        else if (!strcmp(argv[i], "--")) {
            ++i;
            break;
        } else
            return fail("usage: mapwatch --title TITLE [--timeout-ms N] -- PROGRAM [ARGS...]");
    }
    if (i >= argc || title.empty())
        return fail("usage: mapwatch --title TITLE [--timeout-ms N] -- PROGRAM [ARGS...]");

    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c))
        return fail("cannot connect to the X server");
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int s = 0; s < screenNumber; ++s)
        xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;
    const xcb_atom_t netWmName = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");

    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t *e =
            xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask))) {
        free(e);
        return fail("cannot watch the root window");
    }

    // The program must not inherit our connection.
    fcntl(xcb_get_file_descriptor(c), F_SETFD, FD_CLOEXEC);
    // The hook writes the time of the first frame here (CLOCK_MONOTONIC, as nowMs).
    int frame[2];
    if (pipe2(frame, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail("pipe failed");
    const double start = nowMs();
    const pid_t pid = fork();
    if (pid < 0)
        return fail("fork failed");
    if (pid == 0) {
        const int fd = dup(frame[1]); // without close-on-exec
        char value[16];
        snprintf(value, sizeof value, "%d", fd);
        setenv("ZL_FIRST_FRAME_FD", value, 1);
        execvp(argv[i], argv + i);
        _exit(127);
    }
    close(frame[1]);

    double mapped = -1;
    const int fd = xcb_get_file_descriptor(c);
    while (mapped < 0) {
        const double left = start + timeoutMs - nowMs();
        int status = 0;
        if (left <= 0 || waitpid(pid, &status, WNOHANG) == pid) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return fail(left <= 0 ? "timed out waiting for the window" : "program ended before its window");
        }
        pollfd pfd{fd, POLLIN, 0};
        // Wake now and then to notice a program that died without a window.
        poll(&pfd, 1, static_cast<int>(left < 50 ? left + 1 : 50));
        while (xcb_generic_event_t *ev = xcb_poll_for_event(c)) {
            if ((ev->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const double at = nowMs();
                const auto *m = reinterpret_cast<xcb_map_notify_event_t *>(ev);
                if (!m->override_redirect) {
                    std::string name = property(c, m->window, netWmName, utf8);
                    if (name.empty())
                        name = property(c, m->window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING);
                    if (name == title && mapped < 0)
                        mapped = at;
                }
            }
            free(ev);
        }
        if (xcb_connection_has_error(c))
            return fail("lost the X server");
    }

    // Peak memory counts the first paint too: wait until the program has used no CPU for 30 ms.
    const double idleDeadline = nowMs() + 5000;
    long long last = cpuNs(pid);
    double quietSince = nowMs();
    double idleAt = -1;
    while (nowMs() < idleDeadline) {
        usleep(2000);
        const long long t = cpuNs(pid);
        if (t < 0)
            break;
        if (t != last) {
            last = t;
            quietSince = nowMs();
        } else if (nowMs() - quietSince >= 30) {
            idleAt = quietSince;
            break;
        }
    }

    kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    xcb_disconnect(c);
    char line[32] = {};
    const ssize_t got = read(frame[0], line, sizeof line - 1);
    const double framed = got > 0 ? atof(line) / 1e6 - start : -1.0;
    printf("map_ms=%.3f frame_ms=%.3f idle_ms=%.3f maxrss_kb=%ld\n", mapped - start, framed,
           idleAt < 0 ? -1.0 : idleAt - start, usage.ru_maxrss);
    return idleAt < 0 ? 3 : 0;
}
