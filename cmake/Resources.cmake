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

# The application's own resources: the menu and dialog templates (resources/app/*.rc),
# the version resource and the manifest (their numbers from the project's version), and
# the help page, converted to Shift_JIS at build time. They are linked into each
# executable that needs them (a resource object inside a static library would be dropped).
set(PATHSCOPE_APP_RES "${PATHSCOPE_GENERATED}/app")
file(MAKE_DIRECTORY "${PATHSCOPE_APP_RES}")
configure_file("${CMAKE_SOURCE_DIR}/resources/app/version.rc.in" "${PATHSCOPE_APP_RES}/version.rc" @ONLY)
configure_file("${CMAKE_SOURCE_DIR}/resources/app/manifest.xml.in" "${PATHSCOPE_APP_RES}/manifest.xml" @ONLY)
file(CONFIGURE OUTPUT "${PATHSCOPE_APP_RES}/manifest.rc"
     CONTENT "// The application manifest (RT_MANIFEST, the process's own, id 1).\n1 24 \"${PATHSCOPE_APP_RES}/manifest.xml\"\n")
set(PATHSCOPE_HELP_HTML "${PATHSCOPE_APP_RES}/help.html")
set(PATHSCOPE_HELP_RC "${PATHSCOPE_APP_RES}/help.rc")
add_custom_command(
  OUTPUT "${PATHSCOPE_HELP_HTML}" "${PATHSCOPE_HELP_RC}"
  COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/scripts/gen-help.py"
          "${CMAKE_SOURCE_DIR}/resources/app/help.html" "${PATHSCOPE_HELP_HTML}" "${PATHSCOPE_HELP_RC}"
  DEPENDS "${CMAKE_SOURCE_DIR}/scripts/gen-help.py" "${CMAKE_SOURCE_DIR}/resources/app/help.html"
  COMMENT "Converting the help page to Shift_JIS"
  VERBATIM)
add_custom_target(pathscope_help DEPENDS "${PATHSCOPE_HELP_HTML}" "${PATHSCOPE_HELP_RC}")
# The resource compiler does not report the files a script pulls in.
set_source_files_properties("${PATHSCOPE_HELP_RC}" PROPERTIES OBJECT_DEPENDS "${PATHSCOPE_HELP_HTML}")
set_source_files_properties("${PATHSCOPE_APP_RES}/manifest.rc" PROPERTIES
  OBJECT_DEPENDS "${PATHSCOPE_APP_RES}/manifest.xml")
set_source_files_properties("${CMAKE_SOURCE_DIR}/resources/app/menu.rc"
  "${CMAKE_SOURCE_DIR}/resources/app/dialogs.rc" PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/app/ResourceIds.h;${CMAKE_SOURCE_DIR}/src/devicedialogs/DeviceDialogIds.h")

# pathscope_app_resources(target [PIECES...]): the pieces are any of MENU, DIALOGS,
# VERSION, MANIFEST, HELP; all of them when none is named.
function(pathscope_app_resources target)
  if(NOT PATHSCOPE_WINDOWS)
    return()
  endif()
  set(pieces ${ARGN})
  if(NOT pieces)
    set(pieces MENU DIALOGS VERSION MANIFEST HELP)
  endif()
  set(files_MENU "${CMAKE_SOURCE_DIR}/resources/app/menu.rc")
  set(files_DIALOGS "${CMAKE_SOURCE_DIR}/resources/app/dialogs.rc")
  set(files_VERSION "${PATHSCOPE_APP_RES}/version.rc")
  set(files_MANIFEST "${PATHSCOPE_APP_RES}/manifest.rc")
  set(files_HELP "${PATHSCOPE_HELP_RC}")
  foreach(piece ${pieces})
    target_sources(${target} PRIVATE ${files_${piece}})
  endforeach()
  if(HELP IN_LIST pieces)
    add_dependencies(${target} pathscope_help)
  endif()
  target_include_directories(${target} PRIVATE "${CMAKE_SOURCE_DIR}/src")
endfunction()
