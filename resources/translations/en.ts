<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>MainWindow</name>
    <message>
        <source>选择一个目录</source>
        <translation>Select a folder</translation>
    </message>
    <message>
        <source>显示内容</source>
        <translation>Display items</translation>
    </message>
    <message>
        <source>背景图片</source>
        <translation>Background picture</translation>
    </message>
    <message>
        <source>CPU温度</source>
        <translation>CPU temp</translation>
    </message>
    <message>
        <source>CPU使用率</source>
        <translation>CPU load</translation>
    </message>
    <message>
        <source>内存使用率</source>
        <translation>Mem load</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>功耗</source>
        <translation>CPU Power</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>风扇转速</source>
        <translation>Fan speed</translation>
    </message>
    <message>
        <source>显卡温度</source>
        <translation>GPU temp</translation>
    </message>
    <message>
        <source>显卡占用</source>
        <translation>GPU load</translation>
    </message>
    <message>
        <source>其他</source>
        <translation>String</translation>
    </message>
</context>
<context>
    <name>korvo::EditBar</name>
    <message>
        <source>大</source>
        <translation>Big</translation>
    </message>
    <message>
        <source>中</source>
        <translation>Middle</translation>
    </message>
    <message>
        <source>小</source>
        <translation>Small</translation>
    </message>
    <message>
        <source>修剪</source>
        <translation>Clip</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back to default</translation>
    </message>
</context>
<context>
    <name>korvo::ExitMessageBox</name>
    <message>
        <source>温馨提示</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>korvo::MainWindow</name>
    <message>
        <source>无法保存设置：磁盘已满或设置文件夹不可写。本次的更改在程序退出后将丢失。</source>
        <translation>The settings could not be saved: the disk is full or the settings folder cannot be written. Your changes will be lost when the program ends.</translation>
    </message>
    <message>
        <source>TFT Screen</source>
        <translation>TFT Screen</translation>
    </message>
    <message>
        <source>主题</source>
        <translation>Theme</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>默认风格</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>打开副屏设置程序</source>
        <translation>Open Config</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>副屏设置</source>
        <translation>TFT Setting</translation>
    </message>
    <message>
        <source>主题一</source>
        <translation>Theme 1</translation>
    </message>
    <message>
        <source>主题二</source>
        <translation>Theme 2</translation>
    </message>
    <message>
        <source>主题三</source>
        <translation>Theme 3</translation>
    </message>
    <message>
        <source>主题四</source>
        <translation>Theme 4</translation>
    </message>
    <message>
        <source>取消后之前的操作将不会保留，是否要取消？</source>
        <translation>The previous operation will not be retained after cancellation. Do you want to cancel?</translation>
    </message>
    <message>
        <source>选择一个目录</source>
        <translation>Select a folder</translation>
    </message>
    <message>
        <source>退出软件PC端屏幕内容显示信息将不准，
确定退出？</source>
        <translation>The information displayed on the PC screen will be inaccurate after exiting the software, are you sure to exit?</translation>
    </message>
    <message>
        <source>副屏已连接，但没有权限打开它。请以 root 身份安装 udev 规则 70-korvo-tft.rules，然后重新插入副屏。</source>
        <translation>The screen is connected, but you may not open it. Install the udev rule 70-korvo-tft.rules as root, then plug the screen in again.</translation>
    </message>
</context>
<context>
    <name>korvo::PictureList</name>
    <message>
        <source>选择图片文件夹</source>
        <translation>Select photo folder</translation>
    </message>
    <message>
        <source>默认图片</source>
        <translation>Default Picture</translation>
    </message>
    <message>
        <source>打开图片</source>
        <translation>Select a picture</translation>
    </message>
    <message>
        <source>默认图片不能删除。</source>
        <translation>The default picture cannot be deleted.</translation>
    </message>
    <message>
        <source>是否删除此图片？</source>
        <translation>Do you want to delete this picture?</translation>
    </message>
</context>
<context>
    <name>korvo::ZoomWidget</name>
    <message>
        <source>双击进行输入</source>
        <translation>Double click here</translation>
    </message>
</context>
</TS>
