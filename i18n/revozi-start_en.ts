<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>revozi-start</name>
    <message>
        <source>用法: revozi [ROOT]
  启动 revozi 系统管理控制台（revozi-admin）。
  不给 ROOT 时使用您自己的安装 $XDG_DATA_HOME/revozi（默认 ~/.local/share/revozi）；
  第一次启动时，从终端启动则先说明再用 revozi-setup 建立它；从菜单启动则问怎样开始：
  建立我自己的安装、连接单位的服务器（网络计算机浏览，然后登录），或取消。
  给出 ROOT 时直接在安装目录 ROOT 上启动控制台。
选项:
  -h, --help     显示本帮助
  --version      显示版本
退出状态：控制台的退出状态；1 安装未建立或控制台无法启动，2 用法错误。
</source>
        <translation>Usage: revozi [ROOT]
  Starts the revozi System Administration console (revozi-admin).
  Without ROOT it uses your own installation $XDG_DATA_HOME/revozi (default ~/.local/share/revozi);
  on the first start from a terminal it says so and makes it with revozi-setup; from the menu it asks how to begin:
  make my own installation, connect to the office's server (Network computers, then log in), or cancel.
  With ROOT it starts the console on the installation folder ROOT.
Options:
  -h, --help     show this help
  --version      show the version
Exit status: the console's exit status; 1 the installation was not made or the console could not start, 2 usage error.
</translation>
    </message>
    <message>
        <source>用法错误（revozi --help 列出用法）</source>
        <translation>usage error (revozi --help lists the usage)</translation>
    </message>
    <message>
        <source>无法启动控制台 %1：%2</source>
        <translation>Cannot start the console %1: %2</translation>
    </message>
</context>
</TS>
