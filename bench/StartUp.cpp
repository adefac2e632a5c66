#include "StartUp.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Measure.h"
#include "platform/Messages.h"
#include "rom/RomTables.h"
#include "ui/Form1.h"
#include "ui/QtMessageSink.h"

extern char** environ;

namespace brindlewick::bench {
namespace {

std::int64_t MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Notices the first paint of `window` and reports once the event loop has finished that round
// of painting, so the whole window has been drawn.
class FirstPaint final : public QObject {
public:
    explicit FirstPaint(QWidget* window) : m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && widget->window() == m_window) {
                m_seen = true;
                QTimer::singleShot(0, [] {
                    std::printf("%lld\n", static_cast<long long>(MonotonicNanoseconds()));
                    std::fflush(stdout);
                    // The figure is taken; tearing the window down is no part of start-up.
                    std::_Exit(0);
                });
            }
        }
        return false;
    }

private:
    QWidget* m_window;
    bool m_seen = false;
};

// What a plain Qt program of the same shape shows: a menu bar, a tab control with two pages
// and lists of a few hundred entries.
std::unique_ptr<QMainWindow> MakeBareWindow() {
    auto window = std::make_unique<QMainWindow>();
    QMenu* file = window->menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open..."));
    file->addAction(QStringLiteral("&Save"));
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"));
    window->menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));

    auto* tabs = new QTabWidget;
    const int listSizes[] = {kMachineCount, kMoveCount, kSpeciesCount};
    auto* first = new QWidget;
    auto* firstLayout = new QVBoxLayout(first);
    auto* second = new QWidget;
    auto* secondLayout = new QVBoxLayout(second);
    for (int list = 0; list < 3; ++list) {
        auto* entries = new QListWidget;
        for (int i = 0; i < listSizes[list]; ++i) {
            entries->addItem(QStringLiteral("Entry %1").arg(i));
        }
        (list < 2 ? firstLayout : secondLayout)->addWidget(entries);
    }
    tabs->addTab(first, QStringLiteral("Page 1"));
    tabs->addTab(second, QStringLiteral("Page 2"));
    window->setCentralWidget(tabs);
    return window;
}

struct ChildResult {
    double milliseconds = 0;      // processor time, user and system, to the first paint
    double wallMilliseconds = 0;  // wall clock from the start of the process to the first paint
    double peakMebibytes = 0;
};

// A private runtime folder for the children, and the file their diagnostics go to; removed at
// the end.
class ChildFolder {
public:
    ChildFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "brindlewick-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            m_folder = pattern;
        }
    }
    ~ChildFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    ChildFolder(const ChildFolder&) = delete;
    ChildFolder& operator=(const ChildFolder&) = delete;

    bool Made() const { return !m_folder.empty(); }
    std::string Runtime() const { return m_folder.string(); }
    std::string Log() const { return (m_folder / "child.log").string(); }

private:
    std::filesystem::path m_folder;
};

void PrintLog(const std::string& path) {
    std::ifstream log(path);
    std::string line;
    while (std::getline(log, line)) {
        std::fprintf(stderr, "    %s\n", line.c_str());
    }
}

bool RunChild(const std::string& executable, const ChildFolder& folder, const char* window,
              ChildResult& result) {
    int output[2];
    if (pipe(output) != 0) {
        std::perror("brindlewick_bench: pipe");
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    posix_spawn_file_actions_addclose(&actions, output[1]);
    // Qt's warnings would bury the figures; they are shown when a child fails.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, folder.Log().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> arguments{const_cast<char*>(executable.c_str()),
                                 const_cast<char*>(kChildFlag), const_cast<char*>(window), nullptr};
    pid_t child = 0;
    const std::int64_t started = MonotonicNanoseconds();
    const int spawned =
        posix_spawn(&child, executable.c_str(), &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (spawned != 0) {
        close(output[0]);
        std::fprintf(stderr, "brindlewick_bench: cannot start %s\n", executable.c_str());
        return false;
    }
    std::string text;
    char buffer[64];
    ssize_t got = 0;
    while ((got = read(output[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    close(output[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0 || text.empty()) {
        std::fprintf(stderr, "brindlewick_bench: the %s window child failed:\n", window);
        PrintLog(folder.Log());
        return false;
    }
    const long long painted = std::atoll(text.c_str());
    result.wallMilliseconds = static_cast<double>(painted - started) / 1e6;
    // The child ends as soon as it has painted, so its processor time is that of its start-up:
    // unlike the wall clock, it leaves out the time the child waited while other programs ran.
    result.milliseconds =
        static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    result.peakMebibytes = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is KiB
    return true;
}

}  // namespace

int ShowWindowChild(int argc, char* argv[], const std::string& window) {
    // Without a display the windows are drawn off screen, which the program supports too.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (window == kMainWindow) {
        // The same steps as the program's main.
        QApplication application(argc, argv);
        QApplication::setApplicationName(QStringLiteral("Brindlewick"));
        QGuiApplication::setDesktopFileName(QStringLiteral("io.github.brindlewick.Brindlewick"));
        QtMessageSink messageSink;
        SetMessageSink(&messageSink);
        Form1 mainWindow;
        FirstPaint firstPaint(&mainWindow);
        application.installEventFilter(&firstPaint);
        mainWindow.show();
        return QApplication::exec();
    }
    if (window == kBareWindow) {
        QApplication application(argc, argv);
        const std::unique_ptr<QMainWindow> bare = MakeBareWindow();
        FirstPaint firstPaint(bare.get());
        application.installEventFilter(&firstPaint);
        bare->show();
        return QApplication::exec();
    }
    std::fprintf(stderr, "brindlewick_bench: no window called %s\n", window.c_str());
    return 2;
}

bool RunStartUp(int runs) {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::perror("brindlewick_bench: /proc/self/exe");
        return false;
    }
    const std::string executable(self, static_cast<std::size_t>(length));
    ChildFolder folder;
    if (!folder.Made()) {
        std::perror("brindlewick_bench: mkdtemp");
        return false;
    }
    // The children inherit it; Qt wants a runtime folder of the user's own.
    setenv("XDG_RUNTIME_DIR", folder.Runtime().c_str(), 1);

    std::vector<double> formTimes, bareTimes, formWall, bareWall, formMemory, bareMemory;
    for (int run = 0; run < runs; ++run) {
        ChildResult form, bare;
        if (!RunChild(executable, folder, kMainWindow, form) ||
            !RunChild(executable, folder, kBareWindow, bare)) {
            return false;
        }
        formTimes.push_back(form.milliseconds);
        formWall.push_back(form.wallMilliseconds);
        bareWall.push_back(bare.wallMilliseconds);
        bareTimes.push_back(bare.milliseconds);
        formMemory.push_back(form.peakMebibytes);
        bareMemory.push_back(bare.peakMebibytes);
    }
    const std::string note = std::to_string(runs) + " runs of each, medians";
    Report("start-up", Median(formTimes), "bare window", Median(bareTimes), "ms",
           note + ", processor time");
    // The wall clock too, for reference: on a busy machine it counts others' work as well.
    Report("start-up, wall", Median(formWall), "bare window", Median(bareWall), "ms", note);
    Report("peak memory", Median(formMemory), "bare window", Median(bareMemory), "MiB", note);
    return true;
}

}  // namespace brindlewick::bench
