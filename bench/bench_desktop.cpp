// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, memory and idle cost of the real program on an X desktop with a tray host.
//
//   bench_desktop start [--runs N] [--drop-caches] [--settle-ms MS] [--roles frmRed,...]
//                 [--log FILE] [--label NAME] -- PROGRAM [ARGS...]
//     Starts the program N times. Each time measures from just before exec until its tray icon
//     is docked (an _XEMBED_INFO window of class "tackpad" reparented away from the root window
//     and viewable) and every note window of the given roles is viewable. The watcher is an X
//     client that selects structure and property events on every new top-level window and
//     re-checks only after an event arrived: it sleeps in poll() otherwise, so it costs the
//     program nothing while it starts; the time is taken when poll() wakes for the event that
//     completes the picture. After the settle time it reads VmRSS (/proc/PID/status) and Pss
//     (/proc/PID/smaps_rollup), then ends the program with SIGTERM.
//     --drop-caches writes 3 to /proc/sys/vm/drop_caches (after sync) before every start.
//
//   bench_desktop idle [--seconds S] [--settle-ms MS] [--roles frmRed,...] [--click ROLE]
//                 [--log FILE] -- PROGRAM [ARGS...]
//     Starts the program, waits for its tray icon (and the note windows of the given roles; none
//     unless given), clicks into the note of the --click role as a person does (xdotool, the
//     button held 40 ms), waits the settle time, then takes the CPU time of all its threads
//     (/proc/PID/task/*/schedstat, nanoseconds) and their voluntary and involuntary context
//     switches over S seconds.
//
//   bench_desktop mapped [--seconds S] [--roles frmRed,...] [--log FILE] -- PROGRAM [ARGS...]
//     Starts the program and prints the wall-clock time (ms since 1970, the real clock) at which
//     every window of the given roles became viewable, waiting at most S seconds; then ends it.
//
// Prints "key value" lines; lines starting with "#" are comments for people.
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double nowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Options {
    std::string mode;
    int runs = 10;
    bool dropCaches = false;
    int settleMs = 1500;
    int seconds = 60;
    std::string log = "/dev/null";
    std::string label = "start";
    std::set<std::string> roles = { "frmRed", "frmGreen", "frmBlue" };
    bool rolesGiven = false;
    std::string click;
    std::vector<char*> program;
};

std::set<std::string> splitRoles(const std::string& text)
{
    std::set<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string part
            = text.substr(start, comma == std::string::npos ? comma : comma - start);
        if (!part.empty())
            out.insert(part);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return out;
}

bool dropCaches()
{
    ::sync();
    const int fd = ::open("/proc/sys/vm/drop_caches", O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, "3\n", 2) == 2;
    ::close(fd);
    return ok;
}

pid_t launch(const Options& o)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(o.log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        std::vector<char*> argv = o.program;
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        std::perror("exec");
        ::_exit(127);
    }
    return pid;
}

