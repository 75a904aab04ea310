<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>HelpWindow</name>
    <message>
        <source>目录(&amp;C)</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <source>后退(&amp;B)</source>
        <translation>&amp;Back</translation>
    </message>
    <message>
        <source>前进(&amp;F)</source>
        <translation>&amp;Forward</translation>
    </message>
    <message>
        <source>搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>输入要查找的词，以空格分开</source>
        <translation>Words to find, separated by spaces</translation>
    </message>
    <message>
        <source>搜索(&amp;S)</source>
        <translation>&amp;Search</translation>
    </message>
    <message>
        <source>目录</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>帮助内容</source>
        <translation>Help contents</translation>
    </message>
    <message>
        <source>没有找到“%1”。</source>
        <translation>&quot;%1&quot; was not found.</translation>
    </message>
</context>
<context>
    <name>WorkWindow</name>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
