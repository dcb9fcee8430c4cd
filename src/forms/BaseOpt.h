// TfrmBaseOpt: the parameter dialog with run options.
//
// It adds to the system page the choice of when the report job runs (at once, through the work
// queue, at a given date and time), how the user is notified and whether the dialog stays open
// after a successful submission; the toggle button btnPeriod with the periodic schedule page
// tsPeriodOption (its own unit, BaseOptPeriod.cpp); the request header elements 10 to 12; and
// the OK path that sends the finished request to the application server and reports its reply.
//
// Required fields come from two sides: the run-options handlers install those of the system
// and periodic pages (edDate, the cycle and range fields), the report installs its own.
// SetRequiredFields keeps the other side's fields, so neither replaces the other's.
//
// Header elements added here (the header is the array 1..EnvironmentCount, 12 at this level):
//   9  request class, lower case for a periodic job ("r")
//   10 run mode: 0 work queue, 1 at once, 2 at the given time (0 when the time is unreadable)
//   11 now; for run mode 2 the date and time the job is to run
//   12 notification: 1 none, 2 message, 3 pager, 4 both
#pragma once

#include "controls/BtChkBox.h"
#include "controls/NuRadioButton.h"
#include "controls/NuSpin.h"
#include "forms/BaseGene.h"
#include "ui/Spin.h"

#include <nuv/Variant.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace nuv {

class TfrmBaseOpt : public TfrmBaseGene {
    NUV_CLASS(TfrmBaseOpt)
public:
    explicit TfrmBaseOpt(TComponent* AOwner);
    ~TfrmBaseOpt() override;

    // --- the form resource's additions, in their order ------------------------------------------
    // On tsOption2: when the job runs.
    TGroupBox* grpGenTime = nullptr;
    TNuRadioButton* rdoRealTime = nullptr;
    TNuRadioButton* rdoQueue = nullptr;
    TNuRadioButton* rdoExceptTime = nullptr;
    TPanel* pnlTime = nullptr;
    TMaskEdit* edDate = nullptr;
    TF2Button* btnDate = nullptr;
    TSpinEdit* edHour = nullptr;
    TSpinEdit* edMin = nullptr;
    TSpinEdit* edSec = nullptr;
    TLabel* lalHour = nullptr;
    TLabel* lblMin = nullptr;
    TLabel* lblSec = nullptr;
    // How the user is notified, and whether the dialog stays open.
    TGroupBox* grpAlarm = nullptr;
    TBitCheckBox* chkAlarm = nullptr;
    TBitCheckBox* chkNuPager = nullptr;
    TBitCheckBox* chkKeepFrame = nullptr;
    // On Panel1: the periodic job's toggle (group index 2, all up allowed).
    TSpeedButton* btnPeriod = nullptr;
    // The last page of pgOption; its tab shows exactly while btnPeriod is down.
    TTabSheet* tsPeriodOption = nullptr;

    // --- fields, in declaration order -----------------------------------------------------------
    // One DynamicEntry line per changing-date condition of the periodic page.
    TStringList DynamicEntries;
    // RequiredFields as they stood when the periodic page was first opened.
    std::string SavedRequiredFields;
    // "edDate" while rdoExceptTime is chosen, else empty.
    std::string TimeRequiredFields;
    // Required names of the chosen cycle mode and of the chosen cycle range.
    std::string CycleRequiredFields;
    std::string RangeRequiredFields;
    // The cycle mode and its parameters (BuildCycleSpec).
    Variant CycleSpec;
    // The user has entered one of the changing-date controls: value changes write back.
    bool DynamicEditing = false;
    // True while this form installs its own required-field lists.
    bool SettingOwnRequired = false;
    // True from InitDialog until the periodic page was prepared once.
    bool PeriodDefaultsPending = false;
    // "YYYYMMDD" of the first scheduled run of a periodic job.
    std::string FirstRunDate;

    // --- virtual operations added, in slot order (after those of TfrmBaseGene) ------------------
    // Asks the server for the user's rights ("GetPower") and applies the answer.
    virtual void LoadUserRights();
    // Fills the changing-condition list and DynamicEntries, sets defaults, re-applies the mode.
    virtual void PreparePeriodPage();
    // CycleSpec from the periodic page's controls; an error leaves it as far as it was built.
    virtual void BuildCycleSpec();
    // Rewrites the selected DynamicEntries line from the changing-date controls.
    virtual void StoreDynamicEntry();

    // --- overrides ------------------------------------------------------------------------------
    void LayoutSystemPage() override;
    bool PrepareRequest() override;
    void DefineProgram() override;
    void SetRequiredFields(const std::string& Names) override;
    bool InitDialog(const Variant& Param) override;
    bool FillRequestHeader(Variant& Header, std::int32_t Count) override;
    void AfterConnect(TBaseGeneConnection& Connection) override;
    void DoF2Lookup(Word Key, TControl* Control) override;

