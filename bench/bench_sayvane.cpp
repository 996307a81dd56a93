// SPDX-License-Identifier: MIT
// Times the program's operations on a collection made by make-collection,
// against command-line tools run on the same files in the same run:
//   sayvane-bench PROGRAM_FOLDER
// Every time is the minimum of several runs with the page cache warm.
#include "BenchSupport.h"
#include "MessageBoxesAndExit.h"
#include "PhraseSearch.h"
#include "ReadOnlyTextView.h"
#include "SectionDisplay.h"
#include "Windows1252.h"
#include "ListBox.h"
#include "NameListModel.h"
#include "DataFiles.h"
#include "FortuneImport.h"
#include "ProgramSetup.h"
#include "frmMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

using namespace sayvane;
using namespace sayvane::bench;

namespace {

const QString kRarePhrase = QStringLiteral("quintessential zephyr");
const QString kCommonWord = QStringLiteral("wisdom");

// Runs a command directly (no shell), its output into a file. False, with
// the reason on standard error, when it could not run or failed.
bool runCommand(const std::vector<std::string> &command, const char *output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char *> argv;
    for (const std::string &argument : command)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    int status = -1;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0)
        waitpid(child, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    const bool worked = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!worked)
        std::fprintf(stderr, "sayvane-bench: %s did not run to success\n", command[0].c_str());
    return worked;
}

// Prints the table and how many rows were not met or not measured; the
// exit status of the benchmark: 1 when there are any.
int printTable(const std::vector<Row> &rows)
{
    std::fputs(table(rows).c_str(), stdout);
    const int notMet = rowsNotMet(rows);
    if (notMet > 0)
        std::printf("\n%d of %zu rows not met or not measured\n", notMet, rows.size());
    return notMet > 0 ? 1 : 0;
}

long peakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Measured in a process of its own, so that nothing else the benchmark
// does raises the peak.
int measureSearchMemory(const QString &authors)
{
    const long baseline = peakResidentKilobytes();
    const ShownQuotes shown = searchQuotes(authors, kRarePhrase);
    const long peak = peakResidentKilobytes();
    std::printf("%ld %lld\n", peak - baseline, static_cast<long long>(shown.text.size()));
    return 0;
}

std::optional<double> searchMemoryMegabytes(const char *program, const QString &folder)
{
    const std::string command = std::string(program) + " " + folder.toStdString() + " --memory-only";
    FILE *pipe = popen(command.c_str(), "r");
    long kilobytes = -1;
    const bool read = pipe && std::fscanf(pipe, "%ld", &kilobytes) == 1;
    if (pipe)
        pclose(pipe);
    if (!read) {
        std::fprintf(stderr, "sayvane-bench: the search in a process of its own gave no memory figure\n");
        return std::nullopt;
    }
    return double(kilobytes) / 1024.0;
}

// A program folder whose authors file holds `count` headings made from the
// collection's names, for timing the filter over that many names.
QString folderWithNames(const QString &collection, const NameArray &loaded, qsizetype count)
{
    const QString folder = collection + QStringLiteral("/names-") + QString::number(count);
    QDir().mkpath(folder + QStringLiteral("/Data"));
    QFile authors(folder + QStringLiteral("/Data/authors.txt"));
    if (authors.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QByteArray bytes;
        for (qsizetype i = 0; i < count; ++i) {
            const std::string_view name = loaded.isEmpty() ? std::string_view("Name") : loaded.bytes(i % loaded.size());
            bytes.append("##").append(name.data(), qsizetype(name.size())).append(' ');
            bytes.append(QByteArray::number(i)).append("\r\n");
        }
        authors.write(bytes);
    }
    QFile subjects(folder + QStringLiteral("/Data/subjects.txt"));
    if (subjects.open(QIODevice::WriteOnly | QIODevice::Truncate))
        subjects.write("##Courage\r\n");
    return folder;
}

