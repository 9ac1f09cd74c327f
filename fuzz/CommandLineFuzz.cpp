// The Windows command-line splitter, on any text.

#include "fuzz/FuzzFiles.h"
#include "platform/process/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    moxalo::process::splitCommandLine(moxalo::fuzz::bytesOf(data, size));
    return 0;
}
