<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>About</name>
    <message>
        <source>revozi 系统管理</source>
        <translation>revozi System Administration</translation>
    </message>
    <message>
        <source>这台计算机没有设置网页浏览器，无法打开项目的网页。
请在浏览器中打开：%1</source>
        <translation>This computer has no web browser set, so the project&apos;s page cannot be opened.
Open it in a browser: %1</translation>
    </message>
    <message>
        <source>版本 %1（构建 %2）</source>
        <translation>Version %1 (build %2)</translation>
    </message>
    <message>
        <source>正在使用的安装：%1</source>
        <translation>Installation in use: %1</translation>
    </message>
    <message>
        <source>（无）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>本程序是自由软件，按 GNU 通用公共许可证第 3 版或（由您选择）任何更新的版本（GPL-3.0-or-later）发布，不提供任何担保。</source>
        <translation>This program is free software, released under the GNU General Public License version 3 or (at your option) any later version (GPL-3.0-or-later), without any warranty.</translation>
    </message>
    <message>
        <source>所用程序库及其许可证：</source>
        <translation>Libraries used and their licences:</translation>
    </message>
    <message>
        <source>SQLite %1 — 公有领域（public domain）</source>
        <translation>SQLite %1 — public domain</translation>
    </message>
    <message>
        <source>libpq %1 — PostgreSQL 许可证</source>
        <translation>libpq %1 — PostgreSQL License</translation>
    </message>
    <message>
        <source>zstd %1 — BSD-3-Clause（或 GPL-2.0）</source>
        <translation>zstd %1 — BSD-3-Clause (or GPL-2.0)</translation>
    </message>
    <message>
        <source>关于 %1</source>
        <translation>About %1</translation>
    </message>
</context>
<context>
    <name>Banner</name>
    <message>
        <source>revozi 系统管理</source>
        <translation>revozi System Administration</translation>
    </message>
    <message>
        <source>账套 · 操作员 · 权限 · 备份</source>
        <translation>Account sets · Operators · Permissions · Backup</translation>
    </message>
</context>
<context>
    <name>ServerMenu</name>
    <message>
        <source>升级SQL Server数据</source>
        <translation>Upgrade SQL Server data</translation>
    </message>
    <message>
        <source>本安装已经在服务器[%1]上。</source>
        <translation>This installation is already on the server [%1].</translation>
    </message>
    <message>
        <source>把本安装（系统库和全部账套的各年度账）复制到服务器[%1]吗？
本机的文件保留不变；复制期间请不要在其他工作站使用本安装。</source>
        <translation>Copy this installation (the system database and every year of every account set) to the server [%1]?
The files on this computer stay as they are; do not use this installation from other workstations while it is copied.</translation>
    </message>
    <message>
        <source>本安装的数据在本机的文件中，没有服务器口令。
“升级SQL Server数据”可以把本安装复制到服务器上，之后在这里修改服务器的口令。</source>
        <translation>This installation keeps its data in files on this computer: it has no server password.
&quot;Upgrade SQL Server data&quot; copies it onto a server; then its password is changed here.</translation>
    </message>
    <message>
        <source>设置SQL Server口令</source>
        <translation>Set SQL Server password</translation>
    </message>
</context>
<context>
    <name>StatusBar1</name>
    <message>
        <source>服务器…</source>
        <translation>Server…</translation>
    </message>
</context>
<context>
    <name>TaskGrids</name>
    <message>
        <source>全部</source>
        <translation>all</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>清除异常任务</source>
        <translation>Clear abnormal tasks</translation>
    </message>
    <message>
        <source>没有异常任务。</source>
        <translation>There are no abnormal tasks.</translation>
    </message>
    <message>
        <source>%1  %2  操作员[%3]  注册于%4</source>
        <translation>%1  %2  operator [%3]  since %4</translation>
    </message>
    <message>
        <source>……共%1个</source>
        <translation>… %1 in all</translation>
    </message>
    <message>
        <source>以下任务已异常（程序已退出或失去联系）：
%1
清除这些任务及其占用的单据吗？</source>
        <translation>These tasks are abnormal (their program has ended or lost contact):
%1
Clear them and what they hold?</translation>
    </message>
    <message>
        <source>清除单据锁定</source>
        <translation>Clear document locks</translation>
    </message>
    <message>
        <source>没有需要清除的单据锁定。</source>
        <translation>There are no locks to clear.</translation>
    </message>
    <message>
        <source>账套[%1] %2  %3  工作站[%4]</source>
        <translation>Account set [%1] %2  %3  workstation [%4]</translation>
    </message>
    <message>
        <source>以下锁定属于已异常的任务：
%1
解除这些锁定吗？</source>
        <translation>These locks belong to abnormal tasks:
%1
Release them?</translation>
    </message>
