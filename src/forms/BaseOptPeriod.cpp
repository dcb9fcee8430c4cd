// The periodic schedule page of TfrmBaseOpt: the execution time, the cycle mode and range, how
// each date condition of the report moves with the runs, the runs the schedule will make, and
// the completion of a periodic request (schedule record, moved dates of the first run, the
// changing-date rules).
#include "forms/BaseOpt.h"

#include "controls/SelectPnl.h"
#include "forms/Schedule.h"
#include "forms/ScheduleRules.h"
#include "platform/AsciiText.h"
#include "platform/DateTime.h"
#include "runtime/FieldChecks.h"
#include "runtime/NuMsg.h"
#include "support/LibStrs.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <utility>

namespace nuv {

namespace {

const char* const WeekdayNames[] = {"星期日", "星期一", "星期二", "星期三",
                                    "星期四", "星期五", "星期六"};
const char* const WeekdayShortNames[] = {"日", "一", "二", "三", "四", "五", "六"};
const char* const OrdinalNames[] = {"第 1 個", "第 2 個", "第 3 個", "第 4 個", "最後"};
const char* const UnitNames[] = {"週", "月"};
const char* const MoveModeNames[] = {"加/減", "第一天", "最後一天"};

// Reasons the next-runs list gives instead of runs.
const char* const StartDateMissing = "請輸入正確的開始日期";
const char* const EndDateMissing = "請輸入正確的結束日期";
const char* const EndBeforeStart = "結束日期早於開始日期";
const char* const CycleIncomplete = "週期設定不完整";

// A whole number with an optional sign; false for anything else (an emptied field among them).
bool ReadWhole(const std::string& text, int& value) {
    std::string_view s = TrimBlanks(text);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 9)
        return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    value = negative ? -v : v;
    return true;
}

// The number of a spin edit as the schedule uses it: what the user typed, brought into the
// edit's range as the edit itself does when the focus leaves it (the schedule may be read before
// that happens). A text that is no number raises, so that nothing is built from it.
int SpinNumber(const TSpinEdit* edit) {
    int v = 0;
    if (!ReadWhole(edit->Text(), v))
        throw Exception("'" + edit->Text() + "' in " + edit->Name() + " is not a number");
    if (edit->MinValue() != edit->MaxValue())
        v = std::clamp(v, edit->MinValue(), edit->MaxValue());
    return v;
}

std::string SpinText(const TSpinEdit* edit) {
    return std::to_string(SpinNumber(edit));
}

// A field's text read the way the exit rules read it: trimmed, a non-number counting as 0.
int ExitNumber(const std::string& text) {
    int v = 0;
    return ReadWhole(text, v) ? v : 0;
}

// A changing-date count or days value as an entry stores it: a number within the edit's range,
// a non-number counting as 0 (as the edit shows it once the focus leaves it).
std::string RuleNumber(const TSpinEdit* edit) {
    int v = ExitNumber(edit->Text());
    return std::to_string(std::clamp(v, edit->MinValue(), edit->MaxValue()));
}

// A real date written "YYYYMMDD" (an empty text is none).
bool IsDate8(const std::string& text) {
    return text.size() == 8 && DateFromYYYYMMDD(text) != 0;
}

int SelectedIndex(const TComboBox* box) {
    const int i = box->ItemIndex();
    if (i < 0)
        throw Exception(box->Name() + " has nothing chosen");
    return i;
}

DateMoveRule RuleOf(const TCheckBox* check, const TSpinEdit* count, const TComboBox* unit,
                    const TComboBox* mode, const TSpinEdit* days) {
    DateMoveRule r;
    r.Moves = check->Checked();
    r.Count = RuleNumber(count);
    r.Unit = std::max(0, unit->ItemIndex());
    r.Mode = std::max(0, mode->ItemIndex());
    r.Days = RuleNumber(days);
    return r;
}

std::string Field(const std::string& line, int k) {
    return GetDelimitedField(line, DynamicFieldSeparator, k);
}

int FieldIndex(const std::string& line, int k) {
    int v = 0;
    return ReadWhole(Field(line, k), v) ? v : 0;
}

} // namespace

// --- the page's components -------------------------------------------------------------------

