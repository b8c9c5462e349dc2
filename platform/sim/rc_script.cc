#include "platform/sim/rc_script.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace sim {
namespace {

// --- Text ------------------------------------------------------------------------------------

// Windows-1252 characters 0x80..0x9F and their Unicode code points (0 where undefined).
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char CodePointToCp1252(std::uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] != 0 && kCp1252High[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

const std::map<std::string, long long>& StandardNames();

// --- Arithmetic ------------------------------------------------------------------------------

// A resource compiler computes numbers in fixed-width unsigned arithmetic: a sum, a difference
// or a literal too big for it wraps around rather than failing. Done here in 64-bit unsigned
// arithmetic, the low 32 bits (all a resource keeps) come out the same as the compiler's.
long long Wrapped(unsigned long long value) { return static_cast<long long>(value); }

long long Combine(char op, long long left, long long right) {
    auto a = static_cast<unsigned long long>(left);
    auto b = static_cast<unsigned long long>(right);
    switch (op) {
        case '+':
            return Wrapped(a + b);
        case '-':
            return Wrapped(a - b);
        case '&':
            return Wrapped(a & b);
        default:
            return Wrapped(a | b);
    }
}

long long Negated(long long value) {
    return Wrapped(0ULL - static_cast<unsigned long long>(value));
}

// A literal as C writes it (0x.. hexadecimal, 0.. octal, else decimal), reduced modulo 2^64.
bool ParseWrappingNumber(const std::string& digits, long long* value) {
    unsigned base = 10;
    std::size_t i = 0;
    if (digits.size() > 1 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        i = 2;
    } else if (digits.size() > 1 && digits[0] == '0') {
        base = 8;
        i = 1;
    }
    if (i >= digits.size()) return false;
    unsigned long long result = 0;
    for (; i < digits.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(digits[i])));
        unsigned digit = base;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        if (digit >= base) return false;
        result = result * base + digit;
    }
    *value = Wrapped(result);
    return true;
}

// --- Tokens ----------------------------------------------------------------------------------

enum class Tok { End, Ident, Number, String, Punct };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // identifier (as written), string (Windows-1252), punctuation
    long long number = 0;
    int line = 0;
};

struct ParseError {
    std::string message;
};

class Lexer {
  public:
    Lexer(const std::string& text, std::map<std::string, long long>* defines, bool* systemNames)
        : text_(text), defines_(defines), systemNames_(systemNames) {}

