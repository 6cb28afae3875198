#pragma once
// The METAR library, libmetar.so: airport weather reports (METAR) and forecasts (TAF, short
// TAF) as plain text from a weather text server that keeps one file per station. The
// station loads the library by name for every fetch and unloads it afterwards, so nothing is
// kept between calls but the settings below, and those are given again after every load.
//
// Every text is a 256-byte buffer: one length byte (0 to 255), then that many 8-bit
// characters. A failure of any kind (bad station code, no connection, an HTTP status other
// than 200, time-out) leaves the length byte 0.
//
// The station files, for the upper-cased code XXXX, below the server's base URL:
//   METAR      <base>/data/observations/metar/stations/XXXX.TXT
//   short TAF  <base>/data/forecasts/shorttaf/stations/XXXX.TXT
//   TAF        <base>/data/forecasts/taf/stations/XXXX.TXT
// The base URL is the environment variable AEROVA_METAR_URL when it is set and not empty,
// else the one given by SetMETARServer, else https://tgftp.nws.noaa.gov (the NOAA text
// service, which serves these paths). A mirror of the older layout with "/pub/data/..."
// is given as "http://host/pub". Only http and https are fetched; up to three redirects are
// followed; a reply longer than 255 bytes keeps its first 255.

#define METAR_EXPORT __attribute__((visibility("default")))

extern "C" {

// The station's METAR. `station` is 1 to 8 letters or digits (an ICAO code); it is
// upper-cased, and any other code gives an empty text without a request.
METAR_EXPORT void GetMETAR(unsigned char* result, const char* station);
// The station's short TAF (a forecast of the next hours).
METAR_EXPORT void GetShortTAF(unsigned char* result, const char* station);
// The station's TAF.
METAR_EXPORT void GetTAF(unsigned char* result, const char* station);

// The base URL of the weather text server ("https://host" or "http://host:port/prefix",
// without the station paths). Null or empty: the default server.
METAR_EXPORT void SetMETARServer(const char* baseUrl);
// Time-outs of the connection and of the whole request in milliseconds (10 000 and 20 000
// unless set); zero or less restores the default. For tests, which need a short wait for a
// silent server; the station keeps the defaults.
METAR_EXPORT void SetMETARTimeouts(long connectMs, long totalMs);

}  // extern "C"