void TfrmBaseOpt::CreatePeriodPage() {
    tsPeriodOption->SetParentFont(false);
    tsPeriodOption->Font()->SetName("新細明體");
    tsPeriodOption->Font()->SetHeight(-12);
    tsPeriodOption->Font()->SetCharset(CHINESEBIG5_CHARSET);

    int labels = 1; // lblPeriod1, 11, 12 and 13 are named by the page; the others count on
    auto label = [this, &labels](TWinControl* parent, const std::string& caption, int left,
                                 int top) {
        auto* l = new TLabel(this);
        if (++labels == 11)
            labels = 14;
        l->SetName("lblPeriod" + std::to_string(labels));
        l->SetParent(parent);
        l->SetCaption(caption);
        l->SetLeft(left);
        l->SetTop(top);
        l->SetAutoSize(true);
        return l;
    };
    auto named = [](TControl* c, const char* name, TWinControl* parent, int left, int top,
                    int width, int height) {
        c->SetName(name);
        c->SetParent(parent);
        c->SetBounds(left, top, width, height);
    };
    auto spin = [&named]<typename T>(T* s, const char* name, TWinControl* parent, int left, int top,
                                     int width, int low, int high, int length, int value,
                                     const char* hint) {
        named(s, name, parent, left, top, width, 20);
        s->SetMinValue(low);
        s->SetMaxValue(high);
        s->SetMaxLength(length);
        s->SetValue(value);
        s->SetHint(hint);
        s->SetShowHint(true);
        return s;
    };
    auto panel = [this, &named](const char* name, TWinControl* parent, int left, int top, int width,
                                int height) {
        auto* p = new TPanel(this);
        named(p, name, parent, left, top, width, height);
        p->SetCaption("");
        p->SetBevelOuter(bvNone);
        return p;
    };
    auto group = [this, &named](const char* name, const char* caption, int left, int top, int width,
                                int height) {
        auto* g = new TGroupBox(this);
        named(g, name, tsPeriodOption, left, top, width, height);
        g->SetCaption(caption);
        return g;
    };
    auto radio = [this, &named](const char* name, const char* caption, TWinControl* parent,
                                int left, int top, int width) {
        auto* r = new TNuRadioButton(this);
        named(r, name, parent, left, top, width, 18);
        r->SetCaption(caption);
        return r;
    };
    auto combo = [this, &named](const char* name, TWinControl* parent, int left, int top, int width,
                                std::initializer_list<const char*> items) {
        auto* c = new TComboBox(this);
        named(c, name, parent, left, top, width, 20);
        c->SetStyle(csDropDownList);
        for (const char* item : items)
            c->Items()->Add(item);
        c->SetItemIndex(0);
        return c;
    };
    auto dateEdit = [this, &named](const char* name, TWinControl* parent, int left, int top) {
        auto* e = new TMaskEdit(this);
        named(e, name, parent, left, top, 96, 20);
        e->SetHint("[F2]日期快手");
        e->SetShowHint(true);
        e->SetText("");
        return e;
    };
    auto dateButton = [this, &named](const char* name, TMaskEdit* edit, int left, int top) {
        auto* b = new TF2Button(this);
        b->SetAutoAlign(false);
        named(b, name, edit->Parent(), left, top, 20, 20);
        b->SetF2Control(edit);
        b->SetGlyphIndex(9);
        b->SetHint("日期快手");
        b->SetFlat(true);
        return b;
    };

    // The execution time.
    lblPeriod1 = new TLabel(this);
    named(lblPeriod1, "lblPeriod1", tsPeriodOption, 10, 13, 52, 14);
    lblPeriod1->SetCaption("執行時間");
    sePeriodHour = spin(new TSpinEdit(this), "sePeriodHour", tsPeriodOption, 66, 10, 42, 0, 23, 2,
                        0, "時間: 時");
    label(tsPeriodOption, "時", 111, 13);
    sePeriodMin = spin(new TSpinEdit(this), "sePeriodMin", tsPeriodOption, 128, 10, 42, 0, 59, 2, 0,
                       "時間: 分");
    label(tsPeriodOption, "分", 173, 13);

    // The cycle mode: the buttons on the left, the chosen mode's panel at (76, 12).
    gbCycleStyle = group("gbCycleStyle", "循環模式", 6, 36, 424, 94);
    rdoHourMin = radio("rdoHourMin", "時分", gbCycleStyle, 10, 16, 60);
    rdoEveryday = radio("rdoEveryday", "每天", gbCycleStyle, 10, 34, 60);
    rdoEveryWeek = radio("rdoEveryWeek", "每週", gbCycleStyle, 10, 52, 60);
    rdoEveryMonth = radio("rdoEveryMonth", "每月", gbCycleStyle, 10, 70, 60);
    rdoEveryday->SetChecked(true);

    pnHourMin = panel("pnHourMin", gbCycleStyle, 76, 12, 340, 76);
    label(pnHourMin, "每", 4, 7);
    meHour = spin(new TSpinEdit(this), "meHour", pnHourMin, 22, 4, 42, 0, 23, 2, 0, "時間: 時");
    label(pnHourMin, "時", 68, 7);
    meMin = spin(new TSpinEdit(this), "meMin", pnHourMin, 86, 4, 42, 0, 59, 2, 30, "時間: 分");
    label(pnHourMin, "分", 132, 7);
    pnHourMin->SetVisible(false);

    pnDay = panel("pnDay", gbCycleStyle, 76, 12, 340, 76);
    label(pnDay, "每", 4, 25);
    meDay = spin(new TNuSpinEdit(this), "meDay", pnDay, 22, 22, 50, 1, 999, 3, 1, "");
    label(pnDay, "天", 76, 25);

    pnWeek = panel("pnWeek", gbCycleStyle, 76, 12, 340, 76);
    label(pnWeek, "重複於每", 4, 25);
    meWeek = spin(new TNuSpinEdit(this), "meWeek", pnWeek, 58, 22, 42, 1, 99, 2, 1, "");
    label(pnWeek, "週的", 104, 25);
    cboDayofWeek = combo("cboDayofWeek", pnWeek, 132, 22, 80,
                         {WeekdayNames[0], WeekdayNames[1], WeekdayNames[2], WeekdayNames[3],
                          WeekdayNames[4], WeekdayNames[5], WeekdayNames[6]});
    pnWeek->SetVisible(false);

    pnMonth = panel("pnMonth", gbCycleStyle, 76, 12, 340, 76);
    rdomonth_1 = radio("rdomonth_1", "每", pnMonth, 0, 12, 38);
    meMonth_M1 = spin(new TNuSpinEdit(this), "meMonth_M1", pnMonth, 40, 11, 42, 1, 99, 2, 1, "");
    label(pnMonth, "個月的", 86, 14);
    meMonth_D = spin(new TNuSpinEdit(this), "meMonth_D", pnMonth, 128, 11, 42, 1, 31, 2, 1, "");
    label(pnMonth, "日", 174, 14);
    rdomonth_2 = radio("rdomonth_2", "每", pnMonth, 0, 42, 38);
    meMonth_M2 = spin(new TNuSpinEdit(this), "meMonth_M2", pnMonth, 40, 41, 42, 1, 99, 2, 1, "");
    label(pnMonth, "個月的", 86, 44);
    cbo1Month_M2 = combo(
        "cbo1Month_M2", pnMonth, 128, 41, 74,
        {OrdinalNames[0], OrdinalNames[1], OrdinalNames[2], OrdinalNames[3], OrdinalNames[4]});
    cbo2Month_M2 = combo("cbo2Month_M2", pnMonth, 206, 41, 80,
                         {WeekdayNames[0], WeekdayNames[1], WeekdayNames[2], WeekdayNames[3],
                          WeekdayNames[4], WeekdayNames[5], WeekdayNames[6]});
    rdomonth_1->SetChecked(true);
    pnMonth->SetVisible(false);

    // The cycle range.
    gbCycleRang = group("gbCycleRang", "循環範圍", 6, 134, 238, 112);
    lblPeriod11 = new TLabel(this);
    named(lblPeriod11, "lblPeriod11", gbCycleRang, 10, 21, 52, 14);
    lblPeriod11->SetCaption("開始日期");
    meStartDate = dateEdit("meStartDate", gbCycleRang, 66, 18);
    btnStartDate = dateButton("btnStartDate", meStartDate, 164, 18);
    rbCycleRang_1 = radio("rbCycleRang_1", "沒有結束日期", gbCycleRang, 10, 42, 120);
    rbCycleRang_2 = radio("rbCycleRang_2", "在反覆", gbCycleRang, 10, 64, 64);
    meCycleRang_2 =
        spin(new TNuSpinEdit(this), "meCycleRang_2", gbCycleRang, 76, 63, 48, 1, 999, 3, 1, "");
    lblPeriod12 = new TLabel(this);
    named(lblPeriod12, "lblPeriod12", gbCycleRang, 128, 66, 52, 14);
    lblPeriod12->SetCaption("次後結束");
    rbCycleRang_3 = radio("rbCycleRang_3", "結束日期", gbCycleRang, 10, 87, 78);
    meEndDate = dateEdit("meEndDate", gbCycleRang, 90, 86);
    btnEndDate = dateButton("btnEndDate", meEndDate, 188, 86);
    rbCycleRang_1->SetChecked(true);

    // The runs the schedule gives, beside the range that ends them.
    gbNextRuns = group("gbNextRuns", "預定執行時間", 250, 134, 180, 112);
    lblNextRuns = new TLabel(this);
    named(lblNextRuns, "lblNextRuns", gbNextRuns, 12, 18, 160, 88);
    lblNextRuns->SetAutoSize(false);
    lblNextRuns->SetWordWrap(true);
    lblNextRuns->SetCaption("");

    // The changing fields.
    gbDynamicFields = group("gbDynamicFields", "變動欄位", 6, 250, 424, 100);
    lblPeriod13 = new TLabel(this);
    named(lblPeriod13, "lblPeriod13", gbDynamicFields, 10, 21, 30, 14);
    lblPeriod13->SetCaption("條件:");
    cbocondition = combo("cbocondition", gbDynamicFields, 44, 18, 220, {});
    cbocondition->SetItemIndex(-1);

    auto countEdit = [&](const char* name, TWinControl* parent, int left, int top) {
        return spin(new TSpinEdit(this), name, parent, left, top, 42, -99, 99, 3, 0, "可輸負數");
    };
    auto daysEdit = [&](const char* name, TWinControl* parent, int left, int top) {
        return spin(new TSpinEdit(this), name, parent, left, top, 48, -999, 999, 4, 0,
                    "天數:可輸負數");
    };
    auto moveGroup = [&](TWinControl* parent, int top, const char* checkName, const char* caption,
                         const char* countName, const char* unitName, const char* modeName,
                         const char* daysName, TCheckBox*& check, TSpinEdit*& count,
                         TComboBox*& unit, TComboBox*& mode, TSpinEdit*& days) {
        check = new TCheckBox(this);
        named(check, checkName, parent, 0, top + 1, 94, 18);
        check->SetCaption(caption);
        label(parent, "=預定執行日", 96, top + 3);
        count = countEdit(countName, parent, 170, top);
        unit = combo(unitName, parent, 214, top, 44, {UnitNames[0], UnitNames[1]});
        mode = combo(modeName, parent, 260, top, 80,
                     {MoveModeNames[0], MoveModeNames[1], MoveModeNames[2]});
        days = daysEdit(daysName, parent, 342, top);
        label(parent, "天", 394, top + 3);
        for (TControl* c : std::initializer_list<TControl*>{check, count, unit, mode, days})
            c->SetEnabled(false);
    };
    pnSp = panel("pnSp", gbDynamicFields, 6, 44, 412, 50);
    moveGroup(pnSp, 0, "spChangeDate_B", "變動起始日期", "seDay_B1", "cboDay_B1", "cboDay_B2",
              "seDay_B2", spChangeDate_B, seDay_B1, cboDay_B1, cboDay_B2, seDay_B2);
    moveGroup(pnSp, 26, "spChangeDate_E", "變動截止日期", "seDay_E1", "cboDay_E1", "cboDay_E2",
              "seDay_E2", spChangeDate_E, seDay_E1, cboDay_E1, cboDay_E2, seDay_E2);
    pnEdit = panel("pnEdit", gbDynamicFields, 6, 44, 412, 50);
    moveGroup(pnEdit, 0, "edChangeDate", "變動日期", "seDay1", "cboDay1", "cboDay2", "seDay2",
              edChangeDate, seDay1, cboDay1, cboDay2, seDay2);
    pnEdit->SetVisible(false);

    // The events, once every component exists (setting the values above raised none).
    tsPeriodOption->OnShow = TNotifyEvent(this, &TfrmBaseOpt::tsPeriodOptionShow);
    pgOption->OnChange = TNotifyEvent(this, &TfrmBaseOpt::pgOptionChange);
    const TNotifyEvent scheduleChange(this, &TfrmBaseOpt::PeriodScheduleChange);
    for (TSpinEdit* s : {sePeriodHour, sePeriodMin}) {
        s->OnExit = TNotifyEvent(this, &TfrmBaseOpt::sePeriodHourExit);
        s->OnChange = scheduleChange;
    }
    rdoHourMin->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rdoHourMinClick);
    rdoEveryday->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rdoEverydayClick);
    rdoEveryWeek->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rdoEveryWeekClick);
    rdoEveryMonth->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rdoEveryMonthClick);
    rdomonth_1->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rdomonth_1Click);
    rdomonth_2->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rdomonth_2Click);
    meHour->OnExit = TNotifyEvent(this, &TfrmBaseOpt::meHourExit);
    meMin->OnExit = TNotifyEvent(this, &TfrmBaseOpt::meMinExit);
    for (TSpinEdit* s : {meDay, meWeek, meMonth_M1, meMonth_M2, meCycleRang_2})
        s->OnExit = TNotifyEvent(this, &TfrmBaseOpt::meDayExit);
    meMonth_D->OnExit = TNotifyEvent(this, &TfrmBaseOpt::meMonth_DExit);
    for (TCustomEdit* e : std::initializer_list<TCustomEdit*>{
             meHour, meMin, meDay, meWeek, meMonth_M1, meMonth_D, meMonth_M2, meStartDate})
        e->OnChange = scheduleChange;
    for (TComboBox* c : {cboDayofWeek, cbo1Month_M2, cbo2Month_M2})
        c->OnChange = scheduleChange;
    meStartDate->OnExit = TNotifyEvent(this, &TfrmBaseOpt::meEndDateExit);
    rbCycleRang_1->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rbCycleRang_1Click);
    rbCycleRang_2->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rbCycleRang_2Click);
    rbCycleRang_3->OnClick = TNotifyEvent(this, &TfrmBaseOpt::rbCycleRang_3Click);
    meCycleRang_2->OnChange = TNotifyEvent(this, &TfrmBaseOpt::meCycleRang_2Change);
    meEndDate->OnChange = TNotifyEvent(this, &TfrmBaseOpt::meEndDateChange);
    meEndDate->OnExit = TNotifyEvent(this, &TfrmBaseOpt::meEndDateExit);

    cbocondition->OnChange = TNotifyEvent(this, &TfrmBaseOpt::cboconditionChange);
    edChangeDate->OnClick = TNotifyEvent(this, &TfrmBaseOpt::edChangeDateClick);
    spChangeDate_B->OnClick = TNotifyEvent(this, &TfrmBaseOpt::spChangeDate_BClick);
    spChangeDate_E->OnClick = TNotifyEvent(this, &TfrmBaseOpt::spChangeDate_EClick);
    const TNotifyEvent editEnter(this, &TfrmBaseOpt::seDay1Enter);
    const TNotifyEvent spEnter(this, &TfrmBaseOpt::seDay_B1Enter);
    const TNotifyEvent numberExit(this, &TfrmBaseOpt::seDay_B1Exit);
    for (TWinControl* c : std::initializer_list<TWinControl*>{seDay1, cboDay1, seDay2})
        c->OnEnter = editEnter;
    seDay1->OnChange = seDay2->OnChange = TNotifyEvent(this, &TfrmBaseOpt::seDay1Change);
    cboDay1->OnChange = TNotifyEvent(this, &TfrmBaseOpt::seDay1Change);
    cboDay2->OnEnter = editEnter;
    cboDay2->OnChange = TNotifyEvent(this, &TfrmBaseOpt::cboDay2Change);
    for (TWinControl* c : std::initializer_list<TWinControl*>{
             seDay_B1, cboDay_B1, seDay_B2, seDay_E1, cboDay_E1, seDay_E2, cboDay_B2, cboDay_E2})
        c->OnEnter = spEnter;
    for (TSpinEdit* s : {seDay_B1, seDay_B2, seDay_E1, seDay_E2})
        s->OnChange = TNotifyEvent(this, &TfrmBaseOpt::seDay_B1Change);
    for (TComboBox* c : {cboDay_B1, cboDay_E1})
        c->OnChange = TNotifyEvent(this, &TfrmBaseOpt::seDay_B1Change);
    cboDay_B2->OnChange = TNotifyEvent(this, &TfrmBaseOpt::cboDay_B2Change);
    cboDay_E2->OnChange = TNotifyEvent(this, &TfrmBaseOpt::cboDay_E2Change);
    for (TSpinEdit* s : {seDay1, seDay2, seDay_B1, seDay_B2, seDay_E1, seDay_E2})
        s->OnExit = numberExit;
}

