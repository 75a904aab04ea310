<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AccInformation</name>
    <message>
        <source>账套库的选项表（AccInformation）中缺少“%1”一行，账套库可能已损坏。</source>
        <translation>The options table (AccInformation) of the account set&apos;s database has no row “%1”; the database may be damaged.</translation>
    </message>
</context>
<context>
    <name>AccountDb</name>
    <message>
        <source>账套[%1]不存在。</source>
        <translation>Account set [%1] does not exist.</translation>
    </message>
    <message>
        <source>找不到账套[%1]的账套库：%2</source>
        <translation>The database of account set [%1] cannot be found: %2</translation>
    </message>
</context>
<context>
    <name>AccountDeletion</name>
    <message>
        <source>上次删除账套未完成，无法恢复</source>
        <translation>The last deletion of an account set did not finish and cannot be undone</translation>
    </message>
    <message>
        <source>无法删除文件 %1</source>
        <translation>The file %1 cannot be deleted</translation>
    </message>
    <message>
        <source>文件 %1 与 %2 同时存在</source>
        <translation>The files %1 and %2 both exist</translation>
    </message>
    <message>
        <source>无法恢复文件 %1</source>
        <translation>The file %1 cannot be restored</translation>
    </message>
</context>
<context>
    <name>AccountExporter</name>
    <message>
        <source>无法识别表结构：%1</source>
        <translation>The table definition cannot be read: %1</translation>
    </message>
    <message>
        <source>%1 仍有 %2 个空闲页</source>
        <translation>%1 still has %2 free pages</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>账套[%1]不存在</source>
        <translation>Account set [%1] does not exist</translation>
    </message>
    <message>
        <source>找不到账套库 %1</source>
        <translation>The account set database %1 cannot be found</translation>
    </message>
    <message>
        <source>无法删除旧的临时文件</source>
        <translation>The old temporary file cannot be deleted</translation>
    </message>
    <message>
        <source>无法建立临时目录</source>
        <translation>The temporary folder cannot be made</translation>
    </message>
    <message>
        <source>无法改名 %1</source>
        <translation>%1 cannot be renamed</translation>
    </message>
    <message>
        <source>没有生成备份数据</source>
        <translation>No backup data was made</translation>
    </message>
    <message>
        <source>系统库中没有表 %1</source>
        <translation>The system database has no table %1</translation>
    </message>
    <message>
        <source>无法读取 %1：%2</source>
        <translation>%1 cannot be read: %2</translation>
    </message>
    <message>
        <source>数据文件未通过完整性检查：%1</source>
        <translation>The data file failed the integrity check: %1</translation>
    </message>
    <message>
        <source>账套[%1]不存在。</source>
        <translation>Account set [%1] does not exist.</translation>
    </message>
    <message>
        <source>账套[%1]的账套库正被其他程序使用，无法输出，请关闭使用它的程序后再试。</source>
        <translation>The database of account set [%1] is in use by another program and cannot be exported. Close the program using it and try again.</translation>
    </message>
    <message>
        <source>找不到备份数据文件 %1。</source>
        <translation>The backup data file %1 cannot be found.</translation>
    </message>
    <message>
        <source>备份目录 %1 不存在。</source>
        <translation>The backup folder %1 does not exist.</translation>
    </message>
    <message>
        <source>加密备份的口令不能为空。</source>
        <translation>The passphrase of an encrypted backup cannot be empty.</translation>
    </message>
    <message>
        <source>无法生成 %1。</source>
        <translation>%1 cannot be made.</translation>
    </message>
    <message>
        <source>无法删除 %1。</source>
        <translation>%1 cannot be deleted.</translation>
    </message>
