<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CapacityGradingPage</name>
    <message>
        <source>容量分选#1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>激活</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下限(MB)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上限(MB)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选#2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选#3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选#4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选#5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选#6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选#7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选#8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选#9</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Frame</name>
    <message>
        <source>写入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>总量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试容量</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrameBn</name>
    <message>
        <source>时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间设定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>验证</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校验错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误：0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 写入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>错误:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>没有发现问题</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写错误:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试完成</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>校验:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Frame_dd</name>
    <message>
        <source>  拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>比对</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  总量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>总量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  容量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  就绪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  准备中 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  正在拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  正在对比  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  完成</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 拷贝 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  状态未知</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Frame_dst</name>
    <message>
        <source>  拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>比对</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  总量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>总量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  状态</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  容量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  就绪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  正在拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  正在比对</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  容量超限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  数据超限</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 比对 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 拷贝 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>状态未知</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LogExport</name>
    <message>
        <source>成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>失败</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>总数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>成功总数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>失败总数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>工作中</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>当前失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2写入
V%L1
V%L2
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2写入
V%L1

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2校验
V%L1
V%L2
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2校验
V%L1

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>擦除
V%L1
V%L2
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>擦除
V%L1

</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>协议分析
V%L1
V%L2
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>协议分析
V%L1

</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindowCopy</name>
    <message>
        <source>格式化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全盘拷贝比较</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全盘拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据拷贝比较</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全盘比较</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据比较</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingDialog</name>
    <message>
        <source>Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>格式化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H5检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BurnIn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2校验</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>协议分析</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2/H5检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>块大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>64K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AUTO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试范围</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>百分比</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>M数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>常用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检测后格式化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检测前协议分析</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Burn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>128K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>256K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试轮数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cycles</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>小时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检测大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%盘容量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>随机数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保留参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统默认</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FAT16</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FAT32</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>exFAT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保留卷标</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新建MBR分区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Master Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出记录</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingDialog_tf</name>
    <message>
        <source>Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>格式化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H5检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2/H5</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>块大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>64K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AUTO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试范围</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>百分比</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>M数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>常用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检测后格式化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保留参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统默认</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FAT16</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FAT32</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>exFAT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Master Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新建MBR分区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出记录</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingDlg</name>
    <message>
        <source>Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>格式化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H5检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全盘拷贝比较</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全盘拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据拷贝比较</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全盘比较</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据比较</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量差</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0%~0%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&gt;0%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-5%~5%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-10%~10%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-15%~15%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-20%~20%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-30%~30%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拷贝块大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拷贝倒计时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MB/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>块大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>64K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AUTO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试范围</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>百分比</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>M数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>常用</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检测后格式化</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量分选</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统格式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保留参数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统默认</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FAT16</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FAT32</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>exFAT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FAT32(32K)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>卷标</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新建MBR分区</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Master Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出记录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>无</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保留卷标</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拷贝卷标</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingDlg_h2bn</name>
    <message>
        <source>Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>H2检测</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BurnIn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>擦除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试范围</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>写入速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读取速度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>块大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>64K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AUTO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>擦除模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>随机数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>quick</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读写块大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>128K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>256K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试轮数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cycles</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试时间</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>小时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>检测大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%盘容量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>测试数据</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Master Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出记录</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingDlg_ssd</name>
    <message>
        <source>Setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全盘拷贝比较</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全盘拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据拷贝比较</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>数据拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>擦除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拷贝</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>容量差</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&gt;0%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-5%~5%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-10%~10%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-15%~15%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-20%~20%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-30%~30%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0%~0%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>读写块大小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>64K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>128K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>256K</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4M</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拷贝倒计时</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>擦除模式</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>随机数</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>全1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>quick</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Master Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导出记录</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StartDialog</name>
    <message>
        <source>PREPARE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>系统准备中，请稍候...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tervan拷贝机</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>-KALMO技术-</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpgradeDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级准备中...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级中...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级成功，请重起机</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>升级文件没准备好</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
