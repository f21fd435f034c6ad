# tarnwell_windows_program(TARGET): marks TARGET as a Windows program with a
# UTF-16 entry point (wmain, or wWinMain for a WIN32 executable). -municode
# picks that entry point and defines UNICODE; executables with a plain main,
# such as the GoogleTest runner and the tools, must not get it.
function(tarnwell_windows_program target)
  target_compile_options(${target} PRIVATE -municode)
  target_link_options(${target} PRIVATE -municode)
endfunction()

enable_language(RC)

# tarnwell_program_resources(TARGET): embeds the program's icon (resource 1)
# and its manifest, compiled with windres.
function(tarnwell_program_resources target)
  target_sources(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src/ui/tarnwell.rc")
  set_property(SOURCE "${PROJECT_SOURCE_DIR}/src/ui/tarnwell.rc" APPEND PROPERTY OBJECT_DEPENDS
    "${PROJECT_SOURCE_DIR}/src/ui/tarnwell.ico" "${PROJECT_SOURCE_DIR}/src/ui/tarnwell.manifest")
endfunction()
