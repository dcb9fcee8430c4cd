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

# nuv_library(name SOURCES ... [LIBS ...]): a static library of one folder, with the project's
# include roots (include/ for the host-facing headers, src/ for "platform/Variant.h" style
# includes).
function(nuv_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()
