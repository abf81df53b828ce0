<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CapacityGradingPage</name>
    <message>
        <source>容量分选#1</source>
        <translation>Grade #1</translation>
    </message>
    <message>
        <source>激活</source>
        <translation>On</translation>
    </message>
    <message>
        <source>下限(MB)</source>
        <translation>Min MB</translation>
    </message>
    <message>
        <source>上限(MB)</source>
        <translation>Max MB</translation>
    </message>
    <message>
        <source>容量分选#2</source>
        <translation>Grade #2</translation>
    </message>
    <message>
        <source>容量分选#3</source>
        <translation>Grade #3</translation>
    </message>
    <message>
        <source>容量分选#4</source>
        <translation>Grade #4</translation>
    </message>
    <message>
        <source>容量分选#5</source>
        <translation>Grade #5</translation>
    </message>
    <message>
        <source>容量分选#6</source>
        <translation>Grade #6</translation>
    </message>
    <message>
        <source>容量分选#7</source>
        <translation>Grade #7</translation>
    </message>
    <message>
        <source>容量分选#8</source>
        <translation>Grade #8</translation>
    </message>
    <message>
        <source>容量分选#9</source>
        <translation>Grade #9</translation>
    </message>
</context>
<context>
    <name>Frame</name>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>总量</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>测试容量</source>
        <translation>Test size</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>写入:</source>
        <translation>Write:</translation>
    </message>
    <message>
        <source>丢失:</source>
        <translation>Lost:</translation>
    </message>
    <message>
        <source>校验:</source>
        <translation>Verify:</translation>
    </message>
    <message>
        <source>擦除完成</source>
        <translation>Wiped</translation>
    </message>
    <message>
        <source>没发现问题</source>
        <translation>No errors</translation>
    </message>
    <message>
        <source>写入错误</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>容量未达标</source>
        <translation>Low capacity</translation>
    </message>
    <message>
        <source>读取错误</source>
        <translation>Read error</translation>
    </message>
    <message>
        <source>损坏:</source>
        <translation>Bad:</translation>
    </message>
    <message>
        <source>读速度未达标</source>
        <translation>Read too slow</translation>
    </message>
    <message>
        <source>写速度未达标</source>
        <translation>Write too slow</translation>
    </message>
    <message>
        <source>状态未知</source>
        <translation>Unknown state</translation>
    </message>
    <message>
        <source>正在格式化</source>
        <translation>Formatting</translation>
    </message>
    <message>
        <source>格式化成功</source>
        <translation>Formatted</translation>
    </message>
    <message>
        <source>格式化错误</source>
        <translation>Format error</translation>
    </message>
    <message>
        <source>正在初始化...</source>
        <translation>Starting...</translation>
    </message>
</context>
<context>
    <name>FrameBn</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>时间设定</source>
        <translation>Time set</translation>
    </message>
    <message>
        <source>写入</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>验证</source>
        <translation>Verify</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Errors</translation>
    </message>
    <message>
        <source>写错误</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>读错误</source>
        <translation>Read error</translation>
    </message>
    <message>
        <source>校验错误</source>
        <translation>Verify error</translation>
    </message>
    <message>
        <source>错误：0</source>
        <translation>Errors: 0</translation>
    </message>
    <message>
        <source>测试时间</source>
        <translation>Test time</translation>
    </message>
    <message>
        <source> 写入</source>
        <translation> write</translation>
    </message>
    <message>
        <source> 校验</source>
        <translation> verify</translation>
    </message>
    <message>
        <source>错误:</source>
        <translation>Errors:</translation>
    </message>
    <message>
        <source>没有发现问题</source>
        <translation>No errors found</translation>
    </message>
    <message>
        <source>写错误:</source>
        <translation>Write error:</translation>
    </message>
    <message>
        <source>测试完成</source>
        <translation>Test done</translation>
    </message>
    <message>
        <source>校验:</source>
        <translation>Verified:</translation>
    </message>
    <message>
        <source>写入:</source>
        <translation>Written:</translation>
    </message>
