#pragma once
// The lock that lets one copy of Zandrel run per user, and the places it may
// live in. The system lets the lock go when its holder ends, however it
// ends: a file left behind, empty, unreadable or whole, keeps no start out,
// and only a running copy does. Nothing else that stands where the lock
// belongs (a folder, a link, another user's file or mutex) is opened,
// replaced or removed; the lock then lives in the next place.
//
// On Unix the lock is a file locked with flock, in a private folder; on
// Windows it is a named mutex, which needs no folder at all.

#include <QList>
#include <QString>

namespace zandrel {

// A place the lock may live in: a folder, or on Windows a mutex's name.
struct InstanceFolder {
    QString path;
    bool withParents = false;  // the folders above it are made too when missing
};

// The places the lock may live in, first choice first. On Unix the folders
// for the lock and the socket: the session's runtime folder
// (XDG_RUNTIME_DIR), the one Qt and the desktop's libraries use without it
// (runtime-<user> in the temporary folder), and "zandrel-runtime" in the
// user's cache folder. On Windows the mutex "Zandrel" in the session's
// namespace, which an installer looks for too, then one named after the
// user, for a session where "Zandrel" is another user's.
QList<InstanceFolder> instanceFolders(const QString &temporaryFolder);

// Makes sure `folder` is one where nobody but this user can make a name
// first: a missing one is made, mode 0700. Throws Failure, naming the folder
// and saying what is in the way, when it is not.
void makePrivateFolder(const InstanceFolder &folder);

// The lock's own name in a place: zandrel.lock in the folder, or the mutex's name.
QString lockPathIn(const QString &place);

#ifdef Q_OS_WIN
// The user a process runs as, as the text of their security identifier;
// empty when the system will not say (a process of another user usually
// cannot even be asked).
QString processUser(unsigned long processId);
#endif

class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock() { release(); }
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    // Takes the lock at `path`, or false when another process holds it.
    // Throws Failure, naming the path and saying what, when something other
    // than a lock file of this user's stands there, or the system refuses.
    bool take(const QString &path);
    // Whether some process holds the lock at `path`; nothing there, or
    // nothing this user may open, holds nothing.
    static bool isHeld(const QString &path);
    // Lets the lock go and removes its file, if this still holds it.
    void release();

private:
    QString m_path;
#ifdef Q_OS_WIN
    void *m_handle = nullptr;  // the mutex, owned
#else
    int m_descriptor = -1;  // the open file, locked with flock
#endif
};

}  // namespace zandrel
