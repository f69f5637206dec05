// Path normalization, both forms: the result has the normalized shape,
// normalizing it again changes nothing, and the C-string form agrees with the
// string form wherever the two are meant to agree, writing no further than
// the room its caller is told to give.
#include "FuzzSupport.h"
#include "subclient/FSSubclientConf.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

namespace {

// Types with and without slash interchange.
const int kAppTypes[] = {1, 6, 29, 90};

void checkShape(const std::string& out, char d)
{
    FUZZ_CHECK(!out.empty() && out[0] == d);
    FUZZ_CHECK(out.find(std::string(2, d)) == std::string::npos);
    FUZZ_CHECK(out.size() == 1 || out.back() != d);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzQuietLog();
    FuzzedDataProvider input(data, size);
    // One object per type for the whole run: normalizing changes no state.
    static FSSubclientConf* confs[4];
    const size_t type = input.ConsumeIntegralInRange<size_t>(0, 3);
    if (!confs[type])
        confs[type] = new FSSubclientConf(kAppTypes[type]);
    FSSubclientConf& conf = *confs[type];
    const bool interchange = input.ConsumeBool();
    const bool fixSlashes = input.ConsumeBool();
    const std::string in = input.ConsumeRemainingBytesAsString();

    conf.SetUseDelimiterInterchangeably(interchange);
    std::string out;
    const char d = conf.fixPath(in, out, fixSlashes);
    if (in.empty()) {
        FUZZ_CHECK(d == 0 && out.empty());
        return 0;
    }
    FUZZ_CHECK(d != 0);
    if (in[0] == '<') {
        FUZZ_CHECK(out == in);
        return 0;
    }
    checkShape(out, d);
    std::string again;
    FUZZ_CHECK(conf.fixPath(out, again, fixSlashes) == d);
    FUZZ_CHECK(again == out);

    // The C form stops at the first NUL and has exactly the promised room.
    const std::string text = in.substr(0, in.find('\0'));
    char* room = static_cast<char*>(malloc(text.size() + 2));
    if (!room)
        return 0;
    const char cd = conf.fixPath(text.c_str(), room, fixSlashes);
    std::string expected;
    const char sd = conf.fixPath(text, expected, fixSlashes);
    // The forms differ by design for texts without a delimiter, for '<'
    // names and for slash interchange in '/' paths.
    const bool comparable = !text.empty() && text[0] != '<' && expected.compare(0, 4, "/**/") != 0 &&
                            expected.compare(0, 2, "/%") != 0 && !(interchange && sd == '/');
    if (cd != 0) {
        FUZZ_CHECK(strlen(room) <= text.size() + 1);
        checkShape(room, cd);
    }
    if (comparable && cd != 0) {
        FUZZ_CHECK(cd == sd);
        FUZZ_CHECK(expected == room);
    }
    free(room);
    return 0;
}