</context>
<context>
    <name>Frame_dd</name>
    <message>
        <source>  拷贝</source>
        <translation>  Copy</translation>
    </message>
    <message>
        <source>比对</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>  总量</source>
        <translation>  Total</translation>
    </message>
    <message>
        <source>总量</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>  状态</source>
        <translation>  Status</translation>
    </message>
    <message>
        <source>  容量</source>
        <translation>  Size</translation>
    </message>
    <message>
        <source>  就绪</source>
        <translation>  Ready</translation>
    </message>
    <message>
        <source>  准备中 </source>
        <translation>  Preparing </translation>
    </message>
    <message>
        <source>  正在拷贝</source>
        <translation>  Copying</translation>
    </message>
    <message>
        <source>  正在对比  </source>
        <translation>  Comparing  </translation>
    </message>
    <message>
        <source>  完成</source>
        <translation>  Done</translation>
    </message>
    <message>
        <source>  失败</source>
        <translation>  Failed</translation>
    </message>
    <message>
        <source> 拷贝 </source>
        <translation> Copy </translation>
    </message>
    <message>
        <source>  状态未知</source>
        <translation>  Unknown state</translation>
    </message>
</context>
<context>
    <name>Frame_dst</name>
    <message>
        <source>  拷贝</source>
        <translation>  Copy</translation>
    </message>
    <message>
        <source>比对</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>  总量</source>
        <translation>  Total</translation>
    </message>
    <message>
        <source>总量</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>  时间</source>
        <translation>  Time</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>  速度</source>
        <translation>  Speed</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>  状态</source>
        <translation>  Status</translation>
    </message>
    <message>
        <source>  容量</source>
        <translation>  Size</translation>
    </message>
    <message>
        <source>  就绪</source>
        <translation>  Ready</translation>
    </message>
    <message>
        <source>  正在拷贝</source>
        <translation>  Copying</translation>
    </message>
    <message>
        <source>  正在比对</source>
        <translation>  Comparing</translation>
    </message>
    <message>
        <source>  成功</source>
        <translation>  Passed</translation>
    </message>
    <message>
        <source>  失败</source>
        <translation>  Failed</translation>
    </message>
    <message>
        <source>  容量超限</source>
        <translation>  Size out of range</translation>
    </message>
    <message>
        <source>  数据超限</source>
        <translation>  Data too large</translation>
    </message>
    <message>
        <source> 比对 </source>
        <translation> Compare </translation>
    </message>
    <message>
        <source> 拷贝 </source>
        <translation> Copy </translation>
    </message>
    <message>
        <source>状态未知</source>
        <translation>Unknown state</translation>
    </message>
</context>
<context>
    <name>LogExport</name>
    <message>
        <source>成功</source>
        <translation>Success</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>总数</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>成功总数</source>
        <translation>Total passed</translation>
    </message>
    <message>
        <source>失败总数</source>
        <translation>Total failed</translation>
    </message>
    <message>
        <source>工作中</source>
        <translation>Working</translation>
    </message>
    <message>
        <source>当前成功</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>当前失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>H2写入
V%L1
V%L2
</source>
        <translation>H2 Write
V%L1
V%L2
</translation>
    </message>
    <message>
        <source>H2写入
V%L1

</source>
        <translation>H2 Write
V%L1

</translation>
    </message>
    <message>
        <source>H2校验
V%L1
V%L2
</source>
        <translation>H2 Verify
V%L1
V%L2
</translation>
    </message>
    <message>
        <source>H2校验
V%L1

</source>
        <translation>H2 Verify
V%L1

</translation>
    </message>
    <message>
        <source>擦除
V%L1
V%L2
</source>
        <translation>Wipe
V%L1
V%L2
</translation>
    </message>
    <message>
        <source>擦除
