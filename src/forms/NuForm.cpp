#include "forms/NuForm.h"

#include <utility>

namespace nuv {

namespace {
TFormCreationListener& CreationListener() {
    static TFormCreationListener listener;
    return listener;
}
} // namespace

TFormCreationListener SetFormCreationListener(TFormCreationListener listener) {
    return std::exchange(CreationListener(), std::move(listener));
}

const TClassInfo& TNuForm::StaticClassInfo() {
    static const TClassInfo info = TClassInfo("TNuForm", &TForm::StaticClassInfo());
    return info;
}

TNuForm::TNuForm(TComponent* owner) : TForm(owner) {
    SetBounds(Left(), Top(), 400, 191);
    SetCaption("NUForm");
    Font()->SetCharset(CHINESEBIG5_CHARSET);
    Font()->SetHeight(-16);
    Font()->SetName("細明體");
    SetKeyPreview(true);
    SetPosition(poScreenCenter);
    SetScaled(false);
    SetShowHint(true);
    OnCreate = TNotifyEvent(this, &TNuForm::FormCreate);

    NuConverter = new TCodeConverter(this);
    NuConverter->SetName("NuConverter");
    NuConverter->SetDesignType(dtClient);
}

TNuForm::~TNuForm() = default;

void TNuForm::FormCreate(TObject*) {
    if (const TFormCreationListener& listener = CreationListener()) {
        try {
            listener(this);
        } catch (const Exception& e) {
            Application->MessageBox(FormCreationErrorPrefix + Caption() + ": " + e.Message(),
                                    Application->Title());
        }
    }
    CaptionsConverted = false;
}

void TNuForm::ConvertCaptions() {
    if (!CaptionsConverted)
        NuConverter->ConvertForm(this);
    CaptionsConverted = true;
}

int TNuForm::ShowMessageDlg(const std::string& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    return NuConverter->ShowMessageDlg(Text, DlgType, Buttons);
}

std::string TNuForm::GetSystemCodePage() const {
    return NuConverter->SystemCodePage();
}

std::string TNuForm::GetUICodePage() const {
    return NuConverter->UICodePage();
}

std::uint8_t TNuForm::GetDisplayMode() const {
    return NuConverter->UIConvertMode();
}

Variant TNuForm::GetConverterManager() const {
    return NuConverter->Manager();
}

void TNuForm::SetConverterManager(const Variant& Value) {
    NuConverter->SetManager(Value);
}

} // namespace nuv