void stop(pid_t pid)
{
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        ::usleep(10000);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

// --- the X watcher ---------------------------------------------------------------------------

struct Window {
    bool classKnown = false;
    bool ours = false;
    std::string role;
    bool xembed = false;
    xcb_window_t parent = 0;
};

class Watcher {
public:
    bool open()
    {
        m_c = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_c))
            return false;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        m_role = atom("WM_WINDOW_ROLE");
        m_xembed = atom("_XEMBED_INFO");
        sync();
        return true;
    }
    ~Watcher()
    {
        if (m_c)
            xcb_disconnect(m_c);
    }

    void reset()
    {
        drain();
        m_windows.clear();
    }

    /// Waits for the picture: tray docked (when wanted) and every role viewable. Returns the
    /// times (ms since t0) of both parts, or negative ones on timeout / exit of the program.
    bool wait(pid_t pid, double t0, const std::set<std::string>& roles, bool wantTray,
        double timeoutMs, double& trayMs, double& notesMs, int& batches, double& checkMs)
    {
        trayMs = wantTray ? -1 : 0;
        notesMs = roles.empty() ? 0 : -1;
        batches = 0;
        checkMs = 0;
        pollfd pfd { xcb_get_file_descriptor(m_c), POLLIN, 0 };
        for (;;) {
            const double left = t0 + timeoutMs - nowMs();
            if (left <= 0)
                return false;
            const int r = ::poll(&pfd, 1, int(std::min(left, 100.0)) + 1);
            const double woke = nowMs();
            if (r < 0 && errno != EINTR)
                return false;
            if (::waitpid(pid, nullptr, WNOHANG) == pid) {
                std::fprintf(stderr, "the program ended during start-up\n");
                return false;
            }
            bool any = false;
            while (xcb_generic_event_t* e = xcb_poll_for_event(m_c)) {
                handle(e);
                free(e);
                any = true;
            }
            if (xcb_connection_has_error(m_c))
                return false;
            if (!any)
                continue;
            ++batches;
            bool tray = false;
            std::set<std::string> shown;
            check(roles, tray, shown);
            checkMs += nowMs() - woke;
            if (trayMs < 0 && tray)
                trayMs = woke - t0;
            if (notesMs < 0 && shown == roles)
                notesMs = woke - t0;
            if (trayMs >= 0 && notesMs >= 0)
                return true;
        }
    }

    /// The screen rectangle of the program's window of that role, or false when there is none.
    bool rectOf(const std::string& role, int& x, int& y, int& width, int& height)
    {
        for (const auto& [id, win] : m_windows) {
            if (!win.ours || win.role != role)
                continue;
            xcb_get_geometry_reply_t* g
                = xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, id), nullptr);
            xcb_translate_coordinates_reply_t* t = xcb_translate_coordinates_reply(
                m_c, xcb_translate_coordinates(m_c, id, m_root, 0, 0), nullptr);
            const bool ok = g && t;
            if (ok) {
                x = t->dst_x;
                y = t->dst_y;
                width = g->width;
                height = g->height;
            }
            free(g);
            free(t);
            return ok;
        }
        return false;
    }

private:
    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    }
    void sync() { free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); }
    void drain()
    {
        sync();
        while (xcb_generic_event_t* e = xcb_poll_for_event(m_c))
            free(e);
    }

    std::string stringProperty(xcb_window_t w, xcb_atom_t property, bool* present = nullptr)
    {
        xcb_get_property_reply_t* r = xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
        std::string out;
        if (present)
            *present = r && r->type != XCB_ATOM_NONE;
        if (r && r->type != XCB_ATOM_NONE)
            out.assign(static_cast<const char*>(xcb_get_property_value(r)),
                size_t(xcb_get_property_value_length(r)));
        free(r);
        return out;
    }

    void readProperties(xcb_window_t w, Window& win)
    {
        if (!win.classKnown) {
            bool present = false;
            const std::string cls = stringProperty(w, XCB_ATOM_WM_CLASS, &present);
            if (present) {
                win.classKnown = true;
                // "instance\0class\0"
                win.ours = std::string(cls.c_str()) == "tackpad";
            }
        }
        if (win.ours) {
            win.role = stringProperty(w, m_role).c_str();
            bool present = false;
            stringProperty(w, m_xembed, &present);
            win.xembed = present;
        }
    }

    void handle(xcb_generic_event_t* e)
    {
        switch (e->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            auto* ev = reinterpret_cast<xcb_create_notify_event_t*>(e);
            if (ev->parent != m_root)
                break;
            const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(m_c, ev->window, XCB_CW_EVENT_MASK, &mask);
            Window& win = m_windows[ev->window];
            win.parent = m_root;
            readProperties(ev->window, win); // set before the selection took effect
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            auto* ev = reinterpret_cast<xcb_property_notify_event_t*>(e);
            auto it = m_windows.find(ev->window);
            if (it != m_windows.end()
                && (ev->atom == XCB_ATOM_WM_CLASS || ev->atom == m_role || ev->atom == m_xembed))
                readProperties(ev->window, it->second);
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            auto* ev = reinterpret_cast<xcb_reparent_notify_event_t*>(e);
            auto it = m_windows.find(ev->window);
            if (it != m_windows.end())
                it->second.parent = ev->parent;
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            auto* ev = reinterpret_cast<xcb_destroy_notify_event_t*>(e);
            m_windows.erase(ev->window);
            break;
        }
        default:
            break;
        }
    }

    void check(const std::set<std::string>& roles, bool& tray, std::set<std::string>& shown)
    {
        std::vector<std::pair<xcb_window_t, xcb_get_window_attributes_cookie_t>> asks;
        for (const auto& [id, win] : m_windows) {
            if (win.ours && (win.xembed || roles.count(win.role)))
                asks.emplace_back(id, xcb_get_window_attributes(m_c, id));
        }
        for (const auto& [id, cookie] : asks) {
            xcb_get_window_attributes_reply_t* r
                = xcb_get_window_attributes_reply(m_c, cookie, nullptr);
            const bool viewable = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
            free(r);
            if (!viewable)
                continue;
            const Window& win = m_windows[id];
            if (win.xembed && win.parent != m_root)
                tray = true;
            if (roles.count(win.role))
                shown.insert(win.role);
        }
    }

    xcb_connection_t* m_c = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_role = 0;
    xcb_atom_t m_xembed = 0;
    std::map<xcb_window_t, Window> m_windows;
};

