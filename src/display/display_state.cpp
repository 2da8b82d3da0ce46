// The presenter's state, its settings and the input queries.
#include "display/display_state.h"
#include "display/display.h"

DisplayState display_state;

void display_configure(std::int32_t ask, const char* text, std::int32_t windowed, std::int32_t borderless)
{
    DisplayChoices& c = display_state.configured;
    c.ask_question = static_cast<std::uint8_t>(ask);
    c.question_text = text && text[0] ? text : DISPLAY_DEFAULT_QUESTION;
    if (ask == 0) c.windowed = windowed;  // otherwise the answer at open decides
    c.borderless = static_cast<std::uint8_t>(borderless);
}

void display_allow_close(std::int32_t flag) { display_state.close_allowed = static_cast<std::uint8_t>(flag); }
void display_set_flip_wait(std::int32_t flag) { display_state.flip_wait = flag; }

std::int32_t display_mouse_x() { return display_state.mouse_x; }
std::int32_t display_mouse_y() { return display_state.mouse_y; }
std::int32_t display_left_button() { return display_state.left_button; }
std::int32_t display_right_button() { return display_state.right_button; }
std::int32_t display_key_down(std::int32_t key) { return key >= 0 && key <= 0xFF ? display_state.keys[key] : 0; }
