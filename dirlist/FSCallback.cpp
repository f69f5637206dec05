#include "dirlist/FSCallback.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kExists = "Cannot create file %s which already exists";
const char* const kCannotOpen = "Cannot open %s, errno %d";
const char* const kOutputNotOpen = "File not open";
const char* const kWriteFailed = "fprintf failed, errno %d";
const char* const kCloseFailed = "Closing the output file failed, errno %d: lines written to it may be lost";
const char* const kInputNotOpen = "file not open";
const char* const kReadFailed = "fgets failed, errno %d";
const char* const kBufferTooSmall = "getLine buffer of %d bytes is too small";

// Opens a file that must not exist yet. O_EXCL also refuses a link of that
// name, so a file is never created through a link or overwritten in a race.
FILE* createNew(const char* path)
{
    int fd = ::open64(path, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0)
        return nullptr;
    FILE* file = fdopen(fd, "w");
    if (!file) {
        int saved = errno;
        ::close(fd);
        ::unlink(path);
        errno = saved;
    }
    return file;
}

// Existence of the name itself: a link counts even when it leads nowhere.
bool nameExists(const char* path)
{
    struct stat64 info;
    return lstat64(path, &info) == 0;
}

// Ends the text before a CR LF or a lone LF line end; other text stays as read.
void stripLineEnd(char* buf)
{
    size_t n = strlen(buf);
    if (n > 2 && buf[n - 1] == '\n' && buf[n - 2] == '\r')
        buf[n - 2] = '\0';
    else if (n >= 2 && buf[n - 1] == '\n')
        buf[n - 1] = '\0';
}

}  // namespace

FSCallback::FSCallback()
{
    setDebugPrefix("FSCALLBACK");
}

FSCallback::~FSCallback() = default;

FSFileOutput::FSFileOutput() : stream(nullptr), indentNext(0)
{
    setDebugPrefix("FSFILEOUTPUT");
    buffer[0] = '\0';
}

FSFileOutput::~FSFileOutput()
{
    TCALL_ORIGIN();
    release();
}

// Lines are buffered, so a full or failing device may show only now: that
// must not pass unnoticed, though no caller is left to hand a result to.
void FSFileOutput::release()
{
    if (stream && stream != stdout && fclose(stream) != 0)
        TLOG_CALL(this, -1, kCloseFailed, errno);
    stream = nullptr;
}

int FSFileOutput::create(char* path)
{
    TCALL_ORIGIN();
    if (nameExists(path)) {
        TLOG(-1, kExists, path);
        return -1;
    }
    FILE* file = createNew(path);
    if (!file) {
        TLOG(1, kCannotOpen, path, errno);
        return -1;
    }
    release();
    stream = file;
    return 0;
}

void FSFileOutput::useStdout()
{
    TCALL_ORIGIN();
    release();
    stream = stdout;
}

int FSFileOutput::putLine(const char* line)
{
    if (!stream) {
        TLOG(1, "%s", kOutputNotOpen);
        return -1;
    }
    const char* format = indentNext ? "\t%s\n" : "%s\n";
    indentNext = 0;
    if (fprintf(stream, format, line ? line : "") < 0) {
        TLOG(1, kWriteFailed, errno);
        return -1;
    }
    return 0;
}

FSSubclientInput::FSSubclientInput()
{
    setDebugPrefix("SCINPUT");
}

FSSubclientInput::~FSSubclientInput() = default;

FSFileInput::FSFileInput() : stream(nullptr)
{
    setDebugPrefix("FSFILEINPUT");
    buffer[0] = '\0';
}

FSFileInput::~FSFileInput()
{
    if (stream)
        fclose(stream);
}

int FSFileInput::open(char* path)
{
    FILE* file = fopen64(path, "r");
    if (!file) {
        TLOG(-1, kCannotOpen, path, errno);
        return -1;
    }
    if (stream)
        fclose(stream);
    stream = file;
    return 0;
}

int FSFileInput::getLine(char* buf, int size)
{
    if (!stream) {
        TLOG(1, "%s", kInputNotOpen);
        return -1;
    }
    // Room for one character and the zero at least, or the caller would read nothing forever.
    if (!buf || size < 2) {
        TLOG(-1, kBufferTooSmall, size);
        return -1;
    }
    if (!fgets(buf, size, stream)) {
        if (feof(stream))
            return 0;
        TLOG(1, kReadFailed, errno);
        return -1;
    }
    stripLineEnd(buf);
    return 1;
}
