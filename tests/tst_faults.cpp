// SPDX-License-Identifier: MIT
// Files no one should write, and files that change under the program: it
// never hangs, never dies and never stops answering; it reports what the
// user must know, shows the right lines, and stays within its memory.
// A hang fails by the test's timeout; tools/bench.sh times the cases.
#include "DataFileReader.h"
#include "HeadingLoader.h"
#include "NameFilter.h"
#include "PhraseSearch.h"
#include "ReadOnlyTextView.h"
#include "SectionDisplay.h"
#include "ShownText.h"
#include "WindowTestSupport.h"

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSet>
#include <QTest>

#include <limits>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>

using namespace sayvane;
using test::ProgramFolder;
using test::RecordedOutcome;

namespace {

const QString kLineTooLong = QStringLiteral("a line is too long (more than 268435456 bytes)");
const QString kNotRegular = QStringLiteral("not a regular file");

QString cannotRead(const QString &path, const QString &reason)
{
    return QStringLiteral("Sorry ! The file could not be read:\r\n") + path + QStringLiteral("\r\n") + reason;
}

// The peak resident memory of the process from where one case begins: the
// memory a case may use is part of its outcome. (How long each case takes
// is measured by tools/bench.sh.)
class PeakMemory
{
public:
    PeakMemory()
    {
        // Resets the peak to what the process holds now.
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
    }
    static qint64 megabytes()
    {
        // A figure that cannot be read is more than any limit, so that a
        // check against it fails.
        constexpr qint64 kUnreadable = std::numeric_limits<qint64>::max();
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return kUnreadable;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) {
                bool read = false;
                const qint64 kilobytes = line.mid(6).trimmed().split(' ').value(0).toLongLong(&read);
                return read ? kilobytes / 1024 : kUnreadable;
            }
        }
        return kUnreadable;
    }
};

// The window still answers: About shows its box.
bool answers(frmMain &window, const test::RecordedOutcome &record)
{
    const std::size_t before = record.messages.size();
    QTest::mouseClick(window.controls().cmdAbout, Qt::LeftButton);
    window.repaint();
    return record.messages.size() == before + 1 && record.messages.back().title == QStringLiteral("About");
}

} // namespace

class FaultsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpProgram(); }

    // 1 to 3. Something no one should read in place of the authors file,
    // at start or under a click of Show and of Search after start: a FIFO
    // would wait for a writer that never comes, a device never ends, and a
    // terabyte of holes holds no line end. Each is refused at once, in
    // bounded memory, and the window goes on answering.
    void hostileAuthorsFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("atStart");
        QTest::addColumn<QString>("reason");
        QTest::newRow("sparse terabyte at start") << "sparse terabyte" << true << kLineTooLong;
        QTest::newRow("sparse terabyte after start") << "sparse terabyte" << false << kLineTooLong;
        QTest::newRow("FIFO after start") << "fifo" << false << kNotRegular;
        QTest::newRow("link to /dev/zero after start") << "device" << false << kNotRegular;
        QTest::newRow("link to /dev/urandom after start") << "endless" << false << kNotRegular;
    }

    void hostileAuthorsFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, atStart);
        QFETCH(QString, reason);
        test::SelectedAuthor selected;
        const QString path = selected.folder.authors();
        if (atStart) {
            const test::HostileFile hostile(path, kind);
            const PeakMemory peak;
            QVERIFY(!selected.load());
            QVERIFY(PeakMemory::megabytes() < 1024);
            const RecordedOutcome &record = selected.record;
            QCOMPARE(record.messages.size(), std::size_t(1));
            QCOMPARE(record.messages[0].text, cannotRead(path, reason));
            QCOMPARE(record.messages[0].icon, MessageIcon::Error);
            QCOMPARE(record.endings, 1);
            QCOMPARE(record.exitStatus, kExitStartFailed);
            return;
        }
        QVERIFY(selected.load());
        const test::HostileFile hostile(path, kind);
        const PeakMemory peak;
        selected.clickShowAndSearch(QStringLiteral("wonder"));
        QVERIFY(PeakMemory::megabytes() < 1024);
        selected.verifyBothReported(reason);
        QVERIFY(answers(*selected.window, selected.record));
    }

    // 4. Another process appends to the file while a click reads it, far
    // faster than any reader: a terabyte in about a second, as holes. The
    // click reads the file as it was when it opened it.
    void fileGrowingDuringAClick()
    {
        test::ShownWindow shown;
        const ProgramFolder &folder = shown.folder;
        const qint64 line = qint64(64) << 20; // lines of holes, each ended by CR LF
        QList<std::pair<qint64, QByteArray>> pieces{{0, "##Plato\r\nWisdom begins in wonder.\r\n"}};
        for (qint64 end = line; end <= 4 * line; end += line)
            pieces.append({end, "\r\n"});
        test::writeSparse(folder.authors(), pieces);
        folder.write(QStringLiteral("subjects.txt"), "##S\r\n");
        QVERIFY(shown.open());
        const RecordedOutcome &record = shown.record;
        const std::unique_ptr<frmMain> &window = shown.window;
        const Controls &c = window->controls();

        // The writer waits until the file is open in this process, then
        // grows it to a terabyte.
        const QByteArray path = QFile::encodeName(QFileInfo(folder.authors()).canonicalFilePath());
        const QByteArray descriptors = "/proc/" + QByteArray::number(getpid()) + "/fd";
        const pid_t writer = fork();
        if (writer == 0) {
            const int descriptor = ::open(path.constData(), O_WRONLY);
            char link[PATH_MAX];
            for (bool opened = false; !opened;) {
                for (int fd = 3; fd < 64 && !opened; ++fd) {
                    const QByteArray entry = descriptors + "/" + QByteArray::number(fd);
                    const ssize_t length = readlink(entry.constData(), link, sizeof(link));
                    opened = length == path.size() && memcmp(link, path.constData(), std::size_t(length)) == 0;
                }
            }
            for (qint64 end = 5 * line; end < (qint64(1) << 40); end += line) {
                if (pwrite(descriptor, "\r\n", 2, end) != 2)
                    break;
            }
            _exit(0);
        }
        QVERIFY(writer > 0);
        c.txtSearch->setText(QStringLiteral("wonder"));
        QTest::mouseClick(c.cmdSearch, Qt::LeftButton);
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        QCOMPARE(c.txtQuotes->toPlainText(), QStringLiteral("\r\nWisdom begins in wonder.\r\n"));
        QCOMPARE(record.messages.size(), std::size_t(1));
        QCOMPARE(record.messages[0].text, QStringLiteral("Searching Done !"));
    }

    // 5. A classic collection of 100 MB (its first line end a CR LF) whose
    // other lines end in a lone LF is one heading line whose name is 100
    // million characters. The list shows its start; the filter and section
    // display use it whole.
    void classicCollectionOfLoneLineFeeds()
    {
        test::ShownWindow shown;
        const ProgramFolder &folder = shown.folder;
        QByteArray authors = "\r\n##Aesop\nSlow and steady wins the race.\n";
        while (authors.size() < 100'000'000)
            authors.append("##Seneca\nWhile we are postponing, life speeds by.\n");
        folder.writeBoth(authors, "##Courage\r\n");
        const qsizetype nameLength = authors.size() - 4;
        authors.clear();
        QVERIFY(shown.open());
        const RecordedOutcome &record = shown.record;
        const std::unique_ptr<frmMain> &window = shown.window;
        const Controls &c = window->controls();
        QCOMPARE(c.AuthorList->model()->rowCount(), 1);
        QCOMPARE(c.AuthorList->nameModel()->nameBytes(0).size(), std::size_t(nameLength));
        c.AuthorList->viewport()->repaint();
        QTest::keyClicks(c.txtAuthor, "aES");
        QCOMPARE(c.AuthorList->model()->rowCount(), 1);
        QTest::keyClicks(c.txtAuthor, "x");
        QCOMPARE(c.AuthorList->model()->rowCount(), 0);
        c.txtAuthor->clear();
        test::clickRow(c.AuthorList, 0);
        c.txtQuotes->setPlainText(QStringLiteral("before"));
        QTest::mouseClick(c.cmdShowAuthor, Qt::LeftButton);
        QCOMPARE(c.txtQuotes->toPlainText(), QString()); // the name matches; its section has no quote lines
        QVERIFY(record.messages.empty());
        QVERIFY(answers(*window, record));
        QCOMPARE(record.messages.size(), std::size_t(1));
    }

    // 6a. A quotation longer than a line may be is refused, not held: at
    // start, and in a file put in place after start.
    void quotationLongerThanALineMayBe_data()
    {
        QTest::addColumn<bool>("atStart");
        QTest::newRow("at start") << true;
        QTest::newRow("after start") << false;
    }

    void quotationLongerThanALineMayBe()
    {
        QFETCH(bool, atStart);
        test::SelectedAuthor selected("##Long\r\nneedle\r\n");
        const auto writeHugeLine = [&selected] {
            test::writeSparse(selected.folder.authors(), {{0, "##Long\r\n"}, {500'000'000, " needle\r\n"}});
        };
        if (atStart) {
            writeHugeLine();
            QVERIFY(!selected.load());
            QCOMPARE(selected.record.messages.size(), std::size_t(1));
            QCOMPARE(selected.record.messages[0].text, cannotRead(selected.folder.authors(), kLineTooLong));
            QCOMPARE(selected.record.endings, 1);
            QCOMPARE(selected.record.exitStatus, kExitStartFailed);
            return;
        }
        QVERIFY(selected.load());
        writeHugeLine();
        const PeakMemory peak;
        selected.clickShowAndSearch(QStringLiteral("needle"));
        QVERIFY(PeakMemory::megabytes() < 1024);
        selected.verifyBothReported(kLineTooLong);
    }

    // 6b. A result larger than memory allows stops at the limit of the
    // shown text, with a message naming it; the first lines stay shown and
    // the program goes on. A sparse file of 16 GiB: one author whose lines
    // of holes end every 128 MiB.
    void resultBeyondTheShownTextLimit()
    {
        const qint64 line = qint64(128) << 20;
        QList<std::pair<qint64, QByteArray>> pieces{{0, "##A\r\n"}};
        for (qint64 end = line; end < (qint64(16) << 30); end += line)
            pieces.append({end, "\r\n"});
        test::SelectedAuthor selected("##A\r\nfirst\r\n");
        test::writeSparse(selected.folder.authors(), pieces, qint64(16) << 30);
        QVERIFY(selected.load());
        const PeakMemory peak;
        QTest::mouseClick(selected.controls().cmdShowAuthor, Qt::LeftButton);
        const qsizetype shown = selected.controls().txtQuotes->toPlainText().size();
        const qsizetype areaHolds = 1'073'741'824; // characters
        QVERIFY(shown > areaHolds - line - 4);
        QVERIFY(shown <= areaHolds);
        QVERIFY2(PeakMemory::megabytes() < 4 * 1024, "the text of 2 GiB and a line or two at most");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(selected.record.messages.size(), std::size_t(1));
        QCOMPARE(selected.record.messages[0].text,
                 QStringLiteral("Sorry ! There are more quotations than the area can hold (1,073,741,824 characters)."
                                "\r\nThe first %1 characters are shown.")
                     .arg(english.toString(shown)));
        QCOMPARE(selected.record.messages[0].icon, MessageIcon::Information);
        QVERIFY(answers(*selected.window, selected.record));
        QCOMPARE(selected.record.endings, 0);
    }

    // 6c. A second search does not hold the old result and the new one at
    // once: the old text goes before the new one is built.
    void secondSearchReleasesTheFirstResult()
    {
        QByteArray authors = "##Many\r\n";
        while (authors.size() < 50'000'000)
            authors.append("wisdom begins in wonder, and wonder is the feeling of a philosopher\r\n");
        test::ShownWindow shown;
        QVERIFY(shown.open(authors, "##S\r\n"));
        authors.clear();
        const Controls &c = shown.controls();
        c.txtSearch->setText(QStringLiteral("wisdom"));
        QTest::mouseClick(c.cmdSearch, Qt::LeftButton);
        const qint64 textMegabytes = c.txtQuotes->toPlainText().size() * 2 / (1024 * 1024);
        QVERIFY(textMegabytes > 90);
        const qint64 before = PeakMemory::megabytes();
        const PeakMemory peak;
        QTest::mouseClick(c.cmdSearch, Qt::LeftButton);
        QCOMPARE(c.txtQuotes->toPlainText().size() * 2 / (1024 * 1024), textMegabytes);
        QVERIFY2(PeakMemory::megabytes() - before < textMegabytes / 2, "never two results at once");
        QCOMPARE(shown.record.messages.back().text, QStringLiteral("Searching Done !"));
    }

    // 6d. One huge line shows its first screen at once, scrolls to its end
    // and draws it there.
    void hugeLineShowsAtOnce_data()
    {
        QTest::addColumn<qsizetype>("length");
        QTest::addColumn<QChar>("filler");
        QTest::newRow("50 MB of words") << qsizetype(50'000'000) << QChar(u' ');
        QTest::newRow("500 MB of words") << qsizetype(500'000'000) << QChar(u' ');
        QTest::newRow("three million tabs") << qsizetype(3'000'000) << QChar(u'\t');
    }

    void hugeLineShowsAtOnce()
    {
        QFETCH(qsizetype, length);
        QFETCH(QChar, filler);
        QString text(length, filler);
        if (filler == u' ') {
            char16_t *data = reinterpret_cast<char16_t *>(text.data());
            for (qsizetype i = 0; i + 6 < length; i += 7)
                std::copy_n(u"wisdom", 6, data + i);
        }
        text.replace(0, 5, QStringLiteral("START"));
        text.replace(length - 3, 3, QStringLiteral("END"));
        ReadOnlyTextView view;
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(13);
        view.setFont(font);
        view.setFrameStyle(QFrame::NoFrame);
        view.resize(329, 321);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const qint64 before = PeakMemory::megabytes();
        view.setPlainText(text);
        view.viewport()->repaint();
        QVERIFY(!view.characterRect(0).isNull());
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
        view.viewport()->repaint();
        QCOMPARE(view.caretPosition(), length);
        QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
        // "END" is drawn in the last row in view.
        const QRect end = view.characterRect(length - 3);
        QVERIFY(!end.isNull());
        const QImage image = view.viewport()->grab().toImage();
        int dark = 0;
        for (int y = end.top(); y <= end.bottom(); ++y)
            for (int x = end.left(); x < end.left() + 3 * end.width(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        QVERIFY2(dark > 10, "the end of the line is drawn");
        // Paging back through the line: beyond the text itself, the view
        // holds the layouts of a few dozen pieces at most.
        {
            const PeakMemory peak;
            for (int page = 0; page < 300; ++page)
                QTest::keyClick(&view, Qt::Key_PageUp);
            view.viewport()->repaint();
        }
        QVERIFY(view.topPosition() < length);
        QVERIFY(PeakMemory::megabytes() - before < 64);
    }

    // 6e. A search that finds a quotation of 50 MB shows it, and the window
    // answers at once afterwards.
    void searchFindsAFiftyMegabyteLine()
    {
        test::ShownWindow shown;
        const ProgramFolder &folder = shown.folder;
        QByteArray line(50'000'000, ' ');
        for (qsizetype i = 0; i + 6 < line.size(); i += 7)
            line.replace(i, 6, "wisdom");
        folder.writeBoth("##Long\r\n" + line + " needle\r\n", "##S\r\n");
        line.clear();
        QVERIFY(shown.open());
        const RecordedOutcome &record = shown.record;
        const std::unique_ptr<frmMain> &window = shown.window;
        const Controls &c = window->controls();
        c.txtSearch->setText(QStringLiteral("needle"));
        QTest::mouseClick(c.cmdSearch, Qt::LeftButton);
        window->repaint();
        QCOMPARE(c.txtQuotes->toPlainText().size(), 50'000'000 + 7 + 4);
        QVERIFY(answers(*window, record));
        QCOMPARE(record.messages.back().title, QStringLiteral("About"));
    }

    // Lines of NUL bytes 64 MiB long lead past the 4 GiB mark, where the
    // last section stands.
    void readsPastFourGibibytes()
    {
        ProgramFolder folder;
        const qint64 step = qint64(64) << 20;
        QList<std::pair<qint64, QByteArray>> pieces{{0, "##First\r\nfirst quote\r\n"}};
        for (qint64 offset = step; offset < (qint64(4) << 30); offset += step)
            pieces.append({offset, "\r\n"});
        const qint64 far = (qint64(4) << 30) + (qint64(1) << 20);
        pieces.append({far, "\r\n##Far Author\r\nFar quotation beyond the mark.\r\n"});
        test::writeSparse(folder.authors(), pieces);
        QVERIFY(QFileInfo(folder.authors()).size() > (qint64(4) << 30));

        const LoadedNames loaded = loadHeadingNames(folder.authors());
        QVERIFY(!loaded.failure);
        QCOMPARE(test::namesOf(loaded.names), (QStringList{"First", "Far Author"}));
        QCOMPARE(sectionQuotes(folder.authors(), "Far Author").text,
                 QStringLiteral("\r\nFar quotation beyond the mark.\r\n"));
        QCOMPARE(searchQuotes(folder.authors(), u"beyond the mark").text,
                 QStringLiteral("\r\nFar quotation beyond the mark.\r\n"));
    }

    void readsALineOf200Megabytes()
    {
        ProgramFolder folder;
        QByteArray bytes("##Long\r\n");
        bytes.append(QByteArray(200'000'000, 'w')).append(" needle\r\n##After\r\nafter quote\r\n");
        folder.write(QStringLiteral("authors.txt"), bytes);
        bytes.clear();
        QCOMPARE(test::namesOf(loadHeadingNames(folder.authors()).names), (QStringList{"Long", "After"}));
        QCOMPARE(sectionQuotes(folder.authors(), "After").text, QStringLiteral("\r\nafter quote\r\n"));
        const ShownQuotes found = searchQuotes(folder.authors(), u"w needle");
        QCOMPARE(found.text.size(), 200'000'000 + 7 + 4);
        QVERIFY(found.text.endsWith(QStringLiteral("w needle\r\n")));
    }

    void readsTenMillionLoneCarriageReturns()
    {
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), QByteArray(10'000'000, '\r') + "##After\r\nafter quote\r\n");
        QCOMPARE(test::namesOf(loadHeadingNames(folder.authors()).names), QStringList{"After"});
        QCOMPARE(sectionQuotes(folder.authors(), "After").text, QStringLiteral("\r\nafter quote\r\n"));
        QCOMPARE(searchQuotes(folder.authors(), u"after").text, QStringLiteral("\r\nafter quote\r\n"));
        QCOMPARE(searchQuotes(folder.authors(), u"nowhere").found, false);
    }

    // Binary junk gives the same names, sections and matches whatever the
    // block size, and decodes every byte.
    void readsBinaryJunkConsistently_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL bytes") << QByteArray(1'000'000, '\0');
        QByteArray random(1'000'000, Qt::Uninitialized);
        QRandomGenerator generator(20261207);
        for (char &byte : random)
            byte = char(generator.bounded(256));
        // Some headings among the junk.
        for (int at = 1000; at < random.size() - 20; at += 50'000)
            random.replace(at, 12, "\r\n##Junk\x01\x81\r\n");
        QTest::newRow("random bytes") << random;
    }

    void readsBinaryJunkConsistently()
    {
        QFETCH(QByteArray, bytes);
        ProgramFolder folder;
        folder.write(QStringLiteral("authors.txt"), bytes);
        const LoadedNames loaded = loadHeadingNames(folder.authors());
        QVERIFY(!loaded.failure);
        const ReadSettings tiny{.blockSize = 7};
        QCOMPARE(test::namesOf(loadHeadingNames(folder.authors(), tiny).names), test::namesOf(loaded.names));
        const std::string_view name = loaded.names.isEmpty() ? std::string_view() : loaded.names.bytes(0);
        QCOMPARE(sectionQuotes(folder.authors(), name, tiny).text, sectionQuotes(folder.authors(), name).text);
        const QString phrase = QString::fromLatin1("\x01\x02\x03");
        QCOMPARE(searchQuotes(folder.authors(), phrase, tiny).text, searchQuotes(folder.authors(), phrase).text);
    }

    // Each click reads the file as it is now.
    void followsTheFileBetweenClicks_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("shown");
        QTest::newRow("truncated") << "truncate"
                                   << "\r\none\r\n";
        QTest::newRow("grown") << "grow"
                               << "\r\none\r\n\r\ntwo\r\n\r\nthree\r\n";
        QTest::newRow("replaced") << "replace"
                                  << "\r\nnew\r\n";
        QTest::newRow("emptied") << "empty"
                                 << "";
    }

    void followsTheFileBetweenClicks()
    {
        QFETCH(QString, change);
        QFETCH(QString, shown);
        ProgramFolder folder;
        const QString path = folder.authors();
        folder.write(QStringLiteral("authors.txt"), "##A\r\none\r\ntwo\r\n");
        QCOMPARE(sectionQuotes(path, "A").text, QStringLiteral("\r\none\r\n\r\ntwo\r\n"));
        if (change == "truncate")
            QVERIFY(QFile::resize(path, 10));
        else if (change == "grow")
            folder.write(QStringLiteral("authors.txt"), "##A\r\none\r\ntwo\r\nthree\r\n");
        else if (change == "replace") {
            QFile replacement(path + QStringLiteral(".new"));
            QVERIFY(replacement.open(QIODevice::WriteOnly));
            replacement.write("##A\r\nnew\r\n");
            replacement.close();
            QVERIFY(std::rename(QFile::encodeName(replacement.fileName()), QFile::encodeName(path)) == 0);
        } else
            folder.write(QStringLiteral("authors.txt"), QByteArray());
        const ShownQuotes after = sectionQuotes(path, "A");
        QVERIFY(!after.failure);
        QCOMPARE(after.text, shown);
    }

    // A file that shrinks while it is read simply ends early.
    void fileShrinkingWhileRead()
    {
        ProgramFolder folder;
        QByteArray bytes;
        for (int i = 0; i < 1000; ++i)
            bytes.append("quote line number ").append(QByteArray::number(i)).append("\r\n");
        folder.write(QStringLiteral("authors.txt"), bytes);
        DataFileReader reader({.blockSize = 64});
        QVERIFY(reader.open(folder.authors()));
        QCOMPARE(reader.readLine(), std::string_view("quote line number 0"));
        QVERIFY(QFile::resize(folder.authors(), 100));
        int lines = 1;
        while (!reader.atEnd()) {
            reader.readLine();
            ++lines;
        }
        QVERIFY(!reader.failed());
        QVERIFY2(lines < 10, "reading stops where the file now ends");
    }

    void filtersAMillionNames()
    {
        NameArray names;
        for (int i = 0; i < 1'000'000; ++i) {
            const QByteArray name = (i % 2 ? "Beta " : "alpha ") + QByteArray::number(i);
            names.append({name.constData(), std::size_t(name.size())});
        }
        const QList<int> alphas = filterNames(names, u"ALPHA 99");
        QCOMPARE(alphas.size(), 5 + 50 + 500 + 5000); // the even numbers 990 to 998, 9900 to 9998, ...
        QCOMPARE(names.text(alphas.first()), QStringLiteral("alpha 990"));
        QCOMPARE(filterNames(names, u"").size(), 1'000'000);
        QCOMPARE(filterNames(names, u"b").size(), 500'000);
    }

    // Huge names and names holding control characters stay one row each.
    void listsOddNames()
    {
        test::ShownWindow shown;
        const ProgramFolder &folder = shown.folder;
        QByteArray authors = "##" + QByteArray(100'000, 'L') +
                             "\r\n##Line\nfeed\r\n##Tab\tand\x01"
                             "control\r\n##Plain\r\n";
        folder.writeBoth(authors, "##S\r\n");
        QVERIFY(shown.open());
        const std::unique_ptr<frmMain> &window = shown.window;
        ListBox *list = window->controls().AuthorList;
        QCOMPARE(list->model()->rowCount(), 4);
        QCOMPARE(list->model()->index(0, 0).data().toString().size(), 100'000);
        QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("Line\nfeed"));
        for (int row = 0; row < 4; ++row)
            QCOMPARE(list->visualRect(list->model()->index(row, 0)).height(), 13);
        QCOMPARE(list->visualRect(list->model()->index(3, 0)).top(), 3 * 13);
        QTest::keyClicks(window->controls().txtAuthor, "lll");
        QCOMPARE(list->model()->rowCount(), 1);
        QTest::keyClick(window->controls().txtAuthor, Qt::Key_Backspace);
        QTest::keyClick(window->controls().txtAuthor, Qt::Key_Backspace);
        QCOMPARE(list->model()->rowCount(), 2);
        // The remaining rows are drawn, once the list has laid them out:
        // text in the first.
        QCoreApplication::processEvents();
        const QImage rows = list->viewport()->grab().toImage();
        QSet<QRgb> colours;
        for (int y = 2; y < 11; ++y)
            for (int x = 2; x < rows.width() - 2; ++x)
                colours.insert(rows.pixel(x, y));
        QVERIFY(colours.size() > 1);
    }
};

QTEST_MAIN(FaultsTest)
#include "tst_faults.moc"
