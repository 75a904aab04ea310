<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>FrmDelAcc</name>
    <message>
        <source>财务提示</source>
        <translation>Accounting</translation>
    </message>
    <message>
        <source>账套备份</source>
        <translation>Back up account set</translation>
    </message>
    <message>
        <source>账套号</source>
        <translation>Account set no.</translation>
    </message>
    <message>
        <source>账套号(&amp;N):</source>
        <translation>Account set &amp;no.:</translation>
    </message>
    <message>
        <source>删除当前输出账套</source>
        <translation>Delete the account set after the backup</translation>
    </message>
    <message>
        <source>确认(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>放弃(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>读取账套列表失败：</source>
        <translation>Could not read the list of account sets: </translation>
    </message>
    <message>
        <source>账套[%1]不存在，无法输出！</source>
        <translation>Account set [%1] does not exist and cannot be backed up!</translation>
    </message>
    <message>
        <source>请从列表中选择要删除的账套！</source>
        <translation>Choose the account set to delete from the list!</translation>
    </message>
    <message>
        <source>真的删除该账套吗？</source>
        <translation>Really delete this account set?</translation>
    </message>
    <message>
        <source>删除提示</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>删除账套[%1]失败！</source>
        <translation>Could not delete account set [%1]!</translation>
    </message>
    <message>
        <source>删除账套[%1]成功！</source>
        <translation>Account set [%1] deleted.</translation>
    </message>
</context>
<context>
    <name>ImportCommand</name>
    <message>
        <source>恢复进程</source>
        <translation>Restoring</translation>
    </message>
    <message>
        <source>文件恢复，解压缩至：</source>
        <translation>Restoring the file, decompressing to: </translation>
    </message>
    <message>
        <source>正在引入[%1]的%2年度帐套，请等待...</source>
        <translation>Importing account set [%1] for the year %2, please wait...</translation>
    </message>
    <message>
        <source>引入文件中，[%1]帐套的默认路径：<byte value="xd"/>
%2<byte value="xd"/>
重新指定帐套路径吗？<byte value="xd"/>
<byte value="xd"/>
说明：<byte value="xd"/>
1、重指路径时，系统自动调整LST文件，为防止该文件意外损坏，请做附件。<byte value="xd"/>
2、数据恢复时如有格式539等错误，请安装IE6（安装盘）。</source>
        <translation>In the import file, the default path of account set [%1] is:<byte value="xd"/>
%2<byte value="xd"/>
Choose another path for the account set?<byte value="xd"/>
<byte value="xd"/>
Notes:<byte value="xd"/>
1. When the path is changed, the system adjusts the LST file automatically; keep a copy of that file in case it is damaged.<byte value="xd"/>
2. If the restore reports a format error such as 539, install IE6 (from the installation disc).</translation>
    </message>
    <message>
        <source>此项操作将覆盖[%1]帐套当前的所有信息，继续吗？</source>
        <translation>This overwrites everything account set [%1] holds now. Continue?</translation>
    </message>
    <message>
        <source>该备份已加密，请输入口令：</source>
        <translation>This backup is encrypted. Enter its passphrase:</translation>
    </message>
    <message>
        <source>口令</source>
        <translation>Passphrase</translation>
    </message>
    <message>
        <source>引入帐套数据</source>
        <translation>Import account set data</translation>
    </message>
    <message>
        <source>帐套数据备份文件(KdErpAct.*)</source>
        <translation>Account set backup files (KdErpAct.*)</translation>
    </message>
</context>
<context>
    <name>frmAccExport</name>
    <message>
        <source>财务提示</source>
        <translation>Accounting</translation>
    </message>
    <message>
        <source>选择备份目录</source>
        <translation>Choose the backup folder</translation>
    </message>
    <message>
        <source>驱动器</source>
        <translation>Drive</translation>
    </message>
    <message>
        <source>备份目录</source>
        <translation>Backup folder</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>放弃</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>输出账套失败！</source>
        <translation>Backing up the account set failed!</translation>
    </message>
    <message>
        <source>输出账套成功！</source>
        <translation>Account set backed up.</translation>
    </message>
    <message>
        <source>加密备份</source>
        <translation>Encrypt the backup</translation>
    </message>
    <message>
        <source>口令</source>
        <translation>Passphrase</translation>
    </message>
    <message>
        <source>再次输入口令</source>
        <translation>Passphrase again</translation>
    </message>
    <message>
        <source>压缩备份</source>
        <translation>Compress the backup</translation>
    </message>
    <message>
        <source>请输入加密备份的口令。</source>
        <translation>Enter the passphrase for the encrypted backup.</translation>
    </message>
    <message>
        <source>两次输入的口令不一致，请重新输入。</source>
        <translation>The two passphrases differ; enter them again.</translation>
    </message>
</context>
<context>
    <name>frmInput</name>
    <message>
        <source>帐套引入</source>
        <translation>Import account set</translation>
    </message>
    <message>
        <source>系统库未打开，无法引入帐套！</source>
        <translation>The system database is not open; the account set cannot be imported!</translation>
    </message>
    <message>
        <source>无法打开系统库：</source>
        <translation>Cannot open the system database: </translation>
    </message>
</context>
<context>
    <name>frmWait</name>
    <message>
        <source>压缩进程</source>
        <translation>Compressing</translation>
    </message>
    <message>
        <source>压缩进程，请等待...</source>
        <translation>Compressing, please wait...</translation>
    </message>
</context>
<context>
    <name>frmYearClear</name>
    <message>
        <source>正在把账套[%1]%2年度输出到
%3
然后清空该年度的数据……</source>
        <translation>Writing account set [%1], year %2, to
%3
then clearing the year…</translation>
    </message>
    <message>
        <source>无法打开系统库：</source>
        <translation>Cannot open the system database: </translation>
    </message>
    <message>
        <source>系统库未打开</source>
        <translation>The system database is not open</translation>
    </message>
</context>
<context>
    <name>frmwaiting</name>
    <message>
        <source>拷贝进程</source>
        <translation>Copying</translation>
    </message>
    <message>
        <source>拷贝进程...</source>
        <translation>Copying...</translation>
    </message>
</context>
</TS>
