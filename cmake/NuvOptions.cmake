# Compiler settings shared by every target of the project.

add_compile_options(-Wall -Wextra)

if(NUV_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "NUV_FUZZ needs clang (configure with CC=clang CXX=clang++)")
  endif()
  # Everything is instrumented for coverage and checked; any sanitizer report ends the run.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
elseif(NUV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The layers, lowest first. A layer's library links only libraries of the layers before it, and
# its sources include only headers of its own layer and the layers before it
# (tools/check-layers checks the includes).
set(NUV_LAYERS platform ui support controls codepage runtime forms report plugin)

# nuv_check_layer_links(name LIBS...): stops the configuration when the library nuv_<layer>
# links a library of its own layer or a layer above it.
function(nuv_check_layer_links name)
  string(REGEX REPLACE "^nuv_" "" layer ${name})
  list(FIND NUV_LAYERS ${layer} rank)
  if(rank LESS 0)
    return()
  endif()
  foreach(lib ${ARGN})
    if(lib MATCHES "^nuv_(.+)$")
      list(FIND NUV_LAYERS ${CMAKE_MATCH_1} libRank)
      if(libRank GREATER_EQUAL rank)
        message(FATAL_ERROR "${name} links ${lib}: a layer links only the layers below it "
                            "(${NUV_LAYERS})")
      endif()
    endif()
  endforeach()
endfunction()

# nuv_library(name SOURCES ... [LIBS ...] [PRIVATE_LIBS ...]): a static library of one folder,
# with the project's include roots (include/ for the host-facing headers, src/ for
# "platform/Variant.h" style includes). PRIVATE_LIBS are linked but their headers are not
# passed on (the UI layer keeps Qt Widgets to itself this way).
function(nuv_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
  nuv_check_layer_links(${name} ${ARG_LIBS} ${ARG_PRIVATE_LIBS})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  if(ARG_PRIVATE_LIBS)
    target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_LIBS})
  endif()
endfunction()
