// A Node's path in five notations, and the labels of its breadcrumbs.
#pragma once

#include <cstdint>

#include "core/document.h"

enum class PathStyle : uint32_t { JsonPath = 0, Jq = 1, JavaScript = 2, Python = 3, JsonPointer = 4 };
constexpr uint32_t PATH_STYLE_COUNT = 5;

// The style's word in the settings file ("jsonpath"); styles out of range
// answer for JSONPath.
const char* path_style_settings_word(PathStyle style);

// Writes the path of `id` (snprintf contract) and returns its full length. A
// buffer that is too small keeps a prefix; a key character or an escape is
// never cut.
uint64_t format_path(const Document* doc, NodeId id, PathStyle style, void* buffer, uint64_t size);
// Depth + 1: the number of breadcrumbs (0 for an id beyond the Document).
uint32_t node_chain_length(const Document* doc, NodeId id);
// The ancestor of `id` at depth `level` (id itself at its own depth), or NO_NODE.
NodeId ancestor_at_depth(const Document* doc, NodeId id, uint32_t level);
// The breadcrumb label of `id` (snprintf contract).
uint64_t breadcrumb_label(const Document* doc, NodeId id, void* buffer, uint64_t size);
