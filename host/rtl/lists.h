// Lists: the pointer list TList, the abstract string list TStrings and TStringList.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/rtl/events.h"
#include "host/rtl/persistent.h"

namespace host {

class TStream;
class TFiler;

// ---- TList ----

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Orders two items: negative when Item1 goes first, 0 when equal, positive otherwise.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

// A list of untyped pointers. Index errors raise EListError "List index out of
// bounds (<index>)". Descendants that own their items hear of every non-null item
// that enters or leaves through Notify; since a destructor does not dispatch to
// descendants, such a descendant clears the list in its own destructor.
class TList : public TObject {
    HOST_CLASS(TList, TObject)
public:
    TList() = default;
    ~TList() override;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Deletes the first occurrence of Item and returns its index, or -1.
    int Remove(void* Item);
    // Takes the first occurrence of Item out of the list (notified as lnExtracted)
    // and returns it, or nullptr when it is not there.
    void* Extract(void* Item);
    int IndexOf(void* Item) const;

    void* Items(int Index) const;
    void Put(int Index, void* Item);
    void* First() const;
    void* Last() const;

    int Count() const { return static_cast<int>(FList.size()); }
    // Growing appends null items; shrinking deletes items from the end.
    void SetCount(int NewCount);
    int Capacity() const { return static_cast<int>(FList.capacity()); }
    void SetCapacity(int NewCapacity);
    // Makes room for at least one more item and returns the list.
    TList* Expand();

    virtual void Clear();
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    // Deletes every null item.
    void Pack();
    // Sorts with Compare; items that compare equal keep their order.
    void Sort(const TListSortCompare& Compare);
    // Makes this list a copy of ListA.
    void Assign(TList* ListA);

    // The items as an array of Count() pointers.
    void* const* List() const { return FList.data(); }

protected:
    virtual void Notify(void* Ptr, TListNotification Action);

private:
    void CheckIndex(int Index) const;
    std::vector<void*> FList;
};

// ---- TStrings ----

// A list of strings, each with an associated object, as the base of every string
// list (string lists, the lines of a memo, the items of a list box). Descendants
// store the strings; this class builds text, comma text, name=value access,
// searching, copying, update nesting and loading and saving on top of a few
// primitives.
class TStrings : public TPersistent {
    HOST_CLASS(TStrings, TPersistent)
public:
    TStrings() = default;

    // Appends S and returns its index.
    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    void Append(const std::string& S) { Add(S); }
    // Appends every string (with its object) of Strings.
    virtual void AddStrings(TStrings* Strings);
    virtual void Insert(int Index, const std::string& S) = 0;
    virtual void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);

    int Count() const { return GetCount(); }
    std::string Strings(int Index) const { return Get(Index); }
    virtual void Put(int Index, const std::string& S);
    TObject* Objects(int Index) const { return GetObject(Index); }
    virtual void PutObject(int Index, TObject* AObject);
    int Capacity() const { return GetCapacity(); }
    virtual void SetCapacity(int NewCapacity);

    // The index of the first string equal to S (as CompareStrings sees it), or -1.
    virtual int IndexOf(const std::string& S) const;
    // The index of the first "name=value" string whose name is Name, or -1.
    virtual int IndexOfName(const std::string& Name) const;
    virtual int IndexOfObject(TObject* AObject) const;
    // True when both lists hold the same strings in the same order (compared
    // exactly; objects are not compared).
    virtual bool Equals(TStrings* Strings) const;

    // The strings, each followed by the host's line break (sLineBreak, "\n").
    std::string Text() const { return GetTextStr(); }
    // Replaces the strings with the lines of Value, split at CR, LF or CR LF.
    void SetText(const std::string& Value) { SetTextStr(Value); }
    std::string GetText() const { return GetTextStr(); }

