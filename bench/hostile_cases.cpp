// SPDX-License-Identifier: MIT
// How long the program takes over files no one should write: each is
// refused, or shown, at once. The tests check what happens; these rows
// say how fast.
#include "BenchSupport.h"
#include "ListBox.h"
#include "ProgramStart.h"
#include "ReadOnlyTextView.h"
#include "ScratchFiles.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace sayvane::bench {
namespace {

constexpr const char *kAuthors = "##Plato\r\nWisdom begins in wonder.\r\n";

std::unique_ptr<frmMain> loadedWindow(const scratch::ProgramFolder &folder)
{
    std::unique_ptr<frmMain> window = openedWindow(folder.collection());
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());
    return window;
}

// Selects the first author, clicks Show, then searches for the phrase.
void clickShowAndSearch(frmMain &window, const QString &phrase)
{
    const Controls &c = window.controls();
    c.AuthorList->setCurrentIndex(c.AuthorList->model()->index(0, 0));
    c.cmdShowAuthor->click();
    c.txtSearch->setText(phrase);
    c.cmdSearch->click();
    window.repaint();
}

Row timedRow(const std::string &operation, double milliseconds, double target)
{
    return {
        operation, milliseconds, std::nullopt, "", "< " + std::to_string(int(target)) + " ms", milliseconds < target};
}

// A click of Show and of Search after the authors file became something
// no one should read.
Row afterStart(const QString &scratch, const char *kind, const std::string &operation, double target)
{
    scratch::ProgramFolder folder(scratch);
    folder.writeBoth(kAuthors, "##S\r\n");
    const auto window = loadedWindow(folder);
    const scratch::HostileFile hostile(folder.authors(), QString::fromLatin1(kind));
    return timedRow(operation, once([] {}, [&] { clickShowAndSearch(*window, QStringLiteral("wonder")); }), target);
}

// Starting on a collection whose authors file holds no line end the reader
// may hold: the start is refused.
Row atStart(const QString &scratch, const std::function<void(const QString &)> &write, const std::string &operation)
{
    scratch::ProgramFolder folder(scratch);
    folder.writeBoth(kAuthors, "##S\r\n");
    write(folder.authors());
    const double time = once([] {},
                             [&] {
                                 openMainWindow(folder.collection(), std::make_unique<SilentMessageBoxes>());
                             });
    return timedRow(operation, time, 5000);
}

void writeHugeQuotation(const QString &path)
{
    scratch::writeSparse(path, {{0, "##Long\r\n"}, {500'000'000, " needle\r\n"}});
}

// A classic collection of 100 MB (its first line end a CR LF) whose other
// lines end in a lone LF: one heading line whose name is 100 million
// characters.
std::vector<Row> headingOfLoneLineFeeds(const QString &scratch)
{
    scratch::ProgramFolder folder(scratch);
    QByteArray authors = "\r\n##Aesop\nSlow and steady wins the race.\n";
    while (authors.size() < 100'000'000)
        authors.append("##Seneca\nWhile we are postponing, life speeds by.\n");
    folder.writeBoth(authors, "##Courage\r\n");
    authors.clear();
    std::unique_ptr<frmMain> window;
    const double start = once([&] { window.reset(); }, [&] { window = loadedWindow(folder); });
    const Controls &c = window->controls();
    c.AuthorList->setCurrentIndex(c.AuthorList->model()->index(0, 0));
    const double show = once([] {},
                             [&] {
                                 c.cmdShowAuthor->click();
                                 window->repaint();
                             });
    return {timedRow("100 MB heading of lone LFs: start-up", start, 1000),
            timedRow("100 MB heading of lone LFs: Show", show, 1000)};
}

// One shown line of 500 MB: to its end, and 300 pages back.
std::vector<Row> hugeShownLine()
{
    QString line(500'000'000, u' ');
    char16_t *data = reinterpret_cast<char16_t *>(line.data());
    for (qsizetype i = 0; i + 6 < line.size(); i += 7)
        std::copy_n(u"wisdom", 6, data + i);
    ReadOnlyTextView view;
    view.resize(329, 321);
    view.show();
    (void)QTest::qWaitForWindowExposed(&view);
    view.setPlainText(line);
    view.setFocus();
    const double toEnd = once([&] { QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier); },
                              [&] {
                                  QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
                                  view.viewport()->repaint();
                              });
    const double pagesBack = once([&] { QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier); },
                                  [&] {
                                      for (int page = 0; page < 300; ++page)
                                          QTest::keyClick(&view, Qt::Key_PageUp);
                                      view.viewport()->repaint();
                                  });
    return {timedRow("500 MB shown line: Ctrl+End and paint", toEnd, 100),
            timedRow("500 MB shown line: 300 times Page Up", pagesBack, 3000)};
}

Row searchFindsAFiftyMegabyteLine(const QString &scratch)
{
    scratch::ProgramFolder folder(scratch);
    QByteArray line(50'000'000, ' ');
    for (qsizetype i = 0; i + 6 < line.size(); i += 7)
        line.replace(i, 6, "wisdom");
    folder.writeBoth("##Long\r\n" + line + " needle\r\n", "##S\r\n");
    line.clear();
    const auto window = loadedWindow(folder);
    const Controls &c = window->controls();
    c.txtSearch->setText(QStringLiteral("needle"));
    const double time = once([] {},
                             [&] {
                                 c.cmdSearch->click();
                                 window->repaint();
                             });
    return timedRow("50 MB line found by Search, shown", time, 1000);
}

// A list of names made of 1,024 soft hyphens each, which take no width.
Row repaintSoftHyphenNames(const QString &scratch)
{
    scratch::ProgramFolder folder(scratch);
    QByteArray authors;
    for (int name = 0; name < 40; ++name)
        authors.append("##" + QByteArray(1024, '\xAD') + "\r\n");
    folder.writeBoth(authors, "##S\r\n");
    const auto window = loadedWindow(folder);
    QWidget *rows = window->controls().AuthorList->viewport();
    return timedRow("repaint a list of names of 1,024 soft hyphens", fastest([rows] { rows->repaint(); }), 16);
}

} // namespace

std::vector<Row> hostileCaseRows(const QString &scratch)
{
    std::vector<Row> rows{
        afterStart(scratch, "fifo", "FIFO in place of authors.txt: Show and Search", 1000),
        afterStart(scratch, "endless", "/dev/urandom in place of authors.txt: Show and Search", 1000),
        afterStart(scratch, "sparse terabyte", "sparse terabyte file: Show and Search", 5000),
        atStart(
            scratch, [](const QString &path) { scratch::HostileFile(path, QStringLiteral("sparse terabyte")); },
            "sparse terabyte file at start: refused"),
        atStart(scratch, writeHugeQuotation, "500 MB quotation at start: refused"),
    };
    {
        scratch::ProgramFolder folder(scratch);
        folder.writeBoth(kAuthors, "##S\r\n");
        const auto window = loadedWindow(folder);
        writeHugeQuotation(folder.authors());
        rows.push_back(timedRow("500 MB quotation: Show and Search",
                                once([] {}, [&] { clickShowAndSearch(*window, QStringLiteral("needle")); }), 5000));
    }
    for (const Row &row : headingOfLoneLineFeeds(scratch))
        rows.push_back(row);
    for (const Row &row : hugeShownLine())
        rows.push_back(row);
    rows.push_back(searchFindsAFiftyMegabyteLine(scratch));
    rows.push_back(repaintSoftHyphenNames(scratch));
    return rows;
}

} // namespace sayvane::bench
