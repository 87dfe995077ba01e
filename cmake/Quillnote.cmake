# Build conventions shared by every folder.

if(QN_SANITIZE)
  set(QN_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    list(APPEND QN_SANITIZE_FLAGS -fsanitize=fuzzer-no-link)
  endif()
  add_compile_options(${QN_SANITIZE_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()

if(CMAKE_CXX_COMPILER_ID MATCHES "Clang|GNU")
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
endif()

# qn_library(NAME DEPS...) - one static library per folder. Sources are the folder's *.cpp and *.h files
# (re-globbed at build time), Qt resources its *.qrc files; the folder is the include root of its headers.
function(qn_library name)
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  file(GLOB resources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  if(resources)
    qt_add_resources(res_sources ${resources})
  endif()
  add_library(${name} STATIC ${sources} ${res_sources})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARGN})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
endfunction()

# qn_test_folder(FOLDER DEPS...) - one GoogleTest executable per mirrored source folder (tests/FOLDER/*.cpp),
# registered with CTest test by test. Fixture files live in tests/FOLDER/data and are found through QN_TEST_DATA.
function(qn_test_folder folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target test_${folder})
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARGN} testsupport GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE
    QN_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/${folder}/data"
    QN_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# qn_fuzz_target(NAME SOURCE DEPS...) - a libFuzzer executable; its seed corpus (fuzz/corpus/NAME) and its
# regression inputs (fuzz/regressions/NAME) are replayed as an ordinary CTest test.
function(qn_fuzz_target name source)
  add_executable(fuzz_${name} ${source})
  target_link_libraries(fuzz_${name} PRIVATE ${ARGN})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  set(dirs)
  foreach(d corpus regressions)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${d}/${name})
      list(APPEND dirs ${CMAKE_CURRENT_SOURCE_DIR}/${d}/${name})
    endif()
  endforeach()
  if(dirs)
    add_test(NAME fuzz_replay_${name} COMMAND fuzz_${name} -runs=0 ${dirs})
    set_tests_properties(fuzz_replay_${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
endfunction()
