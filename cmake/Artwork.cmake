# The interface's pictures are rendered at build time from resources/art (SVG sources and
# a manifest) by scripts/gen-art.py with rsvg-convert; nothing rendered is committed. The
# outputs are generated/art/<id>.png, the window icon <id>.ico and art.rc, the resource
# script that carries them.
find_program(PATHSCOPE_RSVG_CONVERT rsvg-convert)
if(NOT PATHSCOPE_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert was not found: the interface's pictures are rendered "
                      "with it at build time. Install it with scripts/setup (Debian: librsvg2-bin).")
endif()

set(PATHSCOPE_ART_SOURCE "${CMAKE_SOURCE_DIR}/resources/art")
set(PATHSCOPE_ART_DIR "${PATHSCOPE_GENERATED}/art")
set(PATHSCOPE_ART_RC "${PATHSCOPE_ART_DIR}/art.rc")
file(GLOB_RECURSE _art_sources CONFIGURE_DEPENDS "${PATHSCOPE_ART_SOURCE}/*")
file(GLOB _art_scripts CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/scripts/art_*.py")
add_custom_command(
  OUTPUT "${PATHSCOPE_ART_RC}"
  COMMAND Python3::Interpreter "${CMAKE_SOURCE_DIR}/scripts/gen-art.py"
          "${PATHSCOPE_ART_SOURCE}" "${PATHSCOPE_ART_DIR}" "${PATHSCOPE_RSVG_CONVERT}"
  DEPENDS "${CMAKE_SOURCE_DIR}/scripts/gen-art.py" ${_art_scripts} ${_art_sources}
  COMMENT "Rendering the interface's pictures"
  VERBATIM)
add_custom_target(pathscope_art DEPENDS "${PATHSCOPE_ART_RC}")

# Windows executables that show the interface carry every picture and the icon.
function(pathscope_art_resources target)
  if(PATHSCOPE_WINDOWS)
    target_sources(${target} PRIVATE "${PATHSCOPE_ART_RC}")
    add_dependencies(${target} pathscope_art)
  endif()
endfunction()

# `cmake --build BUILD --target art_sheet`: every picture at 1:1 on one contact sheet.
add_custom_target(art_sheet
  COMMAND "${CMAKE_SOURCE_DIR}/scripts/art-sheet" "${PATHSCOPE_ART_DIR}" "${CMAKE_BINARY_DIR}/art-sheet.png"
  DEPENDS pathscope_art
  VERBATIM)
