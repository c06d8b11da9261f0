# The -posix variants where GoogleTest is built (it needs std::mutex); the shipping build
# uses the win32 thread model, which does not pull the pthread library into the program.
if(NOT VESKARO_THREAD_MODEL)
  set(VESKARO_THREAD_MODEL posix)
endif()
set(CMAKE_C_COMPILER ${VESKARO_TRIPLE}-gcc-${VESKARO_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${VESKARO_TRIPLE}-g++-${VESKARO_THREAD_MODEL})
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
