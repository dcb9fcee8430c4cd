#include "ui/Dialogs.h"

#include "ui/qt/QtBridge.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

#include <cstdio>

namespace nuv {

TModalResult ButtonModalResult(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
        return mrYes;
    case mbNo:
        return mrNo;
    case mbOK:
        return mrOk;
    case mbCancel:
        return mrCancel;
    case mbAbort:
        return mrAbort;
    case mbRetry:
        return mrRetry;
    case mbIgnore:
        return mrIgnore;
    case mbAll:
        return mrAll;
    case mbNoToAll:
        return mrNoToAll;
    case mbYesToAll:
        return mrYesToAll;
    case mbHelp:
        return mrNone;
    }
    return mrNone;
}

std::vector<TMsgDlgBtn> OrderedButtons(TMsgDlgButtons buttons) {
    std::vector<TMsgDlgBtn> r;
    for (TMsgDlgBtn b : {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll,
                         mbYesToAll, mbHelp})
        if (buttons.Contains(b))
            r.push_back(b);
    return r;
}

std::string DialogKindCaption(TMsgDlgType kind) {
    switch (kind) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirm";
    case mtCustom:
        break;
    }
    return Application->Title();
}

std::string ButtonCaption(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
        return "&Yes";
    case mbNo:
        return "&No";
    case mbOK:
        return "OK";
    case mbCancel:
        return "Cancel";
    case mbAbort:
        return "&Abort";
    case mbRetry:
        return "&Retry";
    case mbIgnore:
        return "&Ignore";
    case mbAll:
        return "&All";
    case mbNoToAll:
        return "N&o to All";
    case mbYesToAll:
        return "Yes to &All";
    case mbHelp:
        return "&Help";
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// The message form: built with plain Qt widgets inside the form's window.

namespace {

struct MessageWidgets {
    QLabel* icon = nullptr;
    QLabel* text = nullptr;
    std::vector<QPushButton*> buttons;
};

std::map<const TMessageForm*, MessageWidgets>& Parts() {
    static std::map<const TMessageForm*, MessageWidgets> parts;
    return parts;
}

QStyle::StandardPixmap IconOf(TMsgDlgType kind) {
    switch (kind) {
    case mtWarning:
        return QStyle::SP_MessageBoxWarning;
    case mtError:
        return QStyle::SP_MessageBoxCritical;
    case mtInformation:
        return QStyle::SP_MessageBoxInformation;
    case mtConfirmation:
        return QStyle::SP_MessageBoxQuestion;
    default:
        return QStyle::SP_CustomBase;
    }
}

} // namespace

const TClassInfo& TMessageForm::StaticClassInfo() {
    static const TClassInfo info("TMessageForm", &TForm::StaticClassInfo());
    return info;
}

TMessageForm::TMessageForm(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons)
    : TForm(nullptr), message_(text), kind_(kind),
      buttons_(buttons.Empty() ? TMsgDlgButtons{mbOK} : buttons) {
    SetBorderStyle(TBorderStyle::bsDialog);
    SetBorderIcons({biSystemMenu});
    SetPosition(poScreenCenter);
    SetCaption(DialogKindCaption(kind));
    QWidget* w = WidgetOf(this);
    MessageWidgets parts;
    if (kind != mtCustom) {
        parts.icon = new QLabel(w);
        parts.icon->setPixmap(QApplication::style()->standardIcon(IconOf(kind)).pixmap(32, 32));
    }
    parts.text = new QLabel(ToQString(text), w);
    parts.text->setWordWrap(false);
    for (TMsgDlgBtn b : OrderedButtons(buttons_)) {
        auto* pb = new QPushButton(ToQString(ButtonCaption(b)), w);
        pb->setAutoDefault(false);
        TModalResult mr = ButtonModalResult(b);
        QObject::connect(pb, &QPushButton::clicked, [this, mr] { SetModalResult(mr); });
        parts.buttons.push_back(pb);
    }
    Parts()[this] = parts;
    Arrange();
    AfterConstruction();
}

TMessageForm::~TMessageForm() {
    Parts().erase(this);
}

TMsgDlgBtn TMessageForm::DefaultButton() const {
    if (buttons_.Contains(mbOK))
        return mbOK;
    if (buttons_.Contains(mbYes))
        return mbYes;
    return OrderedButtons(buttons_).front();
}

void TMessageForm::Arrange() {
    auto it = Parts().find(this);
    if (it == Parts().end())
        return;
    MessageWidgets& p = it->second;
    QFont f = ToQFont(*Font());
    QFontMetrics fm(f);
    p.text->setFont(f);
    QRect tr = fm.boundingRect(QRect(0, 0, 600, 2000), Qt::TextWordWrap | Qt::AlignLeft,
                               ToQString(message_));
    int left = 12;
    if (p.icon != nullptr) {
        p.icon->setGeometry(12, 12, 32, 32);
        left = 56;
    }
    p.text->setWordWrap(true);
    p.text->setGeometry(left, 12, tr.width() + 4, std::max(tr.height(), 32));
    int bw = 75, bh = 25, gap = 8;
    int n = static_cast<int>(p.buttons.size());
    int buttonsWidth = n * bw + (n - 1) * gap;
    int clientW = std::max(left + tr.width() + 16, buttonsWidth + 24);
    int top = 12 + std::max(tr.height(), 32) + 14;
    int x = (clientW - buttonsWidth) / 2;
    for (QPushButton* b : p.buttons) {
        b->setFont(f);
        b->setGeometry(x, top, bw, bh);
        x += bw + gap;
    }
    SetBounds(Left(), Top(), clientW + FormFrameWidth, top + bh + 12 + FormFrameHeight);
}

TMessageForm* CreateMessageDialog(const std::string& text, TMsgDlgType kind,
                                  TMsgDlgButtons buttons) {
    return new TMessageForm(text, kind, buttons);
}

int MessageDlg(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons, int) {
    TMessageForm* form = CreateMessageDialog(text, kind, buttons);
    int result = mrCancel;
    try {
        result = form->ShowModal();
    } catch (...) {
        form->Free();
        throw;
    }
    form->Free();
    return result;
}

void ShowMessage(const std::string& text) {
    MessageDlg(text, mtCustom, {mbOK});
}

// ---------------------------------------------------------------------------------------------
// The presenter for a person: Qt message boxes and modal event loops.

namespace {

class QtPresenter : public TDialogPresenter {
public:
    TModalResult ShowMessageForm(TMessageForm& form) override {
        QMessageBox box;
        box.setWindowTitle(ToQString(form.Caption()));
        box.setText(ToQString(form.Message()));
        box.setFont(ToQFont(*form.Font()));
        switch (form.Kind()) {
        case mtWarning:
            box.setIcon(QMessageBox::Warning);
            break;
        case mtError:
            box.setIcon(QMessageBox::Critical);
            break;
        case mtInformation:
            box.setIcon(QMessageBox::Information);
            break;
        case mtConfirmation:
            box.setIcon(QMessageBox::Question);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
        }
        if (form.FormStyle() == fsStayOnTop)
            box.setWindowFlag(Qt::WindowStaysOnTopHint);
        std::map<QAbstractButton*, TModalResult> results;
        for (TMsgDlgBtn b : OrderedButtons(form.Buttons())) {
            QPushButton* pb = box.addButton(ToQString(ButtonCaption(b)),
                                            b == mbCancel || b == mbNo ? QMessageBox::RejectRole
                                                                       : QMessageBox::AcceptRole);
            results[pb] = ButtonModalResult(b);
            if (b == form.DefaultButton())
                box.setDefaultButton(pb);
        }
        box.exec();
        auto it = results.find(box.clickedButton());
        return it == results.end() ? mrCancel : it->second;
    }

    void RunModal(TCustomForm& form, const std::function<bool()>& done) override {
        if (auto* mf = dynamic_cast<TMessageForm*>(&form)) {
            mf->Hide();
            mf->SetModalResult(ShowMessageForm(*mf));
            done();
            return;
        }
        while (!done())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        QMessageBox box;
        box.setWindowTitle(ToQString(caption));
        box.setText(ToQString(text));
        switch (flags & 0xF0) {
        case MB_ICONERROR:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONWARNING:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        std::map<QAbstractButton*, int> ids;
        auto add = [&](const char* text, QMessageBox::ButtonRole role, int id) {
            ids[box.addButton(QString::fromUtf8(text), role)] = id;
        };
        switch (flags & 0xF) {
        case MB_OKCANCEL:
            add("OK", QMessageBox::AcceptRole, IDOK);
            add("Cancel", QMessageBox::RejectRole, IDCANCEL);
            break;
        case MB_YESNO:
            add("&Yes", QMessageBox::YesRole, IDYES);
            add("&No", QMessageBox::NoRole, IDNO);
            break;
        case MB_YESNOCANCEL:
            add("&Yes", QMessageBox::YesRole, IDYES);
            add("&No", QMessageBox::NoRole, IDNO);
            add("Cancel", QMessageBox::RejectRole, IDCANCEL);
            break;
        default:
            add("OK", QMessageBox::AcceptRole, IDOK);
            break;
        }
        box.exec();
        auto it = ids.find(box.clickedButton());
        return it == ids.end() ? IDCANCEL : it->second;
    }
};

QtPresenter g_qtPresenter;
TDialogPresenter* g_presenter = &g_qtPresenter;

} // namespace

TDialogPresenter& DialogPresenter() {
    return *g_presenter;
}

TDialogPresenter* SetDialogPresenter(TDialogPresenter* presenter) {
    TDialogPresenter* old = g_presenter;
    g_presenter = presenter != nullptr ? presenter : &g_qtPresenter;
    return old;
}

// --- a program without a person ------------------------------------------------------------

TModalResult TConsolePresenter::ShowMessageForm(TMessageForm& form) {
    std::fprintf(stderr, "%s\n", form.Message().c_str());
    return ButtonModalResult(form.DefaultButton());
}

void TConsolePresenter::RunModal(TCustomForm& form, const std::function<bool()>& done) {
    if (auto* mf = dynamic_cast<TMessageForm*>(&form)) {
        mf->Hide();
        mf->SetModalResult(ShowMessageForm(*mf));
        done();
        return;
    }
    std::fprintf(stderr, "%s: a modal window needs a person\n", form.Caption().c_str());
}

int TConsolePresenter::MessageBox(const std::string& text, const std::string& caption, unsigned) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return IDOK;
}

} // namespace nuv
