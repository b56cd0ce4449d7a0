// String table: French (every region).
//
// Translators: keep "__MODEL__" and "__VERSION__" as they are (the program
// fills them in), keep the conversions of format strings ("%5d", "%6d") in
// their order, and "\n" where a line breaks.
#include "string_tables.h"

namespace settings::resources {

const ui::StringEntry kStringsFrench[] = {
    {IDS_APP_TITLE, L" "},  // application name: the caption of every message box
    {IDS_TITLE, L"Paramètres du pilote __MODEL__"},  // title of both dialogs
    {IDS_CONNECT_DEVICE, L"Pour effectuer les réglages, connectez l'appareil, puis relancez le programme."},
    {IDS_DEVICE_IN_USE, L"L'appareil est actuellement utilisé par une autre application.\nPour que les réglages prennent effet, quittez toutes ces applications, puis redémarrez l'application."},
    {IDS_POWER_CYCLE, L"Pour que les modifications des réglages prennent effet, éteignez l'appareil, puis rallumez-le."},
    {IDS_APPLY_CHANGES, L"Appliquer les modifications de configuration ?"},
    {IDS_VERSION_LINE, L"Pilote __MODEL__ __VERSION__"},
    {IDS_COPYRIGHT, L"Copyright (C) Calvera Audio. Tous droits réservés."},
    {IDS_README_PATH, L"Readme\\Readme_FR.htm"},  // relative to the installation folder
    {IDS_NOT_CONNECTED, L"L'appareil n'est pas connecté.\nVeuillez connecter l'appareil avant de lancer le programme."},
    {IDS_AUDIO_BUFFER_SIZE, L"Taille du tampon audio"},
    {IDS_MIN, L"Min."},
    {IDS_MAX, L"Max."},
    {IDS_PERFORMANCE, L"Performances du flux audio"},
    {IDS_REAL_TIME, L"Temps réel :"},
    {IDS_STABILITY, L"Stabilité :"},
    {IDS_WINSOUND_SETTING, L"Réglage du son Windows"},
    {IDS_MATCH_ASIO_RATE, L"Suivre la fréquence d'échantillonnage ASIO"},
    {IDS_ASIO_SETTING, L"Réglage ASIO"},
    {IDS_ASIO_BUFFER_SIZE, L"Taille du tampon ASIO :"},
    {IDS_ASIO_CREDIT, L"Technologie ASIO de\nSteinberg Media Technologies GmbH"},
    {IDS_SHOW_README, L"Afficher \"README\""},
    {IDS_CLOSE, L"Fermer"},
    {IDS_REVERT, L"Rétablir"},
    {IDS_APPLY, L"Appliquer"},
    {IDS_DEFAULT, L"Par défaut"},
    {IDS_OK, L"OK"},
    {IDS_BUFFER_LINE, L"%5d échantillons (%6d Hz)"},  // buffer size in samples, then the rate in Hz
    {IDS_NO_RATE_LINE, L"--- échantillons (--- Hz)"},
};
const size_t kStringsFrenchCount = sizeof(kStringsFrench) / sizeof(kStringsFrench[0]);
const LANGID kStringsFrenchLanguage = MAKELANGID(LANG_FRENCH, SUBLANG_NEUTRAL);

}  // namespace settings::resources
