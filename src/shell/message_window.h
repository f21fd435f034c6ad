// The hidden message-only window "Tarnwell.Msg": the address of everything
// that belongs to no document window (Job posts, the settings save timer,
// script steps), and of the hand-off from a second start.
#pragma once

#include <windows.h>

[[nodiscard]] bool register_message_window_class(HINSTANCE instance);
HWND create_message_window(HINSTANCE instance);

// The message window of the instance that runs already, waiting up to three
// seconds for it to appear (that instance may still be starting); nullptr
// when there is none.
HWND find_running_message_window();
