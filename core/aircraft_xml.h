#pragma once
// Aircraft files "userdata/<address>.xml" in the BaseStation layout: kept by the user, read
// for the registration and type of a new target, and created empty for new network targets
// when "Save to XML" is on so that the user can fill them in.

#include <string>
#include <string_view>

namespace aerova {

// The file of an address below the station directory (address in lower case); empty for
// anything but six hexadecimal digits, which no reader or writer opens.
std::string AircraftXmlPath(std::string_view stationdir, std::string_view modes);

struct AircraftXmlData {
    std::string reg;       // upper case, trimmed, without "-"
    std::string icaotype;  // upper case, trimmed
};

// Reads the first 512 bytes: the text after "<registration>" (at most 32 characters) cut at
// "</r"; "REG (TYPE)" gives both. False when the file does not exist or cannot be read.
bool ReadAircraftXml(const std::string& path, AircraftXmlData& data);
// Parses the start of such a file (exposed for the tests).
AircraftXmlData ParseAircraftXml(std::string_view head);

// Writes the empty template; a failure is ignored by the callers.
bool WriteAircraftXmlTemplate(const std::string& path);

}  // namespace aerova
