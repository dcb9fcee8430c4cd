#include "HostValues.h"

#include <nuv/RequestMarkers.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>
#include <limits>
#include <vector>

namespace nuv {

namespace {

[[noreturn]] void Fault(const QString& where, const QString& what) {
    throw Exception(QStringLiteral("%1: %2").arg(where, what).toStdString());
}

Variant ToVariant(const QJsonValue& v, const QString& where);

Variant ArrayToVariant(const QJsonArray& a, const QString& where) {
    std::vector<Variant> items;
    items.reserve(static_cast<std::size_t>(a.size()));
    for (qsizetype i = 0; i < a.size(); ++i)
        items.push_back(ToVariant(a[i], QStringLiteral("%1[%2]").arg(where).arg(i)));
    return Variant::ArrayOf(std::move(items));
}

Variant Text(const QJsonValue& v, const QString& where) {
    if (!v.isString())
        Fault(where, QStringLiteral("a text is expected"));
    return Variant(v.toString().toStdString());
}

// {"range": [begin, end]} or {"list": [row, ...]}.
Variant PanelValue(const QJsonObject& o, const QString& where) {
    if (o.size() == 1 && o.contains(QLatin1String("range"))) {
        const QString at = where + QLatin1String(".range");
        const QJsonValue r = o.value(QLatin1String("range"));
        if (!r.isArray() || r.toArray().size() != 2)
            Fault(at, QStringLiteral("two texts [begin, end] are expected"));
        const QJsonArray a = r.toArray();
        return Variant::ArrayOf({RangeMarker, Text(a[0], at + QLatin1String("[0]")),
                                 Text(a[1], at + QLatin1String("[1]"))});
    }
    if (o.size() == 1 && o.contains(QLatin1String("list"))) {
        const QString at = where + QLatin1String(".list");
        const QJsonValue l = o.value(QLatin1String("list"));
        if (!l.isArray())
            Fault(at, QStringLiteral("a list of rows is expected"));
        std::vector<Variant> rows{Variant(ListMarker)};
        const QJsonArray a = l.toArray();
        for (qsizetype i = 0; i < a.size(); ++i) {
            const QString rowAt = QStringLiteral("%1[%2]").arg(at).arg(i);
            if (a[i].isString()) {
                rows.push_back(Variant::ArrayOf({Text(a[i], rowAt)}));
                continue;
            }
            if (!a[i].isArray() || a[i].toArray().isEmpty())
                Fault(rowAt, QStringLiteral("a row is a text or [caption, sub-item, ...]"));
            std::vector<Variant> cells;
            const QJsonArray row = a[i].toArray();
            for (qsizetype k = 0; k < row.size(); ++k)
                cells.push_back(Text(row[k], QStringLiteral("%1[%2]").arg(rowAt).arg(k)));
            rows.push_back(Variant::ArrayOf(std::move(cells)));
        }
        return Variant::ArrayOf(std::move(rows));
    }
    Fault(where, QStringLiteral("an object value is {\"range\": [begin, end]} or "
                                "{\"list\": [rows]}"));
}

Variant ToVariant(const QJsonValue& v, const QString& where) {
    switch (v.type()) {
    case QJsonValue::Null:
        return Variant::MakeNull();
    case QJsonValue::Bool:
        return Variant(v.toBool());
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (std::trunc(d) == d && d >= std::numeric_limits<std::int32_t>::min() &&
            d <= std::numeric_limits<std::int32_t>::max())
            return Variant(static_cast<int>(d));
        return Variant(d);
    }
    case QJsonValue::String:
        return Variant(v.toString().toStdString());
    case QJsonValue::Array:
        return ArrayToVariant(v.toArray(), where);
    case QJsonValue::Object:
        return PanelValue(v.toObject(), where);
    case QJsonValue::Undefined:
        break;
    }
    Fault(where, QStringLiteral("no value"));
}

QString ComponentName(const QJsonValue& v, const QString& where) {
    const QString name = v.toString();
    if (!v.isString() || name.trimmed().isEmpty())
        Fault(where, QStringLiteral("a component name is expected"));
    return name;
}

} // namespace

