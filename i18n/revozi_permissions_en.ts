<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>GrantDialog</name>
    <message>
        <source>产品分类选择</source>
        <translation>Product categories</translation>
    </message>
    <message>
        <source>产品分类</source>
        <translation>Product categories</translation>
    </message>
    <message>
        <source>明细权限选择</source>
        <translation>Detailed permissions</translation>
    </message>
    <message>
        <source>明细权限</source>
        <translation>Detailed permissions</translation>
    </message>
    <message>
        <source>说明：在“授权”列处进行双击，左边为模块大类授权，右边为明细类授权；先通过左边大类选择双击后，再在明细权限进行选择。</source>
        <translation>Note: double-click in the “Add” column. The left grid grants a whole module category, the right grid one permission at a time; double-click a category on the left first, then choose among the detailed permissions.</translation>
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
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>授权|ID|系统名称</source>
        <translation>Add|ID|Module</translation>
    </message>
    <message>
        <source>|ID|系统名称</source>
        <translation>|ID|Module</translation>
    </message>
    <message>
        <source>授权|ID|权限名称|</source>
        <translation>Add|ID|Permission|</translation>
    </message>
    <message>
        <source>系统库未打开</source>
        <translation>The system database is not open</translation>
    </message>
</context>
<context>
    <name>frmAddPopTree</name>
    <message>
        <source>权限树</source>
        <translation>Permission tree</translation>
    </message>
</context>
<context>
    <name>frmUserPop</name>
    <message>
        <source>系统库未打开</source>
        <translation>The system database is not open</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>增加操作权限</source>
        <translation>Add permissions</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>删除操作权限</source>
        <translation>Delete permissions</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>刷新显示内容</source>
        <translation>Refresh the display</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>显示当前帮助信息</source>
        <translation>Show help for this window</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>退出权限设置</source>
        <translation>Leave the permission settings</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>操作员ID|操作员全名|用户类型</source>
        <translation>Operator|Full name|Type</translation>
    </message>
    <message>
        <source>年度</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>账套</source>
        <translation>Account set</translation>
    </message>
    <message>
        <source>账套主管</source>
        <translation>Supervisor</translation>
    </message>
    <message>
        <source>权限</source>
        <translation>Permissions</translation>
    </message>
    <message>
        <source>说明：增加权限时，注意选择相关的账套和年度。</source>
        <translation>Note: when adding permissions, choose the account set and the year they are for.</translation>
    </message>
    <message>
        <source>就绪...</source>
        <translation>Ready...</translation>
    </message>
    <message>
        <source>权限|权限名称|隶属系统</source>
        <translation>Code|Permission|Module</translation>
    </message>
    <message>
        <source>用户</source>
        <translation>User</translation>
    </message>
    <message>
        <source>系统管理</source>
        <translation>System administration</translation>
    </message>
    <message>
        <source>请选择操作员！</source>
        <translation>Please choose an operator!</translation>
    </message>
    <message>
        <source>取消操作员:[%1]账套主管权限吗?</source>
        <translation>Remove the supervisor right of operator [%1] for this account set?</translation>
    </message>
    <message>
        <source>设置操作员:[%1]账套主管权限吗?</source>
        <translation>Make operator [%1] supervisor of this account set?</translation>
    </message>
    <message>
        <source>请选择账套！</source>
        <translation>Please choose an account set!</translation>
    </message>
    <message>
        <source>增加权限--[%1]</source>
        <translation>Add permissions--[%1]</translation>
    </message>
    <message>
        <source>删除操作员:[%1]所有权限吗?</source>
        <translation>Delete all permissions of operator [%1]?</translation>
    </message>
    <message>
        <source>权限没有保存，原有权限保持不变：
%1</source>
        <translation>The permissions were not saved; the existing ones are unchanged:
%1</translation>
    </message>
    <message>
        <source>操作员权限</source>
        <translation>Operator permissions</translation>
    </message>
    <message>
        <source> 〖系统管理〗</source>
        <translation> [System Administration]</translation>
    </message>
    <message>
        <source> reredezozav〖系统管理〗</source>
        <translation> reredezozav [System Administration]</translation>
    </message>
</context>
</TS>
