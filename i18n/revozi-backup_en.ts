<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>BackupOutput</name>
    <message>
        <source>%1 秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 分 %2 秒</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 小时 %2 分</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>剩余时间未知</source>
        <translation>time left unknown</translation>
    </message>
    <message>
        <source>用时 %1</source>
        <translation>took %1</translation>
    </message>
    <message>
        <source>剩余约 %1</source>
        <translation>about %1 left</translation>
    </message>
    <message>
        <source>%1：%2 / %3，%4/s，%5</source>
        <translation>%1: %2 / %3, %4/s, %5</translation>
    </message>
</context>
<context>
    <name>PassphraseFile</name>
    <message>
        <source>无法读取口令文件 %1：%2</source>
        <translation>cannot read the passphrase file %1: %2</translation>
    </message>
    <message>
        <source>口令文件 %1 不是普通文件</source>
        <translation>the passphrase file %1 is not a regular file</translation>
    </message>
    <message>
        <source>口令文件 %1 的权限过宽（同组或其他用户可以访问），请用 chmod 600 %1 只留给所有者</source>
        <translation>the passphrase file %1 is open to others (its group or other users can read it); make it the owner&apos;s alone with chmod 600 %1</translation>
    </message>
    <message>
        <source>口令文件 %1 的第一行是空的</source>
        <translation>the first line of the passphrase file %1 is empty</translation>
    </message>
