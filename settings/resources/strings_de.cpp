// String table: German (every region).
//
// Translators: keep "__MODEL__" and "__VERSION__" as they are (the program
// fills them in), keep the conversions of format strings ("%5d", "%6d") in
// their order, and "\n" where a line breaks.
#include "string_tables.h"

namespace settings::resources {

const ui::StringEntry kStringsGerman[] = {
    {IDS_APP_TITLE, L" "},  // application name: the caption of every message box
    {IDS_TITLE, L"__MODEL__ Treibereinstellungen"},  // title of both dialogs
    {IDS_CONNECT_DEVICE, L"Um Einstellungen vorzunehmen, schließen Sie das Gerät an und führen Sie das Programm erneut aus."},
    {IDS_DEVICE_IN_USE, L"Das Gerät wird gerade von einer anderen Anwendung verwendet.\nDamit die Einstellungen wirksam werden, beenden Sie alle diese Anwendungen und starten Sie die Anwendung dann neu."},
    {IDS_POWER_CYCLE, L"Damit die geänderten Einstellungen wirksam werden, schalten Sie das Gerät aus und wieder ein."},
    {IDS_APPLY_CHANGES, L"Konfigurationsänderungen übernehmen?"},
    {IDS_VERSION_LINE, L"__MODEL__ Treiber __VERSION__"},
    {IDS_COPYRIGHT, L"Copyright (C) Calvera Audio. Alle Rechte vorbehalten."},
    {IDS_README_PATH, L"Readme\\Readme_DE.htm"},  // relative to the installation folder
    {IDS_NOT_CONNECTED, L"Das Gerät ist nicht angeschlossen.\nBitte schließen Sie das Gerät an, bevor Sie das Programm ausführen."},
    {IDS_AUDIO_BUFFER_SIZE, L"Audio-Puffergröße"},
    {IDS_MIN, L"Min."},
    {IDS_MAX, L"Max."},
    {IDS_PERFORMANCE, L"Audio-Streaming-Leistung"},
    {IDS_REAL_TIME, L"Echtzeit:"},
    {IDS_STABILITY, L"Stabilität:"},
    {IDS_WINSOUND_SETTING, L"Windows-Sound-Einstellung"},
    {IDS_MATCH_ASIO_RATE, L"An die ASIO-Abtastrate anpassen"},
    {IDS_ASIO_SETTING, L"ASIO-Einstellung"},
    {IDS_ASIO_BUFFER_SIZE, L"ASIO-Puffergröße:"},
    {IDS_ASIO_CREDIT, L"ASIO-Technologie von\nSteinberg Media Technologies GmbH"},
    {IDS_SHOW_README, L"\"README\" anzeigen"},
    {IDS_CLOSE, L"Schließen"},
    {IDS_REVERT, L"Zurücksetzen"},
    {IDS_APPLY, L"Übernehmen"},
    {IDS_DEFAULT, L"Standard"},
    {IDS_OK, L"OK"},
    {IDS_BUFFER_LINE, L"%5d Samples (%6d Hz)"},  // buffer size in samples, then the rate in Hz
    {IDS_NO_RATE_LINE, L"--- Samples (--- Hz)"},
};
const size_t kStringsGermanCount = sizeof(kStringsGerman) / sizeof(kStringsGerman[0]);
const LANGID kStringsGermanLanguage = MAKELANGID(LANG_GERMAN, SUBLANG_NEUTRAL);

}  // namespace settings::resources