    std::vector<Token> Run() {
        std::vector<Token> tokens;
        bool lineStart = true;
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
                lineStart = true;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++pos_;
                continue;
            }
            if (c == '/' && Peek(1) == '/') {
                SkipToLineEnd();
                continue;
            }
            if (c == '/' && Peek(1) == '*') {
                SkipBlockComment();
                continue;
            }
            if (c == '#' && lineStart) {
                Directive();
                continue;
            }
            lineStart = false;
            // Byte order mark of a UTF-8 file.
            if (static_cast<unsigned char>(c) == 0xEF && Peek(1) == '\xBB' && Peek(2) == '\xBF') {
                pos_ += 3;
                continue;
            }
            Token token;
            token.line = line_;
            if ((c == 'L' || c == 'l') && Peek(1) == '"') {
                ++pos_;
                c = '"';
            }
            if (c == '"') {
                token.kind = Tok::String;
                token.text = StringLiteral();
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                token.kind = Tok::Number;
                token.number = NumberLiteral();
            } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                token.kind = Tok::Ident;
                while (
                    pos_ < text_.size() &&
                    (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_')) {
                    token.text += text_[pos_++];
                }
            } else {
                token.kind = Tok::Punct;
                token.text = std::string(1, c);
                ++pos_;
            }
            tokens.push_back(token);
        }
        Token end;
        end.line = line_;
        tokens.push_back(end);
        return tokens;
    }

  private:
    char Peek(size_t ahead) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }

    void SkipToLineEnd() {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
    }

    void SkipBlockComment() {
        pos_ += 2;
        while (pos_ < text_.size() && !(text_[pos_] == '*' && Peek(1) == '/')) {
            if (text_[pos_] == '\n') ++line_;
            ++pos_;
        }
        pos_ = pos_ < text_.size() ? pos_ + 2 : pos_;
    }

    // Preprocessor lines: #define NAME value and #pragma code_page(N) count, the others are
    // skipped. A backslash at the end of a line continues it.
    void Directive() {
        std::string line;
        while (pos_ < text_.size() && text_[pos_] != '\n') {
            if (text_[pos_] == '\\' && Peek(1) == '\n') {
                pos_ += 2;
                ++line_;
                continue;
            }
            line += text_[pos_++];
        }
        size_t i = 1;
        auto skipBlanks = [&] {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        };
        auto word = [&] {
            std::string w;
            while (i < line.size() &&
                   (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '_')) {
                w += line[i++];
            }
            return w;
        };
        skipBlanks();
        std::string directive = word();
        if (directive == "pragma") {
            skipBlanks();
            if (word() == "code_page") {
                skipBlanks();
                if (i < line.size() && line[i] == '(') ++i;
                utf8_ = std::strtol(line.c_str() + i, nullptr, 10) == 65001;
            }
        } else if (directive == "include") {
            // windres knows the window, dialog and control constants only through the
            // system headers; so does this reader.
            skipBlanks();
            std::string header = line.substr(i);
            for (char& c : header)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            static const char* const systemHeaders[] = {"windows.h",  "winresrc.h", "winuser.h",
                                                        "winuser.rh", "winres.h",   "afxres.h",
                                                        "commctrl.h"};
            for (const char* known : systemHeaders) {
                if (header.find(known) != std::string::npos) *systemNames_ = true;
            }
        } else if (directive == "define") {
            skipBlanks();
            std::string name = word();
            if (name.empty() || (i < line.size() && line[i] == '(')) return;  // macros: ignored
            std::string value = line.substr(i);
            auto comment = value.find("//");
            if (comment != std::string::npos) value.erase(comment);
            std::map<std::string, long long> none;
            bool noSystemNames = false;
            Lexer inner(value, &none, &noSystemNames);
            std::vector<Token> tokens = inner.Run();
            long long number = 0;
            if (EvaluateDefine(tokens, &number)) (*defines_)[name] = number;
        }
    }

    // A define's value: a number, another define, or both joined by | + - and parentheses.
    bool EvaluateDefine(const std::vector<Token>& tokens, long long* value) const {
        long long result = 0;
        char op = '|';
        bool any = false;
        for (const Token& t : tokens) {
            if (t.kind == Tok::End) break;
            if (t.kind == Tok::Punct) {
                if (t.text == "(" || t.text == ")") continue;
                if (t.text == "|" || t.text == "+" || t.text == "-") {
                    op = t.text[0];
                    continue;
                }
                return false;
            }
            long long operand;
            if (t.kind == Tok::Number) {
                operand = t.number;
            } else if (t.kind == Tok::Ident && defines_->count(t.text)) {
                operand = defines_->at(t.text);
            } else if (t.kind == Tok::Ident && *systemNames_ && StandardNames().count(t.text)) {
                operand = StandardNames().at(t.text);
            } else {
                return false;
            }
            result = Combine(op, result, operand);
            op = '|';
            any = true;
        }
        *value = result;
        return any;
    }

    std::string StringLiteral() {
        ++pos_;  // opening quote
        std::string raw;
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (c == '"') {
                if (Peek(1) == '"') {  // "" stands for one quote
                    raw += '"';
                    pos_ += 2;
                    continue;
                }
                ++pos_;
                return Decode(raw);
            }
            if (c == '\n')
                throw ParseError{"line " + std::to_string(line_) + ": unterminated string"};
            if (c == '\\' && pos_ + 1 < text_.size()) {
                char e = text_[pos_ + 1];
                pos_ += 2;
                switch (e) {
                    case 'n':
                        raw += '\n';
                        break;
                    case 't':
                        raw += '\t';
                        break;
                    case 'r':
                        raw += '\r';
                        break;
                    case 'a':
                        raw += '\a';
                        break;
                    case '0':
                        raw += '\0';
                        break;
                    default:
                        raw += e;
                        break;
                }
                continue;
            }
            raw += c;
            ++pos_;
        }
        throw ParseError{"line " + std::to_string(line_) + ": unterminated string"};
    }

    std::string Decode(const std::string& raw) const { return utf8_ ? Utf8ToCp1252(raw) : raw; }

    long long NumberLiteral() {
        size_t start = pos_;
        while (pos_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[pos_]))) ++pos_;
        std::string digits = text_.substr(start, pos_ - start);
        while (!digits.empty() && (digits.back() == 'L' || digits.back() == 'l' ||
                                   digits.back() == 'U' || digits.back() == 'u')) {
            digits.pop_back();
        }
        long long value = 0;
        if (!ParseWrappingNumber(digits, &value)) {
            throw ParseError{"line " + std::to_string(line_) + ": bad number " + digits};
        }
        return value;
    }

    const std::string& text_;
    std::map<std::string, long long>* defines_;
    bool* systemNames_;
    size_t pos_ = 0;
    int line_ = 1;
    bool utf8_ = false;
};

