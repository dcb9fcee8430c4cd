// TCodeConverter: lets the dialogs, written with Traditional Chinese texts, run for users whose
// interface is Simplified Chinese, and lets texts pass between the interface and a database
// configured for the other code page.
//
// The code pages come from the host configuration (TarvelC.ini or TarvelS.ini, chosen by
// DesignType) and are read by the constructor, before a stored DesignType could be applied, so
// a converter made with its form reads the client configuration. The texts themselves are
// Unicode; the code pages "950" and "936" only choose the direction of the conversion and the
// fonts.
//
// The conversion of characters is done by the Manager, a late-bound automation object with
// three methods of one argument each:
//   "BIG5toGB"(V)  Traditional to Simplified, V a value (a text, or a byte text that comes back
//                  as a byte text of the target code page);
//   "GBtoBig5"(V)  Simplified to Traditional, likewise;
//   "Big5ToGB"(S)  Traditional to Simplified on a text, S passed by reference.
// The host's work-center manager is that object in a running system; any object answering the
// three methods serves (the tests hand in a small one with a fixed character table). Without a
// Manager nothing is converted and fonts stay as designed.
//
// Failures: the converter reports nothing itself. A Manager call that fails raises EOleError,
// and a Manager whose answer is of another kind than its argument (a number for a text, say)
// raises EConvertError; both propagate to the caller. ConvertForm works on a copy of what it
// changes and writes the form only when every conversion succeeded, so a failing Manager leaves
// the form's texts as they were.
#pragma once

#include "platform/Classes.h"
#include "ui/Dialogs.h"
#include "ui/Graphics.h"
#include <nuv/Exception.h>
#include <nuv/Variant.h>

#include <cstdint>
#include <string>

namespace nuv {

class TCustomForm;

// Which host configuration the code pages come from.
enum class TDesignType { dtClient, dtServer };
using enum TDesignType;

// Conversion directions (the mode argument of the operations below).
constexpr std::uint8_t cmNone = 0;      // no conversion
constexpr std::uint8_t cmBig5ToGB = 1;  // Traditional to Simplified ("BIG5toGB")
constexpr std::uint8_t cmGBToBig5 = 2;  // Simplified to Traditional ("GBtoBig5")
constexpr std::uint8_t cmBig5Fonts = 3; // interface mode: texts stay, Traditional fonts on a GB
                                        // system

// The Manager answered a conversion with a value of another kind than the one it was given.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

class TCodeConverter : public TComponent {
    NUV_CLASS(TCodeConverter)
public:
    // Sets the code pages to "950" and the modes to 0, then reads the configuration
    // (ReadCodePages) with DesignType dtClient.
    explicit TCodeConverter(TComponent* owner);
    ~TCodeConverter() override;

    // Published. Setting it does not read the configuration again; call ReadCodePages.
    TDesignType DesignType() const { return designType_; }
    void SetDesignType(TDesignType value) { designType_ = value; }

    // The automation object that converts texts; unassigned: nothing is converted.
    const Variant& Manager() const { return manager_; }
    void SetManager(const Variant& value);

    std::string SystemCodePage() const { return systemCodePage_; }
    std::string UICodePage() const { return uiCodePage_; }
    std::string DBCodePage() const { return dbCodePage_; }
    // 0 none, 1 Big5 to GB, 3 texts stay but Traditional fonts on a GB system.
    std::uint8_t UIConvertMode() const { return uiConvertMode_; }
    // 0 none, 1 interface GB and database Big5, 2 interface Big5 and database GB.
    std::uint8_t DBConvertMode() const { return dbConvertMode_; }

    // Fills the code pages and modes from the client or server configuration (DesignType).
    // A configuration that cannot be found leaves the defaults "950"/0 and the machine's own
    // code page.
    void ReadCodePages();

    // A converted copy of V: V itself when there is no Manager, the mode is not 1 or 2, or V is
    // unassigned or Null; arrays through ConvertArray; otherwise the Manager's "BIG5toGB"
    // (mode 1) or "GBtoBig5" (mode 2) with V by reference.
    Variant ConvertValue(int mode, const Variant& V);
    // Arrays: one dimension element by element (nested arrays recursively, other elements by
    // value to the Manager), two dimensions every element through ConvertValue; any other
    // value comes back unchanged.
    Variant ConvertArray(int mode, const Variant& A);
    // The Manager's "Big5ToGB" on a text (empty stays empty; no Manager: unchanged).
    std::string ConvertText(const std::string& S);

    // The program's own texts before they are shown: ConvertValue(UIConvertMode, V).
    Variant ToDisplay(const Variant& V);
    // Database text to the interface: ConvertValue(DBConvertMode, V).
    Variant FromStorage(const Variant& V);
    // Interface text to the database: the reverse of FromStorage.
    Variant ToStorage(const Variant& V);

    // Sets the font's name and character set for the mode and the machine's code page.
    void AdjustFont(int mode, TFont* Font);

    // Converts the form's caption, hint, the screen fonts and, unless UIConvertMode is 0, the
    // captions, hints, lists and fonts of every component the form owns. Does nothing without
    // a Manager. Running it twice converts twice; the root form guards it.
    void ConvertForm(TCustomForm* Form);

    // The message dialog for these code pages: nothing and 0 for an empty text; six blanks
    // appended on a GB interface or system; the owner form's caption, fonts for UIConvertMode,
    // stays on top. Shown through the platform's dialog presenter; returns the modal result.
    int ShowMessageDlg(const std::string& Text, TMsgDlgType DialogType, TMsgDlgButtons Buttons);

private:
    // AdjustFont's rule, setting the fields one by one.
    void AdjustFontFields(int mode, TFont* Font);
    TDesignType designType_ = dtClient;
    Variant manager_;
    std::string systemCodePage_ = "950";
    std::string uiCodePage_ = "950";
    std::string dbCodePage_ = "950";
    std::uint8_t uiConvertMode_ = 0;
    std::uint8_t dbConvertMode_ = 0;
};

} // namespace nuv
