#pragma once
// The program's name as its windows, tray icon and questions show it.

namespace aerova {

constexpr const char* kMainCaption = "Aerova mini Edition";

}  // namespace aerova
