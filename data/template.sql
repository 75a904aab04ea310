-- Account-database template (kddata/KdData.mdb beside the executable).
-- Creation copies it unchanged into the year folder of a new account set and then only
-- updates its AccInformation and GradeDef rows, so every row the console addresses is here.
-- Declared types are TEXT, INTEGER and REAL only; every text column compares without
-- regard to letter case.

-- The template is in incremental auto-vacuum (set by its build, revozi-setup --template, as the
-- statements here run inside one transaction, where the mode can no longer be chosen): free pages
-- stay in the file until an export releases them in its copy with PRAGMA incremental_vacuum, so
-- the export compacts at the speed of a file copy instead of rebuilding the whole database.

-- Options of the account set, one row per option. A row is addressed by cCaption, by
-- cSysID and cName, or by cID and cName.
CREATE TABLE AccInformation (
    cSysID    TEXT COLLATE NOCASE NOT NULL,
    cID       TEXT COLLATE NOCASE,
    cName     TEXT COLLATE NOCASE NOT NULL,
    cCaption  TEXT COLLATE NOCASE,
    cType     TEXT COLLATE NOCASE,
    cValue    TEXT COLLATE NOCASE,
    cDefault  TEXT COLLATE NOCASE,
    PRIMARY KEY (cSysID, cName),
    UNIQUE (cCaption)
);

-- Coding scheme, one row per classification, shown in keyword order.
CREATE TABLE GradeDef (
    keyword       TEXT COLLATE NOCASE NOT NULL,
    GRADECLSNAME  TEXT COLLATE NOCASE,
    LGRADE        INTEGER,
    LGRADELEN     INTEGER,
    CODINGRULE    TEXT COLLATE NOCASE,
    PRIMARY KEY (keyword)
);

-- Chart of accounts, one row per account; empty in the template.
CREATE TABLE code (
    i_id             INTEGER,
    cclass           TEXT COLLATE NOCASE,
    cclass_engl      TEXT COLLATE NOCASE,
    cclassany        TEXT COLLATE NOCASE,
    cclassany_engl   TEXT COLLATE NOCASE,
    ccode            TEXT COLLATE NOCASE NOT NULL,
    ccode_name       TEXT COLLATE NOCASE,
    ccode_engl       TEXT COLLATE NOCASE,
    igrade           INTEGER,
    bproperty        INTEGER,
    bend             INTEGER,
    cbook_type       TEXT COLLATE NOCASE,
    cbook_type_engl  TEXT COLLATE NOCASE,
    iviewItem        INTEGER,
    cexch_name       TEXT COLLATE NOCASE,
    cmeasure         TEXT COLLATE NOCASE,
    bexchange        INTEGER DEFAULT 0,
    bcash            INTEGER DEFAULT 0,
    bbank            INTEGER DEFAULT 0,
    bperson          INTEGER DEFAULT 0,
    bcus             INTEGER DEFAULT 0,
    bsup             INTEGER DEFAULT 0,
    bdept            INTEGER DEFAULT 0,
    bitem            INTEGER DEFAULT 0,
    UNIQUE (ccode)
);

-- Classification options: "True" or "False", set by the account-set wizard.
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','AA','bInvClass','存货是否分类','Boolean','False','False');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','AA','bCusClass','客户是否分类','Boolean','False','False');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','AA','bVenClass','供应商是否分类','Boolean','False','False');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','AA','bForeignCurrency','有无外币核算','Boolean','False','False');

-- Coding rules: one row per GradeDef classification, cCaption equal to its GRADECLSNAME.
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','GradeDef','code','科目编码','Text','4222','4222');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','GradeDef','custclass','客户分类编码','Text','223','223');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','GradeDef','dept','部门编码','Text','122','122');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','GradeDef','districtclass','地区分类编码','Text','223','223');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','GradeDef','inventoryclass','存货分类编码','Text','1223','1223');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','GradeDef','itemclass','项目分类编码','Text','22','22');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','GradeDef','position','货位编码','Text','222','222');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','GradeDef','rdstyle','收发类别编码','Text','12','12');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','GradeDef','settlestyle','结算方式编码','Text','12','12');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','GradeDef','vendorclass','供应商分类编码','Text','223','223');

-- Data precision: decimal places, one digit from 0 to 6.
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','Precision','iStrsQuanDecDgt','存货数量小数位','Integer','2','2');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','Precision','iStrsPriDecDgt','存货单价小数位','Integer','2','2');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','Precision','iBillPriDecDgt','开票单价小数位','Integer','2','2');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','Precision','iPieceDecDgt','件数小数位数','Integer','2','2');
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','Precision','iExchRateDecDgt','换算率小数位数','Integer','2','2');

-- Start date of the general ledger, written when the ledger is enabled.
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('GL','GL','dGLStartDate','总账启用日期','Date',NULL,NULL);

-- System identifier of the account set, written by the import.
INSERT INTO AccInformation (cSysID,cID,cName,cCaption,cType,cValue,cDefault) VALUES ('AA','AA','iSystemID','账套系统标识','Integer','0','0');

-- Classifications in keyword order; code is the chart of accounts. The coding rule of code
-- is rewritten to 422 when an account set is created.
INSERT INTO GradeDef (keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE) VALUES ('code','科目编码',6,15,'4222');
INSERT INTO GradeDef (keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE) VALUES ('custclass','客户分类编码',5,12,'223');
INSERT INTO GradeDef (keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE) VALUES ('dept','部门编码',5,12,'122');
INSERT INTO GradeDef (keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE) VALUES ('districtclass','地区分类编码',5,12,'223');
INSERT INTO GradeDef (keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE) VALUES ('inventoryclass','存货分类编码',8,12,'1223');
INSERT INTO GradeDef (keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE) VALUES ('itemclass','项目分类编码',8,12,'22');
INSERT INTO GradeDef (keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE) VALUES ('position','货位编码',8,20,'222');
INSERT INTO GradeDef (keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE) VALUES ('rdstyle','收发类别编码',3,5,'12');
INSERT INTO GradeDef (keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE) VALUES ('settlestyle','结算方式编码',2,3,'12');
INSERT INTO GradeDef (keyword,GRADECLSNAME,LGRADE,LGRADELEN,CODINGRULE) VALUES ('vendorclass','供应商分类编码',5,12,'223');