// --- /proc ----------------------------------------------------------------------------------

long fieldKb(const std::string& path, const char* name)
{
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return -1;
    char line[512];
    long value = -1;
    const size_t n = std::strlen(name);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, name, n) == 0 && line[n] == ':') {
            value = std::strtol(line + n + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

struct Usage {
    double cpuNs = 0;
    long switches = 0;
    long voluntary = 0;
    int threads = 0;
    std::map<std::string, long> switchesByThread; // "name/tid"
    double statTicks = 0; // utime + stime of the whole process, dead threads included
};

Usage usageOf(pid_t pid)
{
    Usage u;
    const std::string base = "/proc/" + std::to_string(pid);
    if (DIR* d = ::opendir((base + "/task").c_str())) {
        while (const dirent* e = ::readdir(d)) {
            if (e->d_name[0] == '.')
                continue;
            const std::string task = base + "/task/" + e->d_name;
            if (FILE* f = std::fopen((task + "/schedstat").c_str(), "r")) {
                unsigned long long run = 0;
                if (std::fscanf(f, "%llu", &run) == 1)
                    u.cpuNs += double(run);
                std::fclose(f);
            }
            const long vol = fieldKb(task + "/status", "voluntary_ctxt_switches");
            const long inv = fieldKb(task + "/status", "nonvoluntary_ctxt_switches");
            u.voluntary += std::max(0L, vol);
            u.switches += std::max(0L, vol) + std::max(0L, inv);
            std::string name;
            if (FILE* f = std::fopen((task + "/comm").c_str(), "r")) {
                char comm[64] = "";
                if (std::fgets(comm, sizeof comm, f))
                    name.assign(comm, std::strcspn(comm, "\n"));
                std::fclose(f);
            }
            u.switchesByThread[name + "/" + e->d_name] = std::max(0L, vol) + std::max(0L, inv);
            ++u.threads;
        }
        ::closedir(d);
    }
    if (FILE* f = std::fopen((base + "/stat").c_str(), "r")) {
        char buf[2048];
        const size_t n = std::fread(buf, 1, sizeof buf - 1, f);
        buf[n] = 0;
        std::fclose(f);
        if (const char* p = std::strrchr(buf, ')')) {
            // fields after the name: state(3) ... utime(14) stime(15)
            unsigned long long utime = 0, stime = 0;
            std::sscanf(
                p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime);
            u.statTicks = double(utime + stime);
        }
    }
    return u;
}

void settle(pid_t pid, int ms)
{
    const double end = nowMs() + ms;
    while (nowMs() < end) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        ::usleep(20000);
    }
}

int start(const Options& o, Watcher& x)
{
    std::vector<double> ready, tray, notes, rss, pss, checkCost, cpu, disk;
    bool dropped = o.dropCaches;
    for (int run = 0; run < o.runs; ++run) {
        x.reset();
        if (o.dropCaches && !dropCaches())
            dropped = false;
        const double t0 = nowMs();
        const pid_t pid = launch(o);
        double trayMs = 0, notesMs = 0, checkMs = 0;
        int batches = 0;
        const bool ok = x.wait(pid, t0, o.roles, true, 20000, trayMs, notesMs, batches, checkMs);
        if (!ok) {
            std::fprintf(stderr,
                "run %d: no complete start-up within 20 s (tray %.0f, notes %.0f)\n", run, trayMs,
                notesMs);
            stop(pid);
            return 1;
        }
        const double cpuAtReady = usageOf(pid).cpuNs / 1e6;
        // What the start-up fetched from the disk (page-cache misses), up to the moment of ready.
        const long readKb = fieldKb("/proc/" + std::to_string(pid) + "/io", "read_bytes") / 1024;
        settle(pid, o.settleMs);
        const std::string base = "/proc/" + std::to_string(pid);
        const long vmRss = fieldKb(base + "/status", "VmRSS");
        const long pssKb = fieldKb(base + "/smaps_rollup", "Pss");
        stop(pid);
        const double all = std::max(trayMs, notesMs);
        std::printf("# %s run %d: ready %.1f ms (tray %.1f, notes %.1f), %d event batches, "
                    "%.3f ms checking per batch; CPU until then %.1f ms, read from disk %.1f MB; "
                    "VmRSS %.1f MB, PSS %.1f MB\n",
            o.label.c_str(), run + 1, all, trayMs, notesMs, batches, checkMs / batches, cpuAtReady,
            readKb / 1024.0, vmRss / 1024.0, pssKb / 1024.0);
        ready.push_back(all);
        tray.push_back(trayMs);
        notes.push_back(notesMs);
        rss.push_back(vmRss / 1024.0);
        pss.push_back(pssKb / 1024.0);
        checkCost.push_back(checkMs / batches);
        cpu.push_back(cpuAtReady);
        disk.push_back(readKb / 1024.0);
        ::usleep(300000); // let the window manager and tray forget the windows
    }
    const char* l = o.label.c_str();
    std::printf("%s.runs %d\n", l, o.runs);
    std::printf("%s.cold %d\n", l, dropped ? 1 : 0);
    std::printf("%s.ready_median_ms %.2f\n", l, median(ready));
    std::printf("%s.ready_min_ms %.2f\n", l, *std::min_element(ready.begin(), ready.end()));
    std::printf("%s.ready_max_ms %.2f\n", l, *std::max_element(ready.begin(), ready.end()));
    std::printf("%s.tray_median_ms %.2f\n", l, median(tray));
    std::printf("%s.notes_median_ms %.2f\n", l, median(notes));
    std::printf("%s.watch_cost_ms %.3f\n", l, median(checkCost));
    std::printf("%s.cpu_until_ready_ms %.2f\n", l, median(cpu));
    std::printf("%s.disk_read_until_ready_mb %.2f\n", l, median(disk));
    std::printf("%s.vmrss_mb %.2f\n", l, median(rss));
    std::printf("%s.pss_mb %.2f\n", l, median(pss));
    return 0;
}

// A click as a person makes it, a little above the middle of the window: xdotool presses, holds
// the button 40 ms and releases (a zero-length click would leave the window manager expecting
// a move). Then the pointer stays where it is, over the note.
bool clickInto(const std::string& role, Watcher& x)
{
    int left = 0, top = 0, width = 0, height = 0;
    if (!x.rectOf(role, left, top, width, height)) {
        std::fprintf(stderr, "no window of role %s to click into\n", role.c_str());
        return false;
    }
    const std::string px = std::to_string(left + width / 2);
    const std::string py = std::to_string(top + height / 3);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execlp("xdotool", "xdotool", "mousemove", px.c_str(), py.c_str(), "sleep", "0.05",
            "mousedown", "1", "sleep", "0.04", "mouseup", "1", static_cast<char*>(nullptr));
        std::perror("exec xdotool");
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)
        || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "the click into %s failed\n", role.c_str());
        return false;
    }
    std::printf("# clicked into %s at %s,%s\n", role.c_str(), px.c_str(), py.c_str());
    return true;
}

