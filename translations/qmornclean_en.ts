<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>qmclean::PortableFolder</name>
    <message>
        <source>ポータブルモードのフォルダに書き込めません。通常のフォルダを使います。
</source>
        <translation>Cannot write to the portable folder; the usual folders are used.
</translation>
    </message>
</context>
<context>
    <name>qmclean::RemoverWindow</name>
    <message>
        <source>Quillmornのレジストリを削除します。</source>
        <translation>Deletes Quillmorn&apos;s settings.</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Quillmorn アンインストール</source>
        <translation>Quillmorn uninstall</translation>
    </message>
    <message>
        <source>エラーが発生しました。</source>
        <translation>An error occurred.</translation>
    </message>
    <message>
        <source>完了しました。</source>
        <translation>Done.</translation>
    </message>
    <message>
        <source>Quillmornの設定を削除します。</source>
        <translation>Deletes Quillmorn&apos;s settings.</translation>
    </message>
</context>
</TS>
