// The window-system names the dialog framework and its programs are written
// against. On Windows they come from the real headers; on Linux this declares the
// few the framework uses, with the values Windows gives them, so that dialog code
// reads the same on both.
#pragma once

#include "win32.h"

#ifdef _WIN32

#include <commctrl.h>
#include <shellapi.h>

#else  // Linux

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef WORD LANGID;
typedef struct HICON__* HICON;

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *LPPOINT;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

#ifndef LOWORD
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define MAKELONG(a, b) ((LONG)(((WORD)(((DWORD_PTR)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD_PTR)(b)) & 0xffff))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define GET_WHEEL_DELTA_WPARAM(w) ((short)HIWORD(w))
#endif

// Languages: primary language in bits 0-9, sublanguage above.
#define MAKELANGID(p, s) ((LANGID)((((WORD)(s)) << 10) | (WORD)(p)))
#define PRIMARYLANGID(lgid) ((WORD)(lgid) & 0x3ff)
#define SUBLANGID(lgid) ((WORD)(lgid) >> 10)
#define LANG_NEUTRAL 0x00
#define LANG_GERMAN 0x07
#define LANG_ENGLISH 0x09
#define LANG_SPANISH 0x0a
#define LANG_FRENCH 0x0c
#define LANG_ITALIAN 0x10
#define LANG_JAPANESE 0x11
#define LANG_DUTCH 0x13
#define LANG_PORTUGUESE 0x16
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01

// Messages.
#define WM_KEYDOWN 0x0100
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_MOUSEWHEEL 0x020A
#define WHEEL_DELTA 120
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B

// Notifications.
#define BN_CLICKED 0
#define CBN_SELCHANGE 1
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
#define CB_ERR (-1)
#define TB_LINEUP 0
#define TB_LINEDOWN 1
#define TB_PAGEUP 2
#define TB_PAGEDOWN 3
#define TB_THUMBPOSITION 4
#define TB_THUMBTRACK 5
#define TB_TOP 6
#define TB_BOTTOM 7
#define TB_ENDTRACK 8

// Window and dialog styles.
#define WS_POPUP 0x80000000u
#define WS_CHILD 0x40000000u
#define WS_VISIBLE 0x10000000u
#define WS_DISABLED 0x08000000u
#define WS_CAPTION 0x00C00000u
#define WS_VSCROLL 0x00200000u
#define WS_SYSMENU 0x00080000u
#define WS_GROUP 0x00020000u
#define WS_TABSTOP 0x00010000u
#define WS_EX_APPWINDOW 0x00040000u
#define DS_FIXEDSYS 0x0008u
#define DS_SETFONT 0x0040u
#define DS_MODALFRAME 0x0080u
#define DS_CENTER 0x0800u
#define DS_SHELLFONT (DS_SETFONT | DS_FIXEDSYS)

// Control styles.
#define BS_PUSHBUTTON 0x0u
#define BS_DEFPUSHBUTTON 0x1u
#define BS_AUTOCHECKBOX 0x3u
#define BS_GROUPBOX 0x7u
#define BS_TYPEMASK 0xFu
#define BST_UNCHECKED 0
#define BST_CHECKED 1
#define SS_LEFT 0x0u
#define SS_CENTER 0x1u
#define SS_RIGHT 0x2u
#define SS_ETCHEDFRAME 0x12u
#define SS_TYPEMASK 0x1Fu
#define CBS_DROPDOWNLIST 0x3u
#define TBS_AUTOTICKS 0x1u
#define TBS_HORZ 0x0u
#define TBS_BOTTOM 0x0u

// Common-control classes.
#define ICC_WIN95_CLASSES 0xFFu

// File attributes.
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_DIRECTORY 0x10u

#endif  // _WIN32
