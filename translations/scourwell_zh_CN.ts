<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>BrowseForFolder</name>
    <message>
        <source>Browse for Folder</source>
        <translation>浏览文件夹</translation>
    </message>
    <message>
        <source>&amp;Make New Folder</source>
        <translation>新建文件夹(&amp;M)</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>新建文件夹</translation>
    </message>
    <message>
        <source>New Folder (%1)</source>
        <translation>新建文件夹 (%1)</translation>
    </message>
</context>
<context>
    <name>DeletedItemsModel</name>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>%1, deleted project</source>
        <translation>%1，已删除的项目</translation>
    </message>
    <message>
        <source>%1, deleted file</source>
        <translation>%1，已删除的文件</translation>
    </message>
    <message>
        <source>%1, deleted unknown</source>
        <translation>%1，已删除的未知项</translation>
    </message>
    <message>
        <source>checked: it will be purged</source>
        <translation>已勾选：将被清除</translation>
    </message>
    <message>
        <source>not checked: it will be kept</source>
        <translation>未勾选：将被保留</translation>
    </message>
    <message>
        <source>Deleted item</source>
        <translation>已删除的项</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Goes with it</source>
        <translation>随之删除</translation>
    </message>
    <message>
        <source>Deleted on</source>
        <translation>删除时间</translation>
    </message>
    <message>
        <source>Deleted by</source>
        <translation>删除者</translation>
    </message>
</context>
<context>
    <name>DeletedList</name>
    <message>
        <source>%1 (%2 of %3 entries of this path)</source>
        <translation>%1（此路径 %3 个条目中的第 %2 个）</translation>
    </message>
