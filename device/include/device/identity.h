// Product identity built into every deliverable.
#pragma once

namespace device {

// Model name: the ASIO driver's name and key, and what "__MODEL__" becomes.
inline constexpr char kModelName[] = "Calvera";
inline constexpr wchar_t kModelNameW[] = L"Calvera";

// Base name of the kernel driver's device objects (see paths.h).
inline constexpr char kDeviceBaseName[] = "Mxkd4410";
inline constexpr wchar_t kDeviceBaseNameW[] = L"Mxkd4410";

inline constexpr char kSettingsProgramFile[] = "Mxcp4410.exe";
inline constexpr char kDriverFile32[] = "Mxsa4410.dll";
inline constexpr char kDriverFile64[] = "Mxsb4410.dll";
inline constexpr char kLauncherFile[] = "Mxlh4410.dat";

// Class id of the ASIO driver object, in the registry's spelling.
inline constexpr char kDriverClassIdString[] = "{5B3E0C71-7A24-4D19-8E62-0F4A9C2D7B35}";

// Identifiers of the installation record the settings program reads.
inline constexpr char kInstallRecordClassIdString[] = "{2D7F41A9-3C05-4E8B-B716-95E0A4C3F812}";
inline constexpr char kInstallRecordId[] = "MXID4410";

// Units the deliverables look for (unit numbers 1..kUnitsLookedFor).
inline constexpr int kUnitsLookedFor = 4;
// Device objects the ASIO driver forms paths for (unit numbers 1..kUnitSlots).
inline constexpr int kUnitSlots = 8;

}  // namespace device
