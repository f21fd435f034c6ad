#include "app/edit_keys.h"

#include "app/key_bindings.h"
#include "views/view_state.h"

namespace {

constexpr uint32_t BACKSPACE = 0x08;
constexpr uint32_t INSERT = 0x2D;
constexpr uint32_t DELETE_KEY = 0x2E;

}  // namespace

bool edit_control_keeps_key(uint32_t key, uint32_t modifiers) {
    if (!(modifiers & KeyModifier::Ctrl) || (modifiers & KeyModifier::Alt)) return false;
    switch (key) {
    case VirtualKey::End:
    case VirtualKey::Home:
    case VirtualKey::Left:
    case VirtualKey::Right: return true;
    case BACKSPACE:
    case INSERT:
    case DELETE_KEY:
    case 'A':
    case 'C':
    case 'V':
    case 'X':
    case 'Y':
    case 'Z': return !(modifiers & KeyModifier::Shift);
    default: return false;
    }
}
