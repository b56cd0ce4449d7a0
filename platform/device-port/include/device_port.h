// The device port: the one road from the deliverables to the kernel driver.
//
// Product code opens, controls and closes unit device objects only through the
// three DevPort_ functions below, which keep the arguments and the results of
// CreateFile, DeviceIoControl and CloseHandle:
//   - DevPort_CreateFileA/W return INVALID_HANDLE_VALUE (never NULL) when the path
//     does not open, with GetLastError() telling why (ERROR_FILE_NOT_FOUND for an
//     absent unit);
//   - DevPort_DeviceIoControl returns the BOOL of the request; with an OVERLAPPED
//     record a request may stay pending, which is FALSE with GetLastError() equal
//     to ERROR_IO_PENDING, and completing it later signals the record's event;
//   - DevPort_CloseHandle closes a handle the port opened.
//
// By default the port is the operating system: on Windows the real calls, on
// Linux (where no kernel driver exists) every path is absent. A process may put a
// kernel-driver model behind the port instead, once, before it creates anything
// that opens a unit; tests, benchmarks and demos put the virtual unit there.
#pragma once

#include "win32.h"

// A model of the kernel driver. Each function has the contract of the
// corresponding DevPort_ function; handles it returns must be unique in the
// process and never NULL or INVALID_HANDLE_VALUE. The model is called from any
// thread, concurrently, and must be safe for that.
class IKernelDriverModel {
public:
    virtual HANDLE Open(LPCWSTR path, DWORD access, DWORD shareMode, DWORD creation, DWORD flags) = 0;
    virtual BOOL Control(HANDLE device, DWORD code, LPVOID inBuffer, DWORD inSize, LPVOID outBuffer, DWORD outSize,
                         LPDWORD bytesReturned, LPOVERLAPPED overlapped) = 0;
    virtual BOOL Close(HANDLE device) = 0;

protected:
    ~IKernelDriverModel() = default;
};

// Puts `model` behind the port; NULL gives the port back to the operating system.
// The model must outlive every handle opened through it.
void DevPort_Install(IKernelDriverModel* model);
IKernelDriverModel* DevPort_Installed();

HANDLE DevPort_CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD creation,
                           DWORD flags, HANDLE templateFile);
HANDLE DevPort_CreateFileW(LPCWSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD creation,
                           DWORD flags, HANDLE templateFile);
BOOL DevPort_DeviceIoControl(HANDLE device, DWORD code, LPVOID inBuffer, DWORD inSize, LPVOID outBuffer, DWORD outSize,
                             LPDWORD bytesReturned, LPOVERLAPPED overlapped);
BOOL DevPort_CloseHandle(HANDLE device);