    // The user-rights step on the answer of "GetPower": UserGroup from field 1 of its element 1
    // (cut at ","), F2Flag1 and F2Flag2 from characters 7 and 8 of field 4 ("N" is off); then
    // UserRightsApplied. An answer of another shape leaves the rights as they were.
    void ApplyUserRights(const Variant& Answer);

    // --- event handlers -------------------------------------------------------------------------
    void FormCreate(TObject* Sender) override;
    // rdoQueue and rdoRealTime: no time, edDate no longer required.
    void rdoQueueClick(TObject* Sender);
    // rdoExceptTime: the time fields open and edDate becomes required.
    void rdoExceptTimeClick(TObject* Sender);
    void edDateEnter(TObject* Sender);
    void edDateExit(TObject* Sender);
    // The OK path: prepare, send, report the reply, close unless the window is kept.
    void btnOkClick(TObject* Sender);
    // Closes the dialog; RequestAccepted becomes 2.
    void btnCancelClick(TObject* Sender);
    // Switches the periodic job on or off (the button has already toggled).
    void btnPeriodClick(TObject* Sender);

    // The periodic job's first run, for the header and the system page: BuildCycleSpec, then the
    // start date (meStartDate as "YYYYMMDD") for the hour-minute cycle, else ComputeFirstRun of
    // the start date and CycleSpec. Hour and Minute receive the page's execution time
    // (sePeriodHour, sePeriodMin). Returns "YYYYMMDD"; empty when the schedule gives no run.
    std::string PeriodicFirstRun(std::string& Hour, std::string& Minute);
    // Widens a built request of a periodic job to [header, texts, data moved to the first run,
    // ScheduleRecord, changing-date list]; False (no message) when that fails.
    bool CompletePeriodicRequest();

    // "Install": SettingOwnRequired set, SetRequiredFields with the non-empty lists joined by
    // commas in the order given, SettingOwnRequired cleared. The run-time group and the
    // periodic page's handlers install their required fields this way.
    void InstallRequiredFields(std::initializer_list<std::string> Lists);

    // --- the periodic page (BaseOptPeriod.cpp): its components and handlers ---------------------
    // On tsPeriodOption: the execution time.
    TLabel* lblPeriod1 = nullptr;
    TSpinEdit* sePeriodHour = nullptr;
    TSpinEdit* sePeriodMin = nullptr;
    // The cycle mode: four buttons and the panel of each (at (76, 12) in the group).
    TGroupBox* gbCycleStyle = nullptr;
    TNuRadioButton* rdoHourMin = nullptr;
    TNuRadioButton* rdoEveryday = nullptr;
    TNuRadioButton* rdoEveryWeek = nullptr;
    TNuRadioButton* rdoEveryMonth = nullptr;
    TPanel* pnHourMin = nullptr;
    TSpinEdit* meHour = nullptr;
    TSpinEdit* meMin = nullptr;
    TPanel* pnDay = nullptr;
    TNuSpinEdit* meDay = nullptr;
    TPanel* pnWeek = nullptr;
    TNuSpinEdit* meWeek = nullptr;
    TComboBox* cboDayofWeek = nullptr;
    TPanel* pnMonth = nullptr;
    TNuRadioButton* rdomonth_1 = nullptr;
    TNuSpinEdit* meMonth_M1 = nullptr;
    TNuSpinEdit* meMonth_D = nullptr;
    TNuRadioButton* rdomonth_2 = nullptr;
    TNuSpinEdit* meMonth_M2 = nullptr;
    TComboBox* cbo1Month_M2 = nullptr;
    TComboBox* cbo2Month_M2 = nullptr;
    // The cycle range: start date, and no end, an end after N runs or an end date.
    TGroupBox* gbCycleRang = nullptr;
    TLabel* lblPeriod11 = nullptr;
    TMaskEdit* meStartDate = nullptr;
    TF2Button* btnStartDate = nullptr;
    TNuRadioButton* rbCycleRang_1 = nullptr;
    TNuRadioButton* rbCycleRang_2 = nullptr;
    TNuSpinEdit* meCycleRang_2 = nullptr;
    TLabel* lblPeriod12 = nullptr;
    TNuRadioButton* rbCycleRang_3 = nullptr;
    TMaskEdit* meEndDate = nullptr;
    TF2Button* btnEndDate = nullptr;
    // The changing fields: how each date condition moves with the runs. pnSp serves range
    // conditions (start and end), pnEdit single dates; both sit at the same place.
    TGroupBox* gbDynamicFields = nullptr;
    TLabel* lblPeriod13 = nullptr;
    TComboBox* cbocondition = nullptr;
    TPanel* pnSp = nullptr;
    TCheckBox* spChangeDate_B = nullptr;
    TSpinEdit* seDay_B1 = nullptr;
    TComboBox* cboDay_B1 = nullptr;
    TComboBox* cboDay_B2 = nullptr;
    TSpinEdit* seDay_B2 = nullptr;
    TCheckBox* spChangeDate_E = nullptr;
    TSpinEdit* seDay_E1 = nullptr;
    TComboBox* cboDay_E1 = nullptr;
    TComboBox* cboDay_E2 = nullptr;
    TSpinEdit* seDay_E2 = nullptr;
    TPanel* pnEdit = nullptr;
    TCheckBox* edChangeDate = nullptr;
    TSpinEdit* seDay1 = nullptr;
    TComboBox* cboDay1 = nullptr;
    TComboBox* cboDay2 = nullptr;
    TSpinEdit* seDay2 = nullptr;
    // The next runs the schedule as entered gives, kept up to date while the user edits it.
    TGroupBox* gbNextRuns = nullptr;
    TLabel* lblNextRuns = nullptr;

