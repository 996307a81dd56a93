// SPDX-License-Identifier: MIT
// Shared helpers of the tests of the window: message boxes that record
// instead of showing boxes, the window opened as the program opens it, and
// the rows a list shows.
#pragma once

#include "ListBox.h"
#include "ReadOnlyTextView.h"
#include "MessageBoxesAndExit.h"
#include "NameListModel.h"
#include "ProgramSetup.h"
#include "ProgramStart.h"
#include "TestSupport.h"
#include "frmMain.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <vector>

namespace sayvane::test {

// What the window would have shown and whether it would have ended.
struct RecordedOutcome
{
    std::vector<Message> messages;
    int endings = 0;
    int exitStatus = -1; // of the last ending
};

class RecordingMessageBoxes : public MessageBoxesAndExit
{
public:
    explicit RecordingMessageBoxes(RecordedOutcome &record)
        : m_record(record)
    {
    }
    void showMessage(QWidget *, const Message &message) override { m_record.messages.push_back(message); }
    void endProgram(int exitStatus) override
    {
        ++m_record.endings;
        m_record.exitStatus = exitStatus;
    }

private:
    RecordedOutcome &m_record;
};

// The texts of a list's rows, in order.
inline QStringList rowsOf(const QAbstractItemView *list)
{
    QStringList rows;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        rows.append(list->model()->index(row, 0).data().toString());
    return rows;
}

// Clicks the row of a list as a user would.
inline void clickRow(ListBox *list, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                      list->visualRect(list->model()->index(row, 0)).center());
}

// The one way the tests open a window: a program folder with a
// collection, and the window loaded from it and shown; its messages and
// its ending go to the record.
struct ShownWindow
{
    // Writes the collection and opens the window on it; false when the
    // window did not load.
    bool open(const QByteArray &authors, const QByteArray &subjects)
    {
        folder.writeBoth(authors, subjects);
        return open();
    }
    // Opens the window on the collection as the folder holds it now.
    bool open() { return openOn(folder.collection()); }
    // Opens the window on the collection in any folder, as the program
    // does; no window when it did not load.
    bool openOn(const QString &collection, CollectionOrigin origin = CollectionOrigin::BesideProgram)
    {
        record = {};
        window = openMainWindow(collection, std::make_unique<RecordingMessageBoxes>(record), origin);
        if (!window)
            return false;
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }
    const Controls &controls() const { return window->controls(); }

    ProgramFolder folder;
    RecordedOutcome record;
    std::unique_ptr<frmMain> window;
};

// A shown window over a small collection, its first author selected and
// the quotations area showing "kept": the state in which a click meets a
// data file that has turned bad after start. A click empties the area
// before it reads, so a failed one leaves it empty.
class SelectedAuthor : public ShownWindow
{
public:
    explicit SelectedAuthor(QByteArray authors = "##Plato\r\nWisdom begins in wonder.\r\n")
        : m_authors(std::move(authors))
    {
        folder.writeBoth(m_authors, "##S\r\n");
    }

    // False when the window did not load.
    bool load()
    {
        if (!open())
            return false;
        clickRow(controls().AuthorList, 0);
        controls().txtQuotes->setPlainText(QStringLiteral("kept"));
        return true;
    }
    void restoreAuthors() const { folder.write(QStringLiteral("authors.txt"), m_authors); }

    // Clicks Show, then Search for the phrase.
    void clickShowAndSearch(const QString &phrase) const
    {
        QTest::mouseClick(controls().cmdShowAuthor, Qt::LeftButton);
        controls().txtSearch->setText(phrase);
        QTest::mouseClick(controls().cmdSearch, Qt::LeftButton);
    }

    // Both clicks named the authors file and the reason in a box with the
    // information icon, as every message after start has,
    // and left the quotations area empty and the program running.
    void verifyBothReported(const QString &reason) const
    {
        QCOMPARE(record.messages.size(), std::size_t(2));
        for (const Message &message : record.messages) {
            QCOMPARE(message.text, QStringLiteral("Sorry ! The file could not be read:\r\n") + folder.authors() +
                                       QStringLiteral("\r\n") + reason);
            QCOMPARE(message.icon, MessageIcon::Information);
        }
        QCOMPARE(controls().txtQuotes->toPlainText(), QString());
        QCOMPARE(record.endings, 0);
    }

private:
    QByteArray m_authors;
};

} // namespace sayvane::test
