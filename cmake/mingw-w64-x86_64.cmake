# Cross-building for 64-bit Windows with Debian's mingw-w64 (the POSIX-threads flavour of
# the compiler, which std::thread needs). Programs built with it run here under wine:
# ctest starts them through CMAKE_CROSSCOMPILING_EMULATOR.
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KIVRA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KIVRA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIVRA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KIVRA_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KIVRA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(KIVRA_WINE NAMES wine wine64)
if(KIVRA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KIVRA_WINE})  # CMakeLists.txt wraps it
endif()
