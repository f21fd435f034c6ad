// The entry table and key pool of a ReloadSnapshot, shared by capturing
// (reload_snapshot.cpp) and restoring (snapshot_restore.cpp).
#pragma once

#include <cstdint>

#include "views/reload_snapshot.h"

// An empty snapshot: no entries, no lines, nothing selected. nullptr when
// memory runs out.
[[nodiscard]] ReloadSnapshot* new_snapshot();

// Appends an entry whose key (when has_key) is copied into the key pool.
// The new entry's index, or NO_ENTRY when the table or the pool cannot grow.
[[nodiscard]] uint32_t add_entry(ReloadSnapshot* snapshot, uint32_t parent, uint32_t index, bool has_key,
                                 const uint8_t* key, uint64_t key_length, bool expanded);

// Appends entry `i` of `from`, with `parent` as its parent in `to`.
[[nodiscard]] uint32_t copy_entry(ReloadSnapshot* to, const ReloadSnapshot* from, uint32_t i, uint32_t parent,
                                  bool expanded);
