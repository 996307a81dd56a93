// SPDX-License-Identifier: MIT
// Found lines handed to a second thread that writes the shown text.
#include "PhraseSearch.h"
#include "ShownTextAside.h"
#include "TestSupport.h"

#include <QTest>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <sys/resource.h>

using namespace sayvane;
using namespace Qt::StringLiterals;
using test::ProgramFolder;

namespace {

using Threads = ShownTextAside::Threads;

struct GivenLine
{
    std::string bytes;
    std::optional<LineEncoding> onlyIn;
};

} // namespace

Q_DECLARE_METATYPE(std::vector<GivenLine>)

namespace {

// Hands the lines over from one buffer of the finder's, which is written
// over as soon as each offer returns, as the reader's next block would.
ShownQuotes written(const std::vector<GivenLine> &lines, Threads threads, qsizetype limit)
{
    ShownText shown(limit);
    ShownTextAside aside(shown, threads);
    std::string buffer;
    for (const GivenLine &line : lines) {
        buffer = line.bytes;
        aside.offer(buffer, line.onlyIn);
        std::fill(buffer.begin(), buffer.end(), '#');
    }
    aside.finish();
    return {shown.take(), false, shown.cut(), std::nullopt};
}

QString shownLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += u"\r\n"_s + line + u"\r\n"_s;
    return text;
}

// 100,000 lines of 1 to 60 letters, some 6 MB: many chunks.
std::vector<GivenLine> manyShortLines()
{
    std::vector<GivenLine> lines;
    for (int i = 0; i < 100'000; ++i)
        lines.push_back({std::string(std::size_t(1 + i % 60), char('a' + i % 26)), std::nullopt});
    return lines;
}

QStringList textsOf(const std::vector<GivenLine> &lines)
{
    QStringList texts;
    for (const GivenLine &line : lines)
        texts.append(QString::fromLatin1(line.bytes));
    return texts;
}

// Runs the check in a child process that may start no further process or
// thread: as nobody, whose limit is then none. 102: a thread could be
// started all the same, so the check would prove nothing.
int runWithoutThreads(const std::function<int()> &check)
{
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(100);
        const rlimit none{0, 0};
        if (setrlimit(RLIMIT_NPROC, &none) != 0)
            _exit(100);
        try {
            std::thread([] {}).join();
            _exit(102);
        } catch (const std::system_error &) {
        }
        _exit(check());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

// A shown text that takes a long line only once the finder is back from
// offering it, or after a second, whichever comes first. A writer that lets
// the finder go on while it still reads the line is then always caught: the
// finder has written over its buffer by the time the line is taken.
class ShownTextAfterTheFinder : public ShownText
{
public:
    using ShownText::show;
    void show(std::string_view line, std::optional<LineEncoding> onlyIn) override
    {
        if (line.size() > kLongLine) {
            std::unique_lock lock(m_mutex);
            m_changed.wait_for(lock, std::chrono::seconds(1), [this] { return m_finderIsBack; });
        }
        ShownText::show(line, onlyIn);
    }
    void finderIsBack()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_finderIsBack = true;
        }
        m_changed.notify_all();
    }

    static constexpr std::size_t kLongLine = std::size_t(1) << 20;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_finderIsBack = false;
};

} // namespace