V%L1

</source>
        <translation>Wipe
V%L1

</translation>
    </message>
    <message>
        <source>协议分析
V%L1
V%L2
</source>
        <translation>Protocol
V%L1
V%L2
</translation>
    </message>
    <message>
        <source>协议分析
V%L1

</source>
        <translation>Protocol
V%L1

</translation>
    </message>
    <message>
        <source>格式化</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>H5测试</source>
        <translation>H5 Test</translation>
    </message>
    <message>
        <source>H2写入</source>
        <translation>H2 Write</translation>
    </message>
    <message>
        <source>H2校验</source>
        <translation>H2 Verify</translation>
    </message>
    <message>
        <source>擦除</source>
        <translation>Wipe</translation>
    </message>
    <message>
        <source>协议分析</source>
        <translation>Protocol Analysis</translation>
    </message>
    <message>
        <source>H2测试</source>
        <translation>H2 Test</translation>
    </message>
</context>
<context>
    <name>MainWindowCopy</name>
    <message>
        <source>格式化</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>全盘拷贝比较</source>
        <translation>Full Copy + Compare</translation>
    </message>
    <message>
        <source>全盘拷贝</source>
        <translation>Full Copy</translation>
    </message>
    <message>
        <source>数据拷贝比较</source>
        <translation>Data Copy + Compare</translation>
    </message>
    <message>
        <source>数据拷贝</source>
        <translation>Data Copy</translation>
    </message>
    <message>
        <source>全盘比较</source>
        <translation>Full Compare</translation>
    </message>
    <message>
        <source>数据比较</source>
        <translation>Data Compare</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>源</source>
        <translation>Master</translation>
    </message>
    <message>
        <source>总数</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>成功总数</source>
        <translation>Total passed</translation>
    </message>
    <message>
        <source>失败总数</source>
        <translation>Total failed</translation>
    </message>
    <message>
        <source>工作中</source>
        <translation>Working</translation>
    </message>
    <message>
        <source>当前成功</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>当前失败</source>
        <translation>Failed</translation>
    </message>
</context>
<context>
    <name>ResultsPage</name>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>判定</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>容量</source>
        <translation>Capacity</translation>
    </message>
    <message>
        <source>写速度</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>读速度</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>通过</source>
        <translation>Passed</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>容量分选#%1</source>
        <translation>Grade #%1</translation>
    </message>
    <message>
        <source>今天</source>
        <translation>Today</translation>
    </message>
    <message>
        <source>本次运行</source>
        <translation>This run</translation>
    </message>
