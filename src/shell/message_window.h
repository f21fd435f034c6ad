// The hidden message-only window "Tarnwell.Msg": the address of everything
// that belongs to no document window (Job posts, the settings save timer,
// script steps).
#pragma once

#include <windows.h>

[[nodiscard]] bool register_message_window_class(HINSTANCE instance);
HWND create_message_window(HINSTANCE instance);