</context>
<context>
    <name>AccountImporter</name>
    <message>
        <source>无法写入：</source>
        <translation>Cannot write: </translation>
    </message>
    <message>
        <source>无法放入帐套库：</source>
        <translation>The account set database cannot be put in place: </translation>
    </message>
    <message>
        <source>帐套[%1] %2年度引入成功！</source>
        <translation>Year %2 of account set [%1] imported!</translation>
    </message>
    <message>
        <source>该备份是账套[%1]的数据，不能引入到账套[%2]。</source>
        <translation>This backup holds the data of account set [%1]; it cannot be imported into account set [%2].</translation>
    </message>
    <message>
        <source>本系统中没有角色%1，其在本帐套的权限未引入</source>
        <translation>This installation has no role %1; its permissions in this account set were not imported</translation>
    </message>
    <message>
        <source>帐套[%1]引入成功！</source>
        <translation>Account set [%1] imported!</translation>
    </message>
    <message>
        <source>。</source>
        <translation>.</translation>
    </message>
    <message>
        <source>完整性检查失败</source>
        <translation>The integrity check failed</translation>
    </message>
    <message>
        <source>引入的数据文件不是帐套数据，无法引入！</source>
        <translation>The data file is not account set data and cannot be imported!</translation>
    </message>
    <message>
        <source>引入的数据文件中没有帐套库的表（%1），不是帐套数据，无法引入！</source>
        <translation>The data file lacks the account set database&apos;s tables (%1): it is not account set data and cannot be imported!</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>引入的数据文件中的帐套信息无法读取，无法引入！</source>
        <translation>The account set information in the data file cannot be read; it cannot be imported!</translation>
    </message>
    <message>
        <source>引入的数据文件是帐套[%1]的数据，不是引入文件中的帐套[%2]，无法引入！</source>
        <translation>The data file holds account set [%1], not account set [%2] named in the backup file; it cannot be imported!</translation>
    </message>
    <message>
        <source>引入的数据文件是%1年度的数据，与引入文件中的年度[%2]不符，无法引入！</source>
        <translation>The data file holds the year %1, which does not match the year [%2] in the backup file; it cannot be imported!</translation>
    </message>
    <message>
        <source>校验文件%1无法使用，无法引入！</source>
        <translation>The manifest %1 cannot be used; nothing can be imported!</translation>
    </message>
    <message>
        <source>引入的数据文件大小为%1字节，与%2记录的%3字节不符，文件不完整或已被改动，无法引入！</source>
        <translation>The data file has %1 bytes, not the %3 bytes that %2 records: it is incomplete or has been changed and cannot be imported!</translation>
    </message>
    <message>
        <source>校验文件</source>
        <translation>the manifest </translation>
    </message>
    <message>
        <source>引入文件</source>
        <translation>the backup file</translation>
    </message>
    <message>
        <source>帐套库正在使用：</source>
        <translation>The account set database is in use: </translation>
    </message>
    <message>
        <source>无法恢复原帐套库：</source>
        <translation>The original account set database cannot be restored: </translation>
    </message>
    <message>
        <source>帐套路径[%1]不是可用的绝对路径，不能存放帐套[%2]的数据，请重新指定帐套路径。</source>
        <translation>The account set path [%1] is not a usable absolute path and cannot hold the data of account set [%2]. Please choose another path.</translation>
    </message>
    <message>
        <source>帐套[%1]的数据只能放在帐套目录zt%1的%2年度目录中，不能放入：%3</source>
        <translation>The data of account set [%1] can only go into the year %2 folder of its folder zt%1, not into: %3</translation>
    </message>
    <message>
        <source>请重新指定帐套路径。</source>
        <translation>Please choose another account set path.</translation>
    </message>
    <message>
        <source>本系统帐套[%1]%2的%3年度</source>
        <translation>the year %3 of this installation&apos;s account set [%1] %2</translation>
    </message>
    <message>
        <source>不属于本系统帐套[%1]%2年度的帐套</source>
        <translation>an account set that is not this installation&apos;s account set [%1], year %2</translation>
    </message>
    <message>
        <source>帐套目录中已有%1数据，引入不能覆盖：</source>
        <translation>The account set folder already holds the data of %1, which an import cannot overwrite: </translation>
    </message>
    <message>
        <source>管理软件【系统管理】</source>
        <translation>Accounting [System Administration]</translation>
    </message>
    <message>
        <source>无法读取引入文件：</source>
        <translation>The backup file cannot be read: </translation>
    </message>
    <message>
        <source>所选文件不是帐套数据备份文件，无法引入！</source>
        <translation>The chosen file is not an account set backup file and cannot be imported!</translation>
    </message>
    <message>
        <source>引入文件不完整（只有%1行），无法引入！</source>
        <translation>The backup file is incomplete (only %1 lines) and cannot be imported!</translation>
    </message>
    <message>
        <source>引入文件中的帐套号[%1]无效，无法引入！</source>
        <translation>The account set number [%1] in the backup file is not valid; it cannot be imported!</translation>
    </message>
    <message>
        <source>引入文件中的年度[%1]无效，无法引入！</source>
        <translation>The year [%1] in the backup file is not valid; it cannot be imported!</translation>
    </message>
    <message>
        <source>引入文件中的系统标识[%1]无效，无法引入！</source>
        <translation>The system identifier [%1] in the backup file is not valid; it cannot be imported!</translation>
    </message>
    <message>
        <source>引入文件中没有帐套路径，无法引入！</source>
        <translation>The backup file has no account set path; it cannot be imported!</translation>
    </message>
    <message>
        <source>校验文件%1中的年度%2与引入文件中的年度[%3]不符，无法引入！</source>
        <translation>The year %2 in the manifest %1 does not match the year [%3] in the backup file; it cannot be imported!</translation>
    </message>
    <message>
        <source>找不到要引入的文件！</source>
        <translation>The files to import cannot be found!</translation>
    </message>
    <message>
        <source>无法读取系统库：</source>
        <translation>The system database cannot be read: </translation>
    </message>
    <message>
        <source>无法读取引入的数据文件：</source>
        <translation>The data file cannot be read: </translation>
    </message>
    <message>
        <source>无法创建帐套目录：</source>
        <translation>The account set folder cannot be made: </translation>
    </message>
    <message>
        <source>帐套目录不存在：</source>
        <translation>The account set folder does not exist: </translation>
    </message>
    <message>
        <source>引入的数据文件与校验文件%1中的校验值不符，文件已被改动或损坏，无法引入！</source>
        <translation>The data file does not match the checksum in the manifest %1: it has been changed or damaged and cannot be imported!</translation>
    </message>
    <message>
        <source>校验文件%1缺失，无法打开加密或压缩的数据文件，无法引入！</source>
        <translation>The manifest %1 is missing, so the encrypted or compressed data file cannot be opened; it cannot be imported!</translation>
    </message>
    <message>
        <source>%1，无法引入！</source>
        <translation>%1; it cannot be imported!</translation>
    </message>
    <message>
        <source>复制帐套数据失败，无法引入！</source>
        <translation>The account set data could not be copied; it cannot be imported!</translation>
    </message>
    <message>
        <source>引入的数据文件已损坏，无法引入！</source>
        <translation>The data file is damaged and cannot be imported!</translation>
    </message>
    <message>
        <source>帐套[%1]引入失败：</source>
        <translation>Account set [%1] was not imported: </translation>
    </message>
    <message>
        <source>无法建立临时目录，无法引入！</source>
        <translation>The temporary folder cannot be made; nothing can be imported!</translation>
    </message>
    <message>
        <source>帐套[%1]的账套库正在使用，无法覆盖：</source>
        <translation>The database of account set [%1] is in use and cannot be overwritten: </translation>
    </message>
    <message>
        <source>帐套[%1]引入失败，无法写入：</source>
        <translation>Account set [%1] was not imported; cannot write: </translation>
    </message>
    <message>
        <source>帐套[%1]引入失败，无法移开原帐套库：</source>
        <translation>Account set [%1] was not imported; the original database cannot be moved aside: </translation>
    </message>
    <message>
        <source>帐套[%1]引入失败，无法放入帐套库：</source>
        <translation>Account set [%1] was not imported; the database cannot be put in place: </translation>
    </message>
    <message>
        <source>上次引入帐套未完成，无法恢复，请稍后再试：</source>
        <translation>The last import did not finish and cannot be undone. Please try again later: </translation>
    </message>
</context>
<context>
    <name>AccountSetCreator</name>
    <message>
        <source>创建账套</source>
        <translation>Create account set</translation>
    </message>
    <message>
        <source>修改帐套</source>
        <translation>Modify account set</translation>
    </message>
    <message>
        <source>账套号必须是001到999之间的数字。</source>
        <translation>The account set number must be a number from 001 to 999.</translation>
    </message>
    <message>
        <source>账套名称不能为空。</source>
        <translation>The account set name cannot be empty.</translation>
    </message>
    <message>
        <source>账套路径不能为空。</source>
        <translation>The account set path cannot be empty.</translation>
    </message>
    <message>
        <source>启用会计期的年度不正确。</source>
        <translation>The year of the starting period is not valid.</translation>
    </message>
    <message>
        <source>启用会计期的月份不正确。</source>
        <translation>The month of the starting period is not valid.</translation>
    </message>
    <message>
        <source>请选择账套主管。</source>
        <translation>Please choose the account set supervisor.</translation>
    </message>
    <message>
        <source>账套[%1]的%2年度已经存在，不能重复创建。</source>
        <translation>Account set [%1] already has the year %2; it cannot be created twice.</translation>
    </message>
    <message>
        <source>无法创建文件夹：%1</source>
        <translation>The folder cannot be created: %1</translation>
    </message>
    <message>
        <source>生成账套时出现异常，创建失败！</source>
        <translation>Something went wrong while making the account set; it was not created!</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>创建账套失败：%1</source>
        <translation>The account set was not created: %1</translation>
    </message>
    <message>
        <source>创建账套{%1:[%2]}成功。</source>
        <translation>Account set {%1:[%2]} created.</translation>
    </message>
    <message>
        <source>账套[%1]不存在。</source>
        <translation>Account set [%1] does not exist.</translation>
    </message>
    <message>
        <source>账套出现异常，修改失败！</source>
        <translation>The account set is damaged; it was not modified!</translation>
    </message>
    <message>
        <source>修改账套失败：%1</source>
        <translation>The account set was not modified: %1</translation>
    </message>
    <message>
        <source>修改账套{%1:[%2]}成功。</source>
        <translation>Account set {%1:[%2]} modified.</translation>
    </message>
    <message>
        <source>修改账套</source>
        <translation>Modify account set</translation>
    </message>
