# aerova_receiver: the receiver link (frame texts, receiver queue and parser, decoder target
# table, report emission, receiver settings, device-library binding) and its Qt shell.
set(AEROVA_RECEIVER_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/mode_s_parity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/receiver_queue.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoder_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/receiver_engine.cpp)
set(AEROVA_RECEIVER_LIBS aerova_records aerova_base)

aerova_add_library(aerova_receiver
  SOURCES ${AEROVA_RECEIVER_SOURCES}
  LIBS ${AEROVA_RECEIVER_LIBS})

aerova_add_tests(aerova_receiver_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/mode_s_parity_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frame_input_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/receiver_queue_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/decoder_table_test.cpp
  LIBS aerova_receiver)
