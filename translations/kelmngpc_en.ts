<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AppMessageBoxDialog</name>
    <message>
        <source>はい</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>いいえ</source>
        <translation>No</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CAboutDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>バージョン情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>クヴァＩＰフォンマネージャ 管理用ツール</source>
        <translation>Kuva IP Phone Manager Admin Tool</translation>
    </message>
</context>
<context>
    <name>CAddTermDialog</name>
    <message>
        <source>登録</source>
        <translation>Register</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>端末情報登録</source>
        <translation>Register Terminals</translation>
    </message>
    <message>
        <source>登録開始端末ＩＤ</source>
        <translation>First terminal ID</translation>
    </message>
    <message>
        <source>登録端末数</source>
        <translation>Number of terminals</translation>
    </message>
</context>
<context>
    <name>CBoxRelay</name>
    <message numerus="yes">
        <source>%1
（同じメッセージがほかに %n 件ありました。）</source>
        <translation>
            <numerusform>%1
(The same message came %n more time.)</numerusform>
            <numerusform>%1
(The same message came %n more times.)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CColumnSelectDialog</name>
    <message>
        <source>処理結果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>一覧表示項目選択</source>
        <translation>Select List Columns</translation>
    </message>
    <message>
        <source>端末情報</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>端末ＩＤ</source>
        <translation>Terminal ID</translation>
    </message>
    <message>
        <source>ＩＰアドレス</source>
        <translation>IP Address</translation>
    </message>
    <message>
        <source>端末登録種別</source>
        <translation>Registration Kind</translation>
    </message>
    <message>
        <source>MACアドレス</source>
        <translation>MAC Address</translation>
    </message>
    <message>
        <source>処理結果日時</source>
        <translation>Result Date/Time</translation>
    </message>
    <message>
        <source>機種情報</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>ベンダ情報</source>
        <translation>Vendor</translation>
    </message>
    <message>
        <source>機器名称</source>
        <translation>Device Name</translation>
    </message>
    <message>
        <source>機器タイプ</source>
        <translation>Device Type</translation>
    </message>
    <message>
        <source>ブートバージョン</source>
        <translation>Boot Version</translation>
    </message>
    <message>
        <source>アプリケーションバージョン</source>
        <translation>Application Version</translation>
    </message>
    <message>
        <source>ユーザ情報</source>
        <translation>User Information</translation>
    </message>
    <message>
        <source>運用状態</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>SIPサーバ登録状態</source>
        <translation>SIP Server Registration</translation>
    </message>
    <message>
        <source>管理PC登録日付</source>
        <translation>Registered on (Date)</translation>
    </message>
    <message>
        <source>管理PC登録時刻</source>
        <translation>Registered at (Time)</translation>
    </message>
    <message>
        <source>アラート情報</source>
        <translation>Alerts</translation>
    </message>
    <message>
        <source>最終通知</source>
        <translation>Last notice</translation>
    </message>
    <message>
        <source>ファーム確認</source>
        <translation>Firmware check</translation>
    </message>
</context>
<context>
    <name>CCondDialog</name>
    <message>
        <source>降順</source>
        <translation>Descending</translation>
    </message>
    <message>
        <source>昇順</source>
        <translation>Ascending</translation>
    </message>
    <message>
        <source>フィルタ設定...</source>
        <translation>Filter...</translation>
    </message>
    <message>
        <source>表示条件設定</source>
        <translation>Display Conditions</translation>
    </message>
</context>
<context>
    <name>CDashboardWindow</name>
    <message>
        <source>ダッシュボード</source>
        <translation>Dashboard</translation>
    </message>
</context>
<context>
    <name>CFilterCodePairDialog</name>
    <message>
        <source>エラーの種類</source>
        <translation>Error kind</translation>
    </message>
</context>
<context>
    <name>CFilterDateDialog</name>
    <message>
        <source>年</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Month</translation>
    </message>
    <message>
        <source>日</source>
        <translation>Day</translation>
    </message>
</context>
<context>
    <name>CFilterDialogBase</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>解除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>値</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>条件</source>
        <translation>Condition</translation>
    </message>
</context>
<context>
    <name>CHistoryDialog</name>
    <message>
        <source>版</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>日時</source>
        <translation>Date/Time</translation>
    </message>
    <message>
        <source>作成元</source>
        <translation>Made by</translation>
    </message>
    <message>
        <source>端末への送信</source>
        <translation>Sent to Terminal</translation>
    </message>
    <message>
        <source>変更行のみ表示</source>
        <translation>Changed lines only</translation>
    </message>
    <message>
        <source>セクション</source>
        <translation>Section</translation>
    </message>
    <message>
        <source>行</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>比較元</source>
        <translation>From</translation>
    </message>
    <message>
        <source>比較先</source>
        <translation>To</translation>
    </message>
    <message>
        <source>この版に戻す</source>
        <translation>Restore This Version</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>設定履歴 - 端末ID %1</source>
        <translation>Settings History - Terminal ID %1</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>変更</source>
        <translation>Changed</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Added</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Removed</translation>
    </message>
    <message>
        <source>履歴はありません。</source>
        <translation>There is no history.</translation>
    </message>
    <message>
        <source>比較する版を選択してください。</source>
        <translation>Select the versions to compare.</translation>
    </message>
    <message>
        <source>選択した版を読み込めませんでした。</source>
        <translation>The selected version could not be read.</translation>
    </message>
    <message>
        <source>比較元：%1&#x3000;&#x3000;比較先：%2</source>
        <translation>From: %1    To: %2</translation>
    </message>
</context>
<context>
    <name>CInitSettingsDialog</name>
    <message>
        <source>実行</source>
        <translation>Run</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>End</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>初期設定実行</source>
        <translation>Initial Settings</translation>
    </message>
    <message>
        <source>端末ID</source>
        <translation>Terminal ID</translation>
    </message>
    <message>
        <source>開始番号</source>
        <translation>First number</translation>
    </message>
    <message>
        <source>設定範囲</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>（ 1～1000 ）</source>
        <translation>(1-1000)</translation>
    </message>
    <message>
        <source>設定済みSIPアドレス</source>
        <translation>SIP addresses assigned</translation>
    </message>
    <message>
        <source>全</source>
        <translation>Total</translation>
    </message>
</context>
<context>
    <name>CJoinButtons</name>
    <message>
        <source>または</source>
        <translation>or</translation>
    </message>
    <message>
        <source>かつ</source>
        <translation>and</translation>
    </message>
</context>
<context>
    <name>CKelMngPCApp</name>
    <message>
        <source>重複起動エラー</source>
        <translation>Already Running</translation>
    </message>
    <message>
        <source>クヴァＩＰフォンマネージャ管理用ツールは既に起動しているか､現在使用不能な状態にあります｡
前回､異常終了した場合は､Windowsを再起動してください｡</source>
        <translation>Kuva IP Phone Manager Admin Tool is already running or can&apos;t be used at the moment.
If it ended abnormally last time, restart the computer.</translation>
    </message>
    <message>
        <source>通信ポートエラー</source>
        <translation>Communication Port Error</translation>
    </message>
    <message>
        <source>通信ポート番号 %1 を使用できません。端末と通信できません。
他のプログラムが使用していないか確認し、システム設定で通信ポート番号を変更して再起動してください。</source>
        <translation>Communication port %1 can&apos;t be used. The program can&apos;t communicate with the terminals.
Check whether another program uses it, or change the port in the system settings and restart.</translation>
    </message>
    <message>
        <source>内部処理の一部が正常に起動できませんでした。
いったん終了し、再度起動してください。</source>
        <translation>Part of the program&apos;s internal processing could not start.
End the program and start it again.</translation>
    </message>
    <message>
        <source>内部処理起動エラー（タイマー制御）</source>
        <translation>Internal Start Error (Timer)</translation>
    </message>
    <message>
        <source>内部処理起動エラー（通信制御）</source>
        <translation>Internal Start Error (Communication)</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>クヴァＩＰフォンマネージャ 管理用ツール</source>
        <translation>Kuva IP Phone Manager Admin Tool</translation>
    </message>
