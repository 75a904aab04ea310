#pragma once
// The role manager: lists the roles and adds, changes and deletes them.
#include "ManagerForm.h"

struct Session;

class frmrole : public ManagerForm {
    Q_OBJECT
public:
    explicit frmrole(const Session& session, QWidget* parent = nullptr);

    void Form_Load();
    void ShowMSFLG() override;

private:
    void addRecord() override;
    void deleteRecord() override;
    void editRecord() override;
private:
    const Session& m_session;
};