// --- Known identifiers -----------------------------------------------------------------------

const std::map<std::string, long long>& StandardNames() {
    static const std::map<std::string, long long> names = {
        {"WS_OVERLAPPED", 0x0},
        {"WS_POPUP", 0x80000000},
        {"WS_CHILD", 0x40000000},
        {"WS_MINIMIZE", 0x20000000},
        {"WS_VISIBLE", 0x10000000},
        {"WS_DISABLED", 0x08000000},
        {"WS_CLIPSIBLINGS", 0x04000000},
        {"WS_CLIPCHILDREN", 0x02000000},
        {"WS_MAXIMIZE", 0x01000000},
        {"WS_CAPTION", 0x00C00000},
        {"WS_BORDER", 0x00800000},
        {"WS_DLGFRAME", 0x00400000},
        {"WS_VSCROLL", 0x00200000},
        {"WS_HSCROLL", 0x00100000},
        {"WS_SYSMENU", 0x00080000},
        {"WS_THICKFRAME", 0x00040000},
        {"WS_GROUP", 0x00020000},
        {"WS_TABSTOP", 0x00010000},
        {"WS_MINIMIZEBOX", 0x00020000},
        {"WS_MAXIMIZEBOX", 0x00010000},
        {"WS_OVERLAPPEDWINDOW", 0x00CF0000},
        {"WS_POPUPWINDOW", 0x80880000},
        {"WS_EX_DLGMODALFRAME", 0x1},
        {"WS_EX_NOPARENTNOTIFY", 0x4},
        {"WS_EX_TOPMOST", 0x8},
        {"WS_EX_TRANSPARENT", 0x20},
        {"WS_EX_TOOLWINDOW", 0x80},
        {"WS_EX_WINDOWEDGE", 0x100},
        {"WS_EX_CLIENTEDGE", 0x200},
        {"WS_EX_CONTEXTHELP", 0x400},
        {"WS_EX_STATICEDGE", 0x20000},
        {"WS_EX_APPWINDOW", 0x40000},
        {"DS_ABSALIGN", 0x1},
        {"DS_SYSMODAL", 0x2},
        {"DS_3DLOOK", 0x4},
        {"DS_FIXEDSYS", 0x8},
        {"DS_NOFAILCREATE", 0x10},
        {"DS_LOCALEDIT", 0x20},
        {"DS_SETFONT", 0x40},
        {"DS_MODALFRAME", 0x80},
        {"DS_NOIDLEMSG", 0x100},
        {"DS_SETFOREGROUND", 0x200},
        {"DS_CONTROL", 0x400},
        {"DS_CENTER", 0x800},
        {"DS_CENTERMOUSE", 0x1000},
        {"DS_CONTEXTHELP", 0x2000},
        {"DS_SHELLFONT", 0x48},
        {"BS_PUSHBUTTON", 0x0},
        {"BS_DEFPUSHBUTTON", 0x1},
        {"BS_CHECKBOX", 0x2},
        {"BS_AUTOCHECKBOX", 0x3},
        {"BS_RADIOBUTTON", 0x4},
        {"BS_3STATE", 0x5},
        {"BS_AUTO3STATE", 0x6},
        {"BS_GROUPBOX", 0x7},
        {"BS_USERBUTTON", 0x8},
        {"BS_AUTORADIOBUTTON", 0x9},
        {"BS_OWNERDRAW", 0xB},
        {"BS_LEFTTEXT", 0x20},
        {"BS_ICON", 0x40},
        {"BS_BITMAP", 0x80},
        {"BS_LEFT", 0x100},
        {"BS_RIGHT", 0x200},
        {"BS_CENTER", 0x300},
        {"BS_TOP", 0x400},
        {"BS_BOTTOM", 0x800},
        {"BS_VCENTER", 0xC00},
        {"BS_PUSHLIKE", 0x1000},
        {"BS_MULTILINE", 0x2000},
        {"BS_NOTIFY", 0x4000},
        {"BS_FLAT", 0x8000},
        {"ES_LEFT", 0x0},
        {"ES_CENTER", 0x1},
        {"ES_RIGHT", 0x2},
        {"ES_MULTILINE", 0x4},
        {"ES_UPPERCASE", 0x8},
        {"ES_LOWERCASE", 0x10},
        {"ES_PASSWORD", 0x20},
        {"ES_AUTOVSCROLL", 0x40},
        {"ES_AUTOHSCROLL", 0x80},
        {"ES_NOHIDESEL", 0x100},
        {"ES_OEMCONVERT", 0x400},
        {"ES_READONLY", 0x800},
        {"ES_WANTRETURN", 0x1000},
        {"ES_NUMBER", 0x2000},
        {"SS_LEFT", 0x0},
        {"SS_CENTER", 0x1},
        {"SS_RIGHT", 0x2},
        {"SS_ICON", 0x3},
        {"SS_BLACKRECT", 0x4},
        {"SS_GRAYRECT", 0x5},
        {"SS_WHITERECT", 0x6},
        {"SS_BLACKFRAME", 0x7},
        {"SS_GRAYFRAME", 0x8},
        {"SS_WHITEFRAME", 0x9},
        {"SS_SIMPLE", 0xB},
        {"SS_LEFTNOWORDWRAP", 0xC},
        {"SS_BITMAP", 0xE},
        {"SS_ETCHEDHORZ", 0x10},
        {"SS_ETCHEDVERT", 0x11},
        {"SS_ETCHEDFRAME", 0x12},
        {"SS_NOPREFIX", 0x80},
        {"SS_NOTIFY", 0x100},
        {"SS_CENTERIMAGE", 0x200},
        {"SS_SUNKEN", 0x1000},
        {"LBS_NOTIFY", 0x1},
        {"LBS_SORT", 0x2},
        {"LBS_STANDARD", 0xA00003},
        {"CBS_SIMPLE", 0x1},
        {"CBS_DROPDOWN", 0x2},
        {"CBS_DROPDOWNLIST", 0x3},
        {"CBS_AUTOHSCROLL", 0x40},
        {"CBS_SORT", 0x100},
        {"SBS_HORZ", 0x0},
        {"SBS_VERT", 0x1},
        {"IDOK", 1},
        {"IDCANCEL", 2},
        {"IDABORT", 3},
        {"IDRETRY", 4},
        {"IDIGNORE", 5},
        {"IDYES", 6},
        {"IDNO", 7},
        {"IDC_STATIC", -1},
        {"LANG_NEUTRAL", 0},
        {"SUBLANG_NEUTRAL", 0},
        {"SUBLANG_DEFAULT", 1},
        {"LANG_FRENCH", 0x0C},
        {"SUBLANG_FRENCH", 1},
        {"LANG_ENGLISH", 0x09},
        {"SUBLANG_ENGLISH_US", 1},
    };
    return names;
}

