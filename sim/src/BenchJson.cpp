// Bench files: JSON parsed with nlohmann-json into a BenchDescription, with
// every value checked, so a mistake is one message that says where it is.
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "ftdi/d2xx/D2xxAbi.h"
#include "mdiosim/Bench.h"
#include "mdiosim/Description.h"

namespace mdiosim {
namespace {

using nlohmann::json;

constexpr unsigned kMaxPhyAddress = 31;
constexpr unsigned kMaxMmd = 31;
constexpr unsigned kMaxClause22Register = 31;
constexpr unsigned kMaxBoardRegister = 255;
constexpr unsigned kStatusRegister = 1;  // Clause 22; bit 6: preamble suppression
constexpr std::uint16_t kStatusPreambleSuppression = 0x0040;
constexpr std::size_t kMaxSerialNumber = FTDI::D2xx::kSerialNumberSize - 1;
constexpr std::size_t kMaxDescription = FTDI::D2xx::kDescriptionSize - 1;

[[noreturn]] void fail(const std::string& path, const std::string& problem) {
    throw BenchFileError(path + ": " + problem);
}

void onlyKeys(const json& object, const std::string& path,
              std::initializer_list<const char*> allowed) {
    if (!object.is_object()) fail(path, "expected an object");
    for (const auto& [key, value] : object.items()) {
        bool known = false;
        for (const char* name : allowed)
            known = known || key == name;
        if (!known) fail(path, "unknown key \"" + key + "\"");
    }
}

// A number: a JSON integer, or a string in decimal or with 0x for hexadecimal.
std::uint64_t parseNumber(const std::string& text, const std::string& path) {
    std::string_view digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        fail(path, "\"" + text + "\" is not a number");
    }
    return value;
}

std::uint64_t number(const json& value, const std::string& path, std::uint64_t maximum) {
    std::uint64_t result = 0;
    if (value.is_number_unsigned()) {
        result = value.get<std::uint64_t>();
    } else if (value.is_number_integer()) {
        fail(path, "a negative number is not allowed here");
    } else if (value.is_string()) {
        result = parseNumber(value.get<std::string>(), path);
    } else {
        fail(path, "expected a number");
    }
    if (result > maximum) {
        fail(path,
             std::to_string(result) + " is out of range (at most " + std::to_string(maximum) + ")");
    }
    return result;
}

std::string text(const json& value, const std::string& path, std::size_t maximum) {
    if (!value.is_string()) fail(path, "expected a string");
    std::string result = value.get<std::string>();
    if (result.size() > maximum) {
        fail(path, "\"" + result + "\" is longer than " + std::to_string(maximum) + " characters");
    }
    return result;
}

bool flag(const json& value, const std::string& path) {
    if (!value.is_boolean()) fail(path, "expected true or false");
    return value.get<bool>();
}

const json& array(const json& value, const std::string& path) {
    if (!value.is_array()) fail(path, "expected an array");
    return value;
}

const json& object(const json& value, const std::string& path) {
    if (!value.is_object()) fail(path, "expected an object");
    return value;
}

template <typename Value>
std::map<unsigned, Value> registerMap(const json& value, const std::string& path,
                                      unsigned maxRegister, std::uint64_t maxValue) {
    std::map<unsigned, Value> registers;
    for (const auto& [key, entry] : object(value, path).items()) {
        const std::string where = path + "." + key;
        const auto registerAddress = static_cast<unsigned>(number(json(key), where, maxRegister));
        registers[registerAddress] = static_cast<Value>(number(entry, where, maxValue));
    }
    return registers;
}

// The chip behind a PHY: the knobs of its indirect paths and the registers
// they reach.
ChipDescription parseChip(const json& value, const std::string& path) {
    onlyKeys(value, path,
             {"mailboxBusyPolls", "mailboxStatus", "mailboxNeverCompletes", "serdesStatus",
              "memoryWindowBusyPolls", "serdes", "memory", "tge", "paged"});
    ChipDescription chip;
    ChipKnobs& knobs = chip.knobs;
    const auto count = [&](const char* key) {
        return static_cast<unsigned>(number(value[key], path + "." + key, 0xFFFFFFFF));
    };
    const auto word = [&](const char* key) {
        return static_cast<std::uint16_t>(number(value[key], path + "." + key, 0xFFFF));
    };
    if (value.contains("mailboxBusyPolls")) knobs.mailboxBusyPolls = count("mailboxBusyPolls");
    if (value.contains("mailboxStatus")) knobs.mailboxStatus = word("mailboxStatus");
    if (value.contains("mailboxNeverCompletes"))
        knobs.mailboxNeverCompletes =
            flag(value["mailboxNeverCompletes"], path + ".mailboxNeverCompletes");
    if (value.contains("serdesStatus")) knobs.serdesStatus = word("serdesStatus");
    if (value.contains("memoryWindowBusyPolls"))
        knobs.memoryWindowBusyPolls = count("memoryWindowBusyPolls");
    const auto registers16 = [&](const char* key, unsigned maxRegister,
                                 std::map<std::uint16_t, std::uint16_t>& into) {
        if (!value.contains(key)) return;
        for (const auto& [address, content] :
             registerMap<std::uint16_t>(value[key], path + "." + key, maxRegister, 0xFFFF))
            into[static_cast<std::uint16_t>(address)] = content;
    };
    registers16("serdes", 0xFFFF, chip.serdes);
    registers16("tge", 0xFFFF, chip.tge);
    registers16("paged", 0x5FF, chip.paged);
    if (value.contains("memory")) {
        for (const auto& [address, content] :
             registerMap<std::uint32_t>(value["memory"], path + ".memory", 0xFFFFFFFF, 0xFFFFFFFF))
            chip.memory[address] = content;
    }
    return chip;
}

PhyDescription parsePhy(const json& value, const std::string& path) {
    onlyKeys(value, path,
             {"address", "preambleBits", "preambleSuppression", "postReadIncrement",
              "register32Step", "phyId", "clause22", "clause45", "registers32", "chip"});
    PhyDescription phy;
    if (!value.contains("address")) fail(path, "a PHY needs an \"address\"");
    phy.address =
        static_cast<unsigned>(number(value["address"], path + ".address", kMaxPhyAddress));
    if (value.contains("preambleBits")) {
        phy.preambleBits =
            static_cast<unsigned>(number(value["preambleBits"], path + ".preambleBits", 0xFFFF));
    }
    if (value.contains("preambleSuppression")) {
        phy.acceptsPreambleSuppression =
            flag(value["preambleSuppression"], path + ".preambleSuppression");
    }
    if (value.contains("postReadIncrement")) {
        phy.implementsPostReadIncrement =
            flag(value["postReadIncrement"], path + ".postReadIncrement");
    }
    if (value.contains("register32Step")) {
        phy.register32Step = static_cast<std::uint32_t>(
            number(value["register32Step"], path + ".register32Step", 0xFFFFFFFF));
    }
    if (value.contains("phyId")) {
        // The identifier goes to Clause 22 registers 2 and 3 and to registers
        // 2 and 3 of the PMA/PMD MMD; explicit registers below win.
        const auto identifier =
            static_cast<std::uint32_t>(number(value["phyId"], path + ".phyId", 0xFFFFFFFF));
        const auto high = static_cast<std::uint16_t>(identifier >> 16);
        const auto low = static_cast<std::uint16_t>(identifier);
        phy.clause22[2] = high;
        phy.clause22[3] = low;
        phy.clause45[1][2] = high;
        phy.clause45[1][3] = low;
    }
    if (value.contains("clause22")) {
        for (const auto& [registerAddress, registerValue] : registerMap<std::uint16_t>(
                 value["clause22"], path + ".clause22", kMaxClause22Register, 0xFFFF)) {
            phy.clause22[registerAddress] = registerValue;
        }
        // A status register that shows preamble suppression describes a PHY
        // that accepts it, unless the file says otherwise.
        const auto status = phy.clause22.find(kStatusRegister);
        if (!value.contains("preambleSuppression") && status != phy.clause22.end()) {
            phy.acceptsPreambleSuppression = (status->second & kStatusPreambleSuppression) != 0;
        }
    }
    if (value.contains("clause45")) {
        const std::string where = path + ".clause45";
        for (const auto& [key, registers] : object(value["clause45"], where).items()) {
            const auto mmd = static_cast<unsigned>(number(json(key), where + "." + key, kMaxMmd));
            for (const auto& [registerAddress, registerValue] :
                 registerMap<std::uint16_t>(registers, where + "." + key, 0xFFFF, 0xFFFF)) {
                phy.clause45[mmd][static_cast<std::uint16_t>(registerAddress)] = registerValue;
            }
        }
    }
    if (value.contains("registers32")) {
        const std::string where = path + ".registers32";
        for (const auto& [key, registerValue] : object(value["registers32"], where).items()) {
            const auto address =
                static_cast<std::uint32_t>(number(json(key), where + "." + key, 0xFFFFFFFF));
            phy.registers32[address] =
                static_cast<std::uint32_t>(number(registerValue, where + "." + key, 0xFFFFFFFF));
        }
    }
    if (value.contains("chip")) phy.chip = parseChip(value["chip"], path + ".chip");
    return phy;
}

// One memory address byte reaches 256 bytes; a larger part takes the high
// address bits from its I2C address (a 24C16 answers 0x50-0x57), which has
// three such bits at most.
void checkEepromAddressing(const I2cDeviceDescription& device, const std::string& path) {
    constexpr unsigned kBlockSize = 256;
    constexpr unsigned kMostBlocks = 8;
    if (device.addressBytes != 1) return;
    const unsigned blocks = (device.size + kBlockSize - 1) / kBlockSize;
    if (blocks > kMostBlocks) {
        fail(path + ".size", "one address byte reaches at most 2048 bytes");
    }
    if (device.address + blocks - 1 > 0x7F) {
        fail(path + ".address", "a part of " + std::to_string(device.size) + " bytes answers " +
                                    std::to_string(blocks) + " addresses from here, beyond 127");
    }
}

// A device on a K8 board's I2C bus.
I2cDeviceDescription parseI2cDevice(const json& value, const std::string& path) {
    onlyKeys(value, path,
             {"kind", "address", "phy", "model", "size", "addressBytes", "pageSize",
              "writeCycleMicroseconds", "contents", "registers32"});
    static const std::pair<const char*, I2cDeviceKind> kKinds[] = {
        {"mdioBridge", I2cDeviceKind::MdioBridge},
        {"registers32", I2cDeviceKind::Registers32},
        {"eeprom", I2cDeviceKind::Eeprom}};
    I2cDeviceDescription device;
    if (!value.contains("kind")) fail(path, "an I2C device needs a \"kind\"");
    const std::string kind = text(value["kind"], path + ".kind", 64);
    bool known = false;
    for (const auto& [name, candidate] : kKinds) {
        if (kind == name) device.kind = candidate, known = true;
    }
    if (!known)
        fail(path + ".kind",
             "unknown I2C device kind \"" + kind + "\" (mdioBridge, registers32, eeprom)");
    if (!value.contains("address")) fail(path, "an I2C device needs an \"address\"");
    device.address = static_cast<unsigned>(number(value["address"], path + ".address", 0x7F));
    const auto only = [&](const char* key, I2cDeviceKind owner) {
        if (value.contains(key) && device.kind != owner) {
            fail(path + "." + key, "not a setting of a " + kind);
        }
        return value.contains(key);
    };
    if (only("phy", I2cDeviceKind::MdioBridge)) {
        device.phyAddress =
            static_cast<unsigned>(number(value["phy"], path + ".phy", kMaxPhyAddress));
    }
    if (only("model", I2cDeviceKind::Eeprom)) {
        const std::string model = text(value["model"], path + ".model", 16);
        if (!applyEepromModel(device, model)) {
            fail(path + ".model",
                 "unknown EEPROM model \"" + model + "\" (" + eepromModelNames() + ")");
        }
    }
    // A model sets the part's defaults; the fields below may still change them.
    if (only("size", I2cDeviceKind::Eeprom)) {
        device.size = static_cast<unsigned>(number(value["size"], path + ".size", 65536));
        if (device.size == 0) fail(path + ".size", "an EEPROM holds at least one byte");
    }
    if (only("addressBytes", I2cDeviceKind::Eeprom)) {
        device.addressBytes =
            static_cast<unsigned>(number(value["addressBytes"], path + ".addressBytes", 2));
        if (device.addressBytes == 0) fail(path + ".addressBytes", "1 or 2");
    }
    if (only("pageSize", I2cDeviceKind::Eeprom)) {
        device.pageSize =
            static_cast<unsigned>(number(value["pageSize"], path + ".pageSize", 65536));
    }
    if (only("writeCycleMicroseconds", I2cDeviceKind::Eeprom)) {
        device.writeCycleSeconds =
            static_cast<double>(number(value["writeCycleMicroseconds"],
                                       path + ".writeCycleMicroseconds", 1000000)) *
            1e-6;
    }
    if (device.kind == I2cDeviceKind::Eeprom) checkEepromAddressing(device, path);
    if (only("contents", I2cDeviceKind::Eeprom)) {
        device.contents =
            registerMap<std::uint8_t>(value["contents"], path + ".contents", device.size - 1, 0xFF);
    }
    if (only("registers32", I2cDeviceKind::Registers32)) {
        const std::string where = path + ".registers32";
        for (const auto& [key, registerValue] : object(value["registers32"], where).items()) {
            const auto address =
                static_cast<std::uint32_t>(number(json(key), where + "." + key, 0xFFFFFFFF));
            device.registers32[address] =
                static_cast<std::uint32_t>(number(registerValue, where + "." + key, 0xFFFFFFFF));
        }
    }
    return device;
}

BoardDescription parseBoard(const json& value, const std::string& path) {
    onlyKeys(value, path,
             {"serialNumber", "description", "chipType", "phys", "boardRegisters", "i2cDevices"});
    BoardDescription board;
    if (!value.contains("serialNumber")) fail(path, "a board needs a \"serialNumber\"");
    board.serialNumber = text(value["serialNumber"], path + ".serialNumber", kMaxSerialNumber);
    if (board.serialNumber.empty()) fail(path + ".serialNumber", "must not be empty");
    if (value.contains("description")) {
        board.description = text(value["description"], path + ".description", kMaxDescription);
    }
    if (value.contains("chipType")) {
        board.chipType =
            static_cast<std::uint32_t>(number(value["chipType"], path + ".chipType", 0xFFFFFFFF));
    }
    if (value.contains("phys")) {
        std::set<unsigned> addresses;
        const json& phys = array(value["phys"], path + ".phys");
        for (std::size_t index = 0; index < phys.size(); ++index) {
            const std::string where = path + ".phys[" + std::to_string(index) + "]";
            board.phys.push_back(parsePhy(phys[index], where));
            if (!addresses.insert(board.phys.back().address).second) {
                fail(where, "a second PHY at address " + std::to_string(board.phys.back().address));
            }
        }
    }
    if (value.contains("boardRegisters")) {
        if (!isControllerBoard(board.serialNumber)) {
            fail(
                path + ".boardRegisters",
                "only boards of the older family (serial number ending in B) have board registers");
        }
        board.boardRegisters = registerMap<std::uint8_t>(
            value["boardRegisters"], path + ".boardRegisters", kMaxBoardRegister, 0xFF);
    }
    if (value.contains("i2cDevices")) {
        if (isControllerBoard(board.serialNumber)) {
            fail(path + ".i2cDevices", "boards of the older family have no I2C bus");
        }
        std::set<unsigned> addresses;
        const json& devices = array(value["i2cDevices"], path + ".i2cDevices");
        for (std::size_t index = 0; index < devices.size(); ++index) {
            const std::string where = path + ".i2cDevices[" + std::to_string(index) + "]";
            board.i2cDevices.push_back(parseI2cDevice(devices[index], where));
            if (!addresses.insert(board.i2cDevices.back().address).second) {
                fail(where, "a second I2C device at address " +
                                std::to_string(board.i2cDevices.back().address));
            }
        }
    }
    return board;
}

FaultKind faultKind(const json& value, const std::string& path) {
    static const std::pair<const char*, FaultKind> kKinds[] = {
        {"failCall", FaultKind::FailCall},     {"chunkedWrites", FaultKind::ChunkedWrites},
        {"shortReads", FaultKind::ShortReads}, {"wrongSyncAnswers", FaultKind::WrongSyncAnswers},
        {"unplug", FaultKind::Unplug},         {"openElsewhere", FaultKind::OpenElsewhere}};
    const std::string name = text(value, path, 64);
    for (const auto& [known, kind] : kKinds) {
        if (name == known) return kind;
    }
    fail(path, "unknown fault kind \"" + name +
                   "\" (failCall, chunkedWrites, shortReads, wrongSyncAnswers, unplug, "
                   "openElsewhere)");
}

FaultDescription parseFault(const json& value, const std::string& path,
                            const std::set<std::string>& serialNumbers) {
    onlyKeys(value, path,
             {"kind", "serialNumber", "operation", "call", "times", "status", "bytes", "afterCalls",
              "replugAfterCalls"});
    FaultDescription fault;
    if (!value.contains("kind")) fail(path, "a fault needs a \"kind\"");
    fault.kind = faultKind(value["kind"], path + ".kind");
    if (value.contains("serialNumber")) {
        fault.serialNumber = text(value["serialNumber"], path + ".serialNumber", kMaxSerialNumber);
        if (!serialNumbers.contains(fault.serialNumber)) {
            fail(path + ".serialNumber",
                 "no board has the serial number \"" + fault.serialNumber + "\"");
        }
    } else if (fault.kind != FaultKind::FailCall) {
        fail(path, "this fault needs the \"serialNumber\" of its board");
    }
    if (fault.kind == FaultKind::FailCall) {
        if (!value.contains("operation")) fail(path, "a failCall fault needs an \"operation\"");
        fault.operation = text(value["operation"], path + ".operation", 64);
        if (!d2xxOperationNamed(fault.operation)) {
            fail(path + ".operation", "no D2XX operation is called \"" + fault.operation + "\"");
        }
    }
    const auto count = [&](const char* key, unsigned& target) {
        if (value.contains(key)) {
            target = static_cast<unsigned>(number(value[key], path + "." + key, 0xFFFFFFFF));
        }
    };
    count("call", fault.call);
    count("times", fault.times);
    count("bytes", fault.bytes);
    count("afterCalls", fault.afterCalls);
    if (value.contains("status")) {
        fault.status =
            static_cast<std::uint32_t>(number(value["status"], path + ".status", 0xFFFFFFFF));
    }
    if (value.contains("replugAfterCalls")) {
        fault.replugAfterCalls = static_cast<unsigned>(
            number(value["replugAfterCalls"], path + ".replugAfterCalls", 0xFFFFFFFF));
    }
    if (fault.kind == FaultKind::FailCall && fault.call == 0)
        fail(path + ".call", "calls count from 1");
    if (fault.kind == FaultKind::ChunkedWrites && fault.bytes == 0) {
        fail(path + ".bytes", "a chunk holds at least one byte");
    }
    return fault;
}

// nlohmann's messages start with "[json.exception.parse_error.101] ".
std::string withoutExceptionTag(const std::string& message) {
    const std::size_t tagEnd = message.find("] ");
    return tagEnd == std::string::npos ? message : message.substr(tagEnd + 2);
}

// Where the parser is, in the loader's own path form ("bench.vcd",
// "boards[0].phys[1].address"), kept up from the parser's events so that a
// value the parser refuses (a number too large for a double) is named by
// its place like every other mistake.
class ParsePlace {
  public:
    bool follow(int depth, json::parse_event_t event, const json& parsed) {
        switch (event) {
            case json::parse_event_t::object_start:
            case json::parse_event_t::array_start:
                levels.resize(static_cast<std::size_t>(depth));
                levels.push_back({event == json::parse_event_t::array_start, "", 0});
                break;
            case json::parse_event_t::key:
                if (!levels.empty()) levels.back().key = parsed.get<std::string>();
                break;
            case json::parse_event_t::value:
            case json::parse_event_t::object_end:
            case json::parse_event_t::array_end:
                // The value just read (or container just closed) ends an element.
                if (event != json::parse_event_t::value)
                    levels.resize(static_cast<std::size_t>(depth));
                if (!levels.empty() && levels.back().isArray) ++levels.back().index;
                break;
        }
        return true;
    }

