// The display the screen tests run on; empty when there is no virtual server.
#pragma once

#include <string>

namespace fwscreen {
std::string& Display();
}
