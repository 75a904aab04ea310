<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>RoleForm</name>
    <message>
        <source>角色编号：</source>
        <translation>Role ID:</translation>
    </message>
    <message>
        <source>角色名称：</source>
        <translation>Role name:</translation>
    </message>
    <message>
        <source>备注：</source>
        <translation>Note:</translation>
    </message>
    <message>
        <source>所属用户名称：</source>
        <translation>Member operators:</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>全消</source>
        <translation>Clear all</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>UserForm</name>
    <message>
        <source>编号:</source>
        <translation>ID:</translation>
    </message>
    <message>
        <source>姓名:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>口令:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>确认口令:</source>
        <translation>Confirm password:</translation>
    </message>
    <message>
        <source>所属部门:</source>
        <translation>Department:</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
</context>
<context>
    <name>UsersUi</name>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Edit</translation>
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
        <source> 〖系统管理〗</source>
        <translation> [System Administration]</translation>
    </message>
    <message>
        <source>reredezozav【系统管理】</source>
        <translation>reredezozav [System Administration]</translation>
    </message>
    <message>
        <source>【系统管理】</source>
        <translation>[System Administration]</translation>
    </message>
</context>
<context>
    <name>frmAddRole</name>
    <message>
        <source>增加角色</source>
        <translation>Add role</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>读取操作员失败：%1</source>
        <translation>Could not read the operators: %1</translation>
    </message>
</context>
<context>
    <name>frmAddUser</name>
    <message>
        <source>增加操作员</source>
        <translation>Add operator</translation>
    </message>
    <message>
        <source>所属角色：</source>
        <translation>Roles:</translation>
    </message>
    <message>
        <source>Tk通号：</source>
        <translation>Tk account:</translation>
    </message>
    <message>
        <source>增加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>读取角色失败：%1</source>
        <translation>Could not read the roles: %1</translation>
    </message>
</context>
<context>
    <name>frmEditRole</name>
    <message>
        <source>修改角色信息</source>
        <translation>Edit role</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Edit</translation>
    </message>
</context>
<context>
    <name>frmEditUser</name>
    <message>
        <source>修改操作员信息</source>
        <translation>Edit operator</translation>
    </message>
    <message>
        <source>Tk通号:</source>
        <translation>Tk account:</translation>
    </message>
    <message>
        <source>注销当前操作员</source>
        <translation>Disable this operator</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>启用当前操作员</source>
        <translation>Enable this operator</translation>
    </message>
</context>
<context>
    <name>frmrole</name>
    <message>
        <source>角色管理</source>
        <translation>Roles</translation>
    </message>
    <message>
        <source>增加角色</source>
        <translation>Add role</translation>
    </message>
    <message>
        <source>删除角色</source>
        <translation>Delete role</translation>
    </message>
    <message>
        <source>修改角色属性</source>
        <translation>Edit role properties</translation>
    </message>
    <message>
        <source>刷新显示内容</source>
        <translation>Refresh the display</translation>
    </message>
    <message>
        <source>显示当前帮助信息</source>
        <translation>Show help for this window</translation>
    </message>
    <message>
        <source>退出角色管理</source>
        <translation>Close roles</translation>
    </message>
    <message>
        <source>角色</source>
        <translation>Role</translation>
    </message>
    <message>
        <source>^角色ID|^角色名称|^备注</source>
        <translation>^Role ID|^Role name|^Note</translation>
    </message>
    <message>
        <source>读取角色失败：%1</source>
        <translation>Could not read the roles: %1</translation>
    </message>
    <message>
        <source>确认删除角色:[</source>
        <translation>Delete role [</translation>
    </message>
    <message>
        <source>]吗?</source>
        <translation>]?</translation>
    </message>
    <message>
        <source>读取角色成员失败：%1</source>
        <translation>Could not read the role's members: %1</translation>
    </message>
</context>
<context>
    <name>frmuser</name>
    <message>
        <source>有效</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>注销</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>操作员管理</source>
        <translation>Operators</translation>
    </message>
    <message>
        <source>增加操作员</source>
        <translation>Add operator</translation>
    </message>
    <message>
        <source>删除操作员</source>
        <translation>Delete operator</translation>
    </message>
    <message>
        <source>修改操作员属性</source>
        <translation>Edit operator properties</translation>
    </message>
    <message>
        <source>刷新显示内容</source>
        <translation>Refresh the display</translation>
    </message>
    <message>
        <source>显示当前帮助信息</source>
        <translation>Show help for this window</translation>
    </message>
    <message>
        <source>退出操作员管理</source>
        <translation>Close operators</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>^操作员ID|^操作员全名|^部门|^状态|^口令||^Tk通号</source>
        <translation>^Operator|^Full name|^Department|^State|^Password||^Tk account</translation>
    </message>
    <message>
        <source>读取操作员失败：%1</source>
        <translation>Could not read the operators: %1</translation>
    </message>
    <message>
        <source>确认删除操作员:[</source>
        <translation>Delete operator [</translation>
    </message>
    <message>
        <source>]吗?</source>
        <translation>]?</translation>
    </message>
    <message>
        <source>启用当前操作员</source>
        <translation>Enable this operator</translation>
    </message>
</context>
</TS>
