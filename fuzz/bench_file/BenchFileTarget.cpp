// Any bytes as a bench file. The loader's promise: a text it cannot use is a
// BenchFileError naming the problem, and nothing else comes out of it. A text
// it accepts must also build a bench.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mdiosim/Bench.h"
#include "mdiosim/Description.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    mdiosim::BenchDescription description;
    try {
        description = mdiosim::parseBenchJson(text);
    } catch (const mdiosim::BenchFileError&) {
        return 0;
    }
    // A bench file may name a waveform file; the fuzzer must not write files
    // wherever its input points.
    description.waveformFile.clear();
    mdiosim::Bench bench;
    bench.reset(description);
    return 0;
}
