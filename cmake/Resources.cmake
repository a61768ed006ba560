# The message texts come from resources/strings.txt alone: it becomes the Windows string
# table and the portable build's lookup table.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(PATHSCOPE_GENERATED "${CMAKE_BINARY_DIR}/generated")
file(MAKE_DIRECTORY "${PATHSCOPE_GENERATED}")
set(PATHSCOPE_STRINGS_RC "${PATHSCOPE_GENERATED}/strings.rc")
set(PATHSCOPE_STRINGS_INC "${PATHSCOPE_GENERATED}/StringTableData.inc")
add_custom_command(
  OUTPUT "${PATHSCOPE_STRINGS_RC}" "${PATHSCOPE_STRINGS_INC}"
  COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/scripts/gen-strings.py"
          "${CMAKE_SOURCE_DIR}/resources/strings.txt" "${PATHSCOPE_STRINGS_RC}" "${PATHSCOPE_STRINGS_INC}"
  DEPENDS "${CMAKE_SOURCE_DIR}/scripts/gen-strings.py" "${CMAKE_SOURCE_DIR}/resources/strings.txt"
  COMMENT "Generating the string table"
  VERBATIM)
add_custom_target(pathscope_strings DEPENDS "${PATHSCOPE_STRINGS_RC}" "${PATHSCOPE_STRINGS_INC}")

# Windows executables carry the string table (tests too: LoadText reads the running
# module's own resources).
function(pathscope_windows_resources target)
  if(PATHSCOPE_WINDOWS)
    target_sources(${target} PRIVATE "${PATHSCOPE_STRINGS_RC}")
    add_dependencies(${target} pathscope_strings)
  endif()
endfunction()