Variant THostValues::HostValueArray(int runMode) const {
    return Variant::ArrayOf({0, Variant::ArrayOf({runMode, Variant::ArrayOf({true, Values})})});
}

THostValues ParseHostValues(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (doc.isNull())
        Fault(QStringLiteral("offset %1").arg(error.offset), error.errorString());
    if (!doc.isObject())
        Fault(QStringLiteral("the file"),
              QStringLiteral("an object {\"runMode\": ..., \"values\": ...} is expected"));
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it)
        if (it.key() != QLatin1String("runMode") && it.key() != QLatin1String("values"))
            Fault(it.key(), QStringLiteral("unknown entry (runMode and values are known)"));

    THostValues result;
    if (root.contains(QLatin1String("runMode"))) {
        const QJsonValue mode = root.value(QLatin1String("runMode"));
        const double d = mode.toDouble(-1);
        if (!mode.isDouble() || std::trunc(d) != d || d < 0 || d > 1000)
            Fault(QStringLiteral("runMode"),
                  QStringLiteral("a whole number 0 or more is expected"));
        result.RunMode = static_cast<int>(d);
    }

    std::vector<Variant> pairs;
    std::vector<Variant> values;
    auto add = [&](const QString& caption, const QString& name, const Variant& value) {
        pairs.push_back(Variant::ArrayOf({caption.toStdString(), name.toStdString()}));
        values.push_back(value);
    };
    const QJsonValue given = root.value(QLatin1String("values"));
    if (given.isArray()) {
        const QJsonArray list = given.toArray();
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString at = QStringLiteral("values[%1]").arg(i);
            if (!list[i].isObject())
                Fault(at, QStringLiteral("an object {\"name\", \"value\"} is expected"));
            const QJsonObject entry = list[i].toObject();
            for (auto it = entry.begin(); it != entry.end(); ++it)
                if (it.key() != QLatin1String("name") && it.key() != QLatin1String("caption") &&
                    it.key() != QLatin1String("value"))
                    Fault(at + QLatin1Char('.') + it.key(),
                          QStringLiteral("unknown entry (name, caption and value are known)"));
            const QString name =
                ComponentName(entry.value(QLatin1String("name")), at + QLatin1String(".name"));
            if (!entry.contains(QLatin1String("value")))
                Fault(at, QStringLiteral("the value is missing"));
            const QJsonValue caption = entry.value(QLatin1String("caption"));
            if (!caption.isUndefined() && !caption.isString())
                Fault(at + QLatin1String(".caption"), QStringLiteral("a text is expected"));
            add(caption.isString() ? caption.toString() : name, name,
                ToVariant(entry.value(QLatin1String("value")), at + QLatin1String(".value")));
        }
    } else if (given.isObject()) {
        const QJsonObject map = given.toObject();
        for (auto it = map.begin(); it != map.end(); ++it) {
            const QString at = QStringLiteral("values.%1").arg(it.key());
            add(it.key(), ComponentName(it.key(), at), ToVariant(it.value(), at));
        }
    } else {
        Fault(QStringLiteral("values"),
              QStringLiteral("a list of {\"name\", \"value\"} or an object of name: value is "
                             "expected"));
    }
    result.Values =
        Variant::ArrayOf({Variant::ArrayOf(std::move(pairs)), Variant::ArrayOf(std::move(values))});
    return result;
}

THostValues ReadHostValuesFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception("Cannot read the values file " + path.toStdString() + ": " +
                        file.errorString().toStdString());
    try {
        return ParseHostValues(file.readAll());
    } catch (const Exception& e) {
        throw Exception("The values file " + path.toStdString() + " is not valid: " + e.what());
    }
}

} // namespace nuv
