#pragma once
// The form tests' fixture: a fresh installation root (TestRoot) and the shared state of a
// program that has just started.
#include <TestRoot.h>

class TestEnv : public TestRoot {
public:
    // Resets the shared state and sets the root; creates the system database unless told not to.
    explicit TestEnv(bool withSystemDb = true);
    ~TestEnv() override;

    // Opens the kept handle as the login would.
    void openSysDb();
    // Logs in without the form: shared state of an administrator or a supervisor.
    void loginAdmin();
    void loginSupervisor(const QString& userId, const QString& accId, const QString& accName, const QString& year);
};
