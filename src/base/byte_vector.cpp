// The rows that byte vectors' constants are read from (base/byte_vector.h).
#include "base/byte_vector.h"

namespace {

constexpr SplatRows make_splat_rows() {
    SplatRows table{};
    for (uint32_t byte = 0; byte < 256; byte++)
        for (uint32_t i = 0; i < 32; i++) table.rows[byte][i] = static_cast<uint8_t>(byte);
    return table;
}

}  // namespace

extern const SplatRows SPLAT_ROWS = make_splat_rows();
