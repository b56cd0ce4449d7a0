// String table: English (United States).
//
// Translators: keep "__MODEL__" and "__VERSION__" as they are (the program
// fills them in), keep the conversions of format strings ("%5d", "%6d") in
// their order, and "\n" where a line breaks.
#include "string_tables.h"

namespace settings::resources {

const ui::StringEntry kStringsEnglish[] = {
    {IDS_APP_TITLE, L" "},  // application name: the caption of every message box
    {IDS_TITLE, L"__MODEL__ Driver Settings"},  // title of both dialogs
    {IDS_CONNECT_DEVICE, L"To make settings, connect the device and then execute once again."},
    {IDS_DEVICE_IN_USE, L"Device currently used by another application.\nTo have settings take effect, quit all such applications, then restart the application."},
    {IDS_POWER_CYCLE, L"To have settings changes take effect, switch the power off, then on again."},
    {IDS_APPLY_CHANGES, L"Apply configuration changes?"},
    {IDS_VERSION_LINE, L"__MODEL__ Driver __VERSION__"},
    {IDS_COPYRIGHT, L"Copyright (C) Calvera Audio. All rights reserved."},
    {IDS_README_PATH, L"Readme\\Readme_EN.htm"},  // relative to the installation folder
    {IDS_NOT_CONNECTED, L"The device is not connected.\nPlease connect the device before you execute."},
    {IDS_AUDIO_BUFFER_SIZE, L"Audio Buffer Size"},
    {IDS_MIN, L"Min."},
    {IDS_MAX, L"Max."},
    {IDS_PERFORMANCE, L"Audio Streaming Performance"},
    {IDS_REAL_TIME, L"Real Time:"},
    {IDS_STABILITY, L"Stability:"},
    {IDS_WINSOUND_SETTING, L"Windows sound Setting"},
    {IDS_MATCH_ASIO_RATE, L"Match with the ASIO sample rate"},
    {IDS_ASIO_SETTING, L"ASIO Setting"},
    {IDS_ASIO_BUFFER_SIZE, L"ASIO Buffer Size:"},
    {IDS_ASIO_CREDIT, L"ASIO Technology by\nSteinberg Media Technologies GmbH"},
    {IDS_SHOW_README, L"Show \"README\""},
    {IDS_CLOSE, L"Close"},
    {IDS_REVERT, L"Revert"},
    {IDS_APPLY, L"Apply"},
    {IDS_DEFAULT, L"Default"},
    {IDS_OK, L"OK"},
    {IDS_BUFFER_LINE, L"%5d samples (%6d Hz)"},  // buffer size in samples, then the rate in Hz
    {IDS_NO_RATE_LINE, L"--- samples (--- Hz)"},
};
const size_t kStringsEnglishCount = sizeof(kStringsEnglish) / sizeof(kStringsEnglish[0]);
const LANGID kStringsEnglishLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT);

}  // namespace settings::resources
