// Every fixed text that Sorvane shows: captions, menu items, labels and messages.
// Kept in one place so that each can be checked against the wording users expect.
#pragma once

namespace sorvane::text {

// Captions of windows and message boxes.
inline constexpr char kAppCaption[] = "Sorvane Ver1.00";
inline constexpr char kMessageCaption[] = "メッセージ";
inline constexpr char kErrorCaption[] = "エラー";
inline constexpr char kProgressCaption[] = "処理中";
inline constexpr char kAppendCaption[] = "チャンネル追加";
inline constexpr char kSettingsCaption[] = "ファイルの設定";

// Buttons.
inline constexpr char kOk[] = "OK";
inline constexpr char kCancel[] = "キャンセル";
inline constexpr char kFind[] = "検索";

// Main menu.
inline constexpr char kMenuFile[] = "ファイル(&F)";
inline constexpr char kMenuNew[] = "新規作成(&N)";
inline constexpr char kMenuOpen[] = "開く(&O)";
inline constexpr char kMenuFind[] = "全検索(&F)";
inline constexpr char kMenuGap[] = "設定(&C)";
inline constexpr char kMenuExit[] = "終了(&Q)";
inline constexpr char kMenuHighQuality[] = "高音質で変換(&H)";
inline constexpr char kMenuExportAll[] = "全チャンネルをWAV出力";
inline constexpr char kMenuShow[] = "表示(&V)";
inline constexpr char kMenuSp1[] = "時間単位(&T)";
inline constexpr char kMenuSpS[] = "セクタ単位(&S)";
inline constexpr char kMenuSpH[] = "HEXセクタ単位(&H)";
inline constexpr char kMenuEdit[] = "編集(&E)";
inline constexpr char kMenuPlay[] = "再生(&P)";
inline constexpr char kMenuWavI[] = "WAV入力(&I)";
inline constexpr char kMenuWavO[] = "WAV出力(&O)";
inline constexpr char kMenuChAppend[] = "Ch追加(&A)";
inline constexpr char kMenuChDelete[] = "Ch削除(&D)";

// Popup menu of the channel list.
inline constexpr char kPopPlay[] = "再生   [P]";
inline constexpr char kPopWavI[] = "WAV入力  [I]";
inline constexpr char kPopWavO[] = "WAV出力  [O]";
inline constexpr char kPopAppend[] = "Ch追加    [A]";
inline constexpr char kPopDelete[] = "Ch削除    [D]";

// File dialog filters ("|" separates description and pattern).
inline constexpr char kXaFilter[] = "XAファイル|*.xa|すべてのファイル|*.*";
// File > 開く: XA files and the disc images that hold them, in one filter.
inline constexpr char kOpenFilter[] =
    "XAファイル・ディスクイメージ|*.xa;*.cue;*.bin;*.img;*.iso|すべてのファイル|*.*";
inline constexpr char kWavFilter[] = "WAVファイル|*.wav|すべてのファイル|*.*";
// Every format an import or append reads (the WAV reader's and libsndfile's), as one filter.
inline constexpr char kAudioFilter[] =
    "音声ファイル|*.wav;*.wave;*.rf64;*.w64;*.aif;*.aiff;*.aifc;*.flac;*.ogg;*.oga;*.opus;*.mp3|"
    "すべてのファイル|*.*";

// Channel list header row.
inline constexpr char kHeaderCh[] = " Ch";
inline constexpr char kHeaderTrk[] = " Trk";
inline constexpr char kHeaderStart[] = "開始位置";
inline constexpr char kHeaderEnd[] = "終了位置";
inline constexpr char kHeaderPlayTime[] = "再生時間";
inline constexpr char kHeaderLength[] = "  長さ";
inline constexpr char kHeaderQuality[] = "    音質";
inline constexpr char kHeaderSpeed[] = "  回転";

// Channel list cells.
inline constexpr char kCellDoubleSpeed[] = "  倍速";
inline constexpr char kCellNormalSpeed[] = "  等速";

// Container messages.
inline constexpr char kDetectReadError[] = "読み取りエラー。";
inline constexpr char kReadError[] = "読み取りエラー";
inline constexpr char kFormatUnknown[] = "ファイルフォーマットの判定に失敗しました。";
// XA sound that a 2048-byte ripper cut from its sectors, dropping the subheaders.
inline constexpr char kRippedAt2048[] =
    "2048バイト単位で取り出されたファイルのため、XAのサブヘッダがありません。"
    "2336または2352バイトのセクタで取り出し直してください。";
inline constexpr char kBadData[] = "データが異常です";
inline constexpr char kWritePositionError[] = "書き込み位置指定エラー";
inline constexpr char kWriteError[] = "書き込みエラー";
inline constexpr char kCannotOpenFile[] = "ファイルがオープンできません。";
inline constexpr char kTooManyChannels[] = "チャンネルが多すぎます";
inline constexpr char kInconsistentRate[] = "再生データレートに矛盾があります。";
inline constexpr char kDuplicateChannel[] =
    "このデータには重複したチャンネルNoのデータが存在します";
inline constexpr char kAskResize[] = "ファイルサイズを変更しますか？";
inline constexpr char kResizeFailed[] = "ファイルサイズの変更でエラーが発生しました。";
inline constexpr char kReadOnlyFile[] = "読み取り専用のファイルのため変更できません。";
inline constexpr char kFileInUse[] = "ファイルは他のプログラムで使用中です。";

// Undo, redo and recovery.
inline constexpr char kJournalFailed[] = "元に戻すための記録を書き込めないため変更できません。";
inline constexpr char kNothingToUndo[] = "元に戻せる編集はありません。";
inline constexpr char kNothingToRedo[] = "やり直せる編集はありません。";
inline constexpr char kChangedSince[] = "ファイルが他のプログラムで変更されたため元に戻せません。";
inline constexpr char kJournalDamaged[] = "元に戻すための記録が壊れているため元に戻せません。";
inline constexpr char kJournalStopped[] =
    "元に戻すための記録を書き込めなくなったため途中で止めました。元に戻すで編集前に戻せます。";
inline constexpr char kAskForget[] =
    "最新の編集の元に戻すための記録を削除します。この編集は元に戻せなくなります。よろしいですか？";
inline constexpr char kInterruptedPending[] =
    "前回の元に戻す・やり直しが途中で終わっています。次にファイルを変更するときに完了します。";
// Marks an entry of `undo --list` whose checksums or lengths disagree.
inline constexpr char kListDamaged[] = "壊れています";
inline constexpr char kAskRecover[] =
    "前回の編集が途中で終わっています。編集前の状態に戻しますか？";
inline constexpr char kMenuUndo[] = "元に戻す";
inline constexpr char kMenuRedo[] = "やり直し";

// sorvane-cli: CH names no listed channel.
inline constexpr char kNoSuchChannel[] = "no such channel";

// Disc images.
inline constexpr char kIso2048Image[] =
    "2048バイトセクタのイメージのため、XA音声を含められません。";
inline constexpr char kImageNeedsEntry[] =
    "ディスクイメージです。--entry でファイルを指定してください（一覧は disc）。";
inline constexpr char kNoSuchImageFile[] = "イメージ内にそのファイルがありません。";
inline constexpr char kNoIsoVolume[] = "ISO 9660のファイルシステムが見つかりません。";
inline constexpr char kUnsupportedTrack[] = "対応していないトラック形式です。";
inline constexpr char kImageTruncated[] = "イメージが途中で切れています。";
inline constexpr char kCueImageMissing[] = "キューシートのイメージファイルが見つかりません。";
inline constexpr char kImageSizeFixed[] = "ディスクイメージ内のファイルは大きさを変えられません。";
// A warning of `disc`: a file's extent ran into the next one and is taken only up to it.
inline constexpr char kExtentCut[] = "次のファイルの範囲と重なるため、その手前までとします。";
// A warning of `disc`: a directory the library could not read is passed over.
inline constexpr char kDirectoryUnreadable[] = "ディレクトリが読めません。";
inline constexpr char kImageChooserCaption[] = "ディスクイメージ内のファイル";
inline constexpr char kImageColumnPath[] = "パス";
inline constexpr char kImageColumnLength[] = "長さ";
inline constexpr char kImageColumnChannels[] = "チャンネル";

// WAV export, reader and playback messages.
inline constexpr char kWavCannotOpen[] = "WAVファイルがオープンできません。";
inline constexpr char kWavWriteFailed[] = "書込みに失敗しました。";
inline constexpr char kCancelled[] = "キャンセルしました。";
inline constexpr char kExportOntoOpenFile[] = "開いているXAファイルには書き出せません。";
// Export of every channel of many files: two of them would write the same WAV names (the two
// paths follow), or a folder could not be read.
inline constexpr char kExportNameClash[] = "同じ名前のWAVファイルに書き出すXAファイルがあります。";
inline constexpr char kFolderCannotRead[] = "フォルダが読めません。";
inline constexpr char kWavCannotRead[] = "WAVファイルが読込めません。";
inline constexpr char kWavUnexpectedLayout[] = "期待したWAVファイルの形式ではありません";
inline constexpr char kWavUnsupported[] = "このWAVファイルの形式には対応していません";
inline constexpr char kWaveDeviceCannotOpen[] = "WAVデバイスがオープンできません";
inline constexpr char kPlaybackNoMemory[] = "再生用メモリが確保できません。";

// WAV import: the length dialog and the overwrite questions.
inline constexpr char kWavShorter[] = "元データよりも短いWAVファイルです。";
inline constexpr char kWavLonger[] = "元データよりも長いWAVファイルです。";
inline constexpr char kFollowingOverlap[] = "後続のデータと重なります。";
inline constexpr char kKeepOriginal[] = "元データに合わせる";
inline constexpr char kFollowWav[] = "WAVデータに合わせる";
inline constexpr char kFitBeforeFollowing[] = "後続データの直前に合わせる";
inline constexpr char kAskOverwriteData[] =
    "データセクタを上書きしようとしています。\n続けますか？";
inline constexpr char kAskOverwriteAudio[] =
    "他のチャンネルを上書きしようとしています。\n続けますか？";

// After an import or append that wrote less sound than its source holds: both playing times
// follow, and, when the file's size setting cut it, the second sentence.
inline constexpr char kSoundCut[] = "WAVデータを切り詰めて書き込みました: ";
inline constexpr char kSoundCutBySize[] = "ファイルサイズの変更は「設定」で許可できます。";

// Channel append dialog.
inline constexpr char kLabelTrack[] = "トラック";
inline constexpr char kLabelStart[] = "開始位置";
inline constexpr char kLabelSpeed[] = "回転速度";
inline constexpr char kLabelChannel[] = "チャンネル";
inline constexpr char kLabelQuality[] = "音質";
inline constexpr char kSpeedNormal[] = "等速";
inline constexpr char kSpeedDouble[] = "倍速";
inline constexpr char kQuality189Mono[] = "18.9k Mono";
inline constexpr char kQuality189Stereo[] = "18.9k Stereo";
inline constexpr char kQuality378Mono[] = "37.8k Mono";
inline constexpr char kQuality378Stereo[] = "37.8k Stereo";
inline constexpr char kTableFull[] = "これ以上チャンネルを増やせません。";
inline constexpr char kChannelInUse[] = "このチャンネル番号は使用済みです";
inline constexpr char kOverlap[] = "このパラメータでは他のチャンネルと重なります";
inline constexpr char kBadStart[] = "開始位置が不正です。";
inline constexpr char kCannotGrowForAppend[] = "ファイルサイズを変更できないため追加できません。";

// Channel delete.
inline constexpr char kAskDelete[] = "このチャンネルを削除します。\nよろしいですか？";

// File settings dialog.
inline constexpr char kLabelChannelGap[] = "チャンネル毎のポストギャップ";
inline constexpr char kLabelEndGap[] = "ファイル末尾のポストギャップ";
inline constexpr char kLabelModify[] = "ファイルサイズの変更許可";
inline constexpr char kModifyAsk[] = "";
inline constexpr char kModifyAllowed[] = "許可";
inline constexpr char kModifyForbidden[] = "禁止";
inline constexpr char kGapTooLarge[] = "ファイル末尾のポストギャップより\n大きくできません。";
inline constexpr char kNegativeGap[] = "ポストギャップに負の値は指定できません。";

// The editor's conveniences: recent files and the status bar ("%1" and "%2" stand for
// numbers and names filled in by the editor).
inline constexpr char kMenuRecent[] = "最近使ったファイル(&R)";
inline constexpr char kStatusPlain2336[] = "2336バイト";
inline constexpr char kStatusRaw2352[] = "2352バイト";
inline constexpr char kStatusRiff2352[] = "RIFF 2352バイト";
// The layout of an entry of a disc image, then the entry: "2352バイト（イメージ内
// /XA/VOICE.XA;1）", short enough to leave room for the other fields.
inline constexpr char kStatusImageEntry[] = "%1（イメージ内 %2）";
inline constexpr char kStatusLayoutTip[] = "1セクタのバイト数（ファイルの形式）";
inline constexpr char kStatusSectors[] = "%1セクタ";
inline constexpr char kStatusPostGaps[] = "ギャップ %1/%2";
inline constexpr char kStatusFirstSectorsOnly[] = "先頭64セクタのみ検索";
inline constexpr char kStatusFirstSectorsTip[] =
    "先頭64セクタだけを検索しました。全検索で他のチャンネルが見つかることがあります。";
// The file cannot be changed from the window: read-only, or another program holds its lock.
inline constexpr char kStatusReadOnly[] = "読み取り専用";
inline constexpr char kStatusInUse[] = "他のプログラムが使用中のため読み取り専用";

// What the last command did, in the status bar after it ("%1" and "%2" filled in).
inline constexpr char kNoteCancelledEdit[] =
    "キャンセルしました。書き込んだ部分は「元に戻す」で取り消せます。";
inline constexpr char kNoteImported[] = "チャンネル %1 に %2 の音声を入力しました。";
inline constexpr char kNoteAppended[] = "チャンネル %1（%2）を追加しました。";
inline constexpr char kNoteExported[] = "チャンネル %1 を %2 に出力しました。";
inline constexpr char kNoteExportedAll[] = "%1 個のWAVファイルを %2 に出力しました。";
inline constexpr char kNoteDeleted[] = "チャンネル %1 を削除しました。";
// The sound that a batch's length question is about, and its channel.
inline constexpr char kBatchSoundLine[] = "%1 → チャンネル %2";
inline constexpr char kNoteUndone[] = "元に戻しました。";
inline constexpr char kNoteRedone[] = "やり直しました。";
// Why the changing commands are unavailable.
inline constexpr char kNoteReadOnly[] = "読み取り専用のファイルのため、変更する項目は使えません。";
inline constexpr char kNoteInUse[] = "他のプログラムが使用中のため、変更する項目は使えません。";
// The line the window adds after the delete confirmation, and after the length dialog's text.
inline constexpr char kDeleteChannelLine[] = "チャンネル %1";
inline constexpr char kLengthBoth[] = "WAVデータ %1 / 現在のチャンネル %2";
// The append dialog's live readings of 開始位置 and チャンネル.
inline constexpr char kStartReading[] = "= セクタ %1（%2）";
inline constexpr char kChannelReading[] = "= チャンネル %1";

// The interleave map under the channel list: its legend and what hovering shows.
inline constexpr char kMapChannel[] = "Ch %1";
inline constexpr char kMapData[] = "データ";
inline constexpr char kMapPostGap[] = "ポストギャップ";
inline constexpr char kMapEmpty[] = "空き";
inline constexpr char kMapProposal[] = "追加";
inline constexpr char kMapCollision[] = "重なり";
inline constexpr char kMapHoverChannel[] = "チャンネル %1";
inline constexpr char kMapHoverChannelGap[] = "チャンネル %1 のポストギャップ";
inline constexpr char kMapHoverDataGap[] = "データのポストギャップ";
inline constexpr char kMapHoverSector[] = "セクタ %1 (%2): %3";
inline constexpr char kMapHoverCollision[] = " / 追加するチャンネルと重なり";
inline constexpr char kMapHoverProposal[] = " / 追加するチャンネル";

// Positions of a channel's sound as the list writes them (play and export from a point), and
// the waveform strip's part of the edit menu.
inline constexpr char kPositionUnreadable[] = "位置が読めません。";
inline constexpr char kPositionOutsideChannel[] = "チャンネルの範囲外の位置です。";
inline constexpr char kPartReversed[] = "終わりの位置が始まりより前です。";
inline constexpr char kMenuExportPart[] = "選択範囲をWAV出力(&W)";

// 編集 > フォルダから一括入力: the sounds of a folder, named as 全チャンネルをWAV出力 names
// them, each into its channel as one edit; the plan is shown before anything is written.
inline constexpr char kMenuImportAll[] = "フォルダから一括入力(&B)";
inline constexpr char kImportAllCaption[] = "フォルダから一括入力";
inline constexpr char kImportAllColumnTarget[] = "入力先";
inline constexpr char kImportAllColumnSound[] = "ファイル";
inline constexpr char kImportAllColumnSoundLength[] = "ファイルの長さ";
inline constexpr char kImportAllColumnChannelLength[] = "チャンネルの長さ";
inline constexpr char kImportAllColumnFitting[] = "長さの扱い";
inline constexpr char kImportAllColumnQuestion[] = "確認";
inline constexpr char kImportAllSameLength[] = "同じ長さ";
inline constexpr char kImportAllCut[] = "切り詰め";
inline constexpr char kImportAllPadded[] = "残りは無音";
inline constexpr char kImportAllUnmatched[] = "チャンネルが見つからないファイル（入力しません）";
inline constexpr char kImportAllDuplicates[] = "同じチャンネルに複数あるファイル（入力しません）";
// The status bar after the batch: imported, cut, skipped, failed.
inline constexpr char kImportAllDone[] = "一括入力: 入力 %1、切り詰め %2、スキップ %3、失敗 %4";

// Fonts (substituted by Japanese fonts available on Linux).
inline constexpr char kUiFont[] = "ＭＳ Ｐゴシック";
inline constexpr char kFixedFont[] = "ＭＳ ゴシック";

}  // namespace sorvane::text
