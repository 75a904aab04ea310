#pragma once
// A function held on a set and year for as long as a piece of work runs: claimed when made,
// released when it goes (the work's window closes, an exception leaves). Without a registry (a
// program that registered no task) it holds nothing and refuses nothing.
#include "TaskRegistry.h"

class HeldClaim {
public:
    HeldClaim(TaskRegistry* registry, const QString& accId, int year, Tasks::Function f)
        : m_registry(registry)
    {
        if (m_registry)
            m_claim = m_registry->claim(accId, year, f);
    }
    ~HeldClaim()
    {
        if (m_registry && m_claim.granted())
            m_registry->release(m_claim.token);
    }
    HeldClaim(const HeldClaim&) = delete;
    HeldClaim& operator=(const HeldClaim&) = delete;

    bool granted() const { return !m_registry || m_claim.granted(); }
    // Why not: names the workstation, operator and work in the way.
    const Words& refusal() const { return m_claim.refusal; }

private:
    TaskRegistry* m_registry;
    Claim m_claim;
};