</context>
<context>
    <name>SettingDialog</name>
    <message>
        <source>Setting</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>H2检测</source>
        <translation>H2 Test</translation>
    </message>
    <message>
        <source>格式化</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>H5检测</source>
        <translation>H5 Test</translation>
    </message>
    <message>
        <source>BurnIn</source>
        <translation>BurnIn</translation>
    </message>
    <message>
        <source>H2校验</source>
        <translation>H2 Verify</translation>
    </message>
    <message>
        <source>协议分析</source>
        <translation>Protocol Analysis</translation>
    </message>
    <message>
        <source>H2/H5检测</source>
        <translation>H2/H5 Test</translation>
    </message>
    <message>
        <source>写入速度</source>
        <translation>Write speed</translation>
    </message>
    <message>
        <source>读取速度</source>
        <translation>Read speed</translation>
    </message>
    <message>
        <source>块大小</source>
        <translation>Block size</translation>
    </message>
    <message>
        <source>4K</source>
        <translation>4K</translation>
    </message>
    <message>
        <source>64K</source>
        <translation>64K</translation>
    </message>
    <message>
        <source>2M</source>
        <translation>2M</translation>
    </message>
    <message>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <source>测试范围</source>
        <translation>Test range</translation>
    </message>
    <message>
        <source>百分比</source>
        <translation>Percent</translation>
    </message>
    <message>
        <source>M数</source>
        <translation>Megabytes</translation>
    </message>
    <message>
        <source>常用</source>
        <translation>Preset</translation>
    </message>
    <message>
        <source>检测后格式化</source>
        <translation>Format after test</translation>
    </message>
    <message>
        <source>检测前协议分析</source>
        <translation>Analyse before test</translation>
    </message>
    <message>
        <source>容量分选</source>
        <translation>Capacity grading</translation>
    </message>
    <message>
        <source>Burn</source>
        <translation>Burn</translation>
    </message>
    <message>
        <source>128K</source>
        <translation>128K</translation>
    </message>
    <message>
        <source>256K</source>
        <translation>256K</translation>
    </message>
    <message>
        <source>1M</source>
        <translation>1M</translation>
    </message>
    <message>
        <source>4M</source>
        <translation>4M</translation>
    </message>
    <message>
        <source>测试轮数</source>
        <translation>Test cycles</translation>
    </message>
    <message>
        <source>Cycles</source>
        <translation>Cycles</translation>
    </message>
    <message>
        <source>测试时间</source>
        <translation>Test time</translation>
    </message>
    <message>
        <source>小时</source>
        <translation>hours</translation>
    </message>
    <message>
        <source>检测大小</source>
        <translation>Test size</translation>
    </message>
    <message>
        <source>%盘容量</source>
        <translation>% of capacity</translation>
    </message>
    <message>
        <source>测试数据</source>
        <translation>Test data</translation>
    </message>
    <message>
        <source>随机数</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>全0</source>
        <translation>All 0</translation>
    </message>
    <message>
        <source>全1</source>
        <translation>All 1</translation>
    </message>
    <message>
        <source>系统格式</source>
        <translation>File system</translation>
    </message>
    <message>
        <source>保留参数</source>
        <translation>Keep parameters</translation>
    </message>
    <message>
        <source>系统默认</source>
        <translation>System default</translation>
    </message>
    <message>
        <source>FAT16</source>
        <translation>FAT16</translation>
    </message>
    <message>
        <source>FAT32</source>
        <translation>FAT32</translation>
    </message>
    <message>
        <source>exFAT</source>
        <translation>exFAT</translation>
    </message>
    <message>
        <source>保留卷标</source>
        <translation>Keep volume label</translation>
    </message>
    <message>
        <source>新建MBR分区</source>
        <translation>Create new MBR partition</translation>
    </message>
    <message>
        <source>Master Reset</source>
        <translation>Master Reset</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>导出记录</source>
        <translation>Export log</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Results</translation>
    </message>
</context>
<context>
    <name>SettingDialog_tf</name>
    <message>
        <source>Setting</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>H2检测</source>
        <translation>H2 Test</translation>
    </message>
    <message>
        <source>格式化</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>H5检测</source>
        <translation>H5 Test</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>H2/H5</source>
        <translation>H2/H5</translation>
    </message>
    <message>
        <source>写入速度</source>
        <translation>Write speed</translation>
    </message>
    <message>
        <source>读取速度</source>
        <translation>Read speed</translation>
    </message>
    <message>
        <source>块大小</source>
        <translation>Block size</translation>
    </message>
    <message>
        <source>4K</source>
        <translation>4K</translation>
    </message>
    <message>
        <source>64K</source>
        <translation>64K</translation>
    </message>
    <message>
        <source>2M</source>
        <translation>2M</translation>
    </message>
    <message>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <source>测试范围</source>
        <translation>Test range</translation>
    </message>
    <message>
        <source>百分比</source>
        <translation>Percent</translation>
    </message>
    <message>
        <source>M数</source>
        <translation>Megabytes</translation>
    </message>
    <message>
        <source>常用</source>
        <translation>Preset</translation>
    </message>
    <message>
        <source>检测后格式化</source>
        <translation>Format after test</translation>
    </message>
    <message>
        <source>容量分选</source>
        <translation>Capacity grading</translation>
    </message>
    <message>
        <source>系统格式</source>
        <translation>File system</translation>
    </message>
    <message>
        <source>保留参数</source>
        <translation>Keep parameters</translation>
    </message>
    <message>
        <source>系统默认</source>
        <translation>System default</translation>
    </message>
    <message>
        <source>FAT16</source>
        <translation>FAT16</translation>
    </message>
    <message>
        <source>FAT32</source>
        <translation>FAT32</translation>
    </message>
    <message>
        <source>exFAT</source>
        <translation>exFAT</translation>
    </message>
    <message>
        <source>Master Reset</source>
        <translation>Master Reset</translation>
    </message>
    <message>
        <source>新建MBR分区</source>
        <translation>Create new MBR partition</translation>
    </message>
    <message>
        <source>导出记录</source>
        <translation>Export log</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Results</translation>
    </message>
