# The report datagram codec, report ingest and AIS vessels.
list(APPEND AEROVA_RECORDS_SOURCES report_codec.cpp report_messages.cpp)

function(aerova_ingest_tests)
  aerova_add_tests(aerova_codec_tests
    SOURCES report_codec_test.cpp report_messages_test.cpp
    LIBS aerova_records)
endfunction()