class ShownTextAsideTest : public QObject
{
    Q_OBJECT

private slots:
    // Whether written on a thread of its own or at once, the text holds
    // every line in order, whole, each shown only in the encoding asked.
    void writesEachLineOnceInOrder_data()
    {
        QTest::addColumn<std::vector<GivenLine>>("lines");
        QTest::addColumn<qsizetype>("limit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("cut");
        const std::vector<GivenLine> many = manyShortLines();
        const QString manyShown = shownLines(textsOf(many));
        QTest::newRow("many chunks of short lines") << many << kShownTextLimit << manyShown << false;
        // The last line has 40 letters, and CR LF on either side.
        QTest::newRow("many chunks, cut at the last whole line")
            << many << manyShown.size() - 1 << manyShown.left(manyShown.size() - 44) << true;

        std::vector<GivenLine> letters;
        for (int i = 0; i < 50'000; ++i)
            letters.push_back({std::string(1, char('a' + i % 26)), std::nullopt});
        QTest::newRow("50,000 lines of one letter") << letters << kShownTextLimit << shownLines(textsOf(letters))
                                                    << false;

        const std::string megabyte(std::size_t(1) << 20, 'm');
        const std::vector<GivenLine> longBetweenShort{{"before", {}}, {megabyte, {}}, {"after", {}}};
        QTest::newRow("a line of a megabyte between short ones")
            << longBetweenShort << kShownTextLimit
            << shownLines({u"before"_s, QString(1 << 20, u'm'), u"after"_s}) << false;
        QTest::newRow("a line of a megabyte past the limit")
            << longBetweenShort << qsizetype(1'000'000) << shownLines({u"before"_s}) << true;

        const std::vector<GivenLine> encodings{{"wisdom", {}},
                                               {"\xD0\xBC\xD1\x83\xD0\xB4\xD1\x80\xD0\xBE", LineEncoding::Utf8},
                                               {"caf\xE9", LineEncoding::Utf8},
                                               {"caf\xE9", LineEncoding::Windows1252},
                                               {"caf\xC3\xA9", LineEncoding::Windows1252},
                                               {"caf\xC3\xA9", {}}};
        QTest::newRow("each line in its own encoding, where it is the one asked")
            << encodings << kShownTextLimit << shownLines({u"wisdom"_s, u"мудро"_s, u"café"_s, u"café"_s}) << false;
    }

    void writesEachLineOnceInOrder()
    {
        QFETCH(std::vector<GivenLine>, lines);
        QFETCH(qsizetype, limit);
        QFETCH(QString, text);
        QFETCH(bool, cut);
        for (const Threads threads : {Threads::Two, Threads::One}) {
            const ShownQuotes shown = written(lines, threads, limit);
            QCOMPARE(shown.text.size(), text.size());
            QCOMPARE(shown.text, text);
            QCOMPARE(shown.cut, cut ? ShownCut::AtLimit : ShownCut::None);
        }
    }

    // A line too long to be copied goes over as it stands in the finder's
    // buffer, so the finder may not go on before it is written.
    void keepsTheFinderUntilALongLineIsWritten()
    {
        ShownTextAfterTheFinder shown;
        ShownTextAside aside(shown);
        std::string buffer(2 * ShownTextAfterTheFinder::kLongLine, 'w');
        aside.offer(buffer);
        std::fill(buffer.begin(), buffer.end(), '#');
        shown.finderIsBack();
        aside.finish();
        QCOMPARE(shown.take(), shownLines({QString(2 * ShownTextAfterTheFinder::kLongLine, u'w')}));
    }

    // Once the text is cut, the finder hears so and can stop reading: well
    // before it has handed over 100 MB more.
    void tellsTheFinderToStopOnceCut()
    {
        for (const Threads threads : {Threads::Two, Threads::One}) {
            ShownText shown(1'000);
            ShownTextAside aside(shown, threads);
            const std::string line(100, 'w');
            int given = 0;
            while (given < 1'000'000 && aside.offer(line))
                ++given;
            aside.finish();
            QVERIFY2(given < 1'000'000, "the finder was never told to stop");
            QCOMPARE(shown.cut(), ShownCut::AtLimit);
            QCOMPARE(shown.take(), shownLines(QStringList(9, QString(100, u'w'))));
        }
    }

    // Where no thread can be started, the search writes its text on its own
    // thread and finds every line all the same; a reader asked to read
    // ahead reads each block when it is needed, every line all the same.
    void searchFindsEveryLineWithoutASecondThread()
    {
        ProgramFolder folder;
        QByteArray authors = "##Seneca\r\n";
        for (int i = 0; i < 50'000; ++i)
            authors += i % 2 ? "wisdom and folly\r\n" : "folly alone\r\n";
        folder.write(QStringLiteral("authors.txt"), authors);
        const QString path = folder.authors();
        const QString expected = shownLines(QStringList(25'000, u"wisdom and folly"_s));
        QCOMPARE(searchQuotes(path, u"wisdom").text, expected);
        QFile::setPermissions(folder.path(), QFile::permissions(folder.path()) | QFile::ReadOther | QFile::ExeOther);
        QFile::setPermissions(folder.path() + u"/Data"_s, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                              QFile::ReadOther | QFile::ExeOther);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        const int result = runWithoutThreads([&] {
            const ShownQuotes shown = searchQuotes(path, u"wisdom");
            DataFileReader reader({.blockSize = 4096, .readAhead = true});
            int lines = 0;
            for (reader.open(path); !reader.atEnd(); reader.readLine())
                ++lines;
            return !shown.failure && shown.text == expected && lines == 50'001 && !reader.failed() ? 0 : 1;
        });
        QCOMPARE(result, 0);
    }
};

QTEST_GUILESS_MAIN(ShownTextAsideTest)
#include "tst_shown_text_aside.moc"
