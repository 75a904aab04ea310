#pragma once
// The console as the form tests drive it: loaded as the program starts it, its messages and
// dialogs scripted, logged in through the login form as a person would (the operator typed, no
// password, 登录).
#include "Scripts.h"
#include "TestEnv.h"

#include <Module1.h>
#include <frmLogin.h>
#include <frmMain.h>

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

struct ScriptedConsole {
    frmMain main;
    MsgBoxScript msgs;
    ModalScript modals;

    explicit ScriptedConsole(TestEnv& env)
        : main(env.session)
    {
        Module1::setEndProgramHandler([](int) {});
        if (!main.Form_Load())
            QTest::qFail("the console did not load", __FILE__, __LINE__);
    }
    ~ScriptedConsole() { Module1::setEndProgramHandler({}); }

    void login(const QString& user)
    {
        modals.on(QStringLiteral("frmLogin"), [user](QDialog& d) {
            auto& f = static_cast<frmLogin&>(d);
            f.TxtUser->setText(user);
            f.TxtUser_LostFocus();
            f.cmdOK->click();
            return d.result();
        });
        main.mnuSysReg_Click();
    }
};
