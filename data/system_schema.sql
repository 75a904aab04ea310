-- System database (DeZaduzi/DeZaduzi.mdb): the tables shipped with a new installation.
-- CreateAcc is not here: the console creates it on first use.
-- Declared types are TEXT, INTEGER and REAL only; every text column compares without
-- regard to letter case; dates are texts 'YYYY-MM-DD'; yes/no columns hold 0 or 1.

-- Operators.
CREATE TABLE SM_User (
    cUser_Id    TEXT COLLATE NOCASE NOT NULL,
    cUser_Name  TEXT COLLATE NOCASE,
    cPassword   TEXT COLLATE NOCASE,
    iAdmin      INTEGER,
    cDept       TEXT COLLATE NOCASE,
    nState      INTEGER,
    cTkAccount  TEXT COLLATE NOCASE,
    PRIMARY KEY (cUser_Id)
);

-- Wrong passwords per operator since the last right one, and until when 登录 refuses it
-- (milliseconds since 1970, UTC). Installations made before it get it when first opened.
CREATE TABLE SM_LoginFail (
    cUser_Id      TEXT COLLATE NOCASE NOT NULL,
    iFailures     INTEGER NOT NULL,
    iLockedUntil  INTEGER,
    PRIMARY KEY (cUser_Id)
);

-- Roles.
CREATE TABLE SM_Group (
    cGroup_Id    TEXT COLLATE NOCASE NOT NULL,
    cGroup_Name  TEXT COLLATE NOCASE,
    cMemo        TEXT COLLATE NOCASE,
    cTradeKinds  TEXT COLLATE NOCASE,
    cTrade_Kinds TEXT COLLATE NOCASE,
    PRIMARY KEY (cGroup_Id)
);

-- Role membership: one row per role and operator.
CREATE TABLE SM_Role (
    cGroup_Id  TEXT COLLATE NOCASE NOT NULL,
    cUser_Id   TEXT COLLATE NOCASE NOT NULL,
    PRIMARY KEY (cGroup_Id, cUser_Id)
);

-- Permissions held by an operator or a role in an account set and year.
CREATE TABLE SM_HoldAuth (
    cAcc_Id   TEXT COLLATE NOCASE NOT NULL,
    iYear     INTEGER NOT NULL,
    cUser_Id  TEXT COLLATE NOCASE NOT NULL,
    cAuth_Id  TEXT COLLATE NOCASE NOT NULL,
    PRIMARY KEY (cAcc_Id, iYear, cUser_Id, cAuth_Id)
);

-- Permission catalogue.
CREATE TABLE SM_Auth (
    cAuth_Id     TEXT COLLATE NOCASE NOT NULL,
    cAuth_Name   TEXT COLLATE NOCASE,
    cSub_Id      TEXT COLLATE NOCASE,
    iGrade       INTEGER,
    cSupAuth_Id  TEXT COLLATE NOCASE,
    cAcc_Id      TEXT COLLATE NOCASE,
    PRIMARY KEY (cAuth_Id)
);

-- Subsystem catalogue.
CREATE TABLE SM_SubSys (
    cSub_Id    TEXT COLLATE NOCASE NOT NULL,
    cSub_Name  TEXT COLLATE NOCASE,
    nType      INTEGER,
    IsVisible  INTEGER,
    PRIMARY KEY (cSub_Id)
);

-- Account sets, one row per set and fiscal year.
CREATE TABLE SM_Account (
    iSysID       INTEGER,
    cAcc_Id      TEXT COLLATE NOCASE NOT NULL,
    cAcc_Name    TEXT COLLATE NOCASE,
    cAcc_Path    TEXT COLLATE NOCASE,
    iYear        INTEGER NOT NULL,
    iMonth       INTEGER,
    cAcc_Master  TEXT COLLATE NOCASE,
    cCurCode     TEXT COLLATE NOCASE,
    cCurName     TEXT COLLATE NOCASE,
    cUnitName    TEXT COLLATE NOCASE,
    cUnitAbbre   TEXT COLLATE NOCASE,
    cUnitAddr    TEXT COLLATE NOCASE,
    cUnitZap     TEXT COLLATE NOCASE,
    cUnitTel     TEXT COLLATE NOCASE,
    cUnitFax     TEXT COLLATE NOCASE,
    cUnitEMail   TEXT COLLATE NOCASE,
    cUnitTaxNo   TEXT COLLATE NOCASE,
    cUnitLP      TEXT COLLATE NOCASE,
    cFinKind     TEXT COLLATE NOCASE,
    cFinType     TEXT COLLATE NOCASE,
    cEntType     TEXT COLLATE NOCASE,
    cTradeKind   TEXT COLLATE NOCASE,
    PRIMARY KEY (cAcc_Id, iYear)
);

-- Accounting periods of a set and year.
CREATE TABLE SM_Period (
    cAcc_Id  TEXT COLLATE NOCASE NOT NULL,
    iYear    INTEGER NOT NULL,
    iId      INTEGER NOT NULL,
    dBegin   TEXT COLLATE NOCASE,
    dEnd     TEXT COLLATE NOCASE,
    PRIMARY KEY (cAcc_Id, iYear, iId)
);

-- Enabled subsystems of a set: one row for the start year and one for the year 9999.
CREATE TABLE SM_Account_sub (
    cAcc_Id      TEXT COLLATE NOCASE NOT NULL,
    iYear        INTEGER NOT NULL,
    cSub_Id      TEXT COLLATE NOCASE NOT NULL,
    iModiPeri    INTEGER,
    dSubSysUsed  TEXT COLLATE NOCASE,
    PRIMARY KEY (cAcc_Id, iYear, cSub_Id)
);

