<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>revozi-admin</name>
    <message>
        <source>用法: revozi-admin ROOT[,...]
  在安装目录 ROOT（含系统库 DeZaduzi/DeZaduzi.mdb）上启动 revozi 系统管理控制台。
  命令行中第一个逗号之前的部分是安装目录；没有命令行时程序立即结束。
  从菜单启动请用 revozi，它在第一次启动时建立您自己的安装。
用法: revozi-admin --server CONNINFO
  在服务器上的安装（libpq 连接串，口令放在 ~/.pgpass）上启动控制台并打开登录窗口，
  登录窗口预先选好该服务器；不需要安装目录。
环境变量:
  REVOZI_SYSDIR=DIR   系统目录，其中可有镜像系统库 DeZaduzi/DeZaduzi.mdb
  REVOZI_EDITION=1    以版本 1 运行（树形授权对话框，登录时无服务器一行）
选项（单独给出时）:
  -h, --help          显示本帮助
  --version           显示版本
</source>
        <translation>Usage: revozi-admin ROOT[,...]
  Starts the revozi System Administration console on the installation folder ROOT (holding the system database DeZaduzi/DeZaduzi.mdb).
  The part of the command line before the first comma is the installation folder; without a command line the program ends at once.
  To start from the menu use revozi, which makes your own installation on the first start.
Usage: revozi-admin --server CONNINFO
  Starts the console on an installation on a server (a libpq connection string, the password in ~/.pgpass) and opens the login window,
  with that server already chosen; no installation folder is needed.
Environment:
  REVOZI_SYSDIR=DIR   the system folder, which may hold a mirror system database DeZaduzi/DeZaduzi.mdb
  REVOZI_EDITION=1    run as edition 1 (the tree grant dialog, no server row at login)
Options (given alone):
  -h, --help          show this help
  --version           show the version
</translation>
    </message>
    <message>
        <source>连接串无法读取：</source>
        <translation>cannot read the connection string: </translation>
    </message>
</context>
</TS>