// --- Control keywords ------------------------------------------------------------------------

enum class Form { Text, NoText, Icon, Control };

struct ControlKind {
    const char* keyword;
    Form form;
    const char* className;
    plat::Dword defaultStyle;  // when no style is written
    plat::Dword baseStyle;     // to which a written style is added
};

constexpr plat::Dword kTab = 0x00010000;
constexpr plat::Dword kGroup = 0x00020000;
constexpr plat::Dword kBorder = 0x00800000;
constexpr plat::Dword kChildVisible = 0x50000000;

const ControlKind kControlKinds[] = {
    {"PUSHBUTTON", Form::Text, "BUTTON", 0x0 | kTab, 0x0 | kTab},
    {"DEFPUSHBUTTON", Form::Text, "BUTTON", 0x1 | kTab, 0x1 | kTab},
    {"CHECKBOX", Form::Text, "BUTTON", 0x2 | kTab, 0x2 | kTab},
    {"AUTOCHECKBOX", Form::Text, "BUTTON", 0x3 | kTab, 0x3 | kTab},
    {"RADIOBUTTON", Form::Text, "BUTTON", 0x4 | kTab, 0x4},
    {"STATE3", Form::Text, "BUTTON", 0x5 | kTab, 0x5 | kTab},
    {"AUTO3STATE", Form::Text, "BUTTON", 0x6 | kTab, 0x6 | kTab},
    {"GROUPBOX", Form::Text, "BUTTON", 0x7, 0x7},
    {"AUTORADIOBUTTON", Form::Text, "BUTTON", 0x9 | kTab, 0x9},
    {"LTEXT", Form::Text, "STATIC", 0x0 | kGroup, 0x0},
    {"CTEXT", Form::Text, "STATIC", 0x1 | kGroup, 0x1},
    {"RTEXT", Form::Text, "STATIC", 0x2 | kGroup, 0x2},
    {"EDITTEXT", Form::NoText, "EDIT", kBorder | kTab, kBorder | kTab},
    {"LISTBOX", Form::NoText, "LISTBOX", 0x1 | kBorder, 0x1 | kBorder},
    {"COMBOBOX", Form::NoText, "COMBOBOX", 0x1 | kTab, 0x1 | kTab},
    {"SCROLLBAR", Form::NoText, "SCROLLBAR", 0x0, 0x0},
    {"ICON", Form::Icon, "STATIC", 0x3, 0x3},
    {"CONTROL", Form::Control, "", 0, 0},
};

