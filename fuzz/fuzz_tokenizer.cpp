// Fuzz target: the tokenizer and the line clean-ups on arbitrary bytes.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/tokenizer.h"
#include "invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static SessionContext context;
    std::string line(reinterpret_cast<const char*>(data), size);
    int count = SplitLine(context, line.c_str());
    Require(count == context.tokenCount, "SplitLine answers the token count");
    CheckSession(context);

    std::string trimmed = line;
    TrimLine(trimmed.data());
    Require(std::strlen(trimmed.c_str()) <= std::strlen(line.c_str()), "trimming never grows a line");
    std::string collapsed = line;
    CollapseBlanks(collapsed.data());
    Require(std::strlen(collapsed.c_str()) <= std::strlen(line.c_str()), "collapsing never grows a line");
    return 0;
}