</context>
<context>
    <name>Audit</name>
    <message>
        <source>清空年度数据</source>
        <translation>Clear a year&apos;s data</translation>
    </message>
    <message>
        <source>登录</source>
        <translation>Log in</translation>
    </message>
    <message>
        <source>注销</source>
        <translation>Log out</translation>
    </message>
    <message>
        <source>修改口令</source>
        <translation>Change password</translation>
    </message>
    <message>
        <source>增加操作员</source>
        <translation>Add operator</translation>
    </message>
    <message>
        <source>修改操作员</source>
        <translation>Modify operator</translation>
    </message>
    <message>
        <source>注销操作员</source>
        <translation>Cancel operator</translation>
    </message>
    <message>
        <source>删除操作员</source>
        <translation>Delete operator</translation>
    </message>
    <message>
        <source>增加角色</source>
        <translation>Add role</translation>
    </message>
    <message>
        <source>修改角色</source>
        <translation>Modify role</translation>
    </message>
    <message>
        <source>删除角色</source>
        <translation>Delete role</translation>
    </message>
    <message>
        <source>角色增加成员</source>
        <translation>Add role member</translation>
    </message>
    <message>
        <source>角色移出成员</source>
        <translation>Remove role member</translation>
    </message>
    <message>
        <source>设置账套主管</source>
        <translation>Set supervisor</translation>
    </message>
    <message>
        <source>取消账套主管</source>
        <translation>Remove supervisor</translation>
    </message>
    <message>
        <source>授予权限</source>
        <translation>Grant permissions</translation>
    </message>
    <message>
        <source>收回权限</source>
        <translation>Revoke permissions</translation>
    </message>
    <message>
        <source>建立账套</source>
        <translation>Create account set</translation>
    </message>
    <message>
        <source>修改账套</source>
        <translation>Modify account set</translation>
    </message>
    <message>
        <source>启用子系统</source>
        <translation>Enable subsystem</translation>
    </message>
    <message>
        <source>停用子系统</source>
        <translation>Disable subsystem</translation>
    </message>
    <message>
        <source>修改编码方案</source>
        <translation>Change coding scheme</translation>
    </message>
    <message>
        <source>修改数据精度</source>
        <translation>Change precision</translation>
    </message>
    <message>
        <source>输出账套</source>
        <translation>Export account set</translation>
    </message>
    <message>
        <source>引入账套</source>
        <translation>Import account set</translation>
    </message>
    <message>
        <source>删除账套</source>
        <translation>Delete account set</translation>
    </message>
    <message>
        <source>导出日志</source>
        <translation>Export log</translation>
    </message>
    <message>
        <source>建立年度账</source>
        <translation>Create the next year</translation>
    </message>
    <message>
        <source>结转上年数据</source>
        <translation>Carry forward the previous year</translation>
    </message>
    <message>
        <source>清除异常任务</source>
        <translation>Clear abnormal tasks</translation>
    </message>
    <message>
        <source>释放异常任务的功能</source>
        <translation>Release an abnormal task&apos;s function</translation>
    </message>
    <message>
        <source>迁移到服务器</source>
        <translation>Move to a server</translation>
    </message>
    <message>
        <source>修改服务器密码</source>
        <translation>Change the server password</translation>
    </message>
</context>
<context>
    <name>AuditCheck</name>
    <message>
        <source>系统</source>
        <translation>the installation</translation>
    </message>
    <message>
        <source>账套[%1]</source>
        <translation>account set [%1]</translation>
    </message>
    <message>
        <source>这条引入的记录</source>
        <translation>This imported row</translation>
    </message>
    <message>
        <source>这条记录</source>
        <translation>This row</translation>
    </message>
    <message>
        <source>没有校验值，不是系统管理写入的</source>
        <translation> has no check value: system administration did not write it</translation>
    </message>
    <message>
        <source>的内容与校验值不符，已被改动</source>
        <translation> does not match its check value: it has been changed</translation>
    </message>
    <message>
        <source>与前面的一条记录完全相同，是复制出来的</source>
        <translation> is the same as an earlier row: it was copied</translation>
    </message>
    <message>
        <source>这条记录不接在任何记录之后，却不是%1的第一条记录</source>
        <translation>This row follows no other row, yet it is not the first row of %1</translation>
    </message>
    <message>
        <source>这条记录之前的记录已被删除或改动</source>
        <translation>The row before this one has been deleted or changed</translation>
    </message>
    <message>
        <source>%1的日志头已被删除或改动，最后写入的记录无从核对</source>
        <translation>The log head of %1 has been deleted or changed: the last rows written cannot be checked</translation>
    </message>
    <message>
        <source>%1最后写入的 %2 条记录已被删除</source>
        <translation>The last %2 rows written for %1 have been deleted</translation>
    </message>
    <message>
        <source>%1多出 %2 条记录，是在日志之外加入的</source>
        <translation>%1 has %2 rows too many, added outside the log</translation>
    </message>
    <message>
        <source>%1最后写入的记录已被删除或替换</source>
        <translation>The last row written for %1 has been deleted or replaced</translation>
    </message>
    <message>
        <source>%1的日志头已被删除</source>
        <translation>The log head of %1 has been deleted</translation>
    </message>
    <message>
        <source>日志无法校验：</source>
        <translation>The log cannot be checked: </translation>
    </message>
    <message>
        <source>最早一处在 %1 %2：</source>
        <translation>The first at %1 %2: </translation>
    </message>
    <message>
        <source>日志已被改动（%1 处）。%2%3</source>
        <translation>The log has been changed (%1 places). %2%3</translation>
    </message>
</context>
<context>
    <name>AuditLog</name>
    <message>
        <source>无法写入上机日志：系统库 %1 无法打开。</source>
        <translation>The log cannot be written: the system database %1 cannot be opened.</translation>
    </message>
</context>
<context>
    <name>AuditQuery</name>
    <message>
        <source>无法写入文件 %1（详情：“%2”）</source>
        <translation>The file %1 cannot be written (details: “%2”)</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
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
</context>
<context>
    <name>AuditRow</name>
    <message>
        <source>日志已被改动</source>
        <translation>Log changed</translation>
    </message>
    <message>
        <source>其他模块，未校验</source>
        <translation>Other module, not checked</translation>
    </message>
    <message>
        <source>引入的历史</source>
        <translation>Imported history</translation>
    </message>
</context>
<context>
    <name>BackupRetention</name>
    <message>
        <source>无法读取（%1）</source>
        <translation>it cannot be read (%1)</translation>
    </message>
    <message>
        <source>是指向 %1 的符号链接</source>
        <translation>it is a symbolic link to %1</translation>
    </message>
    <message>
        <source>不是文件夹</source>
        <translation>it is not a folder</translation>
    </message>
    <message>
        <source>名称不是备份时间（yyyyMMdd-HHmmss）</source>
        <translation>its name is not a backup time (yyyyMMdd-HHmmss)</translation>
    </message>
    <message>
        <source>其中还有其他文件 %1</source>
        <translation>it also holds another file, %1</translation>
    </message>
    <message>
        <source>其中缺少 %1</source>
        <translation>%1 is missing from it</translation>
    </message>
    <message>
        <source>无法读取其中的 %1</source>
        <translation>its %1 cannot be read</translation>
    </message>
    <message>
        <source>其中的 %1 是指向 %2 的符号链接</source>
        <translation>its %1 is a symbolic link to %2</translation>
    </message>
    <message>
        <source>其中的 %1 不是普通文件</source>
        <translation>its %1 is not a regular file</translation>
    </message>
    <message>
        <source>校验清单 %1 无法读取</source>
        <translation>the manifest %1 cannot be read</translation>
    </message>
    <message>
        <source>描述文件记的是账套[%1]，不是账套[%2]</source>
        <translation>the descriptor names account set [%1], not account set [%2]</translation>
    </message>
    <message>
        <source>描述文件记的年度是 YYear=%1，不是%2年度</source>
        <translation>the descriptor names the year YYear=%1, not the year %2</translation>
    </message>
    <message>
        <source>备份目录 %1 已保留：%2</source>
        <translation>Backup folder %1 kept: %2</translation>
    </message>
    <message>
        <source>备份目录 %1 已保留：其中的 %2 已不是普通文件</source>
        <translation>Backup folder %1 kept: its %2 is no longer a regular file</translation>
    </message>
    <message>
        <source>无法删除 %1（%2）</source>
        <translation>%1 cannot be deleted (%2)</translation>
    </message>
    <message>
        <source>备份目录 %1 中还有其他文件，已保留</source>
        <translation>Backup folder %1 holds other files and was kept</translation>
    </message>
