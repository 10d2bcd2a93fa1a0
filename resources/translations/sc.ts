<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../src/app/mainwindow.ui" line="+95"/>
        <source>选择一个目录</source>
        <translation>选择一个目录</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>显示内容</source>
        <translation>显示内容</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>背景图片</source>
        <translation>背景图片</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>CPU温度</source>
        <translation>CPU温度</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>CPU使用率</source>
        <translation>CPU使用率</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>内存使用率</source>
        <translation>内存使用率</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>时间</source>
        <translation>时间</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>功耗</source>
        <translation>功耗</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>日期</source>
        <translation>日期</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>风扇转速</source>
        <translation>风扇转速</translation>
    </message>
    <message>
        <location line="+63"/>
        <location line="+63"/>
        <source>自定义文字</source>
        <translation>自定义文字</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>显卡温度</source>
        <translation>显卡温度</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>显卡占用</source>
        <translation>显卡占用</translation>
    </message>
</context>
<context>
    <name>korvo::EditBar</name>
    <message>
        <location filename="../../src/editor/editbar.cpp" line="+127"/>
        <source>大</source>
        <translation>大</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>中</source>
        <translation>中</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>小</source>
        <translation>小</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>文字大小</source>
        <translation>文字大小</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+1"/>
        <source>文字颜色</source>
        <translation>文字颜色</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>裁剪</source>
        <translation>裁剪</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>恢复默认</source>
        <translation>恢复默认</translation>
    </message>
</context>
<context>
    <name>korvo::ExitMessageBox</name>
    <message>
        <location filename="../../src/widgets/messageboxes.cpp" line="+81"/>
        <source>温馨提示</source>
        <translation>温馨提示</translation>
    </message>
</context>
<context>
    <name>korvo::MainWindow</name>
    <message>
        <location filename="../../src/app/mainwindow.cpp" line="+654"/>
        <source>TFT Screen</source>
        <translation>TFT Screen</translation>
    </message>
    <message>
        <location line="-457"/>
        <source>主题</source>
        <translation>主题</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>自定义</source>
        <translation>自定义</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>编辑</source>
        <translation>编辑</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>应用</source>
        <translation>应用</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+376"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="-352"/>
        <source>登录时启动</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>默认风格</source>
        <translation>默认风格</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+310"/>
        <source>退出</source>
        <translation>退出</translation>
    </message>
    <message>
        <location line="-442"/>
        <source>副屏设置</source>
        <translation>副屏设置</translation>
    </message>
    <message>
        <location line="+131"/>
        <source>隐藏到通知区域</source>
        <translation>隐藏到通知区域</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>旋转：横屏或竖屏</source>
        <translation>旋转：横屏或竖屏</translation>
    </message>
    <message>
        <location line="+79"/>
        <source>主题一</source>
        <translation>主题一</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>主题二</source>
        <translation>主题二</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>主题三</source>
        <translation>主题三</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>主题四</source>
        <translation>主题四</translation>
    </message>
    <message>
        <location line="+111"/>
        <source>取消后之前的操作将不会保留，是否要取消？</source>
        <translation>取消后之前的操作将不会保留，是否要取消？</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>放弃修改</source>
        <translation>放弃修改</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>继续编辑</source>
        <translation>继续编辑</translation>
    </message>
    <message>
        <location line="+98"/>
        <source>选择一个目录</source>
        <translation>选择一个目录</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>退出副屏设置</source>
        <translation>退出副屏设置</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>退出后，副屏上的信息将停止更新。确定要退出吗？</source>
        <translation>退出后，副屏上的信息将停止更新。确定要退出吗？</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>已发送到副屏</source>
        <translation>已发送到副屏</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>副屏未连接；布局已保存，插入副屏后会自动发送</source>
        <translation>副屏未连接；布局已保存，插入副屏后会自动发送</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>无法保存设置：磁盘已满或设置文件夹不可写。本次的更改在程序退出后将丢失。</source>
        <translation>无法保存设置：磁盘已满或设置文件夹不可写。本次的更改在程序退出后将丢失。</translation>
    </message>
</context>
<context>
    <name>korvo::PictureList</name>
    <message>
        <location filename="../../src/widgets/picturelist.cpp" line="+83"/>
        <source>背景图片</source>
        <translation>背景图片</translation>
    </message>
    <message>
        <location line="+38"/>
        <location line="+1"/>
        <source>添加图片</source>
        <translation>添加图片</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+124"/>
        <source>默认图片</source>
        <translation>默认图片</translation>
    </message>
    <message>
        <location line="-65"/>
        <source>图片</source>
        <translation>图片</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>所有文件</source>
        <translation>所有文件</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>打开图片</source>
        <translation>打开图片</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>默认图片不能删除。</source>
        <translation>默认图片不能删除。</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>确定</source>
        <translation>确定</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>是否删除此图片？</source>
        <translation>是否删除此图片？</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>删除图片</source>
        <translation>删除图片</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>删除</source>
        <translation>删除</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>korvo::ProgramCore</name>
    <message>
        <location filename="../../src/app/programcore.cpp" line="+122"/>
        <source>显示主窗口</source>
        <translation>显示主窗口</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>登录时启动</source>
        <translation>登录时启动</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>退出</source>
        <translation>退出</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+127"/>
        <source>副屏设置</source>
        <translation>副屏设置</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>副屏已连接，但没有权限打开它。请以 root 身份安装 udev 规则 70-korvo-tft.rules，然后重新插入副屏。</source>
        <translation>副屏已连接，但没有权限打开它。请以 root 身份安装 udev 规则 70-korvo-tft.rules，然后重新插入副屏。</translation>
    </message>
</context>
<context>
    <name>korvo::VirtualScreenViewer</name>
    <message>
        <location filename="../../src/app/virtualscreenviewer.cpp" line="+29"/>
        <location line="+12"/>
        <source>虚拟副屏</source>
        <translation>虚拟副屏</translation>
    </message>
</context>
<context>
    <name>korvo::ZoomWidget</name>
    <message>
        <location filename="../../src/editor/zoomwidget.cpp" line="+173"/>
        <location line="+141"/>
        <source>双击进行输入</source>
        <translation>双击进行输入</translation>
    </message>
</context>
</TS>
