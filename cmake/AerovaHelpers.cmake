# aerova_add_tests(<name> SOURCES <files...> LIBS <targets...>)
# One GoogleTest executable per library; every test case is registered with CTest.
function(aerova_add_tests name)
  if(NOT AEROVA_BUILD_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    AEROVA_SHARED_DIR="${CMAKE_SOURCE_DIR}/../shared"
    AEROVA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "AEROVA_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# aerova_add_library(<name> SOURCES <files...> LIBS <targets...>)
function(aerova_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()
