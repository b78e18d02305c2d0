#include "FormReader.h"

#include "ActnList.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "Controls.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "ImgList.h"
#include "Lists.h"
#include "Menus.h"
#include "Scopes.h"
#include "StdCtrls.h"
#include "Timers.h"

#include <algorithm>
#include <functional>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

EReadError::EReadError(int Line, const String& Text)
    : EClassLibError(Line > 0 ? "Line " + std::to_string(Line) + ": " + Text : Text), FLine(Line) {}

namespace {

// Objects, collections and items nest at most this deep: a description is
// read recursively, and text of any size must not exhaust the stack.
constexpr int kMaxDepth = 32;
// Integers of a description fit 32 bits, signed or not (colours are written
// as unsigned hexadecimal numbers).
constexpr std::int64_t kMinInteger = -(std::int64_t(1) << 31);
constexpr std::int64_t kMaxInteger = (std::int64_t(1) << 32) - 1;

String Upper(String s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool SameText(const String& a, const String& b) { return a.size() == b.size() && Upper(a) == Upper(b); }

// ---------------------------------------------------------------------------
// The class registry.

std::map<String, TComponentFactory>& Registry() {
    static std::map<String, TComponentFactory> registry;
    return registry;
}

template <typename T>
void Register() {
    RegisterComponentClass<T>();
}

// The class library's own components are always known.
void RegisterLibraryClasses() {
    static const bool done = [] {
        Register<TButton>();
        Register<TEdit>();
        Register<TLabel>();
        Register<TPanel>();
        Register<TPaintBox>();
        Register<TSpeedButton>();
        Register<TTimer>();
        Register<TImageList>();
        Register<TMainMenu>();
        Register<TPopupMenu>();
        Register<TActionList>();
        return true;
    }();
    (void)done;
}

TComponentFactory FindFactory(const String& ClassName) {
    RegisterLibraryClasses();
    auto it = Registry().find(Upper(ClassName));
    return it == Registry().end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------
// Colour identifiers, accepted by integer properties named "...Color".

struct ColorIdent {
    const char* Name;
    TColor Value;
};

const ColorIdent kColors[] = {{"clBlack", clBlack},
                              {"clMaroon", clMaroon},
                              {"clGreen", clGreen},
                              {"clOlive", clOlive},
                              {"clNavy", clNavy},
                              {"clPurple", clPurple},
                              {"clTeal", clTeal},
                              {"clGray", clGray},
                              {"clSilver", clSilver},
                              {"clRed", clRed},
                              {"clLime", clLime},
                              {"clYellow", clYellow},
                              {"clBlue", clBlue},
                              {"clFuchsia", clFuchsia},
                              {"clAqua", clAqua},
                              {"clLtGray", clLtGray},
                              {"clDkGray", clDkGray},
                              {"clWhite", clWhite},
                              {"clNone", clNone},
                              {"clDefault", clDefault},
                              {"clScrollBar", clScrollBar},
                              {"clBackground", clBackground},
                              {"clActiveCaption", clActiveCaption},
                              {"clInactiveCaption", clInactiveCaption},
                              {"clMenu", clMenu},
                              {"clWindow", clWindow},
                              {"clWindowFrame", clWindowFrame},
                              {"clMenuText", clMenuText},
                              {"clWindowText", clWindowText},
                              {"clCaptionText", clCaptionText},
                              {"clActiveBorder", clActiveBorder},
                              {"clInactiveBorder", clInactiveBorder},
                              {"clAppWorkSpace", clAppWorkSpace},
                              {"clHighlight", clHighlight},
                              {"clHighlightText", clHighlightText},
                              {"clBtnFace", clBtnFace},
                              {"clBtnShadow", clBtnShadow},
                              {"clGrayText", clGrayText},
                              {"clBtnText", clBtnText},
                              {"clInactiveCaptionText", clInactiveCaptionText},
                              {"clBtnHighlight", clBtnHighlight},
                              {"cl3DDkShadow", cl3DDkShadow},
                              {"cl3DLight", cl3DLight},
                              {"clInfoText", clInfoText},
                              {"clInfoBk", clInfoBk},
                              {"clHotLight", clHotLight},
                              {"clGradientActiveCaption", clGradientActiveCaption},
                              {"clGradientInactiveCaption", clGradientInactiveCaption},
                              {"clMenuHighlight", clMenuHighlight},
                              {"clMenuBar", clMenuBar}};

bool IdentToColor(const String& Ident, std::int64_t& Value) {
    for (const ColorIdent& c : kColors)
        if (SameText(Ident, c.Name)) {
            Value = static_cast<std::uint32_t>(c.Value);
            return true;
        }
    return false;
}

bool IsColorProperty(const String& Name) { return Name.size() >= 5 && SameText(Name.substr(Name.size() - 5), "Color"); }

// ---------------------------------------------------------------------------
// The text: tokens, then a tree of objects, read completely before anything
// is made, so that a description with a fault in its syntax builds nothing.

enum class Tok { End, Ident, Int, Str, Binary, Symbol };

struct Token {
    Tok Kind = Tok::End;
    String Text;  // identifier, string contents, the bytes of binary data or the symbol
    std::int64_t Number = 0;
    int Line = 1;
};

class Lexer {
public:
    explicit Lexer(const String& text) : FPos(text.data()), FEnd(text.data() + text.size()) {
        // A byte-order mark some editors write.
        if (FEnd - FPos >= 3 && static_cast<unsigned char>(FPos[0]) == 0xEF &&
            static_cast<unsigned char>(FPos[1]) == 0xBB && static_cast<unsigned char>(FPos[2]) == 0xBF)
            FPos += 3;
        Advance();
    }
    const Token& Peek() const { return FToken; }
    Token Take() {
        Token t = FToken;
        Advance();
        return t;
    }

private:
    [[noreturn]] void Fail(const String& text) const { throw EReadError(FLine, text); }

    void SkipBlanks() {
        while (FPos < FEnd) {
            const char c = *FPos;
            if (c == '\n') {
                ++FLine;
                ++FPos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++FPos;
            } else if (c == '/' && FPos + 1 < FEnd && FPos[1] == '/') {
                while (FPos < FEnd && *FPos != '\n') ++FPos;
            } else {
                break;
            }
        }
    }

    void Advance() {
        SkipBlanks();
        FToken = Token();
        FToken.Line = FLine;
        if (FPos >= FEnd) return;
        const unsigned char c = static_cast<unsigned char>(*FPos);
        if (std::isalpha(c) || c == '_') return ReadIdent();
        if (std::isdigit(c) || c == '$' || c == '-') return ReadNumber();
        if (c == '\'' || c == '#') return ReadString();
        if (c == '{') return ReadBinary();
        if (std::strchr(":=.,[]<>", c) && c != 0) {
            FToken.Kind = Tok::Symbol;
            FToken.Text = String(1, static_cast<char>(c));
            ++FPos;
            return;
        }
        Fail(c >= 32 && c < 127 ? "unexpected character '" + String(1, static_cast<char>(c)) + "'"
                                : "unexpected byte " + std::to_string(c) + " (is this a form description?)");
    }

    void ReadIdent() {
        const char* start = FPos;
        while (FPos < FEnd && (std::isalnum(static_cast<unsigned char>(*FPos)) || *FPos == '_')) ++FPos;
        FToken.Kind = Tok::Ident;
        FToken.Text.assign(start, FPos);
    }

    void ReadNumber() {
        const bool negative = *FPos == '-';
        if (negative) ++FPos;
        const bool hex = FPos < FEnd && *FPos == '$';
        if (hex) ++FPos;
        std::int64_t value = 0;
        int digits = 0;
        for (; FPos < FEnd; ++FPos, ++digits) {
            const unsigned char c = static_cast<unsigned char>(*FPos);
            int d;
            if (std::isdigit(c)) d = c - '0';
            else if (hex && std::isxdigit(c)) d = std::toupper(c) - 'A' + 10;
            else break;
            value = value * (hex ? 16 : 10) + d;
            if (value > kMaxInteger) Fail("number too large");
        }
        if (digits == 0) Fail("digits expected");
        if (FPos < FEnd && (std::isalnum(static_cast<unsigned char>(*FPos)) || *FPos == '_')) Fail("bad number");
        FToken.Kind = Tok::Int;
        FToken.Number = negative ? -value : value;
    }

    // 'text', with '' for a quote, joined with #code characters: 'a'#13#10'b'.
    void ReadString() {
        FToken.Kind = Tok::Str;
        while (FPos < FEnd && (*FPos == '\'' || *FPos == '#')) {
            if (*FPos == '#') {
                ++FPos;
                int code = 0, digits = 0;
                while (FPos < FEnd && std::isdigit(static_cast<unsigned char>(*FPos))) {
                    code = code * 10 + (*FPos++ - '0');
                    if (++digits > 3 || code > 255) Fail("character code out of range");
                }
                if (digits == 0) Fail("character code expected after #");
                FToken.Text += static_cast<char>(code);
                continue;
            }
            ++FPos;
            for (;;) {
                if (FPos >= FEnd || *FPos == '\n' || *FPos == '\r') Fail("string not closed on its line");
                if (*FPos == '\'') {
                    if (FPos + 1 < FEnd && FPos[1] == '\'') {
                        FToken.Text += '\'';
                        FPos += 2;
                        continue;
                    }
                    ++FPos;
                    break;
                }
                FToken.Text += *FPos++;
            }
        }
    }

    // {hexadecimal digits}, two to a byte, spread over any number of lines.
    void ReadBinary() {
        FToken.Kind = Tok::Binary;
        ++FPos;
        int high = -1;
        for (;;) {
            SkipBlanks();
            if (FPos >= FEnd) Fail("binary data not closed: '}' is missing");
            const unsigned char c = static_cast<unsigned char>(*FPos++);
            if (c == '}') break;
            if (!std::isxdigit(c)) Fail("hexadecimal digits expected in binary data");
            const int d = std::isdigit(c) ? c - '0' : std::toupper(c) - 'A' + 10;
            if (high < 0) {
                high = d;
            } else {
                FToken.Text += static_cast<char>(high * 16 + d);
                high = -1;
            }
        }
        if (high >= 0) Fail("binary data of an odd number of digits");
    }

    const char* FPos;
    const char* FEnd;
    int FLine = 1;
    Token FToken;
};

struct PropNode;

struct ValueNode {
    enum Kind { Int, Str, Ident, Set, Collection, Binary } Kind = Int;
    std::int64_t Number = 0;
    String Text;                               // string, identifier or bytes
    std::vector<String> Names;                 // set elements
    std::vector<std::vector<PropNode>> Items;  // collection items
    std::vector<int> ItemLines;
};

struct PropNode {
    std::vector<String> Path;
    ValueNode Value;
    int Line = 0;
    String PathText() const {
        String s;
        for (const String& p : Path) s += (s.empty() ? "" : ".") + p;
        return s;
    }
};

struct ObjectNode {
    String Name;
    String ClassName;
    int Line = 0;
    std::vector<PropNode> Props;
    std::vector<ObjectNode> Children;
};

class Parser {
public:
    explicit Parser(const String& text) : FLex(text) {}

    ObjectNode ParseDescription() {
        if (!IsKeyword(FLex.Peek(), "object")) Fail(FLex.Peek(), "a description begins with 'object Name: TClass'");
        ObjectNode root = ParseObject(0);
        if (FLex.Peek().Kind != Tok::End) Fail(FLex.Peek(), "text after the end of the description");
        return root;
    }

private:
    [[noreturn]] static void Fail(const Token& at, const String& text) { throw EReadError(at.Line, text); }

    static bool IsKeyword(const Token& t, const char* word) { return t.Kind == Tok::Ident && SameText(t.Text, word); }
    static bool IsSymbol(const Token& t, char c) { return t.Kind == Tok::Symbol && t.Text[0] == c; }

    Token Expect(Tok kind, const char* what) {
        if (FLex.Peek().Kind != kind) Fail(FLex.Peek(), String(what) + " expected");
        return FLex.Take();
    }
    void ExpectSymbol(char c) {
        if (!IsSymbol(FLex.Peek(), c)) Fail(FLex.Peek(), "'" + String(1, c) + "' expected");
        FLex.Take();
    }
    static void CheckDepth(const Token& at, int depth) {
        if (depth > kMaxDepth) Fail(at, "objects nest deeper than " + std::to_string(kMaxDepth) + " levels");
    }

    ObjectNode ParseObject(int depth) {
        const Token start = FLex.Take();  // "object"
        CheckDepth(start, depth);
        ObjectNode obj;
        obj.Line = start.Line;
        obj.Name = Expect(Tok::Ident, "a component name").Text;
        ExpectSymbol(':');
        obj.ClassName = Expect(Tok::Ident, "a class name").Text;
        for (;;) {
            const Token& t = FLex.Peek();
            if (t.Kind == Tok::End) Fail(start, "object " + obj.Name + " is not terminated: 'end' is missing");
            if (IsKeyword(t, "end")) {
                FLex.Take();
                return obj;
            }
            if (IsKeyword(t, "object")) obj.Children.push_back(ParseObject(depth + 1));
            else if (t.Kind == Tok::Ident) obj.Props.push_back(ParseProperty(depth));
            else Fail(t, "a property, an object or 'end' expected");
        }
    }

    PropNode ParseProperty(int depth) {
        PropNode p;
        p.Line = FLex.Peek().Line;
        p.Path.push_back(FLex.Take().Text);
        while (IsSymbol(FLex.Peek(), '.')) {
            FLex.Take();
            p.Path.push_back(Expect(Tok::Ident, "a property name after '.'").Text);
        }
        ExpectSymbol('=');
        p.Value = ParseValue(depth);
        return p;
    }

    ValueNode ParseValue(int depth) {
        ValueNode v;
        const Token& t = FLex.Peek();
        if (t.Kind == Tok::Int) {
            v.Kind = ValueNode::Int;
            v.Number = FLex.Take().Number;
        } else if (t.Kind == Tok::Str) {
            v.Kind = ValueNode::Str;
            v.Text = FLex.Take().Text;
        } else if (t.Kind == Tok::Binary) {
            v.Kind = ValueNode::Binary;
            v.Text = FLex.Take().Text;
        } else if (t.Kind == Tok::Ident && !IsKeyword(t, "end") && !IsKeyword(t, "object")) {
            v.Kind = ValueNode::Ident;
            v.Text = FLex.Take().Text;
        } else if (IsSymbol(t, '[')) {
            FLex.Take();
            v.Kind = ValueNode::Set;
            if (!IsSymbol(FLex.Peek(), ']')) {
                for (;;) {
                    v.Names.push_back(Expect(Tok::Ident, "a set element").Text);
                    if (!IsSymbol(FLex.Peek(), ',')) break;
                    FLex.Take();
                }
            }
            ExpectSymbol(']');
        } else if (IsSymbol(t, '<')) {
            const Token open = FLex.Take();
            CheckDepth(open, depth + 1);
            v.Kind = ValueNode::Collection;
            for (;;) {
                const Token& n = FLex.Peek();
                if (IsSymbol(n, '>')) break;
                if (n.Kind == Tok::End) Fail(open, "collection not closed: '>' is missing");
                if (!IsKeyword(n, "item")) Fail(n, "'item' or '>' expected");
                const Token item = FLex.Take();
                v.ItemLines.push_back(item.Line);
                v.Items.emplace_back();
                for (;;) {
                    const Token& k = FLex.Peek();
                    if (k.Kind == Tok::End) Fail(item, "item is not terminated: 'end' is missing");
                    if (IsKeyword(k, "end")) break;
                    if (k.Kind != Tok::Ident) Fail(k, "a property or 'end' expected");
                    v.Items.back().push_back(ParseProperty(depth + 1));
                }
                FLex.Take();
            }
            FLex.Take();
        } else {
            Fail(t, "a value expected");
        }
        return v;
    }

    Lexer FLex;
};

// The picture of an uncompressed BMP file's bytes (1 to 32 bits a pixel); false
// when the bytes are not one or claim more than they hold.
bool LoadBmpBytes(TBitmap& Bitmap, const String& Bytes) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(Bytes.data());
    const std::size_t size = Bytes.size();
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    if (size < sizeof fh + sizeof ih) return false;
    std::memcpy(&fh, data, sizeof fh);
    std::memcpy(&ih, data + sizeof fh, sizeof ih);
    if (fh.bfType != 0x4D42 || ih.biSize < sizeof ih || ih.biSize > size - sizeof fh) return false;
    const std::int64_t w = ih.biWidth, h = ih.biHeight < 0 ? -std::int64_t(ih.biHeight) : ih.biHeight;
    const int bits = ih.biBitCount;
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767 || ih.biPlanes != 1 || ih.biCompression != BI_RGB) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    const std::int64_t colours = bits <= 8 ? (ih.biClrUsed ? ih.biClrUsed : (1 << bits)) : 0;
    const std::int64_t stride = (w * bits + 31) / 32 * 4;
    const std::int64_t infoEnd = std::int64_t(sizeof fh) + ih.biSize + colours * 4;
    if (colours > 256 || infoEnd > std::int64_t(size) || fh.bfOffBits < infoEnd ||
        std::int64_t(fh.bfOffBits) + stride * h > std::int64_t(size))
        return false;
    // The pixels exactly as written: a section of the file's own format, then the bitmap's.
    std::vector<std::uint8_t> info(data + sizeof fh, data + infoEnd);
    void* pixels = nullptr;
    const TScreenDC screen;
    HBITMAP made = CreateDIBSection(screen.DC(), reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                                    &pixels, nullptr, 0);
    if (!made || !pixels) {
        if (made) DeleteObject(made);
        return false;
    }
    std::memcpy(pixels, data + fh.bfOffBits, static_cast<std::size_t>(stride * h));
    Bitmap.SetHandle(made);
    return true;
}

// ---------------------------------------------------------------------------
// Building: components made, placed and set in the order described.

class Builder {
public:
    explicit Builder(TComponent* root) : FRoot(root) {}

