// Resource identifiers of the settings program: dialog templates, controls,
// strings and the icon.
#pragma once

// Dialog templates.
inline constexpr unsigned IDD_NODEVICE_DIALOG = 136;
inline constexpr unsigned IDD_DRVPROP_DIALOG = 187;

// Icon.
inline constexpr unsigned IDR_MAINFRAME = 128;

// Controls (IDOK = 1 and IDCANCEL = 2 are the platform's).
inline constexpr int IDC_SLD_BUFFER = 1012;
inline constexpr int IDC_STC_COPYRIGHT = 1032;
inline constexpr int IDC_STC_VERSION = 1033;
inline constexpr int IDC_STC_ASIO_CREDIT = 1034;
inline constexpr int IDC_BTN_README = 1035;
inline constexpr int IDC_GRP_ASIO = 1037;
inline constexpr int IDC_GRP_BUFFER = 1038;
inline constexpr int IDC_NODEV_MESSAGE = 1041;
inline constexpr int IDC_STC_MAX = 1042;
inline constexpr int IDC_BTN_APPLY = 1043;
inline constexpr int IDC_STC_MIN = 1044;
inline constexpr int IDC_STC_ASIO_BUFFER_LABEL = 1045;
inline constexpr int IDC_STC_ASIO_BUFFER = 1046;
inline constexpr int IDC_BTN_DEFAULT = 1047;
inline constexpr int IDC_STC_LABEL_FIRST = 1050;  // labels "1" .. "11": 1050 .. 1060
inline constexpr int IDC_STC_LABEL_LAST = 1060;
inline constexpr int IDC_STC_MARKER = 1061;
inline constexpr int IDC_STC_REALTIME_BAR = 1101;
inline constexpr int IDC_STC_STABILITY_BAR = 1102;
inline constexpr int IDC_STC_REALTIME = 1103;
inline constexpr int IDC_STC_STABILITY = 1104;
inline constexpr int IDC_GRP_PERFORMANCE = 1105;
inline constexpr int IDC_CMB_FREQ = 1130;
inline constexpr int IDC_CMB_DEVICE = 1136;
inline constexpr int IDC_GRP_WINSOUND = 1146;
inline constexpr int IDC_CHK_MATCH_ASIO_RATE = 1147;

// Strings.
inline constexpr unsigned IDS_DEFAULT = 129;
inline constexpr unsigned IDS_APPLY_CHANGES = 32912;
inline constexpr unsigned IDS_CLOSE = 32937;
inline constexpr unsigned IDS_REVERT = 32938;
inline constexpr unsigned IDS_ASIO_BUFFER_SIZE = 32943;
inline constexpr unsigned IDS_BUFFER_LINE = 32957;
inline constexpr unsigned IDS_TITLE = 33088;
inline constexpr unsigned IDS_CONNECT_DEVICE = 33089;
inline constexpr unsigned IDS_DEVICE_IN_USE = 33090;
inline constexpr unsigned IDS_POWER_CYCLE = 33091;
inline constexpr unsigned IDS_VERSION_LINE = 33093;
inline constexpr unsigned IDS_COPYRIGHT = 33094;
inline constexpr unsigned IDS_README_PATH = 33095;
inline constexpr unsigned IDS_NOT_CONNECTED = 33100;
inline constexpr unsigned IDS_AUDIO_BUFFER_SIZE = 33101;
inline constexpr unsigned IDS_MIN = 33102;
inline constexpr unsigned IDS_MAX = 33103;
inline constexpr unsigned IDS_ASIO_SETTING = 33108;
inline constexpr unsigned IDS_ASIO_CREDIT = 33111;
inline constexpr unsigned IDS_OK = 33114;
inline constexpr unsigned IDS_APPLY = 33116;
inline constexpr unsigned IDS_SHOW_README = 33117;
inline constexpr unsigned IDS_REAL_TIME = 33124;
inline constexpr unsigned IDS_STABILITY = 33125;
inline constexpr unsigned IDS_PERFORMANCE = 33128;
inline constexpr unsigned IDS_WINSOUND_SETTING = 33134;
inline constexpr unsigned IDS_MATCH_ASIO_RATE = 33135;
inline constexpr unsigned IDS_NO_RATE_LINE = 33136;
inline constexpr unsigned IDS_APP_TITLE = 57344;  // the application name: a single blank
