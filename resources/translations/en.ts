<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
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
