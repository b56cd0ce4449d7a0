// String table: Spanish (every region).
//
// Translators: keep "__MODEL__" and "__VERSION__" as they are (the program
// fills them in), keep the conversions of format strings ("%5d", "%6d") in
// their order, and "\n" where a line breaks.
#include "string_tables.h"

namespace settings::resources {

const ui::StringEntry kStringsSpanish[] = {
    {IDS_APP_TITLE, L" "},  // application name: the caption of every message box
    {IDS_TITLE, L"Configuración del controlador __MODEL__"},  // title of both dialogs
    {IDS_CONNECT_DEVICE, L"Para realizar ajustes, conecte el dispositivo y vuelva a ejecutar el programa."},
    {IDS_DEVICE_IN_USE, L"El dispositivo está siendo utilizado por otra aplicación.\nPara que los ajustes surtan efecto, cierre todas esas aplicaciones y vuelva a iniciar la aplicación."},
    {IDS_POWER_CYCLE, L"Para que los cambios de ajustes surtan efecto, apague el dispositivo y vuelva a encenderlo."},
    {IDS_APPLY_CHANGES, L"¿Aplicar los cambios de configuración?"},
    {IDS_VERSION_LINE, L"Controlador __MODEL__ __VERSION__"},
    {IDS_COPYRIGHT, L"Copyright (C) Calvera Audio. Todos los derechos reservados."},
    {IDS_README_PATH, L"Readme\\Readme_ES.htm"},  // relative to the installation folder
    {IDS_NOT_CONNECTED, L"El dispositivo no está conectado.\nConecte el dispositivo antes de ejecutar el programa."},
    {IDS_AUDIO_BUFFER_SIZE, L"Tamaño del búfer de audio"},
    {IDS_MIN, L"Mín."},
    {IDS_MAX, L"Máx."},
    {IDS_PERFORMANCE, L"Rendimiento de la transmisión de audio"},
    {IDS_REAL_TIME, L"Tiempo real:"},
    {IDS_STABILITY, L"Estabilidad:"},
    {IDS_WINSOUND_SETTING, L"Ajuste de sonido de Windows"},
    {IDS_MATCH_ASIO_RATE, L"Igualar a la frecuencia de muestreo de ASIO"},
    {IDS_ASIO_SETTING, L"Ajuste de ASIO"},
    {IDS_ASIO_BUFFER_SIZE, L"Tamaño del búfer de ASIO:"},
    {IDS_ASIO_CREDIT, L"Tecnología ASIO de\nSteinberg Media Technologies GmbH"},
    {IDS_SHOW_README, L"Mostrar \"README\""},
    {IDS_CLOSE, L"Cerrar"},
    {IDS_REVERT, L"Revertir"},
    {IDS_APPLY, L"Aplicar"},
    {IDS_DEFAULT, L"Predeterminado"},
    {IDS_OK, L"Aceptar"},
    {IDS_BUFFER_LINE, L"%5d muestras (%6d Hz)"},  // buffer size in samples, then the rate in Hz
    {IDS_NO_RATE_LINE, L"--- muestras (--- Hz)"},
};
const size_t kStringsSpanishCount = sizeof(kStringsSpanish) / sizeof(kStringsSpanish[0]);
const LANGID kStringsSpanishLanguage = MAKELANGID(LANG_SPANISH, SUBLANG_NEUTRAL);

}  // namespace settings::resources