</context>
<context>
    <name>YearMenu</name>
    <message>
        <source>请先以账套主管的身份注册到账套和会计年度。</source>
        <translation>Log in to an account set and fiscal year as its supervisor first.</translation>
    </message>
    <message>
        <source>年度账</source>
        <translation>Fiscal years</translation>
    </message>
    <message>
        <source>结转上年数据</source>
        <translation>Carry forward the previous year</translation>
    </message>
    <message>
        <source>清空账套[%1]%2年度的数据吗？
清空前先把该年度输出为备份集；选项、编码方案和会计科目保留。</source>
        <translation>Clear the data of account set [%1], year %2?
The year is first written as a backup set; its options, coding scheme and chart of accounts are kept.</translation>
    </message>
    <message>
        <source>选择备份集存放的文件夹</source>
        <translation>Choose the folder for the backup set</translation>
    </message>
</context>
<context>
    <name>frmLogin</name>
    <message>
        <source>(本机)</source>
        <translation>(this computer)</translation>
    </message>
    <message>
        <source>revozi 系统管理</source>
        <translation>revozi System Administration</translation>
    </message>
    <message>
        <source>服务器(&amp;S)</source>
        <translation>&amp;Server</translation>
    </message>
    <message>
        <source>(本机)：安装目录中的系统库；或这台计算机用过的服务器</source>
        <translation>(this computer): the system database in the installation folder; or a server this computer has used</translation>
    </message>
    <message>
        <source>网络计算机浏览</source>
        <translation>Network computers</translation>
    </message>
    <message>
        <source>网络计算机浏览：输入、测试并选择服务器</source>
        <translation>Network computers: type, test and choose a server</translation>
    </message>
    <message>
        <source>用户名(&amp;U)</source>
        <translation>&amp;User name</translation>
    </message>
    <message>
        <source>密码(&amp;P)</source>
        <translation>&amp;Password</translation>
    </message>
    <message>
        <source>账套(&amp;A)</source>
        <translation>&amp;Account set</translation>
    </message>
    <message>
        <source>会计年度(&amp;Y)</source>
        <translation>Fiscal &amp;year</translation>
    </message>
    <message>
        <source>登录(&amp;O)</source>
        <translation>Log &amp;in</translation>
    </message>
    <message>
        <source>修改密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>系统管理员账号&quot;admin&quot;，初始密码为空</source>
        <translation>The administrator&apos;s account is &quot;admin&quot;, with an empty initial password</translation>
    </message>
    <message>
        <source>服务器</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>用户名</source>
        <translation>User name</translation>
    </message>
    <message>
        <source>用户名列表</source>
        <translation>User names</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>账套</source>
        <translation>Account set</translation>
    </message>
    <message>
        <source>会计年度</source>
        <translation>Fiscal year</translation>
    </message>
    <message>
        <source>系统库不存在</source>
        <translation>The system database does not exist</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>无法打开系统库：%1</source>
        <translation>Cannot open the system database: %1</translation>
    </message>
    <message>
        <source>无法打开服务器 %1 上的系统库：%2</source>
        <translation>Cannot open the system database on the server %1: %2</translation>
    </message>
    <message>
        <source>读取账套失败：%1</source>
        <translation>Could not read the account sets: %1</translation>
    </message>
    <message>
        <source>请输入用户名。</source>
        <translation>Enter a user name.</translation>
    </message>
    <message>
        <source>用户名[%1]不存在，请重新输入。</source>
        <translation>User name [%1] does not exist; enter it again.</translation>
    </message>
    <message>
        <source>该操作员不是系统管理员，请选择要登录的账套。</source>
        <translation>This operator is not the administrator; choose the account set to log in to.</translation>
    </message>
    <message>
        <source>控制台</source>
        <translation>Console</translation>
    </message>
    <message>
        <source>正常(0)</source>
        <translation>Normal (0)</translation>
    </message>
    <message>
        <source>^账套号|^年度|^操作员|^执行功能</source>
        <translation>^Set no.|^Year|^Operator|^Function</translation>
    </message>
    <message>
        <source>操作员[%1]</source>
        <translation>Operator [%1]</translation>
    </message>
    <message>
        <source>服务器[%1]</source>
        <translation>Server [%1]</translation>
    </message>
    <message>
        <source>当前帐套：[%1] 会计年度：[%2]</source>
        <translation>Account set: [%1] Fiscal year: [%2]</translation>
    </message>
    <message>
        <source>注册〖控制台〗</source>
        <translation>Log in [Console]</translation>
    </message>
    <message>
        <source>本安装已迁移到服务器[%1]。
切换到服务器上的安装吗？</source>
        <translation>This installation has moved to the server [%1].
