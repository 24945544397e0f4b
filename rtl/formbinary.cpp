// The binary form format: "TPF0", then the root object. An object is an
// optional flag byte (0xF0 | flags, followed by the child position when
// ffChildPos is set), its class and name as short strings, its properties
// (name and tagged value) up to an empty name, and its children up to a 0
// byte. Every length is checked against what is left of the input.
#include <cmath>
#include <cstring>

#include "rtl/codepage.h"
#include "rtl/formformat.h"
#include "rtl/streams.h"

namespace {

constexpr std::string_view signature = "TPF0";

AnsiString utf8ToAnsi(std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wideToAnsi(wide);
}

// ==== Reading ====

class BinaryReader {
public:
    explicit BinaryReader(std::string_view bytes) : bytes_(bytes) {}

    TFormObject object(int depth) {
        if (depth > MaxFormNesting) fail("Objects nest too deep");
        TFormObject result;
        uint8_t prefix = peek();
        if ((prefix & 0xF0) == 0xF0) {
            ++pos_;
            result.Flags = prefix & 0x0F;
            if (result.Flags & ffChildPos) {
                TFormValue position = value(depth);
                if (position.Type != TFormValue::Integer) fail("Invalid child position");
                result.Position = position.Int;
            }
        }
        result.ClassName = shortString();
        result.Name = shortString();
        while (peek() != 0) {
            TFormProperty property;
            property.Name = shortString();
            property.Value = value(depth + 1);
            result.Properties.push_back(std::move(property));
        }
        ++pos_;
        while (peek() != 0) result.Children.push_back(object(depth + 1));
        ++pos_;
        return result;
    }

    size_t position() const { return pos_; }

private:
    [[noreturn]] void fail(const char* what) const {
        throw EReadError(AnsiString(what) + " at offset " + AnsiString(std::to_string(pos_)));
    }
    void need(size_t count) const {
        if (count > bytes_.size() - pos_) fail("Stream read error");
    }
    uint8_t peek() const {
        need(1);
        return static_cast<uint8_t>(bytes_[pos_]);
    }
    uint8_t byte() {
        uint8_t b = peek();
        ++pos_;
        return b;
    }
    template <class T>
    T fixed() {
        need(sizeof(T));
        T v;
        std::memcpy(&v, bytes_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return v;
    }
    std::string_view take(size_t count) {
        need(count);
        std::string_view result = bytes_.substr(pos_, count);
        pos_ += count;
        return result;
    }
    std::string shortString() { return std::string(take(byte())); }
    // A 32-bit length, in units of unit bytes.
    std::string_view longBytes(size_t unit) {
        uint32_t count = fixed<uint32_t>();
        if (count > (bytes_.size() - pos_) / unit) fail("Stream read error");
        return take(count * unit);
    }

    TFormValue value(int depth) {
        if (depth > MaxFormNesting) fail("Values nest too deep");
        TFormValue v;
        uint8_t tag = byte();
        switch (tag) {
        case vaInt8: return TFormValue::integer(fixed<int8_t>());
        case vaInt16: return TFormValue::integer(fixed<int16_t>());
        case vaInt32: return TFormValue::integer(fixed<int32_t>());
        case vaInt64: return TFormValue::integer(fixed<int64_t>());
        case vaExtended: {
            need(10);
            long double x = 0;
            std::memcpy(&x, bytes_.data() + pos_, 10);
            pos_ += 10;
            return floatValue(static_cast<double>(x), vaExtended);
        }
        case vaSingle: return floatValue(fixed<float>(), vaSingle);
        case vaDate: return floatValue(fixed<double>(), vaDate);
        case vaCurrency: return floatValue(static_cast<double>(fixed<int64_t>()) / 10000, vaCurrency);
        case vaString: return TFormValue::string(take(byte()));
        case vaLString: return TFormValue::string(longBytes(1));
        case vaUTF8String: return TFormValue::string(utf8ToAnsi(longBytes(1)).view());
        case vaWString: {
            std::string_view raw = longBytes(2);
            std::wstring wide(raw.size() / 2, L'\0');
            std::memcpy(wide.data(), raw.data(), raw.size());
            return TFormValue::string(wideToAnsi(wide).view());
        }
        case vaIdent: return TFormValue::ident(take(byte()));
        case vaFalse: return TFormValue::boolean(false);
        case vaTrue: return TFormValue::boolean(true);
        case vaNil: return v;
        case vaBinary:
            v.Type = TFormValue::Binary;
            v.Text = longBytes(1);
            return v;
        case vaSet:
            v.Type = TFormValue::Set;
            for (std::string name; !(name = shortString()).empty();) v.Names.push_back(std::move(name));
            return v;
        case vaList:
            v.Type = TFormValue::List;
            while (peek() != vaNull) v.Items.push_back(value(depth + 1));
            ++pos_;
            return v;
        case vaCollection:
            v.Type = TFormValue::Collection;
            while (peek() != vaNull) v.CollectionItems.push_back(collectionItem(depth + 1));
            ++pos_;
            return v;
        default: fail("Invalid value tag");
        }
    }

    static TFormValue floatValue(double number, TValueType type) {
        TFormValue v;
        v.Type = TFormValue::Float;
        v.Number = number;
        v.FloatType = type;
        return v;
    }

    TFormValue::Item collectionItem(int depth) {
        TFormValue::Item item;
        if (peek() != vaList) {
            TFormValue order = value(depth);
            if (order.Type != TFormValue::Integer) fail("Invalid collection item");
            item.HasOrder = true;
            item.Order = order.Int;
        }
        if (byte() != vaList) fail("Invalid collection item");
        while (peek() != 0) {
            TFormProperty property;
            property.Name = shortString();
            property.Value = value(depth + 1);
            item.Properties.push_back(std::move(property));
        }
        ++pos_;
        return item;
    }

    std::string_view bytes_;
    size_t pos_ = 0;
};

// ==== Writing ====

class BinaryWriter {
public:
    void object(const TFormObject& form) {
        if (form.Flags) {
            out_ += static_cast<char>(0xF0 | form.Flags);
            if (form.Flags & ffChildPos) integer(form.Position);
        }
        shortString(form.ClassName);
        shortString(form.Name);
        properties(form.Properties);
        for (const TFormObject& child : form.Children) object(child);
        out_ += '\0';
    }
    std::string& bytes() { return out_; }

private:
    template <class T>
    void fixed(T v) {
        out_.append(reinterpret_cast<const char*>(&v), sizeof v);
    }
    // Short strings hold up to 255 bytes; names and identifiers are cut there.
    void shortString(std::string_view text) {
        text = text.substr(0, 255);
        out_ += static_cast<char>(text.size());
        out_ += text;
    }
    void tag(TValueType type) { out_ += static_cast<char>(type); }

