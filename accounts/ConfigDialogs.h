#pragma once
// The configuration dialogs that the wizard and account-set creation open, in one place:
// each opener hands a dialog its inputs, shows it through ShowModal and reads its answer here.
#include <QString>

class Database;
struct Session;
class QWidget;

namespace ConfigDialogs {
// The wizard's classification boxes, which the coding scheme shows as "是否分类".
struct Classes {
    bool goodClass = false;
    bool custClass = false;
    bool provClass = false;
};

// The coding scheme (frmGradeDef) on an open account database of the set `accId` and `year`; `presetChart` says
// whether the chart of accounts is preset by industry.
void codingScheme(const Session& session, const QString& accId, Database& accDb, int year, bool presetChart, const Classes& classes, QWidget* parent = nullptr);
// The data precision (frmDate) on an open account database of `year`: the defaults for a set being
// created, the stored values for one being modified.
void precision(const Session& session, const QString& accId, Database& accDb, int year, bool modifying, QWidget* parent = nullptr);
// Subsystem enabling (frmSysStart) for the account set `accId`, whose account database (for the
// ledger's start date) is `accDbPath`.
void subsystemEnabling(const Session& session, const QString& accId, const QString& accDbPath, QWidget* parent = nullptr);
// The accounting calendar (frmMenology) seeded with a start year and month; on confirmation the
// chosen year and month are written back and true is returned.
bool calendar(QString& year, QString& month, QWidget* parent = nullptr);
// The chart-of-accounts preview (frmkmbrowser) of one industry.
void chartPreview(const Session& session, int tradeId, const QString& tradeName, QWidget* parent = nullptr);
}
