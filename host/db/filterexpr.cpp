// Filter expressions: tokenizer, parser to a tree, three-valued evaluation per record, SQL translation.
#include "host/db/filterexpr.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "host/db/engine_internal.h"
#include "host/rtl/dates.h"
#include "host/rtl/exceptions.h"

namespace host {

namespace {

// The texts the message catalogue reserves for filter expressions.
constexpr const char* kTermination = "Filter expression incorrectly terminated";
constexpr const char* kNameError = "Unterminated field name";
constexpr const char* kStringError = "Unterminated string constant";
constexpr const char* kInvalidChar = "Invalid filter expression character: '%s'";
constexpr const char* kNoRParen = "')' expected but %s found";
constexpr const char* kExpected = "Expression expected but %s found";
constexpr const char* kBadCompare = "Relational operators require a field and a constant";
constexpr const char* kBadField = "Field '%s' cannot be used in a filter expression";
constexpr const char* kBadNullTest = "NULL only allowed with '=' and '<>'";
constexpr const char* kRangeError = "Constant out of range";
constexpr const char* kNotBoolean = "Field '%s' is not of type Boolean";
constexpr const char* kIncorrect = "Incorrectly formed filter expression";
constexpr const char* kNothing = "nothing";

[[noreturn]] void Raise(const char* Text, const std::string& Arg = {}) {
    std::string M = Text;
    const size_t P = M.find("%s");
    if (P != std::string::npos) M.replace(P, 2, Arg);
    throw EExprParserError(M);
}

enum class TokKind { End, Field, String, Number, LParen, RParen, Op, And, Or, Not, Null, Is, True, False };

struct Token {
    TokKind Kind = TokKind::End;
    std::string Text;    // field name, string value, number text, operator
    std::string Source;  // as written, for messages
};

enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

bool IsIdentStart(unsigned char C) { return std::isalpha(C) || C == '_' || C >= 0x80; }
bool IsIdentChar(unsigned char C) { return std::isalnum(C) || C == '_' || C >= 0x80; }

std::vector<Token> Tokenize(const std::string& S) {
    std::vector<Token> R;
    size_t I = 0;
    while (I < S.size()) {
        const unsigned char C = static_cast<unsigned char>(S[I]);
        if (std::isspace(C)) {
            ++I;
            continue;
        }
        Token T;
        const size_t Begin = I;
        if (C == '[') {
            const size_t Close = S.find(']', I + 1);
            if (Close == std::string::npos) Raise(kNameError);
            T.Kind = TokKind::Field;
            T.Text = S.substr(I + 1, Close - I - 1);
            I = Close + 1;
        } else if (C == '\'' || C == '"') {
            ++I;
            bool Closed = false;
            while (I < S.size()) {
                if (static_cast<unsigned char>(S[I]) == C) {
                    if (I + 1 < S.size() && static_cast<unsigned char>(S[I + 1]) == C) {
                        T.Text += S[I];
                        I += 2;
                        continue;
                    }
                    Closed = true;
                    ++I;
                    break;
                }
                T.Text += S[I++];
            }
            if (!Closed) Raise(kStringError);
            T.Kind = TokKind::String;
        } else if (std::isdigit(C) || (C == '.' && I + 1 < S.size() && std::isdigit(static_cast<unsigned char>(S[I + 1])))) {
            while (I < S.size() && (std::isdigit(static_cast<unsigned char>(S[I])) || S[I] == '.')) ++I;
            if (I < S.size() && (S[I] == 'e' || S[I] == 'E')) {
                size_t J = I + 1;
                if (J < S.size() && (S[J] == '+' || S[J] == '-')) ++J;
                if (J < S.size() && std::isdigit(static_cast<unsigned char>(S[J]))) {
                    I = J;
                    while (I < S.size() && std::isdigit(static_cast<unsigned char>(S[I]))) ++I;
                }
            }
            T.Kind = TokKind::Number;
            T.Text = S.substr(Begin, I - Begin);
        } else if (IsIdentStart(C)) {
            while (I < S.size() && IsIdentChar(static_cast<unsigned char>(S[I]))) ++I;
            T.Text = S.substr(Begin, I - Begin);
            const std::string U = dbi::Lower(T.Text);
            T.Kind = U == "and"     ? TokKind::And
                     : U == "or"    ? TokKind::Or
                     : U == "not"   ? TokKind::Not
                     : U == "null"  ? TokKind::Null
                     : U == "is"    ? TokKind::Is
                     : U == "true"  ? TokKind::True
                     : U == "false" ? TokKind::False
                                    : TokKind::Field;
        } else if (C == '(' || C == ')') {
            T.Kind = C == '(' ? TokKind::LParen : TokKind::RParen;
            ++I;
        } else if (C == '=' || C == '<' || C == '>') {
            ++I;
            if (I < S.size() && ((C == '<' && (S[I] == '>' || S[I] == '=')) || (C == '>' && S[I] == '='))) ++I;
            T.Kind = TokKind::Op;
            T.Text = S.substr(Begin, I - Begin);
        } else if (C == '-' && I + 1 < S.size() &&
                   (std::isdigit(static_cast<unsigned char>(S[I + 1])) || S[I + 1] == '.') &&
                   (R.empty() || R.back().Kind == TokKind::Op || R.back().Kind == TokKind::LParen)) {
            // A negative number where an operand is due.
            ++I;
            while (I < S.size() && (std::isdigit(static_cast<unsigned char>(S[I])) || S[I] == '.')) ++I;
            T.Kind = TokKind::Number;
            T.Text = S.substr(Begin, I - Begin);
        } else {
            size_t Len = 1;
            if (C >= 0xC0) Len = C >= 0xF0 ? 4 : C >= 0xE0 ? 3 : 2;
            Raise(kInvalidChar, S.substr(I, std::min(Len, S.size() - I)));
        }
        T.Source = S.substr(Begin, I - Begin);
        R.push_back(std::move(T));
    }
    R.push_back(Token{});
    return R;
}

enum class TV : uint8_t { False, True, Unknown };

TV Not(TV A) { return A == TV::Unknown ? A : A == TV::True ? TV::False : TV::True; }

}  // namespace

// A node of the compiled tree.
struct TFilterNode {
    enum class Kind { And, Or, Not, Compare, IsNull, IsNotNull, BoolField } K = Kind::Compare;
    std::unique_ptr<TFilterNode> A, B;
    size_t Field = 0;  // index into the fields
    Op Rel = Op::Eq;
    bool Partial = false;
    DBIValue Const;  // in the field's own terms (see Convert)
};

namespace {

int Cmp3(double A, double B) { return A < B ? -1 : A > B ? 1 : 0; }

TV Apply(Op O, int C) {
    bool R = false;
    switch (O) {
        case Op::Eq: R = C == 0; break;
        case Op::Ne: R = C != 0; break;
        case Op::Lt: R = C < 0; break;
        case Op::Gt: R = C > 0; break;
        case Op::Le: R = C <= 0; break;
        case Op::Ge: R = C >= 0; break;
    }
    return R ? TV::True : TV::False;
}

std::string FoldAscii(std::string S) {
    for (char& C : S)
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    return S;
}

bool IsStringField(const FLDDesc& F) { return F.iFldType == fldZSTRING; }
bool IsIntField(const FLDDesc& F) {
    return F.iFldType == fldINT16 || F.iFldType == fldUINT16 || F.iFldType == fldINT32 || F.iFldType == fldUINT32 ||
           F.iFldType == fldINT64;
}

const char* OpSql(Op O) {
    switch (O) {
        case Op::Eq: return "=";
        case Op::Ne: return "<>";
        case Op::Lt: return "<";
        case Op::Gt: return ">";
        case Op::Le: return "<=";
        case Op::Ge: return ">=";
    }
    return "=";
}

Op Flip(Op O) {
    switch (O) {
        case Op::Lt: return Op::Gt;
        case Op::Gt: return Op::Lt;
        case Op::Le: return Op::Ge;
        case Op::Ge: return Op::Le;
        default: return O;
    }
}

size_t Utf8Chars(const std::string& S) {
    size_t N = 0;
    for (unsigned char C : S)
        if ((C & 0xC0) != 0x80) ++N;
    return N;
}

}  // namespace

// The recursive-descent parser over the tokens.
class TFilterParser {
public:
    TFilterParser(const std::vector<FLDDesc>& Fields, unsigned Options, std::vector<Token> Toks)
        : FFields(Fields), FOptions(Options), FToks(std::move(Toks)) {}