    // The path of the value being read now. Top-level values read as
    // "bench.vcd"; the elements of the board and fault lists as
    // "boards[0]...", as the checks below name them.
    std::string path() const {
        const bool inList = levels.size() > 1 && !levels[0].isArray && levels[1].isArray;
        std::string result = inList ? "" : "bench";
        for (const Level& here : levels) {
            if (here.isArray) {
                result.append("[").append(std::to_string(here.index)).append("]");
            } else {
                if (!result.empty()) result.append(".");
                result.append(here.key);
            }
        }
        return result;
    }

  private:
    struct Level {
        bool isArray;
        std::string key;
        std::size_t index;
    };
    std::vector<Level> levels;
};

json parseDocument(std::string_view content) {
    ParsePlace place;
    try {
        return json::parse(content.begin(), content.end(),
                           [&place](int depth, json::parse_event_t event, json& parsed) {
                               return place.follow(depth, event, parsed);
                           });
    } catch (const json::parse_error& error) {
        throw BenchFileError(withoutExceptionTag(error.what()));
    } catch (const json::exception& error) {
        // Not a syntax mistake but a value the parser cannot hold.
        fail(place.path(), withoutExceptionTag(error.what()));
    }
}

}  // namespace

namespace {

constexpr const char* kTimingPresets = "\"ideal\", \"optimistic\", \"typical\" or \"pessimistic\"";

TimingModel namedTiming(const json& value, const std::string& path) {
    if (!value.is_string()) fail(path, std::string("expected ") + kTimingPresets);
    const std::optional<TimingModel> preset = timingPreset(value.get<std::string>());
    if (!preset) {
        fail(path, "\"" + value.get<std::string>() + "\" is not " + kTimingPresets);
    }
    return *preset;
}

double duration(const json& value, const std::string& path, const char* unit) {
    if (!value.is_number() || value.get<double>() < 0) {
        fail(path, std::string("expected a number of ") + unit + ", 0 or more");
    }
    return value.get<double>();
}

// "timing": a setting's name, or an object that starts from one ("preset",
// "typical" when absent) and overrides its costs.
TimingModel parseTiming(const json& value, const std::string& path) {
    if (!value.is_object()) return namedTiming(value, path);
    onlyKeys(value, path,
             {"preset", "mpsseCommandNanoseconds", "usbPacketMicroseconds", "latencyTimer"});
    TimingModel timing =
        value.contains("preset") ? namedTiming(value["preset"], path + ".preset") : TimingModel{};
    if (value.contains("mpsseCommandNanoseconds")) {
        timing.mpsseCommandSeconds = duration(value["mpsseCommandNanoseconds"],
                                              path + ".mpsseCommandNanoseconds", "nanoseconds") *
                                     1e-9;
    }
    if (value.contains("usbPacketMicroseconds")) {
        timing.usbPacketSeconds = duration(value["usbPacketMicroseconds"],
                                           path + ".usbPacketMicroseconds", "microseconds") *
                                  1e-6;
    }
    if (value.contains("latencyTimer")) {
        timing.latencyTimer = flag(value["latencyTimer"], path + ".latencyTimer");
    }
    return timing;
}

BenchDescription benchOf(json& root) {
    onlyKeys(root, "bench", {"usbLatencyMicroseconds", "timing", "vcd", "boards", "faults"});
    BenchDescription bench;
    if (root.contains("vcd")) {
        if (!root["vcd"].is_string() || root["vcd"].get<std::string>().empty()) {
            fail("bench.vcd", "expected the path of the waveform file to write");
        }
        bench.waveformFile = root["vcd"].get<std::string>();
    }
    if (root.contains("usbLatencyMicroseconds")) {
        const json& latency = root["usbLatencyMicroseconds"];
        if (!latency.is_number() || latency.get<double>() < 0) {
            fail("bench.usbLatencyMicroseconds", "expected a number of microseconds, 0 or more");
        }
        bench.usbLatencySeconds = latency.get<double>() * 1e-6;
    }
    if (root.contains("timing")) bench.timing = parseTiming(root["timing"], "bench.timing");
    std::set<std::string> serialNumbers;
    if (root.contains("boards")) {
        const json& boards = array(root["boards"], "bench.boards");
        for (std::size_t index = 0; index < boards.size(); ++index) {
            const std::string where = "boards[" + std::to_string(index) + "]";
            bench.boards.push_back(parseBoard(boards[index], where));
            if (!serialNumbers.insert(bench.boards.back().serialNumber).second) {
                fail(where + ".serialNumber", "a second board with serial number \"" +
                                                  bench.boards.back().serialNumber + "\"");
            }
        }
    }
    if (root.contains("faults")) {
        const json& faults = array(root["faults"], "bench.faults");
        for (std::size_t index = 0; index < faults.size(); ++index) {
            bench.faults.push_back(
                parseFault(faults[index], "faults[" + std::to_string(index) + "]", serialNumbers));
        }
    }
    return bench;
}

}  // namespace

BenchDescription parseBenchJson(std::string_view content) {
    json root = parseDocument(content);
    try {
        return benchOf(root);
    } catch (const json::exception& error) {
        // Every value is checked before it is read out, so this is a check
        // missing here; still the caller gets the loader's error, never the
        // parser library's.
        throw BenchFileError(std::string("bench: ").append(withoutExceptionTag(error.what())));
    }
}

}  // namespace mdiosim
