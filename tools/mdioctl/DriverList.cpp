#include "DriverList.h"

#include <algorithm>
#include <iterator>
#include <sstream>
#include <vector>

#include "ftdi/d2xx/D2xxAbi.h"
#include "mdiohost_ext.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace mdioctl {
namespace {

using namespace FTDI::D2xx;

struct ListFunctions {
    FT_CreateDeviceInfoList_Fn create = nullptr;
    FT_GetDeviceInfoList_Fn get = nullptr;
};

// The same driver file the library loaded, whichever of its choices that was.
ListFunctions loadListFunctions() {
    const std::string inUse = mdiohost_driver_path();
    if (inUse.empty()) return {};
#if defined(_WIN32)
    HMODULE module = LoadLibraryA(inUse.c_str());
    if (module == nullptr) return {};
    // Through void*: GetProcAddress's FARPROC is a function type of its own.
    return {reinterpret_cast<FT_CreateDeviceInfoList_Fn>(reinterpret_cast<void*>(
                GetProcAddress(module, MAKEINTRESOURCEA(kOrdinalCreateDeviceInfoList)))),
            reinterpret_cast<FT_GetDeviceInfoList_Fn>(reinterpret_cast<void*>(
                GetProcAddress(module, MAKEINTRESOURCEA(kOrdinalGetDeviceInfoList))))};
#else
    void* module = dlopen(inUse.c_str(), RTLD_NOW);
    if (module == nullptr) return {};
    return {reinterpret_cast<FT_CreateDeviceInfoList_Fn>(dlsym(module, "FT_CreateDeviceInfoList")),
            reinterpret_cast<FT_GetDeviceInfoList_Fn>(dlsym(module, "FT_GetDeviceInfoList"))};
#endif
}

template <std::size_t N>
std::string fieldText(const char (&field)[N]) {
    return std::string(field, std::find(field, field + N, '\0'));
}

}  // namespace

std::map<std::string, ListedBoard> readDriverList() {
    std::map<std::string, ListedBoard> boards;
    const ListFunctions list = loadListFunctions();
    if (list.create == nullptr || list.get == nullptr) return boards;
    std::uint32_t count = 0;
    if (list.create(&count) != kOk || count == 0) return boards;
    std::vector<DeviceListNode> nodes(count, DeviceListNode{});
    if (list.get(nodes.data(), &count) != kOk) return boards;
    for (std::uint32_t i = 0; i < std::min<std::size_t>(count, nodes.size()); ++i) {
        boards[fieldText(nodes[i].SerialNumber)] = {fieldText(nodes[i].Description),
                                                    (nodes[i].Flags & kFlagOpened) != 0};
    }
    return boards;
}

std::string adapterFamily(const std::string& adapterName,
                          const std::map<std::string, ListedBoard>& boards) {
    const std::size_t colon = adapterName.find(':');
    const auto board = boards.find(adapterName.substr(0, colon));
    if (board == boards.end()) return "unknown";
    const std::string& description = board->second.description;
    if (description.rfind("K8", 0) != 0) return "older family";
    if (colon != std::string::npos) return "K8 " + adapterName.substr(colon + 1);
    // A board with one protocol: the adapter carries the serial number alone,
    // and the description names the protocol.
    std::istringstream tokens(description);
    for (std::string token; tokens >> token;) {
        if (token == "MDIO" || token == "I2C" || token == "JTAG") return "K8 " + token;
    }
    return "unknown";
}

}  // namespace mdioctl