// The slower of two keystrokes: narrowing every name to those that begin
// with "a", and widening back to every name; each includes the list's repaint.
double filterKeystroke(const QString &folder)
{
    const std::unique_ptr<frmMain> opened = openedWindow(collectionBesideProgram(folder));
    frmMain &window = *opened;
    window.show();
    const auto type = [&window](const QString &text) {
        window.controls().txtAuthor->setText(text);
        QCoreApplication::processEvents();
        window.controls().AuthorList->viewport()->repaint();
    };
    double slowest = 0;
    for (const QString &typed : {QStringLiteral("a"), QString()}) {
        const QString before = typed.isEmpty() ? QStringLiteral("a") : QString();
        double best = INFINITY;
        for (int run = 0; run <= kRuns; ++run) {
            type(before);
            const double time = milliseconds([&] { type(typed); });
            if (run > 0) // the first run warms up
                best = std::min(best, time);
        }
        slowest = std::max(slowest, best);
    }
    return slowest;
}

double showLines(frmMain &window, int lineCount)
{
    QString text;
    const QString line = QStringLiteral("The quick brown fox jumps over the lazy dog, and the lazy dog sleeps on "
                                        "in the sun of a long afternoon.");
    text.reserve(lineCount * (line.size() + 4));
    for (int i = 0; i < lineCount; ++i)
        text.append(QStringLiteral("\r\n")).append(line).append(QStringLiteral("\r\n"));
    return fastest([&] {
        window.controls().txtQuotes->clear();
        window.controls().txtQuotes->setPlainText(text);
        QCoreApplication::processEvents();
        window.controls().txtQuotes->viewport()->repaint();
    });
}

// Repainting a list whose one name is 100 million characters long: in a
// classic file (its first line end a CR LF) lone LFs are characters.
double repaintListOfHugeName(const QString &collection)
{
    const QString folder = collection + QStringLiteral("/huge-name");
    QDir().mkpath(folder + QStringLiteral("/Data"));
    QFile authors(folder + QStringLiteral("/Data/authors.txt"));
    if (authors.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        QByteArray bytes = "\r\n##" + QByteArray(100'000'000 - 4, 'n');
        for (qsizetype i = 40; i < bytes.size(); i += 40)
            bytes[i] = '\n';
        authors.write(bytes);
    }
    QFile subjects(folder + QStringLiteral("/Data/subjects.txt"));
    if (subjects.open(QIODevice::WriteOnly | QIODevice::Truncate))
        subjects.write("##Courage\r\n");
    const std::unique_ptr<frmMain> opened = openedWindow(collectionBesideProgram(folder));
    frmMain &window = *opened;
    window.show();
    QCoreApplication::processEvents();
    return fastest([&window] { window.controls().AuthorList->viewport()->repaint(); });
}

// Setting a shown line of 100 MB and painting the first screen of it.
double firstPaintOfHugeLine(frmMain &window)
{
    QString line(100'000'000, u' ');
    for (qsizetype i = 0; i + 6 < line.size(); i += 7)
        line.replace(i, 6, QStringLiteral("wisdom"));
    const QString text = QStringLiteral("\r\n") + line + QStringLiteral("\r\n");
    return fastest([&] {
        window.controls().txtQuotes->clear();
        window.controls().txtQuotes->setPlainText(text);
        window.controls().txtQuotes->viewport()->repaint();
    });
}

// The sample collection of the source tree, which every clone has.
QString sampleCollection()
{
    return QStringLiteral(SAYVANE_SAMPLE_COLLECTION);
}

// What one kind of collection is searched for, and what its rows are called.
struct CollectionKind
{
    const char *label; // after each row's name
    QString rarePhrase;
    QString commonWord;
    std::vector<qsizetype> filterSizes;
};

