#pragma once
// "升级SQL Server数据": the move of the installation's files onto a server, once the window is
// painted, on a thread of its own with its own connection to the files' system database: the table
// being copied and the bytes sent so far, 取消 (or Escape) until the server's commit.
#include <ConnInfo.h>
#include <Migration.h>
#include <WorkWindow.h>

struct Session;

class frmMigrate : public WorkWindow {
    Q_OBJECT
public:
    frmMigrate(const Session& session, const ConnInfo& server, QWidget* parent = nullptr);

    const MigrationOutcome& outcome() const { return m_outcome; }

protected:
    QThread* startWork(const WorkControl& control) override;

private:
    const Session& m_session;
    const ConnInfo m_server;
    MigrationOutcome m_outcome;
};
