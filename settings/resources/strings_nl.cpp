// String table: Dutch (every region).
//
// Translators: keep "__MODEL__" and "__VERSION__" as they are (the program
// fills them in), keep the conversions of format strings ("%5d", "%6d") in
// their order, and "\n" where a line breaks.
#include "string_tables.h"

namespace settings::resources {

const ui::StringEntry kStringsDutch[] = {
    {IDS_APP_TITLE, L" "},  // application name: the caption of every message box
    {IDS_TITLE, L"__MODEL__ stuurprogramma-instellingen"},  // title of both dialogs
    {IDS_CONNECT_DEVICE, L"Sluit het apparaat aan en voer het programma opnieuw uit om instellingen te maken."},
    {IDS_DEVICE_IN_USE, L"Het apparaat wordt momenteel door een andere toepassing gebruikt.\nSluit al deze toepassingen af en start de toepassing opnieuw om de instellingen van kracht te laten worden."},
    {IDS_POWER_CYCLE, L"Schakel het apparaat uit en weer in om de gewijzigde instellingen van kracht te laten worden."},
    {IDS_APPLY_CHANGES, L"Configuratiewijzigingen toepassen?"},
    {IDS_VERSION_LINE, L"__MODEL__ stuurprogramma __VERSION__"},
    {IDS_COPYRIGHT, L"Copyright (C) Calvera Audio. Alle rechten voorbehouden."},
    {IDS_README_PATH, L"Readme\\Readme_NL.htm"},  // relative to the installation folder
    {IDS_NOT_CONNECTED, L"Het apparaat is niet aangesloten.\nSluit het apparaat aan voordat u het programma uitvoert."},
    {IDS_AUDIO_BUFFER_SIZE, L"Audiobuffergrootte"},
    {IDS_MIN, L"Min."},
    {IDS_MAX, L"Max."},
    {IDS_PERFORMANCE, L"Prestaties audiostreaming"},
    {IDS_REAL_TIME, L"Realtime:"},
    {IDS_STABILITY, L"Stabiliteit:"},
    {IDS_WINSOUND_SETTING, L"Windows-geluidsinstelling"},
    {IDS_MATCH_ASIO_RATE, L"Gelijk aan de ASIO-samplefrequentie"},
    {IDS_ASIO_SETTING, L"ASIO-instelling"},
    {IDS_ASIO_BUFFER_SIZE, L"ASIO-buffergrootte:"},
    {IDS_ASIO_CREDIT, L"ASIO-technologie door\nSteinberg Media Technologies GmbH"},
    {IDS_SHOW_README, L"\"README\" weergeven"},
    {IDS_CLOSE, L"Sluiten"},
    {IDS_REVERT, L"Herstellen"},
    {IDS_APPLY, L"Toepassen"},
    {IDS_DEFAULT, L"Standaard"},
    {IDS_OK, L"OK"},
    {IDS_BUFFER_LINE, L"%5d samples (%6d Hz)"},  // buffer size in samples, then the rate in Hz
    {IDS_NO_RATE_LINE, L"--- samples (--- Hz)"},
};
const size_t kStringsDutchCount = sizeof(kStringsDutch) / sizeof(kStringsDutch[0]);
const LANGID kStringsDutchLanguage = MAKELANGID(LANG_DUTCH, SUBLANG_NEUTRAL);

}  // namespace settings::resources
