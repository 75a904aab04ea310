<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AccountPages</name>
    <message>
        <source>账套信息</source>
        <translation>Account set</translation>
    </message>
    <message>
        <source>此页面可输入当前有关账套信息。</source>
        <translation>On this page enter the account set&apos;s details.</translation>
    </message>
    <message>
        <source>已存账套:</source>
        <translation>Existing account sets:</translation>
    </message>
    <message>
        <source>账套号(&amp;A):</source>
        <translation>&amp;Account set no.:</translation>
    </message>
    <message>
        <source>账套名称(&amp;N):</source>
        <translation>Account set &amp;name:</translation>
    </message>
    <message>
        <source>账套路径(&amp;P):</source>
        <translation>Account set &amp;path:</translation>
    </message>
    <message>
        <source>选择账套路径</source>
        <translation>Choose the account set&apos;s path</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>会计期间设置</source>
        <translation>Accounting periods</translation>
    </message>
    <message>
        <source>启用会计期(&amp;Y):</source>
        <translation>Starting &amp;year:</translation>
    </message>
    <message>
        <source>账套路径必须是完整的绝对路径（以“/”开头），不能是相对路径：%1</source>
        <translation>The account set&apos;s path must be a full absolute path (starting with &quot;/&quot;), not a relative one: %1</translation>
    </message>
    <message>
        <source>创建账套</source>
        <translation>Create account set</translation>
    </message>
    <message>
        <source>单位信息</source>
        <translation>Company</translation>
    </message>
    <message>
        <source>此页面输入贵单位的单位信息。</source>
        <translation>On this page enter your company&apos;s details.</translation>
    </message>
    <message>
        <source>单位名称(&amp;M):</source>
        <translation>Co&amp;mpany name:</translation>
    </message>
    <message>
        <source>单位简称(&amp;A):</source>
        <translation>&amp;Abbreviation:</translation>
    </message>
    <message>
        <source>单位地址(&amp;R):</source>
        <translation>Add&amp;ress:</translation>
    </message>
    <message>
        <source>法人代表(&amp;L):</source>
        <translation>&amp;Legal representative:</translation>
    </message>
    <message>
        <source>邮政编码(&amp;Z):</source>
        <translation>&amp;Zip code:</translation>
    </message>
    <message>
        <source>联系电话(&amp;P):</source>
        <translation>&amp;Phone:</translation>
    </message>
    <message>
        <source>传真(&amp;F):</source>
        <translation>&amp;Fax:</translation>
    </message>
    <message>
        <source>电子邮件(&amp;E):</source>
        <translation>&amp;E-mail:</translation>
    </message>
    <message>
        <source>税号(&amp;X):</source>
        <translation>Ta&amp;x number:</translation>
    </message>
    <message>
        <source>备注一:</source>
        <translation>Note 1:</translation>
    </message>
    <message>
        <source>备注二:</source>
        <translation>Note 2:</translation>
    </message>
    <message>
        <source>核算类型</source>
        <translation>Accounting type</translation>
    </message>
    <message>
        <source>此页面输入您选择的核算类型。</source>
        <translation>On this page enter the accounting type you choose.</translation>
    </message>
    <message>
        <source>本币代码(&amp;C):</source>
        <translation>Home &amp;currency code:</translation>
    </message>
    <message>
        <source>本币名称(&amp;M):</source>
        <translation>Home currency na&amp;me:</translation>
    </message>
    <message>
        <source>企业类型(&amp;Y):</source>
        <translation>Enterprise t&amp;ype:</translation>
    </message>
    <message>
        <source>商业</source>
        <translation>Trade</translation>
    </message>
    <message>
        <source>工业</source>
        <translation>Industry</translation>
    </message>
    <message>
        <source>行业性质(&amp;K):</source>
        <translation>Industry &amp;kind:</translation>
    </message>
    <message>
        <source>账套主管(&amp;H):</source>
        <translation>Supervisor (&amp;H):</translation>
    </message>
    <message>
        <source>按行业性质预置科目(&amp;S)</source>
        <translation>&amp;Set up the chart of accounts by industry</translation>
    </message>
    <message>
        <source>科目预览</source>
        <translation>Preview accounts</translation>
    </message>
    <message>
        <source>基础信息</source>
        <translation>Basic information</translation>
    </message>
    <message>
        <source>此页面设置您的701账套2005年度账基础信息。</source>
        <translation>On this page set the basic information of account set 701&apos;s books for 2005.</translation>
    </message>
    <message>
        <source>存货是否分类(&amp;V)</source>
        <translation>Classify in&amp;ventory</translation>
    </message>
    <message>
        <source>客户是否分类(&amp;C)</source>
        <translation>Classify &amp;customers</translation>
    </message>
    <message>
        <source>供应商是否分类(&amp;P)</source>
        <translation>Classify su&amp;ppliers</translation>
    </message>
    <message>
        <source>有无外币核算(&amp;A)</source>
        <translation>Foreign currency &amp;accounting</translation>
    </message>
    <message>
        <source>业务流程</source>
        <translation>Business flow</translation>
    </message>
    <message>
        <source>此页面设置你的业务流程信息</source>
        <translation>On this page set your business flow</translation>
    </message>
    <message>
        <source>销售流程</source>
        <translation>Sales flow</translation>
    </message>
    <message>
        <source>优化流程</source>
        <translation>Streamlined flow</translation>
    </message>
    <message>
        <source>标准流程</source>
        <translation>Standard flow</translation>
    </message>
    <message>
        <source>销售订单-&gt;发货单-&gt;收款</source>
        <translation>Sales order-&gt;Delivery note-&gt;Receipt</translation>
    </message>
    <message>
        <source>销售订单-&gt;发货单</source>
        <translation>Sales order-&gt;Delivery note</translation>
    </message>
    <message>
        <source>-&gt;出库单</source>
        <translation>-&gt;Stock issue</translation>
    </message>
    <message>
        <source>-&gt;发票-&gt;收款</source>
        <translation>-&gt;Invoice-&gt;Receipt</translation>
    </message>
    <message>
        <source>采购流程</source>
        <translation>Purchase flow</translation>
    </message>
    <message>
        <source>采购订单-&gt;入库单-&gt;付款</source>
        <translation>Purchase order-&gt;Stock receipt-&gt;Payment</translation>
    </message>
    <message>
        <source>采购订单-&gt;入库单-&gt;发票-&gt;付款</source>
        <translation>Purchase order-&gt;Stock receipt-&gt;Invoice-&gt;Payment</translation>
    </message>
    <message>
        <source>此页面设置您的%1账套%2年度账基础信息。</source>
        <translation>On this page set the basic information of account set %1&apos;s books for %2.</translation>
    </message>