    void Build(const ObjectNode& node) {
        if (!FRoot->ClassInfo()->InheritsFrom(node.ClassName.c_str()))
            throw EReadError(node.Line,
                             "the description is of a " + node.ClassName + ", not of a " + FRoot->ClassName());
        FRoot->BeginLoading();
        try {
            const String oldName = FRoot->Name();
            Guard(node.Line, [&] { FRoot->SetName(node.Name); });
            FUndo.push_back([this, oldName] { FRoot->SetName(oldName); });
            ApplyProps(FRoot, node.Props, Who(FRoot), true);
            for (const ObjectNode& child : node.Children) BuildChild(child, FRoot);
            ResolveReferences();
            Guard(node.Line, [&] { FRoot->EndLoading(); });
            if (FDeferredVisible) Guard(FDeferredVisibleLine, [&] { FDeferredVisible->SetOrd(FRoot, FVisible); });
        } catch (...) {
            Undo();
            throw;
        }
    }

private:
    struct Reference {
        TObject* Target;
        const TPropInfo* Prop;
        String Name;
        String Who;
        int Line;
        // The collection items Target lies in, outermost first: freed with
        // any of them, the reference is dropped unresolved.
        std::vector<const TCollectionItem*> Items;
    };

    static String Who(const TComponent* c) {
        return (c->Name().empty() ? String("an unnamed component") : c->Name()) + " (" + c->ClassName() + ")";
    }

