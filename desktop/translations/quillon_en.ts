<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>TAboutForm1</name>
    <message>
        <source>Quillonについて</source>
        <translation>About Quillon</translation>
    </message>
    <message>
        <source>6809 ふたつで動くホームコンピュータのエミュレータ</source>
        <translation>An emulator of a home computer with two 6809 CPUs</translation>
    </message>
</context>
<context>
    <name>TDebugForm1</name>
    <message>
        <source>Debug Window</source>
        <translation>Debug Window</translation>
    </message>
    <message>
        <source>ADDR</source>
        <translation>ADDR</translation>
    </message>
    <message>
        <source>STEP</source>
        <translation>STEP</translation>
    </message>
    <message>
        <source>RUN</source>
        <translation>RUN</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>STOP</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>Main</translation>
    </message>
    <message>
        <source>Sub</source>
        <translation>Sub</translation>
    </message>
    <message>
        <source>Break at</source>
        <translation>Break at</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1 does not hold a complete value; no register was written.</source>
        <translation>%1 does not hold a complete value; no register was written.</translation>
    </message>
    <message>
        <source>held</source>
        <translation>held</translation>
    </message>
    <message>
        <source>stepping</source>
        <translation>stepping</translation>
    </message>
    <message>
        <source>running</source>
        <translation>running</translation>
    </message>