</context>
<context>
    <name>SettingDlg</name>
    <message>
        <source>Setting</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>H2检测</source>
        <translation>H2 Test</translation>
    </message>
    <message>
        <source>格式化</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>H5检测</source>
        <translation>H5 Test</translation>
    </message>
    <message>
        <source>全盘拷贝比较</source>
        <translation>Full Copy+Compare</translation>
    </message>
    <message>
        <source>全盘拷贝</source>
        <translation>Full Copy</translation>
    </message>
    <message>
        <source>数据拷贝比较</source>
        <translation>Data Copy+Compare</translation>
    </message>
    <message>
        <source>数据拷贝</source>
        <translation>Data Copy</translation>
    </message>
    <message>
        <source>全盘比较</source>
        <translation>Full Compare</translation>
    </message>
    <message>
        <source>数据比较</source>
        <translation>Data Compare</translation>
    </message>
    <message>
        <source>拷贝</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>容量差</source>
        <translation>Capacity diff.</translation>
    </message>
    <message>
        <source>0%~0%</source>
        <translation>0%~0%</translation>
    </message>
    <message>
        <source>&gt;0%</source>
        <translation>&gt;0%</translation>
    </message>
    <message>
        <source>-5%~5%</source>
        <translation>-5%~5%</translation>
    </message>
    <message>
        <source>-10%~10%</source>
        <translation>-10%~10%</translation>
    </message>
    <message>
        <source>-15%~15%</source>
        <translation>-15%~15%</translation>
    </message>
    <message>
        <source>-20%~20%</source>
        <translation>-20%~20%</translation>
    </message>
    <message>
        <source>-30%~30%</source>
        <translation>-30%~30%</translation>
    </message>
    <message>
        <source>拷贝块大小</source>
        <translation>Copy block size</translation>
    </message>
    <message>
        <source>拷贝倒计时</source>
        <translation>Copy countdown</translation>
    </message>
    <message>
        <source>S</source>
        <translation>s</translation>
    </message>
    <message>
        <source>检测</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>写入速度</source>
        <translation>Write speed</translation>
    </message>
    <message>
        <source>MB/s</source>
        <translation>MB/s</translation>
    </message>
    <message>
        <source>读取速度</source>
        <translation>Read speed</translation>
    </message>
    <message>
        <source>块大小</source>
        <translation>Block size</translation>
    </message>
    <message>
        <source>4K</source>
        <translation>4K</translation>
    </message>
    <message>
        <source>64K</source>
        <translation>64K</translation>
    </message>
    <message>
        <source>2M</source>
        <translation>2M</translation>
    </message>
    <message>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <source>测试范围</source>
        <translation>Test range</translation>
    </message>
    <message>
        <source>百分比</source>
        <translation>Percent</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>M数</source>
        <translation>Megabytes</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>常用</source>
        <translation>Preset</translation>
    </message>
    <message>
        <source>检测后格式化</source>
        <translation>Format after test</translation>
    </message>
    <message>
        <source>容量分选</source>
        <translation>Capacity grading</translation>
    </message>
    <message>
        <source>系统格式</source>
        <translation>File system</translation>
    </message>
    <message>
        <source>保留参数</source>
        <translation>Keep parameters</translation>
    </message>
    <message>
        <source>系统默认</source>
        <translation>System default</translation>
    </message>
    <message>
        <source>FAT16</source>
        <translation>FAT16</translation>
    </message>
    <message>
        <source>FAT32</source>
        <translation>FAT32</translation>
    </message>
    <message>
        <source>exFAT</source>
        <translation>exFAT</translation>
    </message>
    <message>
        <source>FAT32(32K)</source>
        <translation>FAT32(32K)</translation>
    </message>
    <message>
        <source>卷标</source>
        <translation>Volume label</translation>
    </message>
    <message>
        <source>新建MBR分区</source>
        <translation>Create new MBR partition</translation>
    </message>
    <message>
        <source>Master Reset</source>
        <translation>Master Reset</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>导出记录</source>
        <translation>Export log</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>保留卷标</source>
        <translation>Keep label</translation>
    </message>
    <message>
        <source>拷贝卷标</source>
        <translation>Copy label</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Results</translation>
    </message>