    // Runs a step; a library error in it becomes a read error on Line.
    template <typename F>
    static void Guard(int Line, F&& step) {
        try {
            step();
        } catch (const EReadError&) {
            throw;
        } catch (const std::exception& e) {
            throw EReadError(Line, e.what());
        }
    }

    void BuildChild(const ObjectNode& node, TComponent* container) {
        TComponentFactory factory = FindFactory(node.ClassName);
        if (!factory) throw EReadError(node.Line, "unknown class " + node.ClassName + " (no such class is registered)");
        TComponent* c = nullptr;
        Guard(node.Line, [&] { c = factory(FRoot); });
        FMade.push_back(c);
        c->BeginLoading();
        Guard(node.Line, [&] { c->SetName(node.Name); });
        if (auto* control = dynamic_cast<TControl*>(c)) {
            auto* parent = dynamic_cast<TWinControl*>(container);
            if (!parent) throw EReadError(node.Line, Who(container) + " cannot hold the control " + node.Name);
            // A sheet described in a page control is one of its pages, not
            // merely a child window on it.
            auto* sheet = dynamic_cast<TTabSheet*>(control);
            auto* pages = dynamic_cast<TPageControl*>(parent);
            Guard(node.Line, [&] {
                if (sheet && pages) sheet->SetPageControl(pages);
                else control->SetParent(parent);
            });
        }
        ApplyProps(c, node.Props, Who(c), false);
        for (const ObjectNode& child : node.Children) BuildChild(child, c);
    }