// --- switching on and off --------------------------------------------------------------------

void TfrmBaseOpt::btnPeriodClick(TObject*) {
    pnEdit->SetVisible(false);
    if (Panel1->CanFocus())
        Panel1->SetFocus();
    try {
        const bool down = btnPeriod->Down();
        tsPeriodOption->SetTabVisible(down);
        if (down) {
            if (PeriodDefaultsPending) {
                SavedRequiredFields = RequiredFields;
                for (TPanel* p : {pnHourMin, pnDay, pnWeek, pnMonth}) {
                    p->SetLeft(76);
                    p->SetTop(12);
                }
            }
            PreparePeriodPage();
            pgOption->SetActivePage(tsPeriodOption);
            grpGenTime->SetEnabled(false);
            rdoExceptTime->SetChecked(true);
            TBaseGeneState::CheckDateField(edDate, true);
            edDate->SetText(meStartDate->Text());
            InstallRequiredFields({CycleRequiredFields, RangeRequiredFields, TimeRequiredFields});
        } else {
            pgOption->SetActivePage(tsOption1);
            grpGenTime->SetEnabled(true);
            rdoQueue->SetChecked(true);
            rdoQueueClick(rdoQueue);
            InstallRequiredFields({TimeRequiredFields});
        }
    } catch (const Exception&) {
        // The page stays as far as it got.
    }
    ShowNextRuns();
}

