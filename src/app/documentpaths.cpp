// Document paths from the command line.
#include "app/documentpaths.h"

#include <cstdlib>
#include <unistd.h>

DocumentPaths LaunchDocuments(int argc, char** argv)
{
    QByteArray folder;
    if (char* cwd = ::getcwd(nullptr, 0)) {
        folder = cwd;
        std::free(cwd);
    }
    DocumentPaths paths;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.isEmpty())
            continue;
        if (arg.startsWith('/') || folder.isEmpty())
            paths << arg;
        else
            paths << (folder.endsWith('/') ? folder : folder + '/') + arg;
    }
    return paths;
}