    void ApplyProps(TObject* obj, const std::vector<PropNode>& props, const String& who, bool isRoot) {
        for (const PropNode& p : props) {
            TObject* target = obj;
            for (std::size_t i = 0; i + 1 < p.Path.size(); ++i) {
                const TPropInfo* inner = GetPropInfo(target, p.Path[i]);
                if (!inner || inner->Kind != TTypeKind::tkClass || !inner->GetObject)
                    throw EReadError(p.Line, who + " has no property " + p.PathText());
                target = inner->GetObject(target);
                if (!target)
                    throw EReadError(p.Line,
                                     p.Path[i] + " of " + who + " is empty: " + p.PathText() + " cannot be set");
            }
            const TPropInfo* info = GetPropInfo(target, p.Path.back());
            if (!info) throw EReadError(p.Line, who + " has no property " + p.PathText());
            if (isRoot && p.Path.size() == 1 && SameText(info->Name, "Visible") && dynamic_cast<TControl*>(obj)) {
                // The form shows itself only once everything on it is read.
                FVisible = OrdinalValue(info, p, who);
                FDeferredVisible = info;
                FDeferredVisibleLine = p.Line;
                continue;
            }
            if (isRoot) KeepForUndo(target, info);
            ApplyValue(target, info, p, who);
        }
    }