</context>
<context>
    <name>BackupSet</name>
    <message>
        <source>文件比写入的短</source>
        <translation>the file is shorter than what was written</translation>
    </message>
    <message>
        <source>磁盘空间不足，无法写入 %1</source>
        <translation>Not enough disk space to write %1</translation>
    </message>
    <message>
        <source>没有写入权限，无法写入 %1</source>
        <translation>No permission to write %1</translation>
    </message>
    <message>
        <source>磁盘只允许读取，没有写入权限，无法写入 %1</source>
        <translation>The disk is read-only: %1 cannot be written</translation>
    </message>
    <message>
        <source>磁盘读写出错，无法写入 %1</source>
        <translation>Disk input/output error: %1 cannot be written</translation>
    </message>
    <message>
        <source>文件超过了磁盘允许的大小，无法写入 %1</source>
        <translation>The file is larger than the disk allows: %1 cannot be written</translation>
    </message>
    <message>
        <source>文件夹不存在，无法写入 %1</source>
        <translation>The folder does not exist: %1 cannot be written</translation>
    </message>
    <message>
        <source>文件 %1 已存在</source>
        <translation>The file %1 already exists</translation>
    </message>
    <message>
        <source>%1 是文件夹，无法写入</source>
        <translation>%1 is a folder and cannot be written</translation>
    </message>
    <message>
        <source>无法写入 %1（系统信息：%2）</source>
        <translation>%1 cannot be written (system message: %2)</translation>
    </message>
    <message>
        <source>找不到文件 %1</source>
        <translation>The file %1 cannot be found</translation>
    </message>
    <message>
        <source>无法读取文件 %1</source>
        <translation>The file %1 cannot be read</translation>
    </message>
    <message>
        <source>无法读取文件 %1：%2</source>
        <translation>The file %1 cannot be read: %2</translation>
    </message>
    <message>
        <source>读取数据时出错（%1），无法写入 %2</source>
        <translation>Error reading the data (%1): %2 cannot be written</translation>
    </message>
    <message>
        <source>无法读回刚写入的 %1（%2）</source>
        <translation>%1, just written, cannot be read back (%2)</translation>
    </message>
    <message>
        <source>该文件不存在，或不是文件</source>
        <translation>The file does not exist, or is not a file</translation>
    </message>
    <message>
        <source>无法打开该文件（详情：“%1”）</source>
        <translation>The file cannot be opened (details: “%1”)</translation>
    </message>
    <message>
        <source>无法读取该文件（详情：“%1”）</source>
        <translation>The file cannot be read (details: “%1”)</translation>
    </message>
    <message>
        <source>无法读取校验文件 %1</source>
        <translation>The manifest %1 cannot be read</translation>
    </message>
    <message>
        <source>校验文件 %1 格式不正确</source>
        <translation>The manifest %1 is not in the right format</translation>
    </message>
    <message>
        <source>校验文件 %1：%2</source>
        <translation>The manifest %1: %2</translation>
    </message>
    <message>
        <source>校验文件 %1 中的年度无效</source>
        <translation>The year in the manifest %1 is not valid</translation>
    </message>
</context>
<context>
    <name>BooksLock</name>
    <message>
        <source>清空</source>
        <translation>clear them</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>delete them</translation>
    </message>
    <message>
        <source>覆盖</source>
        <translation>overwrite them</translation>
    </message>
    <message>
        <source>账套库 %1 正在被删除或引入，请稍后再试。</source>
        <translation>The account set database %1 is being deleted or imported; please try again later.</translation>
    </message>
    <message>
        <source>账套[%1]的账套库正在工作站[%2]上使用，无法%3。请在那里退出使用该账套的程序后再试。</source>
        <translation>The books of account set [%1] are in use on workstation [%2]: cannot %3. Close the programs using the account set there and try again.</translation>
    </message>
</context>
<context>
    <name>BooksTransfer</name>
    <message>
        <source>账套库的表 %1 的列 %2 是%3，备份数据文件无法原样保存，未输出。</source>
        <translation>Column %2 of table %1 of the account set&apos;s books is %3, which the backup data file cannot keep as it is; nothing was exported.</translation>
    </message>
    <message>
        <source>服务器的 %1 类型</source>
        <translation>of the server&apos;s type %1</translation>
    </message>
    <message>
        <source>按排序规则 %1 比较的文本</source>
        <translation>text compared by the collation %1</translation>
    </message>
    <message>
        <source>服务器上没有表 %1.%2</source>
        <translation>The server has no table %1.%2</translation>
    </message>
    <message>
        <source>索引 %1 中按排序规则 %2 比较的文本</source>
        <translation>text compared by the collation %2 in index %1</translation>
    </message>
    <message>
        <source>服务器送来的数据格式不对</source>
        <translation>The data the server sent is not in the expected format</translation>
    </message>
    <message>
        <source>服务器送来的列数不对</source>
        <translation>The server sent the wrong number of columns</translation>
    </message>
    <message>
        <source>服务器送来的数据不完整</source>
        <translation>The data the server sent is incomplete</translation>
    </message>
    <message>
        <source>无法写入数据文件（%1）</source>
        <translation>The data file cannot be written (%1)</translation>
    </message>
    <message>
        <source>服务器的快照名不对：%1</source>
        <translation>Not a valid server snapshot name: %1</translation>
    </message>
    <message>
        <source>账套库须在一个可重复读的事务中读取（现为 %1），未输出。</source>
        <translation>The account set&apos;s books must be read in a repeatable-read transaction (now %1); nothing was exported.</translation>
    </message>
