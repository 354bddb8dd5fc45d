// The amount-in-words resource strings (unit Ryxcurlb) with their English texts.
#include "services/ryxcurlb.h"

#include <memory>

#include "host/rtl/lists.h"

namespace ryx {

// The words are taken as written, "forteen" included: a language file may correct them.
const host::TResStringRec _sryxCurrUnits{"_sryxCurrUnits", 65514, "zero;one;two;three;four;five;six;seven;eight;nine"};
const host::TResStringRec _sryxCurrTeens{"_sryxCurrTeens", 65515, "ten;eleven;twelve;thirteen;forteen;fifteen;sixteen;seventeen;eighteen;nineteen"};
const host::TResStringRec _sryxCurrTens{"_sryxCurrTens", 65516, "ten;twenty;thirty;forty;fifty;sixty;seventy;eighty;ninety"};
const host::TResStringRec _sryxCurrScales{"_sryxCurrScales", 65517, "thousand;million;billion;trillion"};
const host::TResStringRec _sryxCurrAnd{"_sryxCurrAnd", 65518, "and"};
const host::TResStringRec _sryxCurrHundred{"_sryxCurrHundred", 65519, "hundred"};
const host::TResStringRec _sryxCurrDollars{"_sryxCurrDollars", 65520, "dollars"};
const host::TResStringRec _sryxCurrCents{"_sryxCurrCents", 65521, "cents"};
const host::TResStringRec _sryxCurrHundredths{"_sryxCurrHundredths", 65522, "/100"};
const host::TResStringRec _sryxCurrCentsFormat{"_sryxCurrCentsFormat", 65523, "%.2d"};
const host::TResStringRec _sryxCurrError{"_sryxCurrError", 65524, "#ERROR#"};
const host::TResStringRec _sryxCurrNull{"_sryxCurrNull", 65525, "#NULL#"};

namespace {
std::unique_ptr<host::TStringList>& Words() {
    static std::unique_ptr<host::TStringList> words;
    return words;
}
}  // namespace

void ryxcurlbInitialize() {
    auto words = std::make_unique<host::TStringList>();
    for (const host::TResStringRec* list : {&_sryxCurrUnits, &_sryxCurrTeens, &_sryxCurrTens, &_sryxCurrScales}) {
        std::string text = host::LoadResString(*list);
        size_t start = 0;
        for (;;) {
            size_t semi = text.find(';', start);
            words->Add(text.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
            if (semi == std::string::npos) break;
            start = semi + 1;
        }
    }
    Words() = std::move(words);
}

void ryxcurlbFinalize() { Words().reset(); }

const host::TStringList* ryxCurrencyWords() { return Words().get(); }

}  // namespace ryx