    // The root's value of a property before the description writes it.
    void KeepForUndo(TObject* target, const TPropInfo* info) {
        if (info->Kind == TTypeKind::tkString && info->GetStr && info->SetStr) {
            FUndo.push_back([target, info, old = info->GetStr(target)] { info->SetStr(target, old); });
        } else if (info->Kind == TTypeKind::tkClass) {
            // A reference goes back to what it named; an object of the root's
            // own (a font, a picture) takes its values back through its parts.
            TObject* old = info->GetObject && info->SetObject ? info->GetObject(target) : nullptr;
            if (info->SetObject && (!old || dynamic_cast<TComponent*>(old)))
                FUndo.push_back([target, info, old] { info->SetObject(target, old); });
        } else if (info->GetOrd && info->SetOrd) {
            FUndo.push_back([target, info, old = info->GetOrd(target)] { info->SetOrd(target, old); });
        }
    }

    // Nothing of a faulty description stays: what it made is freed, the
    // root's own values are put back and the root is out of loading again.
    void Undo() {
        // Children go before the controls that hold them: newest first.
        for (auto it = FMade.rbegin(); it != FMade.rend(); ++it) (*it)->Free();
        FMade.clear();
        for (auto it = FUndo.rbegin(); it != FUndo.rend(); ++it) {
            try {
                (*it)();
            } catch (...) {
                // A value the root refuses back stays as it is; the rest still go back.
            }
        }
        FUndo.clear();
        try {
            FRoot->EndLoading();
        } catch (...) {
            // The original fault is the one reported.
        }
    }

