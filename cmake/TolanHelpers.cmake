# Helpers shared by every folder's CMakeLists.txt.

# tv_add_gtest(NAME SOURCES a.cpp b.cpp LIBS tv::dicom ...)
# One GoogleTest executable per source folder; its cases are discovered by CTest.
function(tv_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tv::testsupport GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    TV_TESTDATA_DIR="${TV_TESTDATA_DIR}"
    TV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TV_BINARY_DIR="${CMAKE_BINARY_DIR}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
endfunction()

# tv_add_qttest(NAME SOURCES a.cpp LIBS tv::view ...)
# A Qt Test executable run on the offscreen platform, one CTest entry.
function(tv_add_qttest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test)
  target_compile_definitions(${name} PRIVATE
    TV_TESTDATA_DIR="${TV_TESTDATA_DIR}"
    TV_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TV_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QPA_FONTDIR=/usr/share/fonts"
    TIMEOUT 600)
endfunction()

# tv_add_fuzzer(NAME SOURCES fuzz.cpp LIBS tv::dicom CORPUS dir)
# In the clang fuzz build: a libFuzzer target and a CTest entry that runs it
# for TV_FUZZ_SECONDS, starting from the regression inputs in CORPUS.
# In every other test build: NAME_replay, the same target with a plain main()
# (tests/fuzz/ReplayMain.cpp), and a CTest entry NAME_regressions that replays
# each input in CORPUS once under the build's sanitizers.
set(TV_FUZZ_SECONDS 60 CACHE STRING "Seconds each fuzz target runs under CTest")
function(tv_add_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT TV_FUZZ)
    add_executable(${name}_replay ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp)
    target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
    set_target_properties(${name}_replay PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
    add_test(NAME ${name}_regressions COMMAND ${name}_replay ${ARG_CORPUS})
    set_tests_properties(${name}_regressions PROPERTIES TIMEOUT 300 LABELS fuzz-regressions
      FAIL_REGULAR_EXPRESSION "Sanitizer|runtime error")
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work "${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus")
  set(seed_args "")
  if(ARG_CORPUS)
    set(seed_args "${ARG_CORPUS}")
  endif()
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            ${CMAKE_SOURCE_DIR}/scripts/run-fuzzer.sh $<TARGET_FILE:${name}> ${TV_FUZZ_SECONDS} ${work} ${seed_args})
  set_tests_properties(${name} PROPERTIES TIMEOUT 900 LABELS fuzz)
endfunction()

# tv_core_library(NAME tv_dicom ALIAS tv::dicom SOURCES ...)
# The core libraries must not see Qt; this keeps their include paths to the repo root.
function(tv_core_library name)
  cmake_parse_arguments(ARG "" "ALIAS" "SOURCES" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  add_library(${ARG_ALIAS} ALIAS ${name})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
endfunction()

# tv_folder_library(tv_dicom tv::dicom LINK PUBLIC tv::base PRIVATE tv::codecs)
# A core library made of every .cpp in the calling folder; several people add
# files to one folder at a time, so the list is not kept by hand. A folder with
# no source yet makes no library.
function(tv_folder_library name alias)
  cmake_parse_arguments(ARG "" "" "LINK" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  if(NOT sources)
    return()
  endif()
  tv_core_library(${name} ALIAS ${alias} SOURCES ${sources})
  if(ARG_LINK)
    target_link_libraries(${name} ${ARG_LINK})
  endif()
endfunction()

# tv_folder_gtest(dicom_tests LIBS tv::dicom): every *Test.cpp of the calling folder.
function(tv_folder_gtest name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp")
  if(NOT sources)
    return()
  endif()
  tv_add_gtest(${name} SOURCES ${sources} LIBS ${ARG_LIBS})
endfunction()
