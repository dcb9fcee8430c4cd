# Glyph and look-up buttons, bitmap check boxes, owner-drawn pages, radio buttons and groups,
# check boxes and spin edits of the dialogs.
list(APPEND NUV_CONTROLS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/GlyphLib.h
  ${CMAKE_CURRENT_LIST_DIR}/GlyphLib.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GSpdBtn.h
  ${CMAKE_CURRENT_LIST_DIR}/GSpdBtn.cpp
  ${CMAKE_CURRENT_LIST_DIR}/F2Button.h
  ${CMAKE_CURRENT_LIST_DIR}/F2Button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BtChkBox.h
  ${CMAKE_CURRENT_LIST_DIR}/BtChkBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExtPage.h
  ${CMAKE_CURRENT_LIST_DIR}/ExtPage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NuRadioButton.h
  ${CMAKE_CURRENT_LIST_DIR}/NuRadioButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NuRadioGroup.h
  ${CMAKE_CURRENT_LIST_DIR}/NuRadioGroup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NuCheckBox.h
  ${CMAKE_CURRENT_LIST_DIR}/NuCheckBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NuSpin.h
  ${CMAKE_CURRENT_LIST_DIR}/NuSpin.cpp)
# The glyph library's C interface (glyphs/Pemtal.h); the library itself is opened at run time.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/GlyphLib.cpp PROPERTIES
  INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR}/glyphs)