    std::unique_ptr<TFilterNode> Parse() {
        auto N = Expr();
        if (Peek().Kind != TokKind::End) Raise(kTermination);
        return N;
    }

private:
    struct Operand {
        enum class Kind { Field, Const, Null, Expr } K = Kind::Const;
        size_t Field = 0;
        Token Tok;
        std::unique_ptr<TFilterNode> Node;
    };

    const std::vector<FLDDesc>& FFields;
    unsigned FOptions;
    std::vector<Token> FToks;
    size_t FPos = 0;

    const Token& Peek() const { return FToks[FPos]; }
    Token Take() { return FToks[FPos < FToks.size() - 1 ? FPos++ : FPos]; }
    static std::string Describe(const Token& T) { return T.Kind == TokKind::End ? kNothing : T.Source; }

    std::unique_ptr<TFilterNode> Join(TFilterNode::Kind K, std::unique_ptr<TFilterNode> A, std::unique_ptr<TFilterNode> B) {
        auto N = std::make_unique<TFilterNode>();
        N->K = K;
        N->A = std::move(A);
        N->B = std::move(B);
        return N;
    }

    // Operands joined left to right by one operator: OR of terms, AND of factors.
    std::unique_ptr<TFilterNode> Chain(TokKind Joiner, TFilterNode::Kind K, std::unique_ptr<TFilterNode> (TFilterParser::*Next)()) {
        auto L = (this->*Next)();
        while (Peek().Kind == Joiner) {
            Take();
            L = Join(K, std::move(L), (this->*Next)());
        }
        return L;
    }
    std::unique_ptr<TFilterNode> Expr() { return Chain(TokKind::Or, TFilterNode::Kind::Or, &TFilterParser::Term); }
    std::unique_ptr<TFilterNode> Term() { return Chain(TokKind::And, TFilterNode::Kind::And, &TFilterParser::Factor); }

