<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
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
        <source>备份数据不完整：数据文件被截断，缺少结尾</source>
        <translation>The backup data is incomplete: the data file was cut short and has no end</translation>
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
</TS>