-- Work log of the suite's modules; the system management's own rows (cSub_Id 'AA') are its audit
-- log: who (cUser_Id, cOsUser, cStation), when, what (cAction, cContent), how it ended (cResult,
-- cReason), each row's hash chained to the previous row of its key (cPrevHash, cHash). A row that
-- came with an imported backup set is marked (cOrigin 'IMPORT'): the set's history, outside the chain.
CREATE TABLE SM_Log (
    iLog_Id     INTEGER,
    cAcc_Id     TEXT COLLATE NOCASE,
    iYear       INTEGER,
    cSub_Id     TEXT COLLATE NOCASE,
    cUser_Id    TEXT COLLATE NOCASE,
    cStation    TEXT COLLATE NOCASE,
    dDate       TEXT COLLATE NOCASE,
    cTime       TEXT COLLATE NOCASE,
    cContent    TEXT COLLATE NOCASE,
    cOsUser     TEXT COLLATE NOCASE,
    cAction     TEXT COLLATE NOCASE,
    cResult     TEXT COLLATE NOCASE,
    cReason     TEXT COLLATE NOCASE,
    cPrevHash   TEXT COLLATE NOCASE,
    cHash       TEXT COLLATE NOCASE,
    cOrigin     TEXT COLLATE NOCASE
);
CREATE INDEX SM_Log_Key ON SM_Log (cAcc_Id, cHash);
CREATE INDEX SM_Log_Time ON SM_Log (dDate, cTime);
CREATE INDEX SM_Log_User ON SM_Log (cUser_Id);

-- Each key's head of SM_Log: the last hash written, the number of the key's rows and the last
-- row's id, so removed last rows are found too, also when the hash was made to match.
CREATE TABLE SM_LogHead (
    cAcc_Id     TEXT COLLATE NOCASE NOT NULL PRIMARY KEY,
    cHash       TEXT COLLATE NOCASE,
    iRows       INTEGER,
    iLastId     INTEGER
);

-- Who works where: one row per console after its login and per revozi-backup job, with its
-- heartbeat (times in milliseconds since 1970, UTC, by the database's clock). A task whose
-- heartbeat is older than three of its intervals, or whose process on its workstation is gone, is
-- abnormal. cSubName is 控制台 or 备份; iPidStart tells a process from a later one of the same number.
CREATE TABLE SM_Task (
    iTask_Id    INTEGER NOT NULL,
    cSubName    TEXT COLLATE NOCASE,
    cStation    TEXT COLLATE NOCASE,
    cOsUser     TEXT COLLATE NOCASE,
    cUser_Id    TEXT COLLATE NOCASE,
    iLogin      INTEGER,
    iPid        INTEGER,
    iPidStart   INTEGER,
    iBeat       INTEGER,
    iInterval   INTEGER,
    PRIMARY KEY (iTask_Id)
);

-- The functions a task holds on a set and year (iYear 0: every year of the set): an exclusive one
-- (import, deletion, clearing a year) stands beside no other task's function there.
CREATE TABLE SM_TaskFunc (
    iFunc_Id    INTEGER NOT NULL,
    iTask_Id    INTEGER NOT NULL,
    cAcc_Id     TEXT COLLATE NOCASE NOT NULL,
    iYear       INTEGER NOT NULL,
    cUser_Id    TEXT COLLATE NOCASE,
    cFunction   TEXT COLLATE NOCASE,
    iExclusive  INTEGER NOT NULL,
    iSince      INTEGER,
    PRIMARY KEY (iFunc_Id)
);
CREATE INDEX SM_TaskFunc_Acc ON SM_TaskFunc (cAcc_Id, iYear);
CREATE INDEX SM_TaskFunc_Task ON SM_TaskFunc (iTask_Id);

-- Business flows of a set: the steps of a flow.
CREATE TABLE SM_FlowItems (
    cAccId      TEXT COLLATE NOCASE,
    cFlow_Id    TEXT COLLATE NOCASE,
    iItem_Id    INTEGER,
    cItem_Name  TEXT COLLATE NOCASE,
    iOrder      INTEGER
);

-- Business flows of a set: the links between the steps of a flow.
CREATE TABLE SM_FlowLines (
    cAccId      TEXT COLLATE NOCASE,
    cFlow_Id    TEXT COLLATE NOCASE,
    iFrom_Item  INTEGER,
    iTo_Item    INTEGER,
    cMemo       TEXT COLLATE NOCASE
);

-- Running numbers of the suite's documents per set.
CREATE TABLE SM_Identity (
    cAcc_Id    TEXT COLLATE NOCASE,
    cTable     TEXT COLLATE NOCASE,
    iFatherId  INTEGER,
    iChildId   INTEGER
);

-- The roles shipped with the installation.
CREATE TABLE sm_initialgroup (
    cGroup_id  TEXT COLLATE NOCASE NOT NULL,
    PRIMARY KEY (cGroup_id)
);

-- Industries.
CREATE TABLE GL_BTrade (
    itrade_id    INTEGER NOT NULL,
    ctrade_name  TEXT COLLATE NOCASE,
    PRIMARY KEY (itrade_id)
);

-- Preset charts of accounts by industry.
CREATE TABLE GL_DPrecode (
    itrade_id       INTEGER NOT NULL,
    cclass          TEXT COLLATE NOCASE,
    cclass_engl     TEXT COLLATE NOCASE,
    cclassany       TEXT COLLATE NOCASE,
    cclassany_engl  TEXT COLLATE NOCASE,
    ccode           TEXT COLLATE NOCASE NOT NULL,
    ccode_name      TEXT COLLATE NOCASE,
    ccode_engl      TEXT COLLATE NOCASE,
    igrade          INTEGER,
    bproperty       INTEGER,
    bend            INTEGER,
    UNIQUE (itrade_id, ccode)
);
