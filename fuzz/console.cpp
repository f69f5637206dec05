// The test console: the input up to its first form feed is the definition
// file, the rest is standard input. Whatever both hold, the console ends
// with 0 or 1. It prints its dialogue on standard output: run the target
// with -close_fd_mask=1, as scripts/fuzz-smoke does.
#include "FuzzSupport.h"
#include "console/scMain.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const char kSeparator = '\f';

// A scratch file of its own for the life of the process.
class ScratchFile {
public:
    explicit ScratchFile(const char* role)
    {
        const char* dir = getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/fuzz_console_" + role + "_XXXXXX";
        int fd = mkstemp(&path_[0]);
        FUZZ_CHECK(fd >= 0);
        close(fd);
    }
    ~ScratchFile() { unlink(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const char* path() const { return path_.c_str(); }

    void write(const std::string& text) const
    {
        FILE* file = fopen(path_.c_str(), "wb");
        FUZZ_CHECK(file != nullptr);
        FUZZ_CHECK(fwrite(text.data(), 1, text.size(), file) == text.size());
        FUZZ_CHECK(fclose(file) == 0);
    }

private:
    std::string path_;
};

// The answers become standard input for one run; afterwards standard input
// is empty again, so nothing left unread reaches the next run.
int runConsole(const ScratchFile& definitions, const ScratchFile& answers)
{
    FUZZ_CHECK(freopen(answers.path(), "r", stdin) != nullptr);
    int result = scMain(definitions.path());
    FUZZ_CHECK(freopen("/dev/null", "r", stdin) != nullptr);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzQuietLog();
    static const ScratchFile definitions("definitions");
    static const ScratchFile answers("answers");
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find(kSeparator);
    definitions.write(input.substr(0, split));
    answers.write(split == std::string::npos ? std::string() : input.substr(split + 1));
    const int result = runConsole(definitions, answers);
    FUZZ_CHECK(result == 0 || result == 1);
    return 0;
}
