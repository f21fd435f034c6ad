# Oniguruma: Debian's libonig-dev natively; for Windows the static library that
# scripts/build-onig-mingw.sh builds from Debian's source package.
if(WIN32)
  set(TARNWELL_ONIG_ROOT "${CMAKE_SOURCE_DIR}/build/deps/onig-mingw" CACHE PATH "Oniguruma built for mingw")
  find_library(ONIG_LIBRARY NAMES libonig.a onig PATHS "${TARNWELL_ONIG_ROOT}/lib"
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_path(ONIG_INCLUDE_DIR oniguruma.h PATHS "${TARNWELL_ONIG_ROOT}/include"
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
else()
  find_library(ONIG_LIBRARY NAMES onig REQUIRED)
  find_path(ONIG_INCLUDE_DIR oniguruma.h REQUIRED)
endif()
add_library(oniguruma INTERFACE)
target_link_libraries(oniguruma INTERFACE "${ONIG_LIBRARY}")
target_include_directories(oniguruma SYSTEM INTERFACE "${ONIG_INCLUDE_DIR}")
target_compile_definitions(oniguruma INTERFACE ONIG_STATIC)
