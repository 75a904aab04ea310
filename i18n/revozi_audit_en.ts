<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AuditTableModel</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>站点</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>系统用户</source>
        <translation>System user</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>账套</source>
        <translation>Account set</translation>
    </message>
    <message>
        <source>年度</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>动作</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>原因</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>详细内容</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>校验</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>Succeeded</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>拒绝</source>
        <translation>Refused</translation>
    </message>
</context>
<context>
    <name>frmLog</name>
    <message>
        <source>（全部）</source>
        <translation>(All)</translation>
    </message>
    <message>
        <source>（系统）</source>
        <translation>(System)</translation>
    </message>
    <message>
        <source>上机日志</source>
        <translation>Activity log</translation>
    </message>
    <message>
        <source>日期从(&amp;F)：</source>
        <translation>&amp;From:</translation>
    </message>
    <message>
        <source>到(&amp;T)：</source>
        <translation>&amp;To:</translation>
    </message>
    <message>
        <source>操作员(&amp;O)：</source>
        <translation>&amp;Operator:</translation>
    </message>
    <message>
        <source>账套(&amp;A)：</source>
        <translation>&amp;Account set:</translation>
    </message>
    <message>
        <source>动作(&amp;K)：</source>
        <translation>Actio&amp;n:</translation>
    </message>
    <message>
        <source>结果(&amp;R)：</source>
        <translation>&amp;Result:</translation>
    </message>
    <message>
        <source>导出(&amp;E)...</source>
        <translation>&amp;Export...</translation>
    </message>
    <message>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>详细内容</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>转到改动处(&amp;G)</source>
        <translation>&amp;Go to the change</translation>
    </message>
    <message>
        <source>无法读取上机日志：%1</source>
        <translation>Cannot read the activity log: %1</translation>
    </message>
    <message>
        <source>正在校验日志……</source>
        <translation>Checking the log...</translation>
    </message>
    <message>
        <source>日志校验通过：%1 条记录未被改动。</source>
        <translation>Log check passed: %1 records unchanged.</translation>
    </message>
    <message>
        <source>另有引入的历史记录 %1 条，不属于本机日志，已单独校验。</source>
        <translation> %1 imported history records, not part of this installation's log, were checked separately.</translation>
    </message>
    <message>
        <source>其他模块的记录 %1 条不在校验之列。</source>
        <translation> %1 records of other modules are not checked.</translation>
    </message>
    <message>
        <source>共 %1 条</source>
        <translation>%1 records</translation>
    </message>
    <message>
        <source>时间：%1 %2</source>
        <translation>Time: %1 %2</translation>
    </message>
    <message>
        <source>站点：%1    系统用户：%2    操作员：%3</source>
        <translation>Station: %1    System user: %2    Operator: %3</translation>
    </message>
    <message>
        <source>账套：%1    年度：%2</source>
        <translation>Account set: %1    Year: %2</translation>
    </message>
    <message>
        <source>动作：%1    结果：%2%3</source>
        <translation>Action: %1    Result: %2%3</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>模块：%1（不是系统管理的记录，不在校验之列）    动作代码：%2    结果：%3</source>
        <translation>Module: %1 (not a record of system administration, not checked)    Action code: %2    Result: %3</translation>
    </message>
    <message>
        <source>来源：随备份引入的账套历史记录，不属于本机日志</source>
        <translation>Source: account set history imported with a backup, not part of this installation's log</translation>
    </message>
    <message>
        <source>内容：%1</source>
        <translation>Content: %1</translation>
    </message>
    <message>
        <source>校验：日志已被改动——%1</source>
        <translation>Check: the log has been altered - %1</translation>
    </message>
    <message>
        <source>改动处不在当前筛选的记录中。</source>
        <translation>The change is not among the records shown by the current filter.</translation>
    </message>
    <message>
        <source>导出上机日志</source>
        <translation>Export the activity log</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>上机日志-%1.csv</source>
        <translation>activity-log-%1.csv</translation>
    </message>
    <message>
        <source>上机日志未能导出：%1</source>
        <translation>The activity log was not exported: %1</translation>
    </message>
    <message>
        <source>已导出 %1 条记录到 %2</source>
        <translation>Exported %1 records to %2</translation>
    </message>
</context>
</TS>
