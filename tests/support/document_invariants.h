// The structural promises every loaded Document keeps, checked in one place
// for unit tests, allocation-failure sweeps and fuzz targets.
#pragma once

#include <string>

#include "core/document.h"

// Empty when every invariant holds, else a description of the first one broken.
std::string check_document_invariants(const Document* doc);