void TfrmBaseOpt::PreparePeriodPage() {
    try {
        DynamicEditing = false;
        // The date fields below take the masks of the company's date layout.
        TBaseGeneState::GetDateLayout();
        TBaseGeneState::GetDateSeparator();
        const int own = ConditionCount - BaseEntryCount;
        Variant texts = Variant::CreateArray({{1, ConditionCount}});
        CollectConditionText(texts, own);

        if (PeriodDefaultsPending) {
            cboDayofWeek->SetItemIndex(0);
            cbo2Month_M2->SetItemIndex(0);
            cbo1Month_M2->SetItemIndex(0);
            meHour->SetText("0");
            meMin->SetText("30");
            for (TSpinEdit* s : {meDay, meWeek, meMonth_M1, meMonth_D, meMonth_M2})
                s->SetText("1");
            for (TComboBox* c : {cboDay1, cboDay2, cboDay_B1, cboDay_B2, cboDay_E1, cboDay_E2})
                c->SetItemIndex(0);
        }

        DynamicEntries.Clear();
        cbocondition->Items()->Clear();

        // One entry per date condition, built from the changing-date controls as they stand.
        auto addCondition = [&](const std::string& name, const char* type) {
            TComponent* c = FindComponent(name);
            if (auto* panel = dynamic_cast<TSelectPanel*>(c)) {
                DynamicEntry e;
                e.Kind = DynamicDateRange;
                e.Component = name;
                e.Begin = RuleOf(spChangeDate_B, seDay_B1, cboDay_B1, cboDay_B2, seDay_B2);
                e.End = RuleOf(spChangeDate_E, seDay_E1, cboDay_E1, cboDay_E2, seDay_E2);
                e.DateType = type;
                cbocondition->Items()->Add(panel->Caption());
                DynamicEntries.Add(e.Line());
            } else if (dynamic_cast<TCustomEdit*>(c) != nullptr) {
                for (int k = 1; k <= own; ++k) {
                    const Variant& text = texts[k];
                    if (!text.IsArray() || text.ArrayHighBound() < 1 ||
                        !SameTextAscii(text[1].ToString(), name))
                        continue;
                    DynamicEntry e;
                    e.Kind = DynamicSingleDate;
                    e.Component = name;
                    e.Begin = RuleOf(edChangeDate, seDay1, cboDay1, cboDay2, seDay2);
                    e.DateType = type;
                    cbocondition->Items()->Add(text[0].ToString());
                    DynamicEntries.Add(e.Line());
                }
            }
        };
        // The date fields of the report come before the four of the run-options forms.
        const int reportDates = FieldCount(DateFieldList, ",") - 4;
        for (int i = 1; i <= reportDates; ++i)
            addCondition(std::string(TrimBlanks(GetDelimitedField(DateFieldList, ",", i))), "D");
        for (const std::string& name : SplitNames(YearMonthFieldList)) {
            cboDay_B1->SetItemIndex(1);
            cboDay1->SetItemIndex(1);
            addCondition(name, "M");
        }

        if (cbocondition->Items()->Count() == 0) {
            gbDynamicFields->SetEnabled(false);
        } else {
            cbocondition->SetItemIndex(0);
            cboconditionChange(cbocondition);
            gbDynamicFields->SetEnabled(true);
        }

        TBaseGeneState::CheckDateField(meStartDate, true);
        meStartDate->SetText(
            FormatDateByLayout(static_cast<TDateType>(TBaseGeneState::GetDateLayout()),
                               TBaseGeneState::GetDateSeparator(), Today()));
        CycleRequiredFields = "meDay,meStartDate";

        if (!PeriodDefaultsPending) {
            // Prepared before: the chosen mode and the selected condition come back as they were.
            if (cbocondition->Items()->Count() > 0)
                cboconditionChange(cbocondition);
            if (rdoEveryday->Checked()) {
                rdoEverydayClick(rdoEveryday);
            } else if (rdoEveryWeek->Checked()) {
                rdoEveryWeekClick(rdoEveryWeek);
            } else if (rdoEveryMonth->Checked()) {
                rdoEveryMonthClick(rdoEveryMonth);
                if (rdomonth_1->Checked())
                    rdomonth_1Click(rdomonth_1);
                else
                    rdomonth_2Click(rdomonth_2);
            } else {
                rdoHourMinClick(rdoHourMin);
            }
        }
    } catch (const Exception&) {
        // The page stays as far as it got.
    }
    if (cbocondition->Items()->Count() > 0)
        cbocondition->SetItemIndex(0);
    PeriodDefaultsPending = false;
}

