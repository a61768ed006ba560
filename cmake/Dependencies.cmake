# libjpeg (6b API) and libpng with zlib. The Windows flavour links the static builds
# that scripts/setup makes from Debian's sources; the host flavour uses the system's.
if(PATHSCOPE_WINDOWS)
  if(NOT PATHSCOPE_DEPS)
    if(DEFINED ENV{PATHSCOPE_CACHE})
      set(_cache "$ENV{PATHSCOPE_CACHE}")
    else()
      set(_cache "$ENV{HOME}/.cache/pathscope")
    endif()
    set(PATHSCOPE_DEPS "${_cache}/mingw-deps" CACHE PATH "Prefix of the MinGW builds of libjpeg and libpng")
  endif()
  if(NOT EXISTS "${PATHSCOPE_DEPS}/include/jpeglib.h")
    message(FATAL_ERROR "libjpeg for MinGW not found under ${PATHSCOPE_DEPS}; run scripts/setup")
  endif()
  add_library(pathscope_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(pathscope_jpeg PROPERTIES
    IMPORTED_LOCATION "${PATHSCOPE_DEPS}/lib/libjpeg.a"
    INTERFACE_INCLUDE_DIRECTORIES "${PATHSCOPE_DEPS}/include")
  add_library(pathscope_zlib STATIC IMPORTED GLOBAL)
  set_target_properties(pathscope_zlib PROPERTIES
    IMPORTED_LOCATION "/usr/x86_64-w64-mingw32/lib/libz.a")
  add_library(pathscope_png STATIC IMPORTED GLOBAL)
  set_target_properties(pathscope_png PROPERTIES
    IMPORTED_LOCATION "${PATHSCOPE_DEPS}/lib/libpng16.a"
    INTERFACE_INCLUDE_DIRECTORIES "${PATHSCOPE_DEPS}/include"
    INTERFACE_LINK_LIBRARIES pathscope_zlib)
  add_library(Pathscope::jpeg ALIAS pathscope_jpeg)
  add_library(Pathscope::png ALIAS pathscope_png)
elseif(PATHSCOPE_FUZZ AND PATHSCOPE_FUZZ_DEPS)
  # The fuzz build links static builds carrying the fuzzer's coverage instrumentation
  # (scripts/build-fuzz-deps), so the fuzzers can steer inside the libraries.
  find_package(ZLIB REQUIRED)
  add_library(pathscope_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(pathscope_jpeg PROPERTIES
    IMPORTED_LOCATION "${PATHSCOPE_FUZZ_DEPS}/lib/libjpeg.a"
    INTERFACE_INCLUDE_DIRECTORIES "${PATHSCOPE_FUZZ_DEPS}/include")
  add_library(pathscope_png STATIC IMPORTED GLOBAL)
  set_target_properties(pathscope_png PROPERTIES
    IMPORTED_LOCATION "${PATHSCOPE_FUZZ_DEPS}/lib/libpng16.a"
    INTERFACE_INCLUDE_DIRECTORIES "${PATHSCOPE_FUZZ_DEPS}/include"
    INTERFACE_LINK_LIBRARIES "ZLIB::ZLIB;m")
  add_library(Pathscope::jpeg ALIAS pathscope_jpeg)
  add_library(Pathscope::png ALIAS pathscope_png)
else()
  find_package(JPEG REQUIRED)
  find_package(PNG REQUIRED)
  add_library(Pathscope::jpeg ALIAS JPEG::JPEG)
  add_library(Pathscope::png ALIAS PNG::PNG)
endif()

# GoogleTest from Debian's sources, for both flavours.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