</context>
<context>
    <name>revozi-backup</name>
    <message>
        <source>（revozi-backup --help 列出用法）</source>
        <translation> (revozi-backup --help lists the usage)</translation>
    </message>
    <message>
        <source>选项 %1 需要一个值</source>
        <translation>option %1 needs a value</translation>
    </message>
    <message>
        <source>未知的选项 %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>选项 %1 的值 %2 不是非负整数</source>
        <translation>the value %2 of option %1 is not a non-negative integer</translation>
    </message>
    <message>
        <source>账套</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>年度</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>大小（字节）</source>
        <translation>Size (bytes)</translation>
    </message>
    <message>
        <source>账套库</source>
        <translation>Account database</translation>
    </message>
    <message>
        <source>最新备份</source>
        <translation>Newest backup</translation>
    </message>
    <message>
        <source>（账套库不存在）</source>
        <translation>(no account database)</translation>
    </message>
    <message>
        <source>（没有备份）</source>
        <translation>(no backup)</translation>
    </message>
    <message>
        <source>账套[%1] %2年度</source>
        <translation>account set [%1] year %2</translation>
    </message>
    <message>
        <source>账套[%1]输出失败：%2</source>
        <translation>account set [%1] was not backed up: %2</translation>
    </message>
    <message>
        <source>账套[%1]已输出到 %2，但准备时出错（Backup=false）：%3</source>
        <translation>account set [%1] was backed up to %2, but its preparation failed (Backup=false): %3</translation>
    </message>
    <message>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <source>账套[%1]没有%2年度</source>
        <translation>account set [%1] has no year %2</translation>
    </message>
    <message>
        <source>账套[%1]不存在</source>
        <translation>account set [%1] does not exist</translation>
    </message>
    <message>
        <source>账套[%1]：无法建立备份目录 %2</source>
        <translation>account set [%1]: cannot make the backup folder %2</translation>
    </message>
    <message>
        <source>账套[%1] %2年度已输出到 %3</source>
        <translation>account set [%1] year %2 backed up to %3</translation>
    </message>
    <message>
        <source>账套[%1]：备份目录 %2 已存在，未输出</source>
        <translation>account set [%1]: the backup folder %2 already exists; nothing was backed up</translation>
    </message>
    <message>
        <source>%1将输出到 %2（试运行，未输出）</source>
        <translation>%1 would be backed up to %2 (dry run, nothing backed up)</translation>
    </message>
    <message>
        <source>账套[%1]：%2 未计入保留规则，原样保留：%3</source>
        <translation>account set [%1]: %2 is outside the retention rules and is kept as it is: %3</translation>
    </message>
    <message>
        <source>账套[%1]：将删除旧备份 %2（试运行，未删除）</source>
        <translation>account set [%1]: would delete the old backup %2 (dry run, nothing deleted)</translation>
    </message>
    <message>
        <source>账套[%1]：已删除旧备份 %2</source>
        <translation>account set [%1]: deleted the old backup %2</translation>
    </message>
    <message>
        <source>账套[%1]：%2</source>
        <translation>account set [%1]: %2</translation>
    </message>
    <message>
        <source>数据文件已损坏（详情：“%1”）</source>
        <translation>the data file is damaged (details: &quot;%1&quot;)</translation>
    </message>
    <message>
        <source>找不到 %1</source>
        <translation>%1 not found</translation>
    </message>
    <message>
        <source>%1 不是备份目录：其中没有描述文件 %2（备份由描述文件、数据文件 %3 和校验清单 %4 组成）</source>
        <translation>%1 is not a backup folder: it has no descriptor %2 (a backup is a descriptor, the data file %3 and the checksum list %4)</translation>
    </message>
    <message>
        <source>无法建立临时目录</source>
        <translation>cannot make a temporary folder</translation>
    </message>
    <message>
        <source>备份 %1 未通过检查：%2</source>
        <translation>backup %1 failed the check: %2</translation>
    </message>
    <message>
        <source>：描述文件可读，账套号、年度与数据文件中的账套信息一致</source>
        <translation>: the descriptor is readable; its set number and year match the set information in the data file</translation>
    </message>
    <message>
        <source>：数据文件含账套库的表</source>
        <translation>: the data file holds the account database&apos;s tables</translation>
    </message>
    <message>
        <source>：数据文件大小 %1 字节与描述文件的 Bytes= 一致</source>
        <translation>: the data file&apos;s size of %1 bytes matches the descriptor&apos;s Bytes=</translation>
    </message>
    <message>
        <source>%1：校验清单无法读取：%2</source>
        <translation>%1: the checksum list cannot be read: %2</translation>
    </message>
    <message>
        <source>%1：数据文件大小 %2 字节与校验清单的 %3 字节不符</source>
        <translation>%1: the data file&apos;s size of %2 bytes differs from the checksum list&apos;s %3 bytes</translation>
    </message>
    <message>
        <source>%1：数据文件的校验和 %2 与校验清单的 %3 不符，数据文件已损坏或被改动</source>
        <translation>%1: the data file&apos;s checksum %2 differs from the checksum list&apos;s %3; the data file is damaged or was changed</translation>
    </message>
    <message>
        <source>：校验和 XXH3-128 %1 与校验清单一致</source>
        <translation>: checksum XXH3-128 %1 matches the checksum list</translation>
    </message>
    <message>
        <source>：没有校验清单（旧备份），只做完整性检查</source>
        <translation>: no checksum list (an older backup); only the integrity check was done</translation>
    </message>
    <message>
        <source>%1：数据文件完整性检查未通过：%2</source>
        <translation>%1: the data file failed the integrity check: %2</translation>
    </message>
    <message>
        <source>：完整性检查通过</source>
        <translation>: integrity check passed</translation>
    </message>
    <message>
        <source>备份 %1 无法检查：%2</source>
        <translation>backup %1 cannot be checked: %2</translation>
    </message>
    <message>
        <source>备份 %1 可以引入</source>
        <translation>backup %1 can be imported</translation>
    </message>
    <message>
        <source>找不到备份目录 %1</source>
        <translation>backup folder %1 not found</translation>
    </message>
    <message>
        <source>%1 中没有备份</source>
        <translation>%1 holds no backup</translation>
    </message>
    <message>
        <source>账套[%1] %2年度：备份 %3 可以引入（%4 字节，%5）</source>
        <translation>account set [%1] year %2: backup %3 can be imported (%4 bytes, %5)</translation>
    </message>
    <message>
        <source>没有校验清单</source>
        <translation>no checksum list</translation>
    </message>
    <message>
        <source>备份无法引入：%1</source>
        <translation>the backup cannot be imported: %1</translation>
    </message>
    <message>
        <source>备份 %1 无法引入：%2</source>
        <translation>backup %1 cannot be imported: %2</translation>
    </message>
    <message>
        <source>%1已存在，未引入（给出 --yes 才覆盖）</source>
        <translation>%1 already exists and was not imported (give --yes to overwrite it)</translation>
    </message>
    <message>
        <source>%1无法引入：%2</source>
        <translation>%1 cannot be imported: %2</translation>
    </message>
    <message>
        <source>（可用 --folder 指定帐套路径）</source>
        <translation> (--folder names another path for the set)</translation>
    </message>
    <message>
        <source>%1引入失败：%2</source>
        <translation>%1 was not imported: %2</translation>
    </message>
    <message>
        <source>%1已引入到 %2</source>
        <translation>%1 imported into %2</translation>
    </message>
    <message>
        <source>缺少命令</source>
        <translation>no command given</translation>
    </message>
    <message>
        <source>--server 需要一个连接串</source>
        <translation>--server needs a connection string</translation>
    </message>
    <message>
        <source>连接串中不能有密码（命令行可被他人看到），请把密码放在 ~/.pgpass 中</source>
        <translation>a connection string may not hold a password (others can see the command line); put the password in ~/.pgpass</translation>
    </message>
    <message>
        <source>verify 需要一个备份目录，或 --all 与存放备份的目录</source>
        <translation>verify needs a backup folder, or --all and the folder holding the backups</translation>
    </message>
    <message>
        <source>list 不接受参数 %1</source>
        <translation>list takes no argument %1</translation>
    </message>
    <message>
        <source>export 不接受参数 %1</source>
        <translation>export takes no argument %1</translation>
    </message>
    <message>
        <source>export 需要 --to</source>
        <translation>export needs --to</translation>
    </message>
    <message>
        <source>export 需要 --all，或者 --set 与 --year 两者</source>
        <translation>export needs --all, or both --set and --year</translation>
    </message>
    <message>
        <source>export --set 需要 --year，--year 需要 --set</source>
        <translation>export --set needs --year, and --year needs --set</translation>
    </message>
    <message>
        <source>--dry-run 只用于 export --all</source>
        <translation>--dry-run is only for export --all</translation>
    </message>
    <message>
        <source>--keep-* 只用于 export --all</source>
        <translation>--keep-* is only for export --all</translation>
    </message>
    <message>
        <source>--year 需要四位数的年度</source>
        <translation>--year needs a four-digit year</translation>
    </message>
    <message>
        <source>--json 只用于 list、verify 与 export</source>
        <translation>--json is only for list, verify and export</translation>
    </message>
    <message>
        <source>import 需要一个备份目录</source>
        <translation>import needs a backup folder</translation>
    </message>
    <message>
        <source>未知的命令 %1</source>
        <translation>unknown command %1</translation>
    </message>
    <message>
        <source>%1 不是安装目录：找不到系统库 DeZaduzi/DeZaduzi.mdb</source>
        <translation>%1 is not an installation folder: the system database DeZaduzi/DeZaduzi.mdb is missing</translation>
    </message>
    <message>
        <source>另一个 revozi-backup 正在处理安装 %1，本次未运行</source>
        <translation>another revozi-backup is working on the installation %1; this run did nothing</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>用法:
  revozi-backup ROOT list [--to BACKUPS] [--json]
      列出安装中的每个账套与年度、账套库的大小和位置；给出 --to 时另列 BACKUPS 中最新的备份。
      以制表符分隔各列；输出到终端时第一行是列名。
  revozi-backup ROOT export --set N --year YYYY --to DIR [--encrypt --passphrase-file FILE] [--compress]
                [--json]
      把账套 N 的 YYYY 年度输出到 DIR，与控制台的输出账套相同（描述文件、数据文件、校验清单）。
  revozi-backup ROOT export --all --to BACKUPS [--keep-daily D] [--keep-weekly W] [--keep-monthly M]
                [--encrypt --passphrase-file FILE] [--compress] [--dry-run] [--json]
      把每个账套输出到 BACKUPS/&lt;账套&gt;-&lt;年度&gt;/&lt;yyyyMMdd-HHmmss&gt;/；一个账套失败不影响其他账套。
      给出 --keep-* 时，每个账套与年度保留最近 D 天、W 周、M 月中每天、每周、每月最新的备份，
      删除其余由本程序写入的备份目录；符号链接、有其他文件或属于别的账套与年度的目录原样保留，
      并在标准错误上逐个说明原因。不给出时什么也不删除。
      --dry-run：试运行，什么也不输出、不删除，只列出每个账套将写入的目录和保留规则将删除的备份
      （与同一时刻的正式运行删除的完全相同）。
  revozi-backup verify DIR [--passphrase-file FILE] [--json]
      只做引入前的检查（大小、校验和、账套身份、完整性），不引入，并列出检查了什么。
  revozi-backup verify --all BACKUPS [--passphrase-file FILE] [--json]
      检查 BACKUPS 中的每个备份目录（BACKUPS/&lt;账套&gt;-&lt;年度&gt;/&lt;时间&gt;/，或直接在 BACKUPS 下的备份），
      每个目录一行；有一个未通过检查时退出状态为 1。
  revozi-backup ROOT import DIR [--folder PATH] [--yes] [--passphrase-file FILE]
      引入 DIR 中的备份：放到描述文件所记的位置，或放到 PATH 之下；已有的账套只有给出 --yes 才覆盖。
      账套数据只放入该账套自己的年度目录 zt&lt;账套&gt;/&lt;年度&gt;，且该目录须为空或存放本安装该账套该年度的
      数据；否则拒绝引入并说明目录中是谁的数据，需以 --folder 另指位置。只合并该账套该年度的行，
      不建立、不修改角色及其成员。
  revozi-backup --help | --version
      显示本帮助或版本。

