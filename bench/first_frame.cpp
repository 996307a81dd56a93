// SPDX-License-Identifier: MIT
// How soon the first frame of the window is drawn, against an empty window
// of the same size, style and frame, and the memory each holds then. Each
// runs in a process of its own, this benchmark started again, so that
// nothing one did is already done for the other.
#include "BenchSupport.h"
#include "ControlLayout.h"
#include "ProgramStart.h"
#include "ProgramSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPaintEvent>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <chrono>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <string>

namespace sayvane::bench {
namespace {

// Ends the process as soon as the widget has drawn itself once, printing
// the steady clock's reading then, in nanoseconds, the resident memory and
// the private part of it (the memory no other process shares), in kB. The steady clock is the system's monotonic clock,
// the same in every process, so the parent can take the time from before it started this one.
class FirstFrame : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        static_cast<QWidget *>(watched)->removeEventFilter(this);
        QMetaObject::invokeMethod(this, &FirstFrame::report, Qt::QueuedConnection);
        return false;
    }

private:
    void report() const
    {
        const long long now =
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count();
        long residentKilobytes = 0, privateKilobytes = 0;
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                const long kilobytes = line.mid(line.indexOf(':') + 1).trimmed().split(' ').value(0).toLong();
                if (line.startsWith("VmRSS:"))
                    residentKilobytes = kilobytes;
                else if (line.startsWith("RssAnon:"))
                    privateKilobytes = kilobytes;
            }
        }
        std::printf("%lld %ld %ld\n", now, residentKilobytes, privateKilobytes);
        std::fflush(stdout);
        std::_Exit(0);
    }
};

// A collection of 3,822 authors, each with a few quotations.
QString collectionOfAuthors(const QString &scratch)
{
    const QString folder = scratch + QStringLiteral("/authors-3822");
    QDir().mkpath(folder);
    QByteArray authors;
    for (int author = 0; author < 3822; ++author) {
        authors.append("##Author number " + QByteArray::number(author) + "\r\n");
        for (int quote = 0; quote < 5; ++quote)
            authors.append("Wisdom begins in wonder, and wonder is where the philosopher starts.\r\n");
    }
    QFile file(folder + QStringLiteral("/authors.txt"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(authors);
    QFile subjects(folder + QStringLiteral("/subjects.txt"));
    if (subjects.open(QIODevice::WriteOnly | QIODevice::Truncate))
        subjects.write("##Courage\r\n##Hope\r\n");
    return folder;
}

// Not measured when the start failed or gave no reply.
struct FirstFrameFigures
{
    std::optional<double> milliseconds;
    std::optional<double> residentMegabytes;
    std::optional<double> privateMegabytes;
};

// Starts this benchmark again to draw one first frame; the time from before
// the start to the frame, and the memory then.
FirstFrameFigures oneFirstFrame(const char *program, const std::string &which, const QString &collection)
{
    const std::string folder = collection.toStdString();
    char *const arguments[] = {const_cast<char *>(program), const_cast<char *>("--first-frame"),
                               const_cast<char *>(which.c_str()), const_cast<char *>(folder.c_str()), nullptr};
    int output[2];
    if (pipe(output) != 0) {
        std::fprintf(stderr, "sayvane-bench: no pipe for a first frame: %s\n", std::strerror(errno));
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program, &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    FirstFrameFigures figures;
    FILE *reply = fdopen(output[0], "r");
    long long frameNanoseconds = 0;
    double resident = 0, owned = 0;
    if (reply && spawned == 0 && std::fscanf(reply, "%lld %lf %lf", &frameNanoseconds, &resident, &owned) == 3) {
        const long long startNanoseconds =
            std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
        figures = {double(frameNanoseconds - startNanoseconds) / 1e6, resident / 1024, owned / 1024};
    } else if (spawned != 0) {
        std::fprintf(stderr, "sayvane-bench: cannot start %s: %s\n", program, std::strerror(spawned));
    } else {
        std::fprintf(stderr, "sayvane-bench: the %s window on %s drew no first frame\n", which.c_str(), folder.c_str());
    }
    if (reply)
        std::fclose(reply);
    else
        close(output[0]);
    if (spawned == 0)
        waitpid(child, nullptr, 0);
    return figures;
}

} // namespace

int drawFirstFrame(int argc, char **argv)
{
    const std::string which = argv[2];
    const QString collection = QString::fromLocal8Bit(argv[3]);
    FirstFrame firstFrame;
    const auto watch = [&firstFrame](QWidget &window) { window.installEventFilter(&firstFrame); };
    if (which != "empty")
        return runProgram(argv[0], [&collection] { return collection; }, watch);
    // The empty window goes without the program's start.
    QApplication application(argc, argv);
    setUpProgram();
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setFixedSize(kWindowSize);
    watch(window);
    window.show();
    return application.exec();
}

namespace {

// The middle of one figure over the runs; times of starting processes vary
// too much from run to run for the fastest to stand for them. Not measured
// when any run failed.
std::optional<double> median(const std::vector<FirstFrameFigures> &runs,
                             std::optional<double> FirstFrameFigures::*figure)
{
    std::vector<double> values;
    for (const FirstFrameFigures &run : runs) {
        if (!(run.*figure))
            return std::nullopt;
        values.push_back(*(run.*figure));
    }
    std::sort(values.begin(), values.end());
    return values.empty() ? std::nullopt : std::optional<double>(values[values.size() / 2]);
}

} // namespace

std::vector<Row> firstFrameRows(const char *program, const QString &sample, const QString &scratch)
{
    constexpr int kStarts = 21;
    std::vector<Row> rows;
    for (const auto &[name, collection] : {std::pair{std::string("the sample"), sample},
                                           std::pair{std::string("3,822 authors"), collectionOfAuthors(scratch)}}) {
        std::vector<FirstFrameFigures> ours, empty;
        for (int run = 0; run < kStarts; ++run) {
            ours.push_back(oneFirstFrame(program, "sayvane", collection));
            empty.push_back(oneFirstFrame(program, "empty", collection));
        }
        const std::optional<double> time = median(ours, &FirstFrameFigures::milliseconds);
        const std::optional<double> emptyTime = median(empty, &FirstFrameFigures::milliseconds);
        rows.push_back({"first frame, " + name, time, emptyTime, "empty window", "<= 1.1x",
                        time && emptyTime && *time <= 1.1 * *emptyTime});
        // The resident memory counts the pages of the shared libraries and
        // font files that were touched; the private memory is what this
        // process alone holds.
        for (const auto &[kind, figure] : {std::pair{"resident", &FirstFrameFigures::residentMegabytes},
                                           std::pair{"private", &FirstFrameFigures::privateMegabytes}}) {
            const std::optional<double> memory = median(ours, figure), emptyMemory = median(empty, figure);
            // The empty window's figure is this row's reference.
            char memoryName[120];
            std::snprintf(memoryName, sizeof memoryName, "%s memory at the first frame, %s", kind, name.c_str());
            rows.push_back({memoryName, memory, emptyMemory, "empty window", "< +5 MB",
                            memory && emptyMemory && *memory < *emptyMemory + 5});
        }
    }
    return rows;
}

} // namespace sayvane::bench