    [[noreturn]] static void BadValue(const PropNode& p, const String& who, const String& expected) {
        String given;
        switch (p.Value.Kind) {
            case ValueNode::Int: given = std::to_string(p.Value.Number); break;
            case ValueNode::Str: given = "'" + p.Value.Text + "'"; break;
            case ValueNode::Ident: given = p.Value.Text; break;
            case ValueNode::Set: given = "a set"; break;
            case ValueNode::Collection: given = "a collection"; break;
            case ValueNode::Binary: given = "binary data"; break;
        }
        throw EReadError(p.Line,
                         "bad value " + given + " for " + p.PathText() + " of " + who + " (" + expected + " expected)");
    }

    static int ElementIndex(const TPropInfo* info, const String& name) {
        for (std::size_t i = 0; i < info->ElementNames.size(); ++i)
            if (SameText(info->ElementNames[i], name)) return static_cast<int>(i);
        return -1;
    }

    static String NamesOf(const TPropInfo* info) {
        String s;
        for (const String& n : info->ElementNames) s += (s.empty() ? "" : ", ") + n;
        return s;
    }

    // The ordinal a value stands for, checked against the property's kind.
    static std::int64_t OrdinalValue(const TPropInfo* info, const PropNode& p, const String& who) {
        const ValueNode& v = p.Value;
        switch (info->Kind) {
            case TTypeKind::tkInteger:
            case TTypeKind::tkChar: {
                std::int64_t n = 0;
                if (v.Kind == ValueNode::Int) {
                    if (v.Number < kMinInteger || v.Number > kMaxInteger) BadValue(p, who, "a 32-bit integer");
                    return v.Number;
                }
                if (v.Kind == ValueNode::Ident && IsColorProperty(info->Name) && IdentToColor(v.Text, n)) return n;
                if (info->Kind == TTypeKind::tkChar && v.Kind == ValueNode::Str && v.Text.size() == 1)
                    return static_cast<unsigned char>(v.Text[0]);
                BadValue(p, who, IsColorProperty(info->Name) ? "a colour" : "an integer");
            }
            case TTypeKind::tkBool:
                if (v.Kind == ValueNode::Ident && SameText(v.Text, "True")) return 1;
                if (v.Kind == ValueNode::Ident && SameText(v.Text, "False")) return 0;
                BadValue(p, who, "True or False");
            case TTypeKind::tkEnumeration: {
                if (info->ElementNames.empty()) {
                    if (v.Kind == ValueNode::Int && v.Number >= 0 && v.Number < 256) return v.Number;
                    BadValue(p, who, "an ordinal from 0 to 255");
                }
                const int index = v.Kind == ValueNode::Ident ? ElementIndex(info, v.Text) : -1;
                if (index < 0) BadValue(p, who, "one of " + NamesOf(info));
                return index;
            }
            case TTypeKind::tkSet: {
                if (v.Kind != ValueNode::Set || info->ElementNames.empty())
                    BadValue(p, who, "a set of " + NamesOf(info));
                std::uint64_t bits = 0;
                for (const String& name : v.Names) {
                    const int index = ElementIndex(info, name);
                    if (index < 0 || index > 63)
                        throw EReadError(p.Line, "bad set element " + name + " for " + p.PathText() + " of " + who +
                                                     " (one of " + NamesOf(info) + " expected)");
                    bits |= std::uint64_t(1) << index;
                }
                return static_cast<std::int64_t>(bits);
            }
            default: BadValue(p, who, "an ordinal");
        }
    }

