-- The sample operators of a demonstration installation (revozi-setup --demo), never of a working
-- one: they have empty passwords. The operator whose name is demo is the wizard's default supervisor.
INSERT INTO SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState,cTkAccount) VALUES ('demo','demo','',0,'财务部',0,NULL);
INSERT INTO SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState,cTkAccount) VALUES ('chenl','陈丽',NULL,0,'财务部',0,NULL);
INSERT INTO SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState,cTkAccount) VALUES ('lijg','李建国',NULL,0,'财务部',0,NULL);
INSERT INTO SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState,cTkAccount) VALUES ('wangxy','王晓燕','',0,'销售部',0,NULL);
INSERT INTO SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState,cTkAccount) VALUES ('zhaozg','赵志刚',NULL,0,'采购部',0,NULL);
INSERT INTO SM_User (cUser_Id,cUser_Name,cPassword,iAdmin,cDept,nState,cTkAccount) VALUES ('zhoum','周敏','',0,'人力资源部',0,NULL);
