<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>FirstStart</name>
    <message>
        <source>revozi 系统管理</source>
        <translation>revozi System Administration</translation>
    </message>
    <message>
        <source>首次启动：这台计算机上还没有您的安装。请选择怎样开始：

建立我自己的安装：在 %1 建立新的安装（系统库 DeZaduzi/DeZaduzi.mdb），以后每次启动都使用它。

连接单位的服务器：在“网络计算机浏览”中选择单位服务器上的安装，然后登录；本机不建立任何东西。

取消：什么也不建立。</source>
        <translation>First start: this computer has no installation of yours yet. Choose how to begin:

Make my own installation: a new installation is made in %1 (system database DeZaduzi/DeZaduzi.mdb) and used on every start from then on.

Connect to the office's server: choose the installation on the office's server in "Network computers", then log in; nothing is made on this computer.

Cancel: nothing is made.</translation>
    </message>
    <message>
        <source>建立我自己的安装(&amp;M)</source>
        <translation>&amp;Make my own installation</translation>
    </message>
    <message>
        <source>连接单位的服务器(&amp;S)...</source>
        <translation>Connect to the office's &amp;server...</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Launcher</name>
    <message>
        <source>revozi 系统管理</source>
        <translation>revozi System Administration</translation>
    </message>
    <message>
        <source>首次启动：将在 %1 建立您自己的安装（系统库 DeZaduzi/DeZaduzi.mdb），以后每次启动都使用它。</source>
        <translation>First start: your own installation will be made in %1 (system database DeZaduzi/DeZaduzi.mdb) and used on every start from then on.</translation>
    </message>
    <message>
        <source>无法启动 %1（详情：“%2”）</source>
        <translation>Cannot start %1 (details: "%2")</translation>
    </message>
    <message>
        <source>%1 未能正常结束（详情：“%2”）</source>
        <translation>%1 did not finish normally (details: "%2")</translation>
    </message>
    <message>
        <source>退出状态 %1</source>
        <translation>exit status %1</translation>
    </message>
    <message>
        <source>无法在 %1 建立安装：%2</source>
        <translation>Cannot make the installation in %1: %2</translation>
    </message>
    <message>
        <source>已建立安装 %1</source>
        <translation>Installation made in %1</translation>
    </message>
</context>
</TS>
