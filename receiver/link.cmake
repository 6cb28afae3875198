# aerova_receiver: the receiver link (frame texts, receiver queue and parser, decoder target
# table, report emission, receiver settings, device-library binding) and its Qt shell
# ReceiverLink (UDP 7933, serial port, the 1053 ms poll).
set(AEROVA_RECEIVER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/mode_s_parity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/receiver_queue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoder_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/receiver_engine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/receiver_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/packet_recognizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/report_emitter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sbs_device_library.cpp
  ${CMAKE_CURRENT_LIST_DIR}/serial_ports.cpp
  ${CMAKE_CURRENT_LIST_DIR}/receiver_link.cpp)
set(AEROVA_RECEIVER_LIBS aerova_records aerova_base Qt6::Core Qt6::Network Qt6::SerialPort
    ${CMAKE_DL_LIBS})
# ModeSFrameDecoder (receiver/mode_s_frame_decoder.h, header only) needs the decoder.
if(TARGET aerova_decoder)
  list(APPEND AEROVA_RECEIVER_LIBS aerova_decoder)
endif()

aerova_add_library(aerova_receiver
  SOURCES ${AEROVA_RECEIVER_SOURCES}
  LIBS ${AEROVA_RECEIVER_LIBS})
if(TARGET aerova_decoder)
  target_compile_definitions(aerova_receiver PRIVATE AEROVA_HAVE_MODE_S_DECODER=1)
endif()

if(AEROVA_BUILD_TESTS)
  # A stand-in SBS-1 device library exporting three of the eight names.
  add_library(aerova_test_directsbs MODULE
    ${CMAKE_CURRENT_LIST_DIR}/sbs_device_library_test_module.cpp)
  aerova_add_tests(aerova_receiver_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/mode_s_parity_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/frame_input_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/receiver_queue_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/decoder_table_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/receiver_settings_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/packet_recognizer_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/report_emitter_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/sbs_device_library_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/receiver_link_test.cpp
    LIBS aerova_receiver)
  add_dependencies(aerova_receiver_tests aerova_test_directsbs)
  target_compile_definitions(aerova_receiver_tests PRIVATE
    AEROVA_TEST_DEVICE_LIBRARY="$<TARGET_FILE:aerova_test_directsbs>")
endif()

if(AEROVA_BUILD_BENCH)
  add_executable(aerova_receiver_bench ${CMAKE_CURRENT_LIST_DIR}/receiver_bench.cpp)
  target_link_libraries(aerova_receiver_bench PRIVATE aerova_receiver benchmark::benchmark)
endif()

