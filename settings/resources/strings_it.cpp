// String table: Italian (every region).
//
// Translators: keep "__MODEL__" and "__VERSION__" as they are (the program
// fills them in), keep the conversions of format strings ("%5d", "%6d") in
// their order, and "\n" where a line breaks.
#include "string_tables.h"

namespace settings::resources {

const ui::StringEntry kStringsItalian[] = {
    {IDS_APP_TITLE, L" "},  // application name: the caption of every message box
    {IDS_TITLE, L"Impostazioni driver __MODEL__"},  // title of both dialogs
    {IDS_CONNECT_DEVICE, L"Per effettuare le impostazioni, collegare il dispositivo ed eseguire di nuovo il programma."},
    {IDS_DEVICE_IN_USE, L"Il dispositivo è attualmente utilizzato da un'altra applicazione.\nPer rendere effettive le impostazioni, chiudere tutte queste applicazioni, quindi riavviare l'applicazione."},
    {IDS_POWER_CYCLE, L"Per rendere effettive le modifiche alle impostazioni, spegnere e riaccendere il dispositivo."},
    {IDS_APPLY_CHANGES, L"Applicare le modifiche alla configurazione?"},
    {IDS_VERSION_LINE, L"Driver __MODEL__ __VERSION__"},
    {IDS_COPYRIGHT, L"Copyright (C) Calvera Audio. Tutti i diritti riservati."},
    {IDS_README_PATH, L"Readme\\Readme_IT.htm"},  // relative to the installation folder
    {IDS_NOT_CONNECTED, L"Il dispositivo non è collegato.\nCollegare il dispositivo prima di eseguire il programma."},
    {IDS_AUDIO_BUFFER_SIZE, L"Dimensione del buffer audio"},
    {IDS_MIN, L"Min."},
    {IDS_MAX, L"Max."},
    {IDS_PERFORMANCE, L"Prestazioni dello streaming audio"},
    {IDS_REAL_TIME, L"Tempo reale:"},
    {IDS_STABILITY, L"Stabilità:"},
    {IDS_WINSOUND_SETTING, L"Impostazione audio di Windows"},
    {IDS_MATCH_ASIO_RATE, L"Adegua alla frequenza di campionamento ASIO"},
    {IDS_ASIO_SETTING, L"Impostazione ASIO"},
    {IDS_ASIO_BUFFER_SIZE, L"Dimensione del buffer ASIO:"},
    {IDS_ASIO_CREDIT, L"Tecnologia ASIO di\nSteinberg Media Technologies GmbH"},
    {IDS_SHOW_README, L"Mostra \"README\""},
    {IDS_CLOSE, L"Chiudi"},
    {IDS_REVERT, L"Ripristina"},
    {IDS_APPLY, L"Applica"},
    {IDS_DEFAULT, L"Predefinito"},
    {IDS_OK, L"OK"},
    {IDS_BUFFER_LINE, L"%5d campioni (%6d Hz)"},  // buffer size in samples, then the rate in Hz
    {IDS_NO_RATE_LINE, L"--- campioni (--- Hz)"},
};
const size_t kStringsItalianCount = sizeof(kStringsItalian) / sizeof(kStringsItalian[0]);
const LANGID kStringsItalianLanguage = MAKELANGID(LANG_ITALIAN, SUBLANG_NEUTRAL);

}  // namespace settings::resources
