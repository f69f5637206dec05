// Builds the directory list of a path for the dirlist and browse subcommands.
#ifndef SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_DIRECTORYLIST_H
#define SUBCLIENTCONF_TOOLS_SUBCLIENTCONF_DIRECTORYLIST_H

#include "Output.h"
#include "dirlist/FSSubclientDirList.h"

#include <memory>
#include <string>

// The list; a path the library cannot list ends the run with status 1 and the library's reason.
std::unique_ptr<FSSubclientDirlist> buildDirectoryList(const LoadedConfiguration& loaded, LibraryLog& log,
                                                       const std::string& path, bool strictTree);

#endif
