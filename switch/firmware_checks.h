// Checks of a firmware file against a switch that the load makes before a
// block is sent. The name tells which model and hardware revision the image
// was built for; a wrong image bricks the switch, so every doubt refuses.
#pragma once

#include <string>
#include <string_view>

namespace fw {

// The file's own name without its folders ('/' and '\\' both separate, since
// paths may come from a Windows project).
std::string FirmwareFileBaseName(std::string_view path);

// The port word of a lower-cased file name: "5_port", "6_port", "gig",
// "9_port" (tested in that order); "" when none is present.
std::string FirmwarePortWord(std::string_view lower_name);

// The model code of a part number: "5KP", "6KP", "9KP" or "9KX" (first found
// in that order); "" when none is present.
std::string SwitchModelCode(std::string_view part_number);

// True when a file with port word `word` is built for switches of model `code`.
bool FirmwareFitsModel(std::string_view word, std::string_view code);

// True when the file name (lower case) suits the hardware revision text read
// from the switch: revision "02..." refuses "_v01" files, any other refuses
// "_v02" files.
bool FirmwareFitsRevision(std::string_view revision, std::string_view lower_name);

}  // namespace fw
