// Every key the desktop (SDL2's and our own X11 window's) and web screens
// deliver, from the code each receives to the virtual key the presenter
// reports, against one table written from the keys' names (SDL's and X's) and
// Windows' documented virtual-key and DOM key codes.
#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#undef None
#undef Bool

#include <algorithm>
#include <map>
#include <string>

#include "display/display_support.h"
#include "platform/screen/sdl/sdl_keys.h"
#include "platform/screen/sdl/x11_keys.h"
#include "platform/screen/web/web_keys.h"

namespace {

struct Key {
    std::string name;  // as SDL names the key
    int vk;
    int dom;          // the DOM's key code; 0 where another name's key has the same one
    std::string x11;  // the X key symbol's name
};

std::vector<Key> expected_keys()
{
    std::vector<Key> keys = {
        {"Escape", 0x1B, 27, "Escape"},
        {"Return", 0x0D, 13, "Return"},
        {"Tab", 0x09, 9, "Tab"},
        {"Backspace", 0x08, 8, "BackSpace"},
        {"Space", 0x20, 32, "space"},
        {"Insert", 0x2D, 45, "Insert"},
        {"Delete", 0x2E, 46, "Delete"},
        {"Home", 0x24, 36, "Home"},
        {"End", 0x23, 35, "End"},
        {"PageUp", 0x21, 33, "Prior"},
        {"PageDown", 0x22, 34, "Next"},
        {"Left", 0x25, 37, "Left"},
        {"Right", 0x27, 39, "Right"},
        {"Up", 0x26, 38, "Up"},
        {"Down", 0x28, 40, "Down"},
        {"Left Shift", 0x10, 16, "Shift_L"},
        {"Right Shift", 0x10, 0, "Shift_R"},
        {"Left Ctrl", 0x11, 17, "Control_L"},
        {"Right Ctrl", 0x11, 0, "Control_R"},
        {"Left Alt", 0x12, 18, "Alt_L"},
        {"Right Alt", 0x12, 0, "Alt_R"},
    };
    for (int i = 0; i < 12; ++i) {
        const std::string f = std::string(1, 'F').append(std::to_string(i + 1));
        keys.push_back({f, 0x70 + i, 112 + i, f});
    }
    // X names a letter key by its small letter, the symbol its key gives unshifted.
    for (char c = 'A'; c <= 'Z'; ++c) keys.push_back({std::string(1, c), c, c, std::string(1, char(c - 'A' + 'a'))});
    for (char c = '0'; c <= '9'; ++c) keys.push_back({std::string(1, c), c, c, std::string(1, c)});
    return keys;
}

}  // namespace

TEST_F(DisplayTest, EveryKeyOfEveryScreenReachesThePresenterAsItsVirtualKey)
{
    const std::vector<Key> keys = expected_keys();
    std::map<std::string, int> sdl_seen, dom_seen, x11_seen;
    // Each SDL key code there is: the characters, and the keys named by scan code.
    std::vector<SDL_Keycode> codes;
    for (SDL_Keycode c = 1; c < 128; ++c) codes.push_back(c);
    for (int s = 0; s < SDL_NUM_SCANCODES; ++s) codes.push_back(SDL_SCANCODE_TO_KEYCODE(s));
    for (const SDL_Keycode code : codes) {
        const int vk = sdl_virtual_key(code);
        if (!vk) continue;
        const std::string name = SDL_GetKeyName(code);
        const auto k = std::find_if(keys.begin(), keys.end(), [&](const Key& e) { return e.name == name; });
        ASSERT_NE(k, keys.end()) << "the SDL2 screen delivers " << name << ", which the table has not";
        EXPECT_EQ(vk, k->vk) << "SDL2 screen, " << name;
        ++sdl_seen[name];
    }
    for (unsigned long code = 1; code < 256; ++code) {
        const int vk = web_virtual_key(code);
        if (!vk) continue;
        const auto k = std::find_if(keys.begin(), keys.end(), [&](const Key& e) { return e.dom == int(code); });
        ASSERT_NE(k, keys.end()) << "the web screen delivers DOM code " << code << ", which the table has not";
        EXPECT_EQ(vk, k->vk) << "web screen, " << k->name;
        ++dom_seen[k->name];
    }
    // Every X key symbol of the keyboard's ranges (Latin 1 and the function keys).
    for (unsigned long symbol = 1; symbol < 0x10000; ++symbol) {
        const int vk = x11_virtual_key(symbol);
        if (!vk) continue;
        const char* name = XKeysymToString(symbol);
        ASSERT_NE(name, nullptr) << "our X11 window delivers symbol " << symbol << ", which X does not name";
        const auto k = std::find_if(keys.begin(), keys.end(), [&](const Key& e) { return e.x11 == name; });
        ASSERT_NE(k, keys.end()) << "our X11 window delivers " << name << ", which the table has not";
        EXPECT_EQ(vk, k->vk) << "our X11 window, " << name;
        ++x11_seen[k->name];
    }
    // Each key once, down and up, through the window procedure.
    display_configure(0, "", 0, 0);
    display_allow_close(0);  // Escape is a key like the others here
    ASSERT_EQ(display_open("keys", 640, 480), 1);
    const std::vector<Pixel> frame = test_frame(640, 480);
    for (const Key& k : keys) {
        EXPECT_EQ(sdl_seen[k.name], 1) << "the SDL2 screen delivers " << k.name << " " << sdl_seen[k.name] << " times";
        EXPECT_EQ(x11_seen[k.name], 1) << "our X11 window delivers " << k.name << " " << x11_seen[k.name] << " times";
        if (k.dom) {
            EXPECT_EQ(dom_seen[k.name], 1) << "the web screen delivers " << k.name;
        }
        emu_test_screen_event({.kind = ScreenEventKind::KEY_DOWN, .key = k.vk});
        display_present(frame.data());
        EXPECT_EQ(display_key_down(k.vk), 1) << k.name;
        emu_test_screen_event({.kind = ScreenEventKind::KEY_UP, .key = k.vk});
        display_present(frame.data());
        EXPECT_EQ(display_key_down(k.vk), 0) << k.name;
    }
    display_close();
}
