// A Manager for tests of the code-page conversion: "BIG5toGB" and "GBtoBig5" (and "Big5ToGB",
// the same method since names match without case) map Traditional to Simplified characters and
// back through a fixed table. A text comes back as a text; a byte text in Big5 comes back as a
// byte text in GB (and the reverse); any other value comes back as it is. Every call is logged,
// and a test can make calls fail or answer a value of another kind.
//
//     TestConvertManager* m;
//     Variant manager = TestConvertManager::Make(&m);
//     converter->SetManager(manager);
#pragma once

#include "platform/Automation.h"
#include "platform/Exception.h"

#include <nuv/CodePageText.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nuv::test {

class TestConvertManager : public TAutoObject {
public:
    struct Call {
        std::string Method; // "BIG5toGB" or "GBtoBig5"
        Variant Argument;   // the value as it arrived
        bool ByRef = false; // passed by reference
    };

    // The object, held in a Variant as a host hands it over; *self (optional) points at it.
    static Variant Make(TestConvertManager** self = nullptr) {
        auto* m = new TestConvertManager;
        if (self != nullptr)
            *self = m;
        return Variant(DispatchPtr::Adopt(m));
    }

    // Pairs of Traditional and Simplified characters (UTF-8), one pair per entry.
    static const std::vector<std::pair<std::string, std::string>>& Table() {
        static const std::vector<std::pair<std::string, std::string>> table = {
            {"項", "项"}, {"覽", "览"}, {"緒", "绪"}, {"確", "确"}, {"週", "周"}, {"選", "选"},
            {"統", "统"}, {"訂", "订"}, {"條", "条"}, {"範", "范"}, {"圍", "围"}, {"開", "开"},
            {"結", "结"}, {"單", "单"}, {"號", "号"}, {"說", "说"}, {"報", "报"}, {"設", "设"},
            {"輸", "输"}, {"資", "资"}, {"體", "体"}, {"細", "细"}, {"產", "产"}, {"類", "类"},
            {"別", "别"}, {"顯", "显"}, {"擇", "择"}, {"執", "执"}, {"時", "时"}, {"間", "间"},
            {"戶", "户"}, {"貨", "货"}, {"區", "区"}, {"預", "预"}, {"儲", "储"}, {"刪", "删"},
            {"關", "关"}, {"錯", "错"}, {"誤", "误"}, {"訊", "讯"}, {"請", "请"}, {"數", "数"},
            {"價", "价"}, {"員", "员"}, {"門", "门"}, {"廠", "厂"}, {"碼", "码"}, {"稱", "称"},
            {"備", "备"}, {"註", "注"}, {"狀", "状"}, {"態", "态"}, {"頁", "页"}, {"標", "标"},
            {"檢", "检"}, {"個", "个"}, {"對", "对"}, {"話", "话"}, {"錄", "录"}, {"組", "组"},
            {"級", "级"}, {"發", "发"}, {"電", "电"}, {"郵", "邮"}, {"傳", "传"}, {"隊", "队"},
            {"佇", "伫"}, {"記", "记"}, {"畫", "画"}, {"內", "内"}, {"應", "应"}, {"簡", "简"},
            {"換", "换"}, {"轉", "转"}, {"業", "业"}, {"務", "务"}, {"計", "计"}, {"義", "义"},
            {"龍", "龙"}, {"東", "东"}, {"華", "华"}, {"來", "来"}, {"國", "国"}, {"語", "语"},
            {"無", "无"}, {"並", "并"}, {"為", "为"}, {"與", "与"}, {"變", "变"}, {"總", "总"},
            {"歷", "历"}, {"庫", "库"}, {"鈕", "钮"}, {"圖", "图"}, {"樣", "样"}, {"訖", "讫"},
            {"實", "实"}, {"帳", "帐"}, {"筆", "笔"}, {"際", "际"},
        };
        return table;
    }

    // Maps each character of a UTF-8 text through the table, in either direction.
    static std::string MapText(const std::string& text, bool toSimplified) {
        std::string out;
        std::size_t i = 0;
        while (i < text.size()) {
            std::size_t n = 1;
            auto lead = static_cast<unsigned char>(text[i]);
            if (lead >= 0xF0)
                n = 4;
            else if (lead >= 0xE0)
                n = 3;
            else if (lead >= 0xC0)
                n = 2;
            std::string ch = text.substr(i, n);
            for (const auto& [trad, simp] : Table()) {
                if (ch == (toSimplified ? trad : simp)) {
                    ch = toSimplified ? simp : trad;
                    break;
                }
            }
            out += ch;
            i += n;
        }
        return out;
    }

    const std::vector<Call>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // The texts the calls carried, in order.
    std::vector<std::string> Arguments() const {
        std::vector<std::string> out;
        for (const Call& c : calls_)
            out.push_back(c.Argument.ToString());
        return out;
    }
    // Calls after the first `calls` fail (an exception inside the object).
    void FailAfter(int calls) { failAfter_ = calls; }
    // Every call answers this value instead of the converted one.
    void AnswerWith(Variant value) { answer_ = std::move(value); }
    void Reset() {
        failAfter_.reset();
        answer_.reset();
    }

private:
    TestConvertManager() : TAutoObject("ProwenWorkCenter.Manager") {
        AddMethod(
            "BIG5toGB", [this](std::span<Variant> a) { return Convert("BIG5toGB", a[0]); }, 1, 1);
        AddMethod(
            "GBtoBig5", [this](std::span<Variant> a) { return Convert("GBtoBig5", a[0]); }, 1, 1);
    }

    Variant Convert(const char* method, Variant& arg) {
        calls_.push_back({method, arg.Deref(), arg.IsByRef()});
        if (failAfter_ && static_cast<int>(calls_.size()) > *failAfter_)
            throw Exception("conversion service is not available");
        if (answer_)
            return *answer_;
        const bool toGB = std::string(method) == "BIG5toGB";
        const Variant& v = arg.Deref();
        if (v.Type() == VarType::Text)
            return Variant(MapText(v.ToString(), toGB));
        if (v.Type() == VarType::ByteText) {
            std::string text = MapText(DecodeCodePage(v.Bytes(), v.CodePage()), toGB);
            int target = toGB ? 936 : 950;
            return Variant::FromBytes(EncodeCodePage(text, target), target);
        }
        return v;
    }

    std::vector<Call> calls_;
    std::optional<int> failAfter_;
    std::optional<Variant> answer_;
};

} // namespace nuv::test
