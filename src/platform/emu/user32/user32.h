#pragma once

// The USER32 subset that the presenter and the driver use: windows and their
// classes, messages, input, metrics, the cursor, the question box and the
// screen saver, with Windows' argument lists.

#include "platform/emu/common/windows_types.h"

ATOM RegisterClassA(const WNDCLASSA* window_class);
BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE instance);
HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL ShowWindow(HWND window, int command);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);
int GetSystemMetrics(int index);
BOOL ClientToScreen(HWND window, LPPOINT point);
BOOL GetClientRect(HWND window, LPRECT rect);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR SetCursor(HCURSOR cursor);
BOOL PeekMessageA(LPMSG message, HWND window, UINT filter_min, UINT filter_max, UINT remove);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
BOOL SystemParametersInfoA(UINT action, UINT ui_param, LPVOID pv_param, UINT win_ini);
SHORT GetAsyncKeyState(int key);
void keybd_event(BYTE key, BYTE scan, DWORD flags, ULONG_PTR extra);