    // Delimiter-separated text. Strings holding a blank, a control character, the
    // quote character or the delimiter are quoted (with the quote doubled inside);
    // reading splits at delimiters and, unless StrictDelimiter, at blanks outside
    // quotes. A single empty string is written as two quote characters.
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& Value);
    // DelimitedText with ',' and '"'.
    std::string CommaText() const;
    void SetCommaText(const std::string& Value);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char Value) { FDelimiter = Value; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char Value) { FQuoteChar = Value; }
    bool StrictDelimiter() const { return FStrictDelimiter; }
    void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }

    // Name=value access.
    char NameValueSeparator() const { return FNameValueSeparator; }
    void SetNameValueSeparator(char Value) { FNameValueSeparator = Value; }
    // The part of string Index before the separator; "" when it has none.
    std::string Names(int Index) const;
    // The value of the entry named Name; "" when there is none.
    std::string Values(const std::string& Name) const;
    // Sets the value of the entry named Name, appending it when absent; an empty
    // value deletes the entry.
    void SetValues(const std::string& Name, const std::string& Value);
    // The part of string Index after the separator; "" when it has none.
    std::string ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const std::string& Value);

    // Updates nest; a string list reports one change around the outermost update.
    void BeginUpdate();
    void EndUpdate();

    // UTF-8 text, one string per line; a UTF-8 byte-order mark at the start is skipped.
    virtual void LoadFromStream(TStream* Stream);
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToStream(TStream* Stream);
    virtual void SaveToFile(const std::string& FileName);

    // Copies the strings and objects of another TStrings.
    void Assign(TPersistent* Source) override;
    // Streams the strings as the "Strings" property of form files.
    void DefineProperties(TFiler* Filer) override;

protected:
    virtual std::string Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int Index) const;
    virtual int GetCapacity() const { return GetCount(); }
    virtual std::string GetTextStr() const;
    virtual void SetTextStr(const std::string& Value);
    // Called with true when the outermost update begins and false when it ends.
    virtual void SetUpdateState(bool Updating);
    // Compares two strings as IndexOf and sorting do: without regard to ASCII case here.
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
    int UpdateCount() const { return FUpdateCount; }

    // Runs Fn between BeginUpdate and EndUpdate, ending the update on the way out.
    template <class F>
    void Updating(F&& Fn) {
        BeginUpdate();
        try {
            Fn();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }

private:
    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
    char FNameValueSeparator = '=';
    bool FStrictDelimiter = false;
};

// ---- TStringList ----

// What adding a string that a sorted list already holds does.
enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// Orders the strings at Index1 and Index2 of List (negative, 0, positive).
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

namespace detail {
class TStringItemStore;
}

// The string list: strings with objects, optionally kept sorted. Index errors raise
// EStringListError "List index out of bounds (<index>)". Adding, inserting and
// deleting cost O(log n) lookups plus a move within a block of at most about a
// thousand items, so big lists, sorted or not, stay fast; reading strings in index
// order is O(1) per string.
class TStringList : public TStrings {
    HOST_CLASS(TStringList, TStrings)
public:
    TStringList();
    ~TStringList() override;

    // On a sorted list the string goes where it sorts; a duplicate is then ignored
    // (returning the index of the string already there), accepted, or refused with
    // EStringListError "String list does not allow duplicates", as Duplicates says.
    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Clear() override;
    void Delete(int Index) override;
    // Insert, Move and Exchange raise EStringListError "Operation not allowed on
    // sorted string list" on a sorted list; so does Put unless the new string keeps
    // its place in the order.
    void Insert(int Index, const std::string& S) override;
    void InsertObject(int Index, const std::string& S, TObject* AObject) override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    void Put(int Index, const std::string& S) override;
    void PutObject(int Index, TObject* AObject) override;
    // Raises EStringListError "List capacity out of bounds (<n>)" below Count.
    void SetCapacity(int NewCapacity) override;
    // A binary search on a sorted list, a scan otherwise.
    int IndexOf(const std::string& S) const override;

    // Looks S up in a sorted list by binary search: true when it is there. Index
    // receives its index, or the index where it would be inserted.
    virtual bool Find(const std::string& S, int& Index) const;
    // Sorts an unsorted list with CompareStrings.
    virtual void Sort();
    // Sorts an unsorted list with Compare, exchanging strings in place (Compare
    // may look at the list while it sorts).
    virtual void CustomSort(const TStringListSortCompare& Compare);

    bool Sorted() const { return FSorted; }
    // Sorting a list that was not sorted sorts it first.
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    // Off by default: strings then compare with ASCII case folding.
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    std::string Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    int GetCapacity() const override;
    std::string GetTextStr() const override;
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const std::string& S1, const std::string& S2) const override;
    // OnChange and OnChanging, outside updates.
    virtual void Changed();
    virtual void Changing();
    virtual void InsertItem(int Index, const std::string& S, TObject* AObject);

private:
    void CheckIndex(int Index) const;
    void CheckUnsorted() const;
    void ExchangeItems(int Index1, int Index2);
    void QuickSort(int L, int R, const TStringListSortCompare& Compare);

    std::unique_ptr<detail::TStringItemStore> FItems;
    int FCapacity = 0;
    TDuplicates FDuplicates = dupIgnore;
    bool FSorted = false;
    bool FCaseSensitive = false;
};

}  // namespace host
