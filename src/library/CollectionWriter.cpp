// SPDX-License-Identifier: MIT
#include "CollectionWriter.h"

#include "FileNames.h"
#include "RegularFile.h"
#include "WholeWrites.h"

#include <QList>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sayvane {
namespace {

constexpr std::array kEndingSignals = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// The part files being written, for the signal handler to remove: a
// program ended while writing leaves nothing behind. A folder and a short
// name each, so that no path length can make one too long to hold.
struct PartToRemove
{
    int folder = -1;
    char name[64] = {};
};
PartToRemove g_partsToRemove[2];

void removePartsAndEnd(int signal)
{
    for (const PartToRemove &part : g_partsToRemove) {
        if (part.name[0] != '\0')
            ::unlinkat(part.folder, part.name, 0);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

WriteFailure failure(const QString &path, const QString &reason)
{
    return {WriteFailure::Kind::Other, path + QStringLiteral(": ") + reason};
}

WriteFailure exists(const QString &path)
{
    return {WriteFailure::Kind::Exists, path + QStringLiteral(" exists")};
}

// A descriptor closed when it goes.
class Descriptor
{
public:
    explicit Descriptor(int descriptor = -1)
        : m_descriptor(descriptor)
    {
    }
    ~Descriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    Descriptor(Descriptor &&other) noexcept
        : m_descriptor(std::exchange(other.m_descriptor, -1))
    {
    }
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(m_descriptor, other.m_descriptor);
        return *this;
    }
    int get() const { return m_descriptor; }
    bool valid() const { return m_descriptor >= 0; }

private:
    int m_descriptor;
};

// Opens the folder for reading, making it and every missing folder above
// it, one part at a time so that a path of any length can be made.
Descriptor openOrMakeFolder(const QByteArray &path)
{
    Descriptor folder(::open(path.startsWith('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    QList<QByteArray> parts = path.split('/');
    parts.removeAll(QByteArray());
    if (parts.isEmpty())
        return Descriptor(::open(path.startsWith('/') ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (qsizetype i = 0; i < parts.size() && folder.valid(); ++i) {
        const bool last = i + 1 == parts.size();
        if (::mkdirat(folder.get(), parts[i].constData(), 0777) != 0 && errno != EEXIST)
            return Descriptor();
        folder = Descriptor(::openat(folder.get(), parts[i].constData(),
                                     (last ? O_RDONLY : O_PATH) | O_DIRECTORY | O_CLOEXEC));
    }
    return folder;
}

bool syncFolder(int folder)
{
    // A descriptor opened with O_PATH cannot be synced; reopen it.
    const Descriptor readable(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return readable.valid() && ::fsync(readable.get()) == 0;
}

bool isWorkFileName(std::string_view name)
{
    if (!name.starts_with(kWorkFilePrefix))
        return false;
    return name.ends_with(".part") || name.ends_with(".old") || name.ends_with(".journal");
}

// A file's identity, to tell the file a writer put in place from another.
struct Identity
{
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const Identity &) const = default;
};

Identity identityOf(const struct stat &status)
{
    return {status.st_dev, status.st_ino};
}

// One file the journal names: where it lies (a name in the folder, or an
// absolute path where a link led), its old contents kept as a hard link
// (none where the file was new), and the new file's identity.
struct JournalEntry
{
    QByteArray target;
    QByteArray backup;
    Identity written;
};

QByteArray journalText(const QList<JournalEntry> &entries)
{
    QByteArray text;
    for (const JournalEntry &entry : entries) {
        text += entry.target + '\0' + entry.backup + '\0';
        text += QByteArray::number(qulonglong(entry.written.device)) + ':' +
                QByteArray::number(qulonglong(entry.written.inode)) + '\0';
    }
    return text;
}

QList<JournalEntry> parseJournal(const QByteArray &text)
{
    const QList<QByteArray> fields = text.split('\0');
    QList<JournalEntry> entries;
    for (qsizetype i = 0; i + 2 < fields.size(); i += 3) {
        const QList<QByteArray> identity = fields[i + 2].split(':');
        if (fields[i].isEmpty() || identity.size() != 2)
            break;
        entries.append({fields[i], fields[i + 1],
                        Identity{dev_t(identity[0].toULongLong()), ino_t(identity[1].toULongLong())}});
    }
    return entries;
}

QByteArray readSmallFile(int folder, const char *name)
{
    const Descriptor file(::openat(folder, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    QByteArray text;
    if (!file.valid())
        return text;
    char block[4096];
    for (;;) {
        const ssize_t count = ::read(file.get(), block, sizeof block);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0 || text.size() > (1 << 20))
            return text;
        text.append(block, count);
    }
}

// Puts the old files of a writer that died between its renames back in
// place: a file that is still the one it wrote goes, and its backup takes
// its place. A file someone else put there since is left alone.
void rollBack(int folder, const QList<JournalEntry> &entries)
{
    for (const JournalEntry &entry : entries) {
        struct stat status;
        const bool present = ::fstatat(folder, entry.target.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
        const bool ours = present && identityOf(status) == entry.written;
        if (present && !ours)
            continue;
        if (!entry.backup.isEmpty())
            ::renameat(folder, entry.backup.constData(), folder, entry.target.constData());
        else if (ours)
            ::unlinkat(folder, entry.target.constData(), 0);
    }
}

// What dead writers left in the folder: a journal is rolled back, then
// every work file goes. Only called with the folder locked, so no living
// writer's files are touched.
void repairAfterDeadWriters(int folder)
{
    DIR *listing = ::fdopendir(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing)
        return;
    QList<QByteArray> workFiles;
    while (const dirent *entry = ::readdir(listing)) {
        if (isWorkFileName(entry->d_name))
            workFiles.append(QByteArray(entry->d_name));
    }
    ::closedir(listing);
    if (workFiles.isEmpty())
        return;
    QList<JournalEntry> backups;
    for (const QByteArray &name : workFiles) {
        if (!name.endsWith(".journal"))
            continue;
        const QList<JournalEntry> entries = parseJournal(readSmallFile(folder, name.constData()));
        rollBack(folder, entries);
        backups += entries;
    }
    syncFolder(folder);
    for (const JournalEntry &entry : backups) {
        if (!entry.backup.isEmpty())
            ::unlinkat(folder, entry.backup.constData(), 0);
    }
    for (const QByteArray &name : workFiles)
        ::unlinkat(folder, name.constData(), 0);
    syncFolder(folder);
}

// Signals that would end the program remove the part files first, unless
// the program was started with them ignored (under nohup, or a script's
// background job), when they stay ignored. A file grown past the process's
// size limit fails its write instead of ending the program.
class SignalGuard
{
public:
    SignalGuard()
    {
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
            struct sigaction current = {};
            ::sigaction(kEndingSignals[i], nullptr, &current);
            m_previous[i] = current;
            if (current.sa_handler == SIG_IGN)
                continue;
            struct sigaction handler = {};
            handler.sa_handler = removePartsAndEnd;
            sigemptyset(&handler.sa_mask);
            ::sigaction(kEndingSignals[i], &handler, nullptr);
        }
        m_previousSizeLimit = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~SignalGuard()
    {
        for (std::size_t i = 0; i < kEndingSignals.size(); ++i)
            ::sigaction(kEndingSignals[i], &m_previous[i], nullptr);
        std::signal(SIGXFSZ, m_previousSizeLimit);
    }
    SignalGuard(const SignalGuard &) = delete;
    SignalGuard &operator=(const SignalGuard &) = delete;

private:
    std::array<struct sigaction, kEndingSignals.size()> m_previous{};
    void (*m_previousSizeLimit)(int) = nullptr;
};

// Holds back every signal that can be held while it lives, so that none
// lands between the two renames; they arrive when it goes.
class SignalsHeldBack
{
public:
    SignalsHeldBack()
    {
        sigset_t all;
        sigfillset(&all);
        ::sigprocmask(SIG_BLOCK, &all, &m_previous);
    }
    ~SignalsHeldBack() { ::sigprocmask(SIG_SETMASK, &m_previous, nullptr); }
    SignalsHeldBack(const SignalsHeldBack &) = delete;
    SignalsHeldBack &operator=(const SignalsHeldBack &) = delete;

private:
    sigset_t m_previous;
};

// Buffers what is written and hands it to the part file in large pieces.
class BufferedSink final : public PartSink
{
public:
    explicit BufferedSink(int descriptor)
        : m_descriptor(descriptor)
        , m_buffer(std::make_unique<char[]>(kCapacity))
    {
    }

    bool write(std::string_view bytes) override
    {
        if (m_error != 0)
            return false;
        if (m_used + bytes.size() > kCapacity) {
            if (!flush())
                return false;
            if (bytes.size() >= kCapacity)
                return writeOut(bytes.data(), bytes.size());
        }
        std::memcpy(m_buffer.get() + m_used, bytes.data(), bytes.size());
        m_used += bytes.size();
        return true;
    }

    bool flush()
    {
        const std::size_t used = std::exchange(m_used, 0);
        if (m_error != 0 || !writeOut(m_buffer.get(), used))
            return false;
        startWritingBack();
        return true;
    }

    int error() const { return m_error; }

private:
    static constexpr std::size_t kCapacity = std::size_t(1) << 20;
    static constexpr off_t kWriteBackStep = off_t(8) << 20;

    // Has the disk start writing what was written so far, a step at a
    // time, while the rest is made: the sync before the renames then waits
    // for the last step only, not for the whole file. A system that cannot
    // start it early loses nothing but the overlap.
    void startWritingBack()
    {
        const off_t written = ::lseek(m_descriptor, 0, SEEK_CUR);
        if (written < 0 || written - m_writtenBack < kWriteBackStep)
            return;
        ::sync_file_range(m_descriptor, m_writtenBack, written - m_writtenBack, SYNC_FILE_RANGE_WRITE);
        m_writtenBack = written;
    }

    bool writeOut(const char *at, std::size_t left)
    {
        if (const int error = writeWhole(m_descriptor, at, left)) {
            m_error = error;
            return false;
        }
        return true;
    }

    int m_descriptor;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    int m_error = 0;
    off_t m_writtenBack = 0;
};

// One file of the collection to be replaced: where its target lies, what
// is there now, and the part file its new contents are written to.
class Replacement
{
public:
    Replacement(int slot, QString shownPath)
        : m_slot(slot)
        , m_shownPath(std::move(shownPath))
    {
    }
    ~Replacement()
    {
        if (!m_partName.isEmpty() && !m_renamed)
            ::unlinkat(m_folder, m_partName.constData(), 0);
        g_partsToRemove[m_slot] = {};
    }
    Replacement(const Replacement &) = delete;
    Replacement &operator=(const Replacement &) = delete;

    const QString &shownPath() const { return m_shownPath; }

    // Finds the target (through a link), and checks that it may be
    // replaced: a regular file or nothing, in a folder that may be written,
    // there only when that is allowed, not another user's file in a folder
    // with the sticky bit, and a file its user may write.
    std::optional<WriteFailure> find(int collectionFolder, const char *name, bool replace)
    {
        m_folder = collectionFolder;
        m_target = name;
        struct stat status;
        if (::fstatat(collectionFolder, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(status.st_mode)) {
            const QByteArray link = "/proc/self/fd/" + QByteArray::number(collectionFolder) + '/' + name;
            std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(link.constData(), nullptr), &std::free);
            if (!resolved)
                return failure(m_shownPath, systemReason(errno));
            m_target = QByteArray(resolved.get());
            const qsizetype slash = m_target.lastIndexOf('/');
            m_ownFolder = Descriptor(::open(slash == 0 ? "/" : m_target.left(slash).constData(),
                                            O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!m_ownFolder.valid())
                return failure(m_shownPath, systemReason(errno));
            m_folder = m_ownFolder.get();
            m_target = m_target.sliced(slash + 1);
        }
        if (::fstatat(m_folder, m_target.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                return failure(m_shownPath, systemReason(errno));
            if (::faccessat(m_folder, ".", W_OK, AT_EACCESS) != 0)
                return failure(m_shownPath, systemReason(errno));
            return std::nullopt;
        }
        if (!S_ISREG(status.st_mode))
            return failure(m_shownPath, notARegularFileReason());
        if (::faccessat(m_folder, ".", W_OK, AT_EACCESS) != 0)
            return failure(m_shownPath, systemReason(errno));
        if (!replace)
            return exists(m_shownPath);
        m_old = status;
        struct stat folderStatus;
        if (::fstat(m_folder, &folderStatus) == 0 && (folderStatus.st_mode & S_ISVTX) && ::geteuid() != 0 &&
            status.st_uid != ::geteuid() && folderStatus.st_uid != ::geteuid())
            return failure(m_shownPath, QStringLiteral("it belongs to another user, in a folder where only a "
                                                       "file's owner may replace it (the sticky bit)"));
        // A file its user may not write is not theirs to replace, as an
        // editor will not save over a read-only file.
        if (::faccessat(m_folder, m_target.constData(), W_OK, AT_EACCESS) != 0)
            return failure(m_shownPath, systemReason(errno));
        return std::nullopt;
    }

    // Writes the new contents beside the target, with the old file's mode
    // (and owner, where the system allows), and makes sure they are on the
    // disk.
    std::optional<WriteFailure> writePart(const FileContents &contents)
    {
        m_partName = workFileName(".part");
        std::memcpy(g_partsToRemove[m_slot].name, m_partName.constData(), std::size_t(m_partName.size()) + 1);
        g_partsToRemove[m_slot].folder = m_folder;
        m_part = Descriptor(
            ::openat(m_folder, m_partName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        const Descriptor &part = m_part;
        if (!part.valid())
            return failure(m_shownPath, systemReason(errno));
        if (m_old) {
            // An owner change clears the set-user-ID bits, so it comes first.
            [[maybe_unused]] const int owned = ::fchown(part.get(), m_old->st_uid, m_old->st_gid);
            if (::fchmod(part.get(), m_old->st_mode & 07777) != 0)
                return failure(m_shownPath, systemReason(errno));
        }
        BufferedSink sink(part.get());
        const std::optional<QString> notMade = contents(sink);
        if (sink.error() == 0 && notMade)
            return failure(m_shownPath, *notMade);
        if (!sink.flush())
            return failure(m_shownPath, systemReason(sink.error()));
        struct stat written;
        if (::fstat(part.get(), &written) != 0)
            return failure(m_shownPath, systemReason(errno));
        m_written = identityOf(written);
        return std::nullopt;
    }

    // Makes sure the new contents are on the disk. Called once every part
    // is written, so that the disk writes one file while the next is made.
    std::optional<WriteFailure> syncPart()
    {
        if (::fsync(m_part.get()) != 0)
            return failure(m_shownPath, systemReason(errno));
        m_part = Descriptor();
        return std::nullopt;
    }

    // Keeps the old file under a second name until the write is done.
    std::optional<WriteFailure> keepOld()
    {
        if (!m_old)
            return std::nullopt;
        m_backupName = workFileName(".old");
        if (::linkat(m_folder, m_target.constData(), m_folder, m_backupName.constData(), 0) != 0) {
            m_backupName.clear();
            return failure(m_shownPath, systemReason(errno));
        }
        return std::nullopt;
    }

    JournalEntry journalEntry(int collectionFolder) const
    {
        if (m_folder == collectionFolder)
            return {m_target, m_backupName, m_written};
        // A link's target lies elsewhere: the journal names it in full.
        const QByteArray folder = ownFolderPath();
        return {folder + '/' + m_target, m_backupName.isEmpty() ? QByteArray() : folder + '/' + m_backupName,
                m_written};
    }

    std::optional<WriteFailure> renameIntoPlace(bool replace)
    {
        if (!renameKeepingOthers(replace)) {
            return errno == EEXIST ? exists(m_shownPath) : failure(m_shownPath, systemReason(errno));
        }
        m_renamed = true;
        g_partsToRemove[m_slot] = {};
        return std::nullopt;
    }

    // Puts the old file back after a later rename failed; false when it
    // could not be.
    bool undo()
    {
        if (!m_renamed)
            return true;
        if (m_old) {
            if (::renameat(m_folder, m_backupName.constData(), m_folder, m_target.constData()) != 0)
                return false;
            m_backupName.clear();
            return true;
        }
        return ::unlinkat(m_folder, m_target.constData(), 0) == 0;
    }

    void dropBackup()
    {
        if (!m_backupName.isEmpty())
            ::unlinkat(m_folder, m_backupName.constData(), 0);
    }

    int folder() const { return m_folder; }

private:
    // "PREFIX.authors.txt.PID.part": short enough for the signal handler's
    // room whatever a link's target is called.
    QByteArray workFileName(const char *suffix) const
    {
        return QByteArray(kWorkFilePrefix) + m_target.left(24) + '.' + QByteArray::number(::getpid()) + suffix;
    }

    bool renameKeepingOthers(bool replace)
    {
        const unsigned int flags = replace ? 0 : RENAME_NOREPLACE;
        if (::renameat2(m_folder, m_partName.constData(), m_folder, m_target.constData(), flags) == 0)
            return true;
        if (errno != EINVAL || replace)
            return false;
        // A file system without a rename that refuses to replace: a link
        // refuses it too, as one step.
        if (::linkat(m_folder, m_partName.constData(), m_folder, m_target.constData(), 0) != 0)
            return false;
        ::unlinkat(m_folder, m_partName.constData(), 0);
        return true;
    }

    QByteArray ownFolderPath() const
    {
        const QByteArray link = "/proc/self/fd/" + QByteArray::number(m_folder);
        QByteArray buffer(4096, Qt::Uninitialized);
        const ssize_t length = ::readlink(link.constData(), buffer.data(), std::size_t(buffer.size()));
        return length > 0 ? buffer.left(length) : QByteArray();
    }

    int m_slot;
    QString m_shownPath;
    int m_folder = -1;
    Descriptor m_ownFolder;
    Descriptor m_part; // open from its writing to its sync
    QByteArray m_target;
    QByteArray m_partName;
    QByteArray m_backupName;
    std::optional<struct stat> m_old;
    Identity m_written;
    bool m_renamed = false;
};

// Writes the journal under a part name and links it into place, so that
// a journal that exists is whole. (A link rather than a rename, so that
// the only renames are those of the data files.)
std::optional<QByteArray> writeJournal(int folder, const QByteArray &text)
{
    const QByteArray name = QByteArray(kWorkFilePrefix) + QByteArray::number(::getpid()) + ".journal";
    const QByteArray part = name + ".part";
    const Descriptor file(::openat(folder, part.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!file.valid())
        return std::nullopt;
    const bool written = ::write(file.get(), text.constData(), std::size_t(text.size())) == text.size() &&
                         ::fsync(file.get()) == 0;
    const bool linked = written && ::linkat(folder, part.constData(), folder, name.constData(), 0) == 0;
    const int error = errno;
    ::unlinkat(folder, part.constData(), 0);
    errno = error;
    if (!linked)
        return std::nullopt;
    return name;
}

} // namespace

std::optional<WriteFailure> writeCollection(const QString &folderName, const CollectionWrite &write)
{
    const Descriptor folder = openOrMakeFolder(fileNameBytes(folderName));
    if (!folder.valid())
        return failure(folderName, systemReason(errno));
    while (::flock(folder.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return failure(folderName, systemReason(errno));
    }
    // The lock goes with the descriptor, when this returns.
    repairAfterDeadWriters(folder.get());

    Replacement authors(0, folderName + QStringLiteral("/authors.txt"));
    Replacement subjects(1, folderName + QStringLiteral("/subjects.txt"));
    struct Planned
    {
        Replacement *file;
        const char *name;
        const FileContents *contents;
    };
    QList<Planned> planned;
    if (write.authors)
        planned.append({&authors, "authors.txt", &write.authors});
    if (write.subjects)
        planned.append({&subjects, "subjects.txt", &write.subjects});
    for (const Planned &file : planned) {
        if (auto failed = file.file->find(folder.get(), file.name, write.replace))
            return failed;
    }

    const SignalGuard guard;
    for (const Planned &file : planned) {
        if (auto failed = file.file->writePart(*file.contents))
            return failed;
    }
    for (const Planned &file : planned) {
        if (auto failed = file.file->syncPart())
            return failed;
    }

    const SignalsHeldBack heldBack;
    for (const Planned &file : planned) {
        if (auto failed = file.file->keepOld()) {
            for (const Planned &kept : planned)
                kept.file->dropBackup();
            return failed;
        }
    }
    QList<JournalEntry> entries;
    for (const Planned &file : planned)
        entries.append(file.file->journalEntry(folder.get()));
    const std::optional<QByteArray> journal = writeJournal(folder.get(), journalText(entries));
    const auto dropBackups = [&planned] {
        for (const Planned &file : planned)
            file.file->dropBackup();
    };
    if (!journal) {
        dropBackups();
        return failure(folderName, systemReason(errno));
    }
    for (const Planned &file : planned)
        syncFolder(file.file->folder());

    for (qsizetype i = 0; i < planned.size(); ++i) {
        if (auto failed = planned[i].file->renameIntoPlace(write.replace)) {
            bool undone = true;
            for (qsizetype done = i - 1; done >= 0; --done)
                undone = planned[done].file->undo() && undone;
            // Should a file not go back, the journal stays, and the next
            // write into the folder puts it back.
            if (undone) {
                dropBackups();
                ::unlinkat(folder.get(), journal->constData(), 0);
            }
            return failed;
        }
    }
    for (const Planned &file : planned)
        syncFolder(file.file->folder());
    // The journal's removal is what makes the new files the collection.
    ::unlinkat(folder.get(), journal->constData(), 0);
    syncFolder(folder.get());
    dropBackups();
    return std::nullopt;
}

} // namespace sayvane
