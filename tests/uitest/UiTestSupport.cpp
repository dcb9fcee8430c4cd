#include "uitest/UiTestSupport.h"

#include "ui/qt/QtBridge.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace nuv::test {

void ScriptedPresenter::Clear() {
    answers_.clear();
    boxAnswers_.clear();
    scripts_.clear();
    messages_.clear();
    boxes_.clear();
    modalForms_.clear();
    unanswered_ = 0;
}

TModalResult ScriptedPresenter::ShowMessageForm(TMessageForm& form) {
    Message m;
    m.Text = form.Message();
    m.Caption = form.Caption();
    m.Kind = form.Kind();
    m.Buttons = form.Buttons();
    m.StayOnTop = form.FormStyle() == fsStayOnTop;
    m.FontName = form.Font()->Name();
    m.FontCharset = form.Font()->Charset();
    if (!answers_.empty()) {
        m.Answer = answers_.front();
        answers_.pop_front();
    } else {
        m.Answer = ButtonModalResult(form.DefaultButton());
    }
    messages_.push_back(m);
    return m.Answer;
}

void ScriptedPresenter::RunModal(TCustomForm& form, const std::function<bool()>& done) {
    modalForms_.push_back(form.ClassName());
    if (auto* mf = dynamic_cast<TMessageForm*>(&form)) {
        mf->SetModalResult(ShowMessageForm(*mf));
        done();
        return;
    }
    TComponentRef<TCustomForm> ref(&form);
    if (!scripts_.empty()) {
        auto script = std::move(scripts_.front());
        scripts_.pop_front();
        script(form);
    }
    DrainEvents();
    if (ref && !done()) {
        ++unanswered_;
        ref->SetModalResult(mrCancel);
        done();
    }
}

int ScriptedPresenter::MessageBox(const std::string& text, const std::string& caption,
                                  unsigned flags) {
    Box b{text, caption, flags, IDOK};
    if (!boxAnswers_.empty()) {
        b.Answer = boxAnswers_.front();
        boxAnswers_.pop_front();
    } else {
        unsigned buttons = flags & 0xF;
        b.Answer = buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
    }
    boxes_.push_back(b);
    return b.Answer;
}

void DrainEvents() {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TWinControl* FocusedControl() {
    QWidget* w = QApplication::focusWidget();
    for (; w != nullptr; w = w->parentWidget())
        if (auto* hook = dynamic_cast<TControlWidget*>(w);
            hook != nullptr && hook->control != nullptr)
            if (auto* wc = dynamic_cast<TWinControl*>(hook->control))
                return wc;
    return nullptr;
}

static Qt::KeyboardModifiers Mods(TShiftState s) {
    Qt::KeyboardModifiers m;
    if (s.Contains(ssShift))
        m |= Qt::ShiftModifier;
    if (s.Contains(ssCtrl))
        m |= Qt::ControlModifier;
    if (s.Contains(ssAlt))
        m |= Qt::AltModifier;
    return m;
}

void PressKey(Word vk, TShiftState shift, const std::string& text) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr)
        target = QApplication::activeWindow();
    if (target == nullptr)
        return;
    int key = QtKeyFromVirtualKey(vk);
    if (vk == VK_TAB && shift.Contains(ssShift))
        key = Qt::Key_Backtab;
    QString t = ToQString(text);
    if (t.isEmpty()) {
        if (vk == VK_RETURN)
            t = "\r";
        else if (vk == VK_ESCAPE)
            t = QString(QChar(27));
        else if (vk == VK_BACK)
            t = QString(QChar(8));
        else if (vk == VK_TAB && !shift.Contains(ssShift))
            t = "\t";
    }
    QPointer<QWidget> guard(target);
    QKeyEvent press(QEvent::KeyPress, key, Mods(shift), t);
    QApplication::sendEvent(target, &press);
    QWidget* releaseTarget = guard ? guard.data() : QApplication::focusWidget();
    if (releaseTarget != nullptr) {
        QKeyEvent release(QEvent::KeyRelease, key, Mods(shift), t);
        QApplication::sendEvent(releaseTarget, &release);
    }
}

void TypeText(const std::string& text) {
    QString s = ToQString(text);
    for (QChar ch : s) {
        QString one(ch);
        int key = ch.isLetter() && ch.unicode() < 128  ? Qt::Key_A + (ch.toUpper().unicode() - 'A')
                  : ch.isDigit() && ch.unicode() < 128 ? Qt::Key_0 + (ch.unicode() - '0')
                                                       : 0;
        if (ch == ' ')
            key = Qt::Key_Space;
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr)
            return;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, one);
        QApplication::sendEvent(target, &press);
        if (QWidget* t2 = QApplication::focusWidget()) {
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, one);
            QApplication::sendEvent(t2, &release);
        }
    }
}

static void SendMouse(TControl* control, int x, int y, bool dbl) {
    QWidget* w = WidgetOf(control);
    if (w == nullptr)
        return;
    QPoint local(x, y);
    QWidget* target = w->childAt(local);
    if (target == nullptr)
        target = w;
    QPointer<QWidget> guard(target);
    QPoint tp = target->mapFrom(w, local);
    QPoint gp = w->mapToGlobal(local);
    auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        if (!guard)
            return;
        QMouseEvent e(type, QPointF(tp), QPointF(gp), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(guard.data(), &e);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    if (dbl) {
        send(QEvent::MouseButtonDblClick, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, Qt::NoButton);
    }
}

void ClickAt(TControl* control, int x, int y) {
    SendMouse(control, x, y, false);
}
void DoubleClickAt(TControl* control, int x, int y) {
    SendMouse(control, x, y, true);
}

void FreeAllForms() {
    while (Screen->FormCount() > 0)
        Screen->Forms(Screen->FormCount() - 1)->Free();
    DrainEvents();
}

} // namespace nuv::test