    // How many coming runs the page shows.
    static constexpr int ShownRunCount = 5;
    // The last line of the list when the schedule ends before ShownRunCount runs.
    static constexpr const char* NoFurtherRunsText = "無後續執行";

    // The schedule record ["Y", "hh:mm", CycleSpec, cycle range] of the page as it stands
    // (BuildCycleSpec first). Raises Exception when the page holds no usable schedule.
    Variant BuildScheduleRecord();
    // The lines of the next-runs list: up to ShownRunCount runs at or after now ("2026/12/07
    // (一) 08:05", the date in the dialog's layout), NoFurtherRunsText after them when the
    // schedule ends first, or one line saying what keeps the schedule from running.
    std::vector<std::string> NextRunLines();
    // Refreshes the next-runs list from the page.
    void ShowNextRuns();

    void tsPeriodOptionShow(TObject* Sender);
    // The base's page change; with btnPeriod down the system page then shows the first run.
    void pgOptionChange(TObject* Sender);
    // Cycle mode.
    void rdoHourMinClick(TObject* Sender);
    void rdoEverydayClick(TObject* Sender);
    void rdoEveryWeekClick(TObject* Sender);
    void rdoEveryMonthClick(TObject* Sender);
    void rdomonth_1Click(TObject* Sender);
    void rdomonth_2Click(TObject* Sender);
    // Cycle range.
    void rbCycleRang_1Click(TObject* Sender);
    void rbCycleRang_2Click(TObject* Sender);
    void rbCycleRang_3Click(TObject* Sender);
    void meCycleRang_2Change(TObject* Sender);
    void meEndDateChange(TObject* Sender);
    // Changing fields.
    void cboconditionChange(TObject* Sender);
    void edChangeDateClick(TObject* Sender);
    void spChangeDate_BClick(TObject* Sender);
    void spChangeDate_EClick(TObject* Sender);
    void cboDay2Change(TObject* Sender);
    void cboDay_B2Change(TObject* Sender);
    void cboDay_E2Change(TObject* Sender);
    void seDay1Change(TObject* Sender);
    void seDay_B1Change(TObject* Sender);
    void seDay1Enter(TObject* Sender);
    void seDay_B1Enter(TObject* Sender);
    // Field exits.
    void meDayExit(TObject* Sender);
    void meMonth_DExit(TObject* Sender);
    void sePeriodHourExit(TObject* Sender);
    void seDay_B1Exit(TObject* Sender);
    void meHourExit(TObject* Sender);
    void meMinExit(TObject* Sender);
    void meEndDateExit(TObject* Sender);
    // Any other change of the schedule (execution time, counts, weekday, start date): the
    // next-runs list follows it.
    void PeriodScheduleChange(TObject* Sender);

private:
    // Builds the periodic page's components (the constructor calls it).
    void CreatePeriodPage();
    // Shows the panel of a cycle mode, records its required fields and installs the lists.
    void ApplyCycleMode(TPanel* Panel, std::string Required);
    // Enables the count, unit, mode and days of one changing-date group by its check box, the
    // condition's type letter and the mode.
    void EnableDateGroup(TCheckBox* Check, TSpinEdit* Count, TComboBox* Unit, TComboBox* Mode,
                         TSpinEdit* Days, const std::string& Type);
    // The DynamicEntries line of the selected condition; empty when none is selected.
    std::string SelectedEntryLine() const;
    // True while cboconditionChange loads an entry into the controls (nothing writes back).
    bool LoadingEntry = false;
};

} // namespace nuv
