#include "Manager.h"

#include "ChineseConverter.h"
#include "ConditionSets.h"
#include "DemoDatabase.h"
#include "HelpWindow.h"
#include "LookupWindow.h"
#include "ManagerArgs.h"
#include "NamedQueries.h"

#include "platform/Automation.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <cctype>

namespace nuv::host {

namespace {

// What the Manager and its services share: the database (opened once) and the converters.
class TManagerState {
public:
    void Connect(const std::string& path) {
        db_ =
            std::make_shared<TDemoDatabase>(path.empty() ? TDemoDatabase::ConfiguredPath() : path);
    }
    TDemoDatabase& Db() {
        if (!db_)
            Connect({});
        return *db_;
    }
    TChineseConverter& Converter() { return converter_; }

private:
    DemoDatabasePtr db_;
    TChineseConverter converter_;
};
using StatePtr = std::shared_ptr<TManagerState>;

// Windows need the application object of the host's UI thread.
void RequireApplication(const char* what) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        throw Exception(std::string(what) + " needs a QApplication in the calling program");
}

// The window a handle names, so that a look-up opens over the dialog that asked for it; the
// active window when the handle names none of this program's windows.
QWidget* WindowOfHandle(const Variant& handle) {
    const Variant& h = handle.Deref();
    if (h.IsNumeric() && h.ToDouble() > 0)
        if (QWidget* w = QWidget::find(static_cast<WId>(h.ToDouble())))
            return w->window();
    return QApplication::activeWindow();
}

// The parameters of a look-up: an array of scalars, a single scalar, or nothing.
std::vector<std::string> QueryParams(const Variant& params, const std::string& what) {
    const Variant& p = params.Deref();
    std::vector<std::string> out;
    if (p.IsEmptyOrNull())
        return out;
    if (!p.IsArray()) {
        out.push_back(ScalarText(p, what));
        return out;
    }
    TArgList list(p, 0, what);
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Text(i));
    return out;
}

const TNamedQuery& RequireQuery(const std::string& table, const std::string& key) {
    const TNamedQuery* q = FindNamedQuery(table, key);
    if (!q) {
        std::string known;
        for (const TNamedQuery& n : NamedQueries())
            known += std::string(known.empty() ? "" : ", ") + n.table + "-" + n.key;
        throw Exception("Unknown look-up \"" + table + "-" + key + "\" (known: " + known + ")");
    }
    return *q;
}

void RequireParamCount(const TNamedQuery& q, const std::vector<std::string>& params, int count,
                       const char* use) {
    if (static_cast<int>(params.size()) != count)
        throw EVariantError(std::string(q.table) + "-" + q.key + " " + use + " takes " +
                            std::to_string(count) + " parameter(s), got " +
                            std::to_string(params.size()));
}

Variant RowVariant(const TextRow& row) {
    std::vector<Variant> cells(row.begin(), row.end());
    return Variant::ArrayOf(std::move(cells));
}

// --- VarManager ----------------------------------------------------------------------------

class TVarManager : public TAutoObject {
public:
    explicit TVarManager(StatePtr state) : TAutoObject("Com_VarManager"), state_(std::move(state)) {
        AddMethod(
            "GetSysInfo", [this](std::span<Variant> a) { return GetSysInfo(a[0]); }, 1, 1);
    }

private:
    Variant GetSysInfo(const Variant& company) {
        TextRows rows = state_->Db().Rows(
            "SELECT name, value FROM settings WHERE company_code = ?1 ORDER BY name",
            {ScalarText(company, "GetSysInfo company code")});
        Variant table = Variant::CreateArray({{0, 1}, {0, static_cast<int>(rows.size()) - 1}});
        for (std::size_t i = 0; i < rows.size(); ++i) {
            table.Element(0, static_cast<int>(i)) = rows[i][0];
            table.Element(1, static_cast<int>(i)) = rows[i][1];
        }
        return table;
    }
    StatePtr state_;
};

// --- Validator -----------------------------------------------------------------------------

