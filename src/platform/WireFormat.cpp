#include "platform/WireFormat.h"

#include <QCborArray>
#include <QCborMap>
#include <QCborStreamReader>
#include <QtEndian>

#include <limits>

namespace nuv {

namespace {

const char* CborKindName(const QCborValue& c) {
    switch (c.type()) {
    case QCborValue::Integer:
        return "integer";
    case QCborValue::ByteArray:
        return "byte string";
    case QCborValue::String:
        return "text string";
    case QCborValue::Array:
        return "array";
    case QCborValue::Map:
        return "map";
    case QCborValue::Tag:
        return "tag";
    case QCborValue::SimpleType:
        return "simple value";
    case QCborValue::False:
    case QCborValue::True:
        return "Boolean";
    case QCborValue::Null:
        return "null";
    case QCborValue::Undefined:
        return "undefined";
    case QCborValue::Double:
        return "floating point number";
    default:
        return "extended type";
    }
}

[[noreturn]] void Fail(const std::string& what) {
    throw EWireError(what);
}

QCborValue Encode(const Variant& v, int depth) {
    const Variant& d = v.Deref();
    switch (d.Type()) {
    case VarType::Empty:
        return QCborValue(QCborSimpleType::Undefined);
    case VarType::Null:
        return QCborValue(nullptr);
    case VarType::Boolean:
        return QCborValue(d.ToBool());
    case VarType::Integer:
        return QCborValue(qint64(d.ToInt()));
    case VarType::Double:
        return QCborValue(d.ToDouble());
    case VarType::Date:
        return QCborValue(QCborTag(WireTagDate), QCborValue(d.ToDate()));
    case VarType::Text:
        return QCborValue(QString::fromStdString(d.ToString()));
    case VarType::ByteText: {
        const std::string b = d.Bytes();
        return QCborValue(
            QCborTag(WireTagByteText),
            QCborArray{qint64(d.CodePage()), QByteArray(b.data(), qsizetype(b.size()))});
    }
    case VarType::Dispatch:
        Fail("An automation object cannot be sent to the application server");
    case VarType::Array: {
        if (depth >= MaxWireNesting)
            Fail("Variant arrays nested deeper than " + std::to_string(MaxWireNesting) +
                 " levels cannot be sent");
        const VariantArray* a = d.Array();
        QCborArray bounds;
        for (const ArrayBounds& b : a->bounds) {
            bounds.append(b.low);
            bounds.append(b.high);
        }
        QCborArray items;
        for (const Variant& e : a->items)
            items.append(Encode(e, depth + 1));
        return QCborValue(QCborTag(WireTagArray), QCborArray{bounds, items});
    }
    case VarType::ByRef:
        break;
    }
    Fail("A Variant of an unknown kind cannot be sent");
}

int BoundOf(const QCborValue& c) {
    if (!c.isInteger() || c.toInteger() < std::numeric_limits<int>::min() ||
        c.toInteger() > std::numeric_limits<int>::max())
        Fail("An array bound is not a 32-bit integer");
    return int(c.toInteger());
}

Variant Decode(const QCborValue& c, int depth) {
    switch (c.type()) {
    case QCborValue::Undefined:
        return Variant();
    case QCborValue::Null:
        return Variant::MakeNull();
    case QCborValue::False:
        return Variant(false);
    case QCborValue::True:
        return Variant(true);
    case QCborValue::Integer: {
        qint64 i = c.toInteger();
        if (i < std::numeric_limits<std::int32_t>::min() ||
            i > std::numeric_limits<std::int32_t>::max())
            Fail("The integer " + std::to_string(i) + " does not fit in 32 bits");
        return Variant(int(i));
    }
    case QCborValue::Double:
        return Variant(c.toDouble());
    case QCborValue::String:
        return Variant(c.toString().toStdString());
    case QCborValue::Tag:
        break;
    default:
        Fail(std::string("A value cannot be a CBOR ") + CborKindName(c));
    }
    const quint64 tag = quint64(c.tag());
    const QCborValue body = c.taggedValue();
    if (tag == WireTagDate) {
        if (!body.isDouble() && !body.isInteger())
            Fail(std::string("A date must hold a number, not a CBOR ") + CborKindName(body));
        return Variant::FromDate(body.isDouble() ? body.toDouble() : double(body.toInteger()));
    }
    if (tag == WireTagByteText) {
        const QCborArray parts = body.toArray();
        if (!body.isArray() || parts.size() != 2 || !parts[0].isInteger() ||
            !parts[1].isByteArray())
            Fail("A byte text must be [code page, byte string]");
        const qint64 cp = parts[0].toInteger();
        if (cp < 0 || cp > 65535)
            Fail("The code page " + std::to_string(cp) + " of a byte text is out of range");
        const QByteArray bytes = parts[1].toByteArray();
        return Variant::FromBytes(std::string(bytes.constData(), std::size_t(bytes.size())),
                                  int(cp));
    }
    if (tag == WireTagArray) {
        if (depth >= MaxWireNesting)
            Fail("Variant arrays are nested deeper than " + std::to_string(MaxWireNesting) +
                 " levels");
        const QCborArray parts = body.toArray();
        if (!body.isArray() || parts.size() != 2 || !parts[0].isArray() || !parts[1].isArray())
            Fail("An array must be [bounds, elements]");
        const QCborArray b = parts[0].toArray();
        const QCborArray items = parts[1].toArray();
        if (b.size() != 2 && b.size() != 4)
            Fail("An array must have one or two dimensions");
        std::vector<ArrayBounds> dims;
        std::int64_t count = 1;
        for (qsizetype i = 0; i < b.size(); i += 2) {
            ArrayBounds ab{BoundOf(b[i]), BoundOf(b[i + 1])};
            const std::int64_t n = std::int64_t(ab.high) - ab.low + 1;
            if (n < 0)
                Fail("An array's high bound is below its low bound minus one");
            count *= n;
            if (count > items.size())
                break;
            dims.push_back(ab);
        }
        if (dims.size() * 2 != std::size_t(b.size()) || count != items.size())
            Fail("An array's bounds give " + std::to_string(count) + " elements but it holds " +
                 std::to_string(items.size()));
        if (count > MaxVariantArrayElements)
            Fail("An array may hold at most " + std::to_string(MaxVariantArrayElements) +
                 " elements");
        Variant out = Variant::CreateArray(dims);
        qsizetype k = 0;
        if (dims.size() == 1) {
            for (int i = dims[0].low; i <= dims[0].high; ++i)
                out.Element(i) = Decode(items[k++], depth + 1);
        } else {
            for (int j = dims[1].low; j <= dims[1].high; ++j)
                for (int i = dims[0].low; i <= dims[0].high; ++i)
                    out.Element(i, j) = Decode(items[k++], depth + 1);
        }
        return out;
    }
    Fail("Unknown CBOR tag " + std::to_string(tag));
}

std::string TextField(const QCborMap& m, const char* key, const char* what) {
    const QCborValue v = m.value(QLatin1StringView(key));
    if (!v.isString())
        Fail(std::string(what) + " has no text \"" + key + "\"");
    return v.toString().toStdString();
}

} // namespace

QCborValue VariantToCbor(const Variant& v) {
    return Encode(v, 0);
}

Variant CborToVariant(const QCborValue& c) {
    return Decode(c, 0);
}

QByteArray EncodeFrame(const QCborValue& item) {
    const QByteArray body = item.toCbor();
    QByteArray out(4, Qt::Uninitialized);
    qToBigEndian(quint32(body.size()), out.data());
    out.append(body);
    return out;
}

std::optional<QCborValue> TFrameReader::Next() {
    if (Pending() < 4)
        return std::nullopt;
    const quint32 n = qFromBigEndian<quint32>(buffer_.constData() + pos_);
    if (n == 0)
        Fail("An empty frame was received");
    if (n > cap_)
        Fail("A frame of " + std::to_string(n) + " bytes exceeds the limit of " +
             std::to_string(cap_) + " bytes");
    if (Pending() < qsizetype(n) + 4)
        return std::nullopt;
    const QByteArray body = buffer_.mid(pos_ + 4, n);
    pos_ += qsizetype(n) + 4;
    if (pos_ == buffer_.size()) {
        buffer_.clear();
        pos_ = 0;
    } else if (pos_ > 65536) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
    QCborStreamReader reader(body);
    const QCborValue item = QCborValue::fromCbor(reader);
    if (reader.lastError() != QCborError::NoError)
        Fail("A frame does not hold valid CBOR: " + reader.lastError().toString().toStdString() +
             " (at byte " + std::to_string(reader.currentOffset()) + ")");
    // The reader stops after the first item; anything after it makes the frame malformed.
    if (reader.currentOffset() != body.size())
        Fail("A frame holds more than one CBOR item");
    return item;
}

QCborValue EncodeOpen(const std::string& serverName) {
    QCborMap m;
    m.insert(QLatin1StringView("open"), QString::fromStdString(serverName));
    return m;
}

QCborValue EncodeCall(const WireCall& call) {
    QCborMap m;
    m.insert(QLatin1StringView("call"), QString::fromStdString(call.Name));
    m.insert(QLatin1StringView("kind"), call.Kind);
    QCborArray args;
    for (const Variant& a : call.Args)
        args.append(VariantToCbor(a));
    m.insert(QLatin1StringView("args"), args);
    QCborArray refs;
    for (int i : call.ByRef)
        refs.append(i);
    m.insert(QLatin1StringView("byref"), refs);
    return m;
}

QCborValue EncodeReply(const WireReply& reply) {
    QCborMap m;
    if (!reply.Ok) {
        m.insert(QLatin1StringView("error"), QString::fromStdString(reply.Error));
        m.insert(QLatin1StringView("code"), reply.Code);
        return m;
    }
    m.insert(QLatin1StringView("result"), VariantToCbor(reply.Result));
    QCborArray refs;
    for (const auto& [i, v] : reply.ByRef)
        refs.append(QCborArray{i, VariantToCbor(v)});
    m.insert(QLatin1StringView("byref"), refs);
    return m;
}

WireRequest DecodeRequest(const QCborValue& item) {
    if (!item.isMap())
        Fail(std::string("A request must be a CBOR map, not a ") + CborKindName(item));
    const QCborMap m = item.toMap();
    WireRequest r;
    if (m.contains(QLatin1StringView("open"))) {
        r.IsOpen = true;
        r.ServerName = TextField(m, "open", "An open request");
        return r;
    }
    r.Call.Name = TextField(m, "call", "A call");
    const QCborValue kind = m.value(QLatin1StringView("kind"));
    if (!kind.isInteger() || kind.toInteger() < 0 || kind.toInteger() > 2)
        Fail("A call's \"kind\" must be 0, 1 or 2");
    r.Call.Kind = int(kind.toInteger());
    const QCborValue args = m.value(QLatin1StringView("args"));
    if (!args.isArray())
        Fail("A call's \"args\" must be an array");
    for (const QCborValue& a : args.toArray())
        r.Call.Args.push_back(CborToVariant(a));
    const QCborValue refs = m.value(QLatin1StringView("byref"));
    if (!refs.isUndefined()) {
        if (!refs.isArray())
            Fail("A call's \"byref\" must be an array");
        for (const QCborValue& i : refs.toArray()) {
            if (!i.isInteger() || i.toInteger() < 0 || i.toInteger() >= qint64(r.Call.Args.size()))
                Fail("A call's \"byref\" names an argument it does not have");
            r.Call.ByRef.push_back(int(i.toInteger()));
        }
    }
    return r;
}

WireReply DecodeReply(const QCborValue& item) {
    if (!item.isMap())
        Fail(std::string("A reply must be a CBOR map, not a ") + CborKindName(item));
    const QCborMap m = item.toMap();
    WireReply r;
    if (m.contains(QLatin1StringView("error"))) {
        r.Ok = false;
        r.Error = TextField(m, "error", "An error reply");
        const QCborValue code = m.value(QLatin1StringView("code"));
        r.Code = code.isInteger() ? int(code.toInteger()) : int(0x80004005);
        return r;
    }
    if (!m.contains(QLatin1StringView("result")))
        Fail("A reply has neither \"result\" nor \"error\"");
    r.Result = CborToVariant(m.value(QLatin1StringView("result")));
    const QCborValue refs = m.value(QLatin1StringView("byref"));
    if (refs.isArray()) {
        for (const QCborValue& p : refs.toArray()) {
            const QCborArray pair = p.toArray();
            if (!p.isArray() || pair.size() != 2 || !pair[0].isInteger())
                Fail("A reply's \"byref\" entries must be [index, value]");
            r.ByRef.emplace_back(int(pair[0].toInteger()), CborToVariant(pair[1]));
        }
    }
    return r;
}

} // namespace nuv
