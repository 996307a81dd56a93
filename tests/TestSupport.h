// Shared helpers of the tests: a program folder with its own Data/, and a
// message seam that records instead of showing boxes.
#pragma once

#include "MessageSeam.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace sayvane::test {

// A temporary program folder whose Data/ holds whatever the test writes.
class ProgramFolder
{
public:
    ProgramFolder() { QDir(m_dir.path()).mkpath(QStringLiteral("Data")); }

    QString path() const { return m_dir.path(); }
    QString dataFile(const QString &name) const { return m_dir.path() + QStringLiteral("/Data/") + name; }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(dataFile(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
    }
    void writeBoth(const QByteArray &authors, const QByteArray &subjects) const
    {
        write(QStringLiteral("authors.txt"), authors);
        write(QStringLiteral("subjects.txt"), subjects);
    }

private:
    QTemporaryDir m_dir;
};

// What the window would have shown and whether it would have ended.
struct SeamRecord
{
    std::vector<Message> messages;
    int endings = 0;
};

class RecordingSeam : public MessageSeam
{
public:
    explicit RecordingSeam(SeamRecord &record)
        : m_record(record)
    {
    }
    void showMessage(QWidget *, const Message &message) override { m_record.messages.push_back(message); }
    void endProgram() override { ++m_record.endings; }

private:
    SeamRecord &m_record;
};

// The texts of a list's rows, in order.
inline QStringList rowsOf(const QListView *list)
{
    QStringList rows;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        rows.append(list->model()->index(row, 0).data().toString());
    return rows;
}

// Joins lines with CR LF and ends the last one with CR LF too.
inline QByteArray crlfLines(std::initializer_list<const char *> lines)
{
    QByteArray bytes;
    for (const char *line : lines)
        bytes.append(line).append("\r\n");
    return bytes;
}

// Runs the check as a user whom file permissions bind: root reads every
// file whatever its mode, so as root the check runs in a child process that
// has given up its privileges. Returns the check's result.
inline int runUnprivileged(const std::function<int()> &check)
{
    if (geteuid() != 0)
        return check();
    const pid_t child = fork();
    if (child == 0) {
        const uid_t nobody = 65534;
        if (setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(100);
        _exit(check());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

} // namespace sayvane::test