</context>
<context>
    <name>TDialogMenus</name>
    <message>
        <source>デバッグウィンドウ(&amp;D)</source>
        <translation>&amp;Debug Window</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>DirectDrawの初期化に失敗しました。</source>
        <translation>The picture could not be set up.</translation>
    </message>
    <message>
        <source>ROMデータの読み込みに失敗しました。</source>
        <translation>The firmware images could not be read.</translation>
    </message>
    <message>
        <source>仮想テープへの書き込みに失敗しました。</source>
        <translation>Writing to the virtual tape failed.</translation>
    </message>
    <message>
        <source>音声出力装置がないため、ビープ音は鳴りません。</source>
        <translation>No audio output: the beep is silent.</translation>
    </message>
    <message>
        <source>画面の保存</source>
        <translation>Save Screen</translation>
    </message>
    <message>
        <source>PNGファイル&#x3000;(*.png)</source>
        <translation>PNG files (*.png)</translation>
    </message>
    <message>
        <source>ビットマップファイル&#x3000;(*.bmp)</source>
        <translation>Bitmap files (*.bmp)</translation>
    </message>
    <message>
        <source>すべてのファイル&#x3000;(*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>状態の保存</source>
        <translation>Save State</translation>
    </message>
    <message>
        <source>状態の読み込み</source>
        <translation>Load State</translation>
    </message>
    <message>
        <source>Quillon状態ファイル (*.qst)</source>
        <translation>Quillon state files (*.qst)</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>仮想ディスク(&amp;F)...</source>
        <translation>Virtual &amp;Disk...</translation>
    </message>
    <message>
        <source>仮想テープ(&amp;T)...</source>
        <translation>Virtual &amp;Tape...</translation>
    </message>
    <message>
        <source>状態の保存(&amp;S)...</source>
        <translation>Sa&amp;ve State...</translation>
    </message>
    <message>
        <source>状態の読み込み(&amp;L)...</source>
        <translation>&amp;Load State...</translation>
    </message>
    <message>
        <source>クイック保存</source>
        <translation>Quick Save</translation>
    </message>
    <message>
        <source>クイック読み込み</source>
        <translation>Quick Load</translation>
    </message>
    <message>
        <source>画面の保存(&amp;S)...</source>
        <translation>&amp;Save Screen...</translation>
    </message>
    <message>
        <source>印刷(&amp;P)...</source>
        <translation>&amp;Print...</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>貼り付け(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ズーム(&amp;Z)</source>
        <translation>&amp;Zoom</translation>
    </message>
    <message>
        <source>全画面表示(&amp;A)</source>
        <translation>&amp;Full Screen</translation>
    </message>
    <message>
        <source>設定(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>パフォーマンス(&amp;P)...</source>
        <translation>&amp;Performance...</translation>
    </message>
    <message>
        <source>タイマ(&amp;T)...</source>
        <translation>&amp;Timer...</translation>
    </message>
    <message>
        <source>キーボード(&amp;K)...</source>
        <translation>&amp;Keyboard...</translation>
    </message>
    <message>
        <source>起動モード(&amp;B)</source>
        <translation>&amp;Boot Mode</translation>
    </message>
    <message>
        <source>ビープ音</source>
        <translation>Beep</translation>
    </message>
    <message>
        <source>操作(&amp;O)</source>
        <translation>&amp;Operate</translation>
    </message>
    <message>
        <source>リセット(&amp;R)</source>
        <translation>&amp;Reset</translation>
    </message>
    <message>
        <source>ホットスタート(&amp;H)</source>
        <translation>&amp;Hot Start</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>BASICの手引き(&amp;B)</source>
        <translation>&amp;BASIC guide</translation>
    </message>
    <message>
        <source>サンプルプログラムを入力(&amp;E)</source>
        <translation>Type in an &amp;example program</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>BASICの手引き</source>
        <translation>BASIC guide</translation>
    </message>
    <message>
        <source>仮想ディスク</source>
        <translation>Virtual Disk</translation>
    </message>
    <message>
        <source>仮想テープ</source>
        <translation>Virtual Tape</translation>
    </message>
    <message>
        <source>ズーム</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>全画面表示</source>
        <translation>Full Screen</translation>
    </message>
    <message>
        <source>パフォーマンス</source>
        <translation>Performance</translation>
    </message>
    <message>
        <source>タイマ</source>
        <translation>Timer</translation>
    </message>
    <message>
        <source>リセット</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>&quot;%1&quot;
同じ名前のファイルがあります。上書きしますか？</source>
        <translation>&quot;%1&quot;
A file of this name exists. Replace it?</translation>
    </message>
    <message>
        <source>印刷を開始できませんでした。</source>
        <translation>Printing could not be started.</translation>
    </message>
    <message>
        <source>印刷できませんでした。</source>
        <translation>Printing failed.</translation>
    </message>
    <message>
        <source>状態を保存しました: %1</source>
        <translation>State saved: %1</translation>
    </message>
    <message>
        <source>状態を読み込みました: %1</source>
        <translation>State loaded: %1</translation>
    </message>
    <message>
        <source>クイック読み込み%1: 保存された状態がありません。</source>
        <translation>Quick load %1: no state has been saved.</translation>
    </message>
    <message>
        <source>仮想ＦＤのオープンに失敗しました。</source>
        <translation>The virtual FD could not be opened.</translation>
    </message>
    <message>
        <source>仮想テープのオープンに失敗しました。</source>
        <translation>The virtual tape could not be opened.</translation>
    </message>
    <message>
        <source>最近使ったファイル</source>
        <translation>Recent Files</translation>
    </message>
    <message>
        <source>スムージング</source>
        <translation>Smoothing</translation>
    </message>
    <message>
        <source>全速(&amp;W)</source>
        <translation>Full S&amp;peed</translation>
    </message>
    <message>
        <source>全速 %1%</source>
        <translation>Full speed %1%</translation>
    </message>
    <message>
        <source>速度 %1%</source>
        <translation>Speed %1%</translation>
    </message>
</context>
<context>
    <name>TKeybordForm1</name>
    <message>
        <source>キーボード</source>
        <translation>Keyboard</translation>
    </message>
    <message>
        <source>キーレイアウトの変更</source>
        <translation>Change the key layout</translation>
    </message>
    <message>
        <source>[ESC] ⇒ [BREAK]</source>
        <translation>[ESC] ⇒ [BREAK]</translation>
    </message>
    <message>
        <source>[半角/全角] ⇒ [ESC]</source>
        <translation>[Hankaku/Zenkaku] ⇒ [ESC]</translation>
    </message>
    <message>
        <source>記号はキーの刻印どおりに入力</source>
        <translation>Type symbols as printed on the keys</translation>
    </message>
    <message>
        <source>英語配列などのキーボードで、記号をキーに書かれた文字として入力します (カナモードと CTRL 併用時を除く)。</source>
        <translation>On a US or other non-Japanese keyboard, symbols are typed as printed on the keys (not in kana mode or with CTRL).</translation>
    </message>
</context>
<context>
    <name>TPaformForm1</name>
    <message>
        <source>パフォーマンス</source>
        <translation>Performance</translation>
    </message>
    <message>
        <source>CPU速度</source>
        <translation>CPU speed</translation>
    </message>
    <message>
        <source>遅い</source>
        <translation>Slow</translation>
    </message>
    <message>
        <source>速い</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>画面更新</source>
        <translation>Screen refresh</translation>
    </message>
    <message>
        <source>回/秒</source>
        <translation>fps</translation>
    </message>
</context>
<context>
    <name>TRecentMenu</name>
    <message>
        <source>(なし)</source>
        <translation>(none)</translation>
    </message>
</context>
<context>
    <name>TStatusBar</name>
    <message>
        <source>カナ</source>
        <translation>Kana</translation>
    </message>
</context>
<context>
    <name>TTimerForm1</name>
    <message>
        <source>タイマ</source>
        <translation>Timer</translation>
    </message>
    <message>
        <source>メインCPUタイマ</source>
        <translation>Main CPU timer</translation>
    </message>
    <message>
        <source>サブCPUタイマ</source>
        <translation>Sub CPU timer</translation>
    </message>
    <message>
        <source>標準値</source>
        <translation>Defaults</translation>
    </message>
</context>
<context>
    <name>TVfdForm1</name>
    <message>
        <source>ディスクイメージ (*.vfd *.VFD *.d88 *.D88 *.d77 *.D77);;仮想FDファイル (*.vfd *.VFD);;D88ファイル (*.d88 *.D88 *.d77 *.D77);;すべてのファイル (*)</source>
        <translation>Disk images (*.vfd *.VFD *.d88 *.D88 *.d77 *.D77);;Virtual FD files (*.vfd *.VFD);;D88 files (*.d88 *.D88 *.d77 *.D77);;All files (*)</translation>
    </message>
    <message>
        <source>仮想ＦＤのオープンに失敗しました。</source>
        <translation>The virtual FD could not be opened.</translation>
    </message>
    <message>
        <source>新規作成...</source>
        <translation>New...</translation>
    </message>
    <message>
        <source>新しいディスクの形式を選んでください。</source>
        <translation>Choose the format of the new disk.</translation>
    </message>
    <message>
        <source>%1 は既にあります。上書きしますか？</source>
        <translation>%1 exists already. Replace it?</translation>
    </message>
    <message>
        <source>ディスクを作成できませんでした。
%1</source>
        <translation>The disk could not be made.
%1</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>書き込み禁止</source>
        <translation>Write-protected</translation>
    </message>
    <message>
        <source>ディスク</source>
        <translation>Disk</translation>
    </message>
    <message>
        <source>仮想ディスク</source>
        <translation>Virtual Disk</translation>
    </message>
    <message>
        <source>ドライブ０</source>
        <translation>Drive 0</translation>
    </message>
    <message>
        <source>ドライブ１</source>
        <translation>Drive 1</translation>
    </message>
</context>
<context>
    <name>TVtpForm1</name>
    <message>
        <source>仮想テープファイル (*.vtp *.VTP);;すべてのファイル (*)</source>
        <translation>Virtual tape files (*.vtp *.VTP);;All files (*)</translation>
    </message>
    <message>
        <source>ファイルが見つかりません。新しくファイルを作成しますか？</source>
        <translation>The file does not exist. Make a new file?</translation>
    </message>
    <message>
        <source>仮想テープのオープンに失敗しました。</source>
        <translation>The virtual tape could not be opened.</translation>
    </message>
    <message>
        <source>仮想テープ</source>
        <translation>Virtual Tape</translation>
    </message>
    <message>
        <source>仮想テープ使用</source>
        <translation>Use the virtual tape</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>書き込み禁止</source>
        <translation>Write-protected</translation>
    </message>
    <message>
        <source>ファイル位置</source>
        <translation>File position</translation>
    </message>
</context>
</TS>
