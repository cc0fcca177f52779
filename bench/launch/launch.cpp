// Starts a program and times, from the X server's point of view, how long it
// takes until its first top-level window is mapped and first drawn into.
//
// We listen for events instead of polling: the root window's
// SubstructureNotify tells us about every new top-level window (CreateNotify)
// and its mapping (MapNotify); a Damage object on each new window tells us
// when anything is drawn into it. Both subscriptions are in place, confirmed
// by a round trip, before the program is started, so no event can be missed.
//
// Output on stdout, one "key value" per line, then "ready", for bench/run:
//   pid, window, map_ms, paint_ms (from just before fork), rss_kb, hwm_kb
//   (read settle_ms after the map), then "exit <status>" when the program ends.
// With --trace, every event goes to stderr as it arrives, in ms from the start.

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

namespace {

std::int64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

double ms(std::int64_t ns) { return double(ns) / 1e6; }

[[noreturn]] void die(const char* what) {
    std::fprintf(stderr, "vorarid_bench_launch: %s\n", what);
    std::exit(3);
}

// "VmRSS:   12345 kB" -> 12345, or -1.
long statusField(pid_t pid, const char* name) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::size_t length = std::strlen(name);
    while (std::getline(in, line)) {
        if (line.compare(0, length, name) == 0 && line.size() > length && line[length] == ':')
            return std::strtol(line.c_str() + length + 1, nullptr, 10);
    }
    return -1;
}

void usage() {
    std::fputs("usage: vorarid_bench_launch [--settle MS] [--timeout MS] [--trace] PROGRAM [ARG...]\n", stderr);
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    int settleMs = 3000;
    int timeoutMs = 30000;
    bool trace = false;
    int first = 1;
    for (; first < argc && argv[first][0] == '-'; ++first) {
        const std::string option = argv[first];
        if (option == "--settle" && first + 1 < argc) {
            settleMs = std::atoi(argv[++first]);
        } else if (option == "--timeout" && first + 1 < argc) {
            timeoutMs = std::atoi(argv[++first]);
        } else if (option == "--trace") {
            trace = true;
        } else if (option == "--") {
            ++first;
            break;
        } else {
            usage();
        }
    }
    if (first >= argc) usage();

    int screenNumber = 0;
    xcb_connection_t* x = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(x)) die("cannot connect to the X server (DISPLAY)");
    const int xfd = xcb_get_file_descriptor(x);
    fcntl(xfd, F_SETFD, FD_CLOEXEC);

    const xcb_query_extension_reply_t* damageExtension = xcb_get_extension_data(x, &xcb_damage_id);
    if (!damageExtension || !damageExtension->present) die("the X server has no DAMAGE extension");
    const std::uint8_t damageNotify = damageExtension->first_event + XCB_DAMAGE_NOTIFY;
    free(xcb_damage_query_version_reply(x, xcb_damage_query_version(x, 1, 1), nullptr));

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_generic_error_t* error =
        xcb_request_check(x, xcb_change_window_attributes_checked(x, root, XCB_CW_EVENT_MASK, &mask));
    if (error) die("cannot listen on the root window");

    std::fflush(stdout);
    const std::int64_t start = nowNs();
    const pid_t pid = fork();
    if (pid < 0) die("fork failed");
    if (pid == 0) {
        execvp(argv[first], argv + first);
        std::fprintf(stderr, "vorarid_bench_launch: cannot run %s: %s\n", argv[first], std::strerror(errno));
        _exit(127);
    }
    std::printf("pid %d\n", int(pid));
    // Lets a program's own CLOCK_MONOTONIC stamps be lined up with ours.
    if (trace) std::fprintf(stderr, "%9.3f start, CLOCK_MONOTONIC %lld ns\n", 0.0, static_cast<long long>(start));

    std::map<xcb_window_t, xcb_damage_damage_t> damages;
    xcb_window_t window = XCB_NONE;
    std::int64_t mapped = 0;
    std::int64_t painted = 0;
    int childStatus = -1;

    // Until the window is mapped and painted and settle_ms have passed since the map.
    for (;;) {
        const std::int64_t now = nowNs();
        std::int64_t deadline = start + std::int64_t(timeoutMs) * 1'000'000;
        if (mapped && painted) deadline = mapped + std::int64_t(settleMs) * 1'000'000;
        if (now >= deadline) break;

        if (childStatus < 0) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                childStatus = status;
                if (!painted) break;
            }
        }

        xcb_generic_event_t* event = xcb_poll_for_event(x);
        if (!event) {
            if (xcb_connection_has_error(x)) die("lost the X server");
            pollfd fds{xfd, POLLIN, 0};
            // Short enough to notice a program that dies before showing anything.
            const std::int64_t waitMs = std::min<std::int64_t>((deadline - now) / 1'000'000 + 1, 100);
            poll(&fds, 1, int(waitMs));
            continue;
        }
        const std::int64_t at = nowNs();
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            auto* create = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (trace)
                std::fprintf(stderr, "%9.3f create 0x%x %dx%d%s\n", ms(at - start), create->window, create->width,
                             create->height, create->override_redirect ? " override-redirect" : "");
            const xcb_damage_damage_t damage = xcb_generate_id(x);
            xcb_damage_create(x, damage, create->window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
            damages[create->window] = damage;
            xcb_flush(x);
        } else if (type == XCB_MAP_NOTIFY) {
            auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (trace)
                std::fprintf(stderr, "%9.3f map 0x%x%s\n", ms(at - start), map->window,
                             map->override_redirect ? " override-redirect" : "");
            if (!window && !map->override_redirect) {
                window = map->window;
                mapped = at;
            }
        } else if (type == damageNotify) {
            auto* damage = reinterpret_cast<xcb_damage_notify_event_t*>(event);
            if (trace)
                std::fprintf(stderr, "%9.3f damage 0x%x %d,%d %dx%d\n", ms(at - start), damage->drawable,
                             damage->area.x, damage->area.y, damage->area.width, damage->area.height);
            if (damage->drawable == window && mapped && !painted) painted = at;
        } else if (type == 0 && trace) {
            // Errors: a window destroyed before we could watch it. Harmless.
            auto* e = reinterpret_cast<xcb_generic_error_t*>(event);
            std::fprintf(stderr, "%9.3f X error %d\n", ms(at - start), e->error_code);
        }
        free(event);
    }

    // Stop watching before the program is driven further: events would only pile up.
    for (const auto& [w, damage] : damages) xcb_damage_destroy(x, damage);
    const std::uint32_t none = 0;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &none);
    xcb_flush(x);

    if (!mapped || !painted) {
        std::printf("failed %s\n", childStatus >= 0 ? "the program ended before it painted a window"
                                                    : "no window was mapped and painted in time");
        std::fflush(stdout);
        if (childStatus < 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &childStatus, 0);
        }
        std::printf("exit %d\n", childStatus);
        return 1;
    }

    std::printf("window 0x%x\n", window);
    std::printf("map_ms %.3f\n", ms(mapped - start));
    std::printf("paint_ms %.3f\n", ms(painted - start));
    std::printf("rss_kb %ld\n", statusField(pid, "VmRSS"));
    std::printf("hwm_kb %ld\n", statusField(pid, "VmHWM"));
    std::printf("ready\n");
    std::fflush(stdout);
    xcb_disconnect(x);

    if (childStatus < 0) waitpid(pid, &childStatus, 0);
    std::printf("exit %d\n", WIFEXITED(childStatus) ? WEXITSTATUS(childStatus) : 128 + WTERMSIG(childStatus));
    return 0;
}
