<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../src/app/mainwindow.ui" line="+95"/>
        <source>选择一个目录</source>
        <translation>Select a folder</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>显示内容</source>
        <translation>Display items</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>背景图片</source>
        <translation>Background picture</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>CPU温度</source>
        <translation>CPU temp</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>CPU使用率</source>
        <translation>CPU load</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>内存使用率</source>
        <translation>Memory load</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>功耗</source>
        <translation>CPU power</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>风扇转速</source>
        <translation>Fan speed</translation>
    </message>
    <message>
        <location line="+63"/>
        <location line="+63"/>
        <source>自定义文字</source>
        <translation>Text</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>显卡温度</source>
        <translation>GPU temp</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>显卡占用</source>
        <translation>GPU load</translation>
    </message>
</context>
<context>
    <name>korvo::EditBar</name>
    <message>
        <location filename="../../src/editor/editbar.cpp" line="+127"/>
        <source>大</source>
        <translation>Large</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>中</source>
        <translation>Medium</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>小</source>
        <translation>Small</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+1"/>
        <source>文字大小</source>
        <translation>Text size</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+1"/>
        <source>文字颜色</source>
        <translation>Text colour</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>裁剪</source>
        <translation>Crop</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>恢复默认</source>
        <translation>Reset</translation>
    </message>
</context>
<context>
    <name>korvo::ExitMessageBox</name>
    <message>
        <location filename="../../src/widgets/messageboxes.cpp" line="+81"/>
        <source>温馨提示</source>
        <translation>Information</translation>
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
        <translation>Theme</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+376"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="-352"/>
        <source>登录时启动</source>
        <translation>Start at login</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>默认风格</source>
        <translation>Default</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+310"/>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <location line="-442"/>
        <source>副屏设置</source>
        <translation>Korvo TFT</translation>
    </message>
    <message>
        <location line="+131"/>
        <source>隐藏到通知区域</source>
        <translation>Hide to the notification area</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>旋转：横屏或竖屏</source>
        <translation>Rotate: landscape or portrait</translation>
    </message>
    <message>
        <location line="+79"/>
        <source>主题一</source>
        <translation>Theme 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>主题二</source>
        <translation>Theme 2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>主题三</source>
        <translation>Theme 3</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>主题四</source>
        <translation>Theme 4</translation>
    </message>
    <message>
        <location line="+111"/>
        <source>取消后之前的操作将不会保留，是否要取消？</source>
        <translation>The changes made since Edit will be lost.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>放弃修改</source>
        <translation>Discard changes</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>继续编辑</source>
        <translation>Keep editing</translation>
    </message>
    <message>
        <location line="+98"/>
        <source>选择一个目录</source>
        <translation>Select a folder</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>退出副屏设置</source>
        <translation>Exit Korvo TFT</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>退出后，副屏上的信息将停止更新。确定要退出吗？</source>
        <translation>The small screen stops updating when Korvo TFT exits. Exit now?</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>已发送到副屏</source>
        <translation>Sent to the screen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>副屏未连接；布局已保存，插入副屏后会自动发送</source>
        <translation>The screen is not connected; the layout is kept and sent when it is plugged in</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>无法保存设置：磁盘已满或设置文件夹不可写。本次的更改在程序退出后将丢失。</source>
        <translation>The settings could not be saved: the disk is full or the settings folder cannot be written. Your changes will be lost when the program ends.</translation>
    </message>
</context>
<context>
    <name>korvo::PictureList</name>
    <message>
        <location filename="../../src/widgets/picturelist.cpp" line="+83"/>
        <source>背景图片</source>
        <translation>Background picture</translation>
    </message>
    <message>
        <location line="+38"/>
        <location line="+1"/>
        <source>添加图片</source>
        <translation>Add a picture</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+124"/>
        <source>默认图片</source>
        <translation>Built-in picture</translation>
    </message>
    <message>
        <location line="-65"/>
        <source>图片</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>所有文件</source>
        <translation>All files</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>打开图片</source>
        <translation>Select a picture</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>默认图片不能删除。</source>
        <translation>Built-in pictures cannot be deleted.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>是否删除此图片？</source>
        <translation>Remove this picture from the list? The file itself stays where it is.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>删除图片</source>
        <translation>Delete picture</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>korvo::ProgramCore</name>
    <message>
        <location filename="../../src/app/programcore.cpp" line="+122"/>
        <source>显示主窗口</source>
        <translation>Show Korvo TFT</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>登录时启动</source>
        <translation>Start at login</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+127"/>
        <source>副屏设置</source>
        <translation>Korvo TFT</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>副屏已连接，但没有权限打开它。请以 root 身份安装 udev 规则 70-korvo-tft.rules，然后重新插入副屏。</source>
        <translation>The screen is connected, but you may not open it. Install the udev rule 70-korvo-tft.rules as root, then plug the screen in again.</translation>
    </message>
</context>
<context>
    <name>korvo::VirtualScreenViewer</name>
    <message>
        <location filename="../../src/app/virtualscreenviewer.cpp" line="+29"/>
        <location line="+12"/>
        <source>虚拟副屏</source>
        <translation>Korvo TFT — virtual screen</translation>
    </message>
</context>
<context>
    <name>korvo::ZoomWidget</name>
    <message>
        <location filename="../../src/editor/zoomwidget.cpp" line="+173"/>
        <location line="+141"/>
        <source>双击进行输入</source>
        <translation>Double-click to type</translation>
    </message>
</context>
</TS>
