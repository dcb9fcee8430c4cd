# nuv_ui: the component classes (forms, controls, graphics, dialogs) over Qt Widgets. The headers
# are free of Qt; Qt is used only in the .cpp files.
nuv_library(nuv_ui
  SOURCES
    Types.h Messages.h
    Classes.h Classes.cpp
    Graphics.h Graphics.cpp
    QtBridge.h
    Controls.h Controls.cpp
    Forms.h Forms.cpp
    Menus.h Menus.cpp
    Dialogs.h Dialogs.cpp
    TypInfo.h TypInfo.cpp
    PropGroups.h PropGroups.cpp
    StdCtrls.h StdCtrls.cpp
    Mask.h Mask.cpp
    ExtCtrls.h ExtCtrls.cpp
    Buttons.h Buttons.cpp
    Spin.h Spin.cpp
    ActnList.h ActnList.cpp
    ComCtrls.h ComCtrls.cpp
    Grids.h Grids.cpp
    UiPlatform.cpp
  LIBS nuv_platform Qt6::Widgets)

# nuv_ui_test_main: main() with an offscreen QApplication for GoogleTest, the scripted dialog
# presenter and the input helpers. Tests of any folder use it with nuv_test(... MAIN
# nuv_ui_test_main).
if(NUV_BUILD_TESTS)
  find_package(GTest REQUIRED)
  nuv_library(nuv_ui_test_main
    SOURCES UiTestSupport.h UiTestSupport.cpp UiTestMain.cpp
    LIBS nuv_ui GTest::gtest)
endif()
