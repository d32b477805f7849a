// SPDX-License-Identifier: GPL-3.0-or-later
#include "inisettingsstore.h"

#include "platform/configfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

const QLatin1String applicationName("Tackpad");

class FdCloser final {
public:
    explicit FdCloser(int fd)
        : m_fd(fd)
    {
    }
    ~FdCloser()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Makes a new name in a folder durable; a crash before the journal's next commit would lose it.
void syncFolder(const QByteArray& path)
{
    const int fd
        = ::open(path.isEmpty() ? "/" : path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Creates each missing folder of the path private to the user, as the XDG rules ask.
int makeFolders(const QByteArray& path)
{
    for (qsizetype i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/')
            continue;
        const QByteArray prefix = path.first(i);
        if (::mkdir(prefix.constData(), 0700) == 0)
            syncFolder(prefix.first(qMax<qsizetype>(prefix.lastIndexOf('/'), 0)));
        else if (errno != EEXIST)
            return errno;
    }
    return 0;
}

int openFolder(const QByteArray& path)
{
    int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        if (const int error = makeFolders(path)) {
            errno = error;
            return -1;
        }
        fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    return fd;
}

bool writeAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

template <typename Stamp> Stamp stampOf(const struct stat& st)
{
    Stamp stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modifiedSeconds = st.st_mtim.tv_sec;
    stamp.modifiedNanoseconds = st.st_mtim.tv_nsec;
    stamp.changedSeconds = st.st_ctim.tv_sec;
    stamp.changedNanoseconds = st.st_ctim.tv_nsec;
    return stamp;
}

// Temporary files of writers that were killed; only called with the folder locked, when no
// other writer can be busy with one.
void removeStaleTemporaries(int folderFd, const QByteArray& prefix)
{
    const int fd = ::dup(folderFd);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.constData(), size_t(prefix.size())) == 0)
            ::unlinkat(folderFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace

IniSettingsStore::IniSettingsStore(QString filePath)
    : m_filePath(QFileInfo(filePath).absoluteFilePath())
{
    const QByteArray native = QFile::encodeName(m_filePath);
    const qsizetype slash = native.lastIndexOf('/');
    m_folder = slash > 0 ? native.first(slash) : QByteArray("/");
    m_fileName = native.sliced(slash + 1);
    m_nativePath = native;
}

IniSettingsStore::~IniSettingsStore()
{
    if (m_heldFd >= 0)
        ::close(m_heldFd);
}

QString IniSettingsStore::filePath() const { return m_filePath; }

QString IniSettingsStore::defaultFilePath()
{
    return QDir::cleanPath(
        userConfigFolder() + u'/' + applicationName + u'/' + applicationName + ".ini");
}

QString IniSettingsStore::errorString() const { return m_error; }

QString IniSettingsStore::ReadSetting(const QString& section, const QString& key)
{
    refresh(-1);
    const QString* value = m_document.find(section, key);
    return value ? *value : QString();
}

bool IniSettingsStore::WriteSetting(
    const QString& section, const QString& key, const QString& value)
{
    return change(Change { section, key, value });
}

bool IniSettingsStore::RemoveSetting(const QString& section, const QString& key)
{
    return change(Change { section, key, std::nullopt });
}

bool IniSettingsStore::retrySave() { return m_unsaved.isEmpty() || save(); }

QList<QPair<QString, QString>> IniSettingsStore::unsavedEntries() const
{
    QList<QPair<QString, QString>> out;
    for (const Change& c : m_unsaved) {
        if (!out.contains(qMakePair(c.section, c.key)))
            out.append({ c.section, c.key });
    }
    return out;
}

bool IniSettingsStore::apply(const Change& change)
{
    return change.value ? m_document.setValue(change.section, change.key, *change.value)
                        : m_document.remove(change.section, change.key);
}

bool IniSettingsStore::change(Change change)
{
    // Kept until it is on disk, so that a failed save loses nothing and a re-read of the file
    // written meanwhile by another copy can have it applied on top.
    m_dirty = apply(change) || m_dirty;
    bool replaced = false;
    for (Change& unsaved : m_unsaved) {
        if (unsaved.section == change.section && unsaved.key == change.key) {
            unsaved.value = std::move(change.value);
            replaced = true;
            break;
        }
    }
    if (!replaced)
        m_unsaved.append(std::move(change));
    return save();
}

void IniSettingsStore::refresh(int folderFd)
{
    struct stat st;
    const int result = folderFd >= 0 ? ::fstatat(folderFd, m_fileName.constData(), &st, 0)
                                     : ::stat(m_nativePath.constData(), &st);
    const int error = result == 0 ? 0 : errno;
    if (m_loaded) {
        const Stamp now = result == 0 ? stampOf<Stamp>(st) : Stamp {};
        if (now == m_stamp && (result == 0 || error == ENOENT) == (m_readError == 0))
            return;
    }
    load(folderFd, result, error);
}

void IniSettingsStore::load(int folderFd, int statResult, int statErrno)
{
    m_loaded = true;
    m_readError = 0;
    m_stamp = Stamp {};
    m_document = IniFormat::Document();
    if (m_heldFd >= 0) {
        ::close(m_heldFd);
        m_heldFd = -1;
    }

    if (statResult != 0) {
        if (statErrno != ENOENT)
            m_readError = statErrno;
    } else {
        // A symbolic link put in place of the file is read through; the next write replaces it.
        const int fd = folderFd >= 0
            ? ::openat(folderFd, m_fileName.constData(), O_RDONLY | O_CLOEXEC)
            : ::open(m_nativePath.constData(), O_RDONLY | O_CLOEXEC);
        struct stat st;
        if (fd < 0) {
            m_readError = errno == ENOENT ? 0 : errno;
        } else if (::fstat(fd, &st) != 0) {
            m_readError = errno;
            ::close(fd);
        } else if (!S_ISREG(st.st_mode)) {
            m_readError = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            m_stamp = stampOf<Stamp>(st);
            ::close(fd);
        } else {
            QByteArray data;
            data.reserve(st.st_size + 1);
            char chunk[65536];
            for (;;) {
                const ssize_t n = ::read(fd, chunk, sizeof chunk);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0)
                    m_readError = errno;
                if (n <= 0)
                    break;
                data.append(chunk, n);
            }
            m_stamp = stampOf<Stamp>(st);
            m_heldFd = fd;
            if (m_readError == 0)
                m_document = IniFormat::parse(data);
        }
    }

    m_dirty = false;
    for (const Change& change : std::as_const(m_unsaved))
        m_dirty = apply(change) || m_dirty;
}

bool IniSettingsStore::fail(const QString& what, int error)
{
    m_error = QStringLiteral("%1 %2: %3").arg(what, m_filePath, qt_error_string(error));
    return false;
}

bool IniSettingsStore::save()
{
    const QString cannotSave = QStringLiteral("Could not save the settings to");
    const FdCloser folder(openFolder(m_folder));
    if (folder.get() < 0)
        return fail(cannotSave, errno);
    // Serialises writers of all running copies; released when the folder is closed.
    // Without the lock another copy could write over this change unseen: fail and try later.
    for (;;) {
        if (::flock(folder.get(), LOCK_EX) == 0)
            break;
        if (errno != EINTR)
            return fail(QStringLiteral("Could not lock the settings in"), errno);
    }

    refresh(folder.get());
    if (m_readError != 0) {
        // Replacing a file we could not read would lose what it holds.
        return fail(QStringLiteral("Could not read the settings in"), m_readError);
    }
    if (!m_dirty) {
        m_unsaved.clear();
        m_error.clear();
        return true;
    }

    if (!m_firstWriteDone) {
        struct stat st;
        if (::fstat(folder.get(), &st) == 0 && (st.st_mode & 077) && st.st_uid == ::geteuid()
            && !(st.st_mode & S_ISVTX))
            ::fchmod(folder.get(), 0700);
        removeStaleTemporaries(folder.get(), m_fileName + ".tmp-");
    }

    m_buffer.resize(0);
    m_document.serializeTo(m_buffer);

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = m_fileName + ".tmp-"
            + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        fd = ::openat(folder.get(), temporary.constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return fail(cannotSave, errno);

    // A replaced file's new name is made durable by the journal within seconds, and until then
    // the old one stays whole; a file that did not exist yet would be missing altogether.
    const bool creating = !m_stamp.exists;
    struct stat st;
    bool ok = writeAll(fd, m_buffer.constData(), m_buffer.size()) && ::fstat(fd, &st) == 0
        && ((st.st_mode & 07777) == 0600 || ::fchmod(fd, 0600) == 0) && ::fdatasync(fd) == 0
        && ::renameat(folder.get(), temporary.constData(), folder.get(), m_fileName.constData())
            == 0;
    if (!ok) {
        const int error = errno;
        ::unlinkat(folder.get(), temporary.constData(), 0);
        ::close(fd);
        return fail(cannotSave, error);
    }

    if (creating)
        ::fsync(folder.get());
    // The rename changed the inode's ctime; take the stamp the next check will see.
    if (::fstat(fd, &st) == 0)
        m_stamp = stampOf<Stamp>(st);
    else
        m_stamp = Stamp {};
    if (m_heldFd >= 0)
        ::close(m_heldFd);
    m_heldFd = fd;
    m_firstWriteDone = true;
    m_dirty = false;
    m_unsaved.clear();
    m_error.clear();
    return true;
}
