// Lists: TList, the text, comma text, name=value and file handling of TStrings, and TStringList over a blocked store.
#include "host/rtl/lists.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <string_view>
#include <utility>

#include "host/rtl/exceptions.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

namespace host {

namespace {

std::string IndexMessage(int Index) { return "List index out of bounds (" + std::to_string(Index) + ")"; }

// Compares without regard to ASCII case (letters folded to upper case, as the
// framework's CompareText does); other bytes compare by value.
int CompareTextAscii(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'a' && ca <= 'z') ca = static_cast<unsigned char>(ca - 32);
        if (cb >= 'a' && cb <= 'z') cb = static_cast<unsigned char>(cb - 32);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int CompareBytes(std::string_view a, std::string_view b) {
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string QuoteString(const std::string& S, char Quote) {
    std::string r;
    r.reserve(S.size() + 2);
    r += Quote;
    for (char c : S) {
        r += c;
        if (c == Quote) r += Quote;
    }
    r += Quote;
    return r;
}

// Reads a quoted string starting at Value[Pos] (the opening quote): a doubled quote
// stands for one, the text ends at the closing quote or, without one, at the end.
// Pos moves past what was read.
std::string ExtractQuoted(const std::string& Value, size_t& Pos, char Quote) {
    std::string r;
    ++Pos;
    const size_t n = Value.size();
    while (Pos < n) {
        if (Value[Pos] == Quote) {
            if (Pos + 1 < n && Value[Pos + 1] == Quote) {
                r += Quote;
                Pos += 2;
                continue;
            }
            ++Pos;
            return r;
        }
        r += Value[Pos++];
    }
    return r;
}

std::string JoinDelimited(const TStrings& List, char Delimiter, char Quote, bool Strict) {
    const int n = List.Count();
    if (n == 1 && List.Strings(0).empty()) return std::string(2, Quote);
    std::string result;
    for (int i = 0; i < n; ++i) {
        std::string s = List.Strings(i);
        bool quote = std::any_of(s.begin(), s.end(), [&](char c) {
            return c == Quote || c == Delimiter || c == '\0' || (!Strict && IsBlank(c));
        });
        if (i > 0) result += Delimiter;
        result += quote ? QuoteString(s, Quote) : s;
    }
    return result;
}

}  // namespace

// ---- TList ----

TList::~TList() { TList::Clear(); }

void TList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(IndexMessage(Index));
}

void TList::Notify(void*, TListNotification) {}

int TList::Add(void* Item) {
    int result = Count();
    FList.push_back(Item);
    if (Item != nullptr) Notify(Item, lnAdded);
    return result;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count()) throw EListError(IndexMessage(Index));
    FList.insert(FList.begin() + Index, Item);
    if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
    CheckIndex(Index);
    void* item = FList[Index];
    FList.erase(FList.begin() + Index);
    if (item != nullptr) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
    int index = IndexOf(Item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* Item) {
    int index = IndexOf(Item);
    if (index < 0) return nullptr;
    FList.erase(FList.begin() + index);
    Notify(Item, lnExtracted);
    return Item;
}

int TList::IndexOf(void* Item) const {
    auto it = std::find(FList.begin(), FList.end(), Item);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void* TList::Items(int Index) const {
    CheckIndex(Index);
    return FList[Index];
}

void TList::Put(int Index, void* Item) {
    CheckIndex(Index);
    void* old = FList[Index];
    if (old == Item) return;
    FList[Index] = Item;
    if (old != nullptr) Notify(old, lnDeleted);
    if (Item != nullptr) Notify(Item, lnAdded);
}

void* TList::First() const { return Items(0); }

void* TList::Last() const { return Items(Count() - 1); }

void TList::SetCount(int NewCount) {
    if (NewCount < 0) throw EListError("List count out of bounds (" + std::to_string(NewCount) + ")");
    if (NewCount > Count()) {
        FList.resize(NewCount, nullptr);
    } else {
        for (int i = Count() - 1; i >= NewCount; --i) Delete(i);
    }
}

void TList::SetCapacity(int NewCapacity) {
    if (NewCapacity < Count())
        throw EListError("List capacity out of bounds (" + std::to_string(NewCapacity) + ")");
    if (NewCapacity > static_cast<int>(FList.capacity())) {
        FList.reserve(NewCapacity);
    } else if (NewCapacity < static_cast<int>(FList.capacity())) {
        std::vector<void*> shrunk;
        shrunk.reserve(NewCapacity);
        shrunk.assign(FList.begin(), FList.end());
        FList.swap(shrunk);
    }
}

TList* TList::Expand() {
    if (FList.size() == FList.capacity()) FList.reserve(std::max<size_t>(16, FList.capacity() * 2));
    return this;
}

void TList::Clear() {
    SetCount(0);
    SetCapacity(0);
}

void TList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FList[Index1], FList[Index2]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    auto cur = FList.begin() + CurIndex, dest = FList.begin() + NewIndex;
    if (CurIndex < NewIndex)
        std::rotate(cur, cur + 1, dest + 1);
    else
        std::rotate(dest, cur, cur + 1);
}

void TList::Pack() {
    for (int i = Count() - 1; i >= 0; --i)
        if (FList[i] == nullptr) FList.erase(FList.begin() + i);
}

void TList::Sort(const TListSortCompare& Compare) {
    if (Count() > 1)
        std::stable_sort(FList.begin(), FList.end(), [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Assign(TList* ListA) {
    if (ListA == this) return;
    Clear();
    SetCapacity(ListA->Count());
    for (int i = 0; i < ListA->Count(); ++i) Add(ListA->Items(i));
}

// ---- TStrings ----

int TStrings::Add(const std::string& S) {
    int result = GetCount();
    Insert(result, S);
    return result;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    int result = Add(S);
    PutObject(result, AObject);
    return result;
}

void TStrings::AddStrings(TStrings* Strings) {
    Updating([&] {
        const int n = Strings->Count();  // fixed first: Strings may be this list
        for (int i = 0; i < n; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
    });
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2) {
    Updating([&] {
        std::string s = Get(Index1);
        TObject* o = GetObject(Index1);
        Put(Index1, Get(Index2));
        PutObject(Index1, GetObject(Index2));
        Put(Index2, s);
        PutObject(Index2, o);
    });
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    Updating([&] {
        std::string s = Get(CurIndex);
        TObject* o = GetObject(CurIndex);
        Delete(CurIndex);
        InsertObject(NewIndex, s, o);
    });
}

void TStrings::Put(int Index, const std::string& S) {
    TObject* o = GetObject(Index);
    Updating([&] {
        Delete(Index);
        InsertObject(Index, S, o);
    });
}

void TStrings::PutObject(int, TObject*) {}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::SetCapacity(int) {}

int TStrings::IndexOf(const std::string& S) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (CompareStrings(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
    for (int i = 0, n = GetCount(); i < n; ++i) {
        std::string s = Get(i);
        size_t p = s.find(FNameValueSeparator);
        if (p != std::string::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (GetObject(i) == AObject) return i;
    return -1;
}

bool TStrings::Equals(TStrings* Strings) const {
    const int n = GetCount();
    if (Strings == nullptr || n != Strings->GetCount()) return false;
    for (int i = 0; i < n; ++i)
        if (Get(i) != Strings->Get(i)) return false;
    return true;
}

std::string TStrings::GetTextStr() const {
    std::string result;
    for (int i = 0, n = GetCount(); i < n; ++i) {
        result += Get(i);
        result += sLineBreak;
    }
    return result;
}

void TStrings::SetTextStr(const std::string& Value) {
    Updating([&] {
        Clear();
        const size_t n = Value.size();
        const char* text = Value.data();
        size_t p = 0;
        while (p < n) {
            size_t start = p;
            while (p < n && text[p] != '\n' && text[p] != '\r') ++p;
            Add(std::string(text + start, p - start));
            if (p < n && text[p] == '\r') ++p;
            if (p < n && text[p] == '\n') ++p;
        }
    });
}

std::string TStrings::DelimitedText() const { return JoinDelimited(*this, FDelimiter, FQuoteChar, FStrictDelimiter); }

std::string TStrings::CommaText() const { return JoinDelimited(*this, ',', '"', false); }

void TStrings::SetDelimitedText(const std::string& Value) {
    const char delimiter = FDelimiter, quote = FQuoteChar;
    const bool strict = FStrictDelimiter;
    Updating([&] {
        Clear();
        const size_t n = Value.size();
        size_t p = 0;
        auto skipBlanks = [&] {
            if (!strict)
                while (p < n && IsBlank(Value[p])) ++p;
        };
        skipBlanks();
        while (p < n) {
            std::string s;
            if (Value[p] == quote) {
                s = ExtractQuoted(Value, p, quote);
            } else {
                size_t start = p;
                while (p < n && Value[p] != delimiter && (strict || !IsBlank(Value[p]))) ++p;
                s.assign(Value, start, p - start);
            }
            Add(s);
            skipBlanks();
            if (p < n && Value[p] == delimiter) {
                // A delimiter that ends the text announces a last, empty string.
                if (p + 1 == n) Add(std::string());
                ++p;
                skipBlanks();
            }
        }
    });
}

void TStrings::SetCommaText(const std::string& Value) {
    const char delimiter = FDelimiter, quote = FQuoteChar;
    const bool strict = FStrictDelimiter;
    FDelimiter = ',';
    FQuoteChar = '"';
    FStrictDelimiter = false;
    try {
        SetDelimitedText(Value);
    } catch (...) {
        FDelimiter = delimiter;
        FQuoteChar = quote;
        FStrictDelimiter = strict;
        throw;
    }
    FDelimiter = delimiter;
    FQuoteChar = quote;
    FStrictDelimiter = strict;
}

std::string TStrings::Names(int Index) const {
    std::string s = Get(Index);
    size_t p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(const std::string& Name) const {
    int i = IndexOfName(Name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
    int i = IndexOfName(Name);
    if (!Value.empty()) {
        std::string entry = Name + FNameValueSeparator + Value;
        if (i < 0)
            Add(entry);
        else
            Put(i, entry);
    } else if (i >= 0) {
        Delete(i);
    }
}

std::string TStrings::ValueFromIndex(int Index) const {
    if (Index < 0) return std::string();
    std::string s = Get(Index);
    size_t p = s.find(FNameValueSeparator);
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value) {
    if (!Value.empty()) {
        if (Index < 0) Index = Add(std::string());
        Put(Index, Names(Index) + FNameValueSeparator + Value);
    } else if (Index >= 0) {
        Delete(Index);
    }
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0) return;
    --FUpdateCount;
    if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const { return CompareTextAscii(S1, S2); }

void TStrings::LoadFromStream(TStream* Stream) {
    Updating([&] {
        std::string text;
        int64_t size = Stream->Size() - Stream->Position();
        if (size > 0) {
            text.resize(static_cast<size_t>(size));
            int64_t got = 0;
            while (got < size) {
                int64_t n = Stream->Read(text.data() + got, size - got);
                if (n <= 0) break;
                got += n;
            }
            text.resize(static_cast<size_t>(got));
        }
        // Streams that cannot tell their size (pipes) are read to their end.
        char buffer[16384];
        for (;;) {
            int64_t n = Stream->Read(buffer, sizeof buffer);
            if (n <= 0) break;
            text.append(buffer, static_cast<size_t>(n));
        }
        if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
        SetTextStr(text);
    });
}

void TStrings::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TStrings::SaveToStream(TStream* Stream) {
    std::string text = GetTextStr();
    Stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

void TStrings::SaveToFile(const std::string& FileName) {
    TFileStream stream(FileName, fmCreate);
    SaveToStream(&stream);
}

void TStrings::Assign(TPersistent* Source) {
    if (Source != nullptr && Source->Is<TStrings>()) {
        auto* src = static_cast<TStrings*>(Source);
        if (src == this) return;
        Updating([&] {
            Clear();
            FDelimiter = src->FDelimiter;
            FQuoteChar = src->FQuoteChar;
            FNameValueSeparator = src->FNameValueSeparator;
            FStrictDelimiter = src->FStrictDelimiter;
            AddStrings(src);
        });
        return;
    }
    TPersistent::Assign(Source);
}

// ---- the store of TStringList ----

namespace detail {

struct TStringItem {
    std::string FString;
    TObject* FObject = nullptr;
};

// The items of a string list in blocks of at most MaxBlock items, with the index
// of each block's first item. Finding an index is a binary search over the blocks
// (or a hit on the block used last, which makes walks in index order O(1) per
// item); inserting or deleting moves items within one block and renumbers the
// blocks after it. Blocks are never empty.
class TStringItemStore {
public:
    static constexpr int MaxBlock = 1024;

    int Count() const { return FCount; }

    TStringItem& At(int Index) {
        size_t k = BlockOf(Index);
        return FBlocks[k][static_cast<size_t>(Index - FStart[k])];
    }
    const TStringItem& At(int Index) const { return const_cast<TStringItemStore*>(this)->At(Index); }

    void Insert(int Index, TStringItem Item) {
        if (FBlocks.empty()) {
            FBlocks.emplace_back();
            FStart.push_back(0);
        }
        if (Index == FCount) {
            // Appending fills the last block and then starts a new one.
            if (static_cast<int>(FBlocks.back().size()) >= MaxBlock) {
                FBlocks.emplace_back();
                FBlocks.back().reserve(MaxBlock);
                FStart.push_back(FCount);
            }
            FBlocks.back().push_back(std::move(Item));
            ++FCount;
            return;
        }
        size_t k = BlockOf(Index);
        auto& block = FBlocks[k];
        block.insert(block.begin() + (Index - FStart[k]), std::move(Item));
        for (size_t j = k + 1; j < FStart.size(); ++j) ++FStart[j];
        ++FCount;
        if (static_cast<int>(block.size()) > MaxBlock) Split(k);
    }

    void Erase(int Index) {
        size_t k = BlockOf(Index);
        auto& block = FBlocks[k];
        block.erase(block.begin() + (Index - FStart[k]));
        for (size_t j = k + 1; j < FStart.size(); ++j) --FStart[j];
        --FCount;
        if (block.empty()) {
            FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(k));
            FStart.erase(FStart.begin() + static_cast<std::ptrdiff_t>(k));
            FHint.store(0, std::memory_order_relaxed);
        } else if (static_cast<int>(block.size()) < MaxBlock / 4) {
            // Join small neighbours so that deletions do not leave many tiny blocks.
            if (k + 1 < FBlocks.size() && block.size() + FBlocks[k + 1].size() <= MaxBlock / 2)
                Join(k);
            else if (k > 0 && block.size() + FBlocks[k - 1].size() <= MaxBlock / 2)
                Join(k - 1);
        }
    }

    void Clear() {
        FBlocks.clear();
        FStart.clear();
        FCount = 0;
        FHint.store(0, std::memory_order_relaxed);
    }

    // The first index whose item is not less than the key (Less tells whether an
    // item is less), as std::lower_bound over the whole list.
    template <class Less>
    int LowerBound(const Less& ItemLess) const {
        size_t lo = 0, hi = FBlocks.size();
        while (lo < hi) {
            size_t mid = lo + (hi - lo) / 2;
            if (ItemLess(FBlocks[mid].back()))
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo == FBlocks.size()) return FCount;
        const auto& block = FBlocks[lo];
        auto it = std::partition_point(block.begin(), block.end(), ItemLess);
        return FStart[lo] + static_cast<int>(it - block.begin());
    }

    // Calls Fn(index, item) in index order until it returns true; returns that index or -1.
    template <class F>
    int FindIf(const F& Fn) const {
        for (size_t k = 0; k < FBlocks.size(); ++k) {
            int index = FStart[k];
            for (const TStringItem& item : FBlocks[k]) {
                if (Fn(item)) return index;
                ++index;
            }
        }
        return -1;
    }

    std::vector<TStringItem> TakeAll() {
        std::vector<TStringItem> all;
        if (FBlocks.size() == 1) {
            all = std::move(FBlocks[0]);
        } else {
            all.reserve(static_cast<size_t>(FCount));
            for (auto& block : FBlocks) std::move(block.begin(), block.end(), std::back_inserter(all));
        }
        Clear();
        return all;
    }

    void Assign(std::vector<TStringItem>&& Items) {
        Clear();
        const size_t n = Items.size();
        if (n == 0) return;
        if (n <= static_cast<size_t>(MaxBlock)) {
            FBlocks.push_back(std::move(Items));
            FStart.push_back(0);
        } else {
            // Blocks three quarters full leave room for later insertions.
            const size_t per = MaxBlock * 3 / 4;
            for (size_t i = 0; i < n; i += per) {
                size_t end = std::min(n, i + per);
                FStart.push_back(static_cast<int>(i));
                FBlocks.emplace_back(std::make_move_iterator(Items.begin() + static_cast<std::ptrdiff_t>(i)),
                                     std::make_move_iterator(Items.begin() + static_cast<std::ptrdiff_t>(end)));
            }
        }
        FCount = static_cast<int>(n);
    }

    void Reserve(int Capacity) {
        FBlocks.reserve(static_cast<size_t>(Capacity / MaxBlock + 1));
        FStart.reserve(static_cast<size_t>(Capacity / MaxBlock + 1));
    }

    // Calls Fn(item) for every item in index order.
    template <class F>
    void ForEach(const F& Fn) const {
        for (const auto& block : FBlocks)
            for (const TStringItem& item : block) Fn(item);
    }

private:
    size_t BlockOf(int Index) const {
        const size_t n = FBlocks.size();
        auto holds = [&](size_t k) {
            return k < n && FStart[k] <= Index && Index - FStart[k] < static_cast<int>(FBlocks[k].size());
        };
        size_t hint = FHint.load(std::memory_order_relaxed);
        if (holds(hint)) return hint;
        size_t k;
        if (holds(hint + 1))
            k = hint + 1;
        else if (hint > 0 && holds(hint - 1))
            k = hint - 1;
        else
            k = static_cast<size_t>(std::upper_bound(FStart.begin(), FStart.end(), Index) - FStart.begin()) - 1;
        FHint.store(k, std::memory_order_relaxed);
        return k;
    }

    void Split(size_t k) {
        auto& block = FBlocks[k];
        const size_t half = block.size() / 2;
        std::vector<TStringItem> tail(std::make_move_iterator(block.begin() + static_cast<std::ptrdiff_t>(half)),
                                      std::make_move_iterator(block.end()));
        block.erase(block.begin() + static_cast<std::ptrdiff_t>(half), block.end());
        const int start = FStart[k] + static_cast<int>(half);
        FBlocks.insert(FBlocks.begin() + static_cast<std::ptrdiff_t>(k + 1), std::move(tail));
        FStart.insert(FStart.begin() + static_cast<std::ptrdiff_t>(k + 1), start);
    }

    // Moves block k + 1 onto the end of block k.
    void Join(size_t k) {
        auto& into = FBlocks[k];
        auto& from = FBlocks[k + 1];
        std::move(from.begin(), from.end(), std::back_inserter(into));
        FBlocks.erase(FBlocks.begin() + static_cast<std::ptrdiff_t>(k + 1));
        FStart.erase(FStart.begin() + static_cast<std::ptrdiff_t>(k + 1));
        FHint.store(0, std::memory_order_relaxed);
    }

    std::vector<std::vector<TStringItem>> FBlocks;
    std::vector<int> FStart;
    int FCount = 0;
    // The block of the last lookup; shared by readers, hence atomic.
    mutable std::atomic<size_t> FHint{0};
};

}  // namespace detail

// ---- TStringList ----

TStringList::TStringList() : FItems(std::make_unique<detail::TStringItemStore>()) {}

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= FItems->Count()) throw EStringListError(IndexMessage(Index));
}

void TStringList::CheckUnsorted() const {
    if (FSorted) throw EStringListError("Operation not allowed on sorted string list");
}

void TStringList::Changing() {
    if (UpdateCount() == 0) OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0) OnChange(this);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* AObject) {
    int index;
    if (!FSorted) {
        index = FItems->Count();
    } else if (Find(S, index)) {
        switch (FDuplicates) {
            case dupIgnore: return index;
            case dupError: throw EStringListError("String list does not allow duplicates");
            case dupAccept: break;
        }
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
    Changing();
    FItems->Insert(Index, detail::TStringItem{S, AObject});
    Changed();
}

void TStringList::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject) {
    CheckUnsorted();
    if (Index < 0 || Index > FItems->Count()) throw EStringListError(IndexMessage(Index));
    InsertItem(Index, S, AObject);
}

void TStringList::Clear() {
    if (FItems->Count() == 0) return;
    Changing();
    FItems->Clear();
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    FItems->Erase(Index);
    Changed();
}

void TStringList::ExchangeItems(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    if (Index1 != Index2) std::swap(FItems->At(Index1), FItems->At(Index2));
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckUnsorted();
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    ExchangeItems(Index1, Index2);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckUnsorted();
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    Changing();
    detail::TStringItem item = std::move(FItems->At(CurIndex));
    FItems->Erase(CurIndex);
    FItems->Insert(NewIndex, std::move(item));
    Changed();
}

void TStringList::Put(int Index, const std::string& S) {
    CheckIndex(Index);
    if (FSorted) {
        // Allowed only when the string keeps its place in the order.
        auto fits = [&](const std::string& before, const std::string& after) {
            int c = CompareStrings(before, after);
            return c < 0 || (c == 0 && FDuplicates == dupAccept);
        };
        const int last = FItems->Count() - 1;
        if ((Index > 0 && !fits(FItems->At(Index - 1).FString, S)) ||
            (Index < last && !fits(S, FItems->At(Index + 1).FString)))
            throw EStringListError("Operation not allowed on sorted string list");
    }
    Changing();
    FItems->At(Index).FString = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    FItems->At(Index).FObject = AObject;
    Changed();
}

std::string TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FItems->At(Index).FString;
}

int TStringList::GetCount() const { return FItems->Count(); }

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return FItems->At(Index).FObject;
}

int TStringList::GetCapacity() const { return std::max(FCapacity, FItems->Count()); }

void TStringList::SetCapacity(int NewCapacity) {
    if (NewCapacity < FItems->Count())
        throw EStringListError("List capacity out of bounds (" + std::to_string(NewCapacity) + ")");
    FCapacity = NewCapacity;
    FItems->Reserve(NewCapacity);
}

std::string TStringList::GetTextStr() const {
    size_t size = 0;
    const size_t breakLength = std::char_traits<char>::length(sLineBreak);
    FItems->ForEach([&](const detail::TStringItem& item) { size += item.FString.size() + breakLength; });
    std::string result;
    result.reserve(size);
    FItems->ForEach([&](const detail::TStringItem& item) {
        result += item.FString;
        result += sLineBreak;
    });
    return result;
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
    return FCaseSensitive ? CompareBytes(S1, S2) : CompareTextAscii(S1, S2);
}

int TStringList::IndexOf(const std::string& S) const {
    if (FSorted) {
        int index;
        return Find(S, index) ? index : -1;
    }
    return FItems->FindIf([&](const detail::TStringItem& item) { return CompareStrings(item.FString, S) == 0; });
}

bool TStringList::Find(const std::string& S, int& Index) const {
    Index = FItems->LowerBound([&](const detail::TStringItem& item) { return CompareStrings(item.FString, S) < 0; });
    return Index < FItems->Count() && CompareStrings(FItems->At(Index).FString, S) == 0;
}

void TStringList::Sort() {
    if (FSorted || FItems->Count() < 2) return;
    Changing();
    std::vector<detail::TStringItem> all = FItems->TakeAll();
    try {
        std::stable_sort(all.begin(), all.end(), [&](const detail::TStringItem& a, const detail::TStringItem& b) {
            return CompareStrings(a.FString, b.FString) < 0;
        });
    } catch (...) {
        FItems->Assign(std::move(all));
        throw;
    }
    FItems->Assign(std::move(all));
    Changed();
}

void TStringList::CustomSort(const TStringListSortCompare& Compare) {
    if (FSorted || FItems->Count() < 2) return;
    Changing();
    QuickSort(0, FItems->Count() - 1, Compare);
    Changed();
}

// The framework's quicksort, exchanging in place so that Compare sees the list as
// it is; it recurses into the smaller part only, which bounds the stack depth.
void TStringList::QuickSort(int L, int R, const TStringListSortCompare& Compare) {
    while (L < R) {
        int i = L, j = R, p = L + (R - L) / 2;
        do {
            while (Compare(this, i, p) < 0) ++i;
            while (Compare(this, j, p) > 0) --j;
            if (i <= j) {
                if (i != j) ExchangeItems(i, j);
                if (p == i)
                    p = j;
                else if (p == j)
                    p = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - L < R - i) {
            if (L < j) QuickSort(L, j, Compare);
            L = i;
        } else {
            if (i < R) QuickSort(i, R, Compare);
            R = j;
        }
    }
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    if (FSorted) {
        // The order depends on the comparison: sort again under the new one.
        FSorted = false;
        try {
            Sort();
        } catch (...) {
            FSorted = true;
            throw;
        }
        FSorted = true;
    }
}

}  // namespace host
