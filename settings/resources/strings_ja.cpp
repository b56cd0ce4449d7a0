// String table: Japanese.
//
// Translators: keep "__MODEL__" and "__VERSION__" as they are (the program
// fills them in), keep the conversions of format strings ("%5d", "%6d") in
// their order, and "\n" where a line breaks.
#include "string_tables.h"

namespace settings::resources {

const ui::StringEntry kStringsJapanese[] = {
    {IDS_APP_TITLE, L" "},  // application name: the caption of every message box
    {IDS_TITLE, L"__MODEL__ ドライバー設定"},  // title of both dialogs
    {IDS_CONNECT_DEVICE, L"設定を行うには、デバイスを接続してから、もう一度実行してください。"},
    {IDS_DEVICE_IN_USE, L"デバイスは現在ほかのアプリケーションで使用されています。\n設定を有効にするには、該当するアプリケーションをすべて終了してから、アプリケーションを再起動してください。"},
    {IDS_POWER_CYCLE, L"設定の変更を有効にするには、電源をいったん切ってから、もう一度入れてください。"},
    {IDS_APPLY_CHANGES, L"設定の変更を適用しますか?"},
    {IDS_VERSION_LINE, L"__MODEL__ ドライバー __VERSION__"},
    {IDS_COPYRIGHT, L"Copyright (C) Calvera Audio. All rights reserved."},
    {IDS_README_PATH, L"Readme\\Readme_JP.htm"},  // relative to the installation folder
    {IDS_NOT_CONNECTED, L"デバイスが接続されていません。\n実行する前にデバイスを接続してください。"},
    {IDS_AUDIO_BUFFER_SIZE, L"オーディオ バッファー サイズ"},
    {IDS_MIN, L"最小"},
    {IDS_MAX, L"最大"},
    {IDS_PERFORMANCE, L"オーディオ ストリーミング パフォーマンス"},
    {IDS_REAL_TIME, L"リアルタイム性:"},
    {IDS_STABILITY, L"安定性:"},
    {IDS_WINSOUND_SETTING, L"Windows サウンド設定"},
    {IDS_MATCH_ASIO_RATE, L"ASIO のサンプリング レートに合わせる"},
    {IDS_ASIO_SETTING, L"ASIO 設定"},
    {IDS_ASIO_BUFFER_SIZE, L"ASIO バッファー サイズ:"},
    {IDS_ASIO_CREDIT, L"ASIO テクノロジー提供:\nSteinberg Media Technologies GmbH"},
    {IDS_SHOW_README, L"\"README\" を表示"},
    {IDS_CLOSE, L"閉じる"},
    {IDS_REVERT, L"元に戻す"},
    {IDS_APPLY, L"適用"},
    {IDS_DEFAULT, L"既定値"},
    {IDS_OK, L"OK"},
    {IDS_BUFFER_LINE, L"%5d サンプル (%6d Hz)"},  // buffer size in samples, then the rate in Hz
    {IDS_NO_RATE_LINE, L"--- サンプル (--- Hz)"},
};
const size_t kStringsJapaneseCount = sizeof(kStringsJapanese) / sizeof(kStringsJapanese[0]);
const LANGID kStringsJapaneseLanguage = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

}  // namespace settings::resources
