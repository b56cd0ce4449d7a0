#include "device_port.h"

#include <atomic>
#include <string>

namespace {

std::atomic<IKernelDriverModel*> g_model{nullptr};

// CreateFileA's ANSI path, widened the way the system widens a path of plain
// ASCII characters (device paths never hold anything else).
std::wstring WidenAscii(LPCSTR path) {
    std::wstring wide;
    for (const char* p = path; *p != '\0'; ++p) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    return wide;
}

}  // namespace

void DevPort_Install(IKernelDriverModel* model) { g_model.store(model, std::memory_order_release); }

IKernelDriverModel* DevPort_Installed() { return g_model.load(std::memory_order_acquire); }

HANDLE DevPort_CreateFileW(LPCWSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD creation,
                           DWORD flags, HANDLE templateFile) {
    if (IKernelDriverModel* model = DevPort_Installed()) {
        if (path == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        return model->Open(path, access, shareMode, creation, flags);
    }
#ifdef _WIN32
    return CreateFileW(path, access, shareMode, security, creation, flags, templateFile);
#else
    (void)access, (void)shareMode, (void)security, (void)creation, (void)flags, (void)templateFile;
    (void)path;
    SetLastError(ERROR_FILE_NOT_FOUND);  // no kernel driver on this system: every unit is absent
    return INVALID_HANDLE_VALUE;
#endif
}

HANDLE DevPort_CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD creation,
                           DWORD flags, HANDLE templateFile) {
    if (DevPort_Installed() != nullptr) {
        if (path == nullptr) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        const std::wstring wide = WidenAscii(path);
        return DevPort_CreateFileW(wide.c_str(), access, shareMode, security, creation, flags, templateFile);
    }
#ifdef _WIN32
    return CreateFileA(path, access, shareMode, security, creation, flags, templateFile);
#else
    return DevPort_CreateFileW(nullptr, access, shareMode, security, creation, flags, templateFile);
#endif
}

BOOL DevPort_DeviceIoControl(HANDLE device, DWORD code, LPVOID inBuffer, DWORD inSize, LPVOID outBuffer, DWORD outSize,
                             LPDWORD bytesReturned, LPOVERLAPPED overlapped) {
    if (IKernelDriverModel* model = DevPort_Installed())
        return model->Control(device, code, inBuffer, inSize, outBuffer, outSize, bytesReturned, overlapped);
#ifdef _WIN32
    return DeviceIoControl(device, code, inBuffer, inSize, outBuffer, outSize, bytesReturned, overlapped);
#else
    (void)device, (void)code, (void)inBuffer, (void)inSize, (void)outBuffer, (void)outSize, (void)bytesReturned,
        (void)overlapped;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
#endif
}

BOOL DevPort_CloseHandle(HANDLE device) {
    if (IKernelDriverModel* model = DevPort_Installed()) return model->Close(device);
#ifdef _WIN32
    return CloseHandle(device);
#else
    (void)device;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
#endif
}
