#include "ConfigDialogs.h"

#include <Database.h>
#include <ShowModal.h>
#include <frmDate.h>
#include <frmGradeDef.h>
#include <frmMenology.h>
#include <frmSysStart.h>
#include <frmkmbrowser.h>

#include <QCoreApplication>
#include <QLineEdit>

namespace ConfigDialogs {
void codingScheme(const Session& session, const QString& accId, Database& accDb, int year, bool presetChart, const Classes& classes, QWidget* parent)
{
    frmGradeDef dlg(session, parent);
    dlg.AccDb = &accDb;
    dlg.AccId = accId;
    dlg.Year = year;
    dlg.bPreset = presetChart;
    dlg.bGoodClass = classes.goodClass;
    dlg.bCustClass = classes.custClass;
    dlg.bProvClass = classes.provClass;
    if (dlg.Form_Load())
        ShowModal(dlg);
}

void precision(const Session& session, const QString& accId, Database& accDb, int year, bool modifying, QWidget* parent)
{
    frmDate dlg(session, parent);
    dlg.AccDb = &accDb;
    dlg.AccId = accId;
    dlg.Year = year;
    dlg.Modifying = modifying;
    dlg.Form_Load();
    ShowModal(dlg);
}

void subsystemEnabling(const Session& session, const QString& accId, const QString& accDbPath, QWidget* parent)
{
    frmSysStart dlg(session, accId, parent);
    dlg.accDbPath = accDbPath;
    dlg.Form_Load();
    ShowModal(dlg);
}

bool calendar(QString& year, QString& month, QWidget* parent)
{
    frmMenology dlg(parent);
    dlg.setYearMonth(year, month);
    dlg.Form_Load();
    if (ShowModal(dlg) != QDialog::Accepted)
        return false;
    year = dlg.txtYear->text();
    month = dlg.txtMonth->text();
    return true;
}

void chartPreview(const Session& session, int tradeId, const QString& tradeName, QWidget* parent)
{
    frmkmbrowser dlg(session, parent);
    dlg.setWindowTitle(QCoreApplication::translate("ConfigDialogs", "会计科目浏览--") + tradeName);
    dlg.TradeId = qint16(tradeId);
    if (dlg.Form_Load())
        ShowModal(dlg);
}
}
