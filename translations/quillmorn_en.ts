<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>qm::AccessibleNames</name>
    <message>
        <source>テキストファイル</source>
        <translation>Text files</translation>
    </message>
    <message>
        <source>テキストファイルの内容</source>
        <translation>Text file contents</translation>
    </message>
</context>
<context>
    <name>qm::CatalogueFilterBar</name>
    <message>
        <source>名前・分類・説明・フォルダ名で絞り込み (Ctrl+F)</source>
        <translation>Filter by name, category, description or folder (Ctrl+F)</translation>
    </message>
    <message>
        <source>この分類の項目だけを表示します。</source>
        <translation>Shows only the entries of this category.</translation>
    </message>
    <message>
        <source>すべての分類 (%1)</source>
        <translation>All categories (%1)</translation>
    </message>
    <message>
        <source>%1 / %2 件</source>
        <translation>%1 / %2 entries</translation>
    </message>
    <message>
        <source>%1 件</source>
        <translation>%1 entries</translation>
    </message>
</context>
<context>
    <name>qm::CatalogueModel</name>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>フォルダ名</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>分類</source>
        <translation>Category</translation>
    </message>
    <message>
        <source>EXE名</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>説明</source>
        <translation>Description</translation>
    </message>
</context>
<context>
    <name>qm::CatalogueService</name>
    <message>
        <source> を最後まで正しく読み込めませんでした。
読み込めなかった登録情報がある可能性があります。上書き保存するときは、元のファイルを </source>
        <translation>: could not be read to the end.
Some registrations may be missing. When the list is saved, the old file is kept as </translation>
    </message>
    <message>
        <source> として残します。</source>
        <translation>.</translation>
    </message>
    <message>
        <source>実行するにはリストの保存が必要です。
変更を上書き保存しますか？</source>
        <translation>The list must be saved first.
Save the changes?</translation>
    </message>
    <message>
        <source> の控えを </source>
        <translation>: the copy </translation>
    </message>
    <message>
        <source> に作れなかったため、保存しませんでした。
</source>
        <translation> could not be made, so nothing was saved.
</translation>
    </message>
    <message>
        <source> に保存できませんでした。
</source>
        <translation>: could not be saved.
</translation>
    </message>
    <message>
        <source> フォルダを削除します。
セットアップ、インストールされたソフトを消すと、システムに影響が出る場合があります。アンインストールの指示があればReadme.txt等のドキュメントに従ってください。
削除しますか？</source>
        <translation>: this folder will be deleted.
Deleting software that was set up or installed may affect the system. If it comes with uninstall instructions, follow its Readme.txt or other documents.
Delete it?</translation>
    </message>
    <message>
        <source> を起動できませんでした。
</source>
        <translation>: could not be started.
</translation>
    </message>
    <message>
        <source> を開けませんでした。</source>
        <translation>: could not be opened.</translation>
    </message>
    <message>
        <source>フォルダ名「</source>
        <translation>The folder name &quot;</translation>
    </message>
    <message>
        <source>」は作業対象のフォルダ名として使えません。</source>
        <translation>&quot; cannot be used for a folder to manage.</translation>
    </message>
    <message>
        <source>ほか %1 件</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>次のフォルダが %1 にないため、その登録情報はリストを保存するときに除かれます。</source>
        <translation>These folders are no longer in %1; their registrations are left out when the list is saved.</translation>
    </message>
    <message>
        <source>%1（移動元: %2）</source>
        <translation>%1 (moved from: %2)</translation>
    </message>
    <message>
        <source>次のフォルダへの移動は途中で終わっています。移動元のフォルダを同じ作業フォルダへもう一度移動すると、移動が完了します。</source>
        <translation>The move into the following folders stopped midway. Moving the source folder into the same working folder again finishes the move.</translation>
    </message>
    <message>
        <source> は、読み込んだ後にほかのところで変更されています（同じリストを開いている別の Quillmorn など）。
上書きすると、その変更は失われます。</source>
        <translation> was changed elsewhere after it was loaded (for example by another Quillmorn with the same list open).
Overwriting it loses that change.</translation>
    </message>
    <message>
        <source>読み込み直す</source>
        <translation>Reload</translation>
    </message>
    <message>
        <source>上書き保存</source>
        <translation>Overwrite</translation>
    </message>
    <message>
        <source>両方残す</source>
        <translation>Keep both</translation>
    </message>
    <message>
        <source>ごみ箱に移動</source>
        <translation>Move to trash</translation>
    </message>
    <message>
        <source>完全に削除</source>
        <translation>Delete permanently</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source> をごみ箱に移動できませんでした。
