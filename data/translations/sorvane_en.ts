<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Sorvane</name>
    <message>
        <source>Sorvane Ver1.00</source>
        <translation>Sorvane Ver1.00</translation>
    </message>
    <message>
        <source>メッセージ</source>
        <translation>Message</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>処理中</source>
        <translation>Working</translation>
    </message>
    <message>
        <source>チャンネル追加</source>
        <translation>Add Channel</translation>
    </message>
    <message>
        <source>ファイルの設定</source>
        <translation>File Settings</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>検索</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>開く(&amp;O)</source>
        <translation>&amp;Open</translation>
    </message>
    <message>
        <source>全検索(&amp;F)</source>
        <translation>&amp;Find All</translation>
    </message>
    <message>
        <source>設定(&amp;C)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>終了(&amp;Q)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>時間単位(&amp;T)</source>
        <translation>In &amp;Time</translation>
    </message>
    <message>
        <source>セクタ単位(&amp;S)</source>
        <translation>In &amp;Sectors</translation>
    </message>
    <message>
        <source>HEXセクタ単位(&amp;H)</source>
        <translation>In &amp;Hex Sectors</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>再生(&amp;P)</source>
        <translation>&amp;Play</translation>
    </message>
    <message>
        <source>WAV入力(&amp;I)</source>
        <translation>WAV &amp;In</translation>
    </message>
    <message>
        <source>WAV出力(&amp;O)</source>
        <translation>WAV &amp;Out</translation>
    </message>
    <message>
        <source>Ch追加(&amp;A)</source>
        <translation>&amp;Add Channel</translation>
    </message>
    <message>
        <source>Ch削除(&amp;D)</source>
        <translation>&amp;Delete Channel</translation>
    </message>
    <message>
        <source>再生   [P]</source>
        <translation>Play	[P]</translation>
    </message>
    <message>
        <source>WAV入力  [I]</source>
        <translation>WAV In	[I]</translation>
    </message>
    <message>
        <source>WAV出力  [O]</source>
        <translation>WAV Out	[O]</translation>
    </message>
    <message>
        <source>Ch追加    [A]</source>
        <translation>Add Channel	[A]</translation>
    </message>
    <message>
        <source>Ch削除    [D]</source>
        <translation>Delete Channel	[D]</translation>
    </message>
    <message>
        <source>XAファイル|*.xa|すべてのファイル|*.*</source>
        <translation>XA files|*.xa|All files|*.*</translation>
    </message>
    <message>
        <source>WAVファイル|*.wav|すべてのファイル|*.*</source>
        <translation>WAV files|*.wav|All files|*.*</translation>
    </message>
    <message>
        <source>音声ファイル|*.wav;*.wave;*.rf64;*.w64;*.aif;*.aiff;*.aifc;*.flac;*.ogg;*.oga;*.opus;*.mp3|すべてのファイル|*.*</source>
        <translation>Audio files|*.wav;*.wave;*.rf64;*.w64;*.aif;*.aiff;*.aifc;*.flac;*.ogg;*.oga;*.opus;*.mp3|All files|*.*</translation>
    </message>
    <message>
        <source> Ch</source>
        <translation> Ch</translation>
    </message>
    <message>
        <source> Trk</source>
        <translation> Trk</translation>
    </message>
    <message>
        <source>開始位置</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>終了位置</source>
        <translation>End</translation>
    </message>
    <message>
        <source>再生時間</source>
        <translation>Play time</translation>
    </message>
    <message>
        <source>  長さ</source>
        <translation>  Length</translation>
    </message>
    <message>
        <source>    音質</source>
        <translation>  Quality</translation>
    </message>
    <message>
        <source>  回転</source>
        <translation>  Speed</translation>
    </message>
    <message>
        <source>  倍速</source>
        <translation>  2x</translation>
    </message>
    <message>
        <source>  等速</source>
        <translation>  1x</translation>
    </message>
    <message>
        <source>読み取りエラー。</source>
        <translation>Read error.</translation>
    </message>
    <message>
        <source>読み取りエラー</source>
        <translation>Read error</translation>
    </message>
    <message>
        <source>ファイルフォーマットの判定に失敗しました。</source>
        <translation>The file format could not be recognised.</translation>
    </message>
    <message>
        <source>データが異常です</source>
        <translation>The data is corrupt</translation>
    </message>
    <message>
        <source>書き込み位置指定エラー</source>
        <translation>Write position error</translation>
    </message>
    <message>
        <source>書き込みエラー</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>ファイルがオープンできません。</source>
        <translation>The file cannot be opened.</translation>
    </message>
    <message>
        <source>チャンネルが多すぎます</source>
        <translation>Too many channels</translation>
    </message>
    <message>
        <source>再生データレートに矛盾があります。</source>
        <translation>The playback data rates contradict each other.</translation>
    </message>
    <message>
        <source>このデータには重複したチャンネルNoのデータが存在します</source>
        <translation>This data holds channels with the same channel number</translation>
    </message>
    <message>
        <source>ファイルサイズを変更しますか？</source>
        <translation>Change the file size?</translation>
    </message>
    <message>
        <source>ファイルサイズの変更でエラーが発生しました。</source>
        <translation>An error occurred while changing the file size.</translation>
    </message>
    <message>
        <source>読み取り専用のファイルのため変更できません。</source>
        <translation>The file is read-only and cannot be changed.</translation>
    </message>
    <message>
        <source>WAVファイルがオープンできません。</source>
        <translation>The WAV file cannot be opened.</translation>
    </message>
    <message>
        <source>書込みに失敗しました。</source>
        <translation>Writing failed.</translation>
    </message>
    <message>
        <source>キャンセルしました。</source>
        <translation>Cancelled.</translation>
    </message>
    <message>
        <source>開いているXAファイルには書き出せません。</source>
        <translation>Cannot export onto the open XA file.</translation>
    </message>
    <message>
        <source>WAVファイルが読込めません。</source>
        <translation>The WAV file cannot be read.</translation>
    </message>
    <message>
        <source>期待したWAVファイルの形式ではありません</source>
        <translation>The WAV file is not laid out as expected</translation>
    </message>
    <message>
        <source>このWAVファイルの形式には対応していません</source>
        <translation>This WAV file format is not supported</translation>
    </message>
    <message>
        <source>WAVデバイスがオープンできません</source>
        <translation>The sound device cannot be opened</translation>
    </message>
    <message>
        <source>再生用メモリが確保できません。</source>
        <translation>No memory for playback.</translation>
    </message>
    <message>
        <source>元データよりも短いWAVファイルです。</source>
        <translation>The WAV file is shorter.</translation>
    </message>
    <message>
        <source>元データよりも長いWAVファイルです。</source>
        <translation>The WAV file is longer.</translation>
    </message>
    <message>
        <source>後続のデータと重なります。</source>
        <translation>It overlaps the next data.</translation>
    </message>
    <message>
        <source>元データに合わせる</source>
        <translation>Keep the channel length</translation>
    </message>
    <message>
        <source>WAVデータに合わせる</source>
        <translation>Follow the WAV length</translation>
    </message>
    <message>
        <source>後続データの直前に合わせる</source>
        <translation>End before the next data</translation>
    </message>
    <message>
        <source>データセクタを上書きしようとしています。
