# sc_add_test(<name> SOURCES ... LIBS ...): one GoogleTest binary per source folder,
# run headless with its own runtime folder.
function(sc_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/common/test_main.cpp)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} sc_testsupport GTest::gtest Qt6::Widgets Qt6::Test)
  set(rt ${CMAKE_BINARY_DIR}/test-runtime/${name})
  file(MAKE_DIRECTORY ${rt})
  file(CHMOD ${rt} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${rt};SC_CORPUS_DIR=${PROJECT_SOURCE_DIR}/../shared/corpus;SC_PROGRAM_DIR=${SC_PROGRAM_DIR}"
    TIMEOUT 300)
endfunction()
