// Record buffers a dataset registers with the engine so that moves fill them field by field, on first read.
#pragma once

#include <cstdint>

#include "host/db/dbiengine.h"

namespace host {

// The null flag value of a field a registered buffer has not read yet. The
// buffer's reader calls DbiCompleteRecBuf when it meets it; every engine call
// that takes the buffer completes it by itself.
constexpr uint8_t DBIRECBUF_NOTREAD = 2;

// Registers RecBuf (the caller's, alive until unregistered or the cursor
// closes): moves into it read only the row identifier and mark the fields
// not read. Unregister before freeing the buffer.
DBIResult DbiRegisterRecBuf(hDBICur hCur, uint8_t* RecBuf);
DBIResult DbiUnregisterRecBuf(hDBICur hCur, const uint8_t* RecBuf);
// Reads the fields of RecBuf not read yet (nothing when all are there); with
// FieldNo, at least that one (alone while the cursor still stands on the row).
DBIResult DbiCompleteRecBuf(hDBICur hCur, const uint8_t* RecBuf, uint16_t FieldNo = 0);

// The fast path of a field read: reads field FieldNo of RecBuf from the row
// the cursor's walk stands on; false (nothing done) when RecBuf is not the
// buffer of that row. Only for a handle known to be live.
bool DbiReadFieldOnRow(hDBICur hCur, const uint8_t* RecBuf, uint16_t FieldNo) noexcept;

}  // namespace host