class TValidator : public TAutoObject {
public:
    explicit TValidator(StatePtr state) : TAutoObject("Com_Validator"), state_(std::move(state)) {
        AddMethod(
            "CheckValue", [this](std::span<Variant> a) { return Look(a, false); }, 5, 5);
        AddMethod(
            "QueryData", [this](std::span<Variant> a) { return Look(a, true); }, 5, 5);
    }

private:
    Variant Look(std::span<Variant> a, bool all) {
        const char* op = all ? "QueryData" : "CheckValue";
        const TNamedQuery& q = RequireQuery(ScalarText(a[0], std::string(op) + " table"),
                                            ScalarText(a[1], std::string(op) + " key"));
        std::vector<std::string> params = QueryParams(a[3], std::string(op) + " parameters");
        Variant& result = a[4].Deref();
        if (all) {
            RequireParamCount(q, params, q.listParams, "QueryData");
            TextRows rows = state_->Db().Rows(q.listSql, params);
            std::vector<Variant> out;
            out.reserve(rows.size());
            for (const TextRow& r : rows)
                out.push_back(RowVariant(r));
            result = rows.empty() ? Variant() : Variant::ArrayOf(std::move(out));
            return Variant(!rows.empty());
        }
        RequireParamCount(q, params, q.checkParams, "CheckValue");
        TextRows rows = state_->Db().Rows(q.checkSql, params);
        result = rows.empty() ? Variant() : RowVariant(rows.front());
        return Variant(!rows.empty());
    }
    StatePtr state_;
};

// --- F2Window ------------------------------------------------------------------------------

class TF2Window : public TAutoObject {
public:
    explicit TF2Window(StatePtr state) : TAutoObject("Com_F2Window"), state_(std::move(state)) {
        AddMethod(
            "F2GetData", [this](std::span<Variant> a) { return F2GetData(a[0]); }, 1, 1);
    }

private:
    Variant F2GetData(const Variant& request) {
        // The last four elements (two reserved, the two rights switches) are optional here.
        TArgList a(request, 8, "F2GetData");
        const TNamedQuery& q = RequireQuery(a.Text(0), a.Text(1));
        std::vector<std::string> params = QueryParams(a.Value(2), "F2GetData parameters");
        RequireParamCount(q, params, q.listParams, "F2GetData");
        const bool multi = a.Value(3).IsEmptyOrNull() ? false : a.Value(3).ToBool();
        RequireApplication("The look-up window");
        TextRows rows = state_->Db().Rows(q.listSql, params);
        QStringList captions;
        for (const char* c : q.captions)
            captions << QString::fromUtf8(c);
        return RunLookupWindow(QString::fromUtf8(q.title), captions, std::move(rows), multi,
                               QString::fromStdString(a.Text(4)), WindowOfHandle(a.Value(7)));
    }
    StatePtr state_;
};

// --- Counter -------------------------------------------------------------------------------

class TCounter : public TAutoObject {
public:
    explicit TCounter(StatePtr state) : TAutoObject("Com_Counter"), state_(std::move(state)) {
        AddMethod(
            "GetCounter", [this](std::span<Variant> a) { return GetCounter(a); }, 3, 3);
    }

private:
    Variant GetCounter(std::span<Variant> a) {
        std::string name = ScalarText(a[0], "GetCounter name");
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        Variant& value = a[1].Deref();
        TDemoDatabase& db = state_->Db();
        if (name == "GETUSERDEFOPTION")
            return GetUserDEFOption(db, value);
        if (name == "INSERTUSERDEFOPTION")
            return InsertUserDEFOption(db, value);
        if (name == "DELUSERDEFOPTION")
            return DelUserDEFOption(db, value);
        if (name.empty())
            throw EVariantError("GetCounter: the counter name is empty");
        const std::string company = ArgArrayText(a[2], 0, "GetCounter company");
        TextRows rows = db.Rows("INSERT INTO counters(company_code, name, value) "
                                "VALUES (?1, ?2, 1) ON CONFLICT(company_code, name) "
                                "DO UPDATE SET value = value + 1 RETURNING value",
                                {company, name});
        const int next = std::stoi(rows.at(0).at(0));
        value = Variant(next);
        return Variant(next);
    }
    StatePtr state_;
};

// --- Phrase --------------------------------------------------------------------------------