</context>
<context>
    <name>ConfigDialogs</name>
    <message>
        <source>会计科目浏览--</source>
        <translation>Chart of accounts--</translation>
    </message>
</context>
<context>
    <name>frmAccPath</name>
    <message>
        <source>账套存放路径</source>
        <translation>Account set folder</translation>
    </message>
    <message>
        <source>目录列表(&amp;R):</source>
        <translation>Fo&amp;lders:</translation>
    </message>
    <message>
        <source>目录列表</source>
        <translation>Folders</translation>
    </message>
    <message>
        <source>所选路径(&amp;S):</source>
        <translation>&amp;Selected path:</translation>
    </message>
    <message>
        <source>所选路径</source>
        <translation>Selected path</translation>
    </message>
    <message>
        <source>确认(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>放弃(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
</context>
<context>
    <name>frmAccount</name>
    <message>
        <source>青木通【系统管理】</source>
        <translation>Qingmutong [System Administration]</translation>
    </message>
    <message>
        <source>账
套</source>
        <translation>Account
set</translation>
    </message>
    <message>
        <source>创建账套</source>
        <translation>Create account set</translation>
    </message>
    <message>
        <source>上一步(&amp;&lt;)</source>
        <translation>&amp;&lt; Back</translation>
    </message>
    <message>
        <source>下一步(&amp;&gt;)</source>
        <translation>Next &amp;&gt;</translation>
    </message>
    <message>
        <source>完成(&amp;F)</source>
        <translation>&amp;Finish</translation>
    </message>
    <message>
        <source>放弃</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>修改帐套</source>
        <translation>Modify account set</translation>
    </message>
    <message>
        <source>帐套不存在！</source>
        <translation>The account set does not exist!</translation>
    </message>
    <message>
        <source>可以修改帐套了么？</source>
        <translation>Modify the account set now?</translation>
    </message>
    <message>
        <source>可以创建账套了么？</source>
        <translation>Create the account set now?</translation>
    </message>
    <message>
        <source>系统库未打开，请重新注册。</source>
        <translation>The system database is not open; please log in again.</translation>
    </message>
    <message>
        <source>账套已创建，但编码方案或数据精度未能保存：%1</source>
        <translation>The account set was created, but its coding scheme or data precision could not be saved: %1</translation>
    </message>
    <message>
        <source>修改账套失败：%1</source>
        <translation>Could not modify the account set: %1</translation>
    </message>
    <message>
        <source>是否立即启用账套</source>
        <translation>Enable the account set&apos;s subsystems now?</translation>
    </message>
    <message>
        <source>提示：采用优化流程后，发货单保存系统自动生成销售发票及销售出库单。</source>
        <translation>Note: with the streamlined flow, saving a delivery note makes its sales invoice and stock issue automatically.</translation>
    </message>
    <message>
        <source>提示：采用优化流程后，采购入库单保存将自动生成发票并结算，</source>
        <translation>Note: with the streamlined flow, saving a stock receipt makes its invoice and settles it automatically;</translation>
    </message>
    <message>
        <source>发票只能查看，运费发票将不可用。</source>
        <translation>the invoice can only be viewed, and freight invoices are not available.</translation>
    </message>
</context>
<context>
    <name>frmCarryForward</name>
    <message>
        <source>结转上年数据</source>
        <translation>Carry forward the previous year</translation>
    </message>
    <message>
        <source>将要结转的科目</source>
        <translation>Accounts to carry forward</translation>
    </message>
    <message>
        <source>&lt;科目编码|&lt;科目名称|&lt;结转内容</source>
        <translation>&lt;Account code|&lt;Account name|&lt;What is carried</translation>
    </message>
</context>
</TS>