</context>
<context>
    <name>CarryForward</name>
    <message>
        <source>结转上年数据</source>
        <translation>Carry forward the previous year</translation>
    </message>
    <message>
        <source>科目名称</source>
        <translation>account name</translation>
    </message>
    <message>
        <source>科目类型</source>
        <translation>account type</translation>
    </message>
    <message>
        <source>科目性质</source>
        <translation>account kind</translation>
    </message>
    <message>
        <source>级次</source>
        <translation>level</translation>
    </message>
    <message>
        <source>余额方向</source>
        <translation>balance side</translation>
    </message>
    <message>
        <source>末级</source>
        <translation>last level</translation>
    </message>
    <message>
        <source>账页格式</source>
        <translation>ledger page format</translation>
    </message>
    <message>
        <source>外币币种</source>
        <translation>foreign currency</translation>
    </message>
    <message>
        <source>计量单位</source>
        <translation>unit of measure</translation>
    </message>
    <message>
        <source>外币核算</source>
        <translation>foreign-currency accounting</translation>
    </message>
    <message>
        <source>现金科目</source>
        <translation>cash account</translation>
    </message>
    <message>
        <source>银行科目</source>
        <translation>bank account</translation>
    </message>
    <message>
        <source>个人往来</source>
        <translation>personal accounts</translation>
    </message>
    <message>
        <source>客户往来</source>
        <translation>customer accounts</translation>
    </message>
    <message>
        <source>供应商往来</source>
        <translation>supplier accounts</translation>
    </message>
    <message>
        <source>部门核算</source>
        <translation>department accounting</translation>
    </message>
    <message>
        <source>项目核算</source>
        <translation>project accounting</translation>
    </message>
    <message>
        <source>账套[%1]没有%2年度，无法结转上年数据。</source>
        <translation>Account set [%1] has no year %2: there is nothing to carry forward.</translation>
    </message>
    <message>
        <source>找不到账套[%1]%2年度的账套库：%3</source>
        <translation>The books of account set [%1], year %2, were not found: %3</translation>
    </message>
    <message>
        <source>%1 %2→%3</source>
        <translation>%1 %2→%3</translation>
    </message>
    <message>
        <source>新增</source>
        <translation>Added</translation>
    </message>
    <message>
        <source>修改：%1</source>
        <translation>Changed: %1</translation>
    </message>
    <message>
        <source>本年度的编码方案已修改，保留不变</source>
        <translation>this year&apos;s coding scheme has been changed and is kept</translation>
    </message>
    <message>
        <source>本年度的数据精度已修改，保留不变</source>
        <translation>this year&apos;s precision has been changed and is kept</translation>
    </message>
    <message>
        <source>新增科目%1个</source>
        <translation>%1 account(s) added</translation>
    </message>
    <message>
        <source>修改科目%1个</source>
        <translation>%1 account(s) changed</translation>
    </message>
    <message>
        <source>编码方案沿用%1年度的</source>
        <translation>the coding scheme of %1 is used</translation>
    </message>
    <message>
        <source>数据精度沿用%1年度的</source>
        <translation>the precision of %1 is used</translation>
    </message>
    <message>
        <source>没有需要结转的数据。</source>
        <translation>There is nothing to carry forward.</translation>
    </message>
    <message>
        <source>账套[%1]从%2年度结转到%3年度：%4。</source>
        <translation>Account set [%1], from %2 into %3: %4.</translation>
    </message>
    <message>
        <source>结转上年数据失败：%1</source>
        <translation>Carrying forward failed: %1</translation>
    </message>
    <message>
        <source>已从%1年度结转到%2年度。</source>
        <translation>Carried forward from %1 into %2.</translation>
    </message>
</context>
<context>
    <name>Database</name>
    <message>
        <source>不是 SQLite 连接</source>
        <translation>Not an SQLite connection</translation>
    </message>
    <message>
        <source>找不到数据库文件：%1</source>
        <translation>The database file cannot be found: %1</translation>
    </message>
    <message>
        <source>与服务器的连接已断开，事务已回滚</source>
        <translation>The connection to the server was lost; the transaction was rolled back</translation>
    </message>
    <message>
        <source>数据库未打开</source>
        <translation>The database is not open</translation>
    </message>
    <message>
        <source>模式名不合规：%1</source>
        <translation>Not a valid schema name: %1</translation>
    </message>
    <message>
        <source>服务器上没有这个数据库：%1</source>
        <translation>The server has no such database: %1</translation>
    </message>
    <message>
        <source>完整性检查没有结果</source>
        <translation>The integrity check gave no result</translation>
    </message>
    <message>
        <source>无法释放空闲页：不是 SQLite 连接</source>
        <translation>Free pages cannot be released: not an SQLite connection</translation>
    </message>
    <message>
        <source>不是数据库服务器的连接</source>
        <translation>Not a connection to a database server</translation>
    </message>
</context>
<context>
    <name>DbError</name>
    <message>
        <source>无法连接数据库服务器，或与服务器的连接已断开，请检查服务器和网络后再试。</source>
        <translation>The database server cannot be reached, or the connection to it was lost. Please check the server and the network and try again.</translation>
    </message>
    <message>
        <source>数据库服务器拒绝登录，请检查用户名和密码。</source>
        <translation>The database server refused the login. Please check the user name and password.</translation>
    </message>
    <message>
        <source>数据库已被其他程序锁定，请稍后再试。</source>
        <translation>The database is locked by another program. Please try again later.</translation>
    </message>
    <message>
        <source>数据库服务器只允许读取，无法写入。</source>
        <translation>The database server only allows reading; nothing can be written.</translation>
    </message>
    <message>
        <source>数据库文件是只读的，无法写入，请检查文件的权限。</source>
        <translation>The database file is read-only and cannot be written. Please check the file&apos;s permissions.</translation>
    </message>
    <message>
        <source>数据库服务器的磁盘已满，数据无法写入，请联系服务器的管理员。</source>
        <translation>The database server&apos;s disk is full and the data cannot be written. Please contact the server&apos;s administrator.</translation>
    </message>
    <message>
        <source>磁盘已满，数据无法写入，请腾出磁盘空间后再试。</source>
        <translation>The disk is full and the data cannot be written. Please free some disk space and try again.</translation>
    </message>
    <message>
        <source>该文件不是数据库文件，或已损坏。</source>
        <translation>The file is not a database file, or it is damaged.</translation>
    </message>
    <message>
        <source>数据库文件已损坏。</source>
        <translation>The database file is damaged.</translation>
    </message>
    <message>
        <source>读写磁盘时出错（输入/输出错误），请检查磁盘。</source>
        <translation>Error reading or writing the disk (input/output error). Please check the disk.</translation>
    </message>
    <message>
        <source>无法打开数据库文件，请检查文件和目录是否存在、是否有权限。</source>
        <translation>The database file cannot be opened. Please check that the file and its folder exist and that you may use them.</translation>
    </message>
    <message>
        <source>没有访问数据库文件的权限。</source>
        <translation>No permission to use the database file.</translation>
    </message>
    <message>
        <source>数据与已有的记录冲突（重复或不符合约束），未能保存。</source>
        <translation>The data conflicts with existing records (a duplicate, or a broken constraint) and was not saved.</translation>
    </message>
    <message>
        <source>数据库操作失败（详情：“%1”）</source>
        <translation>The database operation failed (details: “%1”)</translation>
    </message>
</context>
<context>
    <name>Installation</name>
    <message>
        <source>行业不存在：%1</source>
        <translation>No such trade: %1</translation>
    </message>
    <message>
        <source>这个服务器数据库中已有一个安装，不会覆盖：%1</source>
        <translation>This server database already holds an installation, which will not be overwritten: %1</translation>
    </message>
    <message>
        <source>这个服务器数据库中没有安装：%1</source>
        <translation>This server database holds no installation: %1</translation>
    </message>
    <message>
        <source>安装目录已存在系统库，不会覆盖：%1</source>
        <translation>The installation folder already has a system database, which will not be overwritten: %1</translation>
    </message>
</context>
<context>
    <name>LoginCheck</name>
    <message>
        <source>注册〖控制台〗</source>
        <translation>Log in [Console]</translation>
    </message>
    <message>
        <source>%1秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1分钟</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1小时%2分钟</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>%1小时</source>
        <translation>%1 h</translation>
    </message>
    <message>
        <source>操作员[%1]口令错误次数过多，请%2后再试。</source>
        <translation>Too many wrong passwords for operator [%1]. Please try again in %2.</translation>
    </message>
    <message>
        <source>口令无效，请重新输入。</source>
        <translation>Wrong password. Please type it again.</translation>
    </message>
    <message>
        <source>操作员[%1]已注销，不能登录。请系统管理员在操作员管理中启用后再登录。</source>
        <translation>Operator [%1] is cancelled and cannot log in. Ask the system administrator to restore the operator in operator management, then log in.</translation>
    </message>