通用选项：
  --json      list、verify 与 export 在标准输出上每个账套（备份）写一行 JSON 对象，代替文字：
              {&quot;set&quot;,&quot;year&quot;,&quot;folder&quot;,&quot;bytes&quot;,&quot;checksum&quot;,&quot;seconds&quot;,&quot;outcome&quot;,...}，
              outcome 为 ok、failed 或 planned（试运行）；失败仍在标准错误上说明。
  --quiet     只写失败（和 --json 的输出），不写成功的消息、说明和进度。
  --progress  标准错误不是终端时也写进度行（每个账套：已完成与总字节数、速度、剩余时间）。

加密与压缩（export）：
  --encrypt   用口令加密数据文件（Argon2id 由口令生成密钥，XChaCha20-Poly1305 分块加密，
              任何一块被改动、删除、调换或截断都会被拒绝）。需要 --passphrase-file。
  --compress  用 zstd 压缩数据文件（与 --encrypt 同用时先压缩后加密）。
  --passphrase-file FILE  口令在 FILE 的第一行；FILE 须为普通文件，且同组与其他用户不能访问
              （chmod 600）。口令不能写在命令行或环境变量中，也不会写入日志或任何文件。
              verify 给出口令时还解密并检查其中的账套数据，不给时只核对校验和；import 引入
              加密的备份时必须给出。描述文件仍为 18 行，加密与压缩记在校验清单中。

