#include "frmWait.h"
#include "AccountExporter.h"
#include <OffThread.h>
#include "frmAccExport.h"

#include <Module1.h>
#include <Session.h>
#include <ShowModal.h>

#include <QProgressBar>

#include <optional>

using namespace Module1;

frmWait::frmWait(const Session& session, const QString& accId, QWidget* parent, int year)
    : TimedProgressDialog(parent, QStringLiteral("frmWait"), tr("压缩进程"), 2000)
    , m_session(session)
    , m_accId(accId)
    , m_year(year)
{
    setWindowTitle(tr("压缩进程，请等待..."));
}

void frmWait::Form_Load()
{
    ProgressBar1->setValue(20);
}

void frmWait::Timer1_Timer()
{
    Timer1.stop();
    bool prepared = false;
    std::optional<AccountExporter> exporter;
    if (m_session.sysDb) {
        try {
            exporter.emplace(*m_session.sysDb, m_accId, m_year);
            WorkControl control;
            control.progress = progressTo(ProgressBar1);
            prepared = runOffThread([&] { return exporter->prepare(control); });
        } catch (const DbError& e) {
            WriteErrLog(3, e.text(), QStringLiteral("Timer1_Timer"));
        }
    }
    frmAccExport target(m_session, m_accId, exporter ? &*exporter : nullptr, !prepared, this);
    target.Form_Load();
    ShowModal(target);
    accept();
}
