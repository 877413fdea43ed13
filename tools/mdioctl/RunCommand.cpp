// run: a script of register operations in one session. On the simulated
// bench that is one bench, so a write is still there for the next read.
#include <map>
#include <thread>

#include "AdapterLookup.h"
#include "Commands.h"

namespace mdioctl {
namespace {

const char* operationName(StepKind kind) {
    switch (kind) {
        case StepKind::Read:
            return "read";
        case StepKind::Write:
            return "write";
        case StepKind::Expect:
            return "expect";
        case StepKind::Sleep:
            return "sleep";
    }
    return "";
}

class ScriptRun {
  public:
    ScriptRun(Session& chosen, Output& output) : session(chosen), out(output) {}

    void step(const Step& step) {
        nlohmann::json entry = {{"line", step.line}, {"operation", operationName(step.kind)}};
        if (step.kind == StepKind::Sleep) {
            std::this_thread::sleep_for(step.pause);
            entry["microseconds"] = step.pause.count();
            out.document["steps"].push_back(entry);
            return;
        }
        const std::uint32_t adapter = open(step.adapter);
        const RegisterRange& target = step.target;
        entry["adapter"] = adapter;
        entry["phy"] = step.phy;
        if (target.clause22) {
            entry["clause"] = 22;
        } else {
            entry["mmd"] = target.mmd;
        }
        entry["register"] = target.first;
        if (step.kind == StepKind::Read) {
            const auto values = session.readRange(adapter, step.phy, target, target.count);
            entry["values"] = values;
            for (std::uint32_t i = 0; i < values.size(); ++i) {
                out.line(name(target, i) + " = " + hex16(values[i]));
            }
        } else if (step.kind == StepKind::Write) {
            write(step, entry, adapter);
        } else {
            expect(step, entry, adapter);
        }
        out.document["steps"].push_back(entry);
    }

  private:
    static std::string name(const RegisterRange& target, std::uint32_t offset = 0) {
        return registerName(target.clause22, target.mmd, target.first + offset);
    }

    std::uint16_t readOne(const Step& step, std::uint32_t adapter) {
        return session.read(adapter, step.phy, step.target.clause22, step.target.mmd,
                            step.target.first);
    }

    void write(const Step& step, nlohmann::json& entry, std::uint32_t adapter) {
        std::string text = name(step.target) + ": ";
        std::uint16_t written = step.value.value;
        if (step.value.masked) {
            const std::uint16_t before = readOne(step, adapter);
            written = step.value.appliedTo(before);
            entry["before"] = before;
            text += hex16(before) + " -> ";
        }
        session.write(adapter, step.phy, step.target.clause22, step.target.mmd, step.target.first,
                      written);
        entry["value"] = written;
        out.line(text + hex16(written));
    }

    void expect(const Step& step, nlohmann::json& entry, std::uint32_t adapter) {
        const std::uint16_t actual = readOne(step, adapter);
        std::string wanted = hex16(step.value.value);
        if (step.value.masked) wanted.append("/").append(hex16(step.value.keep));
        entry["value"] = actual;
        entry["expected"] = step.value.value;
        entry["ignored"] = step.value.keep;
        entry["met"] = matches(step.value, actual);
        if (!matches(step.value, actual)) {
            out.document["steps"].push_back(entry);
            throw CheckFailed("line " + std::to_string(step.line) + ": expected " +
                              name(step.target) + " = " + wanted + ", read " + hex16(actual));
        }
        out.line(name(step.target) + " = " + hex16(actual) + " as expected");
    }

    // Each adapter is looked up and opened once per script.
    std::uint32_t open(const std::string& adapter) {
        const auto known = opened.find(adapter);
        if (known != opened.end()) return known->second;
        const std::uint32_t index = session.open(adapter, mdioNeed("run"));
        opened.emplace(adapter, index);
        return index;
    }

    Session& session;
    Output& out;
    std::map<std::string, std::uint32_t> opened;
};

}  // namespace

void runScript(Session& session, Output& out, const Script& script) {
    out.document = {{"steps", nlohmann::json::array()}};
    ScriptRun run(session, out);
    for (const Step& step : script) {
        try {
            run.step(step);
        } catch (const CheckFailed&) {
            throw;
        } catch (const LibraryError& error) {
            throw LibraryError("line " + std::to_string(step.line) + ": " + error.what());
        }
    }
}

}  // namespace mdioctl