</context>
<context>
    <name>CProgressDialog</name>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>CRemoteUpdateDialog</name>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>CScheduleDetailDialog</name>
    <message>
        <source>スケジュール設定詳細（スケジュール%1）</source>
        <translation>Schedule Details (Schedule %1)</translation>
    </message>
    <message>
        <source>設定ファイル (*.ini);;CSVファイル (*.csv);;全てのファイル (*.*)</source>
        <translation>Settings files (*.ini);;CSV files (*.csv);;All files (*.*)</translation>
    </message>
    <message>
        <source>プログラムファイル (*.s)</source>
        <translation>Program files (*.s)</translation>
    </message>
    <message>
        <source>対象端末一覧</source>
        <translation>Target Terminals</translation>
    </message>
    <message>
        <source>端末ID</source>
        <translation>Terminal ID</translation>
    </message>
    <message>
        <source>IPアドレス</source>
        <translation>IP Address</translation>
    </message>
    <message>
        <source>MACアドレス</source>
        <translation>MAC Address</translation>
    </message>
    <message>
        <source>機器名称</source>
        <translation>Device Name</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>実行日時</source>
        <translation>When</translation>
    </message>
    <message>
        <source>指定日時に実行する</source>
        <translation>Run at a date and time</translation>
    </message>
    <message>
        <source>毎週指定曜日に実行する</source>
        <translation>Run weekly on the chosen days</translation>
    </message>
    <message>
        <source>毎月指定日に実行する</source>
        <translation>Run monthly on a day</translation>
    </message>
    <message>
        <source>別のスケジュール終了後に実行する</source>
        <translation>Run after another schedule</translation>
    </message>
    <message>
        <source>年</source>
        <translation>year</translation>
    </message>
    <message>
        <source>月</source>
        <translation>month</translation>
    </message>
    <message>
        <source>日</source>
        <translation>day</translation>
    </message>
    <message>
        <source>時</source>
        <translation>hour</translation>
    </message>
    <message>
        <source>分</source>
        <translation>minute</translation>
    </message>
    <message>
        <source>実行時間</source>
        <translation>At</translation>
    </message>
    <message>
        <source>スケジュール%1終了後に実行する</source>
        <translation>Run after schedule %1</translation>
    </message>
    <message>
        <source>直前のスケジュール実行結果による動作</source>
        <translation>Depending on the previous schedule&apos;s result</translation>
    </message>
    <message>
        <source>処理が成功した端末のみ対象として実行</source>
        <translation>Run on the terminals that succeeded only</translation>
    </message>
    <message>
        <source>全ての端末を対象として実行</source>
        <translation>Run on all terminals</translation>
    </message>
    <message>
        <source>失敗した端末がある場合は実行しない</source>
        <translation>Don&apos;t run when a terminal failed</translation>
    </message>
    <message>
        <source>スケジュール実行までのウェイト時間（1～10分）</source>
        <translation>Wait before running (1-10 min)</translation>
    </message>
    <message>
        <source>他のスケジュール実行等で指定日時に実行できなかった場合の動作</source>
        <translation>When the start time passed unnoticed (another schedule running, ...)</translation>
    </message>
    <message>
        <source>常に実行する</source>
        <translation>Always run</translation>
    </message>
    <message>
        <source>指定の時間以内であれば実行する</source>
        <translation>Run if within the allowed time</translation>
    </message>
    <message>
        <source>実行しない</source>
        <translation>Don&apos;t run</translation>
    </message>
    <message>
        <source>分以内であれば実行する（1～240分）</source>
        <translation>min allowed (1-240 min)</translation>
    </message>
    <message>
        <source>実行処理の選択</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>ファームウェアの書き込みを行う</source>
        <translation>Write firmware</translation>
    </message>
    <message>
        <source>設定ファイルの書き込みを行う</source>
        <translation>Write settings files</translation>
    </message>
    <message>
        <source>設定ファイルの読み込みを行う</source>
        <translation>Read settings files</translation>
    </message>
    <message>
        <source>端末を再起動する</source>
        <translation>Restart the terminals</translation>
    </message>
    <message>
        <source>ファームウェア（ブート）を書き込む</source>
        <translation>Write firmware (boot)</translation>
    </message>
    <message>
        <source>ファームウェア（アプリ）を書き込む</source>
        <translation>Write firmware (application)</translation>
    </message>
    <message>
        <source>ファームウェア（任意）を書き込む</source>
        <translation>Write firmware (any file)</translation>
    </message>
    <message>
        <source>ファームウェア書き込み設定</source>
        <translation>Firmware Writing</translation>
    </message>
    <message>
        <source>システム設定ファイルを書き込む</source>
        <translation>Write the system settings file</translation>
    </message>
    <message>
        <source>ユーザ設定ファイルを書き込む</source>
        <translation>Write the user settings file</translation>
    </message>
    <message>
        <source>電話帳(短縮ダイヤル)設定ファイルを書き込む</source>
        <translation>Write the phone book (speed dial) file</translation>
    </message>
    <message>
        <source>任意のファイルを書き込む</source>
        <translation>Write any files</translation>
    </message>
    <message>
        <source>ファイル%1</source>
        <translation>File %1</translation>
    </message>
    <message>
        <source>設定ファイル書き込み設定</source>
        <translation>Settings Writing</translation>
    </message>
    <message>
        <source>システム設定ファイルを読み込む</source>
        <translation>Read the system settings file</translation>
    </message>
    <message>
        <source>ユーザ設定ファイルを読み込む</source>
        <translation>Read the user settings file</translation>
    </message>
    <message>
        <source>電話帳(短縮ダイヤル)設定ファイルを読み込む</source>
        <translation>Read the phone book (speed dial) file</translation>
    </message>
    <message>
        <source>設定ファイル読み込み設定</source>
        <translation>Settings Reading</translation>
    </message>
    <message>
        <source>再起動設定</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>スケジュール実行後、端末を再起動する</source>
        <translation>Restart the terminals after the schedule</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>選択されている対象端末を削除します。
よろしいですか？</source>
        <translation>The selected target terminals are removed.
Are you sure?</translation>
    </message>
    <message>
        <source>対象端末削除確認</source>
        <translation>Remove Target Terminals</translation>
    </message>
    <message>
        <source>スケジュール設定ファイルを書き込めませんでした。</source>
        <translation>The schedule settings file could not be written.</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
</context>
<context>
    <name>CScheduleListDialog</name>
    <message>
        <source>全スケジュールの実行結果クリア</source>
        <translation>Clear All Results</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>スケジュール設定</source>
        <translation>Schedule Settings</translation>
    </message>
    <message>
        <source>スケジュール%1</source>
        <translation>Schedule %1</translation>
    </message>
    <message>
        <source>有効</source>
        <translation>Enabled</translation>
    </message>
    <message>
        <source>変更</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>結果確認</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>結果クリア</source>
        <translation>Clear Result</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>スケジュール%1を削除します。
スケジュールを削除すると実行結果も削除されます。
よろしいですか？</source>
        <translation>Schedule %1 is deleted.
Its result is deleted with it.
Are you sure?</translation>
    </message>
    <message>
        <source>スケジュール削除確認</source>
        <translation>Delete Schedule</translation>
    </message>
    <message>
        <source>スケジュール%1の実行結果をクリアします。
よろしいですか？</source>
        <translation>The result of schedule %1 is cleared.
Are you sure?</translation>
    </message>
    <message>
        <source>実行結果クリア確認</source>
        <translation>Clear Results</translation>
    </message>
    <message>
        <source>全てのスケジュールの実行結果をクリアします。
よろしいですか？</source>
        <translation>The results of all schedules are cleared.
Are you sure?</translation>
    </message>
</context>
<context>
    <name>CScheduleResultDialog</name>
    <message>
        <source>成功</source>
        <translation>Succeeded</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>未実行</source>
        <translation>Not run</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>スケジュール実行結果確認（スケジュール%1）</source>
        <translation>Schedule Result (Schedule %1)</translation>
    </message>
    <message>
        <source>端末ID</source>
        <translation>Terminal ID</translation>
    </message>
    <message>
        <source>IPアドレス</source>
        <translation>IP Address</translation>
    </message>
    <message>
        <source>MACアドレス</source>
        <translation>MAC Address</translation>
    </message>
    <message>
        <source>機器名称</source>
        <translation>Device Name</translation>
    </message>
    <message>
        <source>処理結果</source>
        <translation>Result</translation>
    </message>
    <message numerus="yes">
        <source>%n台</source>
        <translation>
            <numerusform>%n terminal</numerusform>
            <numerusform>%n terminals</numerusform>
        </translation>
    </message>
    <message>
        <source>実行開始予定日時：</source>
        <translation>Planned start:</translation>
    </message>
    <message>
        <source>実行開始日時：</source>
        <translation>Started:</translation>
    </message>
    <message>
        <source>実行処理：</source>
        <translation>Operation:</translation>
    </message>
    <message>
        <source>対象端末：</source>
        <translation>Targets:</translation>
    </message>
    <message>
        <source>正常終了：</source>
        <translation>Succeeded:</translation>
    </message>
    <message>
        <source>エラー：</source>
        <translation>Errors:</translation>
    </message>
    <message>
        <source>キャンセル：</source>
        <translation>Cancelled:</translation>
    </message>
    <message>
        <source>対象端末処理結果一覧</source>
        <translation>Results of the Target Terminals</translation>
    </message>
</context>
<context>
    <name>CScheduleRunWindow</name>
    <message>
        <source>スケジュール実行キャンセル後に画面を閉じる</source>
        <translation>Close this window after cancelling the schedules</translation>
    </message>
    <message>
        <source>実行結果クリア</source>
        <translation>Clear Results</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>スケジュール実行</source>
        <translation>Run Schedules</translation>
    </message>
    <message>
        <source>スケジュール%1(%2)</source>
        <translation>Schedule %1 (%2)</translation>
    </message>
    <message>
        <source>有効</source>
        <translation>enabled</translation>
    </message>
    <message>
        <source>無効</source>
        <translation>disabled</translation>
    </message>