class TPhrase : public TAutoObject {
public:
    explicit TPhrase(StatePtr state) : TAutoObject("Com_Phrase"), state_(std::move(state)) {
        AddMethod(
            "GetPhrase", [this](std::span<Variant> a) { return GetPhrase(a); }, 2, 3);
    }

private:
    Variant GetPhrase(std::span<Variant> a) {
        const std::string user = ScalarText(a[0], "GetPhrase user code");
        RequireApplication("The phrase window");
        TextRows rows = state_->Db().Rows(
            "SELECT CASE user_code WHEN '*' THEN '共用' ELSE user_code END, phrase FROM phrases "
            "WHERE user_code = ?1 OR user_code = '*' "
            "ORDER BY user_code = '*', phrase_no",
            {user});
        Variant answer = RunLookupWindow(
            QStringLiteral("片語選擇"), {QStringLiteral("使用者"), QStringLiteral("片語")},
            std::move(rows), false, QString(), a.size() > 2 ? WindowOfHandle(a[2]) : nullptr,
            QStringLiteral("輸入片語的一部分以縮小範圍"));
        if (!answer.IsArray() || answer.ArrayCount() == 0)
            return Variant("");
        return Variant(answer[0][1].ToString());
    }
    StatePtr state_;
};

// --- Manager -------------------------------------------------------------------------------

class TManager : public TAutoObject {
public:
    TManager()
        : TAutoObject("ProwenWorkCenter.Manager"), state_(std::make_shared<TManagerState>()) {
        AddMethod(
            "Connect",
            [this](std::span<Variant> a) {
                state_->Connect(a.empty() ? std::string() : ScalarText(a[0], "Connect path"));
                return Variant();
            },
            0, 1);
        AddProperty("VersionType", [](std::span<Variant>) { return Variant(ManagerVersionKind); });
        AddMethod(
            "CallHelp", [this](std::span<Variant> a) { return CallHelp(a[0]); }, 1, 1);
        AddMethod(
            "GetMessage", [this](std::span<Variant> a) { return GetMessage(a[0], a[1]); }, 2, 2);
        AddMethod(
            "BIG5toGB",
            [this](std::span<Variant> a) {
                return state_->Converter().Convert(TChineseDirection::ToSimplified, a[0]);
            },
            1, 1);
        AddMethod(
            "GBtoBig5",
            [this](std::span<Variant> a) {
                return state_->Converter().Convert(TChineseDirection::ToTraditional, a[0]);
            },
            1, 1);
        AddService<TVarManager>("Com_VarManager");
        AddService<TValidator>("Com_Validator");
        AddService<TF2Window>("Com_F2Window");
        AddService<TCounter>("Com_Counter");
        AddService<TPhrase>("Com_Phrase");
    }

private:
    template <typename T> void AddService(const char* name) {
        AddProperty(name,
                    [this](std::span<Variant>) { return Variant(MakeAutoObject<T>(state_)); });
    }

    Variant GetMessage(const Variant& typeArg, const Variant& idArg) {
        const std::string type = ScalarText(typeArg, "GetMessage type");
        const std::string id = ScalarText(idArg, "GetMessage id");
        // Another type's text of the same id is better than none.
        TextRows rows = state_->Db().Rows(
            "SELECT text FROM messages WHERE msg_id = ?2 ORDER BY msg_type <> ?1, msg_type",
            {type, id});
        if (rows.empty())
            return Variant("訊息檔中找不到此訊息 (類別=" + type + ", 代號=" + id + ")");
        return Variant(rows.front().front());
    }

    Variant CallHelp(const Variant& request) {
        TArgList a(request, 2, "CallHelp");
        const std::string module = a.Text(0);
        const std::string topic = a.Text(1);
        TextRows rows = state_->Db().Rows(
            "SELECT title, body FROM help_topics WHERE module_code = ?1 AND topic = ?2",
            {module, topic});
        RequireApplication("The help window");
        THelpWindow window(QString::fromStdString(module), QString::fromStdString(topic),
                           !rows.empty(),
                           rows.empty() ? QString() : QString::fromStdString(rows[0][0]),
                           rows.empty() ? QString() : QString::fromStdString(rows[0][1]),
                           QApplication::activeWindow());
        window.exec();
        return {};
    }

    StatePtr state_;
};

} // namespace

DispatchPtr CreateManager() {
    return MakeAutoObject<TManager>();
}

} // namespace nuv::host