const ControlKind* FindControlKind(const std::string& keyword) {
    for (const ControlKind& kind : kControlKinds) {
        if (keyword == kind.keyword) return &kind;
    }
    return nullptr;
}

// --- Parser ----------------------------------------------------------------------------------

// A style expression: values joined by |, each possibly preceded by NOT (removed).
struct StyleBits {
    plat::Dword add = 0;
    plat::Dword remove = 0;
    plat::Dword Apply(plat::Dword base) const { return (base | add) & ~remove; }
};

class Parser {
  public:
    Parser(std::vector<Token> tokens, const std::map<std::string, long long>& defines,
           bool systemNames)
        : tokens_(std::move(tokens)), defines_(defines), systemNames_(systemNames) {}

    void Run(RcScript* out) {
        while (Cur().kind != Tok::End) TopLevel(out);
    }

  private:
    const Token& Cur() const { return tokens_[pos_]; }
    const Token& Next() const { return tokens_[pos_ + 1 < tokens_.size() ? pos_ + 1 : pos_]; }
    void Advance() {
        if (pos_ + 1 < tokens_.size()) ++pos_;
    }
    bool IsPunct(const char* p) const { return Cur().kind == Tok::Punct && Cur().text == p; }
    bool IsWord(const char* w) const { return Cur().kind == Tok::Ident && Cur().text == w; }
    bool IsBlockStart() const { return IsWord("BEGIN") || IsPunct("{"); }
    bool IsBlockEnd() const { return IsWord("END") || IsPunct("}"); }

    [[noreturn]] void Fail(const std::string& what) const {
        throw ParseError{"line " + std::to_string(Cur().line) + ": " + what};
    }