const CollectionKind kClassicCollection{"", kRarePhrase, kCommonWord, {100'000, 1'000'000}};
const CollectionKind kUtf8Collection{", UTF-8 LF", kRarePhrase, QStringLiteral("мудрость"), {1'000'000}};

// Start-up, display, search and filter on one collection, against wc -l and
// grep -F on the same files in the same run.
std::vector<Row> collectionRows(const QString &folder, const CollectionKind &kind)
{
    const QString authors = folder + QStringLiteral("/Data/authors.txt");
    const QString subjects = folder + QStringLiteral("/Data/subjects.txt");
    const std::string authorsPath = authors.toStdString(), subjectsPath = subjects.toStdString();
    const std::string label = kind.label;
    const char *scratch = "/tmp/sayvane-bench-output";
    std::vector<Row> rows;

    // A reference that failed once is not measured.
    bool referencesRan = true;
    const auto reference = [&](const std::vector<std::string> &command) {
        return [&, command] { referencesRan = runCommand(command, scratch) && referencesRan; };
    };
    const auto measuredReference = [&](double time) {
        return referencesRan ? std::optional<double>(time) : std::nullopt;
    };

    const auto [loading, wcBoth] = fastestInTurns(
        [&] {
            openedWindow(collectionBesideProgram(folder));
        },
        reference({"wc", "-l", authorsPath, subjectsPath}));
    rows.push_back({"start-up loading, both files" + label, loading, measuredReference(wcBoth), "wc -l", "<= 1.0x",
                    loading <= wcBoth});

    const std::unique_ptr<frmMain> window = openedWindow(collectionBesideProgram(folder));
    const NameArray &names = window->controls().AuthorList->nameModel()->names();
    const std::string_view lastAuthor = names.isEmpty() ? std::string_view() : names.bytes(names.size() - 1);
    const auto [section, wcAuthors] =
        fastestInTurns([&] { sectionQuotes(authors, lastAuthor); }, reference({"wc", "-l", authorsPath}));
    rows.push_back({"section display, last author" + label, section, measuredReference(wcAuthors), "wc -l", "<= 1.0x",
                    section <= wcAuthors});

    for (const QString &phrase : {kind.rarePhrase, kind.commonWord}) {
        const auto [search, grep] =
            fastestInTurns([&] { searchQuotes(authors, phrase); },
                           reference({"env", "LC_ALL=C", "grep", "-F", phrase.toStdString(), authorsPath}));
        const std::string name = "search, " + std::string(phrase == kind.rarePhrase ? "rare phrase" : "common word") +
                                 " (" + std::to_string(searchQuotes(authors, phrase).text.count(u'\n') / 2) +
                                 " lines)" + label;
        rows.push_back({name, search, measuredReference(grep), "grep -F", "<= 0.6x", search <= 0.6 * grep});
    }

    for (const qsizetype count : kind.filterSizes) {
        const double keystroke = filterKeystroke(folderWithNames(folder, names, count));
        rows.push_back({"filter keystroke, " + std::to_string(count) + " names" + label, keystroke, std::nullopt, "",
                        "< 16 ms", keystroke < 16.0});
    }
    std::remove(scratch);
    return rows;
}

// Importing every fortune file installed (the fortunes package), written
// to a scratch folder each time; the row names what was read.
Row importingFortunes(const QString &scratch)
{
    const QString fortunes = QStringLiteral("/usr/share/games/fortunes");
    fortunes::ImportReport report;
    const double time = fastest([&] { report = fortunes::importFortunes(scratch, {fortunes}, true); });
    const bool imported = !report.failure && report.quotations > 0;
    if (!imported)
        std::fprintf(stderr, "sayvane-bench: importing %s failed: %s\n", qPrintable(fortunes),
                     qPrintable(report.failure.value_or(QStringLiteral("no quotations"))));
    char name[160];
    std::snprintf(name, sizeof name, "import the installed fortunes (%.1f MB read, %lld quotations)",
                  double(report.sourceBytes) / 1e6, static_cast<long long>(report.quotations));
    return {name,         imported ? std::optional<double>(time) : std::nullopt,
            std::nullopt, "",
            "< 1000 ms",  imported && time < 1000.0};
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: sayvane-bench PROGRAM_FOLDER | --without-collection\n");
        return 2;
    }
    if (std::string(argv[1]) == "--first-frame" && argc == 4) {
        // On the X server when there is one, as a user sees the window.
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        else
            qunsetenv("QT_QPA_PLATFORM");
        return drawFirstFrame(argc, argv);
    }
    if (std::string(argv[1]) == "--without-collection") { // the rows that make their own files and texts
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication application(argc, argv);
        setUpProgram();
        std::vector<Row> rows = hostileCaseRows(QDir::tempPath() + QStringLiteral("/sayvane-bench-hostile"));
        for (const Row &row : textViewRows())
            rows.push_back(row);
        for (const Row &row :
             firstFrameRows(argv[0], sampleCollection(), QDir::tempPath() + QStringLiteral("/sayvane-bench-hostile")))
            rows.push_back(row);
        return printTable(rows);
    }
    if (std::string(argv[1]) == "--commands" && argc >= 3) { // only the commands at the terminal
        QCoreApplication application(argc, argv);
        std::vector<Row> rows = commandRows(SAYVANE_PROGRAM, QString::fromLocal8Bit(argv[2]), "", kCommonWord.toStdString());
        if (argc > 3)
            for (const Row &row : commandRows(SAYVANE_PROGRAM, QString::fromLocal8Bit(argv[3]), ", UTF-8 LF",
                                              kUtf8Collection.commonWord.toStdString()))
                rows.push_back(row);
        return printTable(rows);
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (argc > 2 && std::string(argv[2]) == "--memory-only") {
        QCoreApplication application(argc, argv);
        return measureSearchMemory(folder + QStringLiteral("/Data/authors.txt"));
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    setUpProgram();

    std::vector<Row> rows = collectionRows(folder, kClassicCollection);
    if (argc > 2)
        for (const Row &row : collectionRows(QString::fromLocal8Bit(argv[2]), kUtf8Collection))
            rows.push_back(row);

    const std::unique_ptr<frmMain> opened = openedWindow(collectionBesideProgram(folder));
    frmMain &window = *opened;
    window.show();
    for (int lines : {10'000, 100'000}) {
        const double shown = showLines(window, lines);
        rows.push_back({"txtQuotes set to " + std::to_string(lines) + " lines", shown, std::nullopt, "", "< 200 ms",
                        shown < 200.0});
    }
    const double hugeName = repaintListOfHugeName(folder);
    rows.push_back(
        {"repaint a list holding a 100M-character name", hugeName, std::nullopt, "", "< 16 ms", hugeName < 16.0});
    const double hugeLine = firstPaintOfHugeLine(window);
    rows.push_back({"first paint of a 100 MB shown line", hugeLine, std::nullopt, "", "< 100 ms", hugeLine < 100.0});
    const std::optional<double> memory = searchMemoryMegabytes(argv[0], folder);
    rows.push_back(
        {"peak memory of a search beyond baseline", memory, std::nullopt, "", "< 64 MB", memory && *memory < 64.0});
    rows.push_back(importingFortunes(folder + QStringLiteral("/imported-fortunes")));
    for (const Row &row : commandRows(SAYVANE_PROGRAM, folder, "", kCommonWord.toStdString()))
        rows.push_back(row);
    if (argc > 2)
        for (const Row &row : commandRows(SAYVANE_PROGRAM, QString::fromLocal8Bit(argv[2]), ", UTF-8 LF",
                                          kUtf8Collection.commonWord.toStdString()))
            rows.push_back(row);
    const std::vector<Row> hostile = hostileCaseRows(folder + QStringLiteral("/hostile"));
    rows.insert(rows.end(), hostile.begin(), hostile.end());
    const std::vector<Row> huge = textViewRows();
    rows.insert(rows.end(), huge.begin(), huge.end());
    const std::vector<Row> firstFrame = firstFrameRows(argv[0], sampleCollection(), folder);
    rows.insert(rows.end(), firstFrame.begin(), firstFrame.end());
    return printTable(rows);
}
