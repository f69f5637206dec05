#include "DirectoryList.h"

std::unique_ptr<FSSubclientDirlist> buildDirectoryList(const LoadedConfiguration& loaded, LibraryLog& log,
                                                       const std::string& path, bool strictTree)
{
    size_t mark = log.recordMark();
    std::unique_ptr<FSSubclientDirlist> list(loaded.conf->createDirlist(path.c_str(), strictTree));
    if (!list || !list->getRoot()) {
        std::string reason = log.lastTextSince(mark);
        throw ToolError(TOOL_NEGATIVE, "cannot build the directory list of '" + path + "'" +
                                           (reason.empty() ? std::string() : ": " + reason));
    }
    return list;
}