</source>
        <translation> could not be moved to the trash.
</translation>
    </message>
    <message>
        <source> を完全に削除します。元に戻すことはできません。
削除しますか？</source>
        <translation> will be deleted permanently. This cannot be undone.
Delete it?</translation>
    </message>
    <message>
        <source>
代わりに完全に削除しますか？元に戻すことはできません。</source>
        <translation>
Delete it for good instead? This cannot be undone.</translation>
    </message>
</context>
<context>
    <name>qm::CatalogueWindow</name>
    <message>
        <source>フォルダリスト&#x3000;-&#x3000;こちらにフォルダの情報が表示されます。</source>
        <translation>Folder list - the details of each folder are shown here.</translation>
    </message>
    <message>
        <source>項目をダブルクリックすると情報が変更されます。</source>
        <translation>Double-click an item to change its details.</translation>
    </message>
    <message>
        <source>- 未登録（情報が登録されていません。）</source>
        <translation>- Unregistered (no details yet)</translation>
    </message>
    <message>
        <source>- 登録済（登録されています。）</source>
        <translation>- Registered</translation>
    </message>
    <message>
        <source>↑まず。順次登録を押してください。ボタンにマウスを置くと説明が出ます。</source>
        <translation>↑ First, Register all. Hover for help.</translation>
    </message>
    <message>
        <source>印なし- 対象外（検索対象外とされています。）</source>
        <translation>No mark - Excluded (left out of the list)</translation>
    </message>
    <message>
        <source>フォルダ内のReadme.txt やその他の TXT ファイルを表示します</source>
        <translation>Shows Readme.txt and the other TXT files of the folder</translation>
    </message>
    <message>
        <source>フォルダ内のテキストファイルを表示しています。こちらをクリックすると、右にその内容が表示されます。</source>
        <translation>The text files of the folder. Click one to show it on the right.</translation>
    </message>
    <message>
        <source>メニューに戻る</source>
        <translation>Back to menu</translation>
    </message>
    <message>
        <source>メインメニューに戻ります。</source>
        <translation>Returns to the main menu.</translation>
    </message>
    <message>
        <source>順次登録</source>
        <translation>Register all</translation>
    </message>
    <message>
        <source>こちらをクリックすると、未登録の情報を要求するダイアログが順次出現し、情報をすべて登録できます。</source>
        <translation>Asks for the details of every unregistered folder in turn, so that all can be registered.</translation>
    </message>
    <message>
        <source>起 動</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>リスト選択中の登録されたEXEを起動します。</source>
        <translation>Starts the registered program of the selected item.</translation>
    </message>
    <message>
        <source>開 く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>リストで選択されたフォルダを開きます。</source>
        <translation>Opens the selected folder.</translation>
    </message>
    <message>
        <source>移 動</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>選択フォルダとリスト項目を移動します。</source>
        <translation>Moves the selected folder and its item.</translation>
    </message>
    <message>
        <source>削 除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>選択フォルダとリスト項目を削除します。</source>
        <translation>Deletes the selected folder and its item.</translation>
    </message>
    <message>
        <source>登録情報の変更</source>
        <translation>Change details</translation>
    </message>
    <message>
        <source>ファイルの設定情報が表示され、変更できます。</source>
        <translation>Shows the item&apos;s details so that they can be changed.</translation>
    </message>
    <message>
        <source>アイコン更新</source>
        <translation>Refresh icons</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>リスト編集(&amp;P)</source>
        <translation>&amp;List</translation>
    </message>
    <message>
        <source>選択された登録情報を変更する</source>
        <translation>Change the selected item&apos;s details</translation>
    </message>
    <message>
        <source>リストにインストール追加</source>
        <translation>Install into the list</translation>
    </message>
    <message>
        <source>リストからアンインストール削除</source>
        <translation>Uninstall from the list</translation>
    </message>
    <message>
        <source>選択されたEXEを起動</source>
        <translation>Start the selected program</translation>
    </message>
    <message>
        <source>選択されたフォルダを開く</source>
        <translation>Open the selected folder</translation>
    </message>
    <message>
        <source>選択されたフォルダを移動</source>
        <translation>Move the selected folder</translation>
    </message>
    <message>
        <source>設定(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>説明を消す</source>
        <translation>Hide the help</translation>
    </message>
    <message>
        <source>起動時に順次登録を行う</source>
        <translation>Register all when opening</translation>
    </message>
    <message>
        <source>全て登録されました。</source>
        <translation>All are registered.</translation>
    </message>
    <message>
        <source>追加はありませんでした。</source>
        <translation>Nothing was added.</translation>
    </message>
    <message>
        <source>プログラムの一覧</source>
        <translation>Programs</translation>
    </message>
    <message>
        <source>%1 件が未設定のままです：
</source>
        <translation>%1 still unregistered:
</translation>
    </message>
</context>
<context>
    <name>qm::ExtractionMessage</name>
    <message>
        <source>このファイルはアーカイブとして読めません。LZH、ZIP、7z、RAR、CAB、tar のアーカイブを指定してください。</source>
        <translation>This file cannot be read as an archive. Choose an LZH, ZIP, 7z, RAR, CAB or tar archive.</translation>
    </message>
    <message>
        <source>アーカイブが壊れているか、途中で切れています。ダウンロードし直すなどして、完全なファイルでもう一度インストールしてください。</source>
        <translation>The archive is damaged or cut short. Get a complete copy (download it again, for example) and install once more.</translation>
    </message>
    <message>
        <source>アーカイブに、新しいフォルダの外へ書き出そうとする項目があります。安全のため何も書き出していません。配布元に確かめてください。</source>
        <translation>The archive holds an entry that would be written outside the new folder. For safety nothing was written. Check with whoever distributes it.</translation>
    </message>
    <message>
        <source>アーカイブに扱えない種類の項目（デバイスファイルなど）があります。何も書き出していません。</source>
        <translation>The archive holds an entry of a kind that cannot be installed (a device file, for example). Nothing was written.</translation>
    </message>
    <message>
        <source>作業フォルダのディスクの空きが足りません。空きを作ってからもう一度インストールしてください。</source>
        <translation>There is not enough free space on the working folder&apos;s disk. Free some space and install once more.</translation>
    </message>
    <message>
        <source>作業フォルダに書き込む権限がありません。書き込めるフォルダを作業フォルダにしてから、もう一度インストールしてください。</source>
        <translation>You may not write to the working folder. Choose a folder you can write to as the working folder and install once more.</translation>
    </message>
    <message>
        <source>展開した大きさが圧縮された大きさに比べて桁外れに大きいため、解凍を中止しました。信頼できるアーカイブか確かめてください。</source>
        <translation>Extraction was stopped: the extracted size grew far beyond what the compressed size makes plausible. Check that the archive can be trusted.</translation>
    </message>
    <message>
        <source>ファイルを書き出せませんでした。作業フォルダを確かめてから、もう一度インストールしてください。</source>
        <translation>The files could not be written. Check the working folder and install once more.</translation>
    </message>
    <message>
        <source>項目: %1</source>
        <translation>Entry: %1</translation>
    </message>
    <message>
        <source>アーカイブの目録を読むのに、普通のアーカイブではありえないほどのメモリか時間がかかるため、読むのをやめました。壊れているか、悪意のあるアーカイブです。</source>
        <translation>Reading the archive&apos;s index took more memory or time than any real archive needs, so it was stopped. The archive is damaged or malicious.</translation>
    </message>
</context>
<context>
    <name>qm::FileSystem</name>
    <message>
        <source>このフォルダのあるファイルシステムにはごみ箱がありません。</source>
        <translation>The file system this folder is on has no trash.</translation>
    </message>
</context>
<context>
    <name>qm::FolderPreview</name>
    <message>
        <source>Readme.txt がありません。</source>
        <translation>There is no Readme.txt.</translation>
    </message>
</context>
<context>
    <name>qm::FolderTree</name>
    <message>
        <source>ファイルとフォルダが %1 個を超えるため削除できません。何も削除していません。</source>
        <translation>The folder holds more than %1 files and folders and cannot be deleted. Nothing was deleted.</translation>
    </message>
    <message>
        <source>%1 を削除できません（%2）。</source>
        <translation>%1 cannot be deleted (%2).</translation>
    </message>
    <message>
        <source>%1 には別のファイルシステムがマウントされています。その中は削除しません。</source>
        <translation>Another file system is mounted on %1. Nothing inside it is deleted.</translation>
    </message>
</context>
<context>
    <name>qm::Helpers</name>
    <message>
        <source> ﾌｧｲﾙを開けません。</source>
        <translation>: cannot open the file.</translation>
    </message>
</context>
<context>
    <name>qm::InstallSteps</name>
    <message>
        <source>ファイルが見つかりません。</source>
        <translation>The file was not found.</translation>
    </message>
    <message>
        <source>解凍エラー</source>
        <translation>Extraction error</translation>
    </message>
    <message>
        <source>インストールエラー</source>
        <translation>Installation error</translation>
    </message>
    <message>
        <source>解凍に失敗しました。</source>
        <translation>Extraction failed.</translation>
    </message>
    <message>
        <source>プログラムファイルをコピーできませんでした。</source>
        <translation>The program file could not be copied.</translation>
    </message>
</context>
<context>
    <name>qm::InstallableFile</name>
    <message>
        <source>アーカイブとプログラム</source>
        <translation>Archives and programs</translation>
    </message>
</context>
<context>
    <name>qm::InstallerWindow</name>
    <message>
        <source>Quillmorn - インストーラー</source>
        <translation>Quillmorn - Installer</translation>
    </message>
    <message>
        <source>←こちらに</source>
        <translation>← Drag and drop</translation>
    </message>
    <message>
        <source>.LZH .ZIPファイルを</source>
        <translation>an .LZH or .ZIP file here</translation>
    </message>
    <message>
        <source>ドラッグアンドドロップしてインストールを押してください。</source>
        <translation>and press Install.</translation>
    </message>
    <message>
        <source>インストーラーをプログラムに登録</source>
        <translation>Add the installer to the menu</translation>
    </message>
    <message>
        <source>スタートメニュー&#x3000;－&#x3000;プログラムにインストーラーのショートカットを登録する。</source>
        <translation>Adds a shortcut to the installer to the menu&apos;s programs.</translation>
    </message>
    <message>
        <source>インストール</source>
        <translation>Install</translation>
    </message>
    <message>
        <source>メニューに戻る</source>
        <translation>Back to menu</translation>
    </message>
    <message>
        <source>重複した名前が存在します。既にインストールされている可能性があります。</source>
        <translation>That name is taken. It may be installed already.</translation>
    </message>
    <message>
        <source>このアーカイブには Setup.exe（特有のインストーラー）が含まれています。</source>
        <translation>This archive holds a Setup.exe (an installer of its own).</translation>
    </message>
    <message>
        <source>セットアップを起動しますか？</source>
        <translation>Start the setup?</translation>
    </message>
    <message>
        <source>セットアップを起動できませんでした。</source>
        <translation>The setup could not be started.</translation>
    </message>
    <message>
        <source>適切なファイルを指定してください。</source>
        <translation>Please give a suitable file.</translation>
    </message>
    <message>
        <source>作成しました。</source>
        <translation>Created.</translation>
    </message>
    <message>
        <source>このファイル名からはフォルダ名を作れません（制御文字が含まれています）。ファイル名を変えてからもう一度指定してください。</source>
        <translation>No folder name can be made from this file name (it holds control characters). Rename the file and try again.</translation>
    </message>
    <message>
        <source>このパスは解凍に使えません（「&quot;」の後に空白が続いています）。ファイルかフォルダの名前を変えてからもう一度指定してください。</source>
        <translation>This path cannot be used for extraction (a &quot; is followed by a blank). Rename the file or folder and try again.</translation>
    </message>
    <message>
        <source>クリックするとファイルを選べます。</source>
        <translation>Click to choose a file.</translation>
    </message>
    <message>
        <source>インストールするファイルを選択</source>
        <translation>Choose the file to install</translation>
    </message>
    <message>
        <source>インストールするファイル</source>
        <translation>File to install</translation>
    </message>
    <message>
        <source>展開の進み具合</source>
        <translation>Extraction progress</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 個、%2</source>
        <translation>%1 entries, %2</translation>
    </message>
    <message>
        <source>このファイルはインストールできません。LZH、ZIP、7z、RAR、CAB、tar のアーカイブか、プログラムファイル（.exe、.AppImage）を指定してください。</source>
        <translation>This file cannot be installed. Choose an LZH, ZIP, 7z, RAR, CAB or tar archive, or a program file (.exe, .AppImage).</translation>
    </message>
    <message>
        <source>このファイル名には拡張子の前に名前がないので、フォルダ名を決められません。ファイル名を変えてからもう一度指定してください。</source>
        <translation>This file name has no name before its extension, so no folder name can be made from it. Rename the file and choose it again.</translation>
    </message>
    <message>
        <source>アプリケーションメニューにインストーラーのショートカットを登録する。</source>
        <translation>Adds a shortcut to the installer to the applications menu.</translation>
    </message>
</context>
<context>
    <name>qm::Launcher</name>
    <message>
        <source>wine がインストールされていません。</source>
        <translation>wine is not installed.</translation>
    </message>
</context>
<context>
    <name>qm::LhaZip</name>
    <message>
        <source>ファイルが見つかりません。No.4</source>
        <translation>File not found. No.4</translation>
    </message>
    <message>
        <source>LzhMeltエラー</source>
        <translation>LzhMelt error</translation>
    </message>
    <message>
        <source>解凍に失敗しました。No.5</source>
        <translation>Extraction failed. No.5</translation>
    </message>
    <message>
        <source>圧縮失敗</source>
        <translation>Archive error</translation>
    </message>
    <message>
        <source>ファイルが存在しません。No.9</source>
        <translation>The file does not exist. No.9</translation>
    </message>
    <message>
        <source>ZipMeltエラー</source>
        <translation>ZipMelt error</translation>
    </message>
    <message>
        <source>解凍に失敗しました。No.10</source>
        <translation>Extraction failed. No.10</translation>
    </message>
</context>
<context>
    <name>qm::LinkWindow</name>
    <message>
        <source>正常に登録されました。</source>
        <translation>Registered.</translation>
    </message>
    <message>
        <source>適切なショートカットの置き場所を指定してください</source>
        <translation>Please give a suitable place for the shortcuts</translation>
    </message>
    <message>
        <source>重複するフォルダが存在しますが、置き換えますか？</source>
        <translation>That folder exists already. Replace it?</translation>
    </message>
    <message>
        <source>Quillmorn - リンク作成</source>
        <translation>Quillmorn - Links</translation>
    </message>
    <message>
        <source>上記の対象フォルダリストが更新されました。設定を更新した場合、スタートメニューのショートカットを作成・更新しましょう。</source>
        <translation>The folder list above was updated. If you changed settings, create or update the menu shortcuts.</translation>
    </message>
    <message>
        <source>ショートカットの置き場所([スタート]-[プログラム]以降）</source>
        <translation>Place of the shortcuts (below [Start]-[Programs])</translation>
    </message>
    <message>
        <source>&#x3000;例：&quot;オンラインソフト&quot;</source>
        <translation> e.g. &quot;Online software&quot;</translation>
    </message>
    <message>
        <source>処理中です..........</source>
        <translation>Working..........</translation>
    </message>
    <message>
        <source>しばらくお待ちください。</source>
        <translation>Please wait.</translation>
    </message>
    <message>
        <source>リンク作成</source>
        <translation>Create links</translation>
    </message>
    <message>
        <source>登録されている対象フォルダ</source>
        <translation>Registered working folders</translation>
    </message>
    <message>
        <source>大文字と小文字だけが違うフォルダが複数あります。置き場所の名前を正確に指定してください。</source>
        <translation>There are several folders whose names differ only in letter case. Type the destination&apos;s name exactly.</translation>
    </message>
    <message>
        <source>wine がインストールされていないため、Windows のプログラム（.exe）の項目はメニューに表示されません。wine をインストールすると表示されます。</source>
        <translation>wine is not installed, so the menu does not show the entries of Windows programs (.exe). They show once wine is installed.</translation>
    </message>
    <message>
        <source>上記の対象フォルダリストが更新されました。設定を更新した場合、アプリケーションメニューのショートカットを作成・更新しましょう。</source>
        <translation>The folder list above was updated. If you changed settings, create or update the shortcuts in the applications menu.</translation>
    </message>
    <message>
        <source>左の登録されている対象フォルダ名を選択し、ショートカットの置き場所を指定し、作成ボタンをクリックしてください。</source>
        <translation>Choose a folder on the left, give a place for the shortcuts and click the button.</translation>
    </message>
    <message>
        <source>ショートカットの置き場所（アプリケーションメニューの中）</source>
        <translation>Place of the shortcuts (in the applications menu)</translation>
    </message>
    <message>
        <source>メニューに
ショートカットを作成</source>
        <translation>Create shortcuts
in the menu</translation>
    </message>
    <message>
        <source>作成する対象フォルダを選んでください。</source>
        <translation>Choose the folders to put into the menu.</translation>
    </message>
    <message>
        <source>名前をファイル名に使えません</source>
        <translation>its name cannot be a file name</translation>
    </message>
    <message>
        <source>分類をフォルダ名に使えません</source>
        <translation>its category cannot be a folder name</translation>
    </message>
    <message>
        <source>プログラムのファイルが不明です</source>
        <translation>its program file is unknown</translation>
    </message>
    <message>
        <source>ショートカットを書き込めません</source>
        <translation>its shortcut cannot be written</translation>
    </message>
    <message>
        <source>次の登録にはショートカットを作成できませんでした。ほかの登録のショートカットは作成しました。</source>
        <translation>No shortcut could be made for the entries below. The other entries have their shortcuts.</translation>
    </message>
    <message>
        <source>
・「%1」: %2</source>
        <translation>
- &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>qm::ListSort</name>
    <message>
        <source>状態で並べ替え</source>
        <translation>Sort by state</translation>
    </message>
</context>
<context>
    <name>qm::MainMenuWindow</name>
    <message>
        <source>小規模ソフトウェアフォルダ簡易管理ソフト</source>
        <translation>A simple manager for folders of small programs</translation>
    </message>
    <message>
        <source>管理する対象のフォルダの場所：</source>
        <translation>Folder of programs to manage:</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>新規作成</source>
        <translation>New</translation>
    </message>
    <message>
        <source>作業フォルダを新規作成します。</source>
        <translation>Creates a new list folder.</translation>
    </message>
    <message>
        <source>フォルダリスト</source>
        <translation>Folder list</translation>
    </message>
    <message>
        <source>既存のソフトウェアフォルダをリストに登録します。</source>
        <translation>Registers the existing program folders in the list.</translation>
    </message>
    <message>
        <source>インストーラー</source>
        <translation>Installer</translation>
    </message>
    <message>
        <source>小規模ソフトを対象フォルダにインストールします。</source>
        <translation>Installs a small program into the folder.</translation>
    </message>
    <message>
        <source>リンク作成</source>
        <translation>Create links</translation>
    </message>
    <message>
        <source>フォルダリストを元に、ショートカットを作成します。</source>
        <translation>Creates shortcuts from the folder list.</translation>
    </message>
    <message>
        <source>作業フォルダを開く</source>
        <translation>Open list folder</translation>
    </message>
    <message>
        <source>終 了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>対象となるフォルダを指定してください。</source>
        <translation>Choose the folder.</translation>
    </message>
    <message>
        <source>もっと深い階層を指定してください</source>
        <translation>Please choose a deeper folder</translation>
    </message>
    <message>
        <source>作業フォルダを開けません。
</source>
        <translation>Cannot open the list folder.
</translation>
    </message>
    <message>
        <source>
このフォルダは名前にコンマと二重引用符などを含むため、管理する対象のフォルダにできません。</source>
        <translation>
This folder&apos;s name holds a comma and a double quote, so it cannot be managed.</translation>
    </message>
    <message>
        <source>フォルダが見つかりません。フォルダの場所をフルパスで入力してください。
</source>
        <translation>Folder not found. Type the folder&apos;s full path.
</translation>
    </message>
</context>
<context>
    <name>qm::Messages</name>
    <message>
        <source>ファイル転送エラー。当ソフトを再起動して再試行してみてください。</source>
        <translation>File transfer error. Please restart the program and try again.</translation>
    </message>
    <message>
        <source>正常にプロセスできませんでした。ショートカットとそのフォルダに書き込めるか確かめてください。</source>
        <translation>The process did not complete. Check that the shortcuts and their folder can be written.</translation>
    </message>
</context>
<context>
    <name>qm::MoveWindow</name>
    <message>
        <source>フォルダが存在しません</source>
        <translation>The folder does not exist</translation>
    </message>
    <message>
        <source>フォルダの移動先を指定してください。</source>
        <translation>Choose where to move the folder.</translation>
    </message>
    <message>
        <source>リスト登録されているフォルダ</source>
        <translation>The managed folder</translation>
    </message>
    <message>
        <source>上記以外のフォルダ</source>
        <translation>Another folder</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>移 動</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>フォルダの移動</source>
        <translation>Move folder</translation>
    </message>
    <message>
        <source>対象となるフォルダを指定してください。</source>
        <translation>Choose the folder.</translation>
    </message>
    <message>
        <source>フォルダを移動します。よろしいですか？</source>
        <translation>The folder will be moved. Go ahead?</translation>
    </message>
    <message>
        <source>移動先フォルダが移動元と同じです。移動できません。</source>
        <translation>The destination is the folder itself. It cannot be moved.</translation>
    </message>
    <message>
        <source>移動先に同じ名前のフォルダが既に存在します。</source>
        <translation>A folder of that name exists at the destination already.</translation>
    </message>
    <message>
        <source>移動中に作られたか変更されたファイルが移動元に残っているため、次のフォルダは削除していません。中身を確認してください。
</source>
        <translation>Files made or changed during the move are still in the old place, so this folder was not deleted. Please check what it holds.
</translation>
    </message>
</context>
<context>
    <name>qm::Preferences</name>
    <message>
        <source>設定を保存できませんでした。次のファイルに書き込めるか確かめてください。
</source>
        <translation>The preferences could not be saved. Check that this file can be written:
</translation>
    </message>
</context>
<context>
    <name>qm::RegistrationWindow</name>
    <message>
        <source>設定</source>
        <translation>Registered</translation>
    </message>
    <message>
        <source>未設定</source>
        <translation>Not set</translation>
    </message>
    <message>
        <source>対象外</source>
        <translation>Excluded</translation>
    </message>
    <message>
        <source>名&#x3000;&#x3000;前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>対象フォルダ、ショートカット名を指定します。</source>
        <translation>The name of the folder&apos;s item and shortcut.</translation>
    </message>
    <message>
        <source>フォルダ名</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>分&#x3000;&#x3000;類</source>
        <translation>Category</translation>
    </message>
    <message>
        <source>対象フォルダのジャンルを指定します。</source>
        <translation>The category of the folder.</translation>
    </message>
    <message>
        <source>プログラム 名</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>対象フォルダ中のEXE(実行ファイル)を指定します。</source>
        <translation>The program (executable file) in the folder.</translation>
    </message>
    <message>
        <source>説&#x3000;&#x3000;明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>対象フォルダの説明を指定します。</source>
        <translation>A description of the folder.</translation>
    </message>
    <message>
        <source>検索対象外に設定して登録・変更します</source>
        <translation>Saves the item as excluded</translation>
    </message>
    <message>
        <source>登録、順次登録をキャンセルします。</source>
        <translation>Cancels this and registering all.</translation>
    </message>
    <message>
        <source>OK / 登録</source>
        <translation>OK / Save</translation>
    </message>
    <message>
        <source>上記の情報で登録します。</source>
        <translation>Saves the details above.</translation>
    </message>
    <message>
        <source>登録・変更して、前の項目に戻ります</source>
        <translation>Saves and goes back to the previous item</translation>
    </message>
    <message>
        <source>登録・変更して次の項目に進みます</source>
        <translation>Saves and goes on to the next item</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>State</translation>
    </message>
    <message>
        <source>対象外にする</source>
        <translation>Exclude</translation>
    </message>
    <message>
        <source>検索対象外に設定します。</source>
        <translation>Leaves the folder out of the list.</translation>
    </message>
    <message>
        <source>設定する情報がありません</source>
        <translation>Nothing to set</translation>
    </message>
    <message>
        <source>Readme.txt ファイルの参照</source>
        <translation>Readme.txt and other files</translation>
    </message>
    <message>
        <source>フォルダ内のテキストファイルを表示しています。こちらをクリックすると、下にその内容が表示されます。</source>
        <translation>The text files of the folder. Click one to show it below.</translation>
    </message>
    <message>
        <source>選択範囲を：</source>
        <translation>Selection as:</translation>
    </message>
    <message>
        <source>名前に使用</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>下に表示されているテキストのソフト名を選択してクリックするとその名前が適用されます。</source>
        <translation>Select the program&apos;s name in the text below and click here to use it.</translation>
    </message>
    <message>
        <source>説明に使用</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>下に表示されているテキストの説明を選択してクリックするとその説明が適用されます。あまり長いものは入りません。</source>
        <translation>Select a description in the text below and click here to use it. Very long texts do not fit.</translation>
    </message>
    <message>
        <source> の設定</source>
        <translation> - details</translation>
    </message>
    <message>
        <source>フォルダ</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>前の項目</source>
        <translation>Previous entry</translation>
    </message>
    <message>
        <source>次の項目</source>
        <translation>Next entry</translation>
    </message>
    <message>
        <source>名前と説明は %1 のデスクトップエントリから取りました。</source>
        <translation>Name and description taken from the desktop entry of %1.</translation>
    </message>
    <message>
        <source>名前と説明は %1 のバージョン情報から取りました。</source>
        <translation>Name and description taken from the version information of %1.</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qm::SplashWindow</name>
    <message>
        <source>小規模ソフトウェアフォルダ簡易管理ソフト</source>
        <translation>A simple manager for folders of small programs</translation>
    </message>
    <message>
        <source>起動中です・・・&#x3000;&#x3000;&#x3000;リストを作成中</source>
        <translation>Starting...   building the list</translation>
    </message>
</context>
<context>
    <name>qm::StartUp</name>
    <message>
        <source>ポータブルモードのフォルダに書き込めません。通常のフォルダを使います。
</source>
        <translation>Cannot write to the portable folder; the usual folders are used.
</translation>
    </message>
    <message>
        <source>Quillmornは既に起動されています</source>
        <translation>Quillmorn is already running</translation>
    </message>
    <message>
        <source>インストール先の作業フォルダがありません。作業フォルダを選んで作成してから、もう一度ファイルを開いてください。</source>
        <translation>There is no folder to install into. Choose and create one, then open the file again.</translation>
    </message>
    <message>
        <source>もっと深い階層を指定してください</source>
        <translation>Please choose a deeper folder</translation>
    </message>
</context>
<context>
    <name>qm::StoredText</name>
    <message>
        <source>未設定</source>
        <translation>Not set</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>Unknown</translation>
    </message>
</context>
<context>
    <name>qm::SystemError</name>
    <message>
        <source>権限がありません</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>使用中です</source>
        <translation>in use</translation>
    </message>
    <message>
        <source>空き容量が足りません</source>
        <translation>not enough free space</translation>
    </message>
    <message>
        <source>読み取り専用のファイルシステムです</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>同じ名前のものがあるか、空ではありません</source>
        <translation>something of that name exists, or it is not empty</translation>
    </message>
    <message>
        <source>見つかりません</source>
        <translation>not found</translation>
    </message>
    <message>
        <source>読み書きに失敗しました</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>途中でリンクかファイルに置き換えられました</source>
        <translation>it was replaced by a link or a file meanwhile</translation>
    </message>
    <message>
        <source>別のファイルシステムにあります</source>
        <translation>on another file system</translation>
    </message>
    <message>
        <source>エラー番号 %1</source>
        <translation>error number %1</translation>
    </message>
</context>
<context>
    <name>qm::TransferTexts</name>
    <message>
        <source>ほか %1 件</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>何も移動していません。</source>
        <translation> Nothing was moved.</translation>
    </message>
    <message>
        <source>%1 はパイプ、ソケットまたはデバイスのため、別のファイルシステムへは移動できません。</source>
        <translation>%1 is a pipe, socket or device and cannot be moved to another file system.</translation>
    </message>
    <message>
        <source>%1 を読み取れません（%2）。</source>
        <translation>%1 cannot be read (%2).</translation>
    </message>
    <message>
        <source>%1 から中身を削除する権限がないため移動できません。</source>
        <translation>The folder cannot be moved: you may not remove entries from %1.</translation>
    </message>
    <message>
        <source>%1 は他のプログラムが開いています。そのプログラムを閉じてから、もう一度移動してください。</source>
        <translation>%1 is open in another program. Close that program, then move the folder again.</translation>
    </message>
    <message>
        <source>%1 には別のファイルシステムがマウントされているため移動できません。</source>
        <translation>The folder cannot be moved: another file system is mounted on %1.</translation>
    </message>
    <message>
        <source>移動先 %1 の空き容量が足りません（必要 %2、空き %3）。</source>
        <translation>There is not enough free space in %1 (needed %2, free %3).</translation>
    </message>
    <message>
        <source>%1 を移動できませんでした（%2）。移動したものは元に戻しました。</source>
        <translation>%1 could not be moved (%2). What had been moved was put back.</translation>
    </message>
    <message>
        <source>%1 を移動できず（%2）、元に戻すこともできませんでした。
移動先 %3 にあるファイル:
%4
残りは移動元 %5 にあります。もう一度同じ移動先へ移動すると続きを移動します。</source>
        <translation>%1 could not be moved (%2), and putting back what was moved failed as well.
Files now in the destination %3:
%4
The rest is in the source %5. Moving the folder to the same destination again finishes the move.</translation>
    </message>
</context>
<context>
    <name>qm::WorkingFolder</name>
    <message>
        <source>作業フォルダを作成できませんでした。
</source>
        <translation>Could not create the list folder.
</translation>
    </message>
    <message>
        <source>作業フォルダを作成しました。</source>
        <translation>The list folder was created.</translation>
    </message>
    <message>
        <source>大文字と小文字だけが違う作業フォルダが複数あるため、作業フォルダを作成できません。
</source>
        <translation>Several list folders differ only in letter case, so the list folder cannot be created.
</translation>
    </message>
    <message>
        <source>作業フォルダ %1 は別の管理する対象のフォルダ %2 のものです。
%3 の作業フォルダとして %4 を使います。</source>
        <translation>The list folder %1 belongs to another folder, %2.
%3 uses the list folder %4.</translation>
    </message>
</context>
</TS>