</context>
<context>
    <name>SettingDlg_h2bn</name>
    <message>
        <source>Setting</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>H2检测</source>
        <translation>H2 Test</translation>
    </message>
    <message>
        <source>BurnIn</source>
        <translation>BurnIn</translation>
    </message>
    <message>
        <source>擦除</source>
        <translation>Wipe</translation>
    </message>
    <message>
        <source>测试范围</source>
        <translation>Test range</translation>
    </message>
    <message>
        <source>写入速度</source>
        <translation>Write speed</translation>
    </message>
    <message>
        <source>读取速度</source>
        <translation>Read speed</translation>
    </message>
    <message>
        <source>块大小</source>
        <translation>Block size</translation>
    </message>
    <message>
        <source>4K</source>
        <translation>4K</translation>
    </message>
    <message>
        <source>64K</source>
        <translation>64K</translation>
    </message>
    <message>
        <source>2M</source>
        <translation>2M</translation>
    </message>
    <message>
        <source>AUTO</source>
        <translation>AUTO</translation>
    </message>
    <message>
        <source>擦除模式</source>
        <translation>Wipe pattern</translation>
    </message>
    <message>
        <source>随机数</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>全0</source>
        <translation>All 0</translation>
    </message>
    <message>
        <source>全1</source>
        <translation>All 1</translation>
    </message>
    <message>
        <source>quick</source>
        <translation>quick</translation>
    </message>
    <message>
        <source>读写块大小</source>
        <translation>Block size</translation>
    </message>
    <message>
        <source>128K</source>
        <translation>128K</translation>
    </message>
    <message>
        <source>256K</source>
        <translation>256K</translation>
    </message>
    <message>
        <source>1M</source>
        <translation>1M</translation>
    </message>
    <message>
        <source>4M</source>
        <translation>4M</translation>
    </message>
    <message>
        <source>测试轮数</source>
        <translation>Test cycles</translation>
    </message>
    <message>
        <source>Cycles</source>
        <translation>Cycles</translation>
    </message>
    <message>
        <source>测试时间</source>
        <translation>Test time</translation>
    </message>
    <message>
        <source>小时</source>
        <translation>hours</translation>
    </message>
    <message>
        <source>检测大小</source>
        <translation>Test size</translation>
    </message>
    <message>
        <source>%盘容量</source>
        <translation>% of capacity</translation>
    </message>
    <message>
        <source>测试数据</source>
        <translation>Test data</translation>
    </message>
    <message>
        <source>Master Reset</source>
        <translation>Master Reset</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>导出记录</source>
        <translation>Export log</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Results</translation>
    </message>
