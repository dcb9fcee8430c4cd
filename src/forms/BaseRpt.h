// TfrmBaseRpt: the run-options dialog with the report settings, the base of every report
// dialog.
//
// On the system page it adds the report's output kinds (report file, web page, direct print),
// the date layout the report prints its dates in, a note block and a sign-off block of three
// lines each (filled from the templates the database keeps for the program: table CMSMT for
// the program's defaults, CMSMS for the templates), and the two printing options (print the
// report conditions, print the report maker).
//
// The request carries the settings as header elements 13 (the output kinds as the sum of
// their flags, 1..7) and 14 (an empty text), and as five condition entries placed before the
// print date's: with N the number of condition entries, N-5 the sign-off block, N-4 the note
// block, N-3 the date layout [ordinal, text], N-2 print the conditions, N-1 print the maker.
// The report level's own entries are 1..N-6.
//
// The note and sign-off blocks are filled once while the dialog is initialised. A block whose
// code the program does not let the user change stays read-only with its look-up button
// disabled; without a CMSMT row (or without the look-up service) both stay empty and
// editable. A code the user types is checked against CMSMS when the field is left: an unknown
// code is reported ("W;000004" naming the kind of code), the block is cleared and the focus
// goes back to the code field. A code put into its field otherwise (host values) is checked
// when the request is built: unknown, it stops the request.
#pragma once

#include "controls/BtChkBox.h"
#include "controls/F2Button.h"
#include "forms/BaseOpt.h"
#include "ui/StdCtrls.h"

#include <cstdint>
#include <string>

namespace nuv {

// Flags of TfrmBaseRpt::OutputSet, the report's output kinds.
enum TReportOutput : std::uint8_t {
    ro_View = 1,       // a report file for the report viewer (chkView)
    ro_HTML = 2,       // a web page (chkHTML)
    ro_DirectPrint = 4 // printed directly (chkDirectPrint)
};

class TfrmBaseRpt : public TfrmBaseOpt {
    NUV_CLASS(TfrmBaseRpt)
public:
    explicit TfrmBaseRpt(TComponent* AOwner);
    ~TfrmBaseRpt() override;

    // --- the form resource, in its order (all on tsOption2) -------------------------------------
    TLabel* lblDateType = nullptr;
    TComboBox* cboDateType = nullptr;
    TGroupBox* grpGenType = nullptr;
    TBitCheckBox* chkView = nullptr;
    TBitCheckBox* chkHTML = nullptr;
    TBitCheckBox* chkDirectPrint = nullptr;
    TGroupBox* grpNote = nullptr;
    TLabel* lblNoteID = nullptr;
    TEdit* edNoteID = nullptr;
    TF2Button* btnNote = nullptr;
    TLabel* lblNote1 = nullptr;
    TLabel* lblNote2 = nullptr;
    TLabel* lblNote3 = nullptr;
    TEdit* edNote1 = nullptr;
    TEdit* edNote2 = nullptr;
    TEdit* edNote3 = nullptr;
    TBitCheckBox* chkNoteEPPrint = nullptr;
    TGroupBox* grpSignIn = nullptr;
    TLabel* lblSignInID = nullptr;
    TEdit* edSignInID = nullptr;
    TF2Button* btnSignIn = nullptr;
    TLabel* lblSignIn1 = nullptr;
    TLabel* lblSignIn2 = nullptr;
    TLabel* lblSignIn3 = nullptr;
    TEdit* edSignIn1 = nullptr;
    TEdit* edSignIn2 = nullptr;
    TEdit* edSignIn3 = nullptr;
    TBitCheckBox* chkSignInEPPrint = nullptr;
    TBitCheckBox* chkPrintOption = nullptr;
    TBitCheckBox* chkPrintUser = nullptr;

    // --- fields, in declaration order ----------------------------------------------------------
    // TReportOutput flags; never empty. DefineProgram starts it as ro_View.
    std::uint8_t OutputSet = ro_View;
    // Header element 14; always empty.
    std::string HeaderText;
    // The code field's text when the user entered it, or the code of the last F2 pick; leaving
    // the field with another text checks the new code.
    std::string LastCodeText;

    // --- operations ----------------------------------------------------------------------------
    void FormCreate(TObject* Sender) override;
    // The run options' definition; then 14 header elements, 6 base condition entries, request
    // class "R", output to the report viewer, the date layout of the dialog, line lengths.
    void DefineProgram() override;
    // The run options' initialisation; then the note and sign-off defaults, and without the
    // Minguo year layouts when the company uses Gregorian years only ("SYS026" = "2").
    bool InitDialog(const Variant& Param) override;
    // Elements 1..12 of the run options, then 13 (the output kinds) and 14.
    bool FillRequestHeader(Variant& Header, std::int32_t Count) override;
    // The base entries; when they succeed, the five report-settings entries before the print
    // date's.
    bool CollectConditionText(Variant& Texts, std::int32_t Count) override;
    bool CollectConditionData(Variant& Data, std::int32_t Count) override;
    // The run options' layout, then the report settings' (at least 538 x 468).
    void LayoutSystemPage() override;
    // F2 in the note or sign-off code: the templates of that kind (nothing while the block's
    // look-up button is disabled); other controls as the run options have them.
    void DoF2Lookup(Word Key, TControl* Control) override;

    // Defaults of the note and sign-off blocks and of the printing options from CMSMT.
    void LoadNoteDefaults();
    // Fills the note block from the CMSMS template Code (kind "1"). An empty code empties the
    // block (True). An unknown code empties the block and, with Report, is reported and gives
    // False; without Report it gives True.
    bool CheckNoteCode(const std::string& Code, bool Report);
    // The same for the sign-off block (kind "2").
    bool CheckSignInCode(const std::string& Code, bool Report);

    // --- event handlers -------------------------------------------------------------------------
    // Any of the three output boxes: OutputSet follows the checked ones; unchecking the last one
    // is reported ("I;000005") and the last valid OutputSet stays.
    void chkViewClick(TObject* Sender);
    // OnEnter of both code fields.
    void edNoteIDEnter(TObject* Sender);
    void edNoteIDExit(TObject* Sender);
    void edSignInIDExit(TObject* Sender);

private:
    // The TReportOutput flags of the checked output boxes.
    std::uint8_t CheckedOutputs() const;
    // The codes whose templates (or CMSMT defaults) the blocks' lines show.
    std::string noteFilledFrom_;
    std::string signInFilledFrom_;
};

} // namespace nuv
