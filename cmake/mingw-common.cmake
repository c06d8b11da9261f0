# The -posix variants: GoogleTest needs std::mutex.
set(CMAKE_C_COMPILER ${VESKARO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VESKARO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VESKARO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VESKARO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs the Windows test programs through Wine; scripts/test provides the prefix.
find_program(VESKARO_WINE NAMES wine wine64)
if(VESKARO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VESKARO_WINE})
endif()