</context>
<context>
    <name>SettingDlg_ssd</name>
    <message>
        <source>Setting</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>全盘拷贝比较</source>
        <translation>Full Copy+Compare</translation>
    </message>
    <message>
        <source>全盘拷贝</source>
        <translation>Full Copy</translation>
    </message>
    <message>
        <source>数据拷贝比较</source>
        <translation>Data Copy+Compare</translation>
    </message>
    <message>
        <source>数据拷贝</source>
        <translation>Data Copy</translation>
    </message>
    <message>
        <source>擦除</source>
        <translation>Wipe</translation>
    </message>
    <message>
        <source>拷贝</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>容量差</source>
        <translation>Capacity diff.</translation>
    </message>
    <message>
        <source>&gt;0%</source>
        <translation>&gt;0%</translation>
    </message>
    <message>
        <source>-5%~5%</source>
        <translation>-5%~5%</translation>
    </message>
    <message>
        <source>-10%~10%</source>
        <translation>-10%~10%</translation>
    </message>
    <message>
        <source>-15%~15%</source>
        <translation>-15%~15%</translation>
    </message>
    <message>
        <source>-20%~20%</source>
        <translation>-20%~20%</translation>
    </message>
    <message>
        <source>-30%~30%</source>
        <translation>-30%~30%</translation>
    </message>
    <message>
        <source>0%~0%</source>
        <translation>0%~0%</translation>
    </message>
    <message>
        <source>读写块大小</source>
        <translation>Block size</translation>
    </message>
    <message>
        <source>4K</source>
        <translation>4K</translation>
    </message>
    <message>
        <source>64K</source>
        <translation>64K</translation>
    </message>
    <message>
        <source>128K</source>
        <translation>128K</translation>
    </message>
    <message>
        <source>256K</source>
        <translation>256K</translation>
    </message>
    <message>
        <source>1M</source>
        <translation>1M</translation>
    </message>
    <message>
        <source>2M</source>
        <translation>2M</translation>
    </message>
    <message>
        <source>4M</source>
        <translation>4M</translation>
    </message>
    <message>
        <source>拷贝倒计时</source>
        <translation>Copy countdown</translation>
    </message>
    <message>
        <source>S</source>
        <translation>s</translation>
    </message>
    <message>
        <source>擦除模式</source>
        <translation>Wipe pattern</translation>
    </message>
    <message>
        <source>随机数</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>全0</source>
        <translation>All 0</translation>
    </message>
    <message>
        <source>全1</source>
        <translation>All 1</translation>
    </message>
    <message>
        <source>quick</source>
        <translation>quick</translation>
    </message>
    <message>
        <source>Master Reset</source>
        <translation>Master Reset</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>导出记录</source>
        <translation>Export log</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Results</translation>
    </message>
</context>
<context>
    <name>StartDialog</name>
    <message>
        <source>PREPARE</source>
        <translation>Starting</translation>
    </message>
    <message>
        <source>系统准备中，请稍候...</source>
        <translation>Starting up, please wait...</translation>
    </message>
    <message>
        <source>Tervan拷贝机</source>
        <translation>Tervan</translation>
    </message>
    <message>
        <source>-KALMO技术-</source>
        <translation>KALMO Tech</translation>
    </message>
</context>
<context>
    <name>UpgradeDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Upgrade</translation>
    </message>
    <message>
        <source>升级准备中...</source>
        <translation>Preparing upgrade...</translation>
    </message>
    <message>
        <source>升级中...</source>
        <translation>Upgrading...</translation>
    </message>
    <message>
        <source>升级成功，请重起机</source>
        <translation>Done, please restart</translation>
    </message>
    <message>
        <source>升级失败</source>
        <translation>Upgrade failed</translation>
    </message>
    <message>
        <source>升级文件没准备好</source>
        <translation>Upgrade file not ready</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>已导出 %1 条记录</source>
        <translation>Exported %1 records</translation>
    </message>
</context>
</TS>