続けますか？</source>
        <translation>Data sectors are about to be overwritten.
Continue?</translation>
    </message>
    <message>
        <source>他のチャンネルを上書きしようとしています。
続けますか？</source>
        <translation>Another channel is about to be overwritten.
Continue?</translation>
    </message>
    <message>
        <source>トラック</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>回転速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>チャンネル</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>音質</source>
        <translation>Quality</translation>
    </message>
    <message>
        <source>等速</source>
        <translation>1x</translation>
    </message>
    <message>
        <source>倍速</source>
        <translation>2x</translation>
    </message>
    <message>
        <source>18.9k Mono</source>
        <translation>18.9k Mono</translation>
    </message>
    <message>
        <source>18.9k Stereo</source>
        <translation>18.9k Stereo</translation>
    </message>
    <message>
        <source>37.8k Mono</source>
        <translation>37.8k Mono</translation>
    </message>
    <message>
        <source>37.8k Stereo</source>
        <translation>37.8k Stereo</translation>
    </message>
    <message>
        <source>これ以上チャンネルを増やせません。</source>
        <translation>No more channels can be added.</translation>
    </message>
    <message>
        <source>このチャンネル番号は使用済みです</source>
        <translation>This channel number is in use</translation>
    </message>
    <message>
        <source>このパラメータでは他のチャンネルと重なります</source>
        <translation>With these values it overlaps another channel</translation>
    </message>
    <message>
        <source>開始位置が不正です。</source>
        <translation>The start position is invalid.</translation>
    </message>
    <message>
        <source>ファイルサイズを変更できないため追加できません。</source>
        <translation>Cannot add: the file size may not be changed.</translation>
    </message>
    <message>
        <source>このチャンネルを削除します。
