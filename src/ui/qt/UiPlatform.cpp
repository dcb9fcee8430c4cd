// One-time set-up of the Qt application for the component classes.
#include "ui/Forms.h"
#include "ui/qt/QtBridge.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>

namespace nuv {

namespace {

// Hint timing comes from Application->HintPause and HintHidePause.
class HintTimingStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay && Application != nullptr)
            return Application->HintPause();
        if (hint == SH_ToolTip_FallAsleepDelay && Application != nullptr)
            return Application->HintHidePause();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void EnsureUiPlatform() {
    static bool done = false;
    if (done)
        return;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr)
        throw Exception("The UI classes need a QApplication");
    done = true;

    // The forms name their fonts as on a Chinese Windows; map them onto the installed CJK font.
    const QStringList ming{"AR PL UMing TW", "AR PL UMing TW MBE", "AR PL UMing HK"};
    const QStringList song{"AR PL UMing CN", "AR PL UMing TW"};
    for (const char* name :
         {"細明體", "新細明體", "MingLiU", "PMingLiU", "細明體_HKSCS", "MingLiU_HKSCS"})
        QFont::insertSubstitutions(QString::fromUtf8(name), ming);
    for (const char* name : {"SimSun", "宋体", "NSimSun", "新宋体"})
        QFont::insertSubstitutions(QString::fromUtf8(name), song);
    const QStringList sans{"DejaVu Sans", "AR PL UMing TW"};
    for (const char* name : {"MS Sans Serif", "Tahoma", "Arial", "MS Shell Dlg", "MS Shell Dlg 2"})
        QFont::insertSubstitutions(QString::fromUtf8(name), sans);

    QStyle* base = QStyleFactory::create("Fusion");
    app->setStyle(new HintTimingStyle(base));

    QPalette pal;
    pal.setColor(QPalette::Window, ToQColor(clBtnFace));
    pal.setColor(QPalette::WindowText, ToQColor(clWindowText));
    pal.setColor(QPalette::Base, ToQColor(clWindow));
    pal.setColor(QPalette::AlternateBase, ToQColor(clBtnFace));
    pal.setColor(QPalette::Text, ToQColor(clWindowText));
    pal.setColor(QPalette::Button, ToQColor(clBtnFace));
    pal.setColor(QPalette::ButtonText, ToQColor(clBtnText));
    pal.setColor(QPalette::Highlight, ToQColor(clHighlight));
    pal.setColor(QPalette::HighlightedText, ToQColor(clHighlightText));
    pal.setColor(QPalette::ToolTipBase, ToQColor(clInfoBk));
    pal.setColor(QPalette::ToolTipText, ToQColor(clInfoText));
    pal.setColor(QPalette::Light, ToQColor(clBtnHighlight));
    pal.setColor(QPalette::Midlight, ToQColor(cl3DLight));
    pal.setColor(QPalette::Mid, ToQColor(clBtnShadow));
    pal.setColor(QPalette::Dark, ToQColor(clBtnShadow));
    pal.setColor(QPalette::Shadow, ToQColor(cl3DDkShadow));
    pal.setColor(QPalette::Disabled, QPalette::Text, ToQColor(clGrayText));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, ToQColor(clGrayText));
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, ToQColor(clGrayText));
    app->setPalette(pal);

    InstallEventRouting(app);
    if (Screen != nullptr)
        Screen->HintFont()->SetName(Screen->HintFont()->Name());
}

} // namespace nuv