服务器上的安装：以 --server CONNINFO 代替 ROOT（CONNINFO 为连接串，如 &quot;host=srv dbname=revozi&quot;，
或 service=NAME）。密码不能写在命令行上，请放在 ~/.pgpass 中。

退出状态：0 成功，1 有任务失败，2 用法错误。消息逐行写到标准错误。
同一安装上同时只能运行一个 revozi-backup：第二个会被拒绝（退出状态 1），不会等待。
环境变量 REVOZI_NOW=YYYY-MM-DDTHH:MM:SS 代替时钟（备份目录名与保留规则都按它计算）。
</source>
        <translation>Usage:
  revozi-backup ROOT list [--to BACKUPS] [--json]
      Lists every account set and year of the installation, with the account database&apos;s size and place;
      with --to also the newest backup in BACKUPS. Columns are separated by tabs; on a terminal the
      first line names them.
  revozi-backup ROOT export --set N --year YYYY --to DIR [--encrypt --passphrase-file FILE] [--compress]
                [--json]
      Backs up year YYYY of account set N to DIR, as the console&apos;s backup does (descriptor, data file,
      checksum list).
  revozi-backup ROOT export --all --to BACKUPS [--keep-daily D] [--keep-weekly W] [--keep-monthly M]
                [--encrypt --passphrase-file FILE] [--compress] [--dry-run] [--json]
      Backs up every account set to BACKUPS/&lt;set&gt;-&lt;year&gt;/&lt;yyyyMMdd-HHmmss&gt;/; one set failing does not
      stop the others. With --keep-*, for each set and year the newest backup of each of the last D days,
      W weeks and M months is kept and the other backup folders this program wrote are deleted; symbolic
      links, folders holding other files and folders of another set and year are kept as they are, each
      with its reason on standard error. Without --keep-* nothing is deleted.
      --dry-run: a trial run that backs up and deletes nothing, and only lists the folder each set would be
      written to and the backups the retention rules would delete (exactly those a real run at the same
      moment would delete).
  revozi-backup verify DIR [--passphrase-file FILE] [--json]
      Only the checks made before an import (size, checksum, the set&apos;s identity, integrity), without
      importing, and lists what was checked.
  revozi-backup verify --all BACKUPS [--passphrase-file FILE] [--json]
      Checks every backup folder in BACKUPS (BACKUPS/&lt;set&gt;-&lt;year&gt;/&lt;time&gt;/, or a backup right in BACKUPS),
      one line a folder; the exit status is 1 when one fails the check.
  revozi-backup ROOT import DIR [--folder PATH] [--yes] [--passphrase-file FILE]
      Imports the backup in DIR: into the place its descriptor records, or under PATH; an existing
      account set is overwritten only with --yes. The set&apos;s data goes only into the set&apos;s own year folder
      zt&lt;set&gt;/&lt;year&gt;, which must be empty or hold this installation&apos;s data of that set and year; otherwise
      the import is refused, saying whose data the folder holds, and --folder must name another place.
      Only that set&apos;s rows of that year are merged; roles and their members are neither made nor changed.
  revozi-backup --help | --version
      Shows this help or the version.

