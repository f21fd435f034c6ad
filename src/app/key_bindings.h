// The keyboard: which key and modifiers run which command, the accelerator
// table built from that, and key combinations written as text ("mod+shift+c").
//
// Keys are Windows virtual-key codes everywhere, so that the Win32 program
// hands them over unchanged: a letter or digit is its upper-case ASCII code.
// Modifiers are the KeyModifier bits (Shift 1, Alt 2, Ctrl 4).
#pragma once

#include <cstdint>

namespace VirtualKey {
constexpr uint32_t Return = 0x0D;
constexpr uint32_t Escape = 0x1B;
constexpr uint32_t Space = 0x20;
constexpr uint32_t PageUp = 0x21;
constexpr uint32_t PageDown = 0x22;
constexpr uint32_t End = 0x23;
constexpr uint32_t Home = 0x24;
constexpr uint32_t Left = 0x25;
constexpr uint32_t Up = 0x26;
constexpr uint32_t Right = 0x27;
constexpr uint32_t Down = 0x28;
constexpr uint32_t Numpad0 = 0x60;
constexpr uint32_t Add = 0x6B;  // numeric keypad
constexpr uint32_t Subtract = 0x6D;
constexpr uint32_t F3 = 0x72;
constexpr uint32_t F5 = 0x74;
constexpr uint32_t Equals = 0xBB;        // VK_OEM_PLUS
constexpr uint32_t Minus = 0xBD;         // VK_OEM_MINUS
constexpr uint32_t OpenBracket = 0xDB;   // VK_OEM_4
constexpr uint32_t CloseBracket = 0xDD;  // VK_OEM_6
}  // namespace VirtualKey

// The command id a default key of the command table runs (the extra keys
// only when `extra` is set), or NO_COMMAND. In a range of ids each key runs
// the id of its place: Alt+1 to Alt+9 expand to levels 1 to 9.
uint32_t bound_command_id(uint32_t key, uint32_t modifiers, bool extra);

struct Accelerator {
    uint32_t key;
    uint32_t modifiers;
    uint32_t command_id;
};
constexpr uint32_t ACCELERATOR_TABLE_SIZE = 128;

// Fills the accelerator table: every bound combination of the keys A-Z, 0-9,
// "[", "]", "=", "-", F3 and F5, in that order and in the modifier order none,
// Shift, Alt, Ctrl, Ctrl+Shift, Ctrl+Alt, Alt+Shift, Ctrl+Alt+Shift; then the
// extra keys: the keypad's Add, Subtract and 0, and "=". Returns the number of
// entries written (at most `capacity`).
uint32_t build_accelerator_table(Accelerator* entries, uint32_t capacity);
// The command id the accelerator table holds for a key and modifiers, or
// NO_COMMAND. Keys without an entry go to the list (view_key_of).
uint32_t accelerator_command_id(uint32_t key, uint32_t modifiers);

// A combination as scripts write it: "mod" (Ctrl), "shift" and "alt" joined
// with "+" before the key, without case; the key is a letter, a digit, "-",
// "=", "[", "]", or one of "up", "down", "left", "right", "pageup",
// "pagedown", "home", "end", "space", "return", "esc", "f3", "f5". False for
// anything else.
[[nodiscard]] bool parse_key_combo(const char* text, uint64_t length, uint32_t* key, uint32_t* modifiers);

// The ViewKey code the list hands to navigate_key for a virtual key (Escape,
// F3 and F5 included), or 0 for a key the list does not pass on.
uint32_t view_key_of(uint32_t key);