</context>
<context>
    <name>Migration</name>
    <message>
        <source>表 %1 的列 %2 中有服务器上的类型放不下的值（不是数值），未迁移。</source>
        <translation>Column %2 of table %1 holds a value the server's type cannot keep (not a number); nothing was moved.</translation>
    </message>
    <message>
        <source>服务器数据库 %1 中已有一个安装，不会覆盖。</source>
        <translation>The server database %1 already holds an installation; it is not overwritten.</translation>
    </message>
    <message>
        <source>服务器数据库 %1 中已有同名的模式（%2），不会覆盖。</source>
        <translation>The server database %1 already has schemas of these names (%2); they are not overwritten.</translation>
    </message>
    <message>
        <source>服务器上的表 %1 与原安装不一致（%2 行对 %3 行，或内容不同），已全部撤销。</source>
        <translation>The table %1 on the server differs from the installation's (%2 rows against %3, or different contents); everything was undone.</translation>
    </message>
    <message>
        <source>找不到账套[%1] %2年度的账套库：%3</source>
        <translation>The books of account set [%1], year %2, are missing: %3</translation>
    </message>
    <message>
        <source>服务器连接串不正确：%1</source>
        <translation>The server's connection string is wrong: %1</translation>
    </message>
    <message>
        <source>这个安装已迁移到服务器[%1]，不再迁移。</source>
        <translation>This installation was moved to the server [%1] already; it is not moved again.</translation>
    </message>
    <message>
        <source>迁移已取消，服务器数据库和原安装都保持原样。</source>
        <translation>The move was cancelled; the server database and the installation are as they were.</translation>
    </message>
    <message>
        <source>安装已迁移到服务器[%1]，但无法在原安装中记下迁移：%2</source>
        <translation>The installation was moved to the server [%1], but the move could not be recorded in the installation's files: %2</translation>
    </message>
    <message>
        <source>迁移失败，已全部撤销，服务器数据库保持原样：%1</source>
        <translation>The move failed and everything was undone; the server database is as it was: %1</translation>
    </message>
    <message>
        <source>安装已迁移到服务器[%1]（%2 个账套年度的账套库）。</source>
        <translation>The installation was moved to the server [%1] (books of %2 account set years).</translation>
    </message>
</context>
<context>
    <name>NewYear</name>
    <message>
        <source>建立年度账</source>
        <translation>Create the next year</translation>
    </message>
    <message>
        <source>账套[%1]不存在。</source>
        <translation>Account set [%1] does not exist.</translation>
    </message>
    <message>
        <source>操作员[%1]不是账套[%2]的账套主管，不能建立年度账。</source>
        <translation>Operator [%1] is not a supervisor of account set [%2] and cannot create its next year.</translation>
    </message>
    <message>
        <source>账套[%1]的%2年度已经存在，不能重复建立。</source>
        <translation>Year %2 of account set [%1] already exists and cannot be created again.</translation>
    </message>
    <message>
        <source>账套[%1]不能建立%2年度：年度最晚为%3年。</source>
        <translation>Account set [%1] cannot have year %2: the latest year allowed is %3.</translation>
    </message>
    <message>
        <source>找不到账套[%1]%2年度的账套库：%3</source>
        <translation>The books of account set [%1], year %2, were not found: %3</translation>
    </message>
    <message>
        <source>账套[%1]的%2年度已有账套库：%3。请先移走它，再建立年度账。</source>
        <translation>Year %2 of account set [%1] already has books: %3. Move them away first, then create the year.</translation>
    </message>
    <message>
        <source>无法读取账套[%1]：%2</source>
        <translation>Account set [%1] could not be read: %2</translation>
    </message>
    <message>
        <source>为账套[%1]%2建立%3年度吗？新年度沿用%4年度的选项、编码方案、数据精度、会计科目、权限和已启用的子系统。</source>
        <translation>Create year %3 of account set [%1] %2? The new year takes the options, coding scheme, precision, chart of accounts, permissions and enabled subsystems of %4.</translation>
    </message>
    <message>
        <source>无法创建文件夹：%1</source>
        <translation>The folder cannot be created: %1</translation>
    </message>
    <message>
        <source>无法把账套库模板 %1 复制到 %2</source>
        <translation>Cannot copy the books template %1 to %2</translation>
    </message>
    <message>
        <source>无法把新账套库放到 %1</source>
        <translation>Cannot put the new books in place at %1</translation>
    </message>
    <message>
        <source>无法把新账套库写入磁盘：%1</source>
        <translation>The new books could not be written to disk: %1</translation>
    </message>
    <message>
        <source>建立年度账失败：%1</source>
        <translation>Creating the next year failed: %1</translation>
    </message>
    <message>
        <source>账套[%1]%2的%3年度已建立。</source>
        <translation>Year %3 of account set [%1] %2 has been created.</translation>
    </message>
</context>
<context>
    <name>OperatorWork</name>
    <message>
        <source>操作员:[%1]未能增加：%2</source>
        <translation>Operator [%1] was not added: %2</translation>
    </message>
    <message>
        <source>口令必须一致!</source>
        <translation>The passwords must match!</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>操作员:[%1]已存在，不能增加!</source>
        <translation>Operator [%1] already exists and cannot be added!</translation>
    </message>
    <message>
        <source>操作员:[%1]已在系统库中，不能增加!</source>
        <translation>Operator [%1] is already in the system database and cannot be added!</translation>
    </message>
    <message>
        <source>操作员:[%1]已在镜像系统库（%2）中，未再写入。</source>
        <translation>Operator [%1] is already in the mirror system database (%2); not written again.</translation>
    </message>
    <message>
        <source>操作员:[%1]未能写入镜像系统库（%2）：%3</source>
        <translation>Operator [%1] was not written to the mirror system database (%2): %3</translation>
    </message>
    <message>
        <source>操作员:[%1]已不存在，未能修改。</source>
        <translation>Operator [%1] no longer exists; nothing was changed.</translation>
    </message>
    <message>
        <source>操作员:[%1]未能修改：%2</source>
        <translation>Operator [%1] was not changed: %2</translation>
    </message>
    <message>
        <source>操作员[%1]未能删除：%2</source>
        <translation>Operator [%1] was not deleted: %2</translation>
    </message>
