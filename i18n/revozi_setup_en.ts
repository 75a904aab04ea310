<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>PictureButton</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>放弃</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>UpDown</name>
    <message>
        <source>%1加一</source>
        <translation>Increase %1</translation>
    </message>
    <message>
        <source>%1减一</source>
        <translation>Decrease %1</translation>
    </message>
</context>
<context>
    <name>frmCnDate</name>
    <message>
        <source>启用日期</source>
        <translation>Start date</translation>
    </message>
    <message>
        <source>选定日期</source>
        <translation>Chosen date</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>frmDate</name>
    <message>
        <source>数据精度定义</source>
        <translation>Data precision</translation>
    </message>
    <message>
        <source>存货数量小数位</source>
        <translation>Stock quantity decimals</translation>
    </message>
    <message>
        <source>存货单价小数位</source>
        <translation>Stock unit price decimals</translation>
    </message>
    <message>
        <source>开票单价小数位</source>
        <translation>Invoice unit price decimals</translation>
    </message>
    <message>
        <source>件数小数位数</source>
        <translation>Piece count decimals</translation>
    </message>
    <message>
        <source>换算率小数位数</source>
        <translation>Conversion rate decimals</translation>
    </message>
    <message>
        <source>请按您单位的需要认真填写</source>
        <translation>Please fill these in carefully, as your organization needs them</translation>
    </message>
    <message>
        <source>账套库未打开，无法读取数据精度。</source>
        <translation>The account set's database is not open; the data precision cannot be read.</translation>
    </message>
    <message>
        <source>读取数据精度时出错：%1</source>
        <translation>Error reading the data precision: %1</translation>
    </message>
    <message>
        <source>请为“%1”输入0到6之间的小数位数。</source>
        <translation>Please enter a number of decimals from 0 to 6 for “%1”.</translation>
    </message>
    <message>
        <source>账套库未打开，数据精度未能保存。</source>
        <translation>The account set's database is not open; the data precision was not saved.</translation>
    </message>
    <message>
        <source>数据精度未能保存：%1</source>
        <translation>The data precision was not saved: %1</translation>
    </message>
    <message>
        <source>数据精度的定义发生了改变，是否保存修改结果？</source>
        <translation>The data precision has changed. Save the changes?</translation>
    </message>
    <message>
        <source>提示！</source>
        <translation>Attention!</translation>
    </message>
</context>
<context>
    <name>frmGradeDef</name>
    <message>
        <source>分类编码方案</source>
        <translation>Coding scheme</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>在第1级到第9级的格子里输入各级编码的长度；输入0或按Delete删除最后一级。</source>
        <translation>Type the length of each level's code in the cells of levels 1 to 9; type 0 or press Delete to remove the last level.</translation>
    </message>
    <message>
        <source>账套库未打开，无法设置分类编码方案。</source>
        <translation>The account set's database is not open; the coding scheme cannot be set.</translation>
    </message>
    <message>
        <source>读取分类编码方案时出错：%1</source>
        <translation>Error reading the coding scheme: %1</translation>
    </message>
    <message>
        <source>^项目|^最大级数|^最大长度|^单级最大长度|^是否分类|^第1级|^第2级|^第3级|^第4级|^第5级|^第6级|^第7级|^第8级|^第9级|</source>
        <translation>^Item|^Max levels|^Max length|^Max per level|^By class|^Level 1|^Level 2|^Level 3|^Level 4|^Level 5|^Level 6|^Level 7|^Level 8|^Level 9|</translation>
    </message>
    <message>
        <source>级</source>
        <extracomment>The widest word a narrow column&apos;s heading puts on one line.</extracomment>
        <translation>length</translation>
    </message>
    <message>
        <source>编码方案“%1”已不在账套库中。</source>
        <translation>The coding scheme “%1” is no longer in the account set's database.</translation>
    </message>
    <message>
        <source>分类编码方案未能保存：%1</source>
        <translation>The coding scheme was not saved: %1</translation>
    </message>
</context>
<context>
    <name>frmMenology</name>
    <message>
        <source>会计月历-建账</source>
        <translation>Accounting calendar - new account set</translation>
    </message>
    <message>
        <source>启用年度</source>
        <translation>Start year</translation>
    </message>
    <message>
        <source>月度</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>启用年度:</source>
        <translation>Start year:</translation>
    </message>
    <message>
        <source>月度:</source>
        <translation>Month:</translation>
    </message>
    <message>
        <source>会计期间</source>
        <translation>Accounting periods</translation>
    </message>
    <message>
        <source>^期间   |^起始日期   |^结束日期   </source>
        <translation>^Period   |^Start date   |^End date   </translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>放弃</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>会计年度设置错误！</source>
        <translation>The accounting year is not valid!</translation>
    </message>
    <message>
        <source>系统管理</source>
        <translation>System administration</translation>
    </message>
</context>
<context>
    <name>frmSysStart</name>
    <message>
        <source>提示信息</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>固定资产核算</source>
        <translation>Fixed assets</translation>
    </message>
    <message>
        <source>账务处理</source>
        <translation>General ledger</translation>
    </message>
    <message>
        <source>工资核算</source>
        <translation>Payroll</translation>
    </message>
    <message>
        <source>应收应付核算</source>
        <translation>Receivables/payables</translation>
    </message>
    <message>
        <source>系统启用</source>
        <translation>Enable subsystems</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>账套启用会计期间</source>
        <translation>Start period of the account set</translation>
    </message>
    <message>
        <source>^系统编码|^系统名称|^会计启用期间|</source>
        <translation>^Code|^Subsystem|^Start period|</translation>
    </message>
    <message>
        <source>系统库未打开，无法启用系统！</source>
        <translation>The system database is not open; the subsystem cannot be enabled!</translation>
    </message>
    <message>
        <source>[%1]%2 账套启用会计期间 %3年%4月</source>
        <translation>[%1]%2 account set start period: %3, month %4</translation>
    </message>
    <message>
        <source>无法读取账套的系统启用情况：%1</source>
        <translation>Cannot read which subsystems the account set has enabled: %1</translation>
    </message>
    <message>
        <source>系统未能启用：%1</source>
        <translation>The subsystem was not enabled: %1</translation>
    </message>
    <message>
        <source>确实要注销当前系统吗？</source>
        <translation>Really disable this subsystem?</translation>
    </message>
    <message>
        <source>系统库未打开，无法注销系统！</source>
        <translation>The system database is not open; the subsystem cannot be disabled!</translation>
    </message>
    <message>
        <source>系统未能注销：%1</source>
        <translation>The subsystem was not disabled: %1</translation>
    </message>
</context>
<context>
    <name>frmkmbrowser</name>
    <message>
        <source>全部</source>
        <translation>All</translation>
    </message>
    <message>
        <source>读取预置会计科目时出错：%1</source>
        <translation>Error reading the preset accounts: %1</translation>
    </message>
    <message>
        <source>会计科目浏览</source>
        <translation>Chart of accounts</translation>
    </message>
    <message>
        <source>会计科目浏览--</source>
        <translation>Chart of accounts--</translation>
    </message>
    <message>
        <source>科目类别</source>
        <translation>Account classes</translation>
    </message>
    <message>
        <source>会计科目</source>
        <translation>Accounts</translation>
    </message>
    <message>
        <source>级次|科目编码|科目名称</source>
        <translation>Level|Account code|Account name</translation>
    </message>
    <message>
        <source>该行业没有预置会计科目。</source>
        <translation>This industry has no preset accounts.</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>系统库未打开。</source>
        <translation>The system database is not open.</translation>
    </message>
</context>
</TS>
