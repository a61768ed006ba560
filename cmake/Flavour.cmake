# Compiler settings of the two flavours.
set(PATHSCOPE_WARNINGS -Wall -Wextra)

if(PATHSCOPE_WINDOWS)
  # Unicode entry points, the XP-era API surface, and one self-contained exe.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                          _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
  add_compile_options(-municode)
  add_link_options(-municode -static -static-libgcc -static-libstdc++)
  # Undefined behaviour traps instead of calling a runtime that MinGW lacks.
  option(PATHSCOPE_UBSAN "Trap on undefined behaviour in the Windows flavour" ON)
  if(PATHSCOPE_UBSAN)
    add_compile_options(-fsanitize=undefined -fsanitize-undefined-trap-on-error)
  endif()
else()
  option(PATHSCOPE_SANITIZE "Build the host flavour with ASan and UBSan" ON)
  if(PATHSCOPE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
  # libFuzzer targets (fuzz/, `make fuzz`): clang only; everything else gets the
  # coverage instrumentation the fuzzer steers by.
  option(PATHSCOPE_FUZZ "Build the libFuzzer targets (clang)" OFF)
  if(PATHSCOPE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
      message(FATAL_ERROR "PATHSCOPE_FUZZ needs clang (CC=clang CXX=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()

# Applies the project's warnings to a target of ours (not to third-party code).
function(pathscope_warnings target)
  target_compile_options(${target} PRIVATE ${PATHSCOPE_WARNINGS})
endfunction()
