// SPDX-License-Identifier: MIT
// The commands at the terminal, each run as the program it is, beside the
// tool a user would compare it with, in turns: --add against cp of both
// files, --check against wc -l of both, --search against grep -F (with and
// without -i), --random against wc -l of authors.txt; beside grep and wc
// also what starting QtCore and reading authors.txt alone take; and the
// most memory each takes beyond a bare start of the program, measured by
// GNU time.
#include "BenchSupport.h"
#include "FileParts.h"
#include "HeadingLoader.h"

#include <QString>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace sayvane::bench {
namespace {

struct Run
{
    double milliseconds = INFINITY;
    bool ran = false;
};

// Removes what a run before left, outside the time taken. A file opened
// over the last run's output would be truncated, and on ext4 the close of
// a truncated file sends its new contents to the disk at once: the next
// run would wait for the pages being written and share the cores with
// the writing, whichever command left them. A new file of the same name
// is written as any command's output is, and left to the system.
void removeLeftovers(const char *output, const std::vector<std::string> &leftovers)
{
    std::remove(output);
    for (const std::string &path : leftovers)
        std::remove(path.c_str());
}

// Runs the command with its output in a new file; ran when it ended with
// one of the statuses it may end with.
Run runTimed(const std::vector<std::string> &command, const char *output, std::initializer_list<int> statuses,
             const std::vector<std::string> &leftovers = {})
{
    removeLeftovers(output, leftovers);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char *> argv;
    for (const std::string &argument : command)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    Run run;
    pid_t child = 0;
    int status = -1;
    const auto start = std::chrono::steady_clock::now();
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        waitpid(child, &status, 0);
    run.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    run.ran = WIFEXITED(status) && std::find(statuses.begin(), statuses.end(), WEXITSTATUS(status)) != statuses.end();
    if (!run.ran)
        std::fprintf(stderr, "sayvane-bench: %s %s did not run as it should\n", command[0].c_str(),
                     command.size() > 1 ? command[1].c_str() : "");
    return run;
}

struct Paired
{
    Run ours;
    Run reference;
};

// The fastest of kRuns of each, in turns, after one of each. `leftovers`
// are files a run writes beside its output, removed before each run.
Paired inTurns(const std::vector<std::string> &ours, const std::vector<std::string> &reference, const char *output,
               std::initializer_list<int> ourStatuses, const std::vector<std::string> &leftovers = {})
{
    Paired best;
    bool ran = true, referenceRan = true;
    for (int run = 0; run <= kRuns; ++run) {
        const Run one = runTimed(ours, output, ourStatuses, leftovers);
        const Run other = runTimed(reference, output, {0, 1}, leftovers);
        ran = ran && one.ran;
        referenceRan = referenceRan && other.ran;
        if (run == 0)
            continue; // the warm-up
        best.ours.milliseconds = std::min(best.ours.milliseconds, one.milliseconds);
        best.reference.milliseconds = std::min(best.reference.milliseconds, other.milliseconds);
    }
    best.ours.ran = ran;
    best.reference.ran = referenceRan;
    return best;
}

// The most memory the command takes, as GNU time reports it for a child
// of its own. A child spawned by the benchmark itself would report at
// least the benchmark's own peak: a process begins with the memory peak
// of the one it was started from (here the benchmark, holding a large
// collection's names), and keeps it through exec.
std::optional<long> peakKilobytes(const std::vector<std::string> &command, const char *output,
                                  std::initializer_list<int> statuses)
{
    const std::string report = "/tmp/sayvane-bench-peak-memory";
    std::vector<std::string> timed{"/usr/bin/time", "-f", "%M", "-o", report};
    timed.insert(timed.end(), command.begin(), command.end());
    const Run run = runTimed(timed, output, statuses);
    // The last line: before it, GNU time notes a status other than 0.
    std::ifstream file(report);
    std::string line, last;
    while (std::getline(file, line))
        last = line;
    if (!run.ran || last.empty() || last.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stol(last);
}

std::optional<double> ifRan(const Run &run)
{
    return run.ran ? std::optional<double>(run.milliseconds) : std::nullopt;
}

} // namespace

std::vector<Row> commandRows(const char *program, const QString &collection, const std::string &label,
                             const std::string &commonWord)
{
    namespace fs = std::filesystem;
    const std::string data = collection.toStdString() + "/Data";
    const std::string authors = data + "/authors.txt", subjects = data + "/subjects.txt";
    const std::string output = "/tmp/sayvane-bench-command-output";
    std::vector<Row> rows;

    // A bare start: the least the program takes.
    const std::optional<long> bare = peakKilobytes({program, "--version"}, output.c_str(), {0});
    const auto beyondBare = [&bare](const std::optional<long> &peak) {
        return peak && bare ? std::optional<double>(double(*peak - *bare) / 1024.0) : std::nullopt;
    };
    std::vector<std::pair<std::string, std::optional<long>>> memory;

    // --add into a copy, under the author and the subject in the middle of
    // their files, against copying both files.
    const std::string copy = "/tmp/sayvane-bench-add";
    fs::remove_all(copy);
    fs::create_directories(copy);
    fs::copy_file(authors, copy + "/authors.txt");
    fs::copy_file(subjects, copy + "/subjects.txt");
    const LoadedNames authorNames = loadHeadingNames(QString::fromStdString(authors));
    const LoadedNames subjectNames = loadHeadingNames(QString::fromStdString(subjects));
    const std::string author(authorNames.names.bytes(authorNames.names.size() / 2));
    const std::string subject(subjectNames.names.bytes(subjectNames.names.size() / 2));
    const std::vector<std::string> addCommand{
        program, "--add", "A quotation added by the benchmark.", "--author", author, "--subject", subject, copy};
    const std::vector<std::string> copies{"/tmp/authors.txt", "/tmp/subjects.txt"};
    const Paired add = inTurns(addCommand, {"cp", authors, subjects, "/tmp"}, output.c_str(), {0}, copies);
    memory.push_back({"--add", peakKilobytes(addCommand, output.c_str(), {0})});
    // --add waits until both new files are on the disk before it puts
    // them in place, as all or nothing asks; cp does not wait. The same
    // copy followed by a sync of both copies shows what the waiting costs.
    const Paired durableAdd =
        inTurns(addCommand,
                {"sh", "-c", "cp \"$1\" \"$2\" /tmp && sync /tmp/authors.txt /tmp/subjects.txt", "sh", authors,
                 subjects},
                output.c_str(), {0}, copies);
    removeLeftovers(output.c_str(), copies);
    fs::remove_all(copy);
    rows.push_back({"--add, an author in the middle" + label, ifRan(add.ours), ifRan(add.reference),
                    "cp of both files", "<= 1.5x", add.ours.milliseconds <= 1.5 * add.reference.milliseconds});
    rows.push_back({"--add, an author in the middle, against a copy that waits for the disk" + label,
                    ifRan(durableAdd.ours), ifRan(durableAdd.reference), "cp, then sync of both copies", "<= 1.5x",
                    durableAdd.ours.milliseconds <= 1.5 * durableAdd.reference.milliseconds});

    const std::vector<std::string> checkCommand{program, "--check", data};
    const Paired check = inTurns(checkCommand, {"wc", "-l", authors, subjects}, output.c_str(), {0, 1});
    rows.push_back({"--check" + label, ifRan(check.ours), ifRan(check.reference), "wc -l of both", "<= 1.5x",
                    check.ours.milliseconds <= 1.5 * check.reference.milliseconds});
    memory.push_back({"--check", peakKilobytes(checkCommand, output.c_str(), {0, 1})});

    const std::vector<std::string> searchCommand{program, "--search", commonWord, data};
    const Paired search =
        inTurns(searchCommand, {"env", "LC_ALL=C", "grep", "-F", commonWord, authors}, output.c_str(), {0});
    rows.push_back({"--search, common word, to a file" + label, ifRan(search.ours), ifRan(search.reference),
                    "grep -F", "<= 0.6x", search.ours.milliseconds <= 0.6 * search.reference.milliseconds});
    memory.push_back({"--search", peakKilobytes(searchCommand, output.c_str(), {0})});

    const std::vector<std::string> caselessCommand{program, "--search", "-i", commonWord, data};
    const Paired caseless =
        inTurns(caselessCommand, {"env", "LC_ALL=C", "grep", "-F", "-i", commonWord, authors}, output.c_str(), {0});
    rows.push_back({"--search -i, common word, to a file" + label, ifRan(caseless.ours), ifRan(caseless.reference),
                    "grep -F -i", "<= 0.6x", caseless.ours.milliseconds <= 0.6 * caseless.reference.milliseconds});
    memory.push_back({"--search -i", peakKilobytes(caselessCommand, output.c_str(), {0})});

    // What starting QtCore and reading the file alone take, beside the
    // same reference: the part of a row's target that is left for the
    // command's own work.
    const std::vector<std::string> floorCommand{SAYVANE_READ_FLOOR, authors};
    const std::string floorName = "QtCore start and a read of authors.txt alone, on " +
                                  std::to_string(usableCores()) + " threads" + label;
    const Paired floorBesideGrep =
        inTurns(floorCommand, {"env", "LC_ALL=C", "grep", "-F", commonWord, authors}, output.c_str(), {0});
    rows.push_back({floorName + ", beside grep -F", ifRan(floorBesideGrep.ours), ifRan(floorBesideGrep.reference),
                    "grep -F", "", true});

    const std::vector<std::string> randomCommand{program, "--random", data};
    const Paired random = inTurns(randomCommand, {"wc", "-l", authors}, output.c_str(), {0});
    rows.push_back({"--random" + label, ifRan(random.ours), ifRan(random.reference), "wc -l of authors.txt",
                    "<= 1.0x", random.ours.milliseconds <= random.reference.milliseconds});
    memory.push_back({"--random", peakKilobytes(randomCommand, output.c_str(), {0})});
    const Paired floorBesideWc = inTurns(floorCommand, {"wc", "-l", authors}, output.c_str(), {0});
    rows.push_back({floorName + ", beside wc -l", ifRan(floorBesideWc.ours), ifRan(floorBesideWc.reference),
                    "wc -l of authors.txt", "", true});

    for (const auto &[what, peak] : memory) {
        const std::optional<double> megabytes = beyondBare(peak);
        rows.push_back({"peak memory of " + what + " beyond a bare start" + label, megabytes, std::nullopt, "",
                        "< 64 MB", megabytes && *megabytes < 64.0});
    }
    std::remove(output.c_str());
    return rows;
}

} // namespace sayvane::bench
