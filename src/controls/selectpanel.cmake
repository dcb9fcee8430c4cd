# The selection panel with its range edits and value list.
list(APPEND NUV_CONTROLS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/SelectPnl.h
  ${CMAKE_CURRENT_LIST_DIR}/SelectPnl.cpp)