    std::unique_ptr<TFilterNode> Factor() {
        if (Peek().Kind == TokKind::Not) {
            Take();
            return Join(TFilterNode::Kind::Not, Factor(), nullptr);
        }
        return Comparison();
    }

    Operand Primary() {
        Operand O;
        const Token T = Peek();
        switch (T.Kind) {
            case TokKind::LParen: {
                Take();
                O.K = Operand::Kind::Expr;
                O.Node = Expr();
                if (Peek().Kind != TokKind::RParen) Raise(kNoRParen, Describe(Peek()));
                Take();
                return O;
            }
            case TokKind::Field: {
                Take();
                O.K = Operand::Kind::Field;
                O.Field = FindField(T.Text);
                O.Tok = T;
                return O;
            }
            case TokKind::String:
            case TokKind::Number:
            case TokKind::True:
            case TokKind::False:
                Take();
                O.K = Operand::Kind::Const;
                O.Tok = T;
                return O;
            case TokKind::Null:
                Take();
                O.K = Operand::Kind::Null;
                O.Tok = T;
                return O;
            default: Raise(kExpected, Describe(T));
        }
    }

    size_t FindField(const std::string& Name) const {
        for (size_t I = 0; I < FFields.size(); ++I)
            if (dbi::SameText(FFields[I].szName, Name)) {
                const auto T = FFields[I].iFldType;
                if (T == fldBLOB || T == fldBYTES || T == fldVARBYTES || T == fldUNKNOWN) break;
                return I;
            }
        Raise(kBadField, Name);
    }