    void ApplyValue(TObject* target, const TPropInfo* info, const PropNode& p, const String& who) {
        const ValueNode& v = p.Value;
        switch (info->Kind) {
            case TTypeKind::tkString:
                if (v.Kind != ValueNode::Str) BadValue(p, who, "a string");
                if (!info->SetStr) throw EReadError(p.Line, p.PathText() + " of " + who + " cannot be set");
                Guard(p.Line, [&] { info->SetStr(target, v.Text); });
                return;
            case TTypeKind::tkClass: return ApplyObject(target, info, p, who);
            default: {
                const std::int64_t n = OrdinalValue(info, p, who);
                if (!info->SetOrd) throw EReadError(p.Line, p.PathText() + " of " + who + " cannot be set");
                Guard(p.Line, [&] { info->SetOrd(target, n); });
                return;
            }
        }
    }

    void ApplyObject(TObject* target, const TPropInfo* info, const PropNode& p, const String& who) {
        const ValueNode& v = p.Value;
        if (v.Kind == ValueNode::Binary) return ApplyPicture(target, info, p, who);
        if (v.Kind == ValueNode::Collection) {
            auto* collection = dynamic_cast<TCollection*>(info->GetObject ? info->GetObject(target) : nullptr);
            if (!collection) BadValue(p, who, "lines of the form " + p.PathText() + ".Property = value");
            // A collection written again replaces its items: references still
            // waiting to be written into the old ones go with them.
            ForgetReferencesInto(collection);
            Guard(p.Line, [&] { collection->Clear(); });
            for (std::size_t i = 0; i < v.Items.size(); ++i) {
                TCollectionItem* item = nullptr;
                Guard(v.ItemLines[i], [&] { item = collection->Add(); });
                FItems.push_back(item);
                ApplyProps(item, v.Items[i], "item " + std::to_string(i) + " of " + p.PathText() + " of " + who, false);
                FItems.pop_back();
            }
            return;
        }
        if (v.Kind != ValueNode::Ident)
            BadValue(p, who,
                     info->SetObject ? "the name of a component"
                                     : "lines of the form " + p.PathText() + ".Property = value");
        if (!info->SetObject) throw EReadError(p.Line, p.PathText() + " of " + who + " cannot be set");
        if (SameText(v.Text, "nil")) {
            Guard(p.Line, [&] { info->SetObject(target, nullptr); });
            return;
        }
        // Components described further down are not made yet.
        FReferences.push_back({target, info, v.Text, p.PathText() + " of " + who, p.Line, FItems});
    }