    void Expect(const char* punct) {
        if (!IsPunct(punct)) Fail(std::string("expected '") + punct + "'");
        Advance();
    }
    void SkipComma() {
        if (IsPunct(",")) Advance();
    }

    bool Lookup(const std::string& name, long long* value) const {
        auto d = defines_.find(name);
        if (d != defines_.end()) {
            *value = d->second;
            return true;
        }
        auto s = StandardNames().find(name);
        if (systemNames_ && s != StandardNames().end()) {
            *value = s->second;
            return true;
        }
        return false;
    }

    long long Primary() {
        if (IsPunct("(")) {
            Advance();
            long long v = Expression();
            Expect(")");
            return v;
        }
        if (IsPunct("-")) {
            Advance();
            return Negated(Primary());
        }
        if (IsPunct("~")) {
            Advance();
            return ~Primary();
        }
        if (Cur().kind == Tok::Number) {
            long long v = Cur().number;
            Advance();
            return v;
        }
        if (Cur().kind == Tok::Ident) {
            long long v;
            if (!Lookup(Cur().text, &v)) Fail("unknown name " + Cur().text);
            Advance();
            return v;
        }
        Fail("expected a number");
    }

    long long Expression() {
        long long v = Primary();
        while (Cur().kind == Tok::Punct &&
               (Cur().text == "|" || Cur().text == "+" || Cur().text == "-" || Cur().text == "&")) {
            char op = Cur().text[0];
            Advance();
            long long r = Primary();
            v = Combine(op, v, r);
        }
        return v;
    }

    int Int() { return static_cast<int>(Expression()); }

    StyleBits Style() {
        StyleBits bits;
        for (;;) {
            bool remove = false;
            if (IsWord("NOT")) {
                remove = true;
                Advance();
            }
            auto value = static_cast<plat::Dword>(Primary());
            (remove ? bits.remove : bits.add) |= value;
            if (!IsPunct("|")) break;
            Advance();
        }
        return bits;
    }

    std::string String() {
        if (Cur().kind != Tok::String) Fail("expected a quoted text");
        std::string s = Cur().text;
        Advance();
        return s;
    }

    // A resource name: a number (or a defined name); undefined names are named resources.
    bool ResourceId(int* id) {
        if (Cur().kind == Tok::Number) {
            *id = static_cast<int>(Cur().number);
            Advance();
            return true;
        }
        long long v;
        if (Cur().kind == Tok::Ident && Lookup(Cur().text, &v)) {
            *id = static_cast<int>(v);
            Advance();
            return true;
        }
        Advance();
        return false;
    }

    void SkipMemoryOptions() {
        static const char* const options[] = {"DISCARDABLE", "MOVEABLE", "FIXED",     "PURE",
                                              "IMPURE",      "PRELOAD",  "LOADONCALL"};
        for (bool again = true; again;) {
            again = false;
            for (const char* option : options) {
                if (IsWord(option)) {
                    Advance();
                    again = true;
                }
            }
        }
    }

    void SkipBlock() {
        int depth = 0;
        do {
            if (Cur().kind == Tok::End) Fail("END missing");
            if (IsBlockStart()) ++depth;
            if (IsBlockEnd()) --depth;
            Advance();
        } while (depth > 0);
    }

    void TopLevel(RcScript* out) {
        if (IsWord("LANGUAGE")) {
            Advance();
            Int();
            SkipComma();
            Int();
            return;
        }
        if (IsWord("STRINGTABLE")) {
            Advance();
            StringTable(out);
            return;
        }
        int id = 0;
        bool numbered = ResourceId(&id);
        if (Cur().kind != Tok::Ident) Fail("expected a resource type");
        std::string type = Cur().text;
        Advance();
        SkipMemoryOptions();
        if (type == "DIALOG" || type == "DIALOGEX") {
            RcDialog dialog = Dialog(type == "DIALOGEX");
            dialog.id = id;
            if (numbered) out->dialogs[id] = dialog;
            return;
        }
        if (Cur().kind == Tok::String) {
            std::string file = String();
            if (numbered && type == "ICON") out->icons[id] = file;
            if (numbered && type == "BITMAP") out->bitmaps[id] = file;
            return;
        }
        // Any other resource: skip its options up to its block.
        while (Cur().kind != Tok::End && !IsBlockStart()) Advance();
        if (Cur().kind == Tok::End) Fail("resource " + type + " without a block");
        SkipBlock();
    }