void TfrmBaseOpt::tsPeriodOptionShow(TObject*) {
    if (Width() < 538)
        SetWidth(538);
    if (Height() < 424)
        SetHeight(424);
}

void TfrmBaseOpt::pgOptionChange(TObject* Sender) {
    TfrmBaseGene::pgOptionChange(Sender);
    if (!btnPeriod->Down())
        return;
    try {
        std::string hour, minute;
        const std::string first = PeriodicFirstRun(hour, minute);
        TBaseGeneState::CheckDateField(edDate, true);
        edDate->SetText(
            first.empty()
                ? std::string()
                : FormatDateByLayout(static_cast<TDateType>(TBaseGeneState::GetDateLayout()),
                                     TBaseGeneState::GetDateSeparator(), DateFromYYYYMMDD(first)));
        edHour->SetText(hour);
        edMin->SetText(minute);
    } catch (const Exception&) {
        // The system page keeps what it showed.
    }
}

// --- the records -----------------------------------------------------------------------------

void TfrmBaseOpt::BuildCycleSpec() {
    CycleSpec = Variant::CreateArray({{0, 1}});
    try {
        if (rdoHourMin->Checked()) {
            CycleSpec[0] = static_cast<int>(CycleMode::HourMinute);
            CycleSpec = CycleSpecHourMinute(SpinNumber(meHour), SpinNumber(meMin));
        } else if (rdoEveryWeek->Checked()) {
            CycleSpec[0] = static_cast<int>(CycleMode::EveryNWeeks);
            CycleSpec = CycleSpecEveryNWeeks(SpinText(meWeek), SelectedIndex(cboDayofWeek));
        } else if (rdoEveryMonth->Checked()) {
            CycleSpec[0] = static_cast<int>(CycleMode::EveryNMonths);
            CycleSpec =
                rdomonth_2->Checked()
                    ? CycleSpecMonthlyOnWeekday(SpinText(meMonth_M2), SelectedIndex(cbo1Month_M2),
                                                SelectedIndex(cbo2Month_M2))
                    : CycleSpecMonthlyOnDay(SpinText(meMonth_M1), SpinText(meMonth_D));
        } else {
            CycleSpec[0] = static_cast<int>(CycleMode::EveryNDays);
            CycleSpec = CycleSpecEveryNDays(SpinText(meDay));
        }
    } catch (const Exception&) {
        // CycleSpec stays as far as it was built: the mode without its parameters, which gives
        // no first run and which the server refuses.
    }
}