よろしいですか？</source>
        <translation>This channel will be deleted.
Are you sure?</translation>
    </message>
    <message>
        <source>チャンネル毎のポストギャップ</source>
        <translation>Post-gap after each channel</translation>
    </message>
    <message>
        <source>ファイル末尾のポストギャップ</source>
        <translation>Post-gap at the end of the file</translation>
    </message>
    <message>
        <source>ファイルサイズの変更許可</source>
        <translation>File size changes</translation>
    </message>
    <message>
        <source>許可</source>
        <translation>Allowed</translation>
    </message>
    <message>
        <source>禁止</source>
        <translation>Forbidden</translation>
    </message>
    <message>
        <source>ファイル末尾のポストギャップより
大きくできません。</source>
        <translation>It cannot be larger than
the post-gap at the end of the file.</translation>
    </message>
    <message>
        <source>ポストギャップに負の値は指定できません。</source>
        <translation>A post-gap cannot be negative.</translation>
    </message>
    <message>
        <source>最近使ったファイル(&amp;R)</source>
        <translation>&amp;Recent Files</translation>
    </message>
    <message>
        <source>先頭64セクタだけを検索しました。全検索で他のチャンネルが見つかることがあります。</source>
        <translation>Only the first 64 sectors were searched. Find All may find more channels.</translation>
    </message>
    <message>
        <source>2336バイト</source>
        <translation>2336 bytes</translation>
    </message>
    <message>
        <source>2352バイト</source>
        <translation>2352 bytes</translation>
    </message>
    <message>
        <source>RIFF 2352バイト</source>
        <translation>RIFF 2352 bytes</translation>
    </message>
    <message>
        <source>1セクタのバイト数（ファイルの形式）</source>
        <translation>Bytes per sector (the file layout)</translation>
    </message>
    <message>
        <source>%1セクタ</source>
        <translation>%1 sectors</translation>
    </message>
    <message>
        <source>ギャップ %1/%2</source>
        <translation>Gaps %1/%2</translation>
    </message>
    <message>
        <source>先頭64セクタのみ検索</source>
        <translation>First 64 sectors only</translation>
    </message>
    <message>
        <source>ファイルは他のプログラムで使用中です。</source>
        <translation>The file is in use by another program.</translation>
    </message>
    <message>
        <source>元に戻すための記録を書き込めないため変更できません。</source>
        <translation>Cannot change the file: the undo record cannot be written.</translation>
    </message>
    <message>
        <source>元に戻せる編集はありません。</source>
        <translation>There is no edit to undo.</translation>
    </message>
    <message>
        <source>やり直せる編集はありません。</source>
        <translation>There is no edit to redo.</translation>
    </message>
    <message>
        <source>ファイルが他のプログラムで変更されたため元に戻せません。</source>
        <translation>Cannot undo: another program has changed the file.</translation>
    </message>
    <message>
        <source>前回の編集が途中で終わっています。編集前の状態に戻しますか？</source>
        <translation>The last edit did not finish. Put the file back as it was before it?</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Ch %1</source>
        <translation>Ch %1</translation>
    </message>
    <message>
        <source>データ</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>ポストギャップ</source>
        <translation>Post-gap</translation>
    </message>
    <message>
        <source>空き</source>
        <translation>Empty</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>New</translation>
    </message>
    <message>
        <source>重なり</source>
        <translation>Overlap</translation>
    </message>
    <message>
        <source>チャンネル %1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <source>チャンネル %1 のポストギャップ</source>
        <translation>Post-gap of channel %1</translation>
    </message>
    <message>
        <source>データのポストギャップ</source>
        <translation>Post-gap of data</translation>
    </message>
    <message>
        <source>セクタ %1 (%2): %3</source>
        <translation>Sector %1 (%2): %3</translation>
    </message>
    <message>
        <source> / 追加するチャンネルと重なり</source>
        <translation> / the new channel, overlapping</translation>
    </message>
    <message>
        <source> / 追加するチャンネル</source>
        <translation> / the new channel</translation>
    </message>
    <message>
        <source>読み取り専用</source>
        <translation>Read-only</translation>
    </message>
    <message>
        <source>他のプログラムが使用中のため読み取り専用</source>
        <translation>Read-only: another program is using the file</translation>
    </message>
    <message>
        <source>全チャンネルをWAV出力</source>
        <translation>Export All Channels as WAV</translation>
    </message>
    <message>
        <source>同じ名前のWAVファイルに書き出すXAファイルがあります。</source>
        <translation>XA files would write WAV files of the same names.</translation>
    </message>
    <message>
        <source>フォルダが読めません。</source>
        <translation>The folder cannot be read.</translation>
    </message>
    <message>
        <source>2048バイトセクタのイメージのため、XA音声を含められません。</source>
        <translation>This image has 2048-byte sectors, so it cannot hold XA audio.</translation>
    </message>
    <message>
        <source>ディスクイメージです。--entry でファイルを指定してください（一覧は disc）。</source>
        <translation>This is a disc image. Name a file in it with --entry (disc lists them).</translation>
    </message>
    <message>
        <source>イメージ内にそのファイルがありません。</source>
        <translation>The image holds no such file.</translation>
    </message>
    <message>
        <source>ISO 9660のファイルシステムが見つかりません。</source>
        <translation>No ISO 9660 file system was found.</translation>
    </message>
    <message>
        <source>対応していないトラック形式です。</source>
        <translation>This track layout is not supported.</translation>
    </message>
    <message>
        <source>イメージが途中で切れています。</source>
        <translation>The image is cut short.</translation>
    </message>
    <message>
        <source>キューシートのイメージファイルが見つかりません。</source>
        <translation>The image file named by the cue sheet was not found.</translation>
    </message>
    <message>
        <source>ディスクイメージ内のファイルは大きさを変えられません。</source>
        <translation>A file inside a disc image cannot change its size.</translation>
    </message>
    <message>
        <source>次のファイルの範囲と重なるため、その手前までとします。</source>
        <translation>It runs into the next file, so it is taken only up to there.</translation>
    </message>
    <message>
        <source>ディレクトリが読めません。</source>
        <translation>The directory cannot be read.</translation>
    </message>
    <message>
        <source>ディスクイメージ内のファイル</source>
        <translation>Files in the disc image</translation>
    </message>
    <message>
        <source>パス</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>長さ</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>WAVデータを切り詰めて書き込みました: </source>
        <translation>Only part of the sound was written: </translation>
    </message>
    <message>
        <source>ファイルサイズの変更は「設定」で許可できます。</source>
        <translation>Settings can allow the file to change its size.</translation>
    </message>
    <message>
        <source>no such channel</source>
        <translation>no such channel</translation>
    </message>
    <message>
        <source>2048バイト単位で取り出されたファイルのため、XAのサブヘッダがありません。2336または2352バイトのセクタで取り出し直してください。</source>
        <translation>The file was extracted in 2048-byte units and has no XA subheaders. Extract it again with 2336- or 2352-byte sectors.</translation>
    </message>
    <message>
        <source>XAファイル・ディスクイメージ|*.xa;*.cue;*.bin;*.img;*.iso|すべてのファイル|*.*</source>
        <translation>XA files and disc images|*.xa;*.cue;*.bin;*.img;*.iso|All files|*.*</translation>
    </message>
    <message>
        <source>%1（イメージ内 %2）</source>
        <translation>%1 (in image: %2)</translation>
    </message>
    <message>
        <source>元に戻すための記録が壊れているため元に戻せません。</source>
        <translation>Cannot undo: the undo record is damaged.</translation>
    </message>
    <message>
        <source>元に戻すための記録を書き込めなくなったため途中で止めました。元に戻すで編集前に戻せます。</source>
        <translation>Stopped part-way: the undo record could no longer be written. Undo puts the file back as it was before the edit.</translation>
    </message>
    <message>
        <source>最新の編集の元に戻すための記録を削除します。この編集は元に戻せなくなります。よろしいですか？</source>
        <translation>The undo record of the newest edit will be deleted, and that edit can no longer be undone. Continue?</translation>
    </message>
    <message>
        <source>前回の元に戻す・やり直しが途中で終わっています。次にファイルを変更するときに完了します。</source>
        <translation>The last undo or redo was interrupted. It is completed the next time the file is changed.</translation>
    </message>
    <message>
        <source>壊れています</source>
        <translation>damaged</translation>
    </message>
    <message>
        <source>位置が読めません。</source>
        <translation>The position cannot be read.</translation>
    </message>
    <message>
        <source>チャンネルの範囲外の位置です。</source>
        <translation>The position lies outside the channel.</translation>
    </message>
    <message>
        <source>終わりの位置が始まりより前です。</source>
        <translation>The end position lies before the start.</translation>
    </message>
    <message>
        <source>選択範囲をWAV出力(&amp;W)</source>
        <translation>Export the selection to &amp;WAV</translation>
    </message>
    <message>
        <source>フォルダから一括入力(&amp;B)</source>
        <translation>&amp;Batch Import from Folder</translation>
    </message>
    <message>
        <source>フォルダから一括入力</source>
        <translation>Batch Import from Folder</translation>
    </message>
    <message>
        <source>入力先</source>
        <translation>Into</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>ファイルの長さ</source>
        <translation>Sound Length</translation>
    </message>
    <message>
        <source>チャンネルの長さ</source>
        <translation>Channel Length</translation>
    </message>
    <message>
        <source>長さの扱い</source>
        <translation>Fit</translation>
    </message>
    <message>
        <source>確認</source>
        <translation>Asks</translation>
    </message>
    <message>
        <source>同じ長さ</source>
        <translation>same length</translation>
    </message>
    <message>
        <source>切り詰め</source>
        <translation>cut</translation>
    </message>
    <message>
        <source>残りは無音</source>
        <translation>padded</translation>
    </message>
    <message>
        <source>チャンネルが見つからないファイル（入力しません）</source>
        <translation>Sounds that name no channel (not imported)</translation>
    </message>
    <message>
        <source>同じチャンネルに複数あるファイル（入力しません）</source>
        <translation>Two or more sounds for one channel (none imported)</translation>
    </message>
    <message>
        <source>一括入力: 入力 %1、切り詰め %2、スキップ %3、失敗 %4</source>
        <translation>Batch import: imported %1, cut %2, skipped %3, failed %4</translation>
    </message>
    <message>
        <source>高音質で変換(&amp;H)</source>
        <translation>&amp;High Quality Conversion</translation>
    </message>
    <message>
        <source>キャンセルしました。書き込んだ部分は「元に戻す」で取り消せます。</source>
        <translation>Cancelled. Undo takes back what was written.</translation>
    </message>
    <message>
        <source>チャンネル %1 に %2 の音声を入力しました。</source>
        <translation>Imported %2 of sound into channel %1.</translation>
    </message>
    <message>
        <source>チャンネル %1（%2）を追加しました。</source>
        <translation>Added channel %1 (%2).</translation>
    </message>
    <message>
        <source>チャンネル %1 を %2 に出力しました。</source>
        <translation>Exported channel %1 to %2.</translation>
    </message>
    <message>
        <source>%1 個のWAVファイルを %2 に出力しました。</source>
        <translation>Exported %1 WAV files to %2.</translation>
    </message>
    <message>
        <source>チャンネル %1 を削除しました。</source>
        <translation>Deleted channel %1.</translation>
    </message>
    <message>
        <source>%1 → チャンネル %2</source>
        <translation>%1 → channel %2</translation>
    </message>
    <message>
        <source>元に戻しました。</source>
        <translation>Undone.</translation>
    </message>
    <message>
        <source>やり直しました。</source>
        <translation>Redone.</translation>
    </message>
    <message>
        <source>読み取り専用のファイルのため、変更する項目は使えません。</source>
        <translation>The file is read-only: commands that change it are unavailable.</translation>
    </message>
    <message>
        <source>他のプログラムが使用中のため、変更する項目は使えません。</source>
        <translation>Another program is using the file: commands that change it are unavailable.</translation>
    </message>
    <message>
        <source>= セクタ %1（%2）</source>
        <translation>= sector %1 (%2)</translation>
    </message>
    <message>
        <source>= チャンネル %1</source>
        <translation>= channel %1</translation>
    </message>
    <message>
        <source>WAVデータ %1 / 現在のチャンネル %2</source>
        <translation>WAV data %1 / channel now %2</translation>
    </message>
</context>
</TS>
