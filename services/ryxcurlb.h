// The amount-in-words resource strings (unit Ryxcurlb): number words, currency and fraction texts.
#pragma once

#include "host/rtl/resstrings.h"

namespace host {
class TStringList;
}

// Identifiers 65514-65525; the numbering of the whole catalogue is described in frame/ryxnpcon.h.
// The four word lists are separated by ";": units 0-9, teens 10-19, tens 10-90, scales from thousand up.

namespace ryx {

extern const host::TResStringRec _sryxCurrUnits;
extern const host::TResStringRec _sryxCurrTeens;
extern const host::TResStringRec _sryxCurrTens;
extern const host::TResStringRec _sryxCurrScales;
extern const host::TResStringRec _sryxCurrAnd;
extern const host::TResStringRec _sryxCurrHundred;
extern const host::TResStringRec _sryxCurrDollars;
extern const host::TResStringRec _sryxCurrCents;
extern const host::TResStringRec _sryxCurrHundredths;
extern const host::TResStringRec _sryxCurrCentsFormat;
extern const host::TResStringRec _sryxCurrError;
extern const host::TResStringRec _sryxCurrNull;

// The unit's start-up: the number words of the four word lists (units, teens,
// tens, scales), in that order, read once from the texts in force. Finalize
// frees the list; the words are nullptr while the unit is not started.
void ryxcurlbInitialize();
void ryxcurlbFinalize();
const host::TStringList* ryxCurrencyWords();

}  // namespace ryx
