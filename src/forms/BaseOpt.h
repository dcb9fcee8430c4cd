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
};

} // namespace nuv