Switch to the installation on the server?</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>子系统</source>
        <translation>Subsystems</translation>
    </message>
    <message>
        <source>执行功能</source>
        <translation>Functions in use</translation>
    </message>
    <message>
        <source>系统(&amp;S)</source>
        <translation>&amp;System</translation>
    </message>
    <message>
        <source>注册(&amp;R)...</source>
        <translation>&amp;Log in...</translation>
    </message>
    <message>
        <source>设置SQL Server口令</source>
        <translation>Set SQL Server password</translation>
    </message>
    <message>
        <source>升级SQL Server数据</source>
        <translation>Upgrade SQL Server data</translation>
    </message>
    <message>
        <source>注销(&amp;U)</source>
        <translation>Log o&amp;ut</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>账套(&amp;A)</source>
        <translation>&amp;Account set</translation>
    </message>
    <message>
        <source>建立(&amp;C)...</source>
        <translation>&amp;Create...</translation>
    </message>
    <message>
        <source>修改(&amp;E)...</source>
        <translation>&amp;Edit...</translation>
    </message>
    <message>
        <source>引入(&amp;I)...</source>
        <translation>&amp;Import...</translation>
    </message>
    <message>
        <source>输出(&amp;X)...</source>
        <translation>E&amp;xport...</translation>
    </message>
    <message>
        <source>启用(&amp;S)</source>
        <translation>&amp;Enable subsystems</translation>
    </message>
    <message>
        <source>年度账(&amp;Y)</source>
        <translation>&amp;Year books</translation>
    </message>
    <message>
        <source>清空年度数据(&amp;D)...</source>
        <translation>&amp;Clear a year&apos;s data...</translation>
    </message>
    <message>
        <source>结转上年数据(&amp;T)</source>
        <translation>Carry forward last year&apos;s da&amp;ta</translation>
    </message>
    <message>
        <source>权限(&amp;O)</source>
        <translation>Permissi&amp;ons</translation>
    </message>
    <message>
        <source>角色(&amp;G)...</source>
        <translation>&amp;Roles...</translation>
    </message>
    <message>
        <source>操作员(&amp;U)...</source>
        <translation>&amp;Operators...</translation>
    </message>
    <message>
        <source>权限(&amp;J)...</source>
        <translation>&amp;Permissions...</translation>
    </message>
    <message>
        <source>视图(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>刷新(&amp;R)</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>清除异常任务(&amp;C)</source>
        <translation>&amp;Clear failed tasks</translation>
    </message>
    <message>
        <source>清除单据锁定(&amp;U)</source>
        <translation>Clear doc&amp;ument locks</translation>
    </message>
    <message>
        <source>系统日志(&amp;S)</source>
        <translation>&amp;System log</translation>
    </message>
    <message>
        <source>上机日志(&amp;L)...</source>
        <translation>Activity &amp;log...</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>青木系统管理帮助(&amp;I)</source>
        <translation>Qingmu System Administration Help (&amp;I)</translation>
    </message>
    <message>
        <source>网上青木(&amp;W)...</source>
        <translation>Qingmu on the &amp;web...</translation>
    </message>
    <message>
        <source>关于青木管理系统(&amp;A)...</source>
        <translation>&amp;About Qingmu System Administration...</translation>
    </message>
    <message>
        <source>系统库不存在，无法启动系统管理！</source>
        <translation>The system database does not exist; System Administration cannot start!</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>^子系统|^站点|^运行状态|^注册时间</source>
        <translation>^Subsystem|^Station|^State|^Logged in at</translation>
    </message>
    <message>
        <source>〖系统管理〗</source>
        <translation>[System Administration]</translation>
    </message>
    <message>
        <source>正常(1)</source>
        <translation>Normal (1)</translation>
    </message>
    <message>
        <source>操作员[]</source>
        <translation>Operator []</translation>
    </message>
    <message>
        <source>服务器[]</source>
        <translation>Server []</translation>
    </message>
    <message>
        <source>系统库未打开，无法引入帐套！</source>
        <translation>The system database is not open; the account set cannot be imported!</translation>
    </message>
    <message>
        <source>提示信息</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>系统库未打开，无法启用系统！</source>
        <translation>The system database is not open; subsystems cannot be enabled!</translation>
    </message>
    <message>
        <source>账套[%1]不存在，无法启用系统！</source>
        <translation>Account set [%1] does not exist; subsystems cannot be enabled!</translation>
    </message>
    <message>
        <source>无法读取账套[%1]：%2</source>
        <translation>Cannot read account set [%1]: %2</translation>
    </message>
    <message>
        <source>找不到账套[%1]的账套库：%2，无法启用系统！</source>
        <translation>The account database of account set [%1] is missing: %2; subsystems cannot be enabled!</translation>
    </message>
    <message>
        <source>系统日志</source>
        <translation>System log</translation>
    </message>
    <message>
        <source>请先注册（登录）到账套，再查看系统日志。</source>
        <translation>Log in to an account set first, then view the system log.</translation>
    </message>
    <message>
        <source>系统日志——账套[%1]</source>
        <translation>System log — account set [%1]</translation>
    </message>
    <message>
        <source>revozi〖系统管理〗</source>
        <translation>revozi [System Administration]</translation>
    </message>
</context>
<context>
    <name>frmMigrate</name>
    <message>
        <source>升级SQL Server数据</source>
        <translation>Upgrade SQL Server data</translation>
    </message>
    <message>
        <source>正在把本安装复制到服务器[%1]……</source>
        <translation>Copying this installation to the server [%1]…</translation>
    </message>
    <message>
        <source>正在复制 %1（%2 / %3）</source>
        <translation>Copying %1 (%2 / %3)</translation>
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
    <name>frmPassword</name>
    <message>
        <source>设置操作口令</source>
        <translation>Set password</translation>
    </message>
    <message>
        <source>旧密码</source>
        <translation>Old password</translation>
    </message>
    <message>
        <source>新密码</source>
        <translation>New password</translation>
    </message>
    <message>
        <source>确认密码</source>
        <translation>Confirm password</translation>
    </message>
    <message>
        <source>旧密码(&amp;J):</source>
        <translation>&amp;Old password:</translation>
    </message>
    <message>
        <source>新密码(&amp;N):</source>
        <translation>&amp;New password:</translation>
    </message>
    <message>
        <source>确认密码(&amp;F):</source>
        <translation>Con&amp;firm password:</translation>
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
    <name>frmServerPassword</name>
    <message>
        <source>设置SQL Server口令</source>
        <translation>Set SQL Server password</translation>
    </message>
    <message>
        <source>原口令</source>
        <translation>Current password</translation>
    </message>
    <message>
        <source>新口令</source>
        <translation>New password</translation>
    </message>
    <message>
        <source>确认新口令</source>
        <translation>Confirm the new password</translation>
    </message>
    <message>
        <source>服务器:</source>
        <translation>Server:</translation>
    </message>
    <message>
        <source>原口令(&amp;O):</source>
        <translation>&amp;Current password:</translation>
    </message>
    <message>
        <source>新口令(&amp;N):</source>
        <translation>&amp;New password:</translation>
    </message>
    <message>
        <source>确认新口令(&amp;F):</source>
        <translation>Con&amp;firm the new password:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>新口令不能为空。</source>
        <translation>The new password cannot be empty.</translation>
    </message>
    <message>
        <source>两次输入的新口令不一致，请重新输入。</source>
        <translation>The two new passwords differ; type them again.</translation>
    </message>
</context>
<context>
    <name>frmWeb</name>
    <message>
        <source>网络资源</source>
        <translation>Network resources</translation>
    </message>
    <message>
        <source>使用过的服务器</source>
        <translation>Servers used before</translation>
    </message>
    <message>
        <source>服务</source>
        <translation>Services</translation>
    </message>
    <message>
        <source>使用过的服务器(&amp;U)</source>
        <translation>Servers &amp;used before</translation>
    </message>
    <message>
        <source>服务 pg_service.conf(&amp;V)</source>
        <translation>Ser&amp;vices in pg_service.conf</translation>
    </message>
    <message>
        <source>连接串</source>
        <translation>Connection string</translation>
    </message>
    <message>
        <source>host=主机 port=5432 dbname=数据库 user=用户，或 service=服务名</source>
        <translation>host=HOST port=5432 dbname=DATABASE user=USER, or service=NAME</translation>
    </message>
    <message>
        <source>连接串(&amp;C)</source>
        <translation>&amp;Connection string</translation>
    </message>
    <message>
        <source>测试(&amp;T)</source>
        <translation>&amp;Test</translation>
    </message>
    <message>
        <source>选择</source>
        <translation>Choose</translation>
    </message>
    <message>
        <source>放弃</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>当前：</source>
        <translation>Current: </translation>
    </message>
    <message>
        <source>(本机) 安装目录中的系统库</source>
        <translation>(this computer) the system database in the installation folder</translation>
    </message>
    <message>
        <source>请输入服务器的连接串（如 host=主机 dbname=数据库），或从列表中选择一个。</source>
        <translation>Enter the server&apos;s connection string (such as host=HOST dbname=DATABASE), or choose one from the list.</translation>
    </message>
    <message>
        <source>
（%1）</source>
        <translation>
(%1)</translation>
    </message>
    <message>
        <source>连接成功：服务器 %1 上有系统管理的安装，可以选择它。</source>
        <translation>Connected: the server %1 holds a System Administration installation; you can choose it.</translation>
    </message>
    <message>
        <source>无法使用服务器 %1：
%2</source>
        <translation>Cannot use the server %1:
%2</translation>
    </message>
    <message>
        <source>网络计算机浏览</source>
        <translation>Network computers</translation>
    </message>
</context>
</TS>