int idle(const Options& o, Watcher& x)
{
    x.reset();
    const double t0 = nowMs();
    const pid_t pid = launch(o);
    double trayMs = 0, notesMs = 0, checkMs = 0;
    int batches = 0;
    const std::set<std::string> roles = o.rolesGiven ? o.roles : std::set<std::string> {};
    if (!x.wait(pid, t0, roles, true, 20000, trayMs, notesMs, batches, checkMs)) {
        std::fprintf(stderr, "the tray icon or a note did not appear\n");
        stop(pid);
        return 1;
    }
    if (!o.click.empty() && !clickInto(o.click, x)) {
        stop(pid);
        return 1;
    }
    settle(pid, o.settleMs);
    const Usage a = usageOf(pid);
    const double w0 = nowMs();
    settle(pid, o.seconds * 1000);
    const Usage b = usageOf(pid);
    const double wallMs = nowMs() - w0;
    stop(pid);
    const double cpuMs = (b.cpuNs - a.cpuNs) / 1e6;
    const double ticksMs = (b.statTicks - a.statTicks) * 1000.0 / double(sysconf(_SC_CLK_TCK));
    const double seconds = wallMs / 1000.0;
    std::printf("# idle %.1f s, %d threads: CPU %.2f ms (utime+stime %.0f ms), %ld context "
                "switches (%ld voluntary)\n",
        seconds, b.threads, cpuMs, ticksMs, b.switches - a.switches, b.voluntary - a.voluntary);
    std::printf("# context switches per minute by thread:");
    for (const auto& [thread, after] : b.switchesByThread) {
        const auto before = a.switchesByThread.find(thread);
        const long n = after - (before == a.switchesByThread.end() ? 0 : before->second);
        std::printf(" %s %.1f", thread.c_str(), double(n) / seconds * 60);
    }
    std::printf("\n");
    std::printf("idle.seconds %.2f\n", seconds);
    std::printf("idle.threads %d\n", b.threads);
    std::printf("idle.cpu_ms %.3f\n", cpuMs);
    std::printf("idle.cpu_percent %.4f\n", cpuMs / wallMs * 100.0);
    std::printf("idle.stat_cpu_ms %.1f\n", ticksMs);
    std::printf("idle.wakeups_per_s %.2f\n", double(b.switches - a.switches) / seconds);
    std::printf("idle.wakeups_per_min %.1f\n", double(b.switches - a.switches) / seconds * 60);
    std::printf("idle.voluntary_per_s %.2f\n", double(b.voluntary - a.voluntary) / seconds);
    return 0;
}