    // A picture property written as the bytes of a BMP file; {} empties it.
    static void ApplyPicture(TObject* target, const TPropInfo* info, const PropNode& p, const String& who) {
        auto* picture = dynamic_cast<TBitmap*>(info->GetObject ? info->GetObject(target) : nullptr);
        if (!picture) BadValue(p, who, "a value that is not binary data");
        TBitmap loaded;
        if (!p.Value.Text.empty() && !LoadBmpBytes(loaded, p.Value.Text))
            throw EReadError(p.Line, p.PathText() + " of " + who + " is no picture (the bytes of a BMP file expected)");
        Guard(p.Line, [&] {
            if (info->SetObject) info->SetObject(target, &loaded);
            else picture->Assign(&loaded);
        });
    }

    void ForgetReferencesInto(const TCollection* Collection) {
        std::vector<const TCollectionItem*> items;
        for (int i = 0; i < Collection->Count(); ++i) items.push_back(Collection->Items(i));
        const auto inItems = [&](const Reference& r) {
            return std::any_of(r.Items.begin(), r.Items.end(), [&](const TCollectionItem* item) {
                return std::find(items.begin(), items.end(), item) != items.end();
            });
        };
        FReferences.erase(std::remove_if(FReferences.begin(), FReferences.end(), inItems), FReferences.end());
    }

    void ResolveReferences() {
        for (const Reference& r : FReferences) {
            TComponent* found = SameText(r.Name, FRoot->Name()) ? FRoot : FRoot->FindComponent(r.Name);
            if (!found) throw EReadError(r.Line, "no component named " + r.Name + " for " + r.Who);
            Guard(r.Line, [&] { r.Prop->SetObject(r.Target, found); });
            if (r.Prop->GetObject && r.Prop->GetObject(r.Target) != found)
                throw EReadError(r.Line, r.Name + " (" + found->ClassName() + ") cannot be " + r.Who);
        }
    }

    TComponent* FRoot;
    std::vector<TComponent*> FMade;
    std::vector<std::function<void()>> FUndo;
    std::vector<Reference> FReferences;
    std::vector<const TCollectionItem*> FItems;  // the items being read, outermost first
    const TPropInfo* FDeferredVisible = nullptr;
    std::int64_t FVisible = 0;
    int FDeferredVisibleLine = 0;
};

}  // namespace

void RegisterComponentClass(const char* ClassName, TComponentFactory Factory) {
    Registry()[Upper(ClassName)] = Factory;
}

bool IsComponentClassRegistered(const String& ClassName) { return FindFactory(ClassName) != nullptr; }

void ReadComponentFromText(TComponent* Root, const String& Text) {
    if (!Root) throw EReadError(0, "no component to read the description into");
    Parser parser(Text);
    const ObjectNode tree = parser.ParseDescription();
    Builder(Root).Build(tree);
}

void ReadComponentResource(TComponent* Root, const String& ResourceName, HMODULE Module) {
    if (!Module) Module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(Module, ResourceName.c_str(), RT_RCDATA);
    HGLOBAL data = info ? LoadResource(Module, info) : nullptr;
    const char* bytes = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (!bytes) throw EReadError(0, "no form description named " + ResourceName + " among the program's resources");
    ReadComponentFromText(Root, String(bytes, SizeofResource(Module, info)));
}
