// The two one-line texts that describe a loaded Document as a whole: the
// status summary ("1.5 KB · 20 values · JSON5 · parsed in 1.2 s") and the
// error summary (what stopped or broke the reading). Both are built in a
// fixed buffer of SUMMARY_TEXT_SIZE bytes and handed out through copy_out.
#pragma once

#include <cstdint>

#include "core/document.h"

constexpr uint32_t SUMMARY_TEXT_SIZE = 512;
// Parse time for texts that must not depend on timing (script dumps).
constexpr int32_t NO_PARSE_TIME = -1;

// Empty without a Document. A negative parse time shows no time.
uint32_t status_summary(const Document* doc, int32_t parse_ms, void* buffer, uint64_t size);
// Empty without a Document or without problems.
uint32_t error_summary(const Document* doc, void* buffer, uint64_t size);
