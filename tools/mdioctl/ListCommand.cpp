#include "Commands.h"
#include "DriverList.h"
#include "mdiohost.h"
#include "mdiohost_ext.h"

namespace mdioctl {

void listAdapters(Session& session, Output& out, bool verbose) {
    const std::uint32_t count = session.adapterCount();
    const std::string driver = mdiohost_driver_path();
    out.document["driver"] = driver;
    if (verbose) out.line("driver: " + (driver.empty() ? std::string("none loaded") : driver));
    const auto boards = readDriverList();
    out.document["adapters"] = nlohmann::json::array();
    if (count == 0) out.line("no adapters");
    for (std::uint32_t index = 0; index < count; ++index) {
        const std::string name = HW_Device(index);
        const auto board = boards.find(name.substr(0, name.find(':')));
        const bool attached = board != boards.end();
        const bool inUse = attached && board->second.openElsewhere;
        const std::string family = adapterFamily(name, boards);
        const std::string state = !attached ? "unplugged" : inUse ? "in use elsewhere" : "free";
        char text[160];
        std::snprintf(text, sizeof text, "%2u  %-24s %-13s %s", index, name.c_str(), family.c_str(),
                      state.c_str());
        out.line(text);
        out.document["adapters"].push_back({{"index", index},
                                            {"name", name},
                                            {"family", family},
                                            {"attached", attached},
                                            {"open", inUse}});
    }
}

}  // namespace mdioctl
