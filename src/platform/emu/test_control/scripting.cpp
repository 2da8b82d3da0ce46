// Test control: resetting and scripting the platform, through the hooks the
// emulation leaves for it and the headless screen's own state.
#include <cstring>
#include <deque>
#include <map>

#include "platform/emu/common/call_log_state.h"
#include "platform/emu/common/hooks.h"
#include "platform/emu/ddraw/ddraw_state.h"
#include "platform/emu/kernel32/kernel32_state.h"
#include "platform/emu/test_control/emu_test_control.h"
#include "platform/emu/user32/user32_state.h"
#include "platform/screen/headless/screen_headless.h"

namespace {

struct ScriptedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int at_peek;
};

// What the tests scripted, which the hooks hand to the emulation.
struct Script {
    std::map<int, std::deque<SHORT>> key_states;
    std::vector<ScriptedMessage> messages;
    int peeks = 0;
    void (*on_exit)() = nullptr;
};

Script& script()
{
    static Script s;
    return s;
}

bool scripted_key_state(int key, SHORT* value)
{
    auto it = script().key_states.find(key);
    if (it == script().key_states.end() || it->second.empty()) return false;
    *value = it->second.front();
    it->second.pop_front();
    return true;
}

// Posts the scripted messages whose PeekMessageA has come.
void post_scripted_messages()
{
    Script& s = script();
    ++s.peeks;
    for (auto it = s.messages.begin(); it != s.messages.end();) {
        if (it->at_peek <= s.peeks) {
            user32_post(it->window, it->message, it->wParam, it->lParam);
            it = s.messages.erase(it);
        } else {
            ++it;
        }
    }
}

void report_exit()
{
    if (script().on_exit) script().on_exit();
}

}  // namespace

void emu_test_reset()
{
    emu_call_log() = EmuCallLog{};
    emu_call_log().logging = true;
    script() = Script{};
    emu_hooks() =
        EmuHooks{.key_state = scripted_key_state, .before_peek = post_scripted_messages, .before_exit = report_exit};
    kernel32_state() = Kernel32State{};
    user32_state() = User32State{};
    ddraw_state() = DdrawState{};
    screen_headless() = HeadlessScreen{};
}

void emu_test_set_logging(bool on) { emu_call_log().logging = on; }

bool emu_test_fail(const char* name, int nth, HRESULT result, int times)
{
    if (!name) return false;
    for (std::size_t i = 0; i < std::size(EMU_CALL_INFO); ++i) {
        if (std::strcmp(EMU_CALL_INFO[i].name, name) != 0) continue;
        if (!EMU_CALL_INFO[i].can_fail) return false;
        emu_call_log().failures.push_back(
            {static_cast<EmuCallId>(i), nth < 1 ? 1 : nth, times < 1 ? 1 : times, result, 0});
        return true;
    }
    return false;
}

void emu_test_set_pitch_padding(int bytes) { emu_hooks().pitch_padding = bytes < 0 ? 0 : bytes; }

void emu_test_script_key_states(int key, const std::vector<SHORT>& values)
{
    auto& queue = script().key_states[key & 0xFF];
    queue.insert(queue.end(), values.begin(), values.end());
}

void emu_test_post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int at_peek)
{
    if (at_peek <= 0)
        user32_post(window, message, wParam, lParam);
    else
        script().messages.push_back({.window = window,
                                     .message = message,
                                     .wParam = wParam,
                                     .lParam = lParam,
                                     .at_peek = script().peeks + at_peek});
}

void emu_test_on_exit(void (*report)()) { script().on_exit = report; }

void emu_test_lose_surfaces() { ddraw_lose_all_surfaces(); }

// --- the headless screen ---

std::vector<EmuMode> emu_test_default_modes() { return HeadlessScreen{}.modes; }
void emu_test_set_modes(const std::vector<EmuMode>& modes) { screen_headless().modes = modes; }
void emu_test_set_desktop(const EmuMode& desktop) { screen_headless().desktop = desktop; }
void emu_test_set_display_available(bool available) { screen_headless().available = available; }
void emu_test_set_screen_refuses(bool refuses) { screen_headless().refuses = refuses; }
void emu_test_answer_question(int answer) { screen_headless().answer = answer; }
void emu_test_screen_event(const ScreenEvent& event) { screen_headless().events.push_back(event); }
void emu_test_on_show(void (*observe)()) { screen_headless().on_show = observe; }
void emu_test_set_refresh(int rate, bool show_waits)
{
    screen_headless().refresh_rate = rate;
    screen_headless().show_waits = show_waits;
}
void emu_test_advance_clock_us(std::int64_t us) { screen_headless().clock_us += us; }
