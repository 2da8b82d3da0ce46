#pragma once

// The call log and failure injection, which every emulated call goes through:
// it writes the call with its arguments and result to the log, and answers
// whether a failure scripted for it applies. Off unless a test switches it on.

#include <cstddef>
#include <string>
#include <type_traits>

#include "platform/emu/common/calls.h"
#include "platform/emu/common/windows_types.h"

// One logged platform call: its name and arguments as text, and its result
// (an HRESULT, a BOOL, or a handle as an integer).
struct EmuCall {
    std::string text;
    long long result;
};

// Writes a call's result into its log entry.
void emu_log_result(std::size_t index, long long result);

// A call as logged: whether it is to fail, with which result, and where its
// result goes.
struct EmuCallEntry {
    static constexpr std::size_t NOT_LOGGED = ~std::size_t{0};
    std::size_t index;
    bool fail;
    HRESULT result;
    template <class T>
    T done(T value) const
    {
        if (index == NOT_LOGGED) return value;
        if constexpr (std::is_pointer_v<T>)
            emu_log_result(index, static_cast<long long>(reinterpret_cast<INT_PTR>(value)));
        else
            emu_log_result(index, static_cast<long long>(value));
        return value;
    }
};
EmuCallEntry emu_call(EmuCallId id, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Whether calls are being logged.
bool emu_logging();

// Arguments as the log writes them; empty while calls are not logged.
std::string emu_window_name(HWND window);
std::string emu_text(LPCSTR text);
std::string emu_pointer(const void* pointer);