    std::unique_ptr<TFilterNode> Comparison() {
        Operand L = Primary();
        const Token& Next = Peek();
        if (Next.Kind == TokKind::Is) {
            Take();
            bool Negate = false;
            if (Peek().Kind == TokKind::Not) {
                Take();
                Negate = true;
            }
            if (Peek().Kind != TokKind::Null) Raise(kIncorrect);
            Take();
            if (L.K != Operand::Kind::Field) Raise(kBadCompare);
            auto N = std::make_unique<TFilterNode>();
            N->K = Negate ? TFilterNode::Kind::IsNotNull : TFilterNode::Kind::IsNull;
            N->Field = L.Field;
            return N;
        }
        if (Next.Kind != TokKind::Op) {
            switch (L.K) {
                case Operand::Kind::Expr: return std::move(L.Node);
                case Operand::Kind::Field: {
                    if (FFields[L.Field].iFldType != fldBOOL) Raise(kNotBoolean, FFields[L.Field].szName);
                    auto N = std::make_unique<TFilterNode>();
                    N->K = TFilterNode::Kind::BoolField;
                    N->Field = L.Field;
                    return N;
                }
                default: Raise(kIncorrect);
            }
        }
        const std::string OpText = Take().Text;
        const Op O = OpText == "=" ? Op::Eq : OpText == "<>" ? Op::Ne : OpText == "<" ? Op::Lt : OpText == ">" ? Op::Gt
                                                                       : OpText == "<=" ? Op::Le : Op::Ge;
        Operand R = Primary();
        if (L.K == Operand::Kind::Null || R.K == Operand::Kind::Null) {
            if (O != Op::Eq && O != Op::Ne) Raise(kBadNullTest);
            const Operand& F = L.K == Operand::Kind::Null ? R : L;
            if (F.K != Operand::Kind::Field) Raise(kBadCompare);
            auto N = std::make_unique<TFilterNode>();
            N->K = O == Op::Eq ? TFilterNode::Kind::IsNull : TFilterNode::Kind::IsNotNull;
            N->Field = F.Field;
            return N;
        }
        const bool LF = L.K == Operand::Kind::Field, RF = R.K == Operand::Kind::Field;
        const bool LC = L.K == Operand::Kind::Const, RC = R.K == Operand::Kind::Const;
        if (!((LF && RC) || (LC && RF))) Raise(kBadCompare);
        const Operand& F = LF ? L : R;
        const Operand& C = LF ? R : L;
        auto N = std::make_unique<TFilterNode>();
        N->K = TFilterNode::Kind::Compare;
        N->Field = F.Field;
        N->Rel = LF ? O : Flip(O);
        Convert(*N, FFields[F.Field], C.Tok);
        return N;
    }

