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