</context>
<context>
    <name>FMain</name>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>List All</source>
        <translation>列出全部</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>选择</translation>
    </message>
    <message>
        <source>Purge</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Please enter below the login information to be used and the VSS database where Scourwell should search for deleted items.</source>
        <translation>请在下方输入要使用的登录信息，以及 Scourwell 要在其中搜索已删除项的 VSS 数据库。</translation>
    </message>
    <message>
        <source>Login &amp;Name:</source>
        <translation>登录名(&amp;N)：</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>密码(&amp;P)：</translation>
    </message>
    <message>
        <source>&amp;Database path:</source>
        <translation>数据库路径(&amp;D)：</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>更改</translation>
    </message>
    <message>
        <source>Now searching in:</source>
        <translation>正在搜索：</translation>
    </message>
    <message>
        <source>Now purging file:</source>
        <translation>正在清除文件：</translation>
    </message>
    <message>
        <source>Open the purge report</source>
        <translation>打开清除报告</translation>
    </message>
    <message>
        <source>Open the copy kept before the purge</source>
        <translation>打开清除前保留的副本</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>查看(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Recover</source>
        <translation>恢复(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;List All &gt;&gt;</source>
        <translation>列出全部(&amp;L) &gt;&gt;</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>Scourwell has analyzed the database and found the following items as being deleted but not purged. Please check the items you want to purge:</source>
        <translation>Scourwell 已分析数据库，发现以下各项已删除但尚未清除。请勾选要清除的项：</translation>
    </message>
    <message>
        <source>&amp;Filter:</source>
        <translation>筛选(&amp;F)：</translation>
    </message>
    <message>
        <source>names, * and ? as wildcards</source>
        <translation>名称，可用 * 和 ? 作通配符</translation>
    </message>
    <message>
        <source>Chec&amp;k shown</source>
        <translation>勾选显示项(&amp;K)</translation>
    </message>
    <message>
        <source>&amp;Uncheck shown</source>
        <translation>取消勾选显示项(&amp;U)</translation>
    </message>
    <message>
        <source>Deleted &amp;before:</source>
        <translation>删除早于(&amp;B)：</translation>
    </message>
    <message>
        <source>Uncheck All</source>
        <translation>全部取消勾选</translation>
    </message>
    <message>
        <source>Login name</source>
        <translation>登录名</translation>
    </message>
    <message>
        <source>The SourceSafe user to log in as</source>
        <translation>要登录的 SourceSafe 用户</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Empty for a user without a password</source>
        <translation>没有密码的用户留空</translation>
    </message>
    <message>
        <source>Database path</source>
        <translation>数据库路径</translation>
    </message>
    <message>
        <source>The database folder or its srcsafe.ini, or a UNC path of a mounted share</source>
        <translation>数据库文件夹或其 srcsafe.ini，或已挂载共享的 UNC 路径</translation>
    </message>
    <message>
        <source>Change database path</source>
        <translation>更改数据库路径</translation>
    </message>
    <message>
        <source>Opens a folder dialog to choose the database</source>
        <translation>打开文件夹对话框以选择数据库</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>筛选</translation>
    </message>
    <message>
        <source>Shows only the entries whose names match; * and ? are wildcards</source>
        <translation>只显示名称匹配的条目；* 和 ? 是通配符</translation>
    </message>
    <message>
        <source>Deleted before</source>
        <translation>删除早于</translation>
    </message>
    <message>
        <source>Shows only the entries deleted before the date</source>
        <translation>只显示在该日期之前删除的条目</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>The day before which the entries shown were deleted</source>
        <translation>所显示条目的删除日期早于此日</translation>
    </message>
    <message>
        <source>Deleted items</source>
        <translation>已删除的项</translation>
    </message>
    <message>
        <source>Each checked entry is purged, with everything below it</source>
        <translation>每个勾选的条目连同其下的一切都将被清除</translation>
    </message>
    <message>
        <source>Check or uncheck all entries</source>
        <translation>勾选或取消勾选全部条目</translation>
    </message>
    <message>
        <source>Web site</source>
        <translation>网站</translation>
    </message>
    <message>
        <source>Write an e-mail</source>
        <translation>发送电子邮件</translation>
    </message>
    <message>
        <source>View</source>
        <translation>查看</translation>
    </message>
    <message>
        <source>Opens the latest content of the entry under the cursor</source>
        <translation>打开光标所在条目的最新内容</translation>
    </message>
    <message>
        <source>Recover</source>
        <translation>恢复</translation>
    </message>
    <message>
        <source>Brings the checked entries back where they were</source>
        <translation>将勾选的条目恢复到原来的位置</translation>
    </message>
    <message>
        <source>Entries that failed or were kept</source>
        <translation>失败或被保留的条目</translation>
    </message>
    <message>
        <source>Each with the reason</source>
        <translation>各附原因</translation>
    </message>
    <message>
        <source>Steps</source>
        <translation>步骤</translation>
    </message>
    <message>
        <source>Where the wizard stands: Start, List All, Select, Purge, Finish</source>
        <translation>向导所处的步骤：开始、列出全部、选择、清除、完成</translation>
    </message>
    <message>
        <source>Notice</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Selection</source>
        <translation>选择</translation>
    </message>
    <message>
        <source>Items found</source>
        <translation>找到的项</translation>
    </message>
    <message>
        <source>What the purge did</source>
        <translation>清除的结果</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>The item being purged</source>
        <translation>正在清除的项</translation>
    </message>
    <message>
        <source>The project being searched</source>
        <translation>正在搜索的项目</translation>
    </message>
    <message>
        <source>Step %1 of 5: %2, the current step</source>
        <translation>第 %1 步（共 5 步）：%2，当前步骤</translation>
    </message>
    <message>
        <source>Step %1 of 5: %2</source>
        <translation>第 %1 步（共 5 步）：%2</translation>
    </message>
    <message>
        <source>current step</source>
        <translation>当前步骤</translation>
    </message>
    <message>
        <source>Open the copy kept before the purge (%1)</source>
        <translation>打开清除前保留的副本（%1）</translation>
    </message>
    <message>
        <source>Could not connect to the VSS database.<byte value="xd"/>
<byte value="xd"/>
Details: %1</source>
        <translation>无法连接到 VSS 数据库。<byte value="xd"/>
<byte value="xd"/>
详细信息：%1</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>停止(&amp;S)</translation>
    </message>
    <message>
        <source>Please wait until Scourwell builds the list of items that are deleted but not purged.</source>
        <translation>请稍候，Scourwell 正在生成已删除但尚未清除的项的列表。</translation>
    </message>
    <message>
        <source>%1 items found</source>
        <translation>找到 %1 项</translation>
    </message>
    <message>
        <source>&amp;Purge &gt;&gt;</source>
        <translation>清除(&amp;P) &gt;&gt;</translation>
    </message>
    <message>
        <source>No deleted items found.</source>
        <translation>未找到已删除的项。</translation>
    </message>
    <message>
        <source>Finished.</source>
        <translation>已完成。</translation>
    </message>
    <message>
        <source>Check All</source>
        <translation>全部勾选</translation>
    </message>
    <message>
        <source>User &apos;%1&apos; may not destroy items in this database, so nothing can be purged.</source>
        <translation>用户“%1”无权永久删除此数据库中的项，因此无法清除任何内容。</translation>
    </message>
    <message>
        <source>Scourwell could not read whether user &apos;%1&apos; may destroy items in this database, so nothing can be purged.</source>
        <translation>Scourwell 无法读取用户“%1”是否有权永久删除此数据库中的项，因此无法清除任何内容。</translation>
    </message>
    <message>
        <source>VSS Database Location</source>
        <translation>VSS 数据库位置</translation>
    </message>
    <message>
        <source>Check the entries to recover first.</source>
        <translation>请先勾选要恢复的条目。</translation>
    </message>
    <message>
        <source>Open the recover report (%1)</source>
        <translation>打开恢复报告（%1）</translation>
    </message>
    <message>
        <source>Open the purge report (%1)</source>
        <translation>打开清除报告（%1）</translation>
    </message>
    <message>
        <source>Select an entry to view first.</source>
        <translation>请先选择要查看的条目。</translation>
    </message>
    <message>
        <source>The content cannot be shown: %1</source>
        <translation>无法显示内容：%1</translation>
    </message>
</context>
<context>
    <name>KeptCopies</name>
    <message>
        <source>The folder of kept copies holds %1 copy, %2 together: vssdb kept lists them and removes old ones.</source>
        <translation>保留副本的文件夹中有 %1 个副本，共 %2：vssdb kept 可列出它们并删除旧的副本。</translation>
    </message>
    <message>
        <source>The folder of kept copies holds %1 copies, %2 together: vssdb kept lists them and removes old ones.</source>
        <translation>保留副本的文件夹中有 %1 个副本，共 %2：vssdb kept 可列出它们并删除旧的副本。</translation>
    </message>
</context>
<context>
    <name>Outcome</name>
    <message>
        <source>destroyed</source>
        <translation>已永久删除</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>失败</translation>
    </message>
    <message>
        <source>kept</source>
        <translation>保留</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>被拒绝</translation>
    </message>
    <message>
        <source>not-reached</source>
        <translation>未处理</translation>
    </message>
    <message>
        <source>recovered</source>
        <translation>已恢复</translation>
    </message>
    <message>
        <source>restored</source>
        <translation>已还原</translation>
    </message>
    <message>
        <source>would-destroy</source>
        <translation>将永久删除</translation>
    </message>
</context>
<context>
    <name>Purge</name>
    <message>
        <source>Now purging item (%1/%2):</source>
        <translation>正在清除第 %1/%2 项：</translation>
    </message>
</context>
<context>
    <name>PurgeReport</name>
    <message>
        <source>Scourwell recover report</source>
        <translation>Scourwell 恢复报告</translation>
    </message>
    <message>
        <source>Scourwell purge report</source>
        <translation>Scourwell 清除报告</translation>
    </message>
    <message>
        <source>Database: %1</source>
        <translation>数据库：%1</translation>
    </message>
    <message>
        <source>User: %1</source>
        <translation>用户：%1</translation>
    </message>
    <message>
        <source>Written: %1</source>
        <translation>写入时间：%1</translation>
    </message>
    <message>
        <source>Asked: %1</source>
        <translation>询问内容：%1</translation>
    </message>
    <message>
        <source>Hidden by the filter: %1 of the checked entries</source>
        <translation>被筛选隐藏：勾选条目中的 %1 个</translation>
    </message>
    <message>
        <source>Advice: %1</source>
        <translation>建议：%1</translation>
    </message>
    <message>
        <source>Copy kept: %1</source>
        <translation>保留的副本：%1</translation>
    </message>
    <message>
        <source>Entries:</source>
        <translation>条目：</translation>
    </message>
    <message>
        <source>deleted by %1</source>
        <translation>删除者 %1</translation>
    </message>
    <message>
        <source>deleted on %1</source>
        <translation>删除于 %1</translation>
    </message>
    <message>
        <source>deleted on %1 by %2</source>
        <translation>删除于 %1，删除者 %2</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>（无）</translation>
    </message>
</context>
<context>
    <name>Recover</name>
    <message>
        <source>Now recovering item (%1/%2):</source>
        <translation>正在恢复第 %1/%2 项：</translation>
    </message>
    <message>
        <source>Recovered: %1 entry.</source>
        <translation>已恢复：%1 个条目。</translation>
    </message>
    <message>
        <source>Recovered: %1 entries.</source>
        <translation>已恢复：%1 个条目。</translation>
    </message>
    <message>
        <source>Refused: %1.</source>
        <translation>被拒绝：%1。</translation>
    </message>
    <message>
        <source>Failed: %1.</source>
        <translation>失败：%1。</translation>
    </message>
    <message>
        <source>Not reached because of Stop: %1.</source>
        <translation>因停止而未处理：%1。</translation>
    </message>
    <message>
        <source>The recover was stopped.</source>
        <translation>恢复已停止。</translation>
    </message>
</context>
<context>
    <name>Refusals</name>
    <message>
        <source>Checking which entries can be purged: %1 of %2</source>
        <translation>正在检查哪些条目可以清除：第 %1 个，共 %2 个</translation>
    </message>
</context>
<context>
    <name>ReportError</name>
    <message>
        <source>Error: %1<byte value="xd"/>
<byte value="xd"/>
The error happened in component &apos;%2&apos; at line %3 and was logged (if configured so) to the &apos;Log.txt&apos; file.</source>
        <translation>错误：%1<byte value="xd"/>
<byte value="xd"/>
错误发生在组件“%2”的第 %3 行，并已记录到“Log.txt”文件（如已配置）。</translation>
    </message>
</context>
<context>
    <name>Runs</name>
    <message>
        <source>Keeping a copy of what the purge destroys:</source>
        <translation>正在保留清除将永久删除的内容的副本：</translation>
    </message>
    <message>
        <source>Recover %1 checked entry.</source>
        <translation>恢复 %1 个勾选的条目。</translation>
    </message>
    <message>
        <source>Recover %1 checked entries.</source>
        <translation>恢复 %1 个勾选的条目。</translation>
    </message>
</context>
<context>
    <name>Wording</name>
    <message>
        <source>%1 item</source>
        <translation>%1 项</translation>
    </message>
    <message>
        <source>%1 items</source>
        <translation>%1 项</translation>
    </message>
    <message>
        <source>%1 checked entry</source>
        <translation>%1 个勾选的条目</translation>
    </message>
    <message>
        <source>%1 checked entries</source>
        <translation>%1 个勾选的条目</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1，%2</translation>
    </message>
    <message>
        <source>at least %1, %2</source>
        <translation>至少 %1，%2</translation>
    </message>
    <message>
        <source>, holding %1 of content; this frees about %2 on disk.</source>
        <translation>，内容共 %1；这将释放约 %2 磁盘空间。</translation>
    </message>
    <message>
        <source>, and %1 reclaimed.</source>
        <translation>，并回收 %1。</translation>
    </message>
    <message>
        <source>%1 item will be destroyed for good</source>
        <translation>%1 项将被永久删除</translation>
    </message>
    <message>
        <source>%1 items will be destroyed for good</source>
        <translation>%1 项将被永久删除</translation>
    </message>
    <message>
        <source>At least %1 item will be destroyed for good</source>
        <translation>至少 %1 项将被永久删除</translation>
    </message>
    <message>
        <source>At least %1 items will be destroyed for good</source>
        <translation>至少 %1 项将被永久删除</translation>
    </message>
    <message>
        <source>at least %1 item will be destroyed for good</source>
        <translation>至少 %1 项将被永久删除</translation>
    </message>
    <message>
        <source>at least %1 items will be destroyed for good</source>
        <translation>至少 %1 项将被永久删除</translation>
    </message>
    <message>
        <source>, %1 of them inside projects</source>
        <translation>，其中 %1 项位于项目内</translation>
    </message>
    <message>
        <source>%1 of them is hidden by the filter.</source>
        <translation>其中 %1 个被筛选隐藏。</translation>
    </message>
    <message>
        <source>%1 of them are hidden by the filter.</source>
        <translation>其中 %1 个被筛选隐藏。</translation>
    </message>
    <message>
        <source>Project</source>
        <translation>项目</translation>
    </message>
    <message>
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>%1: kept</source>
        <translation>%1：保留</translation>
    </message>
    <message>
        <source>size unknown</source>
        <translation>大小未知</translation>
    </message>
    <message>
        <source>nothing below</source>
        <translation>其下无内容</translation>
    </message>
    <message>
        <source>%1 below</source>
        <translation>其下 %1</translation>
    </message>
    <message>
        <source>%1 of %2 shown</source>
        <translation>显示 %1 / %2</translation>
    </message>
    <message>
        <source>%1 items found</source>
        <translation>找到 %1 项</translation>
    </message>
    <message>
        <source>None checked</source>
        <translation>未勾选任何条目</translation>
    </message>
    <message>
        <source>%1 checked: %2 (about %3 on disk)</source>
        <translation>已勾选 %1 个：%2（磁盘上约 %3）</translation>
    </message>
    <message>
        <source>%1 checked: %2</source>
        <translation>已勾选 %1 个：%2</translation>
    </message>
    <message>
        <source>Purge %1?</source>
        <translation>清除 %1？</translation>
    </message>
    <message>
        <source>This cannot be undone.</source>
        <translation>此操作无法撤消。</translation>
    </message>
    <message>
        <source>Before anything is destroyed, a copy of it (about %1) is kept in the folder<byte value="xd"/>
%2</source>
        <translation>在永久删除任何内容之前，会先将其副本（约 %1）保存在以下文件夹中<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>Recover %1?</source>
        <translation>恢复 %1？</translation>
    </message>
    <message>
        <source>Each comes back where it was, no longer deleted; a project comes back without the deleted items below it that are not checked.</source>
        <translation>每个条目都会回到原来的位置，不再处于删除状态；恢复项目时，其下未勾选的已删除项不会随之恢复。</translation>
    </message>
    <message>
        <source>%1: checked entries are hidden by the filter</source>
        <translation>%1：有勾选的条目被筛选隐藏</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>%1 entry</source>
        <translation>%1 个条目</translation>
    </message>
    <message>
        <source>%1 entries</source>
        <translation>%1 个条目</translation>
    </message>
    <message>
        <source>Destroyed: %1, %2 of content; about %3 freed on disk.</source>
        <translation>已永久删除：%1，%2 内容；释放约 %3 磁盘空间。</translation>
    </message>
    <message>
        <source>Destroyed: %1, %2 reclaimed.</source>
        <translation>已永久删除：%1，回收 %2。</translation>
    </message>
    <message>
        <source>Failed: %1.</source>
        <translation>失败：%1。</translation>
    </message>
    <message>
        <source>Kept because an entry below them was not checked: %1.</source>
        <translation>因其下有条目未勾选而保留：%1。</translation>
    </message>
    <message>
        <source>Not reached because of Stop: %1.</source>
        <translation>因停止而未处理：%1。</translation>
    </message>
    <message>
        <source>The purge was stopped.</source>
        <translation>清除已停止。</translation>
    </message>
    <message>
        <source>Shown once and then counted (each one is written to standard error):</source>
        <translation>只显示一次，之后只计数（每一次都写入标准错误）：</translation>
    </message>
    <message>
        <source>(%1) at line %2, %3 more time after &apos;%4&apos;</source>
        <translation>(%1) 第 %2 行，在“%4”之后又出现 %3 次</translation>
    </message>
    <message>
        <source>(%1) at line %2, %3 more times after &apos;%4&apos;</source>
        <translation>(%1) 第 %2 行，在“%4”之后又出现 %3 次</translation>
    </message>
    <message>
        <source>, </source>
        <translation>、</translation>
    </message>
    <message>
        <source>%1 and %2 more</source>
        <translation>%1 以及另外 %2 个</translation>
    </message>
    <message>
        <source>The search is incomplete: %1 project could not be read: %2.</source>
        <translation>搜索不完整：有 %1 个项目无法读取：%2。</translation>
    </message>
    <message>
        <source>The search is incomplete: %1 projects could not be read: %2.</source>
        <translation>搜索不完整：有 %1 个项目无法读取：%2。</translation>
    </message>
</context>
<context>
    <name>scourwell</name>
    <message>
        <source>unexpected argument &apos;%1&apos;: one database path at most</source>
        <translation>多余的参数“%1”：最多只能给出一个数据库路径</translation>
    </message>
    <message>
        <source>&apos;%1&apos; needs a value</source>
        <translation>“%1”需要一个值</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>未知选项“%1”</translation>
    </message>
    <message>
        <source>usage: %1</source>
        <translation>用法：%1</translation>
    </message>
    <message>
        <source>Finds every deleted project and file in a SourceSafe database in one pass, lists
them with check boxes, and purges the ones you choose. It opens Scourwell&apos;s own
databases and SourceSafe 6 database folders (see &apos;vssdb --help&apos;).

Options:
  -h, --help      show this help and exit
  -v, --version   show the version and exit
  -platform NAME, -style NAME, -reverse, ...
                  the options every Qt program takes
  DATABASE        a database folder (or its srcsafe.ini) to put in the path field

The login name, the database path and the window&apos;s place are remembered between
runs; to see them: regtool list &apos;HKCU\Software\Pellbrook\Scourwell&apos;

Exit status: 0 when the window was closed, 2 on a usage error.
</source>
        <translation>一次找出 SourceSafe 数据库中所有已删除的项目和文件，以复选框列出，
并清除您选中的项。可打开 Scourwell 自己格式的数据库和 SourceSafe 6
数据库文件夹（参见“vssdb --help”）。

选项：
  -h, --help      显示此帮助并退出
  -v, --version   显示版本并退出
  -platform NAME, -style NAME, -reverse, ...
                  所有 Qt 程序都接受的选项
  DATABASE        要填入路径栏的数据库文件夹（或其 srcsafe.ini）

登录名、数据库路径和窗口位置会在两次运行之间保存；查看方法：
regtool list &apos;HKCU\Software\Pellbrook\Scourwell&apos;

退出状态：窗口关闭时为 0，用法错误时为 2。
</translation>
    </message>
</context>
<context>
    <name>vssdb</name>
    <message>
        <source>Makes a new database in DIR (made if missing).</source>
        <translation>在 DIR 中新建数据库（DIR 不存在时会创建）。</translation>
    </message>
    <message>
        <source>Adds a user; --no-destroy withholds the right to destroy. Only Admin may add users.</source>
        <translation>添加用户；--no-destroy 不授予永久删除权限。只有 Admin 可以添加用户。</translation>
    </message>
    <message>
        <source>Makes a project, and the missing projects above it.</source>
        <translation>新建项目，并创建其上缺少的项目。</translation>
    </message>
    <message>
        <source>Adds a file holding FILE&apos;s content (empty without --from) to an existing project.</source>
        <translation>向已有项目添加文件，内容为 FILE 的内容（不带 --from 时为空）。</translation>
    </message>
    <message>
        <source>Marks a live item deleted.</source>
        <translation>将一个现存项标记为已删除。</translation>
    </message>
    <message>
        <source>Gives the space a purge freed in the data file of our own format back to the file system: a compacted copy is written beside it, synced, given the file&apos;s owner, group and mode, and renamed into its place. Needs the destroy right. Refused, with nothing changed, while another program has the database open (processes of other users are seen only by root) or when it changes meanwhile.</source>
        <translation>把清除在本程序自有格式数据文件中释放的空间归还给文件系统：在其旁边写入压缩后的副本，同步到磁盘，赋予原文件的所有者、组和权限，再重命名到原位置。需要永久删除权限。当有其他程序打开该数据库（其他用户的进程只有 root 才能看到）或数据库在此期间发生变化时拒绝执行，且不做任何更改。</translation>
    </message>
    <message>
        <source>Writes the latest content of the file SPEC, deleted or not, to standard output, byte for byte; nothing in the database is written. Where a live file and deleted ones share the path the live one is written; several deleted ones and no live one are refused.</source>
        <translation>将文件 SPEC 的最新内容（无论是否已删除）逐字节写到标准输出；不写入数据库中的任何内容。同一路径下既有现存文件又有已删除文件时，写出现存的那个；只有多个已删除文件而没有现存文件时拒绝执行。</translation>
    </message>
    <message>
        <source>Brings a deleted item back where it was; refused while a live item of its project has its name. A project comes back without the deleted items below it. In a SourceSafe 6 database only files that are not shared, pinned, branched or checked out are recovered (projects are refused), with the same journal and locks as a destroy.</source>
        <translation>将已删除的项恢复到原来的位置；若其项目中有同名的现存项则拒绝。恢复项目时，其下已删除的项不随之恢复。在 SourceSafe 6 数据库中，只恢复未共享、未固定、未分支且未签出的文件（项目会被拒绝），并使用与永久删除相同的日志和锁。</translation>
    </message>
    <message>
        <source>Destroys a deleted item for good. A live item is refused, and so is a spec that several deleted items share. In a SourceSafe 6 database only the kinds of item whose destroy is known are destroyed (not shared, branched, pinned, labelled or checked out); the others are refused with their reason and nothing is written. Its names are read in the Windows code page CP (default CP1252; a name or a number).</source>
        <translation>永久删除一个已删除的项。现存项会被拒绝，多个已删除项共用的路径也会被拒绝。在 SourceSafe 6 数据库中，只永久删除已知如何删除的项（未共享、未分支、未固定、未加标签且未签出）；其他项会被拒绝并给出原因，且不写入任何内容。名称按 Windows 代码页 CP 读取（默认 CP1252；可用名称或编号）。</translation>
    </message>
    <message>
        <source>Lists SPEC (default $/) and everything below it, one spec a line, depth first, each item before its children; --deleted lists only the items marked deleted; --long puts the kind (project or file), the deleted mark and the size in bytes before each spec. With --deleted, --format json or csv gives the deleted entries as the window lists them, for reports: path, kind, size, items_below and bytes_below (what a project&apos;s destroy takes with it), complete (false when some of it could not be read), deleted_on (the wall-clock time the database recorded, as 2017-02-21T07:55:02) and deleted_by (null when the database does not record them). --deleted-before DATE (as 2024-01-31) lists only the items deleted before that day, --deleted-by USER only those USER deleted (any letter case); an item whose delete is not recorded is listed by neither. DIR may also be a SourceSafe 6 database; its names are read in the Windows code page CP (default CP1252), given by name or number (GBK or 936, CP1251 or 1251, ...), and each user logs in with their password, in any letter case.</source>
        <translation>列出 SPEC（默认为 $/）及其下的一切，每行一个路径，深度优先，每项列在其子项之前；--deleted 只列出标记为已删除的项；--long 在每个路径前给出类型（project 或 file）、删除标记和以字节计的大小。与 --deleted 同用时，--format json 或 csv 按窗口列出的方式给出已删除条目，供报表使用：path、kind、size、items_below 和 bytes_below（永久删除项目时随之删除的内容）、complete（部分内容无法读取时为 false）、deleted_on（数据库记录的当地时间，如 2017-02-21T07:55:02）和 deleted_by（数据库未记录时为 null）。--deleted-before DATE（如 2024-01-31）只列出在该日之前删除的项，--deleted-by USER 只列出由 USER 删除的项（不区分大小写）；未记录删除信息的项两者都不列出。DIR 也可以是 SourceSafe 6 数据库；其名称按 Windows 代码页 CP 读取（默认 CP1252），可用名称或编号给出（GBK 或 936、CP1251 或 1251 等），每个用户用自己的密码登录，不区分大小写。</translation>
    </message>
    <message>
        <source>Purges deleted items as the window does: lists every deleted entry, selects those whose path matches a --match pattern (all without one) and no --exclude pattern, and destroys them bottom-up. Patterns are the window&apos;s filter: * any run of characters, ? one, case does not count; without a wildcard a name containing P matches; with a / the whole path is matched (&apos;$/Old/*&apos;). --deleted-before DATE (as 2024-01-31) and --deleted-by USER select only the entries deleted before that day, or by that user (any letter case), as the database recorded it; an entry whose delete is not recorded is selected by neither. A project is destroyed only when every deleted entry below it is selected too; otherwise it is kept. --dry-run prints what would go and the totals and changes nothing. At a terminal the purge asks first ([y/N]) unless --yes; without a terminal it is refused without --yes. Ctrl+C stops after the item in hand. Progress goes to standard error at a terminal; the report (each entry&apos;s outcome and the summary) to standard output, and with --report FILE the window&apos;s plain-text purge report to FILE as well. Entries the engine would refuse (shared, pinned, branched, checked out, or holding such an entry) are kept and say why before anything is destroyed. Before the first destroy a copy of everything it destroys is written to a tar archive in FOLDER (default ~/.local/share/scourwell/kept): each file&apos;s latest content, the database&apos;s own files of each item and a manifest.json; vssdb restore puts it back. A copy that cannot be written stops the purge before anything is destroyed; --no-copy keeps none. Exit status: 0 when everything selected was destroyed, 3 when some were kept or refused (shared, pinned, checked out, changed since listed, locked, no right), 1 on any other failure, when stopped, or when not confirmed.</source>
        <translation>像窗口一样清除已删除的项：列出所有已删除条目，选出路径匹配某个 --match 模式（没有 --match 时为全部）且不匹配任何 --exclude 模式的条目，并自下而上永久删除。模式与窗口的筛选相同：* 匹配任意一串字符，? 匹配一个字符，不区分大小写；不含通配符时，名称中含有 P 即匹配；含 / 时匹配整个路径（&apos;$/Old/*&apos;）。--deleted-before DATE（如 2024-01-31）和 --deleted-by USER 只选出在该日之前删除或由该用户删除（不区分大小写）的条目，以数据库的记录为准；未记录删除信息的条目两者都不选。只有当项目下所有已删除条目也都被选中时，才会永久删除该项目；否则保留它。--dry-run 只打印将被删除的内容和合计，不做任何更改。在终端上，除非给出 --yes，清除前会先询问（[y/N]）；没有终端时，不带 --yes 则拒绝执行。Ctrl+C 会在处理完当前项后停止。在终端上，进度写到标准错误；报告（每个条目的结果和摘要）写到标准输出，给出 --report FILE 时还会把窗口的纯文本清除报告写到 FILE。引擎会拒绝的条目（共享、固定、分支、签出，或包含此类条目）会被保留，并在永久删除任何内容之前说明原因。第一次永久删除之前，会把将被删除的一切的副本写入 FOLDER（默认 ~/.local/share/scourwell/kept）中的 tar 归档：每个文件的最新内容、数据库中每一项自己的文件以及 manifest.json；vssdb restore 可将其放回。副本无法写入时，清除会在永久删除任何内容之前停止；--no-copy 不保留副本。退出状态：所选内容全部永久删除时为 0，部分被保留或被拒绝（共享、固定、签出、列出后已更改、被锁定、无权限）时为 3，其他失败、被停止或未确认时为 1。</translation>
    </message>
    <message>
        <source>Puts the entries of COPY, a copy kept before a purge, back into the database DIR of our own format as they were: deleted, with their content. An entry whose project is gone or whose name a deleted item of the project has now is refused, with the reason, and the others go on (exit status 3). A SourceSafe 6 database is not written: --to FOLDER extracts the copy&apos;s files there instead (never over a file there already).</source>
        <translation>把 COPY（清除前保留的副本）中的条目按原样放回本程序自有格式的数据库 DIR：处于已删除状态，带有其内容。若条目所在的项目已不存在，或该项目中现有一个同名的已删除项，则拒绝该条目并给出原因，其余条目继续（退出状态 3）。不写入 SourceSafe 6 数据库：改用 --to FOLDER 把副本中的文件提取到该文件夹（绝不覆盖其中已有的文件）。</translation>
    </message>
    <message>
        <source>Lists the copies kept before purges in FOLDER (default ~/.local/share/scourwell/kept), oldest first: when each was written, its size, how many entries it holds and the database it came from. --older-than DAYS lists only those written more than DAYS days ago, and with --remove removes them (--remove needs --older-than, so that no copy goes by mistake). Nothing else in the folder is touched.</source>
        <translation>列出 FOLDER（默认 ~/.local/share/scourwell/kept）中清除前保留的副本，最旧的在前：各自的写入时间、大小、所含条目数以及来源数据库。--older-than DAYS 只列出写入时间超过 DAYS 天的副本，加上 --remove 则删除它们（--remove 需要 --older-than，以免误删副本）。文件夹中的其他内容不受影响。</translation>
    </message>
    <message>
        <source>Makes a new database holding a random tree of N items (projects nested up to 8 deep, about one project per ten files), FRACTION of them deleted. The same seed gives the same tree.</source>
        <translation>新建一个数据库，其中有随机生成的 N 项（项目最多嵌套 8 层，约每十个文件一个项目），其中 FRACTION 比例的项已删除。相同的种子生成相同的树。</translation>
    </message>
    <message>
        <source>Checks the database; prints each fault and exits 1 when there is one. Needs no login: it reads the files and changes nothing, so anyone who may read them may check them. DIR may also be a SourceSafe 6 database (its srcsafe.ini names a Data_Path): then every record&apos;s check value, the header counts against the records and entries, the parent-folder records against the entries naming each file, each project&apos;s log against its entries, the entries&apos; order, two live entries of a project named alike but for letter case, item files that no project names, and a journal or record of a destroy that was cut off (whose it is, and the files it names that entries still use) are checked, each fault with its file and names read in the code page CP.</source>
        <translation>检查数据库；打印每个错误，有错误时以 1 退出。无需登录：只读取文件，不做任何更改，因此任何能读取这些文件的人都能检查。DIR 也可以是 SourceSafe 6 数据库（其 srcsafe.ini 指定了 Data_Path）：此时会检查每条记录的校验值、文件头计数与记录和条目是否相符、父文件夹记录与指向每个文件的条目是否相符、每个项目的日志与其条目是否相符、条目的顺序、同一项目中仅大小写不同的两个现存条目、没有项目引用的项文件，以及被中断的永久删除所留下的日志或记录（属于谁，以及其中仍被条目使用的文件）；每个错误都附有其文件，名称按代码页 CP 读取。</translation>
    </message>
    <message>
        <source>usage: %1</source>
        <translation>用法：%1</translation>
    </message>
    <message>
        <source>--deleted-before takes a date as 2024-01-31, not &apos;%1&apos;</source>
        <translation>--deleted-before 需要形如 2024-01-31 的日期，而不是“%1”</translation>
    </message>
    <message>
        <source>--deleted-by takes a user&apos;s name</source>
        <translation>--deleted-by 需要一个用户名</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 需要一个值</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>未给出命令</translation>
    </message>
    <message>
        <source>&apos;user&apos; needs a subcommand: %1</source>
        <translation>“user”需要一个子命令：%1</translation>
    </message>
    <message>
        <source>&apos;user&apos; has no subcommand &apos;%1&apos;; it has one: %2</source>
        <translation>“user”没有子命令“%1”；它只有一个：%2</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;; did you mean &apos;%2&apos;?</source>
        <translation>未知命令“%1”；您是否想用“%2”？</translation>
    </message>
    <message>
        <source>&apos;%1&apos; has no option %2</source>
        <translation>“%1”没有选项 %2</translation>
    </message>
    <message>
        <source>%1 takes no value</source>
        <translation>%1 不接受值</translation>
    </message>
    <message>
        <source>vssdb: administration and test data for source-control databases.

Every command takes the database folder DIR after its command words (restore takes
the kept copy first). -u USER and -p PASSWORD log in and may stand anywhere (default:
Admin with an empty password).
As -p shows the password to anyone who lists the processes, it may come instead from
the first line of standard input (--password-stdin) or from $VSSDB_PASSWORD.

Paths (SPEC) have at most 256 names below $/ and at most 4096 bytes; deeper or longer
ones are refused, and a database holding such items is not walked past them. A name is
1 to 255 bytes of UTF-8 without / \ : * ? &quot; &lt; &gt; | ; and control characters, does not
begin with $, is not made of dots alone, does not begin or end with a space, and holds
no invisible or direction-changing character and no space but the plain one. Names
compare without regard to case, in Unicode normal form C.

</source>
        <translation>vssdb: 源代码管理数据库的管理与测试数据工具。

每个命令都在其命令词之后接数据库文件夹 DIR（restore 先接保留的副本）。
-u USER 和 -p PASSWORD 用于登录，可出现在任何位置（默认：Admin，密码为空）。
由于 -p 会让任何能列出进程的人看到密码，密码也可以改从标准输入的第一行
（--password-stdin）或 $VSSDB_PASSWORD 读取。

路径（SPEC）在 $/ 之下最多 256 层名称、最多 4096 字节；更深或更长的路径
会被拒绝，含有此类项的数据库不会越过它们遍历。名称为 1 到 255 字节的 UTF-8，
不含 / \ : * ? &quot; &lt; &gt; | ; 和控制字符，不以 $ 开头，不全由点组成，不以空格开头
或结尾，不含不可见字符或改变文字方向的字符，除普通空格外不含其他空格。
名称比较时不区分大小写，按 Unicode 规范化形式 C 比较。

</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>命令：</translation>
    </message>
    <message>
        <source>Exit status:
  0 on success.
  1 on failure (one line on standard error), or a purge stopped or not confirmed.
  2 on a usage error.
  3 when a purge kept or was refused some of what it was asked to destroy.

&apos;vssdb COMMAND --help&apos; explains a command.
</source>
        <translation>退出状态：
  0 表示成功。
  1 表示失败（标准错误中有一行说明），或清除被停止或未确认。
  2 表示用法错误。
  3 表示清除时要求永久删除的内容中有部分被保留或被拒绝。

“vssdb COMMAND --help”说明一个命令。
</translation>
    </message>
    <message>
        <source>&apos;vssdb user&apos; manages the users of a database. Its one subcommand, add: %1
&apos;vssdb user add --help&apos; explains it.
</source>
        <translation>“vssdb user”管理数据库的用户。它只有一个子命令 add：%1
“vssdb user add --help”说明该命令。
</translation>
    </message>
    <message>
        <source>SPEC is an item&apos;s path in the database, as $/Project/file.txt: at most 256 names
below $/ and 4096 bytes (&apos;vssdb --help&apos; gives the rules for names).
</source>
        <translation>SPEC 是数据库中一项的路径，如 $/Project/file.txt：在 $/ 之下最多 256 层名称、
4096 字节（“vssdb --help”给出名称的规则）。
</translation>
    </message>
    <message>
        <source>-u USER and -p PASSWORD log in (default: Admin with an empty password); the password
may come instead from standard input (--password-stdin) or $VSSDB_PASSWORD.
</source>
        <translation>-u USER 和 -p PASSWORD 用于登录（默认：Admin，密码为空）；密码也可以改从
标准输入（--password-stdin）或 $VSSDB_PASSWORD 读取。
</translation>
    </message>
    <message>
        <source>%1 takes a number, not &apos;%2&apos;</source>
        <translation>%1 需要一个数字，而不是“%2”</translation>
    </message>
    <message>
        <source>Cannot read &apos;%1&apos;</source>
        <translation>无法读取“%1”</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is a SourceSafe 6 database: vssdb lists, checks, destroys, purges and recovers in it, but does not %2 there</source>
        <translation>“%1”是 SourceSafe 6 数据库：vssdb 可在其中列出、检查、永久删除、清除和恢复，但不能在其中执行 %2</translation>
    </message>
    <message>
        <source>compacted %1: %2 before, %3 now</source>
        <translation>已压缩 %1：之前 %2，现在 %3</translation>
    </message>
    <message>
        <source>generate needs --items N</source>
        <translation>generate 需要 --items N</translation>
    </message>
    <message>
        <source>--items must not be negative and --deleted must lie between 0 and 1</source>
        <translation>--items 不能为负数，--deleted 必须在 0 到 1 之间</translation>
    </message>
    <message>
        <source>generated %1 items (%2 projects, %3 files, %4 deleted) in %5</source>
        <translation>已生成 %1 项（%2 个项目，%3 个文件，%4 个已删除），位于 %5</translation>
    </message>
    <message>
        <source>vssdb: error %1: %2</source>
        <translation>vssdb: 错误 %1：%2</translation>
    </message>
    <message>
        <source>vssdb: %1 (see &apos;vssdb --help&apos;)</source>
        <translation>vssdb: %1（参见“vssdb --help”）</translation>
    </message>
    <message>
        <source>vssdb: %1, line %2: %3</source>
        <translation>vssdb: %1，第 %2 行：%3</translation>
    </message>
    <message>
        <source>Searching %1</source>
        <translation>正在搜索 %1</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a path of the database: it starts with $/</source>
        <translation>“%1”不是数据库中的路径：路径以 $/ 开头</translation>
    </message>
    <message>
        <source>No item &apos;%1&apos; in the database</source>
        <translation>数据库中没有“%1”这一项</translation>
    </message>
    <message>
        <source>--format %1 lists the deleted items: add --deleted</source>
        <translation>--format %1 列出的是已删除的项：请加上 --deleted</translation>
    </message>
    <message>
        <source>--deleted-before and --deleted-by list deleted items: add --deleted</source>
        <translation>--deleted-before 和 --deleted-by 列出的是已删除的项：请加上 --deleted</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not deleted; only deleted items can be destroyed</source>
        <translation>“%1”未被删除；只有已删除的项才能永久删除</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not deleted; only deleted items can be recovered</source>
        <translation>“%1”未被删除；只有已删除的项才能恢复</translation>
    </message>
    <message>
        <source>%1 deleted items are named &apos;%2&apos;; none was destroyed</source>
        <translation>有 %1 个已删除的项名为“%2”；没有永久删除任何一个</translation>
    </message>
    <message>
        <source>%1 deleted items are named &apos;%2&apos;; none was recovered</source>
        <translation>有 %1 个已删除的项名为“%2”；没有恢复任何一个</translation>
    </message>
    <message>
        <source>%1 deleted items are named &apos;%2&apos; and no live one; none was written</source>
        <translation>有 %1 个已删除的项名为“%2”，且没有现存的项；没有写出任何内容</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is a project: only a file has content</source>
        <translation>“%1”是项目：只有文件才有内容</translation>
    </message>
    <message>
        <source>%1 faults found in %2</source>
        <translation>在 %2 中发现 %1 个错误</translation>
    </message>
    <message>
        <source>--format takes text, json or csv, not &apos;%1&apos;</source>
        <translation>--format 只接受 text、json 或 csv，而不是“%1”</translation>
    </message>
    <message>
        <source>vssdb: %1 could not be read</source>
        <translation>vssdb: 无法读取 %1</translation>
    </message>
    <message>
        <source>vssdb: %1 could not be read: %2</source>
        <translation>vssdb: 无法读取 %1：%2</translation>
    </message>
    <message>
        <source>vssdb: stopped; the list is incomplete and was not written</source>
        <translation>vssdb: 已停止；列表不完整，未写出</translation>
    </message>
    <message>
        <source>--older-than takes a number of days, not &apos;%1&apos;</source>
        <translation>--older-than 需要一个天数，而不是“%1”</translation>
    </message>
    <message>
        <source>--remove needs --older-than DAYS, so that no copy goes by mistake</source>
        <translation>--remove 需要 --older-than DAYS，以免误删副本</translation>
    </message>
    <message>
        <source>%1 entry  %2</source>
        <translation>%1 个条目  %2</translation>
    </message>
    <message>
        <source>%1 entries  %2</source>
        <translation>%1 个条目  %2</translation>
    </message>
    <message>
        <source>(cannot be read as a copy: %1)</source>
        <translation>（无法作为副本读取：%1）</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>已移除</translation>
    </message>
    <message>
        <source>a purge destroys for good, and there is no terminal to ask at: give --yes, or --dry-run to see what would go</source>
        <translation>清除会永久删除内容，而当前没有可供询问的终端：请给出 --yes，或用 --dry-run 查看将被删除的内容</translation>
    </message>
    <message>
        <source>--keep-copy and --no-copy say opposite things; give one</source>
        <translation>--keep-copy 和 --no-copy 意思相反；只能给出其一</translation>
    </message>
    <message>
        <source>User &apos;%1&apos; may not destroy items in this database, so nothing can be purged</source>
        <translation>用户“%1”无权永久删除此数据库中的项，因此无法清除任何内容</translation>
    </message>
    <message>
        <source>vssdb: stopped during the search; nothing was purged</source>
        <translation>vssdb: 在搜索时停止；没有清除任何内容</translation>
    </message>
    <message>
        <source>vssdb: nothing was purged</source>
        <translation>vssdb: 没有清除任何内容</translation>
    </message>
    <message>
        <source>vssdb: keeping a copy of what the purge destroys</source>
        <translation>vssdb: 正在保留清除将永久删除的内容的副本</translation>
    </message>
    <message>
        <source>vssdb: kept the copy in %1</source>
        <translation>vssdb: 副本已保留在 %1</translation>
    </message>
    <message>
        <source>vssdb: purging %1 entries</source>
        <translation>vssdb: 正在清除 %1 个条目</translation>
    </message>
    <message>
        <source>restore puts the copy back into a database or, with --to, into a folder; not both</source>
        <translation>restore 将副本放回数据库，或用 --to 放到文件夹中；两者不能同时使用</translation>
    </message>
    <message>
        <source>extracted %1 files of %2 into %3; no database was written (files/ holds each item&apos;s latest content, raw/ the database&apos;s own files of it, manifest.json what was kept)</source>
        <translation>已将 %2 中的 %1 个文件提取到 %3；未写入任何数据库（files/ 中是每一项的最新内容，raw/ 中是数据库中该项自己的文件，manifest.json 说明保留了什么）</translation>
    </message>
    <message>
        <source>restore needs the database to put the copy back into, or --to FOLDER</source>
        <translation>restore 需要用来放回副本的数据库，或 --to FOLDER</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is a SourceSafe 6 database: Scourwell does not write kept entries back into one (nothing shows how SourceSafe would); vssdb restore %2 --to FOLDER extracts their files and the database&apos;s own files of them</source>
        <translation>“%1”是 SourceSafe 6 数据库：Scourwell 不会把保留的条目写回这种数据库（没有资料说明 SourceSafe 会如何做）；vssdb restore %2 --to FOLDER 可提取其文件以及数据库中它们自己的文件</translation>
    </message>
    <message>
        <source>vssdb: the content of %1 could not be kept before the purge; it is back without it</source>
        <translation>vssdb: %1 的内容在清除前未能保留；该项已恢复，但没有内容</translation>
    </message>
</context>
</TS>
