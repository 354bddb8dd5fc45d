// Engine statistics: how many rows the engine has read from its database files into record buffers.
#pragma once

#include <cstdint>

namespace host {
struct DBICurObj;
}

namespace host::dbi {

// Rows read into record buffers (the caller's, or the engine's own when a
// filter, a count or a bookmark check looks at a record) by every cursor of
// this process since the last reset. A move counts the row it lands on once,
// however many of its fields are then read; rows passed over without being
// read (a relative move's intermediate rows) do not count.
uint64_t RowsFetched();
void ResetRowsFetched();

// The same count for one cursor since it was opened; 0 for a handle that is
// not a live cursor.
uint64_t RowsFetched(const DBICurObj* Cursor);

}  // namespace host::dbi
