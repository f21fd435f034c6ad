// Whether two loads of one text built the same Document, for the tests that
// compare the loader's variants with each other.
#pragma once

#include <string>

#include "core/document.h"

// Empty when the Documents agree in form, encoding, features, every Node,
// line starts, problems, large counts and the child index; else the first
// difference.
std::string document_difference(const Document* a, const Document* b);
