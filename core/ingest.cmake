# The report datagram codec, report ingest and AIS vessels.
list(APPEND AEROVA_RECORDS_SOURCES report_codec.cpp report_messages.cpp)
list(APPEND AEROVA_INGEST_SOURCES report_ingest.cpp ais.cpp mid_list.cpp)

function(aerova_ingest_tests)
  aerova_add_tests(aerova_codec_tests
    SOURCES report_codec_test.cpp report_messages_test.cpp
    LIBS aerova_records)
  aerova_add_tests(aerova_ingest_tests
    SOURCES report_ingest_test.cpp ingest_filters_test.cpp ais_test.cpp flight_index_test.cpp
    LIBS aerova_core)
endfunction()