</context>
<context>
    <name>PageWriter</name>
    <message>
        <source>无法写入数据文件 %1：%2</source>
        <translation>The data file %1 cannot be written: %2</translation>
    </message>
    <message>
        <source>无法读取数据文件 %1</source>
        <translation>The data file %1 cannot be read</translation>
    </message>
    <message>
        <source>表 %1 的页无法分层</source>
        <translation>The pages of table %1 cannot be arranged in levels</translation>
    </message>
    <message>
        <source>索引 %1 的条目过大</source>
        <translation>An entry of index %1 is too large</translation>
    </message>
    <message>
        <source>无法打开数据文件 %1：%2</source>
        <translation>The data file %1 cannot be opened: %2</translation>
    </message>
    <message>
        <source>%1 不是数据文件</source>
        <translation>%1 is not a data file</translation>
    </message>
    <message>
        <source>数据文件 %1 的格式不能直接写入</source>
        <translation>The format of the data file %1 cannot be written directly</translation>
    </message>
    <message>
        <source>上一个表还没有写完</source>
        <translation>The previous table is not finished</translation>
    </message>
    <message>
        <source>表 %1 不能分段写入</source>
        <translation>Table %1 cannot be written in parts</translation>
    </message>
    <message>
        <source>表 %1 的行号不是整数</source>
        <translation>The row numbers of table %1 are not integers</translation>
    </message>
    <message>
        <source>表 %1 的行没有按行号的顺序送来</source>
        <translation>The rows of table %1 did not come in row-number order</translation>
    </message>
    <message>
        <source>表 %1 的行数超出范围</source>
        <translation>Table %1 has too many rows</translation>
    </message>
    <message>
        <source>表 %1 的列 %2 的值类型不对</source>
        <translation>A value in column %2 of table %1 has the wrong type</translation>
    </message>
    <message>
        <source>表 %1 的列 %2 的值不能直接写入</source>
        <translation>A value in column %2 of table %1 cannot be written directly</translation>
    </message>
    <message>
        <source>数据文件第 %1 页没有归属</source>
        <translation>Page %1 of the data file belongs to nothing</translation>
    </message>
    <message>
        <source>无法写入数据文件 %1</source>
        <translation>The data file %1 cannot be written</translation>
    </message>
</context>
<context>
    <name>PasswordChange</name>
    <message>
        <source>输入的旧口令错误或此用户不存在！</source>
        <translation>The old password is wrong, or this user does not exist!</translation>
    </message>
    <message>
        <source>输入口令不一致，再试一次！</source>
        <translation>The passwords do not match; try again!</translation>
    </message>
    <message>
        <source>系统库不存在</source>
        <translation>The system database does not exist</translation>
    </message>
    <message>
        <source>口令未能保存：%1</source>
        <translation>The password was not saved: %1</translation>
    </message>
    <message>
        <source>设置操作员口令</source>
        <translation>Set operator password</translation>
    </message>
</context>
<context>
    <name>PasswordHash</name>
    <message>
        <source>无法初始化口令加密库。</source>
        <translation>The password encryption library cannot be initialised.</translation>
    </message>
    <message>
        <source>内存不足，无法保存口令。</source>
        <translation>Not enough memory to save the password.</translation>
    </message>
</context>
<context>
    <name>RoleWork</name>
    <message>
        <source>角色[%1]未能删除：%2</source>
        <translation>Role [%1] was not deleted: %2</translation>
    </message>
    <message>
        <source>角色</source>
        <translation>Role</translation>
    </message>
    <message>
        <source>角色:[%1]已存在，不能增加!</source>
        <translation>Role [%1] already exists and cannot be added!</translation>
    </message>
    <message>
        <source>角色:[%1]已在系统库中，不能增加!</source>
        <translation>Role [%1] is already in the system database and cannot be added!</translation>
    </message>
    <message>
        <source>角色:[%1]未能增加：%2</source>
        <translation>Role [%1] was not added: %2</translation>
    </message>
    <message>
        <source>角色:[%1]已不存在，未能修改。</source>
        <translation>Role [%1] no longer exists; nothing was changed.</translation>
    </message>
    <message>
        <source>角色:[%1]未能修改：%2</source>
        <translation>Role [%1] was not changed: %2</translation>
    </message>
    <message>
        <source>修改成功！</source>
        <translation>Changed!</translation>
    </message>
    <message>
        <source>角色：[%1]已经启用（定义所属用户），不能删除！</source>
        <translation>Role [%1] is in use (it has members) and cannot be deleted!</translation>
    </message>
</context>
<context>
    <name>SealedHeader</name>
    <message>
        <source>备份集使用了本程序不认识的压缩方式：%1</source>
        <translation>The backup set uses a compression this program does not know: %1</translation>
    </message>
    <message>
        <source>备份集使用了本程序不认识的加密方式：%1</source>
        <translation>The backup set uses an encryption this program does not know: %1</translation>
    </message>
    <message>
        <source>备份集清单中的加密参数无效</source>
        <translation>The encryption settings in the backup set&apos;s manifest are not valid</translation>
    </message>
</context>
<context>
    <name>SealedReader</name>
    <message>
        <source>读取备份数据时出错：%1</source>
        <translation>Error reading the backup data: %1</translation>
    </message>
    <message>
        <source>无法初始化加密库</source>
        <translation>The encryption library cannot be initialised</translation>
    </message>
    <message>
        <source>备份集已加密，需要口令</source>
        <translation>The backup set is encrypted: a passphrase is needed</translation>
    </message>
    <message>
        <source>备份集清单中的加密参数无效</source>
        <translation>The encryption settings in the backup set&apos;s manifest are not valid</translation>
    </message>
    <message>
        <source>备份数据不完整：数据文件比加密的开头还短</source>
        <translation>The backup data is incomplete: the data file is shorter than its encrypted start</translation>
    </message>
    <message>
        <source>口令不正确</source>
        <translation>Wrong passphrase</translation>
    </message>
    <message>
        <source>备份集清单中的加密参数与数据文件不符</source>
        <translation>The encryption settings in the backup set&apos;s manifest do not match the data file</translation>
    </message>
    <message>
        <source>内存不足，无法解压缩备份数据</source>
        <translation>Not enough memory to decompress the backup data</translation>
    </message>
    <message>
        <source>备份数据已损坏或被改动：第 %1 块未通过校验</source>
        <translation>The backup data is damaged or was changed: chunk %1 failed its check</translation>
    </message>
    <message>
        <source>备份数据在结尾之后还有多余的内容</source>
        <translation>The backup data has more after its end</translation>
    </message>
    <message>
        <source>备份数据已损坏，无法解压缩（%1）</source>
        <translation>The backup data is damaged and cannot be decompressed (%1)</translation>
    </message>
    <message>
        <source>备份数据不完整：压缩的数据缺少结尾</source>
        <translation>The backup data is incomplete: the compressed data has no end</translation>
    </message>
    <message>
        <source>备份数据不完整：数据文件被截断，缺少结尾</source>
        <translation>The backup data is incomplete: the data file was cut short and its end is missing</translation>
    </message>
</context>
<context>
    <name>SealedWriter</name>
    <message>
        <source>内存不足，无法由口令生成密钥</source>
        <translation>Not enough memory to derive the key from the passphrase</translation>
    </message>
    <message>
        <source>无法初始化加密库</source>
        <translation>The encryption library cannot be initialised</translation>
    </message>
    <message>
        <source>口令不能为空</source>
        <translation>The passphrase must not be empty</translation>
    </message>
    <message>
        <source>备份集清单中的加密参数无效</source>
        <translation>The encryption settings in the backup set&apos;s manifest are not valid</translation>
    </message>
    <message>
        <source>内存不足，无法压缩备份数据</source>
        <translation>Not enough memory to compress the backup data</translation>
    </message>
    <message>
        <source>备份数据的写入尚未开始</source>
        <translation>Writing the backup data has not started</translation>
    </message>
    <message>
        <source>压缩备份数据时出错：%1</source>
        <translation>Error compressing the backup data: %1</translation>
    </message>
