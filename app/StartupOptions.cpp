#include "app/StartupOptions.h"

#include "base/CommandLine.h"

bool LogRequested(std::u16string_view commandLine) {
    return CommandLineArgument(commandLine, 1) == u"Log";
}
