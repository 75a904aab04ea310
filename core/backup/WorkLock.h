#pragma once
// The lock beside a file installation's system database that a deletion and an import hold for as
// long as they change the installation's files, and that recovery only tries: what another program
// (a console, a timer's revozi-backup) is doing at this moment is never taken for what a crash left.
// An advisory lock of the file system (flock), so it goes with the process that held it.
class Database;

class WorkLock {
public:
    enum class Mode { Wait, Try };
    // A server installation has no such files: the lock is then held at once and holds nothing.
    WorkLock(const Database& sysDb, Mode mode);
    ~WorkLock();
    WorkLock(const WorkLock&) = delete;
    WorkLock& operator=(const WorkLock&) = delete;

    // False when Try found another program working (or the lock file could not be made).
    bool held() const { return m_held; }

private:
    int m_fd = -1;
    bool m_held = false;
};
