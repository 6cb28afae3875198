# The Mode-S/ADS-B decoder: altitude and identity codes, CPR, extended squitters and
# Comm-B replies, written into the decoder's per-aircraft record.
set(AEROVA_DECODER_DIR ${CMAKE_CURRENT_LIST_DIR})
aerova_add_library(aerova_decoder
  SOURCES
    ${AEROVA_DECODER_DIR}/altitude_codes.cpp
    ${AEROVA_DECODER_DIR}/cpr.cpp
    ${AEROVA_DECODER_DIR}/mode_s_decoder.cpp
    ${AEROVA_DECODER_DIR}/comm_b.cpp
  LIBS aerova_records)

aerova_add_tests(aerova_decoder_tests
  SOURCES
    ${AEROVA_DECODER_DIR}/altitude_codes_test.cpp
    ${AEROVA_DECODER_DIR}/cpr_test.cpp
    ${AEROVA_DECODER_DIR}/mode_s_decoder_test.cpp
    ${AEROVA_DECODER_DIR}/comm_b_test.cpp
    ${AEROVA_DECODER_DIR}/decoder_real_data_test.cpp
  LIBS aerova_decoder Qt6::Core)

# aerovadecode, the frame-log decoding tool, runs frames through the whole receiver path, so
# it is declared once every library exists: at the end of the top-level directory.
function(aerova_declare_decode_tool)
  if(NOT TARGET aerova_receiver)
    return()
  endif()
  set(AEROVA_DECODER_DIR ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  add_executable(aerovadecode
    ${AEROVA_DECODER_DIR}/aerovadecode.cpp
    ${AEROVA_DECODER_DIR}/frame_log_decoder.cpp)
  target_link_libraries(aerovadecode PRIVATE aerova_receiver aerova_decoder)
  if(TARGET aerova_sim)
    aerova_add_tests(aerovadecode_tests
      SOURCES
        ${AEROVA_DECODER_DIR}/frame_log_decoder.cpp
        ${AEROVA_DECODER_DIR}/frame_log_decoder_test.cpp
      LIBS aerova_receiver aerova_decoder aerova_sim Qt6::Core)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL aerova_declare_decode_tool)

if(AEROVA_BUILD_BENCH)
  add_executable(aerova_decoder_bench ${AEROVA_DECODER_DIR}/decoder_bench.cpp)
  target_link_libraries(aerova_decoder_bench PRIVATE aerova_decoder aerova_sim benchmark::benchmark)
  target_compile_definitions(aerova_decoder_bench PRIVATE AEROVA_SHARED_DIR="${CMAKE_SOURCE_DIR}/../shared")
endif()
