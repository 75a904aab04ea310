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

#include <functional>

struct ScriptedConsole {
    frmMain main;
    MsgBoxScript msgs;
    ModalScript modals;
    int ended = -1;   // the code the program was ended with, -1 while it runs

    // Loaded as the program starts it, unless told not to.
    explicit ScriptedConsole(TestEnv& env, bool load = true)
        : main(env.session)
    {
        Module1::setEndProgramHandler([this](int code) { ended = code; });
        if (load && !main.Form_Load())
            QTest::qFail("the console did not load", __FILE__, __LINE__);
    }
    ~ScriptedConsole() { Module1::setEndProgramHandler({}); }

    // Opens the login form from the console and lets `fill` act on it as the person would.
    void login(const std::function<void(frmLogin&)>& fill)
    {
        modals.on(QStringLiteral("frmLogin"), [fill](QDialog& d) {
            fill(static_cast<frmLogin&>(d));
            return d.result();
        });
        main.mnuSysReg_Click();
    }

    void login(const QString& user)
    {
        login([user](frmLogin& f) {
            choose(f, user);
            f.cmdOK->click();
        });
    }

    // The operator typed and the box left, as a person picks one.
    static void choose(frmLogin& f, const QString& user)
    {
        f.TxtUser->setText(user);
        f.TxtUser_LostFocus();
    }
};
