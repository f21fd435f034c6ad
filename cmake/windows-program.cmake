# tarnwell_windows_program(TARGET): marks TARGET as a Windows program with a
# UTF-16 entry point (wmain, or wWinMain for a WIN32 executable). -municode
# picks that entry point and defines UNICODE; executables with a plain main,
# such as the GoogleTest runner and the tools, must not get it.
function(tarnwell_windows_program target)
  target_compile_options(${target} PRIVATE -municode)
  target_link_options(${target} PRIVATE -municode)
endfunction()
