# The Windows builds: the program, its resources and the test programs run under Wine.

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(VESKARO_BITS 32)
else()
  set(VESKARO_BITS 64)
endif()

if(VESKARO_UIACCESS)
  set(VESKARO_UIACCESS_VALUE "true")
else()
  set(VESKARO_UIACCESS_VALUE "false")
endif()
configure_file(src/res/Veskaro.manifest.in ${CMAKE_BINARY_DIR}/res/Veskaro.manifest @ONLY)
configure_file(src/res/VeskaroConfig.h.in ${CMAKE_BINARY_DIR}/res/VeskaroConfig.h @ONLY)

set(VESKARO_DEFINES
  UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
  _WIN32_WINNT=0x0601 WINVER=0x0601
  VESKARO_PRODUCT_URL=L"${VESKARO_PRODUCT_URL}"
  VESKARO_SHARE_URL=L"${VESKARO_SHARE_URL}"
  VESKARO_SUPPORT_EMAIL=L"${VESKARO_SUPPORT_EMAIL}"
)
set(VESKARO_SYSTEM_LIBS
  comctl32 comdlg32 shell32 shlwapi advapi32 ole32 oleaut32 uuid wtsapi32 user32 gdi32 kernel32)

# Resources: compiled once, linked into the program and into the window tests,
# which create the real dialogs from the real templates.
add_library(veskaro_res OBJECT src/res/Veskaro.rc)
target_include_directories(veskaro_res PRIVATE src/res ${CMAKE_BINARY_DIR}/res)
set_property(SOURCE src/res/Veskaro.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_BINARY_DIR}/res/Veskaro.manifest ${CMAKE_BINARY_DIR}/res/VeskaroConfig.h
  ${CMAKE_SOURCE_DIR}/src/res/Veskaro.ico)