Variant TfrmBaseOpt::BuildScheduleRecord() {
    BuildCycleSpec();
    const std::string start = DateTextToStorage(*this, meStartDate->Text());
    Variant range;
    if (rbCycleRang_2->Checked())
        range = CycleRangeRepetitions(start, SpinText(meCycleRang_2));
    else if (rbCycleRang_3->Checked())
        range = CycleRangeUntil(start, DateTextToStorage(*this, meEndDate->Text()));
    else
        range = CycleRangeNoEnd(start);
    return MakeScheduleRecord(SpinNumber(sePeriodHour), SpinNumber(sePeriodMin), CycleSpec, range);
}

std::string TfrmBaseOpt::SelectedEntryLine() const {
    const int i = cbocondition->ItemIndex();
    if (i < 0 || i >= DynamicEntries.Count())
        return {};
    return DynamicEntries.Strings(i);
}

void TfrmBaseOpt::StoreDynamicEntry() {
    const int i = cbocondition->ItemIndex();
    if (i < 0 || i >= DynamicEntries.Count())
        return;
    const std::string old = DynamicEntries.Strings(i);
    DynamicEntry e;
    e.Kind = Field(old, 1);
    e.Component = Field(old, 2);
    if (e.IsRange()) {
        e.Begin = RuleOf(spChangeDate_B, seDay_B1, cboDay_B1, cboDay_B2, seDay_B2);
        e.End = RuleOf(spChangeDate_E, seDay_E1, cboDay_E1, cboDay_E2, seDay_E2);
        e.DateType = Field(old, 13);
    } else {
        e.Begin = RuleOf(edChangeDate, seDay1, cboDay1, cboDay2, seDay2);
        e.DateType = Field(old, 8);
    }
    DynamicEntries.Put(i, e.Line());
    pnSp->SetVisible(e.IsRange());
    pnEdit->SetVisible(!e.IsRange());
}

// --- completing a periodic request -----------------------------------------------------------