    void integer(int64_t v) {
        if (v >= INT8_MIN && v <= INT8_MAX) tag(vaInt8), fixed(static_cast<int8_t>(v));
        else if (v >= INT16_MIN && v <= INT16_MAX) tag(vaInt16), fixed(static_cast<int16_t>(v));
        else if (v >= INT32_MIN && v <= INT32_MAX) tag(vaInt32), fixed(static_cast<int32_t>(v));
        else tag(vaInt64), fixed(v);
    }
    void properties(const std::vector<TFormProperty>& list) {
        for (const TFormProperty& property : list) {
            shortString(property.Name);
            value(property.Value);
        }
        out_ += '\0';
    }

    void value(const TFormValue& v) {
        switch (v.Type) {
        case TFormValue::Integer: integer(v.Int); break;
        case TFormValue::Float: floatValue(v); break;
        case TFormValue::String:
            if (v.Text.size() <= 255) {
                tag(vaString);
                shortString(v.Text);
            } else {
                tag(vaLString);
                fixed(static_cast<uint32_t>(v.Text.size()));
                out_ += v.Text;
            }
            break;
        case TFormValue::Ident: tag(vaIdent), shortString(v.Text); break;
        case TFormValue::False: tag(vaFalse); break;
        case TFormValue::True: tag(vaTrue); break;
        case TFormValue::Nil: tag(vaNil); break;
        case TFormValue::Binary:
            tag(vaBinary);
            fixed(static_cast<uint32_t>(v.Text.size()));
            out_ += v.Text;
            break;
        case TFormValue::Set:
            tag(vaSet);
            for (const std::string& name : v.Names) shortString(name);
            out_ += '\0';
            break;
        case TFormValue::List:
            tag(vaList);
            for (const TFormValue& item : v.Items) value(item);
            out_ += '\0';
            break;
        case TFormValue::Collection:
            tag(vaCollection);
            for (const TFormValue::Item& item : v.CollectionItems) {
                if (item.HasOrder) integer(item.Order);
                tag(vaList);
                properties(item.Properties);
            }
            out_ += '\0';
            break;
        }
    }

    void floatValue(const TFormValue& v) {
        switch (v.FloatType) {
        case vaSingle: tag(vaSingle), fixed(static_cast<float>(v.Number)); break;
        case vaDate: tag(vaDate), fixed(v.Number); break;
        case vaCurrency: tag(vaCurrency), fixed(static_cast<int64_t>(std::llround(v.Number * 10000))); break;
        default: {
            tag(vaExtended);
            long double x = v.Number;
            char raw[sizeof x];
            std::memcpy(raw, &x, sizeof x);
            out_.append(raw, 10);
        }
        }
    }

    std::string out_;
};

}  // namespace

TFormValue TFormValue::integer(int64_t value) {
    TFormValue v;
    v.Type = Integer;
    v.Int = value;
    return v;
}

TFormValue TFormValue::string(std::string_view text) {
    TFormValue v;
    v.Type = String;
    v.Text = text;
    return v;
}

TFormValue TFormValue::ident(std::string_view name) {
    TFormValue v;
    v.Type = Ident;
    v.Text = name;
    return v;
}

bool isBinaryForm(std::string_view bytes) { return bytes.starts_with(signature); }

TFormObject readBinaryForm(TStream& stream) {
    int64_t start = stream.position();
    std::string bytes = ReadToEnd(stream);
    if (!isBinaryForm(bytes)) throw EReadError("Invalid stream format");
    BinaryReader reader(std::string_view(bytes).substr(signature.size()));
    TFormObject form = reader.object(0);
    stream.setPosition(start + static_cast<int64_t>(signature.size() + reader.position()));
    return form;
}

void writeBinaryForm(TStream& stream, const TFormObject& form) {
    BinaryWriter writer;
    writer.bytes() = signature;
    writer.object(form);
    WriteBuffer(stream, writer.bytes());
}
