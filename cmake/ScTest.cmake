# The environment every test binary runs in: headless, with its own runtime folder `rt`.
function(sc_test_environment out rt)
  file(MAKE_DIRECTORY ${rt})
  file(CHMOD ${rt} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set(${out} "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${rt};SC_CORPUS_DIR=${PROJECT_SOURCE_DIR}/../shared/corpus;SC_PROGRAM_DIR=${SC_PROGRAM_DIR}" PARENT_SCOPE)
endfunction()

# sc_add_test(<name> SOURCES ... LIBS ...): one GoogleTest binary per source folder,
# run headless with its own runtime folder.
function(sc_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/common/test_main.cpp)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} sc_testsupport GTest::gtest Qt6::Widgets Qt6::Test)
  sc_test_environment(environment ${CMAKE_BINARY_DIR}/test-runtime/${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 300)
endfunction()

# sc_add_named_temporaries_run(<binary> <gtest filter>): those tests of the binary once more,
# with every write's temporary named from the start, as on a file system without unnamed files.
function(sc_add_named_temporaries_run binary filter)
  set(name ${binary}_named_temporaries)
  sc_test_environment(environment ${CMAKE_BINARY_DIR}/test-runtime/${name})
  add_test(NAME ${name} COMMAND ${binary} --gtest_filter=${filter})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "${environment};SC_TEST_NAMED_TEMPORARIES=1" TIMEOUT 300)
endfunction()
