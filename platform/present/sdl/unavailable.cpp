// The SDL2 back end of a vekhost built without SDL2's headers.
#include "present/backend.h"

namespace vek::present {

std::unique_ptr<Backend> openSdlBackend(std::string &why)
{
    why = "vekhost was built without SDL2";
    return nullptr;
}

}  // namespace vek::present