Common options:
  --json      list, verify and export write one JSON object a set (backup) on standard output instead of text:
              {&quot;set&quot;,&quot;year&quot;,&quot;folder&quot;,&quot;bytes&quot;,&quot;checksum&quot;,&quot;seconds&quot;,&quot;outcome&quot;,...},
              outcome is ok, failed or planned (dry run); failures are still told on standard error.
  --quiet     writes only failures (and the --json output): no success messages, notes or progress.
  --progress  writes progress lines (per set: bytes done and in all, speed, time left) also when standard
              error is not a terminal.

Encryption and compression (export):
  --encrypt   encrypts the data file with a passphrase (Argon2id derives the key from the passphrase,
              XChaCha20-Poly1305 encrypts it in chunks; any chunk changed, deleted, swapped or cut off is
              refused). Needs --passphrase-file.
  --compress  compresses the data file with zstd (with --encrypt: compressed first, then encrypted).
  --passphrase-file FILE  the passphrase is the first line of FILE; FILE must be a regular file that
              neither group nor others can read (chmod 600). The passphrase may not be on the command line
              or in the environment, and is written to no log and no file.
              verify with a passphrase also decrypts and checks the set&apos;s data in it, without one it only
              compares the checksum; import needs it for an encrypted backup. The descriptor keeps its
              18 lines; encryption and compression are recorded in the checksum list.

Server installations: --server CONNINFO instead of ROOT (CONNINFO is a connection string such as
&quot;host=srv dbname=revozi&quot;, or service=NAME). The password may not be on the command line; put it in ~/.pgpass.

Exit status: 0 success, 1 a task failed, 2 usage error. Messages go to standard error, one a line.
Only one revozi-backup runs on an installation at a time: a second one is refused (exit status 1) and does not wait.
The environment variable REVOZI_NOW=YYYY-MM-DDTHH:MM:SS stands in for the clock (for backup folder names and the retention rules).
</translation>
    </message>
    <message>
        <source>：数据文件已加密，未给出口令（--passphrase-file），未检查其中的账套数据</source>
        <translation>: the data file is encrypted and no passphrase was given (--passphrase-file); the set&apos;s data in it was not checked</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>：数据文件已解开，含账套库的表，账套号、年度与描述文件一致</source>
        <translation>: the data file was unsealed; it holds the account database&apos;s tables, and its set number and year match the descriptor</translation>
    </message>
    <message>
        <source>：描述文件可读，数据文件按校验清单所记已%1</source>
        <translation>: the descriptor is readable; the data file is %1, as the checksum list records</translation>
    </message>
    <message>
        <source>压缩并加密</source>
        <translation>compressed and encrypted</translation>
    </message>
    <message>
        <source>加密</source>
        <translation>encrypted</translation>
    </message>
    <message>
        <source>压缩</source>
        <translation>compressed</translation>
    </message>
    <message>
        <source>%1：备份已加密，需要口令（--passphrase-file），未引入</source>
        <translation>%1: the backup is encrypted and needs the passphrase (--passphrase-file); nothing was imported</translation>
    </message>
    <message>
        <source>--encrypt 与 --compress 只用于 export</source>
        <translation>--encrypt and --compress are only for export</translation>
    </message>
    <message>
        <source>--encrypt 需要 --passphrase-file（口令不能写在命令行上）</source>
        <translation>--encrypt needs --passphrase-file (the passphrase may not be on the command line)</translation>
    </message>
    <message>
        <source>export 只在给出 --encrypt 时读取 --passphrase-file</source>
        <translation>export reads --passphrase-file only with --encrypt</translation>
    </message>
    <message>
        <source>--passphrase-file 只用于 export、verify 与 import</source>
        <translation>--passphrase-file is only for export, verify and import</translation>
    </message>
</context>
</TS>