</context>
<context>
    <name>CSystemSettingsDialog</name>
    <message>
        <source>パッシブモード</source>
        <translation>Passive mode</translation>
    </message>
    <message>
        <source>通常モード</source>
        <translation>Normal mode</translation>
    </message>
    <message>
        <source>設定ファイル編集ツールパス名</source>
        <translation>Settings file editor path</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>システム設定</source>
        <translation>System Settings</translation>
    </message>
    <message>
        <source>通信ポート番号</source>
        <translation>Communication port</translation>
    </message>
    <message>
        <source>（ 1～65535 ）</source>
        <translation>(1-65535)</translation>
    </message>
    <message>
        <source>ＦＴＰ動作モード</source>
        <translation>FTP Mode</translation>
    </message>
    <message>
        <source>端末登録リフレッシュ間隔</source>
        <translation>Terminal registration interval</translation>
    </message>
    <message>
        <source>（ 0～255&#x3000;時間）</source>
        <translation>(0-255 hours)</translation>
    </message>
    <message>
        <source>通信ポート番号の変更を反映するには、クヴァＩＰフォンマネージャ 管理用ツールを再起動する必要があります。</source>
        <translation>Restart Kuva IP Phone Manager Admin Tool for the new communication port to take effect.</translation>
    </message>
    <message>
        <source>ポート番号変更</source>
        <translation>Port Changed</translation>
    </message>
    <message>
        <source>設定履歴の保存数</source>
        <translation>Settings history kept</translation>
    </message>
    <message>
        <source>（ 1～999&#x3000;版／ファイル）</source>
        <translation>(1-999 versions per file)</translation>
    </message>
    <message>
        <source>新規端末登録上限</source>
        <translation>New terminals limit</translation>
    </message>
    <message>
        <source>（ 1～65535&#x3000;台/分、送信元アドレスごと）</source>
        <translation>(1-65535 terminals/min per source address)</translation>
    </message>
    <message>
        <source>設定ファイル編集ツールの選択</source>
        <translation>Choose the Settings File Editor</translation>
    </message>
    <message>
        <source>全てのファイル (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>ファーム確認待ち時間</source>
        <translation>Firmware check wait</translation>
    </message>
    <message>
        <source>（ 1～1440&#x3000;分）</source>
        <translation>(1-1440 minutes)</translation>
    </message>
</context>
<context>
    <name>CTermDatabase</name>
    <message>
        <source>DB Error</source>
        <translation>DB Error</translation>
    </message>
    <message>
        <source>データベースを最適化できませんでした。データベースファイルを確認してください。
プログラムを終了します。</source>
        <translation>The database could not be compacted. Check the database file.
The program ends.</translation>
    </message>
</context>
<context>
    <name>CTermDetailDialog</name>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>端末情報詳細表示</source>
        <translation>Terminal Details</translation>
    </message>
    <message>
        <source>端末情報</source>
        <translation>Terminal</translation>
    </message>
    <message>
        <source>端末ＩＤ</source>
        <translation>Terminal ID</translation>
    </message>
    <message>
        <source>ＩＰアドレス</source>
        <translation>IP Address</translation>
    </message>
    <message>
        <source>MACアドレス</source>
        <translation>MAC Address</translation>
    </message>
    <message>
        <source>機種情報</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>ベンダ情報</source>
        <translation>Vendor</translation>
    </message>
    <message>
        <source>機器名称</source>
        <translation>Device Name</translation>
    </message>
    <message>
        <source>機器タイプ</source>
        <translation>Device Type</translation>
    </message>
    <message>
        <source>ファイルバージョン</source>
        <translation>File Versions</translation>
    </message>
    <message>
        <source>ブート</source>
        <translation>Boot</translation>
    </message>
    <message>
        <source>アプリケーション</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>ユーザ情報</source>
        <translation>User Information</translation>
    </message>
    <message>
        <source>運用状況</source>
        <translation>Operation</translation>
    </message>
    <message>
        <source>SIPサーバ登録状態</source>
        <translation>SIP Server Registration</translation>
    </message>
    <message>
        <source>管理PC登録日付</source>
        <translation>Registered on (Date)</translation>
    </message>
    <message>
        <source>管理PC登録時刻</source>
        <translation>Registered at (Time)</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>アラート情報</source>
        <translation>Alerts</translation>
    </message>
    <message>
        <source>端末登録種別</source>
        <translation>Registration Kind</translation>
    </message>
</context>
<context>
    <name>CTermIdInputDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>端末ID入力</source>
        <translation>Enter Terminal ID</translation>
    </message>
    <message>
        <source>端末ID</source>
        <translation>Terminal ID</translation>
    </message>
    <message>
        <source>対象端末に追加する端末の端末IDを指定してください。</source>
        <translation>Enter the ID of the terminal to add to the targets.</translation>
    </message>
</context>
<context>
    <name>CTerminalView</name>
    <message>
        <source>端末情報データ読み込みでエラーが発生しました。
データベースファイルを確認してください。</source>
        <translation>Reading the terminal data failed.
Check the database file.</translation>
    </message>
    <message>
        <source>表示条件データの読み込みでエラーが発生しました。
標準の条件で端末データを読み込みます。</source>
        <translation>Reading the list conditions failed.
The terminals are listed under the standard conditions.</translation>
    </message>
    <message>
        <source>データベース読み込みエラー</source>
        <translation>Database Read Error</translation>
    </message>
    <message>
        <source>端末情報読み込み</source>
        <translation>Read Terminal Data</translation>
    </message>
    <message>
        <source>端末一覧表示条件データを正しく保存できませんでした。</source>
        <translation>The list conditions could not be saved.</translation>
    </message>
    <message>
        <source>一覧表示条件保存</source>
        <translation>Save List Conditions</translation>
    </message>
    <message>
        <source>現在設定されているフィルタ条件とソート条件をすべてクリアします。
 よろしいですか？</source>
        <translation>All filter and sort conditions are cleared.
Are you sure?</translation>
    </message>
    <message>
        <source>フィルタ・ソート条件解除確認</source>
        <translation>Clear Filters and Sorting</translation>
    </message>
    <message>
        <source>現在表示中の端末一覧情報をテキストファイルに出力します。
よろしいですか？</source>
        <translation>The terminal list shown is written to a text file.
Are you sure?</translation>
    </message>
    <message>
        <source>端末一覧テキスト出力確認</source>
        <translation>Export Terminal List</translation>
    </message>
    <message>
        <source>端末一覧をテキストファイルに出力しました。</source>
        <translation>The terminal list was written to the text file.</translation>
    </message>
    <message>
        <source>端末一覧テキスト出力完了</source>
        <translation>Terminal List Exported</translation>
    </message>
    <message>
        <source>端末一覧を正常に出力できませんでした。
ディスクに空きがあるか確認してください。</source>
        <translation>The terminal list could not be written.
Check that the disk has free space.</translation>
    </message>
    <message>
        <source>端末一覧テキスト出力異常</source>
        <translation>Terminal List Export Failed</translation>
    </message>
    <message>
        <source>一部の端末を追加できませんでした。</source>
        <translation>Some terminals could not be added.</translation>
    </message>
    <message>
        <source>端末登録</source>
        <translation>Register Terminals</translation>
    </message>
    <message>
        <source>選択されている端末情報を削除します。
よろしいですか？</source>
        <translation>The selected terminals are deleted.
Are you sure?</translation>
    </message>
    <message>
        <source>端末削除確認</source>
        <translation>Delete Terminals</translation>
    </message>
    <message>
        <source>端末用の設定ファイルを同時に削除します。
よろしいですか？</source>
        <translation>The terminals&apos; settings files are deleted too.
Are you sure?</translation>
    </message>
    <message>
        <source>設定ファイル削除確認</source>
        <translation>Delete Settings Files</translation>
    </message>
    <message>
        <source>一部の端末を削除できませんでした。</source>
        <translation>Some terminals could not be deleted.</translation>
    </message>
    <message>
        <source>端末削除</source>
        <translation>Delete Terminals</translation>
    </message>
    <message>
        <source>現在選択中の端末の処理結果をクリアします。
よろしいですか？</source>
        <translation>The results of the selected terminals are cleared.
Are you sure?</translation>
    </message>
    <message>
        <source>処理結果クリア確認</source>
        <translation>Clear Results</translation>
    </message>
    <message>
        <source>システム設定データを読み込めませんでした。</source>
        <translation>The system settings could not be read.</translation>
    </message>
    <message>
        <source>システム設定取得</source>
        <translation>Read System Settings</translation>
    </message>
    <message>
        <source>システム設定データを正しく保存できませんでした。</source>
        <translation>The system settings could not be saved.</translation>
    </message>
    <message>
        <source>システム設定保存</source>
        <translation>Save System Settings</translation>
    </message>
    <message>
        <source>ログ表示</source>
        <translation>Show Log</translation>
    </message>
    <message>
        <source>ログファイル (*.txt)</source>
        <translation>Log files (*.txt)</translation>
    </message>
    <message>
        <source>現在､端末へのリモート設定を行っている為､終了できません</source>
        <translation>Remote settings are being written to terminals; the program can&apos;t end now</translation>
    </message>
    <message>
        <source>終了できません｡</source>
        <translation>Can&apos;t End</translation>
    </message>
    <message>
        <source>表示言語は次回の起動から切り替わります。</source>
        <translation>The new language takes effect the next time the program starts.</translation>
    </message>
    <message>
        <source>言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>設定(&amp;S)</source>
        <translation>&amp;Settings...</translation>
    </message>
    <message>
        <source>端末一覧テキスト出力(&amp;T)</source>
        <translation>Export List as &amp;Text</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝの終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>端末追加(&amp;A)</source>
        <translation>&amp;Add Terminals...</translation>
    </message>
    <message>
        <source>端末削除(&amp;D)</source>
        <translation>&amp;Delete Terminals</translation>
    </message>
    <message>
        <source>処理結果のクリア(&amp;C)</source>
        <translation>&amp;Clear Results</translation>
    </message>
    <message>
        <source>端末ファイル編集(&amp;E)</source>
        <translation>Edit &amp;Terminal Files</translation>
    </message>
    <message>
        <source>システム設定(&amp;S)</source>
        <translation>&amp;System Settings</translation>
    </message>
    <message>
        <source>ユーザ設定(&amp;U)</source>
        <translation>&amp;User Settings</translation>
    </message>
    <message>
        <source>電話帳(&amp;D)</source>
        <translation>Phone &amp;Book</translation>
    </message>
    <message>
        <source>共通ファイル編集(&amp;C)</source>
        <translation>Edit C&amp;ommon Files</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>端末詳細表示(&amp;D)</source>
        <translation>Terminal &amp;Details</translation>
    </message>
    <message>
        <source>一覧表示項目選択(&amp;S)</source>
        <translation>&amp;Select Columns...</translation>
    </message>
    <message>
        <source>フィルタ・ソート全解除(&amp;Q)</source>
        <translation>C&amp;lear All Filters and Sorting</translation>
    </message>
    <message>
        <source>保守(&amp;M)</source>
        <translation>&amp;Maintenance</translation>
    </message>
    <message>
        <source>端末情報取得(&amp;S)</source>
        <translation>Get Terminal &amp;Information</translation>
    </message>
    <message>
        <source>設定ファイル読込(&amp;R)</source>
        <translation>&amp;Read Settings Files</translation>
    </message>
    <message>
        <source>設定ファイル書込(&amp;W)</source>
        <translation>&amp;Write Settings Files</translation>
    </message>
    <message>
        <source>共通ファイル書込(&amp;C)</source>
        <translation>Write &amp;Common Files</translation>
    </message>
    <message>
        <source>ファームバージョンアップ(&amp;V)</source>
        <translation>Firmware &amp;Upgrade</translation>
    </message>
    <message>
        <source>ブートプログラム(&amp;B)</source>
        <translation>&amp;Boot Program...</translation>
    </message>
    <message>
        <source>アプリケーションプログラム(&amp;A)</source>
        <translation>&amp;Application Program...</translation>
    </message>
    <message>
        <source>端末再起動(&amp;B)</source>
        <translation>Restart &amp;Terminals</translation>
    </message>
    <message>
        <source>保守強制終了(&amp;Z)</source>
        <translation>&amp;Force-Close Maintenance</translation>
    </message>
    <message>
        <source>自動更新ファームウェア登録(&amp;F)</source>
        <translation>Register Firmware for &amp;Automatic Update...</translation>
    </message>
    <message>
        <source>初期設定実行(&amp;U)</source>
        <translation>Initial &amp;Settings...</translation>
    </message>
    <message>
        <source>ｽｹｼﾞｭｰﾘﾝｸﾞ(&amp;S)</source>
        <translation>&amp;Scheduling</translation>
    </message>
    <message>
        <source>スケジュール設定(&amp;U)</source>
        <translation>Schedule &amp;Settings...</translation>
    </message>
    <message>
        <source>スケジュール実行(&amp;R)</source>
        <translation>&amp;Run Schedules</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ログ表示(&amp;L)</source>
        <translation>Show &amp;Log...</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)...</source>
        <translation>&amp;About...</translation>
    </message>
    <message>
        <source>処理失敗端末の出力(&amp;O)</source>
        <translation>Write &amp;Out Failed Terminals</translation>
    </message>
    <message>
        <source>処理失敗端末を選択(&amp;F)</source>
        <translation>Select &amp;Failed Terminals</translation>
    </message>
    <message>
        <source>設定履歴(&amp;H)</source>
        <translation>Settings &amp;History</translation>
    </message>
    <message>
        <source>前回の処理を失敗端末に再実行(&amp;L)</source>
        <translation>Repeat the &amp;Last Command on Failed Terminals</translation>
    </message>
    <message numerus="yes">
        <source>&#x3000;送信元ごとの上限を超えた新規端末の通知 %n 件は登録していません。</source>
        <translation>
            <numerusform>  %n notice of a new terminal over its source&apos;s limit was not registered.</numerusform>
            <numerusform>  %n notices of new terminals over their source&apos;s limit were not registered.</numerusform>
        </translation>
    </message>
    <message>
        <source>ダッシュボード</source>
        <translation>Dashboard</translation>
    </message>
</context>
<context>
    <name>CommandFlow</name>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source> 端末が選択されていません。一覧から処理する端末を選択してください。</source>
        <translation> No terminal is selected. Select the terminals to process in the list.</translation>
    </message>
