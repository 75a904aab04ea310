#pragma once
// The operator manager: lists every operator that is not an administrator and
// adds, changes and deletes them.
#include "ManagerForm.h"

struct Session;

class frmuser : public ManagerForm {
    Q_OBJECT
public:
    explicit frmuser(const Session& session, QWidget* parent = nullptr);

    void Form_Load();
    void ShowMSFLG() override;

private:
    void addRecord() override;
    void deleteRecord() override;
    void editRecord() override;
private:
    const Session& m_session;
};
