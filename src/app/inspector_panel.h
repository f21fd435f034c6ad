// What the Inspector panel shows: the selected node's Inspector text in the
// form an edit control displays it, made again only when the selection or
// the path style changed since it was last made.
#pragma once

#include <cstdint>

#include "core/document.h"

struct DocWindow;

// What the text was last made for.
struct InspectorCache {
    NodeId node;
    uint32_t path_style;
    uint8_t valid;
};

// The text with every LF that follows no CR turned into CR LF and every zero
// byte into U+2400, as a multi-line edit control needs it (snprintf
// contract).
uint64_t inspector_edit_text(const char* text, uint64_t length, char* buffer, uint64_t size);

enum class InspectorUpdate : uint8_t { Keep, SetText };

// Decides whether the panel's text must change and, when so, makes it.
// Keep: the panel is hidden (its cache is dropped), or, unless forced, the
// cache already holds the current node and path style. SetText: *text is the
// new edit text (mem_free; nullptr for an empty panel, also when it could not
// be made) with its length, and the cache now describes it.
InspectorUpdate update_inspector(DocWindow* window, bool force, char** text, uint64_t* length);

// The split bar was released: the window's Inspector width becomes the
// setting for new windows, saved a little later.
void keep_inspector_width(DocWindow* window);