    void StringTable(RcScript* out) {
        SkipMemoryOptions();
        while (!IsBlockStart()) {
            if (Cur().kind == Tok::End) Fail("BEGIN missing after STRINGTABLE");
            Advance();  // LANGUAGE, CHARACTERISTICS, VERSION and their values
        }
        Advance();
        while (!IsBlockEnd()) {
            if (Cur().kind == Tok::End) Fail("END missing in STRINGTABLE");
            auto id = static_cast<plat::Uint>(Int() & 0xFFFF);
            SkipComma();
            out->strings[id] = String();
        }
        Advance();
    }

    RcDialog Dialog(bool extended) {
        RcDialog dialog;
        dialog.extended = extended;
        dialog.x = Int();
        SkipComma();
        dialog.y = Int();
        SkipComma();
        dialog.cx = Int();
        SkipComma();
        dialog.cy = Int();
        if (extended && IsPunct(",")) {
            Advance();
            Int();  // help id
        }
        // Without STYLE, windres gives WS_POPUP | WS_BORDER | WS_SYSMENU.
        plat::Dword style = 0x80880000;
        bool hasCaption = false;
        bool hasFont = false;
        while (!IsBlockStart()) {
            if (Cur().kind != Tok::Ident) Fail("unexpected text in a dialog header");
            std::string word = Cur().text;
            Advance();
            if (word == "STYLE") {
                style = Style().Apply(0);
            } else if (word == "EXSTYLE") {
                dialog.exStyle = Style().Apply(0);
            } else if (word == "CAPTION") {
                dialog.caption = String();
                hasCaption = true;
            } else if (word == "FONT") {
                dialog.pointSize = Int();
                SkipComma();
                dialog.fontFace = String();
                if (IsPunct(",")) {
                    Advance();
                    dialog.fontWeight = Int();
                    SkipComma();
                    dialog.fontItalic = Int() != 0;
                    if (IsPunct(",")) {
                        Advance();
                        Int();  // character set
                    }
                }
                hasFont = true;
            } else if (word == "LANGUAGE") {
                Int();
                SkipComma();
                Int();
            } else if (word == "MENU" || word == "CLASS") {
                Advance();
            } else if (word == "CHARACTERISTICS" || word == "VERSION") {
                Int();
            } else {
                Fail("unknown dialog statement " + word);
            }
        }
        if (hasCaption) style |= 0x00C00000;
        if (hasFont) style |= 0x40;
        dialog.style = style;
        Advance();  // BEGIN
        while (!IsBlockEnd()) {
            if (Cur().kind == Tok::End) Fail("END missing in a dialog");
            dialog.controls.push_back(Control(extended));
        }
        Advance();
        return dialog;
    }

