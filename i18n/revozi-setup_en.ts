<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>revozi-setup</name>
    <message>
        <source>用法:
  revozi-setup ROOT [--demo]
      在 ROOT 建立新的安装（系统库 ROOT/DeZaduzi/DeZaduzi.mdb）；已有系统库时拒绝，不会覆盖。
      只有系统管理员 admin（初始密码为空）。给出 --demo 时另建示例操作员（密码为空）和一个演示账套
      [001]演示账套（账套主管 demo，2007年新会计准则，本年度），只用于演示。
  revozi-setup --server CONNINFO [--demo]
      在 PostgreSQL 数据库中建立服务器安装（CONNINFO 为 libpq 连接串，如 &quot;host=srv dbname=revozi&quot;，
      或 &quot;service=名称&quot;（pg_service.conf）；密码取自 ~/.pgpass，不可写在命令行上）。
      该数据库中已有安装时拒绝，不会覆盖。
  revozi-setup --migrate ROOT --server CONNINFO
      把 ROOT 的安装（系统库和所有账套各年度的账套库）迁移到 CONNINFO 所指的空数据库，在一个事务中完成，
      提交前逐表核对两边的内容；有任何不同、失败或中断都全部撤销。原安装不删除，只记下已迁移到的服务器。
  revozi-setup --template FILE
      写出账套库模板（构建时使用）。
  -h, --help     显示本帮助
  --version      显示版本
退出状态：0 成功，1 失败（原因写到标准错误），2 用法错误。
</source>
        <translation>Usage:
  revozi-setup ROOT [--demo]
      Makes a new installation in ROOT (system database ROOT/DeZaduzi/DeZaduzi.mdb); refuses, overwriting
      nothing, when a system database is there. Only the administrator admin (empty initial password).
      With --demo it also makes sample operators (empty passwords) and a demo account set
      [001]演示账套 (supervisor demo, the 2007 accounting standards, this year), for demonstration only.
  revozi-setup --server CONNINFO [--demo]
      Makes a server installation in a PostgreSQL database (CONNINFO is a libpq connection string such as
      "host=srv dbname=revozi", or "service=NAME" (pg_service.conf); the password comes from ~/.pgpass
      and may not be written on the command line). Refuses, overwriting nothing, when the database
      already holds an installation.
  revozi-setup --migrate ROOT --server CONNINFO
      Moves the installation in ROOT (the system database and every account set's books of every year)
      into the empty database CONNINFO names, in one transaction, comparing every table on both sides
      before the commit; any difference, failure or interruption undoes everything. The installation's
      files are not deleted; they only record the server they were moved to.
  revozi-setup --template FILE
      Writes the account database template (used by the build).
  -h, --help     show this help
  --version      show the version
Exit status: 0 success, 1 failure (the reason goes to standard error), 2 usage error.
</translation>
    </message>
    <message>
        <source>已在服务器上建立演示账套 [001]演示账套</source>
        <translation>Demo account set [001]演示账套 made on the server</translation>
    </message>
    <message>
        <source>已在 %1 建立演示账套 [001]演示账套</source>
        <translation>Demo account set [001]演示账套 made in %1</translation>
    </message>
    <message>
        <source>无法设置模板的自动清理方式：%1</source>
        <translation>Cannot set the template's auto-vacuum mode: %1</translation>
    </message>
    <message>
        <source>连接串中不能写密码，请放在 ~/.pgpass 中。</source>
        <translation>A connection string may not hold a password; put it in ~/.pgpass.</translation>
    </message>
    <message>
        <source>用法: revozi-setup ROOT [--demo]
      revozi-setup --server CONNINFO [--demo]
      revozi-setup --migrate ROOT --server CONNINFO
      revozi-setup --template FILE
（revozi-setup --help 列出用法）</source>
        <translation>Usage: revozi-setup ROOT [--demo]
       revozi-setup --server CONNINFO [--demo]
       revozi-setup --migrate ROOT --server CONNINFO
       revozi-setup --template FILE
(revozi-setup --help lists the usage)</translation>
    </message>
    <message>
        <source>已在服务器 %1 上建立安装</source>
        <translation>Installation made on the server %1</translation>
    </message>
    <message>
        <source>已在 %1 建立安装</source>
        <translation>Installation made in %1</translation>
    </message>
    <message>
        <source>复制 %1（%2 / %3 MB）</source>
        <translation>Copying %1 (%2 / %3 MB)</translation>
    </message>
</context>
</TS>
