-- Rows shipped with a new system database.
-- The preset charts of accounts (GL_DPrecode) are loaded by the installer from charts/*.tsv,
-- which finds each industry's itrade_id by its ctrade_name below.

-- Operators: the administrator alone signs in, as admin with an empty password (the login form
-- says so); the sample operators of a demonstration are in demo_rows.sql.
INSERT INTO SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState,cTkAccount) VALUES ('admin','系统管理员','',1,NULL,0,NULL);

-- Roles shipped with the installation; DATA-MANAGER receives every supervisor.
INSERT INTO SM_Group (cGroup_Id,cGroup_Name,cMemo,cTradeKinds,cTrade_Kinds) VALUES ('DATA-MANAGER','账套主管','负责账套的全部业务，可以进行账套修改、系统启用和年度账管理','BZ','BZ');
INSERT INTO SM_Group (cGroup_Id,cGroup_Name,cMemo,cTradeKinds,cTrade_Kinds) VALUES ('MANAGER-GL','总账会计','负责凭证填制、审核、记账、账簿查询和期末结账','BZ','BZ');
INSERT INTO SM_Group (cGroup_Id,cGroup_Name,cMemo,cTradeKinds,cTrade_Kinds) VALUES ('MANAGER-FA','资产管理员','负责固定资产卡片、资产增减变动和折旧计提','BZ','BZ');
INSERT INTO SM_Group (cGroup_Id,cGroup_Name,cMemo,cTradeKinds,cTrade_Kinds) VALUES ('MANAGER-WA','薪资管理员','负责人员档案、工资变动、个人所得税和工资分摊','BZ','BZ');
INSERT INTO SM_Group (cGroup_Id,cGroup_Name,cMemo,cTradeKinds,cTrade_Kinds) VALUES ('MANAGER-GX','往来会计','负责应收应付单据、收付款、核销和往来账表','BZ','BZ');

INSERT INTO sm_initialgroup (cGroup_id) VALUES ('DATA-MANAGER');
INSERT INTO sm_initialgroup (cGroup_id) VALUES ('MANAGER-GL');
INSERT INTO sm_initialgroup (cGroup_id) VALUES ('MANAGER-FA');
INSERT INTO sm_initialgroup (cGroup_id) VALUES ('MANAGER-WA');
INSERT INTO sm_initialgroup (cGroup_id) VALUES ('MANAGER-GX');

-- Subsystems. nType is the display order; IsVisible marks the modules that are offered.
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('AA','系统管理',0,1);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('FA','固定资产核算',1,1);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('GL','账务处理',2,1);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('WA','工资核算',3,1);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('GX','应收应付核算',4,1);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('IA','存货核算',5,0);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('AP','应付款管理',6,0);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('AR','应收款管理',7,0);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('CA','成本核算',8,0);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('QM','质量管理',9,0);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('PU','采购管理',10,0);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('SA','销售管理',11,0);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('ST','库存管理',12,0);
INSERT INTO SM_SubSys (cSub_Id,cSub_Name,nType,IsVisible) VALUES ('RE','自定义报表',13,0);

-- Permission catalogue. A top-level permission (iGrade 1) has its module code as parent,
-- a detail permission (iGrade 2) the top-level permission. The first two characters of an
-- identifier are the module code. admin marks the account-set supervisor; it has no parent,
-- so the grant dialogs never offer it.
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('admin','账套主管','AA',1,NULL,NULL);

-- 系统管理
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA01','年度账','AA',1,'AA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA0101','建立年度账','AA',2,'AA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA0102','清空年度数据','AA',2,'AA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA0103','引入年度账','AA',2,'AA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA0104','输出年度账','AA',2,'AA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA0105','结转上年数据','AA',2,'AA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA02','账套','AA',1,'AA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA0201','修改账套','AA',2,'AA02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA0202','系统启用','AA',2,'AA02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA03','视图','AA',1,'AA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('AA0301','系统日志','AA',2,'AA03',NULL);

-- 固定资产核算
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA01','设置','FA',1,'FA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0101','选项','FA',2,'FA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0102','部门对应折旧科目','FA',2,'FA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0103','资产类别','FA',2,'FA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0104','增减方式','FA',2,'FA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0105','使用状况','FA',2,'FA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0106','折旧方法','FA',2,'FA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0107','卡片项目','FA',2,'FA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0108','卡片样式','FA',2,'FA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA02','卡片','FA',1,'FA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0201','录入原始卡片','FA',2,'FA02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0202','卡片管理','FA',2,'FA02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0203','修改卡片','FA',2,'FA02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0204','删除卡片','FA',2,'FA02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0205','卡片打印','FA',2,'FA02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA03','资产增减','FA',1,'FA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0301','资产增加','FA',2,'FA03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0302','资产减少','FA',2,'FA03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0303','撤销减少','FA',2,'FA03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA04','资产变动','FA',1,'FA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0401','原值变动','FA',2,'FA04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0402','部门转移','FA',2,'FA04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0403','使用状况调整','FA',2,'FA04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0404','折旧方法调整','FA',2,'FA04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0405','累计折旧调整','FA',2,'FA04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0406','使用年限调整','FA',2,'FA04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0407','类别调整','FA',2,'FA04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA05','资产评估','FA',1,'FA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0501','资产评估','FA',2,'FA05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0502','计提减值准备','FA',2,'FA05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA06','折旧','FA',1,'FA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0601','工作量输入','FA',2,'FA06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0602','计提本月折旧','FA',2,'FA06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0603','折旧清单','FA',2,'FA06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0604','折旧分配表','FA',2,'FA06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA07','凭证处理','FA',1,'FA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0701','批量制单','FA',2,'FA07',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0702','查询凭证','FA',2,'FA07',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA08','对账与结账','FA',1,'FA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0801','对账','FA',2,'FA08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0802','月末结账','FA',2,'FA08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0803','恢复月末结账前状态','FA',2,'FA08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA09','账表','FA',1,'FA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0901','固定资产账簿','FA',2,'FA09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0902','折旧表','FA',2,'FA09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0903','统计表','FA',2,'FA09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA0904','分析表','FA',2,'FA09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA10','维护','FA',1,'FA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA1001','数据接口管理','FA',2,'FA10',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('FA1002','重新初始化账套','FA',2,'FA10',NULL);

-- 账务处理
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL01','凭证','GL',1,'GL',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0101','填制凭证','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0102','修改凭证','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0103','删除凭证','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0104','出纳签字','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0105','主管签字','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0106','审核凭证','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0107','取消审核','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0108','记账','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0109','恢复记账前状态','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0110','查询凭证','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0111','打印凭证','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0112','常用凭证','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0113','冲销凭证','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0114','整理凭证','GL',2,'GL01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL02','出纳','GL',1,'GL',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0201','现金日记账','GL',2,'GL02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0202','银行日记账','GL',2,'GL02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0203','资金日报','GL',2,'GL02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0204','支票登记簿','GL',2,'GL02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0205','银行对账','GL',2,'GL02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0206','余额调节表','GL',2,'GL02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL03','账簿查询','GL',1,'GL',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0301','总账','GL',2,'GL03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0302','余额表','GL',2,'GL03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0303','明细账','GL',2,'GL03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0304','序时账','GL',2,'GL03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0305','多栏账','GL',2,'GL03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0306','日记账','GL',2,'GL03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0307','日报表','GL',2,'GL03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0308','综合多栏账','GL',2,'GL03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL04','辅助核算','GL',1,'GL',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0401','个人往来账','GL',2,'GL04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0402','部门核算账','GL',2,'GL04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0403','项目核算账','GL',2,'GL04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0404','客户往来账','GL',2,'GL04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0405','供应商往来账','GL',2,'GL04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL05','期末','GL',1,'GL',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0501','转账定义','GL',2,'GL05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0502','转账生成','GL',2,'GL05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0503','对账','GL',2,'GL05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0504','结账','GL',2,'GL05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0505','取消结账','GL',2,'GL05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0506','汇兑损益','GL',2,'GL05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL06','基础设置','GL',1,'GL',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0601','会计科目','GL',2,'GL06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0602','凭证类别','GL',2,'GL06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0603','外币及汇率','GL',2,'GL06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0604','结算方式','GL',2,'GL06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0605','项目目录','GL',2,'GL06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0606','常用摘要','GL',2,'GL06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL07','期初余额','GL',1,'GL',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0701','录入期初余额','GL',2,'GL07',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0702','试算平衡','GL',2,'GL07',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL08','总账选项','GL',1,'GL',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0801','凭证选项','GL',2,'GL08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0802','账簿选项','GL',2,'GL08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL09','账簿打印','GL',1,'GL',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0901','总账打印','GL',2,'GL09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0902','明细账打印','GL',2,'GL09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL0903','日记账打印','GL',2,'GL09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL10','现金流量','GL',1,'GL',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL1001','现金流量项目','GL',2,'GL10',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL1002','现金流量凭证查询','GL',2,'GL10',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GL1003','现金流量表','GL',2,'GL10',NULL);

-- 工资核算
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA01','设置','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0101','工资类别','WA',2,'WA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0102','人员类别','WA',2,'WA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0103','工资项目','WA',2,'WA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0104','计算公式','WA',2,'WA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0105','银行名称','WA',2,'WA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0106','人员附加信息','WA',2,'WA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0107','选项','WA',2,'WA01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA02','人员档案','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0201','人员档案','WA',2,'WA02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0202','人员调动','WA',2,'WA02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0203','批增人员','WA',2,'WA02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA03','工资变动','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0301','工资变动','WA',2,'WA03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0302','替换','WA',2,'WA03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0303','计算','WA',2,'WA03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0304','汇总','WA',2,'WA03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA04','工资分钱清单','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0401','票面额设置','WA',2,'WA04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0402','部门分钱清单','WA',2,'WA04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0403','人员分钱清单','WA',2,'WA04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA05','扣缴个人所得税','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0501','税率表设置','WA',2,'WA05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0502','个人所得税申报表','WA',2,'WA05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0503','扣缴个人所得税报表','WA',2,'WA05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA06','银行代发','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0601','银行代发格式','WA',2,'WA06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0602','银行代发输出','WA',2,'WA06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA07','工资分摊','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0701','分摊类型设置','WA',2,'WA07',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0702','工资分摊','WA',2,'WA07',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0703','分摊构成','WA',2,'WA07',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA08','凭证查询','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0801','查询凭证','WA',2,'WA08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0802','删除凭证','WA',2,'WA08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0803','冲销凭证','WA',2,'WA08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA09','月末处理','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0901','月末处理','WA',2,'WA09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA0902','反结账','WA',2,'WA09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA10','统计分析','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA1001','工资表','WA',2,'WA10',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA1002','工资分析表','WA',2,'WA10',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA1003','部门工资汇总表','WA',2,'WA10',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA11','数据维护','WA',1,'WA',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA1101','数据上报','WA',2,'WA11',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA1102','人员信息复制','WA',2,'WA11',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('WA1103','工资类别汇总','WA',2,'WA11',NULL);

-- 应收应付核算
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX01','设置','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0101','选项','GX',2,'GX01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0102','初始设置','GX',2,'GX01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0103','期初余额','GX',2,'GX01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0104','坏账准备设置','GX',2,'GX01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX02','应收单据处理','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0201','应收单据录入','GX',2,'GX02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0202','应收单据审核','GX',2,'GX02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0203','应收单据查询','GX',2,'GX02',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX03','收款单据处理','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0301','收款单据录入','GX',2,'GX03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0302','收款单据审核','GX',2,'GX03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0303','收款单据查询','GX',2,'GX03',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX04','应付单据处理','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0401','应付单据录入','GX',2,'GX04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0402','应付单据审核','GX',2,'GX04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0403','应付单据查询','GX',2,'GX04',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX05','付款单据处理','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0501','付款单据录入','GX',2,'GX05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0502','付款单据审核','GX',2,'GX05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0503','付款单据查询','GX',2,'GX05',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX06','核销处理','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0601','收款核销','GX',2,'GX06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0602','付款核销','GX',2,'GX06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0603','取消核销','GX',2,'GX06',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX07','票据管理','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0701','应收票据','GX',2,'GX07',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0702','应付票据','GX',2,'GX07',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX08','转账','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0801','应收冲应收','GX',2,'GX08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0802','预收冲应收','GX',2,'GX08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0803','应付冲应付','GX',2,'GX08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0804','预付冲应付','GX',2,'GX08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0805','应收冲应付','GX',2,'GX08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0806','红票对冲','GX',2,'GX08',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX09','坏账处理','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0901','坏账发生','GX',2,'GX09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0902','坏账收回','GX',2,'GX09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX0903','计提坏账准备','GX',2,'GX09',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX10','制单处理','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX1001','生成凭证','GX',2,'GX10',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX1002','查询凭证','GX',2,'GX10',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX11','账表管理','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX1101','业务账表','GX',2,'GX11',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX1102','统计分析','GX',2,'GX11',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX1103','账龄分析','GX',2,'GX11',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX1104','科目账查询','GX',2,'GX11',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX12','期末处理','GX',1,'GX',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX1201','汇兑损益','GX',2,'GX12',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX1202','月末结账','GX',2,'GX12',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('GX1203','取消月末结账','GX',2,'GX12',NULL);

-- 自定义报表
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('RE01','自定义报表','RE',1,'RE',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('RE0101','报表格式设计','RE',2,'RE01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('RE0102','报表数据计算','RE',2,'RE01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('RE0103','报表查询','RE',2,'RE01',NULL);
INSERT INTO SM_Auth (cAuth_Id,cAuth_Name,cSub_Id,iGrade,cSupAuth_Id,cAcc_Id) VALUES ('RE0104','报表打印','RE',2,'RE01',NULL);

-- Industries: the installer loads each preset chart under the itrade_id of its name.
INSERT INTO GL_BTrade (itrade_id,ctrade_name) VALUES (1,'2007年新会计准则');
INSERT INTO GL_BTrade (itrade_id,ctrade_name) VALUES (2,'小企业会计准则');
INSERT INTO GL_BTrade (itrade_id,ctrade_name) VALUES (3,'企业会计制度');