    RcControl Control(bool extended) {
        if (Cur().kind != Tok::Ident) Fail("expected a control keyword");
        const ControlKind* kind = FindControlKind(Cur().text);
        if (kind == nullptr) Fail("unknown control " + Cur().text);
        Advance();
        RcControl control;
        control.className = kind->className;
        if (kind->form == Form::Text || kind->form == Form::Control) {
            if (Cur().kind == Tok::String) {
                control.text = String();
            } else {
                control.iconId = Int();
            }
            SkipComma();
        } else if (kind->form == Form::Icon) {
            if (Cur().kind == Tok::String) {
                control.text = String();
            } else if (Cur().kind == Tok::Ident && !defines_.count(Cur().text)) {
                control.text = Cur().text;
                Advance();
            } else {
                control.iconId = Int();
            }
            SkipComma();
        }
        long long id = Expression();
        control.id = extended ? static_cast<int>(id) : static_cast<int>(id & 0xFFFF);
        SkipComma();
        if (kind->form == Form::Control) {
            if (Cur().kind == Tok::String) {
                control.className = String();
            } else if (Cur().kind == Tok::Ident) {
                control.className = Cur().text;
                Advance();
            } else {
                Fail("expected a control class");
            }
            SkipComma();
            control.style = Style().Apply(kChildVisible);
            SkipComma();
        }
        control.x = Int();
        SkipComma();
        control.y = Int();
        if (kind->form == Form::Icon) {
            // windres keeps no size for ICON controls: the icon gives it.
            if (IsPunct(",")) {
                Advance();
                Int();
                SkipComma();
                Int();
            }
        } else {
            SkipComma();
            control.cx = Int();
            SkipComma();
            control.cy = Int();
        }
        if (kind->form != Form::Control) {
            control.style = kChildVisible | kind->defaultStyle;
            if (IsPunct(",")) {
                Advance();
                control.style = Style().Apply(kChildVisible | kind->baseStyle);
            }
        }
        if (IsPunct(",")) {
            Advance();
            control.exStyle = Style().Apply(0);
        }
        if (extended && IsPunct(",")) {
            Advance();
            Int();  // help id
        }
        return control;
    }

    std::vector<Token> tokens_;
    const std::map<std::string, long long>& defines_;
    bool systemNames_;
    size_t pos_ = 0;
};

struct Registry {
    RcScript resources;
    std::vector<std::string> errors;
};

Registry& Resources() {
    static Registry registry;
    return registry;
}

}  // namespace

std::string Utf8ToCp1252(const std::string& utf8) {
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        auto b = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp;
        size_t length;
        if (b < 0x80) {
            cp = b;
            length = 1;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F;
            length = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F;
            length = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07;
            length = 4;
        } else {
            out += '?';
            ++i;
            continue;
        }
        bool valid = i + length <= utf8.size();
        for (size_t k = 1; valid && k < length; ++k) {
            auto c = static_cast<unsigned char>(utf8[i + k]);
            if ((c & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        out += CodePointToCp1252(cp);
        i += length;
    }
    return out;
}

bool ParseResourceScript(const std::string& text, const std::vector<std::string>& headers,
                         RcScript* out, std::string* error) {
    std::map<std::string, long long> defines;
    bool systemNames = false;
    try {
        for (const std::string& header : headers) Lexer(header, &defines, &systemNames).Run();
        std::vector<Token> tokens = Lexer(text, &defines, &systemNames).Run();
        RcScript script;
        Parser(std::move(tokens), defines, systemNames).Run(&script);
        *out = std::move(script);
        return true;
    } catch (const ParseError& e) {
        if (error != nullptr) *error = e.message;
        return false;
    }
}

bool RegisterResourceScript(const char* rcText) { return RegisterResourceScript(rcText, {}); }

bool RegisterResourceScript(const char* rcText, const std::vector<std::string>& headers) {
    RcScript script;
    std::string error;
    if (rcText == nullptr || !ParseResourceScript(rcText, headers, &script, &error)) {
        std::string message = "resource script: " + (rcText == nullptr ? "no text" : error);
        std::fprintf(stderr, "%s\n", message.c_str());
        Resources().errors.push_back(message);
        return false;
    }
    RcScript& all = Resources().resources;
    for (auto& d : script.dialogs) all.dialogs[d.first] = d.second;
    for (auto& s : script.strings) all.strings[s.first] = s.second;
    for (auto& i : script.icons) all.icons[i.first] = i.second;
    for (auto& b : script.bitmaps) all.bitmaps[b.first] = b.second;
    return true;
}

const std::vector<std::string>& ResourceScriptErrors() { return Resources().errors; }

const RcDialog* FindDialogResource(int id) {
    auto found = Resources().resources.dialogs.find(id);
    return found == Resources().resources.dialogs.end() ? nullptr : &found->second;
}

const std::string* FindStringResource(plat::Uint id) {
    auto found = Resources().resources.strings.find(id);
    return found == Resources().resources.strings.end() ? nullptr : &found->second;
}

bool HasIconResource(int id) { return Resources().resources.icons.count(id) != 0; }

}  // namespace sim
