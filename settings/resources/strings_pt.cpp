// String table: Portuguese (every region).
//
// Translators: keep "__MODEL__" and "__VERSION__" as they are (the program
// fills them in), keep the conversions of format strings ("%5d", "%6d") in
// their order, and "\n" where a line breaks.
#include "string_tables.h"

namespace settings::resources {

const ui::StringEntry kStringsPortuguese[] = {
    {IDS_APP_TITLE, L" "},  // application name: the caption of every message box
    {IDS_TITLE, L"Configurações do driver __MODEL__"},  // title of both dialogs
    {IDS_CONNECT_DEVICE, L"Para efetuar as configurações, conecte o dispositivo e execute o programa novamente."},
    {IDS_DEVICE_IN_USE, L"O dispositivo está sendo usado por outro aplicativo.\nPara que as configurações entrem em vigor, feche todos esses aplicativos e reinicie o aplicativo."},
    {IDS_POWER_CYCLE, L"Para que as alterações das configurações entrem em vigor, desligue o dispositivo e ligue-o novamente."},
    {IDS_APPLY_CHANGES, L"Aplicar as alterações de configuração?"},
    {IDS_VERSION_LINE, L"Driver __MODEL__ __VERSION__"},
    {IDS_COPYRIGHT, L"Copyright (C) Calvera Audio. Todos os direitos reservados."},
    {IDS_README_PATH, L"Readme\\Readme_PT.htm"},  // relative to the installation folder
    {IDS_NOT_CONNECTED, L"O dispositivo não está conectado.\nConecte o dispositivo antes de executar o programa."},
    {IDS_AUDIO_BUFFER_SIZE, L"Tamanho do buffer de áudio"},
    {IDS_MIN, L"Mín."},
    {IDS_MAX, L"Máx."},
    {IDS_PERFORMANCE, L"Desempenho do streaming de áudio"},
    {IDS_REAL_TIME, L"Tempo real:"},
    {IDS_STABILITY, L"Estabilidade:"},
    {IDS_WINSOUND_SETTING, L"Configuração de som do Windows"},
    {IDS_MATCH_ASIO_RATE, L"Acompanhar a taxa de amostragem ASIO"},
    {IDS_ASIO_SETTING, L"Configuração ASIO"},
    {IDS_ASIO_BUFFER_SIZE, L"Tamanho do buffer ASIO:"},
    {IDS_ASIO_CREDIT, L"Tecnologia ASIO da\nSteinberg Media Technologies GmbH"},
    {IDS_SHOW_README, L"Mostrar \"README\""},
    {IDS_CLOSE, L"Fechar"},
    {IDS_REVERT, L"Reverter"},
    {IDS_APPLY, L"Aplicar"},
    {IDS_DEFAULT, L"Padrão"},
    {IDS_OK, L"OK"},
    {IDS_BUFFER_LINE, L"%5d amostras (%6d Hz)"},  // buffer size in samples, then the rate in Hz
    {IDS_NO_RATE_LINE, L"--- amostras (--- Hz)"},
};
const size_t kStringsPortugueseCount = sizeof(kStringsPortuguese) / sizeof(kStringsPortuguese[0]);
const LANGID kStringsPortugueseLanguage = MAKELANGID(LANG_PORTUGUESE, SUBLANG_NEUTRAL);

}  // namespace settings::resources
