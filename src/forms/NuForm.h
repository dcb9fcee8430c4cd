// TNuForm: the root of every dialog of the library. It gives the form a code converter
// (NuConverter) so that captions, fonts and message boxes follow the interface code page the
// host is configured for, converts the form's captions exactly once, and hands the host's
// Manager to the converter.
//
// Creation: FormCreate (the form's OnCreate) tells the form-creation listener, when one is
// installed, that the form was created, and marks the captions as not yet converted. No
// layout-capture tool exists on this platform, so normally no listener is installed and
// creation tells nothing; a listener's failure of the general class is shown in a plain
// message box and does not stop the form from being created.
//
// Conversion: descendants call ConvertCaptions when the form is shown. It converts once; when
// the converter raises (a Manager call failed or answered a value of another kind), the error
// reaches the caller, the form keeps its texts and stays marked as not converted, so a later
// call tries again.
#pragma once

#include "codepage/CodeConverter.h"
#include "ui/Dialogs.h"
#include "ui/Forms.h"

#include <cstdint>
#include <functional>
#include <string>

namespace nuv {

class TNuForm;

// Told of every root form created. Replaces the listener; an empty one removes it. Returns the
// previous listener.
using TFormCreationListener = std::function<void(TNuForm* Form)>;
TFormCreationListener SetFormCreationListener(TFormCreationListener listener);

// Start of the message shown when the creation listener fails; the form's caption and the
// error text follow.
inline constexpr const char* FormCreationErrorPrefix = "Layout capture failed: ";

class TNuForm : public TForm {
    NUV_CLASS(TNuForm)
public:
    // Builds the form as its resource gives it: 400 x 191, caption "NUForm", font "細明體" of
    // height -16 in the Big5 character set, key preview, centred on the screen, not scaled,
    // hints shown, OnCreate = FormCreate, and the converter NuConverter (dtClient).
    explicit TNuForm(TComponent* owner);
    ~TNuForm() override;

    // The form's converter, owned by the form.
    TCodeConverter* NuConverter = nullptr;
    // True once ConvertCaptions has run to its end.
    bool CaptionsConverted = false;

    // OnCreate. Descendants that override it call the inherited one first.
    virtual void FormCreate(TObject* Sender);

    // Converts the form's captions, hints and fonts into the interface code page once.
    void ConvertCaptions();
    // The converter's message dialog: stays on top, titled with this form's caption.
    int ShowMessageDlg(const std::string& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
    // The machine's code page ("950", "936", ...).
    std::string GetSystemCodePage() const;
    // The interface's code page from the configuration.
    std::string GetUICodePage() const;
    // The converter's interface conversion mode (0, 1 or 3).
    std::uint8_t GetDisplayMode() const;
    // The Manager the converter uses.
    Variant GetConverterManager() const;
    void SetConverterManager(const Variant& Value);
};

} // namespace nuv