</context>
<context>
    <name>ServerPassword</name>
    <message>
        <source>无法写入密码文件：%1</source>
        <translation>Cannot write the password file: %1</translation>
    </message>
    <message>
        <source>客户端库没有给出 SCRAM 形式的密码</source>
        <translation>The client library did not give the password in SCRAM form</translation>
    </message>
    <message>
        <source>这不是服务器上的安装，没有服务器密码可改。</source>
        <translation>This is not an installation on a server: there is no server password to change.</translation>
    </message>
    <message>
        <source>新密码不能为空。</source>
        <translation>The new password may not be empty.</translation>
    </message>
    <message>
        <source>新密码与当前密码相同。</source>
        <translation>The new password is the same as the current one.</translation>
    </message>
    <message>
        <source>当前密码不对，服务器密码没有修改。</source>
        <translation>The current password is wrong; the server password was not changed.</translation>
    </message>
    <message>
        <source>无法连接服务器，密码没有修改：%1</source>
        <translation>Cannot connect to the server; the password was not changed: %1</translation>
    </message>
    <message>
        <source>服务器密码没有修改：%1</source>
        <translation>The server password was not changed: %1</translation>
    </message>
    <message>
        <source>服务器密码已修改，但密码文件没有更新：%1</source>
        <translation>The server password was changed, but the password file was not updated: %1</translation>
    </message>
    <message>
        <source>服务器登录名[%1]的密码已修改。</source>
        <translation>The password of the server login [%1] was changed.</translation>
    </message>
</context>
<context>
    <name>SqlScript</name>
    <message>
        <source>缺少安装数据：%1</source>
        <translation>Installation data is missing: %1</translation>
    </message>
    <message>
        <source>文件已存在，不会覆盖：%1</source>
        <translation>The file already exists and will not be overwritten: %1</translation>
    </message>
    <message>
        <source>无法写入：%1</source>
        <translation>Cannot write: %1</translation>
    </message>
</context>
<context>
    <name>SubsystemEnabler</name>
    <message>
        <source>无法找到对应的会计启用年和月！</source>
        <translation>The account set&apos;s starting year and month cannot be found!</translation>
    </message>
    <message>
        <source>系统启用会计期间必须大于等于账套启用会计期间！</source>
        <translation>The subsystem&apos;s starting period must not be before the account set&apos;s starting period!</translation>
    </message>
    <message>
        <source>没有选定启用日期。</source>
        <translation>No start date is chosen.</translation>
    </message>
    <message>
        <source>找不到账套[%1]的账套库：%2</source>
        <translation>The database of account set [%1] cannot be found: %2</translation>
    </message>
    <message>
        <source>账套库中没有总账启用日期一项（dGLStartDate），总账未启用。</source>
        <translation>The account set&apos;s database has no general ledger start date (dGLStartDate); the general ledger was not enabled.</translation>
    </message>
</context>
<context>
    <name>Tasks</name>
    <message>
        <source>登录账套</source>
        <translation>log in to the account set</translation>
    </message>
    <message>
        <source>输出账套</source>
        <translation>export the account set</translation>
    </message>
    <message>
        <source>引入账套</source>
        <translation>import the account set</translation>
    </message>
    <message>
        <source>删除账套</source>
        <translation>delete the account set</translation>
    </message>
    <message>
        <source>建立年度账</source>
        <translation>create the next year</translation>
    </message>
    <message>
        <source>清空年度数据</source>
        <translation>clear the year&apos;s data</translation>
    </message>
    <message>
        <source>引入年度账</source>
        <translation>import the year</translation>
    </message>
    <message>
        <source>输出年度账</source>
        <translation>export the year</translation>
    </message>
    <message>
        <source>结转上年数据</source>
        <translation>carry forward the previous year</translation>
    </message>
    <message>
        <source>控制台</source>
        <translation>Console</translation>
    </message>
    <message>
        <source>备份</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>异常</source>
        <translation>Abnormal</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>账套[%1] %2年度</source>
        <translation>account set [%1], year %2</translation>
    </message>
    <message>
        <source>账套[%1]</source>
        <translation>account set [%1]</translation>
    </message>
    <message>
        <source>程序尚未登记为任务，不能%1。</source>
        <translation>This program is not registered as a task and cannot %1.</translation>
    </message>
    <message>
        <source>工作站[%1]上的操作员[%2]在%3执行“%4”的任务已异常（程序已退出或失去联系），请先清除异常任务，再%5。</source>
        <translation>The task of operator [%2] on workstation [%1] that was doing “%4” in %3 is abnormal (the program has ended or lost contact); clear the abnormal tasks first, then %5.</translation>
    </message>
    <message>
        <source>工作站[%1]上的操作员[%2]正在%3执行“%4”，现在不能%5。</source>
        <translation>Operator [%2] on workstation [%1] is doing “%4” in %3; you cannot %5 now.</translation>
    </message>
    <message>
        <source>清除异常任务</source>
        <translation>Clear abnormal tasks</translation>
    </message>
    <message>
        <source>释放功能</source>
        <translation>Release functions</translation>
    </message>
    <message>
        <source>已清除%1个异常任务。</source>
        <translation>%1 abnormal task(s) cleared.</translation>
    </message>
    <message>
        <source>已释放%1个异常任务的功能。</source>
        <translation>%1 function(s) of abnormal tasks released.</translation>
    </message>
    <message>
        <source>%1个任务仍在正常运行（或已不在），未清除。</source>
        <translation> %1 task(s) are running normally (or are gone already) and were not cleared.</translation>
    </message>
    <message>
        <source>%1个功能的任务仍在正常运行（或已释放），未释放。</source>
        <translation> %1 function(s) belong to tasks running normally (or were released already) and were not released.</translation>
    </message>
</context>
<context>
    <name>UserIds</name>
    <message>
        <source>%1编号“%2”含有“[”、“]”或“,”，不能增加!</source>
        <translation>%1 code “%2” contains “[”, “]” or “,” and cannot be added!</translation>
    </message>
</context>
<context>
    <name>UsersNotice</name>
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
    <name>YearClearer</name>
    <message>
        <source>清空年度数据</source>
        <translation>Clear a year&apos;s data</translation>
    </message>
    <message>
        <source>年度数据未清空；清空前的备份已写入：</source>
        <translation>The year&apos;s data was not cleared; the backup taken before is in: </translation>
    </message>
    <message>
        <source>账套[%1] %2年度的数据已清空，清空前的数据已备份到：%3</source>
        <translation>The data of account set [%1], year %2, has been cleared; it was backed up before into: %3</translation>
    </message>
    <message>
        <source>无法备份账套[%1] %2年度的数据，年度数据未清空：</source>
        <translation>The data of account set [%1], year %2, cannot be backed up; nothing was cleared: </translation>
    </message>
    <message>
        <source>备份目录必须是绝对路径：</source>
        <translation>The backup folder must be an absolute path: </translation>
    </message>
    <message>
        <source>备份目录不是空目录：</source>
        <translation>The backup folder is not empty: </translation>
    </message>
    <message>
        <source>账套[%1]没有%2年度，无法清空。</source>
        <translation>Account set [%1] has no year %2; nothing to clear.</translation>
    </message>
    <message>
        <source>无法创建备份目录：</source>
        <translation>The backup folder cannot be created: </translation>
    </message>
    <message>
        <source>备份不完整：</source>
        <translation>The backup is incomplete: </translation>
    </message>
    <message>
        <source>找不到账套库：</source>
        <translation>The account database cannot be found: </translation>
    </message>
    <message>
        <source>清空账套[%1] %2年度的数据失败：</source>
        <translation>Clearing the data of account set [%1], year %2, failed: </translation>
    </message>
</context>
</TS>
