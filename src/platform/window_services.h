#pragma once
// The player's window, behind the Windows names the ducking code uses. On Windows these are
// user32's own; elsewhere the plugin library links an implementation over MPRIS (D-Bus)
// and the unit tests link a recorder.

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cstdint>

struct PlayerWindow;
using HWND = PlayerWindow*;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LPCWSTR = const wchar_t*;
constexpr UINT WM_USER = 0x0400;

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
#endif