int mapped(const Options& o, Watcher& x)
{
    x.reset();
    timespec real;
    clock_gettime(CLOCK_REALTIME, &real);
    const double t0 = nowMs();
    const double real0 = double(real.tv_sec) * 1e3 + double(real.tv_nsec) / 1e6;
    const pid_t pid = launch(o);
    double trayMs = 0, notesMs = 0, checkMs = 0;
    int batches = 0;
    const bool ok
        = x.wait(pid, t0, o.roles, false, o.seconds * 1000.0, trayMs, notesMs, batches, checkMs);
    stop(pid);
    if (!ok) {
        std::fprintf(stderr, "the windows did not appear\n");
        return 1;
    }
    std::printf("mapped.realtime_ms %.1f\n", real0 + notesMs);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options o;
    if (argc < 2) {
        std::fprintf(
            stderr, "usage: bench_desktop start|idle|mapped [options] -- PROGRAM [ARGS...]\n");
        return 2;
    }
    o.mode = argv[1];
    int i = 2;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        const auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (a == "--") {
            ++i;
            break;
        } else if (a == "--runs")
            o.runs = std::atoi(next().c_str());
        else if (a == "--drop-caches")
            o.dropCaches = true;
        else if (a == "--settle-ms")
            o.settleMs = std::atoi(next().c_str());
        else if (a == "--seconds")
            o.seconds = std::atoi(next().c_str());
        else if (a == "--log")
            o.log = next();
        else if (a == "--label")
            o.label = next();
        else if (a == "--roles") {
            o.roles = splitRoles(next());
            o.rolesGiven = true;
        } else if (a == "--click")
            o.click = next();
        else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return 2;
        }
    }
    for (; i < argc; ++i)
        o.program.push_back(argv[i]);
    if (o.program.empty()) {
        std::fprintf(stderr, "no program given\n");
        return 2;
    }
    Watcher x;
    if (!x.open()) {
        std::fprintf(stderr, "cannot open the X display\n");
        return 1;
    }
    if (o.mode == "start")
        return start(o, x);
    if (o.mode == "idle")
        return idle(o, x);
    if (o.mode == "mapped")
        return mapped(o, x);
    std::fprintf(stderr, "unknown mode %s\n", o.mode.c_str());
    return 2;
}