bool TfrmBaseOpt::CompletePeriodicRequest() {
    try {
        const Variant record = BuildScheduleRecord();
        // The schedule is checked as the server checks it, so that nothing is sent that it
        // would refuse or read otherwise; the user learns what to mend.
        try {
            TSchedule::FromRecord(record);
        } catch (const Exception& e) {
            const Variant& range = record[3];
            if (range[1].ToInt() == 2 && !IsDate8(range[2].ToString())) {
                TBaseGeneState::PostMessageRef("E;000005");
            } else if (range[1].ToInt() == 2 && range[2].ToString() < range[0].ToString()) {
                TBaseGeneState::PostMessageRef("E;100082;" + rbCycleRang_3->Caption() + ";" +
                                               lblPeriod11->Caption());
            } else {
                TBaseGeneState::AddFailureText(e.what());
                ShowMessageBox(*this, e.what(), mtError, {mbOK});
            }
            return false;
        }

        // The changing-date rules with the position of their condition in the request. A rule
        // whose condition the request does not carry has nothing to move and is left out (it
        // would make every run's moving fail).
        const Variant& texts = Request[1];
        std::vector<std::string> lines;
        for (int i = 0; i < cbocondition->Items()->Count() && i < DynamicEntries.Count(); ++i) {
            const std::string line = DynamicEntries.Strings(i);
            const std::string name = Field(line, 2);
            for (int j = texts.ArrayLowBound(); j <= texts.ArrayHighBound(); ++j) {
                if (texts[j].IsArray() && texts[j][1].ToString() == name) {
                    lines.push_back(line + std::string(DynamicFieldSeparator) + std::to_string(j));
                    break;
                }
            }
        }
        Variant list = Variant::CreateArray({{0, static_cast<int>(lines.size())}});
        list[0] = static_cast<int>(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            list[static_cast<int>(i) + 1] = lines[i];

        const int b = Request.ArrayHighBound();
        Variant block = Variant::CreateArray({{1, 3}});
        block[1] = Request[b];
        block[2] = record;
        block[3] = list;
        const Variant moved = ApplyDynamicDates(block, FirstRunDate);
        if (!moved.IsArray())
            throw Exception("The dates of the conditions cannot be moved to the first run " +
                            FirstRunDate);
        Request[b] = moved;
        Request.ArrayRedim(b + 2);
        Request[b + 1] = record;
        Request[b + 2] = list;
        return true;
    } catch (const Exception& e) {
        TBaseGeneState::AddFailureText(e.what());
        ShowMessageBox(*this, e.what(), mtError, {mbOK});
        return false;
    }
}

// --- the next runs ---------------------------------------------------------------------------

std::vector<std::string> TfrmBaseOpt::NextRunLines() {
    Variant record;
    try {
        record = BuildScheduleRecord();
    } catch (const Exception&) {
        return {CycleIncomplete};
    }
    const Variant& range = record[3];
    const std::string start = range[0].ToString();
    if (!IsDate8(start))
        return {StartDateMissing};
    if (range[1].ToInt() == 2) {
        const std::string end = range[2].ToString();
        if (!IsDate8(end))
            return {EndDateMissing};
        if (end < start)
            return {EndBeforeStart};
    }
    std::vector<std::string> runs;
    try {
        runs = TSchedule::FromRecord(record).UpcomingRuns(NowText(), ShownRunCount);
    } catch (const Exception&) {
        return {CycleIncomplete};
    }
    std::vector<std::string> lines;
    for (const std::string& run : runs) {
        const double date = DateFromYYYYMMDD(RunDateOf(run));
        lines.push_back(FormatDateByLayout(static_cast<TDateType>(TBaseGeneState::GetDateLayout()),
                                           TBaseGeneState::GetDateSeparator(), date) +
                        " (" + WeekdayShortNames[DayOfWeek(date) - 1] + ") " + run.substr(11, 5));
    }
    if (static_cast<int>(runs.size()) < ShownRunCount)
        lines.emplace_back(NoFurtherRunsText);
    return lines;
}

void TfrmBaseOpt::ShowNextRuns() {
    if (lblNextRuns == nullptr)
        return;
    std::string text;
    for (const std::string& line : NextRunLines())
        text += (text.empty() ? "" : "\n") + line;
    lblNextRuns->SetCaption(text);
}

void TfrmBaseOpt::PeriodScheduleChange(TObject*) {
    ShowNextRuns();
}

// --- cycle mode and range --------------------------------------------------------------------

void TfrmBaseOpt::ApplyCycleMode(TPanel* Panel, std::string Required) {
    if (Panel != nullptr) {
        for (TPanel* p : {pnHourMin, pnDay, pnWeek, pnMonth})
            p->SetVisible(p == Panel);
        Panel->SetLeft(76);
        Panel->SetTop(12);
    }
    CycleRequiredFields = std::move(Required);
    InstallRequiredFields(
        {SavedRequiredFields, CycleRequiredFields, RangeRequiredFields, TimeRequiredFields});
    ShowNextRuns();
}

void TfrmBaseOpt::rdoHourMinClick(TObject*) {
    ApplyCycleMode(pnHourMin, "meHour,meMin,meStartDate");
}

void TfrmBaseOpt::rdoEverydayClick(TObject*) {
    ApplyCycleMode(pnDay, "meDay,meStartDate");
}

void TfrmBaseOpt::rdoEveryWeekClick(TObject*) {
    ApplyCycleMode(pnWeek, "meWeek,meStartDate");
}

void TfrmBaseOpt::rdoEveryMonthClick(TObject*) {
    ApplyCycleMode(pnMonth, "meMonth_M1,meMonth_D,meStartDate");
}

void TfrmBaseOpt::rdomonth_1Click(TObject*) {
    ApplyCycleMode(nullptr, "meMonth_M1,meMonth_D,meStartDate");
}

void TfrmBaseOpt::rdomonth_2Click(TObject*) {
    ApplyCycleMode(nullptr, "meMonth_M2,meStartDate");
}

void TfrmBaseOpt::rbCycleRang_1Click(TObject*) {
    RangeRequiredFields.clear();
    ApplyCycleMode(nullptr, CycleRequiredFields);
}

void TfrmBaseOpt::rbCycleRang_2Click(TObject*) {
    RangeRequiredFields = "meCycleRang_2";
    ApplyCycleMode(nullptr, CycleRequiredFields);
}

void TfrmBaseOpt::rbCycleRang_3Click(TObject*) {
    RangeRequiredFields = "meEndDate";
    ApplyCycleMode(nullptr, CycleRequiredFields);
}

void TfrmBaseOpt::meCycleRang_2Change(TObject*) {
    rbCycleRang_2->SetChecked(true);
    ShowNextRuns();
}

void TfrmBaseOpt::meEndDateChange(TObject*) {
    rbCycleRang_3->SetChecked(true);
    ShowNextRuns();
}

// --- field exits -----------------------------------------------------------------------------

void TfrmBaseOpt::meDayExit(TObject* Sender) {
    if (auto* edit = dynamic_cast<TCustomEdit*>(Sender); edit != nullptr)
        if (ExitNumber(edit->Text()) == 0)
            edit->SetText("1");
    ShowNextRuns();
}

void TfrmBaseOpt::meMonth_DExit(TObject*) {
    const int day = ExitNumber(meMonth_D->Text());
    if (day == 0)
        meMonth_D->SetText("1");
    else if (day >= 32)
        meMonth_D->SetText("31");
    ShowNextRuns();
}

void TfrmBaseOpt::sePeriodHourExit(TObject* Sender) {
    if (auto* edit = dynamic_cast<TCustomEdit*>(Sender); edit != nullptr)
        if (ExitNumber(edit->Text()) == 0)
            edit->SetText("0");
    ShowNextRuns();
}

void TfrmBaseOpt::seDay_B1Exit(TObject* Sender) {
    if (auto* edit = dynamic_cast<TCustomEdit*>(Sender); edit != nullptr)
        if (ExitNumber(edit->Text()) == 0)
            edit->SetText("0");
}

void TfrmBaseOpt::meHourExit(TObject*) {
    if (ExitNumber(meHour->Text()) == 0 && ExitNumber(meMin->Text()) == 0)
        meHour->SetText("0");
    ShowNextRuns();
}

void TfrmBaseOpt::meMinExit(TObject*) {
    // An interval of no time at all is not possible.
    if (ExitNumber(meHour->Text()) == 0 && ExitNumber(meMin->Text()) == 0)
        meMin->SetText("30");
    ShowNextRuns();
}

void TfrmBaseOpt::meEndDateExit(TObject* Sender) {
    CheckFailed = false;
    ShowNextRuns();
    if (!rbCycleRang_3->Checked())
        return;
    const std::string start = DateTextToStorage(*this, meStartDate->Text());
    const std::string end = DateTextToStorage(*this, meEndDate->Text());
    if (start.empty() || end.empty() || end >= start)
        return;
    TBaseGeneState::PostMessageRef("E;100082;" + rbCycleRang_3->Caption() + ";" +
                                   lblPeriod11->Caption());
    if (auto* field = dynamic_cast<TWinControl*>(Sender); field != nullptr && field->CanFocus())
        field->SetFocus();
    // Set last: the message and the focus coming back run other fields' exits, which clear it.
    CheckFailed = true;
}

// --- changing fields -------------------------------------------------------------------------

void TfrmBaseOpt::EnableDateGroup(TCheckBox* Check, TSpinEdit* Count, TComboBox* Unit,
                                  TComboBox* Mode, TSpinEdit* Days, const std::string& Type) {
    // A year-month value moves by its count of months only; the days field counts only when
    // the date moves by plus or minus.
    const bool on = Check->Checked();
    const bool fullDate = Type == "D";
    Count->SetEnabled(on);
    Unit->SetEnabled(on && fullDate);
    Mode->SetEnabled(on && fullDate);
    Days->SetEnabled(on && fullDate && Mode->ItemIndex() == 0);
}

void TfrmBaseOpt::cboconditionChange(TObject*) {
    try {
        DynamicEditing = false;
        const std::string line = SelectedEntryLine();
        if (line.empty())
            return;
        LoadingEntry = true;
        struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{LoadingEntry};
        if (Field(line, 1) != DynamicDateRange) {
            pnSp->SetVisible(false);
            edChangeDate->SetEnabled(true);
            edChangeDate->SetChecked(Field(line, 3) == "Y");
            edChangeDateClick(cbocondition);
            seDay1->SetText(Field(line, 4));
            cboDay1->SetItemIndex(FieldIndex(line, 5));
            cboDay2->SetItemIndex(FieldIndex(line, 6));
            seDay2->SetText(Field(line, 7));
            cboDay2Change(cbocondition);
        } else {
            pnSp->SetVisible(true);
            spChangeDate_B->SetEnabled(true);
            spChangeDate_E->SetEnabled(true);
            spChangeDate_B->SetChecked(Field(line, 3) == "Y");
            spChangeDate_BClick(cbocondition);
            seDay_B1->SetText(Field(line, 4));
            cboDay_B1->SetItemIndex(FieldIndex(line, 5));
            cboDay_B2->SetItemIndex(FieldIndex(line, 6));
            seDay_B2->SetText(Field(line, 7));
            cboDay_B2Change(cbocondition);
            spChangeDate_E->SetChecked(Field(line, 8) == "Y");
            spChangeDate_EClick(cbocondition);
            seDay_E1->SetText(Field(line, 9));
            cboDay_E1->SetItemIndex(FieldIndex(line, 10));
            cboDay_E2->SetItemIndex(FieldIndex(line, 11));
            seDay_E2->SetText(Field(line, 12));
            cboDay_E2Change(cbocondition);
        }
        pnEdit->SetVisible(!pnSp->Visible());
        LoadingEntry = false;
        StoreDynamicEntry();
    } catch (const Exception&) {
        // The controls stay as far as they were loaded.
    }
}

void TfrmBaseOpt::edChangeDateClick(TObject* Sender) {
    EnableDateGroup(edChangeDate, seDay1, cboDay1, cboDay2, seDay2, Field(SelectedEntryLine(), 8));
    if (Sender == edChangeDate && !LoadingEntry)
        StoreDynamicEntry();
}

void TfrmBaseOpt::spChangeDate_BClick(TObject* Sender) {
    EnableDateGroup(spChangeDate_B, seDay_B1, cboDay_B1, cboDay_B2, seDay_B2,
                    Field(SelectedEntryLine(), 13));
    if (Sender == spChangeDate_B && !LoadingEntry)
        StoreDynamicEntry();
}

void TfrmBaseOpt::spChangeDate_EClick(TObject* Sender) {
    const std::string type = Field(SelectedEntryLine(), 13);
    EnableDateGroup(spChangeDate_E, seDay_E1, cboDay_E1, cboDay_E2, seDay_E2, type);
    if (type != "D")
        cboDay_E1->SetItemIndex(1);
    if (Sender == spChangeDate_E && !LoadingEntry)
        StoreDynamicEntry();
}

void TfrmBaseOpt::cboDay2Change(TObject*) {
    EnableDateGroup(edChangeDate, seDay1, cboDay1, cboDay2, seDay2, Field(SelectedEntryLine(), 8));
    if (DynamicEditing && !LoadingEntry)
        StoreDynamicEntry();
}

void TfrmBaseOpt::cboDay_B2Change(TObject*) {
    EnableDateGroup(spChangeDate_B, seDay_B1, cboDay_B1, cboDay_B2, seDay_B2,
                    Field(SelectedEntryLine(), 13));
    if (DynamicEditing && !LoadingEntry)
        StoreDynamicEntry();
}

void TfrmBaseOpt::cboDay_E2Change(TObject*) {
    EnableDateGroup(spChangeDate_E, seDay_E1, cboDay_E1, cboDay_E2, seDay_E2,
                    Field(SelectedEntryLine(), 13));
    if (DynamicEditing && !LoadingEntry)
        StoreDynamicEntry();
}

void TfrmBaseOpt::seDay1Enter(TObject*) {
    DynamicEditing = true;
}

void TfrmBaseOpt::seDay_B1Enter(TObject*) {
    DynamicEditing = true;
}

void TfrmBaseOpt::seDay1Change(TObject*) {
    if (DynamicEditing && !LoadingEntry)
        StoreDynamicEntry();
}

void TfrmBaseOpt::seDay_B1Change(TObject*) {
    if (DynamicEditing && !LoadingEntry)
        StoreDynamicEntry();
}

} // namespace nuv
