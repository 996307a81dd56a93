// SPDX-License-Identifier: MIT
// How soon the first frame of the window is drawn, against an empty window
// of the same size, style and frame, and the memory each holds then. Each
// runs in a process of its own, this benchmark started again, so that
// nothing one did is already done for the other.
#include "BenchSupport.h"
#include "ControlLayout.h"
#include "ProgramSetup.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPaintEvent>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <string>

namespace sayvane::bench {
namespace {

// Ends the process as soon as the widget has drawn itself once, printing
// the milliseconds since `start` and the resident memory in kB.
class FirstFrame : public QObject
{
public:
    explicit FirstFrame(std::chrono::steady_clock::time_point start)
        : m_start(start)
    {
    }

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
        const double milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_start).count();
        long residentKilobytes = 0;
        QFile status(QStringLiteral("/proc/self/status"));
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : status.readAll().split('\n')) {
                if (line.startsWith("VmRSS:"))
                    residentKilobytes = line.mid(6).trimmed().split(' ').value(0).toLong();
            }
        }
        std::printf("%.3f %ld\n", milliseconds, residentKilobytes);
        std::fflush(stdout);
        std::_Exit(0);
    }

    std::chrono::steady_clock::time_point m_start;
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

// Runs this benchmark again to draw one first frame; its milliseconds and
// resident kilobytes.
std::pair<double, double> oneFirstFrame(const char *program, const std::string &which, const QString &collection)
{
    const std::string command =
        std::string(program) + " --first-frame " + which + " '" + collection.toStdString() + "'";
    FILE *pipe = popen(command.c_str(), "r");
    double milliseconds = -1, kilobytes = -1;
    if (pipe) {
        if (std::fscanf(pipe, "%lf %lf", &milliseconds, &kilobytes) != 2)
            milliseconds = kilobytes = -1;
        pclose(pipe);
    }
    return {milliseconds, kilobytes};
}

} // namespace

int drawFirstFrame(int argc, char **argv)
{
    const auto start = std::chrono::steady_clock::now();
    const std::string which = argv[2];
    const QString collection = QString::fromLocal8Bit(argv[3]);
    QApplication application(argc, argv);
    setUpProgram();
    FirstFrame firstFrame(start);
    std::unique_ptr<QWidget> window;
    if (which == "empty") {
        window = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window->setFixedSize(kWindowSize);
    } else {
        auto form = std::make_unique<frmMain>(collection, std::make_unique<SilentMessageBoxes>());
        form->Form_Load();
        window = std::move(form);
    }
    window->installEventFilter(&firstFrame);
    window->show();
    return application.exec();
}

std::vector<Row> firstFrameRows(const char *program, const QString &sample, const QString &scratch)
{
    std::vector<Row> rows;
    for (const auto &[name, collection] : {std::pair{std::string("the sample"), sample},
                                           std::pair{std::string("3,822 authors"), collectionOfAuthors(scratch)}}) {
        double ours = INFINITY, empty = INFINITY, oursMemory = INFINITY, emptyMemory = INFINITY;
        for (int run = 0; run < kRuns; ++run) {
            const auto [time, memory] = oneFirstFrame(program, "sayvane", collection);
            const auto [emptyTime, emptyKilobytes] = oneFirstFrame(program, "empty", collection);
            ours = std::min(ours, time);
            empty = std::min(empty, emptyTime);
            oursMemory = std::min(oursMemory, memory / 1024);
            emptyMemory = std::min(emptyMemory, emptyKilobytes / 1024);
        }
        rows.push_back({"first frame, " + name, ours, empty, "empty window", "<= 1.1x", ours <= 1.1 * empty});
        rows.push_back({"memory at the first frame, " + name +
                            " (empty window: " + std::to_string(int(emptyMemory + 0.5)) + " MB)",
                        oursMemory, std::nullopt, "", "< +5 MB", oursMemory < emptyMemory + 5});
    }
    return rows;
}

} // namespace sayvane::bench
