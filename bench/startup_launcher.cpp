// Measures start-up as the user feels it: from just before the process is
// spawned to the first paint of its main window, for several programs run in
// turn (interleaved, so that a slow spell of the machine hits all of them).
//
//   startup_launcher RUNS NAME=PROGRAM...
//
// Each program prints "first_paint_ns N" (CLOCK_MONOTONIC) and
// "peak_resident_kb N" (VmHWM) once its window has painted, then exits. The
// launcher takes CLOCK_MONOTONIC immediately before posix_spawn and checks it
// against the kernel's start time of the child (/proc/PID/stat field 22, in
// clock ticks since boot, compared with CLOCK_BOOTTIME). Two warm-up rounds
// are run first and not counted. The display is whatever the environment
// gives (DISPLAY, QT_QPA_PLATFORM).
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Nanoseconds = long long;

Nanoseconds now(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<Nanoseconds>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

struct Program {
    std::string name, path;
};

struct Run {
    double startupMs;        // launcher's clock before spawn to first paint
    double kernelStartupMs;  // kernel's start time of the process to first paint
    double kernelOffsetMs;   // kernel's start time (whole ticks) minus the launcher's clock
    double spawnMs;          // how long posix_spawn took to return
    long peakResidentKb;
};

// Field 22 of /proc/PID/stat: the process's start time in clock ticks since
// boot. The command name (field 2) may hold spaces, so fields are counted
// from its closing parenthesis.
long long startTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) fields >> field;
    return std::stoll(field);
}

// Runs one program to its first paint; exits the launcher if it fails.
Run runOnce(const Program& program) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) std::exit(2);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    char* argv[] = {const_cast<char*>(program.path.c_str()), nullptr};

    const Nanoseconds bootBefore = now(CLOCK_BOOTTIME);
    const Nanoseconds before = now(CLOCK_MONOTONIC);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.path.c_str(), &actions, nullptr, argv, environ);
    const Nanoseconds spawned = now(CLOCK_MONOTONIC);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (error != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", program.path.c_str(), std::strerror(error));
        std::exit(2);
    }
    // The process stays in /proc until it is waited for, so this is safe
    // even if it has already exited.
    const long long ticks = startTicks(pid);

    std::string output;
    char buffer[4096];
    pollfd readable{out[0], POLLIN, 0};
    for (;;) {
        if (poll(&readable, 1, 30'000) <= 0) {
            std::fprintf(stderr, "%s did not paint within 30 s\n", program.name.c_str());
            kill(pid, SIGKILL);
            std::exit(2);
        }
        const ssize_t got = read(out[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        output.append(buffer, static_cast<std::size_t>(got));
    }
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);

    Nanoseconds paint = -1;
    long peak = -1;
    std::istringstream lines(output);
    for (std::string key; lines >> key;) {
        if (key == "first_paint_ns") lines >> paint;
        else if (key == "peak_resident_kb") lines >> peak;
    }
    if (paint < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d): %s\n", program.name.c_str(), status,
                     output.c_str());
        std::exit(2);
    }

    // The kernel's start time on the monotonic clock: CLOCK_BOOTTIME and
    // CLOCK_MONOTONIC differ by the time spent suspended, read just before.
    const Nanoseconds tick = 1'000'000'000LL / sysconf(_SC_CLK_TCK);
    const Nanoseconds kernelStart = ticks * tick - (bootBefore - before);
    return Run{(paint - before) / 1e6, (paint - kernelStart) / 1e6,
               (kernelStart - before) / 1e6, (spawned - before) / 1e6, peak};
}

double quantile(std::vector<double> values, double q) {
    std::sort(values.begin(), values.end());
    const double at = q * static_cast<double>(values.size() - 1);
    const auto low = static_cast<std::size_t>(std::floor(at));
    const auto high = static_cast<std::size_t>(std::ceil(at));
    return values[low] + (values[high] - values[low]) * (at - static_cast<double>(low));
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS NAME=PROGRAM...\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto equals = arg.find('=');
        if (equals == std::string::npos) return 2;
        programs.push_back({arg.substr(0, equals), arg.substr(equals + 1)});
    }

    constexpr int warmUp = 2;
    std::map<std::string, std::vector<Run>> results;
    for (int round = 0; round < warmUp + runs; ++round) {
        // Rotate the order every round so that none always runs first.
        for (std::size_t k = 0; k < programs.size(); ++k) {
            const std::size_t next = (k + static_cast<std::size_t>(round)) % programs.size();
            const Program& program = programs[next];
            const Run run = runOnce(program);
            if (round >= warmUp) results[program.name].push_back(run);
        }
    }

    const char* platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("Start-up to first paint, %d runs each, interleaved (platform %s)\n", runs,
                platform && *platform ? platform : "xcb");
    std::printf("%-10s %9s %9s %9s %9s %9s %10s %12s %10s\n", "program", "median", "min", "p10",
                "p90", "max", "kernel", "peak RSS", "spawn ok");
    const double tickMs = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::map<std::string, std::pair<double, double>> medians;  // start-up and peak RSS
    for (const Program& program : programs) {
        const std::vector<Run>& got = results[program.name];
        std::vector<double> startup, kernel, peak;
        int consistent = 0;
        for (const Run& run : got) {
            startup.push_back(run.startupMs);
            kernel.push_back(run.kernelStartupMs);
            peak.push_back(static_cast<double>(run.peakResidentKb));
            // The kernel's start time, cut to whole ticks, must fall between
            // one tick before the launcher's clock reading and the return
            // of posix_spawn.
            if (run.kernelOffsetMs > -tickMs && run.kernelOffsetMs <= run.spawnMs) ++consistent;
        }
        medians[program.name] = {quantile(startup, 0.5), quantile(peak, 0.5)};
        std::printf("%-10s %7.1fms %7.1fms %7.1fms %7.1fms %7.1fms %8.1fms %9.0f kB %6d/%d\n",
                    program.name.c_str(), quantile(startup, 0.5), quantile(startup, 0),
                    quantile(startup, 0.1), quantile(startup, 0.9), quantile(startup, 1),
                    quantile(kernel, 0.5), quantile(peak, 0.5), consistent,
                    static_cast<int>(got.size()));
    }
    // Every program against the window with the same controls, if it ran.
    if (const auto floor = medians.find("controls"); floor != medians.end()) {
        for (const auto& [name, median] : medians) {
            if (name == floor->first) continue;
            std::printf("%-10s median start-up %.2f x controls, peak RSS %+.0f kB against it\n",
                        name.c_str(), median.first / floor->second.first,
                        median.second - floor->second.second);
        }
    }
    return 0;
}