</context>
<context>
    <name>CommandRepeat</name>
    <message>
        <source>端末情報取得</source>
        <translation>Get Terminal Information</translation>
    </message>
    <message>
        <source>システム設定読込</source>
        <translation>Read System Settings</translation>
    </message>
    <message>
        <source>ユーザ設定読込</source>
        <translation>Read User Settings</translation>
    </message>
    <message>
        <source>電話帳読込</source>
        <translation>Read Phone Book</translation>
    </message>
    <message>
        <source>システム設定書込</source>
        <translation>Write System Settings</translation>
    </message>
    <message>
        <source>ユーザ設定書込</source>
        <translation>Write User Settings</translation>
    </message>
    <message>
        <source>電話帳書込</source>
        <translation>Write Phone Book</translation>
    </message>
    <message>
        <source>共通ファイル書込(システム設定)</source>
        <translation>Write Common File (System Settings)</translation>
    </message>
    <message>
        <source>共通ファイル書込(ユーザ設定)</source>
        <translation>Write Common File (User Settings)</translation>
    </message>
    <message>
        <source>ブートプログラムバージョンアップ</source>
        <translation>Boot Program Upgrade</translation>
    </message>
    <message>
        <source>アプリケーションプログラムバージョンアップ</source>
        <translation>Application Program Upgrade</translation>
    </message>
    <message>
        <source>端末再起動</source>
        <translation>Restart Terminals</translation>
    </message>
    <message>
        <source>保守強制終了</source>
        <translation>Force-Close Maintenance</translation>
    </message>
    <message numerus="yes">
        <source>前回の処理「%1」を、処理に失敗した端末 %n 件に再実行します。
よろしいですか？</source>
        <translation>
            <numerusform>The last command &quot;%1&quot; is run again on the %n terminal that failed.
Are you sure?</numerusform>
            <numerusform>The last command &quot;%1&quot; is run again on the %n terminals that failed.
Are you sure?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandTargets</name>
    <message>
        <source>IPアドレスが格納されている端末が無いので処理を続けることができません。
終了します。</source>
        <translation>None of the terminals has an IP address, so the operation can&apos;t go on.
It ends.</translation>
    </message>
    <message>
        <source>対象端末IPアドレスエラー</source>
        <translation>Target IP Address Error</translation>
    </message>
    <message>
        <source>端末情報取得開始確認</source>
        <translation>Get Terminal Information</translation>
    </message>
    <message>
        <source>端末IDアラートが発生している端末が含まれています。
このまま続けると不正な端末情報に更新してしまう可能性があります。
処理を続行してもよろしいですか？</source>
        <translation>Some of the terminals have a terminal ID alert.
Going on may store wrong terminal information.
Do you want to go on?</translation>
    </message>
    <message>
        <source>IPアドレスアラートが発生している端末が含まれています。
このまま続けると不正な端末情報に更新してしまう可能性があります。
処理を続行してもよろしいですか？</source>
        <translation>Some of the terminals have an IP address alert.
Going on may store wrong terminal information.
Do you want to go on?</translation>
    </message>
</context>
<context>
    <name>DescriptionLoader</name>
    <message>
        <source>設定編集用のConfigファイルに異常があります。
お手数ですが、購入元にお問い合わせ願います。</source>
        <translation>The description file for editing the settings is faulty.
Please contact your supplier.</translation>
    </message>
    <message>
        <source>Configファイルエラー</source>
        <translation>Description File Error</translation>
    </message>
    <message>
        <source>設定ファイル(iniファイル)の情報の取得に失敗しました。
設定ファイルを更新して再度実行してください。</source>
        <translation>The settings file (ini file) could not be read.
Update the settings file and try again.</translation>
    </message>
    <message>
        <source>設定ファイルエラー</source>
        <translation>Settings File Error</translation>
    </message>
</context>
<context>
    <name>EditFlow</name>
    <message>
        <source>システム設定ファイル編集</source>
        <translation>Edit System Settings File</translation>
    </message>
    <message>
        <source>ユーザ設定ファイル編集</source>
        <translation>Edit User Settings File</translation>
    </message>
    <message>
        <source>共通システム設定ファイル編集</source>
        <translation>Edit Common System Settings File</translation>
    </message>
    <message>
        <source>共通ユーザ設定ファイル編集</source>
        <translation>Edit Common User Settings File</translation>
    </message>
    <message>
        <source>自動更新ファームウェア登録</source>
        <translation>Firmware for Automatic Update</translation>
    </message>
    <message>
        <source>端末システム設定読み込み開始確認</source>
        <translation>Read System Settings</translation>
    </message>
    <message>
        <source>端末ユーザ設定読み込み開始確認</source>
        <translation>Read User Settings</translation>
    </message>
    <message>
        <source>選択した端末からファイルを読み込みますか。</source>
        <translation>Read the file from the selected terminal first?</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>現在選択中の端末にシステム設定を書き込みます。
よろしいですか？</source>
        <translation>The system settings are written to the selected terminals.
Are you sure?</translation>
    </message>
    <message>
        <source>現在選択中の端末にユーザ設定を書き込みます。
よろしいですか？</source>
        <translation>The user settings are written to the selected terminals.
Are you sure?</translation>
    </message>
    <message>
        <source>端末システム設定書き込み開始確認</source>
        <translation>Write System Settings</translation>
    </message>
    <message>
        <source>端末ユーザ設定書き込み開始確認</source>
        <translation>Write User Settings</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>コンフィグファイル(*.xml)</source>
        <translation>Description files (*.xml)</translation>
    </message>
    <message>
        <source>設定ファイル(*.ini)</source>
        <translation>Settings files (*.ini)</translation>
    </message>
    <message>
        <source>設定ファイルを選択してください。</source>
        <translation>Choose a settings file.</translation>
    </message>
    <message>
        <source>ファイル選択エラー</source>
        <translation>File Selection Error</translation>
    </message>
</context>
<context>
    <name>ExternalProgram</name>
    <message>
        <source>「%1」を起動できませんでした。
システム設定の「設定ファイル編集ツールパス名」を確認してください。</source>
        <translation>&quot;%1&quot; could not be started.
Check the settings file editor path in the system settings.</translation>
    </message>
    <message>
        <source>プログラム起動エラー</source>
        <translation>Program Start Error</translation>
    </message>
