#pragma once
// The serial devices of this machine, standing in for the COM1-COM99 probe: every serial
// device the system knows that can be opened for reading and writing, by device name.

#include <string>
#include <vector>

namespace aerova {

// Device names ("ttyUSB0", "ttyACM0", "ttyS0" ...) in natural order (ttyS2 before ttyS10).
std::vector<std::string> ScanComPorts();

// The index to select in a port list: the entry equal to the remembered port name, else the
// last entry; -1 for an empty list.
int SelectPortIndex(const std::vector<std::string>& ports, const std::string& remembered);

// Natural order of device names: digit runs compare by value.
bool PortNameLess(const std::string& a, const std::string& b);

}  // namespace aerova
