# aerova_add_library(<name> SOURCES <files...> LIBS <targets...> [AUTOMOC])
# The static library aerova_<name> of one folder and its alias aerova::<name>. Link the
# aliases: a name with "::" that names no target stops the configuration, so a library that
# went missing can't silently turn into a system library on the linker's command line.
function(aerova_add_library name)
  cmake_parse_arguments(ARG "AUTOMOC" "" "SOURCES;LIBS" ${ARGN})
  add_library(aerova_${name} STATIC ${ARG_SOURCES})
  add_library(aerova::${name} ALIAS aerova_${name})
  target_include_directories(aerova_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(aerova_${name} PUBLIC ${ARG_LIBS})
  if(ARG_AUTOMOC)
    set_target_properties(aerova_${name} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# aerova_add_tests(<name> SOURCES <files...> LIBS <targets...> [THREADED] [REAL_DATA] [SERIAL])
# One GoogleTest executable; every test case is registered with CTest.
#   THREADED   the tests run servers or other threads: the ThreadSanitizer build runs them
#              (CTest label "threads", and the target aerova_threaded_tests builds them).
#   REAL_DATA  some cases read the recorded frames in AEROVA_DATA_DIR; their suites end in
#              "RealData" and are not registered when the recordings are absent.
#   SERIAL     the tests run alone (they drive the shared X display's keyboard focus).
function(aerova_add_tests name)
  if(NOT AEROVA_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "THREADED;REAL_DATA;SERIAL" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    AEROVA_DATA_DIR="${AEROVA_DATA_DIR}"
    AEROVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  set(properties ENVIRONMENT "AEROVA_BUILD_DIR=${PROJECT_BINARY_DIR}")
  if(ARG_SERIAL)
    list(APPEND properties RUN_SERIAL TRUE)
  endif()
  if(ARG_THREADED)
    list(APPEND properties LABELS threads)
    set_property(GLOBAL APPEND PROPERTY AEROVA_THREADED_TESTS ${name})
  endif()
  set(filter "")
  if(ARG_REAL_DATA AND NOT AEROVA_HAVE_DATA)
    set(filter TEST_FILTER "-*RealData.*")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST ${filter} PROPERTIES ${properties})
endfunction()

# aerova_add_bench(<name> SOURCES <files...> LIBS <targets...>)
function(aerova_add_bench name)
  if(NOT AEROVA_BUILD_BENCH)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_compile_definitions(${name} PRIVATE
    AEROVA_DATA_DIR="${AEROVA_DATA_DIR}"
    AEROVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endfunction()