</context>
<context>
    <name>FailedTerminals</name>
    <message numerus="yes">
        <source> 処理に失敗した端末 %n 件を選択しました。</source>
        <translation>
            <numerusform> %n failed terminal selected.</numerusform>
            <numerusform> %n failed terminals selected.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>（表示条件により非表示の処理失敗端末が %n 件あります）</source>
        <translation>
            <numerusform> (%n more failed terminal is hidden by the list conditions)</numerusform>
            <numerusform> (%n more failed terminals are hidden by the list conditions)</numerusform>
        </translation>
    </message>
    <message>
        <source>端末ID</source>
        <translation>Terminal ID</translation>
    </message>
    <message>
        <source>IPアドレス</source>
        <translation>IP Address</translation>
    </message>
    <message>
        <source>機種</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>処理結果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>結果コード</source>
        <translation>Result Code</translation>
    </message>
    <message>
        <source>処理結果日時</source>
        <translation>Result Date/Time</translation>
    </message>
    <message>
        <source>処理失敗端末の出力</source>
        <translation>Write Out Failed Terminals</translation>
    </message>
    <message>
        <source>処理に失敗した端末はありません。</source>
        <translation>No terminal has failed.</translation>
    </message>
    <message>
        <source>CSVファイル (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>処理失敗端末を正常に出力できませんでした。
ディスクに空きがあるか確認してください。</source>
        <translation>The failed terminals could not be written.
Check that the disk has free space.</translation>
    </message>
    <message>
        <source>処理失敗端末の出力異常</source>
        <translation>Failed Terminals Not Written</translation>
    </message>
    <message numerus="yes">
        <source>処理に失敗した端末 %n 件をファイルに出力しました。</source>
        <translation>
            <numerusform>%n failed terminal was written to the file.</numerusform>
            <numerusform>%n failed terminals were written to the file.</numerusform>
        </translation>
    </message>
    <message>
        <source>処理失敗端末の出力完了</source>
        <translation>Failed Terminals Written</translation>
    </message>
</context>
<context>
    <name>FilterValidation</name>
    <message>
        <source>端末IDに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定してください。</source>
        <translation>To filter on an empty terminal ID, choose = (equal to) or ≠ (not equal to).</translation>
    </message>
    <message>
        <source>端末ID指定に *(ワイルドカード)を使用する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定してください。</source>
        <translation>To use the wildcard * in a terminal ID, choose = (equal to) or ≠ (not equal to).</translation>
    </message>
    <message>
        <source>IPアドレスは ．で区切った４つの0～255の数字で入力してください。
任意の位置にワイルドカード * が指定できます。</source>
        <translation>Enter the IP address as four numbers from 0 to 255 separated by dots.
The wildcard * may stand anywhere.</translation>
    </message>
    <message>
        <source>IPアドレスは . で区切った４つの0～255の数字で入力してください。
任意の位置にワイルドカード * が指定できます。</source>
        <translation>Enter the IP address as four numbers from 0 to 255 separated by dots.
The wildcard * may stand anywhere.</translation>
    </message>
    <message>
        <source>IPアドレスに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定してください。</source>
        <translation>To filter on an empty IP address, choose = (equal to) or ≠ (not equal to).</translation>
    </message>
    <message>
        <source>IPアドレス指定に *(ワイルドカード)を使用する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定してください。</source>
        <translation>To use the wildcard * in an IP address, choose = (equal to) or ≠ (not equal to).</translation>
    </message>
    <message>
        <source>MACアドレスは:で区切った６つの１６進数で入力してください（00～FF）。
任意の位置にワイルドカード * が指定できます。</source>
        <translation>Enter the MAC address as six hexadecimal numbers (00-FF) separated by colons.
The wildcard * may stand anywhere.</translation>
    </message>
    <message>
        <source>MACアドレスに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定してください。</source>
        <translation>To filter on an empty MAC address, choose = (equal to) or ≠ (not equal to).</translation>
    </message>
    <message>
        <source>MACアドレス指定に *(ワイルドカード)を使用する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定してください。</source>
        <translation>To use the wildcard * in a MAC address, choose = (equal to) or ≠ (not equal to).</translation>
    </message>
    <message>
        <source>バージョンに空白を指定する場合、条件は ＝(と同じ)か、≠(と違う)のどちらかを指定してください。</source>
        <translation>To filter on an empty version, choose = (equal to) or ≠ (not equal to).</translation>
    </message>
    <message>
        <source>年は西暦を半角数字４桁で1900以上の数値で入力してください。</source>
        <translation>Enter the year as four digits, 1900 or later.</translation>
    </message>
    <message>
        <source>月は半角数字２桁以内で１～１２の範囲で入力してください。</source>
        <translation>Enter the month as a number from 1 to 12.</translation>
    </message>
    <message>
        <source>日は半角数字２桁以内で１～３１の範囲で入力してください。</source>
        <translation>Enter the day as a number from 1 to 31.</translation>
    </message>
    <message>
        <source>日付が不正です。正しい日付を入力してください。</source>
        <translation>The date is not valid. Enter a valid date.</translation>
    </message>
    <message>
        <source>端末ＩＤフィルタ設定</source>
        <translation>Terminal ID Filter</translation>
    </message>
    <message>
        <source>ＩＰアドレスフィルタ設定</source>
        <translation>IP Address Filter</translation>
    </message>
    <message>
        <source>MACアドレスフィルタ設定</source>
        <translation>MAC Address Filter</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝﾌﾟﾛｸﾞﾗﾑﾊﾞｰｼﾞｮﾝﾌｨﾙﾀ設定</source>
        <translation>Application Version Filter</translation>
    </message>
    <message>
        <source>ブートプログラムバージョンフィルタ設定</source>
        <translation>Boot Version Filter</translation>
    </message>
    <message>
        <source>管理ＰＣ登録日付フィルタ設定</source>
        <translation>Registration Date Filter</translation>
    </message>
    <message>
        <source>処理結果日付フィルタ設定</source>
        <translation>Result Date Filter</translation>
    </message>
    <message>
        <source>ベンダ情報フィルタ設定</source>
        <translation>Vendor Filter</translation>
    </message>
    <message>
        <source>機器名称フィルタ設定</source>
        <translation>Device Name Filter</translation>
    </message>
    <message>
        <source>アラート情報フィルタ設定</source>
        <translation>Alert Filter</translation>
    </message>
    <message>
        <source>処理結果フィルタ設定</source>
        <translation>Result Filter</translation>
    </message>
    <message>
        <source>端末登録種別フィルタ設定</source>
        <translation>Registration Kind Filter</translation>
    </message>
    <message>
        <source>ＳＩＰサーバ登録状態フィルタ設定</source>
        <translation>SIP Server Registration Filter</translation>
    </message>
    <message>
        <source> ＜ （大きい）</source>
        <translation> &lt; (greater than)</translation>
    </message>
    <message>
        <source> ≦ （以上）</source>
        <translation> ≤ (at least)</translation>
    </message>
    <message>
        <source> ＝ （と同じ）</source>
        <translation> = (equal to)</translation>
    </message>
    <message>
        <source> ≧ （以下）</source>
        <translation> ≥ (at most)</translation>
    </message>
    <message>
        <source> ＞ （未満）</source>
        <translation> &gt; (less than)</translation>
    </message>
    <message>
        <source> ≠ （と違う）</source>
        <translation> ≠ (not equal to)</translation>
    </message>
    <message>
        <source> アラートなし</source>
        <translation> No alert</translation>
    </message>
    <message>
        <source> アラートあり</source>
        <translation> Any alert</translation>
    </message>
    <message>
        <source> ＩＰアドレス アラートあり</source>
        <translation> IP address alert</translation>
    </message>
    <message>
        <source> 端末ＩＤ アラートあり</source>
        <translation> Terminal ID alert</translation>
    </message>
    <message>
        <source> 端末情報取得</source>
        <translation> Get terminal information</translation>
    </message>
    <message>
        <source> ｼｽﾃﾑ設定ﾌｧｲﾙ読込</source>
        <translation> Read system settings</translation>
    </message>
    <message>
        <source> ﾕｰｻﾞ設定ﾌｧｲﾙ読込</source>
        <translation> Read user settings</translation>
    </message>
    <message>
        <source> 電話帳読込</source>
        <translation> Read phone book</translation>
    </message>
    <message>
        <source> ｼｽﾃﾑ設定ﾌｧｲﾙ書込</source>
        <translation> Write system settings</translation>
    </message>
    <message>
        <source> ﾕｰｻﾞ設定ﾌｧｲﾙ書込</source>
        <translation> Write user settings</translation>
    </message>
    <message>
        <source> 電話帳書込</source>
        <translation> Write phone book</translation>
    </message>
    <message>
        <source> ﾌﾞｰﾄﾌﾟﾛｸﾞﾗﾑ書込</source>
        <translation> Write boot program</translation>
    </message>
    <message>
        <source> ｱﾌﾟﾘｹｰｼｮﾝ書込</source>
        <translation> Write application</translation>
    </message>
    <message>
        <source> 端末再起動</source>
        <translation> Restart</translation>
    </message>
    <message>
        <source> 保守強制終了</source>
        <translation> Force-close maintenance</translation>
    </message>
    <message>
        <source> 共通ﾌｧｲﾙ書込</source>
        <translation> Write common file</translation>
    </message>
    <message>
        <source> 端末情報取得中</source>
        <translation> Getting terminal information</translation>
    </message>
    <message>
        <source> ﾘﾓｰﾄﾌｧｲﾙ書込</source>
        <translation> Remote file writing</translation>
    </message>
    <message>
        <source> ｽｹｼﾞｭｰﾙ実行(ﾌｧｰﾑｳｪｱ書込)</source>
        <translation> Schedule (firmware writing)</translation>
    </message>
    <message>
        <source> ｽｹｼﾞｭｰﾙ実行(設定ﾌｧｲﾙ書込)</source>
        <translation> Schedule (settings writing)</translation>
    </message>
    <message>
        <source> ｽｹｼﾞｭｰﾙ実行(設定ﾌｧｲﾙ読込)</source>
        <translation> Schedule (settings reading)</translation>
    </message>
    <message>
        <source> ｽｹｼﾞｭｰﾙ実行(端末再起動)</source>
        <translation> Schedule (restart)</translation>
    </message>
    <message>
        <source> 初期設定実行</source>
        <translation> Initial settings</translation>
    </message>
    <message>
        <source> 全処理対象</source>
        <translation> Any operation</translation>
    </message>
    <message>
        <source> エラー無し</source>
        <translation> No error</translation>
    </message>
    <message>
        <source> エラーあり</source>
        <translation> With error</translation>
    </message>
    <message>
        <source>仮登録だけ表示</source>
        <translation>Provisional only</translation>
    </message>
    <message>
        <source>運用中だけ表示</source>
        <translation>In operation only</translation>
    </message>
    <message>
        <source>両方表示</source>
        <translation>Both</translation>
    </message>
    <message>
        <source>未登録だけ表示</source>
        <translation>Not registered only</translation>
    </message>
    <message>
        <source>登録済(プライマリ)だけ表示</source>
        <translation>Registered (primary) only</translation>
    </message>
    <message>
        <source>登録済(セカンダリ)だけ表示</source>
        <translation>Registered (secondary) only</translation>
    </message>
    <message>
        <source>登録済だけ表示</source>
        <translation>Registered only</translation>
    </message>
    <message>
        <source>すべて表示</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Ｖｅｒ．</source>
        <translation>Ver.</translation>
    </message>
    <message>
        <source>入力エラー</source>
        <translation>Input Error</translation>
    </message>
    <message>
        <source>最終通知フィルタ設定</source>
        <translation>Last Notice Filter</translation>
    </message>
    <message>
        <source>ファーム確認フィルタ設定</source>
        <translation>Firmware Check Filter</translation>
    </message>
    <message>
        <source> 処理なし</source>
        <translation> No operation</translation>
    </message>
    <message>
        <source> すべてのエラー</source>
        <translation> Any error</translation>
    </message>
    <message>
        <source> 確認なし</source>
        <translation> No check</translation>
    </message>
    <message>
        <source> 確認待ち</source>
        <translation> Waiting</translation>
    </message>
    <message>
        <source> 確認済み</source>
        <translation> Confirmed</translation>
    </message>
    <message>
        <source> 版数不一致</source>
        <translation> Version mismatch</translation>
    </message>
    <message>
        <source> 応答なし</source>
        <translation> No answer</translation>
    </message>
    <message>
        <source>応答なし端末のみ</source>
        <translation>Silent terminals only</translation>
    </message>
    <message>
        <source>応答あり端末のみ</source>
        <translation>Heard terminals only</translation>
    </message>
</context>
<context>
    <name>FirstStart</name>
    <message>
        <source>端末機種名</source>
        <translation>Terminal model name</translation>
    </message>
    <message>
        <source>FTPユーザー名</source>
        <translation>FTP user name</translation>
    </message>
    <message>
        <source>FTPパスワード</source>
        <translation>FTP password</translation>
    </message>
    <message>
        <source>%1を入力してください。</source>
        <translation>Enter the %1.</translation>
    </message>
    <message>
        <source>%1に使用できない文字があります。
改行・制御文字、前後の空白、前後を囲む引用符、Shift_JISにない文字は使えません。</source>
        <translation>The %1 holds a character that can&apos;t be used.
Line breaks, control characters, leading or trailing blanks, enclosing quotes and characters outside Shift_JIS are not allowed.</translation>
    </message>
    <message>
        <source>端末機種名に / \ * ? [ ] は使えません（設定ファイルの名前になります）。</source>
        <translation>The terminal model name can&apos;t hold / \ * ? [ ] (it becomes part of the settings file names).</translation>
    </message>
    <message>
        <source>初回起動 - FTPアカウントの設定</source>
        <translation>First Start - FTP Account</translation>
    </message>
    <message>
        <source>プログラムフォルダを作成します：
%1

端末のFTPアカウントを入力してください。入力した内容はプログラムフォルダの Config/FTPauth.ini に保存されます（所有者だけが読めるファイルです）。</source>
        <translation>The program folder is created:
%1

Enter the FTP account of the terminals. It is saved in Config/FTPauth.ini of the program folder (a file only its owner can read).</translation>
    </message>
    <message>
        <source>端末機種名(&amp;M)</source>
        <translation>Terminal &amp;model name</translation>
    </message>
    <message>
        <source>FTPユーザー名(&amp;U)</source>
        <translation>FTP &amp;user name</translation>
    </message>
    <message>
        <source>FTPパスワード(&amp;P)</source>
        <translation>FTP &amp;password</translation>
    </message>
    <message>
        <source>プログラムフォルダを作成できませんでした。
%1
プログラムを終了します。</source>
        <translation>The program folder could not be created.
%1
The program ends.</translation>
    </message>
    <message>
        <source>Config/FTPauth.ini（FTPパスワード）を他のユーザーが読み取れる状態でした（%1）。パスワードが漏れていないか確認してください。</source>
        <translation>Other users could read Config/FTPauth.ini (the FTP password) (%1). Check whether the password has leaked.</translation>
    </message>
</context>
<context>
    <name>FirstStartDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>FleetCharts</name>
    <message>
        <source>プライマリ</source>
        <translation>Primary</translation>
    </message>
    <message>
        <source>セカンダリ</source>
        <translation>Secondary</translation>
    </message>
    <message>
        <source>未登録</source>
        <translation>Not registered</translation>
    </message>
    <message>
        <source>端末ID重複</source>
        <translation>Duplicate terminal ID</translation>
    </message>
    <message>
        <source>IPアドレス重複</source>
        <translation>Duplicate IP address</translation>
    </message>
    <message>
        <source>アラートなし</source>
        <translation>No alert</translation>
    </message>
    <message>
        <source>確認なし</source>
        <translation>No check</translation>
    </message>
    <message>
        <source>応答なし</source>
        <translation>Silent</translation>
    </message>
    <message>
        <source>応答あり</source>
        <translation>Heard</translation>
    </message>
    <message>
        <source>仮登録</source>
        <translation>Provisional</translation>
    </message>
    <message>
        <source>処理なし</source>
        <translation>No operation</translation>
    </message>
    <message>
        <source>正常終了</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>アプリケーションバージョン</source>
        <translation>Application Version</translation>
    </message>
    <message>
        <source>ブートバージョン</source>
        <translation>Boot Version</translation>
    </message>
    <message>
        <source>SIPサーバ登録状態</source>
        <translation>SIP Server Registration</translation>
    </message>
    <message>
        <source>アラート</source>
        <translation>Alerts</translation>
    </message>
    <message>
        <source>最終処理結果</source>
        <translation>Last Result</translation>
    </message>
    <message>
        <source>ファーム確認</source>
        <translation>Firmware Check</translation>
    </message>
    <message>
        <source>応答なし端末</source>
        <translation>Silent Terminals</translation>
    </message>
    <message numerus="yes">
        <source>%1（計 %n 台）</source>
        <translation>
            <numerusform>%1 (%n terminal in all)</numerusform>
            <numerusform>%1 (%n terminals in all)</numerusform>
        </translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>（なし）</source>
        <translation>(none)</translation>
    </message>
</context>
<context>
    <name>FtpSettings</name>
    <message>
        <source>FTPアカウントが設定されていません。
プログラムを終了します。</source>
        <translation>No FTP account is set up.
The program ends.</translation>
    </message>
    <message>
        <source>複数機種のFTPアカウントを設定している場合、スーパーバイザ設定はできません。
プログラムを終了します。</source>
        <translation>A supervisor account can&apos;t be set up together with FTP accounts for several models.
The program ends.</translation>
    </message>
    <message>
        <source>起動エラー</source>
        <translation>Start Error</translation>
    </message>
</context>
<context>
    <name>HistoryBrowser</name>
    <message>
        <source>送信済み %1</source>
        <translation>Sent %1</translation>
    </message>
    <message>
        <source>未送信</source>
        <translation>Not sent</translation>
    </message>
    <message>
        <source>システム設定</source>
        <translation>System Settings</translation>
    </message>
    <message>
        <source>ユーザ設定</source>
        <translation>User Settings</translation>
    </message>
    <message>
        <source>電話帳</source>
        <translation>Phone Book</translation>
    </message>
    <message>
        <source>端末から読込</source>
        <translation>Read from terminal</translation>
    </message>
    <message>
        <source>設定編集</source>
        <translation>Settings editor</translation>
    </message>
    <message>
        <source>初期設定</source>
        <translation>Initial settings</translation>
    </message>
    <message>
        <source>履歴から復元</source>
        <translation>Restored from history</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>現在のファイル</source>
        <translation>Current file</translation>
    </message>
    <message>
        <source>第%1版（現在）</source>
        <translation>Version %1 (current)</translation>
    </message>
    <message>
        <source>第%1版</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>設定履歴の復元確認</source>
        <translation>Restore from Settings History</translation>
    </message>
    <message>
        <source>%1を%2の内容に戻します。
現在の内容は履歴に残ります。端末への書き込みは行いません。
よろしいですか？</source>
        <translation>The file &quot;%1&quot; is set back to %2.
The current content stays in the history. Nothing is written to the terminal.
Are you sure?</translation>
    </message>
    <message>
        <source>選択した版に戻せませんでした。
ディスクに空きがあるか確認してください。</source>
        <translation>The selected version could not be restored.
Check that the disk has free space.</translation>
    </message>
    <message>
        <source>設定履歴の復元</source>
        <translation>Restore Settings History</translation>
    </message>
</context>
<context>
    <name>InitSettingsController</name>
    <message>
        <source>SIPアドレス範囲外、もしくは登録可能なSIPアドレスがありません。</source>
        <translation>The SIP address is outside the range, or no SIP address is left to assign.</translation>
    </message>
    <message>
        <source>SIPアドレス範囲外</source>
        <translation>SIP Address Out of Range</translation>
    </message>
    <message numerus="yes">
        <source>%n件</source>
        <translation>
            <numerusform>%n item</numerusform>
            <numerusform>%n items</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>InitialFile</name>
    <message>
        <source>設定編集用のConfigファイルが存在しません。</source>
        <translation>There is no description file for editing the settings.</translation>
    </message>
    <message>
        <source>設定編集用のConfigファイルが複数存在します。
不要なファイルを削除してから再度実行してください。</source>
        <translation>There are several description files for editing the settings.
Delete the ones not needed and try again.</translation>
    </message>
    <message>
        <source>編集エラー</source>
        <translation>Editing Error</translation>
    </message>
</context>
<context>
    <name>ListColumns</name>
    <message>
        <source>端末ID</source>
        <translation>Terminal ID</translation>
    </message>
    <message>
        <source>IPｱﾄﾞﾚｽ</source>
        <translation>IP Address</translation>
    </message>
    <message>
        <source>処理結果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>処理結果日時</source>
        <translation>Result Date/Time</translation>
    </message>
    <message>
        <source>端末登録種別</source>
        <translation>Registration Kind</translation>
    </message>
    <message>
        <source>ﾍﾞﾝﾀﾞ情報</source>
        <translation>Vendor</translation>
    </message>
    <message>
        <source>機器名称</source>
        <translation>Device Name</translation>
    </message>
    <message>
        <source>機器ﾀｲﾌﾟ</source>
        <translation>Device Type</translation>
    </message>
    <message>
        <source>ﾌﾞｰﾄVer</source>
        <translation>Boot Ver</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝVer</source>
        <translation>Application Ver</translation>
    </message>
    <message>
        <source>MACｱﾄﾞﾚｽ</source>
        <translation>MAC Address</translation>
    </message>
    <message>
        <source>ﾕｰｻﾞ情報</source>
        <translation>User Information</translation>
    </message>
    <message>
        <source>SIPｻｰﾊﾞ登録状態</source>
        <translation>SIP Server Registration</translation>
    </message>
    <message>
        <source>管理PC登録日付</source>
        <translation>Registered on (Date)</translation>
    </message>
    <message>
        <source>管理PC登録時刻</source>
        <translation>Registered at (Time)</translation>
    </message>
    <message>
        <source>ｱﾗｰﾄ情報</source>
        <translation>Alerts</translation>
    </message>
    <message>
        <source>ﾌﾟﾗｲﾏﾘ</source>
        <translation>Primary</translation>
    </message>
    <message>
        <source>ｾｶﾝﾀﾞﾘ</source>
        <translation>Secondary</translation>
    </message>
    <message>
        <source>未登録</source>
        <translation>Not registered</translation>
    </message>
    <message>
        <source>仮登録</source>
        <translation>Provisional</translation>
    </message>
    <message>
        <source>運用中</source>
        <translation>In operation</translation>
    </message>
    <message>
        <source>端末ID異常</source>
        <translation>Terminal ID alert</translation>
    </message>
    <message>
        <source>－－－－－</source>
        <translation>-----</translation>
    </message>
    <message>
        <source>/IPｱﾄﾞﾚｽ異常</source>
        <translation>/IP address alert</translation>
    </message>
    <message>
        <source>/－－－－－ </source>
        <translation>/----- </translation>
    </message>
    <message numerus="yes">
        <source> 全部で %n 件の端末情報を表示しています。</source>
        <translation>
            <numerusform> %n terminal shown.</numerusform>
            <numerusform> %n terminals shown.</numerusform>
        </translation>
    </message>
    <message>
        <source> 未登録</source>
        <translation> Not registered</translation>
    </message>
    <message>
        <source> プライマリ</source>
        <translation> Primary</translation>
    </message>
    <message>
        <source> セカンダリ</source>
        <translation> Secondary</translation>
    </message>
    <message>
        <source> 端末ID異常</source>
        <translation> Terminal ID alert</translation>
    </message>
    <message>
        <source> 端末ID正常</source>
        <translation> Terminal ID normal</translation>
    </message>
    <message>
        <source> / IPｱﾄﾞﾚｽ異常</source>
        <translation> / IP address alert</translation>
    </message>
    <message>
        <source> / IPｱﾄﾞﾚｽ正常</source>
        <translation> / IP address normal</translation>
    </message>
    <message>
        <source> 運用中</source>
        <translation> In operation</translation>
    </message>
    <message>
        <source> 仮登録</source>
        <translation> Provisional</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <comment>hours and minutes</comment>
        <translation>%1:%2</translation>
    </message>
    <message>
        <source>最終通知</source>
        <translation>Last Notice</translation>
    </message>
    <message>
        <source>ファーム確認</source>
        <translation>Firmware Check</translation>
    </message>
    <message>
        <source>確認待ち</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>確認済み</source>
        <translation>Confirmed</translation>
    </message>
    <message>
        <source>版数不一致</source>
        <translation>Version mismatch</translation>
    </message>
    <message>
        <source>応答なし</source>
        <translation>No answer</translation>
    </message>
    <message numerus="yes">
        <source>応答なし端末 %n 台</source>
        <translation>
            <numerusform>%n silent terminal</numerusform>
            <numerusform>%n silent terminals</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LoaderInputs</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>MaintenanceCommands</name>
    <message>
        <source>プログラムファイル (*.s)</source>
        <translation>Program files (*.s)</translation>
    </message>
    <message>
        <source>設定ファイル (*.ini);;CSVファイル (*.csv);;全てのファイル (*)</source>
        <translation>Settings files (*.ini);;CSV files (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>端末情報取得開始確認</source>
        <translation>Get Terminal Information</translation>
    </message>
    <message>
        <source>現在選択中の端末から端末情報を取得します。
よろしいですか？</source>
        <translation>Terminal information is fetched from the selected terminals.
Are you sure?</translation>
    </message>
    <message>
        <source>端末システム設定読み込み開始確認</source>
        <translation>Read System Settings</translation>
    </message>
    <message>
        <source>現在選択中の端末からシステム設定を読み込みます。
よろしいですか？</source>
        <translation>The system settings are read from the selected terminals.
Are you sure?</translation>
    </message>
    <message>
        <source>端末ユーザ設定読み込み開始確認</source>
        <translation>Read User Settings</translation>
    </message>
    <message>
        <source>現在選択中の端末からユーザ設定を読み込みます。
よろしいですか？</source>
        <translation>The user settings are read from the selected terminals.
Are you sure?</translation>
    </message>
    <message>
        <source>端末電話帳データ読み込み開始確認</source>
        <translation>Read Phone Books</translation>
    </message>
    <message>
        <source>現在選択中の端末から電話帳データを読み込みます。
よろしいですか？</source>
        <translation>The phone books are read from the selected terminals.
Are you sure?</translation>
    </message>
    <message>
        <source>端末システム設定書き込み開始確認</source>
        <translation>Write System Settings</translation>
    </message>
    <message>
        <source>現在選択中の端末にシステム設定を書き込みます。
よろしいですか？</source>
        <translation>The system settings are written to the selected terminals.
Are you sure?</translation>
    </message>
    <message>
        <source>端末ユーザ設定書き込み開始確認</source>
        <translation>Write User Settings</translation>
    </message>
    <message>
        <source>現在選択中の端末にユーザ設定を書き込みます。
よろしいですか？</source>
        <translation>The user settings are written to the selected terminals.
Are you sure?</translation>
    </message>
    <message>
        <source>端末電話帳データ書き込み開始確認</source>
        <translation>Write Phone Books</translation>
    </message>
    <message>
        <source>現在選択中の端末に電話帳データを書き込みます。
よろしいですか？</source>
        <translation>The phone books are written to the selected terminals.
Are you sure?</translation>
    </message>
    <message>
        <source>共通ファイル書き込み開始確認</source>
        <translation>Write Common File</translation>
    </message>
    <message>
        <source>現在選択中の端末に共通ファイルを書き込みます。
よろしいですか？</source>
        <translation>The common file is written to the selected terminals.
Are you sure?</translation>
    </message>
    <message>
        <source>ブートプログラムバージョンアップ開始確認</source>
        <translation>Boot Program Upgrade</translation>
    </message>
    <message>
        <source>現在選択中の端末のブートプログラムバージョンアップを開始します。
よろしいですか？</source>
        <translation>The boot program of the selected terminals is upgraded.
Are you sure?</translation>
    </message>
    <message>
        <source>アプリケーションプログラムバージョンアップ開始確認</source>
        <translation>Application Program Upgrade</translation>
    </message>
    <message>
        <source>現在選択中の端末のアプリケーションプログラムバージョンアップを開始します。
よろしいですか？</source>
        <translation>The application program of the selected terminals is upgraded.
Are you sure?</translation>
    </message>
    <message>
        <source>端末再起動開始確認</source>
        <translation>Restart Terminals</translation>
    </message>
    <message>
        <source>現在選択中の端末を再起動します。
よろしいですか？</source>
        <translation>The selected terminals are restarted.
Are you sure?</translation>
    </message>
    <message>
        <source>端末保守強制終了確認</source>
        <translation>Force-Close Maintenance</translation>
    </message>
    <message>
        <source>現在選択中の端末の保守を強制終了します。
よろしいですか？</source>
        <translation>The maintenance of the selected terminals is force-closed.
Are you sure?</translation>
    </message>
    <message>
        <source>共通ファイルを選択した全端末に書き込みます。
本当によろしいですか？</source>
        <translation>The common file is written to all selected terminals.
Are you really sure?</translation>
    </message>
</context>
<context>
    <name>PhoneBook</name>
    <message>
        <source>電話帳テンプレート（%1）を開くアプリケーションがありません。
表計算アプリケーションをインストールし、テンプレートを開けるように設定してください。</source>
        <translation>No application opens the phone book template (%1).
Install a spreadsheet application and set it up to open the template.</translation>
    </message>
    <message>
        <source>電話帳テンプレート起動エラー</source>
        <translation>Phone Book Template Not Opened</translation>
    </message>
</context>
<context>
    <name>PhoneBookTemplate</name>
    <message>
        <source>電話帳テンプレートが複数存在します。
不要なファイルを削除してから再度実行してください。</source>
        <translation>There are several phone book templates.
Delete the ones not needed and try again.</translation>
    </message>
    <message>
        <source>電話帳テンプレート複数エラー</source>
        <translation>Several Phone Book Templates</translation>
    </message>
    <message>
        <source>電話帳テンプレートに異常があります。
お手数ですが、購入元にお問い合わせ願います。</source>
        <translation>The phone book template is faulty.
Please contact your supplier.</translation>
    </message>
    <message>
        <source>電話帳テンプレートファイルエラー</source>
        <translation>Phone Book Template Error</translation>
    </message>
</context>
<context>
    <name>ProgressTexts</name>
    <message>
        <source>端末情報取得</source>
        <translation>Get Terminal Information</translation>
    </message>
    <message>
        <source>端末情報取得要求中です。</source>
        <translation>Requesting terminal information.</translation>
    </message>
    <message>
        <source>端末再起動</source>
        <translation>Restart Terminals</translation>
    </message>
    <message>
        <source>端末再起動処理中です。</source>
        <translation>Restarting the terminals.</translation>
    </message>
    <message>
        <source>保守強制終了</source>
        <translation>Force-Close Maintenance</translation>
    </message>
    <message>
        <source>端末保守強制終了処理中です。</source>
        <translation>Force-closing the terminals&apos; maintenance.</translation>
    </message>
    <message>
        <source>システム設定ファイル読み込み</source>
        <translation>Read System Settings Files</translation>
    </message>
    <message>
        <source>システム設定ファイル読み込み中です。</source>
        <translation>Reading the system settings files.</translation>
    </message>
    <message>
        <source>システム設定ファイル書き込み</source>
        <translation>Write System Settings Files</translation>
    </message>
    <message>
        <source>システム設定ファイル書き込み中です。</source>
        <translation>Writing the system settings files.</translation>
    </message>
    <message>
        <source>ユーザ設定ファイル読み込み</source>
        <translation>Read User Settings Files</translation>
    </message>
    <message>
        <source>ユーザ設定ファイル読み込み中です。</source>
        <translation>Reading the user settings files.</translation>
    </message>
    <message>
        <source>ユーザ設定ファイル書き込み</source>
        <translation>Write User Settings Files</translation>
    </message>
    <message>
        <source>ユーザ設定ファイル書き込み中です。</source>
        <translation>Writing the user settings files.</translation>
    </message>
    <message>
        <source>ブートプログラムバージョンアップ</source>
        <translation>Boot Program Upgrade</translation>
    </message>
    <message>
        <source>ブートプログラム書き込み中です。</source>
        <translation>Writing the boot program.</translation>
    </message>
    <message>
        <source>アプリケーションプログラムバージョンアップ</source>
        <translation>Application Program Upgrade</translation>
    </message>
    <message>
        <source>アプリケーションプログラム書き込み中です。</source>
        <translation>Writing the application program.</translation>
    </message>
    <message>
        <source>電話帳読み込み</source>
        <translation>Read Phone Books</translation>
    </message>
    <message>
        <source>電話帳データ読み込み中です。</source>
        <translation>Reading the phone books.</translation>
    </message>
    <message>
        <source>電話帳書き込み</source>
        <translation>Write Phone Books</translation>
    </message>
    <message>
        <source>電話帳データ書き込み中です。</source>
        <translation>Writing the phone books.</translation>
    </message>
    <message>
        <source>端末データ追加</source>
        <translation>Add Terminals</translation>
    </message>
    <message>
        <source>端末データ追加処理中です。</source>
        <translation>Adding the terminals.</translation>
    </message>
    <message>
        <source>端末データ削除</source>
        <translation>Delete Terminals</translation>
    </message>
    <message>
        <source>端末データ削除処理中です。</source>
        <translation>Deleting the terminals.</translation>
    </message>
    <message>
        <source>関連ファイルを削除しています。</source>
        <translation>Deleting the terminals&apos; files.</translation>
    </message>
    <message>
        <source>共通ファイル書き込み</source>
        <translation>Write Common Files</translation>
    </message>
    <message>
        <source>共通ファイル書き込み中です。</source>
        <translation>Writing the common file.</translation>
    </message>
    <message>
        <source>%1 / %2  処理済み</source>
        <translation>%1 / %2  done</translation>
    </message>
    <message>
        <source>実行中の処理の完了を待っています｡<byte value="xd"/>
この処理は数分から数十分かかる場合があります｡</source>
        <translation>Waiting for the running operations to end.
This may take from a few minutes to tens of minutes.</translation>
    </message>
</context>
<context>
    <name>RemoteUpdateTexts</name>
    <message>
        <source>リモートファイル更新中</source>
        <translation>Remote File Update</translation>
    </message>
    <message>
        <source>電話機からの要求により設定ファイルを書き込み中です</source>
        <translation>Writing settings files that the phones asked for</translation>
    </message>
    <message>
        <source>ブートプログラム</source>
        <translation>boot program</translation>
    </message>
    <message>
        <source>アプリケーション</source>
        <translation>application</translation>
    </message>
    <message>
        <source>システム設定</source>
        <translation>system settings</translation>
    </message>
    <message>
        <source>ユーザ設定</source>
        <translation>user settings</translation>
    </message>
    <message>
        <source>電話帳</source>
        <translation>phone book</translation>
    </message>
    <message>
        <source>端末ID:%1  IP:%2  %3</source>
        <translation>Terminal ID: %1  IP: %2  %3</translation>
    </message>
    <message>
        <source>・</source>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>ResultCodes</name>
    <message>
        <source>(正常終了)</source>
        <translation>(OK)</translation>
    </message>
    <message>
        <source>(ｴﾗｰ：電話機使用中)</source>
        <translation>(Error: phone in use)</translation>
    </message>
    <message>
        <source>(ｴﾗｰ：ﾘﾓｰﾄ多重接続)</source>
        <translation>(Error: remote session open)</translation>
    </message>
    <message>
        <source>(ｴﾗｰ：通信ﾀｲﾑｱｳﾄ)</source>
        <translation>(Error: time-out)</translation>
    </message>
    <message>
        <source>(ｴﾗｰ：通信異常)</source>
        <translation>(Error: communication)</translation>
    </message>
    <message>
        <source>(ｴﾗｰ：FTP接続異常)</source>
        <translation>(Error: FTP connection)</translation>
    </message>
    <message>
        <source>(ｴﾗｰ：FTP通信異常)</source>
        <translation>(Error: FTP transfer)</translation>
    </message>
    <message>
        <source>(ｴﾗｰ：キャンセル)</source>
        <translation>(Error: cancelled)</translation>
    </message>
    <message>
        <source>(ｴﾗｰ：対象ﾌｧｲﾙ無)</source>
        <translation>(Error: no file)</translation>
    </message>
    <message>
        <source>(ｴﾗｰ：その他異常)</source>
        <translation>(Error: other)</translation>
    </message>
    <message>
        <source>(ｴﾗｰ：－－－－－)</source>
        <translation>(Error: -----)</translation>
    </message>
    <message>
        <source>&#x3000;－&#x3000;</source>
        <translation> - </translation>
    </message>
    <message>
        <source>端末情報取得 </source>
        <translation>Get terminal info </translation>
    </message>
    <message>
        <source>ｼｽﾃﾑ設定読込 </source>
        <translation>Read system settings </translation>
    </message>
    <message>
        <source>ﾕｰｻﾞ設定読込 </source>
        <translation>Read user settings </translation>
    </message>
    <message>
        <source>電話帳読込</source>
        <translation>Read phone book </translation>
    </message>
    <message>
        <source>ｼｽﾃﾑ設定書込 </source>
        <translation>Write system settings </translation>
    </message>
    <message>
        <source>ﾕｰｻﾞ設定書込 </source>
        <translation>Write user settings </translation>
    </message>
    <message>
        <source>電話帳書込</source>
        <translation>Write phone book </translation>
    </message>
    <message>
        <source>ブート書込&#x3000; </source>
        <translation>Write boot program </translation>
    </message>
    <message>
        <source>アプリ書込&#x3000; </source>
        <translation>Write application </translation>
    </message>
    <message>
        <source>端末再起動&#x3000; </source>
        <translation>Restart </translation>
    </message>
    <message>
        <source>保守強制終了 </source>
        <translation>Force-close maintenance </translation>
    </message>
    <message>
        <source>共通ﾌｧｲﾙ書込 </source>
        <translation>Write common file </translation>
    </message>
    <message>
        <source>端末情報取得中</source>
        <translation>Getting terminal info</translation>
    </message>
    <message>
        <source>ﾘﾓｰﾄﾌｧｲﾙ書込 </source>
        <translation>Remote file writing </translation>
    </message>
    <message>
        <source>ｽｹｼﾞｭｰﾙ実行(ﾌｧｰﾑｳｪｱ書込)</source>
        <translation>Schedule (firmware writing) </translation>
    </message>
    <message>
        <source>ｽｹｼﾞｭｰﾙ実行(設定ﾌｧｲﾙ書込)</source>
        <translation>Schedule (settings writing) </translation>
    </message>
    <message>
        <source>ｽｹｼﾞｭｰﾙ実行(設定ﾌｧｲﾙ読込)</source>
        <translation>Schedule (settings reading) </translation>
    </message>
    <message>
        <source>ｽｹｼﾞｭｰﾙ実行(端末再起動)</source>
        <translation>Schedule (restart) </translation>
    </message>
    <message>
        <source>初期設定実行</source>
        <translation>Initial settings </translation>
    </message>
    <message>
        <source>その他&#x3000;&#x3000;&#x3000; </source>
        <translation>Other </translation>
    </message>
</context>
<context>
    <name>ScheduleForm</name>
    <message>
        <source>入力エラー</source>
        <translation>Input Error</translation>
    </message>
    <message>
        <source>年は西暦を半角数字４桁で1900～2099の範囲で入力してください。</source>
        <translation>Enter the year as four digits from 1900 to 2099.</translation>
    </message>
    <message>
        <source>日付が不正です。
正しい日付を入力してください。</source>
        <translation>The date is not valid.
Enter a valid date.</translation>
    </message>
    <message>
        <source>時刻が不正です。
正しい時刻を入力してください。</source>
        <translation>The time is not valid.
Enter a valid time.</translation>
    </message>
    <message>
        <source>曜日が指定されていません。
曜日は1つ以上指定してください。</source>
        <translation>No day of the week is chosen.
Choose at least one.</translation>
    </message>
    <message>
        <source>許容時間は半角数字３桁以内で1～240の範囲で入力してください。</source>
        <translation>Enter the allowed time as a number from 1 to 240.</translation>
    </message>
    <message>
        <source>ウェイト時間は半角数字2桁以内で1～10の範囲で入力してください。</source>
        <translation>Enter the wait as a number from 1 to 10.</translation>
    </message>
    <message>
        <source>選択したスケジュールは、他のスケジュール設定にて直前に実行する
スケジュールとして既に設定されています。
スケジュールの設定内容を確認してください。</source>
        <translation>The chosen schedule is already set as the schedule that runs before
another schedule.
Check the schedules&apos; settings.</translation>
    </message>
    <message>
        <source>指定した端末は未登録です。
登録済みの端末を指定してください。</source>
        <translation>The terminal is not registered.
Enter a registered terminal.</translation>
    </message>
    <message>
        <source>追加する端末IDは半角英数記号のみで入力してください。</source>
        <translation>Enter the terminal ID to add in ASCII letters, digits and symbols only.</translation>
    </message>
    <message>
        <source>ファイル名「%1」には、
スケジュール設定ファイルに保存できない文字が含まれています。
別のファイルを指定してください。</source>
        <translation>The file name &quot;%1&quot;
holds characters that the schedule settings file can&apos;t keep.
Choose another file.</translation>
    </message>
</context>
<context>
    <name>ScheduleLines</name>
    <message>
        <source>対象端末：</source>
        <translation>Targets:</translation>
    </message>
    <message>
        <source>実行開始予定日時：</source>
        <translation>Planned start:</translation>
    </message>
    <message>
        <source>実行処理：</source>
        <translation>Operation:</translation>
    </message>
    <message>
        <source>状態：</source>
        <translation>State:</translation>
    </message>
    <message numerus="yes">
        <source>%n台</source>
        <translation>
            <numerusform>%n terminal</numerusform>
            <numerusform>%n terminals</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ScheduleRunner</name>
    <message>
        <source>実行中</source>
        <translation>Running</translation>
    </message>
    <message>
        <source>スケジュール%1を実行中です。</source>
        <translation>Schedule %1 is running.</translation>
    </message>
    <message numerus="yes">
        <source>%1台／%n台完了</source>
        <translation>
            <numerusform>%1 of %n terminal done</numerusform>
            <numerusform>%1 of %n terminals done</numerusform>
        </translation>
    </message>
    <message>
        <source>実行中の処理の完了を待っています。この処理は数分から数十分かかる場合があります。</source>
        <translation>Waiting for the running operation to end. This may take from a few minutes to tens of minutes.</translation>
    </message>
    <message>
        <source>全てのスケジュールの実行結果をクリアします。
よろしいですか？</source>
        <translation>The results of all schedules are cleared.
Are you sure?</translation>
    </message>
    <message>
        <source>実行結果クリア確認</source>
        <translation>Clear Results</translation>
    </message>
</context>
<context>
    <name>ScheduleTiming</name>
    <message>
        <source>未設定</source>
        <translation>Not set</translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>two weekday names in a row</comment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>毎週-%1 </source>
        <translation>Weekly %1 </translation>
    </message>
    <message>
        <source>毎月-%1日 </source>
        <translation>Monthly on day %1 </translation>
    </message>
    <message>
        <source>スケジュール%1終了後</source>
        <translation>After schedule %1</translation>
    </message>
    <message>
        <source>ファームウェア書き込み</source>
        <translation>Firmware writing</translation>
    </message>
    <message>
        <source>設定ファイル書き込み</source>
        <translation>Settings writing</translation>
    </message>
    <message>
        <source>設定ファイル読み込み</source>
        <translation>Settings reading</translation>
    </message>
    <message>
        <source>端末再起動</source>
        <translation>Restart</translation>
    </message>
    <message>
        <source>%1（終了後に端末再起動）</source>
        <translation>%1 (then restart)</translation>
    </message>
    <message>
        <source>%1 実施済み</source>
        <translation>%1 run</translation>
    </message>
    <message>
        <source>未実施</source>
        <translation>Not run yet</translation>
    </message>
    <message>
        <source>成功：%1 エラー：%2 キャンセル：%3</source>
        <translation>Succeeded: %1  Errors: %2  Cancelled: %3</translation>
    </message>
    <message numerus="yes">
        <source>%n台</source>
        <translation>
            <numerusform>%n terminal</numerusform>
            <numerusform>%n terminals</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SettingsEditorDialog</name>
    <message>
        <source>端末書込み</source>
        <translation>Write to terminal</translation>
    </message>
    <message>
        <source>メッセージ</source>
        <translation>Messages</translation>
    </message>
    <message>
        <source>機種名 : %1</source>
        <translation>Model: %1</translation>
    </message>
</context>
<context>
    <name>SettingsForm</name>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>プログラムファイル (*.s);;設定ファイル (*.ini);;CSVファイル (*.csv)</source>
        <translation>Program files (*.s);;Settings files (*.ini);;CSV files (*.csv)</translation>
    </message>
    <message>
        <source>%1 %2が入力されていません。<byte value="xd"/>
</source>
        <translation>%1 %2 is not filled in.
</translation>
    </message>
    <message>
        <source>システム設定ファイル (*.ini)</source>
        <translation>System settings files (*.ini)</translation>
    </message>
    <message>
        <source>ユーザ設定ファイル (*.ini)</source>
        <translation>User settings files (*.ini)</translation>
    </message>
    <message>
        <source>ファイル名はkel_sys～という形式で保存してください。</source>
        <translation>Save the file under a name that begins with kel_sys.</translation>
    </message>
    <message>
        <source>ファイル名はkel_user～という形式で保存してください。</source>
        <translation>Save the file under a name that begins with kel_user.</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>ファイル選択エラー</source>
        <translation>File Selection Error</translation>
    </message>
</context>
<context>
    <name>StoredRequestDiscard</name>
    <message>
        <source>蓄積されているリモート設定要求を破棄します。
よろしいですか？</source>
        <translation>The stored remote settings requests are discarded.
Are you sure?</translation>
    </message>
    <message>
        <source>リモート設定要求の破棄確認</source>
        <translation>Discard Remote Settings Requests</translation>
    </message>
</context>
<context>
    <name>TerminalInput</name>
    <message>
        <source>追加する端末IDは半角数字のみで入力してください。</source>
        <translation>Enter the first terminal ID in digits only.</translation>
    </message>
    <message>
        <source>追加する件数は半角数字のみ0～65535の範囲で入力してください。</source>
        <translation>Enter the number of terminals as a number from 0 to 65535.</translation>
    </message>
    <message>
        <source>『通信ポート番号』は半角数字、1～65535の範囲で入力してください。</source>
        <translation>Enter the communication port as a number from 1 to 65535.</translation>
    </message>
    <message>
        <source>『端末登録リフレッシュ間隔』は半角数字、0～255の範囲で入力してください。</source>
        <translation>Enter the terminal registration interval as a number from 0 to 255.</translation>
    </message>
    <message>
        <source>入力エラー</source>
        <translation>Input Error</translation>
    </message>
    <message>
        <source>『設定履歴の保存数』は半角数字、1～999の範囲で入力してください。</source>
        <translation>Enter the settings history kept as a number from 1 to 999.</translation>
    </message>
    <message>
        <source>『新規端末登録上限』は半角数字、1～65535の範囲で入力してください。</source>
        <translation>Enter the new terminals limit as a number from 1 to 65535.</translation>
    </message>
    <message>
        <source>『ファーム確認待ち時間』は半角数字、1～1440の範囲で入力してください。</source>
        <translation>Enter the firmware check wait as a number from 1 to 1440.</translation>
    </message>
</context>
<context>
    <name>Weekday</name>
    <message>
        <source>日</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>火</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>水</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>木</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>金</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>土</source>
        <translation>Sat</translation>
    </message>
</context>
</TS>