    // The constant in the field's terms: strings as text, integers and Booleans
    // in iVal, floats in fVal, dates as days, times as ms, timestamps as ms.
    void Convert(TFilterNode& N, const FLDDesc& F, const Token& T) {
        DBIValue& V = N.Const;
        V.bNull = false;
        V.iFldType = F.iFldType;
        V.iSubType = F.iSubType;
        const bool Number = T.Kind == TokKind::Number;
        const bool Text = T.Kind == TokKind::String;
        const bool Bool = T.Kind == TokKind::True || T.Kind == TokKind::False;
        if (IsStringField(F)) {
            V.sVal = Bool ? (T.Kind == TokKind::True ? "True" : "False") : T.Text;
            if (Text && (N.Rel == Op::Eq || N.Rel == Op::Ne) && !(FOptions & fxoNoPartialCompare) && !V.sVal.empty() &&
                V.sVal.back() == '*') {
                N.Partial = true;
                V.sVal.pop_back();
            }
            return;
        }
        if (F.iFldType == fldBOOL) {
            if (Bool) V.iVal = T.Kind == TokKind::True;
            else if (Text && dbi::SameText(T.Text, "true")) V.iVal = 1;
            else if (Text && dbi::SameText(T.Text, "false")) V.iVal = 0;
            else if (Number && (T.Text == "0" || T.Text == "1")) V.iVal = T.Text == "1";
            else Raise(kRangeError);
            return;
        }
        if (IsIntField(F)) {
            if (Bool) Raise(kRangeError);
            errno = 0;
            char* End = nullptr;
            const double D = std::strtod(T.Text.c_str(), &End);
            if (T.Text.empty() || *End || errno || !std::isfinite(D) || D != std::floor(D)) Raise(kRangeError);
            int64_t Lo = std::numeric_limits<int64_t>::min(), Hi = std::numeric_limits<int64_t>::max();
            switch (F.iFldType) {
                case fldINT16: Lo = INT16_MIN, Hi = INT16_MAX; break;
                case fldUINT16: Lo = 0, Hi = UINT16_MAX; break;
                case fldINT32: Lo = INT32_MIN, Hi = INT32_MAX; break;
                case fldUINT32: Lo = 0, Hi = UINT32_MAX; break;
                default: break;
            }
            if (D < static_cast<double>(Lo) || D > static_cast<double>(Hi) || std::fabs(D) >= 9.2e18) Raise(kRangeError);
            V.iVal = static_cast<int64_t>(D);
            return;
        }
        if (F.iFldType == fldFLOAT || F.iFldType == fldBCD) {
            if (Bool) Raise(kRangeError);
            errno = 0;
            char* End = nullptr;
            V.fVal = std::strtod(T.Text.c_str(), &End);
            if (T.Text.empty() || *End || errno || !std::isfinite(V.fVal)) Raise(kRangeError);
            return;
        }
        // Dates and times: quoted text, in the stored form or the short date form.
        if (!Text) Raise(kRangeError);
        const char* S = T.Text.c_str();
        const size_t L = T.Text.size();
        TDateTime DT = 0;
        if (F.iFldType == fldDATE) {
            int32_t Days = 0;
            if (dbi::ParseDateText(S, L, Days)) V.iVal = Days;
            else if (TryStrToDate(T.Text, DT)) V.iVal = static_cast<int64_t>(std::floor(DT)) + DateDelta;
            else Raise(kRangeError);
        } else if (F.iFldType == fldTIME) {
            int32_t Ms = 0;
            if (dbi::ParseTimeText(S, L, Ms)) V.iVal = Ms;
            else if (TryStrToTime(T.Text, DT)) V.iVal = std::lround((DT - std::floor(DT)) * MSecsPerDay);
            else Raise(kRangeError);
        } else if (F.iFldType == fldTIMESTAMP) {
            double Ms = 0;
            if (dbi::ParseTimestampText(S, L, Ms)) V.fVal = Ms;
            else if (TryStrToDateTime(T.Text, DT)) V.fVal = std::floor((DT + DateDelta) * MSecsPerDay + 0.5);
            else Raise(kRangeError);
        } else Raise(kBadField, F.szName);
    }
};

namespace {

TV Eval(const TFilterNode& N, const std::vector<FLDDesc>& Fields, const uint8_t* Rec, unsigned Options) {
    switch (N.K) {
        case TFilterNode::Kind::And: {
            const TV A = Eval(*N.A, Fields, Rec, Options);
            if (A == TV::False) return A;
            const TV B = Eval(*N.B, Fields, Rec, Options);
            return B == TV::False ? B : (A == TV::Unknown || B == TV::Unknown) ? TV::Unknown : TV::True;
        }
        case TFilterNode::Kind::Or: {
            const TV A = Eval(*N.A, Fields, Rec, Options);
            if (A == TV::True) return A;
            const TV B = Eval(*N.B, Fields, Rec, Options);
            return B == TV::True ? B : (A == TV::Unknown || B == TV::Unknown) ? TV::Unknown : TV::False;
        }
        case TFilterNode::Kind::Not: return Not(Eval(*N.A, Fields, Rec, Options));
        default: break;
    }
    const FLDDesc& F = Fields[N.Field];
    const bool Blank = Rec[F.iNullOffset] != 0;
    if (N.K == TFilterNode::Kind::IsNull) return Blank ? TV::True : TV::False;
    if (N.K == TFilterNode::Kind::IsNotNull) return Blank ? TV::False : TV::True;
    if (Blank) return TV::Unknown;
    const DBIValue V = DbiValueFromNative(F, Rec + F.iOffset);
    if (N.K == TFilterNode::Kind::BoolField) return V.iVal ? TV::True : TV::False;
    int C = 0;
    if (IsStringField(F)) {
        const bool Ci = Options & fxoCaseInsensitive;
        std::string A = Ci ? FoldAscii(V.sVal) : V.sVal;
        const std::string B = Ci ? FoldAscii(N.Const.sVal) : N.Const.sVal;
        if (N.Partial) A = A.substr(0, B.size());
        const int R = A.compare(B);
        C = R < 0 ? -1 : R > 0 ? 1 : 0;
    } else if (F.iFldType == fldFLOAT || F.iFldType == fldBCD || F.iFldType == fldTIMESTAMP)
        C = Cmp3(V.fVal, N.Const.fVal);
    else C = V.iVal < N.Const.iVal ? -1 : V.iVal > N.Const.iVal ? 1 : 0;
    return Apply(N.Rel, C);
}

void ToSql(const TFilterNode& N, const std::vector<FLDDesc>& Fields, unsigned Options, std::string& W,
           std::vector<DBIValue>& P) {
    switch (N.K) {
        case TFilterNode::Kind::And:
        case TFilterNode::Kind::Or:
            W += "(";
            ToSql(*N.A, Fields, Options, W, P);
            W += N.K == TFilterNode::Kind::And ? " AND " : " OR ";
            ToSql(*N.B, Fields, Options, W, P);
            W += ")";
            return;
        case TFilterNode::Kind::Not:
            W += "(NOT ";
            ToSql(*N.A, Fields, Options, W, P);
            W += ")";
            return;
        default: break;
    }
    const FLDDesc& F = Fields[N.Field];
    const std::string Col = dbi::QuoteIdent(F.szName);
    switch (N.K) {
        case TFilterNode::Kind::IsNull: W += "(" + Col + " IS NULL)"; return;
        case TFilterNode::Kind::IsNotNull: W += "(" + Col + " IS NOT NULL)"; return;
        case TFilterNode::Kind::BoolField: W += "(" + Col + " <> 0)"; return;
        default: break;
    }
    DBIValue V = N.Const;
    if (IsStringField(F)) {
        const std::string Coll = (Options & fxoCaseInsensitive) ? " COLLATE NOCASE" : "";
        if (N.Partial)
            W += "(substr(" + Col + ", 1, " + std::to_string(Utf8Chars(V.sVal)) + ")" + Coll + " " + OpSql(N.Rel) + " ?)";
        else W += "(" + Col + Coll + " " + OpSql(N.Rel) + " ?)";
        V.iFldType = fldZSTRING;
    } else W += "(" + Col + " " + OpSql(N.Rel) + " ?)";
    P.push_back(V);
}

void CollectFields(const TFilterNode& N, std::vector<uint16_t>& Out, const std::vector<FLDDesc>& Fields) {
    if (N.A) CollectFields(*N.A, Out, Fields);
    if (N.B) CollectFields(*N.B, Out, Fields);
    if (N.K != TFilterNode::Kind::And && N.K != TFilterNode::Kind::Or && N.K != TFilterNode::Kind::Not) {
        const uint16_t No = Fields[N.Field].iFldNum;
        if (std::find(Out.begin(), Out.end(), No) == Out.end()) Out.push_back(No);
    }
}

}  // namespace

TFilterExpr::~TFilterExpr() = default;

std::shared_ptr<const TFilterExpr> TFilterExpr::Compile(const std::string& Text, const std::vector<FLDDesc>& Fields,
                                                        unsigned Options) {
    std::shared_ptr<TFilterExpr> E(new TFilterExpr());
    E->FText = Text;
    E->FOptions = Options;
    E->FFields = Fields;
    TFilterParser P(E->FFields, Options, Tokenize(Text));
    E->FRoot = P.Parse();
    E->FTranslatable = true;
    return E;
}

bool TFilterExpr::Evaluate(const uint8_t* RecBuf) const {
    return Eval(*FRoot, FFields, RecBuf, FOptions) == TV::True;
}

bool TFilterExpr::ToSQL(std::string& Where, std::vector<DBIValue>& Params) const {
    if (!FTranslatable) return false;
    Where.clear();
    Params.clear();
    ToSql(*FRoot, FFields, FOptions, Where, Params);
    return true;
}

std::vector<uint16_t> TFilterExpr::FieldsUsed() const {
    std::vector<uint16_t> R;
    CollectFields(*FRoot, R, FFields);
    return R;
}

TExprParser::TExprParser(hDBICur Cursor, const std::string& Text, unsigned Options, unsigned) {
    std::vector<FLDDesc> Fields;
    Check(DbiGetFieldDescs(Cursor, Fields));
    FExpr = TFilterExpr::Compile(Text, Fields, Options);
}

TExprParser::TExprParser(const std::vector<FLDDesc>& Fields, const std::string& Text, unsigned Options)
    : FExpr(TFilterExpr::Compile(Text, Fields, Options)) {}

}  // namespace host
