#include "ConditionSets.h"

#include "ManagerArgs.h"

#include <nuv/Exception.h>

#include <QByteArray>
#include <QCborArray>
#include <QCborValue>

#include <SQLiteCpp/Statement.h>

namespace nuv::host {

namespace {

constexpr int MaxDepth = 16;

// Private CBOR tags (first-come range) for the kinds that CBOR has no type of its own for:
// a date (its day count) and a code-page text ([code page, bytes]).
constexpr auto DateTag = static_cast<QCborTag>(0x4E5601);
constexpr auto ByteTextTag = static_cast<QCborTag>(0x4E5602);

QByteArray RawBytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

std::string StdBytes(const QByteArray& b) {
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

QCborValue ToCbor(const Variant& value, int depth) {
    const Variant& v = value.Deref();
    if (depth > MaxDepth)
        throw EVariantError("A condition set is nested too deeply");
    switch (v.Type()) {
    case VarType::Empty:
        return QCborValue(QCborValue::Undefined);
    case VarType::Null:
        return QCborValue(nullptr);
    case VarType::Boolean:
        return QCborValue(v.ToBool());
    case VarType::Integer:
        return QCborValue(static_cast<qint64>(v.ToInt()));
    case VarType::Double:
        return QCborValue(v.ToDouble());
    case VarType::Date:
        return QCborValue(DateTag, QCborValue(v.ToDouble()));
    // Texts are kept as their bytes: a text that is not valid UTF-8, or a text in a code page,
    // comes back exactly as it was sent, of the same kind.
    case VarType::Text:
        return QCborValue(RawBytes(v.ToString()));
    case VarType::ByteText:
        return QCborValue(ByteTextTag,
                          QCborArray{static_cast<qint64>(v.CodePage()), RawBytes(v.Bytes())});
    case VarType::Array: {
        if (v.ArrayDimCount() != 1)
            throw EVariantError("A condition set holds one-dimensional arrays only");
        QCborArray a;
        for (int i = v.ArrayLowBound(); i <= v.ArrayHighBound(); ++i)
            a.append(ToCbor(v[i], depth + 1));
        return a;
    }
    default:
        throw EVariantError(std::string("A condition set cannot hold a value of type ") +
                            v.TypeName());
    }
}

Variant FromCbor(const QCborValue& c, int depth) {
    if (depth > MaxDepth)
        throw EVariantError("A stored condition set is nested too deeply");
    switch (c.type()) {
    case QCborValue::Undefined:
        return {};
    case QCborValue::Null:
        return Variant::MakeNull();
    case QCborValue::False:
    case QCborValue::True:
        return Variant(c.toBool());
    case QCborValue::Integer:
        return Variant(static_cast<int>(c.toInteger()));
    case QCborValue::Double:
        return Variant(c.toDouble());
    case QCborValue::String: // as sets were kept before texts were kept as bytes
        return Variant(c.toString().toStdString());
    case QCborValue::ByteArray:
        return Variant(StdBytes(c.toByteArray()));
    case QCborValue::Tag: {
        const QCborValue inner = c.taggedValue();
        if (c.tag() == DateTag && inner.isDouble())
            return Variant::FromDate(inner.toDouble());
        if (c.tag() == ByteTextTag && inner.isArray() && inner.toArray().size() == 2 &&
            inner.toArray().at(0).isInteger() && inner.toArray().at(1).isByteArray())
            return Variant::FromBytes(StdBytes(inner.toArray().at(1).toByteArray()),
                                      static_cast<int>(inner.toArray().at(0).toInteger()));
        throw EVariantError("A stored condition set holds an unknown kind of value");
    }
    case QCborValue::Array: {
        std::vector<Variant> items;
        for (const QCborValue& e : c.toArray())
            items.push_back(FromCbor(e, depth + 1));
        return Variant::ArrayOf(std::move(items));
    }
    default:
        throw EVariantError("A stored condition set holds an unknown kind of value");
    }
}

} // namespace

std::string EncodeLines(const Variant& lines) {
    QByteArray bytes = ToCbor(lines, 0).toCbor();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

Variant DecodeLines(const std::string& bytes) {
    QCborParserError error;
    QCborValue c = QCborValue::fromCbor(
        QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), &error);
    if (error.error != QCborError::NoError)
        throw EVariantError("A stored condition set cannot be read: " +
                            error.errorString().toStdString());
    return FromCbor(c, 0);
}

Variant GetUserDEFOption(TDemoDatabase& db, const Variant& params) {
    const std::string mode = ArgArrayText(params, 0, "GetUserDEFOption");
    if (mode == "1") {
        TArgList a(params, 4, "GetUserDEFOption (list)");
        TextRows rows = db.Rows(
            "SELECT set_code, set_name, shared, owner FROM condition_sets "
            "WHERE company_code = ?1 AND program_code = ?3 AND (owner = ?2 OR shared = 'Y') "
            "ORDER BY set_code, owner",
            {a.Text(1), a.Text(2), a.Text(3)});
        std::vector<Variant> answer{Variant(static_cast<int>(rows.size()))};
        for (const TextRow& r : rows)
            answer.push_back(Variant::ArrayOf({r[0], r[1], r[2], r[3]}));
        return Variant::ArrayOf(std::move(answer));
    }
    if (mode == "2") {
        TArgList a(params, 5, "GetUserDEFOption (load)");
        SQLite::Statement st(db.Db(), "SELECT lines FROM condition_sets WHERE company_code = ?1 "
                                      "AND owner = ?2 AND program_code = ?3 AND set_code = ?4");
        st.bind(1, a.Text(1));
        st.bind(2, a.Text(2));
        st.bind(3, a.Text(3));
        st.bind(4, a.Text(4));
        if (!st.executeStep())
            return Variant::ArrayOf({Variant(0)});
        SQLite::Column col = st.getColumn(0);
        Variant lines = DecodeLines(std::string(static_cast<const char*>(col.getBlob()),
                                                static_cast<std::size_t>(col.getBytes())));
        std::vector<Variant> answer{Variant(lines.ArrayCount())};
        for (int i = 0; i < lines.ArrayCount(); ++i)
            answer.push_back(lines[lines.ArrayLowBound() + i]);
        return Variant::ArrayOf(std::move(answer));
    }
    throw EVariantError("GetUserDEFOption: the mode must be \"1\" (list) or \"2\" (load), not \"" +
                        mode + "\"");
}

Variant InsertUserDEFOption(TDemoDatabase& db, const Variant& params) {
    TArgList a(params, 7, "InsertUserDEFOption");
    const Variant& lines = a.Value(5);
    if (!lines.IsArray() && !lines.IsEmptyOrNull())
        throw EVariantError("InsertUserDEFOption: the set's lines must be an array");
    const std::string shared = a.Text(6) == "Y" ? "Y" : "N";
    if (a.Text(2).empty())
        throw EVariantError("InsertUserDEFOption: the set's code is empty");
    const std::string blob = EncodeLines(lines.IsArray() ? lines : Variant::ArrayOf({}));
    SQLite::Statement st(db.Db(),
                         "INSERT INTO condition_sets(company_code, owner, set_code, set_name, "
                         "program_code, lines, shared) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7) "
                         "ON CONFLICT(company_code, program_code, owner, set_code) DO UPDATE "
                         "SET set_name = excluded.set_name, lines = excluded.lines, "
                         "shared = excluded.shared");
    st.bind(1, a.Text(0));
    st.bind(2, a.Text(1));
    st.bind(3, a.Text(2));
    st.bind(4, a.Text(3));
    st.bind(5, a.Text(4));
    st.bind(6, blob.data(), static_cast<int>(blob.size()));
    st.bind(7, shared);
    st.exec();
    return Variant("OK");
}

Variant DelUserDEFOption(TDemoDatabase& db, const Variant& params) {
    TArgList a(params, 4, "DelUserDEFOption");
    SQLite::Statement st(db.Db(), "DELETE FROM condition_sets WHERE company_code = ?1 AND "
                                  "owner = ?2 AND set_code = ?3 AND program_code = ?4");
    st.bind(1, a.Text(0));
    st.bind(2, a.Text(1));
    st.bind(3, a.Text(2));
    st.bind(4, a.Text(3));
    return Variant(st.exec());
}

} // namespace nuv::host
