// Which key presses an edit control (the search box, the go-to box) keeps for
// itself instead of letting the window's accelerators have them: with Ctrl
// down and Alt up, Backspace, Insert, Delete and the letters A, C, V, X, Y, Z
// without Shift (select all, clipboard, undo and redo), and End, Home, Left
// and Right with or without Shift (caret moves by word and to either end).
#pragma once

#include <cstdint>

// `key` is a virtual-key code; `modifiers` are KeyModifier bits.
bool edit_control_keeps_key(uint32_t key, uint32_t modifiers);
