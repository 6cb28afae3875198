#include "core/aircraft_xml.h"

#include <fstream>

#include "base/files.h"
#include "base/strings.h"
#include "core/report_codec.h"

namespace aerova {

std::string AircraftXmlPath(std::string_view stationdir, std::string_view modes) {
    // The address becomes a file name: nothing but an address may, or a datagram could
    // choose a path outside the folder.
    if (!IsIcaoAddress(modes)) return {};
    return JoinPath(stationdir, Concat({"userdata/", LowerCase(modes), ".xml"}));
}

AircraftXmlData ParseAircraftXml(std::string_view head) {
    AircraftXmlData data;
    constexpr std::string_view kOpen = "<registration>";
    const std::size_t at = head.find(kOpen);
    if (at == std::string_view::npos) return data;
    std::string text(head.substr(at + kOpen.size(), 32));
    const std::size_t end = text.find("</r");
    if (end != std::string::npos) text.resize(end);
    const std::size_t open = text.find('(');
    if (open != std::string::npos) {
        data.reg = ReplaceAll(Trim(text.substr(0, open)), "-", "");
        const std::size_t close = text.find(')', open);
        const std::string type = text.substr(
            open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
        data.icaotype = UpperCase(Trim(type));
    } else {
        data.reg = ReplaceAll(Trim(text), "-", "");
    }
    data.reg = Trim(UpperCase(data.reg));
    data.icaotype = Trim(data.icaotype);
    return data;
}

bool ReadAircraftXml(const std::string& path, AircraftXmlData& data) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    char buf[512];
    in.read(buf, sizeof buf);
    data = ParseAircraftXml(std::string_view(buf, static_cast<std::size_t>(in.gcount())));
    return true;
}

bool WriteAircraftXmlTemplate(const std::string& path) {
    static constexpr const char* kLines[] = {
        "<?xml version=\"1.0\"?>",
        "<?xml-stylesheet type=\"text/xsl\" href=\"basestation.xsl\"?>",
        "<bml>",
        "<transmission>",
        "<modes></modes>",
        "<country/>",
        "</transmission>",
        "<regdata>",
        "<registration></registration>",
        "<currentregdate/>",
        "<previousid/>",
        "<firstregdate/>",
        "<status/>",
        "<deregdate/>",
        "<manufacturer/>",
        "<type/>",
        "<serialno/>",
        "<popularname/>",
        "<genericname/>",
        "<aircraftclass/>",
        "<engines/>",
        "<ownershipstatus/>",
        "<registeredowners/>",
        "<mtow/>",
        "<totalhours/>",
        "<yearbuilt/>",
        "<cofacategory/>",
        "<cofaexpiry/>",
        "</regdata>",
        "<user>",
        "<notes></notes>",
        "</user>",
        "<history/>",
        "</bml>",
    };
    if (path.empty() || !ForceDirectories(ExtractFileDir(path))) return false;
    std::string text;
    for (const char* line : kLines) {
        text += line;
        text += "\r\n";
    }
    return WriteFileReplacing(path, text);
}

}  // namespace aerova