file(GLOB VESKARO_CORE_SOURCES CONFIGURE_DEPENDS
  src/framework/*.cpp src/app/*.cpp src/ui/*.cpp src/schedule/*.cpp
  src/power/*.cpp src/notify/*.cpp src/settings/*.cpp)
# What the installer's custom actions share with the program: the start-at-login Run value.
set(VESKARO_RUN_VALUE_SOURCES src/app/CommandLine.cpp src/app/ModulePath.cpp src/app/RegistryStore.cpp
  src/settings/RunValueText.cpp src/settings/StartAtLogin.cpp)
list(TRANSFORM VESKARO_RUN_VALUE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
list(REMOVE_ITEM VESKARO_CORE_SOURCES ${VESKARO_RUN_VALUE_SOURCES})
add_library(veskaro_run_value STATIC ${VESKARO_RUN_VALUE_SOURCES})
add_library(veskaro_core STATIC ${VESKARO_CORE_SOURCES})
target_link_libraries(veskaro_core PUBLIC veskaro_run_value)
# Nothing in the program catches an exception, so the shipping build leaves out the unwind
# tables (a quarter of its size); an allocation failure still ends the program in std::terminate.
# The test programs share veskaro_core and need exceptions for GoogleTest.
option(VESKARO_NO_EXCEPTIONS "Build the program without exceptions and unwind tables (not with the tests)" OFF)
if(VESKARO_NO_EXCEPTIONS)
  target_compile_options(veskaro_run_value PUBLIC -fno-exceptions -fno-asynchronous-unwind-tables
    -fno-unwind-tables)
  # The guards of function-local statics are the runtime's last user of its exception
  # handling (a guard throws on recursive initialisation): without them, none of it is linked,
  # a sixth of the program. Every static of the core is first used on the window's thread;
  # the custom actions run on Windows Installer's threads, so what they link keeps its guards
  # (and has no static that needs one).
  target_compile_options(veskaro_core PRIVATE -fno-threadsafe-statics)
endif()
# Small code: the shipping executable stays within its size budget.
target_compile_options(veskaro_run_value PUBLIC $<$<CONFIG:Release>:-Os> -ffunction-sections -fdata-sections)
target_include_directories(veskaro_run_value PUBLIC src)
target_compile_definitions(veskaro_run_value PUBLIC ${VESKARO_DEFINES})
target_link_libraries(veskaro_run_value PUBLIC ${VESKARO_SYSTEM_LIBS})
target_compile_options(veskaro_run_value PRIVATE ${VESKARO_WARNINGS})
target_compile_options(veskaro_core PRIVATE ${VESKARO_WARNINGS})

add_executable(Veskaro WIN32 src/main.cpp $<TARGET_OBJECTS:veskaro_res>)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Replaces parts of GCC's runtime library in the program only (size; see the file).
  target_sources(Veskaro PRIVATE src/LeanRuntime.cpp)
endif()
target_compile_options(Veskaro PRIVATE ${VESKARO_WARNINGS})
target_link_libraries(Veskaro PRIVATE veskaro_core)
# Static runtime: the program must import system DLLs only.
# No time stamp in the header: two builds of the same sources are identical byte for byte.
target_link_options(Veskaro PRIVATE -municode -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp
  -Wl,--dynamicbase -Wl,--nxcompat $<$<EQUAL:${VESKARO_BITS},64>:-Wl,--high-entropy-va>)

# The installer package's custom actions (scripts/package): the start-at-login Run value.
add_library(RunValueActions MODULE src/installer/RunValueActions.cpp)
set_target_properties(RunValueActions PROPERTIES PREFIX "")
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # It is stored uncompressed in the package; the same lean runtime as the program's.
  target_sources(RunValueActions PRIVATE src/LeanRuntime.cpp)
endif()
target_compile_options(RunValueActions PRIVATE ${VESKARO_WARNINGS})
target_link_libraries(RunValueActions PRIVATE veskaro_run_value msi)
# Undecorated export names in the 32-bit build too, as the package's table names them.
target_link_options(RunValueActions PRIVATE -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp
  -Wl,--dynamicbase -Wl,--nxcompat $<$<EQUAL:${VESKARO_BITS},32>:-Wl,--kill-at>
  $<$<EQUAL:${VESKARO_BITS},64>:-Wl,--high-entropy-va>)

option(VESKARO_SHIPPING "Copy the executable to dist/ (the shipping build)" OFF)
if(VESKARO_SHIPPING)
  # The shipping executable.
  add_custom_command(TARGET Veskaro POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_SOURCE_DIR}/dist
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Veskaro> ${CMAKE_SOURCE_DIR}/dist/Veskaro.exe)
endif()

option(VESKARO_TESTS "Build the Windows test programs" ON)
if(VESKARO_TESTS AND VESKARO_NO_EXCEPTIONS)
  message(FATAL_ERROR "VESKARO_NO_EXCEPTIONS needs VESKARO_TESTS=OFF: the test programs need exceptions")
endif()
if(NOT VESKARO_TESTS)
  return()
endif()

# GoogleTest from Debian's sources, built with our cross compiler; elsewhere (MSYS2 on
# Windows) an installed GoogleTest; without either, only the program is built.
set(VESKARO_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")
if(EXISTS ${VESKARO_GTEST_SOURCE}/CMakeLists.txt)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VESKARO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest)
  if(NOT GTest_FOUND)
    message(STATUS "GoogleTest not found: the test programs are not built")
    return()
  endif()
  add_library(gtest ALIAS GTest::gtest)
endif()

function(veskaro_test name)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE tests)
  target_compile_options(${name} PRIVATE ${VESKARO_WARNINGS})
  target_link_libraries(${name} PRIVATE veskaro_core gtest)
  target_link_options(${name} PRIVATE -static)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

file(GLOB VESKARO_WIN_UNIT_TESTS CONFIGURE_DEPENDS tests/unit/win/*.cpp)
veskaro_test(unit_tests ${VESKARO_PURE_TESTS} tests/unit/StoreContract.cpp
  ${VESKARO_WIN_UNIT_TESTS} tests/TestMain.cpp)

file(GLOB VESKARO_WINDOW_TESTS CONFIGURE_DEPENDS tests/window/*.cpp tests/fakes/*.cpp tests/common/*.cpp)
veskaro_test(window_tests ${VESKARO_WINDOW_TESTS} tests/TestMain.cpp $<TARGET_OBJECTS:veskaro_res>)

# Seeded weeks of the world played through the main window.
add_executable(veskaro-nights tests/TestMain.cpp tests/nights/Nights.cpp tests/nights/NightRun.cpp tests/window/WindowTest.cpp
  tests/window/ScheduleTestSupport.cpp tests/fakes/FakeOutsideWorld.cpp tests/common/TestFiles.cpp
  $<TARGET_OBJECTS:veskaro_res>)
target_include_directories(veskaro-nights PRIVATE tests)
target_compile_definitions(veskaro-nights PRIVATE VESKARO_NIGHTS)
target_compile_options(veskaro-nights PRIVATE ${VESKARO_WARNINGS})
target_link_libraries(veskaro-nights PRIVATE veskaro_core gtest)
target_link_options(veskaro-nights PRIVATE -static)
# Its fixed seeds, within a minute; a violation fails with the shortest run that still shows it.
add_test(NAME veskaro-nights COMMAND veskaro-nights)
set_tests_properties(veskaro-nights PROPERTIES TIMEOUT 300)

# The yardstick for start-up time: a dialog that only shows itself and its tray icon.
add_executable(empty-dialog WIN32 tests/tools/empty-dialog.cpp $<TARGET_OBJECTS:veskaro_res>)
target_compile_options(empty-dialog PRIVATE ${VESKARO_WARNINGS})
target_include_directories(empty-dialog PRIVATE src)
target_compile_definitions(empty-dialog PRIVATE ${VESKARO_DEFINES})
target_link_libraries(empty-dialog PRIVATE comctl32 shell32 user32)
target_link_options(empty-dialog PRIVATE -municode -static -s -Wl,--gc-sections
  -Wl,--dynamicbase -Wl,--nxcompat $<$<EQUAL:${VESKARO_BITS},64>:-Wl,--high-entropy-va>)

if(VESKARO_BITS EQUAL 32)
  # The 32-bit test programs run under a Wine that runs 32-bit code (scripts/lib/wow64.sh);
  # the end-to-end suite there is the 64-bit one, driving the shipping executable.
  return()
endif()

# The date and time texts once more under another user locale.
add_test(NAME unit_tests_german_locale COMMAND unit_tests --gtest_filter=DateTimeText.*)
# LANG sets the user locale under Wine only; on Windows the German test skips, and ctest says so.
set_tests_properties(unit_tests_german_locale PROPERTIES ENVIRONMENT "LANG=de_DE.UTF-8;LC_ALL=de_DE.UTF-8"
  SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\] DateTimeText\\.GermanFormsWhenTheUserLocaleIsGerman")
file(GLOB VESKARO_E2E_TESTS CONFIGURE_DEPENDS tests/e2e/*.cpp tests/common/*.cpp)
veskaro_test(e2e_tests ${VESKARO_E2E_TESTS} tests/TestMain.cpp)
# The end-to-end tests start the program under a name of their own, so that its key, Run
# value, window title and start-up mutex are never those of a user's own Veskaro.
add_custom_command(TARGET Veskaro POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Veskaro> ${CMAKE_BINARY_DIR}/VeskaroTest.exe)
target_compile_definitions(e2e_tests PRIVATE VESKARO_EXE_NAME=L"VeskaroTest.exe")
add_dependencies(e2e_tests Veskaro)
set_tests_properties(e2e_tests PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
# Lets scripts (screenshots) post commands to a running Veskaro.
add_executable(veskaro-send tests/tools/veskaro-send.cpp)
target_compile_options(veskaro-send PRIVATE ${VESKARO_WARNINGS})
target_compile_definitions(veskaro-send PRIVATE UNICODE _UNICODE)
target_link_options(veskaro-send PRIVATE -municode -static)
# scripts/bench: the measuring driver.
add_executable(veskaro-bench tests/tools/veskaro-bench.cpp $<TARGET_OBJECTS:veskaro_res>)
target_compile_options(veskaro-bench PRIVATE ${VESKARO_WARNINGS})
target_link_libraries(veskaro-bench PRIVATE veskaro_core psapi)
target_link_options(veskaro-bench PRIVATE -municode -static)
